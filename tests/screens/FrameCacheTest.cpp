// The screens that filter the frame remember their last input and result. These tests run a
// sequence of frames through one long-lived screen and compare every picture with the one a
// fresh screen (nothing remembered) makes of the same frame.

#include "ScreenTestSupport.hpp"

#include "hiscore/HiScore.hpp"
#include "screens/FrameCache.hpp"
#include "screens/HiScoreScreen.hpp"
#include "screens/PauseScreen.hpp"
#include "screens/StartScreen.hpp"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace screentest;

namespace {

// Frames as the game produces them: the same picture for a while, a change far from the
// top (the banner's region stays as it was), a change at the top, and the first again.
std::vector<cv::Mat> frameSequence() {
    const cv::Mat first = roadFrame(7);
    cv::Mat bottomChanged = first.clone();
    cv::circle(bottomChanged, cv::Point(700, 560), 20, cv::Scalar(0, 0, 255), cv::FILLED);
    cv::Mat topChanged = bottomChanged.clone();
    cv::rectangle(topChanged, cv::Rect(380, 40, 40, 30), cv::Scalar(255, 255, 0), cv::FILLED);
    return {first, first, first, bottomChanged, bottomChanged, topChanged, topChanged, first};
}

template <typename ScreenType>
void expectSameAsFresh(ScreenType& cached,
                       const std::function<std::unique_ptr<ScreenType>()>& fresh) {
    int index = 0;
    for (const cv::Mat& input : frameSequence()) {
        SCOPED_TRACE(index++);
        cv::Mat viaCache = input.clone();
        compose(cached, viaCache);
        cv::Mat direct = input.clone();
        std::unique_ptr<ScreenType> uncached = fresh();
        compose(*uncached, direct);
        EXPECT_TRUE(identical(viaCache, direct));
        EXPECT_FALSE(identical(viaCache, input));
    }
}

TEST(CachedBackdrop, StartScreenMatchesTheDirectPictureFrameAfterFrame) {
    // Each screen gets resources of its own: enter keys the garage texture in place, once.
    std::vector<std::unique_ptr<Resources>> resources;
    auto make = [&resources] {
        resources.push_back(std::make_unique<Resources>());
        fillTextures(*resources.back());
        auto screen = std::make_unique<StartScreen>(resources.back().get());
        screen->enter();
        screen->draw(screen->canvas);
        return screen;
    };
    std::unique_ptr<StartScreen> cached = make();
    expectSameAsFresh<StartScreen>(*cached, make);
}

TEST(CachedBackdrop, PauseScreenMatchesTheDirectPictureInBothPhases) {
    FakeClock clock(1000);
    Resources resources;
    for (bool shown : {true, false}) {
        SCOPED_TRACE(shown);
        auto make = [&resources, shown] {
            auto screen = std::make_unique<PauseScreen>(&resources);
            screen->enter();
            screen->draw(screen->canvas);
            screen->visible = shown;
            return screen;
        };
        std::unique_ptr<PauseScreen> cached = make();
        expectSameAsFresh<PauseScreen>(*cached, make);
    }
}

TEST(CachedBackdrop, NameEntryMatchesTheDirectPictureWithBannerAndCursor) {
    FakeClock clock(1000);
    Resources resources;
    resources.hiScore.setMaxEntries(8);
    auto make = [&resources] {
        auto screen = std::make_unique<HiScoreScreen>(&resources, &resources.hiScore);
        screen->enter();
        screen->draw(screen->canvas);
        screen->offer(HiScoreEntry("", 1000, 2500, 3)); // rank 2 of the full table
        screen->handleKey('j');
        return screen;
    };
    std::unique_ptr<HiScoreScreen> cached = make();
    expectSameAsFresh<HiScoreScreen>(*cached, make);

    // The cursor blinks in the panel while the banner's region stays cached.
    cached->update(0, 1000);
    ASSERT_TRUE(cached->cursorVisible);
    expectSameAsFresh<HiScoreScreen>(*cached, [&make] {
        auto screen = make();
        screen->cursorVisible = true;
        return screen;
    });
}

TEST(CachedBackdrop, TableModeOnTheStartScreenMatchesTheDirectPicture) {
    Resources resources;
    resources.hiScore.setMaxEntries(8);
    auto make = [&resources] {
        auto screen = std::make_unique<HiScoreScreen>(&resources, &resources.hiScore);
        screen->enter();
        screen->draw(screen->canvas);
        return screen;
    };
    std::unique_ptr<HiScoreScreen> cached = make();
    // Name entry, then a result that does not rank: back to the table at the top.
    ASSERT_TRUE(cached->offer(HiScoreEntry("", 1000, 2500, 3)));
    cv::Mat frame = roadFrame();
    compose(*cached, frame);
    ASSERT_FALSE(cached->offer(HiScoreEntry("", 0, 0, 0)));
    expectSameAsFresh<HiScoreScreen>(*cached, make);
}

TEST(FrameCacheRegions, ARegionIsReplayedOnlyForTheSameBytes) {
    cv::Mat image(40, 60, CV_8UC3, cv::Scalar(10, 20, 30));
    cv::Mat region = image(cv::Rect(5, 5, 20, 10)); // rows not contiguous
    FrameCache cache;
    int runs = 0;
    auto invert = [&runs](cv::Mat& view) {
        ++runs;
        cv::bitwise_not(view, view);
    };
    cache.apply(region, invert);
    EXPECT_EQ(image.at<cv::Vec3b>(5, 5), cv::Vec3b(245, 235, 225));
    EXPECT_EQ(image.at<cv::Vec3b>(4, 5), cv::Vec3b(10, 20, 30));

    region.setTo(cv::Scalar(10, 20, 30));
    cache.apply(region, invert);
    EXPECT_EQ(runs, 1); // the same input: replayed
    EXPECT_EQ(image.at<cv::Vec3b>(14, 24), cv::Vec3b(245, 235, 225));

    region.setTo(cv::Scalar(10, 20, 30));
    image.at<cv::Vec3b>(14, 24) = cv::Vec3b(10, 20, 31); // one byte in the region's last pixel
    cache.apply(region, invert);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(image.at<cv::Vec3b>(14, 24), cv::Vec3b(245, 235, 224));

    cv::Mat otherSize = image(cv::Rect(0, 0, 20, 11));
    EXPECT_FALSE(cache.matches(otherSize));
    cache.clear();
    EXPECT_FALSE(cache.matches(region));
}

} // namespace
