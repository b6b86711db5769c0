// The filtering screens remember their last input and result. A sequence of frames goes
// through one long-lived screen; each picture must equal what a fresh screen makes of it.

#include "ScreenTestSupport.hpp"

#include "hiscore/HiScore.hpp"
#include "screens/HiScoreScreen.hpp"
#include "screens/PauseScreen.hpp"
#include "screens/StartScreen.hpp"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace screentest;

namespace {

template <typename S> using Factory = std::function<std::unique_ptr<S>()>;

// The same frame for a while, a change far from the banner, one inside it, the first again.
template <typename S> void expectSameAsFresh(S& cached, const Factory<S>& fresh) {
    const cv::Mat first = roadFrame(7);
    cv::Mat low = first.clone(), high;
    cv::circle(low, cv::Point(700, 560), 20, cv::Scalar(0, 0, 255), cv::FILLED);
    high = low.clone();
    cv::rectangle(high, cv::Rect(380, 40, 40, 30), cv::Scalar(255, 255, 0), cv::FILLED);
    int index = 0;
    for (const cv::Mat& input : {first, first, first, low, low, high, high, first}) {
        SCOPED_TRACE(index++);
        cv::Mat viaCache = input.clone(), direct = input.clone();
        compose(cached, viaCache);
        compose(*fresh(), direct);
        EXPECT_TRUE(identical(viaCache, direct));
    }
}

TEST(CachedBackdrop, StartScreenGivesTheDirectPicture) {
    // Resources for each screen: enter keys the garage texture in place, once.
    std::vector<std::unique_ptr<Resources>> resources;
    Factory<StartScreen> make = [&resources] {
        resources.push_back(std::make_unique<Resources>());
        fillTextures(*resources.back());
        auto screen = std::make_unique<StartScreen>(resources.back().get());
        screen->enter();
        screen->draw(screen->canvas);
        return screen;
    };
    expectSameAsFresh(*make(), make);
}

TEST(CachedBackdrop, PauseScreenGivesTheDirectPictureInBothPhases) {
    FakeClock clock(1000);
    Resources resources;
    for (bool shown : {true, false}) {
        Factory<PauseScreen> make = [&resources, shown] {
            auto screen = std::make_unique<PauseScreen>(&resources);
            screen->enter();
            screen->draw(screen->canvas);
            screen->visible = shown;
            return screen;
        };
        expectSameAsFresh(*make(), make);
    }
}

TEST(CachedBackdrop, NameEntryGivesTheDirectPictureWithBannerAndBlinkingCursor) {
    FakeClock clock(1000);
    Resources resources;
    resources.hiScore.setMaxEntries(8);
    bool cursor = false;
    Factory<HiScoreScreen> make = [&resources, &cursor] {
        auto screen = std::make_unique<HiScoreScreen>(&resources, &resources.hiScore);
        screen->enter();
        screen->draw(screen->canvas);
        screen->offer(HiScoreEntry("", 1000, 2500, 3)); // rank 2
        screen->handleKey('j');
        screen->cursorVisible = cursor;
        return screen;
    };
    std::unique_ptr<HiScoreScreen> cached = make();
    expectSameAsFresh(*cached, make);
    cursor = true; // the panel changes below the cached banner
    cached->update(0, 1000);
    ASSERT_TRUE(cached->cursorVisible);
    expectSameAsFresh(*cached, make);
}

} // namespace
