// From a point's code to its layer: a key that finds the layer, and the
// name the layer is given.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace app::text {

// Folding can make a character's UTF-8 longer by half (U+023A to U+2C65).
inline constexpr std::size_t kKeyGrowth = 2;

// The key of a code's layer: the code with letter case folded in any script
// (Unicode's simple case folding), so codes that differ only in case share
// a layer and any other difference keeps layers apart. The empty code is
// layer "0", as is the code "0". In `out` (kKeyGrowth times the code)
// unless the code is its own key; an empty view when `out` is too small.
std::string_view layer_key(std::string_view code, std::span<char> out);

// The name of a code's layer, from the code that first made the layer (its
// spelling as typed): every letter of any script kept, and each character
// a name may not hold written '_': < > / \ " : ; ? * | = , ` and control
// characters, which readers refuse in a name, and '^', which readers take
// for the start of a control character; a blank at either end too, as a
// name typed there loses it. The empty code is "0". In `out` (as long as
// the code) unless the code is its own name; an empty view when `out` is
// too small. The drawing's LayerNameWriter makes names distinct.
std::string_view layer_name(std::string_view code, std::span<char> out);

}  // namespace app::text
