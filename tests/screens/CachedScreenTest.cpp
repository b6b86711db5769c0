// The screens remember their last backdrop and banner. A sequence of frames goes through one
// long-lived screen; each picture must equal what a fresh screen, given the same panel,
// makes of it.

#include "ScreenTestSupport.hpp"
#include "hiscore/HiScore.hpp"
#include "screens/HiScoreScreen.hpp"
#include "screens/StartScreen.hpp"

#include <gtest/gtest.h>
#include <list>
#include <memory>
#include <opencv2/imgproc.hpp>

template <typename S> std::unique_ptr<S> entered(S* screen) {
    screen->init(1000);
    return std::unique_ptr<S>(screen);
}

// The same frame for a while, a change far from the banner, one inside it, the first again.
template <typename S, typename Make> void expectSameAsFresh(S& cached, Make fresh) {
    const cv::Mat first = roadFrame(7);
    cv::Mat low = first.clone(), high;
    cv::circle(low, cv::Point(700, 560), 20, cv::Scalar(0, 0, 255), cv::FILLED);
    high = low.clone();
    cv::rectangle(high, cv::Rect(380, 40, 40, 30), cv::Scalar(255, 255, 0), cv::FILLED);
    const cv::Mat inputs[] = {first, first, first, low, low, high, high, first};
    for (int i = 0; i < 8; ++i) {
        cv::Mat viaCache = inputs[i].clone(), direct = inputs[i].clone();
        cached.drawPanel(viaCache, cached.panel());
        fresh()->drawPanel(direct, cached.panel());
        EXPECT_TRUE(identical(viaCache, direct)) << "frame " << i;
    }
}

TEST(CachedBackdrop, TheStartAndNameEntryScreensGiveTheDirectPicture) {
    std::list<Resources> resources; // each start screen keys its garage texture in place
    auto start = [&resources] {
        fillTextures(resources.emplace_back());
        return entered(new StartScreen(&resources.back()));
    };
    expectSameAsFresh(*start(), start);

    HiScore table;
    table.setMaxEntries(8);
    auto nameEntry = [&] {
        auto screen = entered(new HiScoreScreen);
        screen->showTable(table);
        screen->offer(HiScoreEntry("", 1000, 2500, 3), 1000); // rank 2
        return screen;
    };
    auto cached = nameEntry();
    cached->handleKey('j');
    expectSameAsFresh(*cached, nameEntry);
    cached->update(0, 1000); // the cursor changes the panel below the cached banner
    expectSameAsFresh(*cached, nameEntry);
}
