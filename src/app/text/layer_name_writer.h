// The names of a drawing's layers as its LAYER table and entities write
// them, in the drawing's code page, each distinct from every other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/text/code_page.h"

namespace app::text {

// The longest name readers take (and AutoCAD lets a user type), in bytes
// written, suffix included.
inline constexpr std::size_t kLayerNameMostBytes = 255;

class LayerNameWriter {
public:
    // `layers`: how many names will be written, so the table of names
    // written is made once, at its size.
    explicit LayerNameWriter(CodePage page, std::size_t layers = 0);

    // The bytes that name the next layer, given the layers in the order of
    // the LAYER table (layer "0" first) and each one's name from
    // layer_name(). A character the page does not hold is written U+XXXX,
    // without the backslash a reader's check refuses in a name (above U+FFFF
    // as its UTF-16 pair, U+D83DU+DE00); the name is cut, at a character,
    // to kLayerNameMostBytes. Readers compare names with letter case
    // folded, so a name that would equal an earlier one so compared
    // (after replacement, cutting or U+XXXX) gets the first free suffix
    // ~2, ~3, ... of its spelling: distinct codes never share a layer.
    // The view holds until the next call.
    std::string_view next(std::string_view name);

private:
    void add(std::string_view unit, std::string_view folded);
    bool take(std::uint64_t state);

    CodePage page_;
    std::string bytes_;                   // the name being written
    std::vector<std::size_t> ends_;       // where each character of it ends; ends_[0] = 0
    std::vector<std::uint64_t> states_;   // the hash of its folded text up to each end
    // The names written so far, as 64-bit hashes of their folded text in
    // open addressing (0 is free): 8 bytes a name, where the names
    // themselves would take ten times that with a million layers. Two names
    // that differ but share a hash only cost one a needless suffix.
    std::vector<std::uint64_t> slots_;
    std::size_t used_ = 0;
    std::unordered_map<std::uint64_t, std::uint32_t> next_suffix_;  // by the hash of the name without one
};

}  // namespace app::text
