#include "app/screen_fit.h"

#include <gtest/gtest.h>
#include <limits>
#include <random>

using namespace qorvi;

TEST(ScreenFit, AnyBoundsEndWhollyOnOneScreenAndBoundsOnAScreenStay) {
    std::mt19937 random(9);
    const int extremes[] = {std::numeric_limits<int>::min(), -100000, -1, 0, 1, 100000,
                            std::numeric_limits<int>::max()};
    auto anyInt = [&] {
        return random() % 2 ? extremes[random() % std::size(extremes)]
                            : static_cast<int>(random() % 4000) - 1000;
    };
    const std::vector<ScreenRect> screens = {{0, 0, 1920, 1080}, {1920, -200, 1280, 1024}};
    for (int i = 0; i < 20000; ++i) {
        const ScreenRect wanted{anyInt(), anyInt(), anyInt(), anyInt()};
        const ScreenRect got = fitToScreens(wanted, screens);
        bool onOne = false;
        for (const auto& s : screens)
            onOne |= got.width >= 1 && got.height >= 1 && got.left >= s.left && got.top >= s.top &&
                     std::int64_t{got.left} + got.width <= std::int64_t{s.left} + s.width &&
                     std::int64_t{got.top} + got.height <= std::int64_t{s.top} + s.height;
        ASSERT_TRUE(onOne) << wanted.left << " " << wanted.top << " " << wanted.width << " " << wanted.height;
    }
    for (const ScreenRect& onScreen : {ScreenRect{100, 50, 800, 600}, ScreenRect{2000, -100, 1200, 900}})
        EXPECT_EQ(fitToScreens(onScreen, screens), onScreen);
}
