// The drawing's layers: layer "0" first, then one per distinct layer name in
// the order of first use. Kept on the platform heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "app/table/code_table.h"
#include "app/text_arena.h"
#include "io/platform_allocator.h"

namespace app {

// A code's layer is found by the code with its letter case folded, so codes
// that differ only in case share a layer and any other difference keeps
// layers apart; the layer is named by the code as first spelt (as UTF-8:
// the drawing writes it in its code page).
class LayerTable {
public:
    LayerTable();

    // A codes file's layer names and colours for the codes it lists: such
    // a code's layer is named, and found, by the file's name for it.
    void use_codes(const table::CodeTable* codes) { codes_ = codes; }

    // The index of the layer of a point's code (UTF-8). Codes come in runs:
    // the last one is looked up once.
    std::uint32_t index_for(std::string_view code);

    std::size_t size() const { return names_.size(); }
    std::string_view name(std::uint32_t index) const { return names_[index]; }
    // The layer's colour from the codes file (1-255), or 0: the palette's.
    std::uint8_t colour(std::uint32_t index) const { return colours_[index]; }
    std::span<const std::uint8_t> colours() const { return {colours_.data(), colours_.size()}; }

private:
    struct Hash {
        std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
    };

    TextArena arena_;
    io::PlatformVector<std::string_view> names_;
    io::PlatformVector<std::uint8_t> colours_;
    const table::CodeTable* codes_ = nullptr;
    io::PlatformMap<std::string_view, std::uint32_t, Hash> index_;
    io::PlatformVector<char> last_code_;
    io::PlatformVector<char> scratch_;
    bool has_last_ = false;
    std::uint32_t last_index_ = 0;
};

}  // namespace app
