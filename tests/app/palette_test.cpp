#include "app/palette.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Never a colour of the background, a grey, by block or by layer, nor a dark
// or pale shade: a basic colour 1-6 or a hue at full strength (10, 20 ... 240).
TEST(Palette, FullHuesOnlyDistinctAndCycling) {
    std::set<int> first_round;
    for (std::size_t i = 0; i < 1000; ++i) {
        const int colour = app::colour_for(i);
        EXPECT_TRUE((colour >= 1 && colour <= 6) || (colour >= 10 && colour <= 240 && colour % 10 == 0)) << i;
        EXPECT_EQ(colour, app::colour_for(i % app::kLayerPalette.size())) << i;
        if (i < app::kLayerPalette.size()) first_round.insert(colour);
    }
    // Full red, yellow, green, cyan, blue and magenta are 1-6 again in 10-249.
    for (const int same_as_basic : {10, 50, 90, 130, 170, 210}) EXPECT_EQ(first_round.count(same_as_basic), 0u);
    EXPECT_EQ(first_round.size(), app::kLayerPalette.size());
    // The order the documentation gives.
    const int documented[] = {1, 3, 5, 6, 4, 2, 30, 150};
    for (std::size_t i = 0; i < std::size(documented); ++i) EXPECT_EQ(app::colour_for(i), documented[i]);
}

}  // namespace
