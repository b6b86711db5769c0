// Draws the game's three textures and writes them to graphics/car.png, graphics/garage.png and
// graphics/startLine.png below the working directory (run it from the repository root), and
// the desktop icon to packaging/dravolt.png.
//
// The textures carry key colours that the game replaces by exact match: MAGENTA is
// transparent, and in the car RED is the body and BLUE its shade. Everything is therefore
// drawn 8-connected and never scaled, so that no blended pixel lies next to a key colour. The
// car's silhouette is rimmed with a dark outline: where the start screen shrinks the car
// with a smooth filter, the rim blends with the transparent area into a dark edge instead of
// a coloured fringe.

#include "core/Palette.hpp"
#include "gfx/Compositing.hpp"

#include <filesystem>
#include <iostream>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>
#include <vector>

namespace {

// Neutral greys on the rim: the start screen's masked paste works bit by bit, so a rim whose
// channels differ would come out tinted where the shrunk car blends into its surroundings.
const cv::Scalar OUTLINE(30, 30, 30);
const cv::Scalar TYRE(44, 44, 44);
const cv::Scalar TREAD(66, 66, 66);
const cv::Scalar GLASS(92, 62, 44);
const cv::Scalar GLASS_GLINT(150, 120, 100);
const cv::Scalar HEADLIGHT(175, 240, 250);
const cv::Scalar TAIL_LIGHT(36, 24, 176);

using Polygon = std::vector<cv::Point>;

void fill(cv::Mat& image, const Polygon& polygon, const cv::Scalar& colour) {
    cv::fillPoly(image, std::vector<Polygon>{polygon}, colour, cv::LINE_8);
}

void box(cv::Mat& image, int x0, int y0, int x1, int y1, const cv::Scalar& colour) {
    cv::rectangle(image, cv::Point(x0, y0), cv::Point(x1, y1), colour, cv::FILLED, cv::LINE_8);
}

// Copies the left half onto the right half, mirrored, so that only the left half of a
// symmetric picture needs to be right.
void mirrorLeftHalf(cv::Mat& image) {
    for (int row = 0; row < image.rows; ++row) {
        auto* pixel = image.ptr<cv::Vec3b>(row);
        for (int col = 0; col < image.cols / 2; ++col) {
            pixel[image.cols - 1 - col] = pixel[col];
        }
    }
}

// Paints colour over the pixels inside the area (an 8-bit mask), leaving the rest.
void paintWhere(cv::Mat& image, const cv::Mat& area, const cv::Scalar& colour) {
    image.setTo(colour, area);
}

// The car seen from above, front at the top: 50 by 96 pixels.
cv::Mat drawCar() {
    const int width = 50;
    const int height = 96;
    cv::Mat car(height, width, CV_8UC3, MAGENTA);

    // Wheels stick out two pixels beyond the body's flanks.
    for (int top : {15, 66}) {
        box(car, 1, top, 6, top + 15, OUTLINE);
        box(car, 2, top + 1, 6, top + 14, TYRE);
        for (int y = top + 2; y < top + 14; y += 3) {
            box(car, 2, y, 3, y, TREAD);
        }
    }

    // Body silhouette, left half with the centre line at x 24.5; the mirror makes the rest.
    const Polygon body = {{24, 1}, {14, 1}, {8, 3},  {5, 7},  {4, 14}, {4, 30},  {5, 34},
                          {5, 60}, {4, 66}, {4, 86}, {5, 90}, {8, 93}, {14, 94}, {24, 94}};
    const Polygon mirrorArm = {{1, 34}, {5, 33}, {5, 38}, {2, 37}};
    cv::Mat silhouette(height, width, CV_8U, cv::Scalar(0));
    fill(silhouette, body, cv::Scalar(255));
    fill(silhouette, mirrorArm, cv::Scalar(255));
    box(silhouette, 24, 1, 25, 94, cv::Scalar(255));
    // One pixel in from the silhouette's edge is the body; the ring left over is its outline.
    cv::Mat inside;
    cv::erode(silhouette, inside, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)),
              cv::Point(-1, -1), 1, cv::BORDER_CONSTANT, cv::Scalar(0));
    paintWhere(car, silhouette, OUTLINE);
    paintWhere(car, inside, RED);

    // The flanks fall away from the viewer and lie in shade; so do the outer edges of the
    // bonnet and boot, and the door mirror.
    const Polygon flank = {{5, 12}, {8, 12}, {8, 88}, {5, 88}};
    fill(car, flank, BLUE);
    fill(car, Polygon{{5, 7}, {7, 5}, {9, 4}, {9, 12}, {5, 12}}, BLUE);
    fill(car, Polygon{{6, 88}, {9, 88}, {9, 91}, {7, 91}}, BLUE);
    fill(car, Polygon{{2, 35}, {4, 35}, {4, 36}, {3, 36}}, BLUE);

    // Bonnet crease and the shade line where the bonnet meets the windscreen.
    box(car, 15, 8, 15, 26, BLUE);
    box(car, 11, 28, 24, 28, BLUE);

    // Windscreen: wide where it meets the bonnet, narrower at the roof.
    fill(car, Polygon{{10, 30}, {24, 30}, {24, 40}, {13, 40}}, GLASS);
    box(car, 14, 32, 16, 32, GLASS_GLINT);
    box(car, 13, 33, 14, 33, GLASS_GLINT);
    // Side windows between the flank and the roof, their slanted ends in whole-pixel steps: a
    // right-hand edge through an exact half pixel (from {9, 36} to {11, 40}, say) is filled
    // one pixel wider by OpenCV 4.10 than by 4.6.
    const Polygon sideWindow = {{9, 36},  {9, 37},  {10, 38}, {10, 39}, {11, 40},
                                {11, 62}, {10, 63}, {10, 64}, {9, 65},  {9, 66}};
    fill(car, sideWindow, GLASS);
    // Roof with a shaded rim on its pillars.
    box(car, 12, 41, 12, 62, BLUE);
    box(car, 13, 41, 24, 41, BLUE);
    // Rear window: narrow at the roof, wider at the boot.
    fill(car, Polygon{{13, 63}, {24, 63}, {24, 71}, {11, 71}}, GLASS);
    box(car, 12, 72, 24, 72, BLUE);
    // Spoiler across the boot lid.
    box(car, 10, 84, 24, 85, BLUE);

    // Lights at both ends.
    fill(car, Polygon{{9, 4}, {14, 3}, {15, 4}, {15, 6}, {10, 6}}, HEADLIGHT);
    box(car, 9, 89, 14, 91, TAIL_LIGHT);

    // The details above may reach the silhouette's edge (the flank runs straight past the
    // waist): the outline goes back on top of them.
    cv::Mat outline = silhouette & ~inside;
    paintWhere(car, outline, OUTLINE);

    mirrorLeftHalf(car);
    return car;
}

// A small garage seen from the front: pitched roof, cream walls and a roll-up door; 70 by 70.
cv::Mat drawGarage() {
    const int size = 70;
    const cv::Scalar roof(46, 58, 150);
    const cv::Scalar roofEdge(30, 36, 96);
    const cv::Scalar wall(168, 208, 228);
    const cv::Scalar wallShade(128, 164, 188);
    const cv::Scalar door(150, 146, 138);
    const cv::Scalar slat(104, 100, 94);
    const cv::Scalar sign(56, 72, 40);
    const cv::Scalar signText(220, 240, 240);
    const cv::Scalar windowPane(140, 110, 84);

    cv::Mat garage(size, size, CV_8UC3, MAGENTA);

    // Walls with a dark frame, the roof overhanging them on both sides.
    box(garage, 5, 24, 64, 68, OUTLINE);
    box(garage, 6, 25, 63, 67, wall);
    box(garage, 6, 25, 63, 27, wallShade); // the roof's shadow on the wall
    fill(garage, Polygon{{1, 26}, {34, 2}, {35, 2}, {68, 26}, {68, 28}, {1, 28}}, OUTLINE);
    fill(garage, Polygon{{4, 26}, {34, 4}, {35, 4}, {65, 26}}, roof);
    box(garage, 3, 27, 66, 27, roofEdge);

    // A sign over the door.
    box(garage, 22, 30, 47, 36, OUTLINE);
    box(garage, 23, 31, 46, 35, sign);
    for (int x = 25; x <= 44; x += 3) {
        box(garage, x, 33, x + 1, 33, signText);
    }

    // The roll-up door: a dark frame, horizontal slats and a handle.
    box(garage, 14, 39, 55, 68, OUTLINE);
    box(garage, 16, 41, 53, 68, door);
    for (int y = 43; y <= 66; y += 3) {
        box(garage, 16, y, 53, y, slat);
    }
    box(garage, 32, 64, 37, 65, OUTLINE);

    // A small window in the gable.
    box(garage, 30, 12, 39, 20, OUTLINE);
    box(garage, 31, 13, 38, 19, windowPane);
    box(garage, 34, 13, 35, 19, OUTLINE);
    box(garage, 31, 16, 38, 16, OUTLINE);

    // The floor line in front of the door.
    box(garage, 0, 69, 69, 69, OUTLINE);

    return garage;
}

// The finishing line: a chequer of 5-pixel squares, 20 by 60, opaque.
cv::Mat drawStartLine() {
    const int square = 5;
    cv::Mat line(60, 20, CV_8UC3, WHITE);
    for (int y = 0; y < line.rows; y += square) {
        for (int x = 0; x < line.cols; x += square) {
            if ((x / square + y / square) % 2 == 1) {
                box(line, x, y, x + square - 1, y + square - 1, BLACK);
            }
        }
    }
    return line;
}

// The desktop icon, 256 by 256 with transparency: the start screen's gold car, twice its size,
// on a stretch of road between two kerbs, inside a tile with rounded corners.
cv::Mat drawIcon() {
    const int size = 256;
    const int corner = 40;
    const int kerb = 24;
    const int stripe = 32;
    cv::Mat road(size, size, CV_8UC3, GREY);
    for (int y = 0; y < size; y += stripe) {
        const cv::Scalar colour = (y / stripe) % 2 == 0 ? RED : WHITE;
        box(road, 0, y, kerb - 1, y + stripe - 1, colour);
        box(road, size - kerb, y, size - 1, y + stripe - 1, colour);
    }

    cv::Mat car = drawCar();
    recolour(car, GOLD);
    cv::Mat bigCar;
    cv::resize(car, bigCar, cv::Size(), 2.0, 2.0, cv::INTER_NEAREST);
    const int left = size / 2 - bigCar.cols / 2;
    const int top = size / 2 - bigCar.rows / 2;
    cv::Mat transparent;
    cv::inRange(bigCar, MAGENTA, MAGENTA, transparent);
    bigCar.copyTo(road(cv::Rect(left, top, bigCar.cols, bigCar.rows)), ~transparent);

    // The tile: a rectangle with quarter circles in its corners; the rest is transparent.
    cv::Mat tile(size, size, CV_8U, cv::Scalar(0));
    box(tile, corner, 0, size - 1 - corner, size - 1, cv::Scalar(255));
    box(tile, 0, corner, size - 1, size - 1 - corner, cv::Scalar(255));
    for (int x : {corner, size - 1 - corner}) {
        for (int y : {corner, size - 1 - corner}) {
            cv::circle(tile, cv::Point(x, y), corner, cv::Scalar(255), cv::FILLED, cv::LINE_8);
        }
    }
    cv::Mat icon;
    cv::cvtColor(road, icon, cv::COLOR_BGR2BGRA);
    cv::Mat alpha;
    cv::extractChannel(icon, alpha, 3);
    alpha.setTo(0, ~tile);
    cv::insertChannel(alpha, icon, 3);
    return icon;
}

bool save(const std::string& path, const cv::Mat& image) {
    if (!cv::imwrite(path, image)) {
        std::cout << "ERROR: Can't write '" << path << "'" << std::endl;
        return false;
    }
    std::cout << path << ": " << image.cols << " x " << image.rows << std::endl;
    return true;
}

} // namespace

int main() {
    std::error_code error;
    std::filesystem::create_directories("graphics", error);
    if (error) {
        std::cout << "ERROR: Can't create the folder 'graphics': " << error.message() << std::endl;
        return 1;
    }
    std::filesystem::create_directories("packaging", error);
    if (error) {
        std::cout << "ERROR: Can't create the folder 'packaging': " << error.message() << std::endl;
        return 1;
    }
    const bool written = save("graphics/car.png", drawCar()) &&
                         save("graphics/garage.png", drawGarage()) &&
                         save("graphics/startLine.png", drawStartLine()) &&
                         save("packaging/dravolt.png", drawIcon());
    return written ? 0 : 1;
}
