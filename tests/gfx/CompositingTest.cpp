#include "gfx/Compositing.hpp"
#include "gfx/Palette.hpp"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

namespace {

const cv::Vec3b BACKGROUND(7, 8, 9);

cv::Vec3b pixel(const cv::Scalar& colour) {
    return cv::Vec3b(static_cast<uchar>(colour[0]), static_cast<uchar>(colour[1]),
                     static_cast<uchar>(colour[2]));
}

// A source whose every pixel tells where it came from: blue the column, green the row (low
// byte), red 200 + the row's high byte; none of them equals the background.
cv::Mat labelledSource(int rows, int cols) {
    cv::Mat source(rows, cols, CV_8UC3);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            source.at<cv::Vec3b>(r, c) =
                cv::Vec3b(static_cast<uchar>(c), static_cast<uchar>(r % 256),
                          static_cast<uchar>(200 + r / 256));
        }
    }
    return source;
}

// Checks every destination pixel against the paste of source at (x, y) clipped by hand.
void expectOpaquePaste(const cv::Mat& destination, const cv::Mat& source, int x, int y) {
    int wrong = 0;
    for (int r = 0; r < destination.rows; ++r) {
        for (int c = 0; c < destination.cols; ++c) {
            const int sr = r - y;
            const int sc = c - x;
            const bool inside = sr >= 0 && sr < source.rows && sc >= 0 && sc < source.cols;
            const cv::Vec3b expected = inside ? source.at<cv::Vec3b>(sr, sc) : BACKGROUND;
            if (destination.at<cv::Vec3b>(r, c) != expected && ++wrong <= 3) {
                ADD_FAILURE() << "pixel (" << c << ", " << r << ") of a paste at (" << x << ", "
                              << y << ")";
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

void pasteAndCheck(int x, int y, int sourceRows = 12, int sourceCols = 16) {
    SCOPED_TRACE(testing::Message() << "paste at (" << x << ", " << y << ")");
    cv::Mat destination(30, 40, CV_8UC3, cv::Scalar(BACKGROUND));
    const cv::Mat source = labelledSource(sourceRows, sourceCols);
    overlay(source, destination, x, y);
    expectOpaquePaste(destination, source, x, y);
}

bool identical(const cv::Mat& a, const cv::Mat& b) {
    return cv::norm(a, b, cv::NORM_INF) == 0;
}

} // namespace

TEST(OverlayClipping, WhollyOutsideOnEachSideDrawsNothing) {
    // The source is 16 wide and 12 tall; the destination 40 by 30.
    for (const cv::Point at :
         {cv::Point(-17, 5), cv::Point(-16, 5), cv::Point(5, -13), cv::Point(5, -12),
          cv::Point(40, 5), cv::Point(41, 5), cv::Point(5, 30), cv::Point(5, 31),
          cv::Point(-100, -100), cv::Point(100, 100)}) {
        cv::Mat destination(30, 40, CV_8UC3, cv::Scalar(7, 7, 7));
        overlay(labelledSource(12, 16), destination, at.x, at.y);
        EXPECT_EQ(cv::countNonZero(destination.reshape(1) != 7), 0) << at;
    }
}

TEST(OverlayClipping, InsideAndPartlyOffEachEdge) {
    pasteAndCheck(3, 4);             // wholly inside
    pasteAndCheck(0, 0);             // at the corner
    pasteAndCheck(24, 18);           // touching the right and bottom edges from inside
    pasteAndCheck(-5, 6);            // off the left edge
    pasteAndCheck(30, 6);            // off the right edge
    pasteAndCheck(10, -7);           // off the top edge
    pasteAndCheck(25, 19);           // one pixel over the right and bottom edges
    pasteAndCheck(10, 25);           // off the bottom edge
    pasteAndCheck(-3, -2);           // off two edges at once
    pasteAndCheck(37, 27);           // off the right and bottom
    pasteAndCheck(-15, -11);         // one pixel left in the corner
    pasteAndCheck(39, 29);           // one pixel left at the far corner
    pasteAndCheck(-10, -10, 50, 60); // larger than the destination on every side
}

TEST(OverlayClipping, KerbStripRunsPastTheFrameAtBothEnds) {
    const cv::Mat strip = labelledSource(420, 20);
    cv::Mat frame(600, 800, CV_8UC3, cv::Scalar(BACKGROUND));
    overlay(strip, frame, 190, 390);
    expectOpaquePaste(frame, strip, 190, 390);
    EXPECT_EQ(frame.at<cv::Vec3b>(599, 190), strip.at<cv::Vec3b>(209, 0));

    frame.setTo(cv::Scalar(BACKGROUND));
    overlay(strip, frame, 590, -30);
    expectOpaquePaste(frame, strip, 590, -30);
    EXPECT_EQ(frame.at<cv::Vec3b>(0, 590), strip.at<cv::Vec3b>(30, 0));
    EXPECT_EQ(frame.at<cv::Vec3b>(389, 609), strip.at<cv::Vec3b>(419, 19));
    EXPECT_EQ(frame.at<cv::Vec3b>(390, 590), BACKGROUND);
}

TEST(OverlayClipping, WritesThroughADestinationView) {
    // The frame's own pixels change: the paste works on a view, not on a copy.
    cv::Mat frame(20, 20, CV_8UC3, cv::Scalar(BACKGROUND));
    cv::Mat view(frame, cv::Rect(5, 5, 10, 10));
    overlay(labelledSource(4, 4), view, -2, 8);
    EXPECT_EQ(frame.at<cv::Vec3b>(13, 5), cv::Vec3b(2, 0, 200));
    EXPECT_EQ(frame.at<cv::Vec3b>(14, 6), cv::Vec3b(3, 1, 200));
    // Outside the view, even where the source would reach unclipped, nothing changes.
    EXPECT_EQ(frame.at<cv::Vec3b>(15, 6), BACKGROUND);
    EXPECT_EQ(frame.at<cv::Vec3b>(13, 4), BACKGROUND);
}

TEST(OverlayMasked, AllMagentaLeavesTheDestination) {
    cv::Mat texture(8, 8, CV_8UC3, MAGENTA);
    cv::Mat mask = texture.clone();
    makeMask(texture, mask);
    cv::Mat destination(20, 20, CV_8UC3, cv::Scalar(BACKGROUND));
    destination.at<cv::Vec3b>(5, 5) = cv::Vec3b(1, 2, 250); // any colour survives
    const cv::Mat before = destination.clone();
    overlay(texture, destination, 3, 3, mask);
    EXPECT_TRUE(identical(destination, before));
}

TEST(OverlayMasked, KeyFreeTextureReplacesTheWholeRegion) {
    const cv::Mat source = labelledSource(6, 9);
    cv::Mat texture = source.clone();
    cv::Mat mask = texture.clone();
    makeMask(texture, mask);
    cv::Mat destination(20, 20, CV_8UC3, cv::Scalar(BACKGROUND));
    overlay(texture, destination, 4, 2, mask);
    expectOpaquePaste(destination, source, 4, 2);
}

TEST(OverlayMasked, TransparentPixelsKeepTheDestinationWhenClipped) {
    // A texture opaque only in its bottom-right quarter and in its first column; pasted off the
    // top-left corner, the mask has to be cut at the same place as the texture.
    cv::Mat texture(10, 10, CV_8UC3, MAGENTA);
    texture(cv::Rect(5, 5, 5, 5)).setTo(RED);
    texture(cv::Rect(0, 0, 1, 10)).setTo(BLUE);
    cv::Mat mask = texture.clone();
    makeMask(texture, mask);
    cv::Mat destination(10, 10, CV_8UC3, GREY);
    overlay(texture, destination, -3, -4, mask);
    for (int r = 0; r < 10; ++r) {
        for (int c = 0; c < 10; ++c) {
            const bool opaque = r + 4 >= 5 && r + 4 < 10 && c + 3 >= 5 && c + 3 < 10;
            EXPECT_EQ(destination.at<cv::Vec3b>(r, c), pixel(opaque ? RED : GREY))
                << "(" << c << ", " << r << ")";
        }
    }
}

TEST(MakeMask, OnlyExactMagentaIsTransparent) {
    cv::Mat image(1, 4, CV_8UC3, MAGENTA);
    image.at<cv::Vec3b>(0, 1) = cv::Vec3b(254, 0, 255);
    image.at<cv::Vec3b>(0, 2) = cv::Vec3b(255, 1, 255);
    image.at<cv::Vec3b>(0, 3) = cv::Vec3b(255, 0, 254);
    const cv::Mat original = image.clone();
    cv::Mat mask(1, 4, CV_8UC3, cv::Scalar(77, 77, 77));
    makeMask(image, mask);
    EXPECT_EQ(image.at<cv::Vec3b>(0, 0), pixel(WHITE));
    EXPECT_EQ(mask.at<cv::Vec3b>(0, 0), pixel(BLACK));
    for (int c = 1; c < 4; ++c) {
        EXPECT_EQ(image.at<cv::Vec3b>(0, c), original.at<cv::Vec3b>(0, c)) << c;
        EXPECT_EQ(mask.at<cv::Vec3b>(0, c), pixel(WHITE)) << c;
    }
}

TEST(MakeMask, WithoutMagentaTheMaskIsAllWhiteAndTheImageUnchanged) {
    cv::Mat image = labelledSource(5, 7);
    const cv::Mat original = image.clone();
    cv::Mat mask = image.clone();
    makeMask(image, mask);
    EXPECT_TRUE(identical(image, original));
    EXPECT_EQ(cv::countNonZero(mask.reshape(1) != 255), 0);
}

TEST(Recolour, BodyTakesTheColourAndShadeADarkerOne) {
    cv::Mat image(1, 5, CV_8UC3);
    image.at<cv::Vec3b>(0, 0) = pixel(RED);
    image.at<cv::Vec3b>(0, 1) = pixel(BLUE);
    image.at<cv::Vec3b>(0, 2) = cv::Vec3b(0, 0, 254);
    image.at<cv::Vec3b>(0, 3) = cv::Vec3b(254, 0, 0);
    image.at<cv::Vec3b>(0, 4) = pixel(MAGENTA);
    recolour(image, cv::Scalar(20, 20, 255));
    EXPECT_EQ(image.at<cv::Vec3b>(0, 0), cv::Vec3b(20, 20, 255));
    EXPECT_EQ(image.at<cv::Vec3b>(0, 1), cv::Vec3b(0, 0, 155));
    EXPECT_EQ(image.at<cv::Vec3b>(0, 2), cv::Vec3b(0, 0, 254));
    EXPECT_EQ(image.at<cv::Vec3b>(0, 3), cv::Vec3b(254, 0, 0));
    EXPECT_EQ(image.at<cv::Vec3b>(0, 4), pixel(MAGENTA));
}

TEST(Recolour, ShadeIsClampedAndARepaintedPixelIsNotExaminedAgain) {
    cv::Mat image(1, 2, CV_8UC3);
    image.at<cv::Vec3b>(0, 0) = pixel(RED);
    image.at<cv::Vec3b>(0, 1) = pixel(BLUE);
    // Painting the body BLUE must not then turn it into the shade.
    recolour(image, BLUE);
    EXPECT_EQ(image.at<cv::Vec3b>(0, 0), pixel(BLUE));
    EXPECT_EQ(image.at<cv::Vec3b>(0, 1), cv::Vec3b(155, 0, 0));

    cv::Mat gold(1, 2, CV_8UC3);
    gold.at<cv::Vec3b>(0, 0) = pixel(RED);
    gold.at<cv::Vec3b>(0, 1) = pixel(BLUE);
    recolour(gold, GOLD);
    EXPECT_EQ(gold.at<cv::Vec3b>(0, 0), cv::Vec3b(0, 215, 255));
    EXPECT_EQ(gold.at<cv::Vec3b>(0, 1), cv::Vec3b(0, 115, 155));

    // Components are truncated, and held at the ends of the byte range rather than wrapped.
    cv::Mat odd(1, 2, CV_8UC3);
    odd.at<cv::Vec3b>(0, 0) = pixel(RED);
    odd.at<cv::Vec3b>(0, 1) = pixel(BLUE);
    recolour(odd, cv::Scalar(20.9, 300, -5));
    EXPECT_EQ(odd.at<cv::Vec3b>(0, 0), cv::Vec3b(20, 255, 0));
    EXPECT_EQ(odd.at<cv::Vec3b>(0, 1), cv::Vec3b(0, 200, 0));
}
