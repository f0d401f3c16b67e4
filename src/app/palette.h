// The colour of each code's layer, when the codes file gives it none.
//
// Layers take AutoCAD Colour Index numbers from this table in the order
// their codes first appear in the file, the first code 1, the second 3, and
// so on; past the 24th code the table starts over. The same file gives the
// same colours on every run.
//
//   order   colours (ACI)
//    1-6    1 red, 3 green, 5 blue, 6 magenta, 4 cyan, 2 yellow
//    7-12   30 orange, 150 azure, 70 chartreuse, 190 violet, 110 spring green, 230 rose
//   13-24   20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 220, 240: the
//           hues halfway between those before, in order round the wheel
//
// Every entry is a hue at full strength, the six basic colours first and
// then hues ever finer between them, so the first codes, the ones a drawing
// has most of, differ the most. Left out: 0 and 256 (by block, by layer), 7
// (white or black as the background is), 8 and 9 and 250-255 (greys, read as
// background or disabled), and the darker and paler shades of each hue (the
// other numbers of 10-249), which vanish on a dark or a white background.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace app {

inline constexpr std::array<std::uint8_t, 24> kLayerPalette{
    1,  3,  5,  6,   4,   2,   30,  150, 70,  190, 110, 230,
    20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 220, 240,
};

// The colour of the layer of the code that appeared `first_appearance_index`-th
// (from 0) among the codes that take theirs from the palette.
constexpr std::uint8_t colour_for(std::size_t first_appearance_index) {
    return kLayerPalette[first_appearance_index % kLayerPalette.size()];
}

}  // namespace app
