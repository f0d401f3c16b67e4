// The drawing's layers: layer "0" first, then one per distinct layer name in
// the order of first use. Kept on the platform heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/text_arena.h"
#include "io/platform_allocator.h"

namespace app {

// A layer name every reader takes: letters (upper case), digits, '$', '-'
// and '_', other bytes as '_', at most 31; an empty code is layer "0".
// Writes into `out` (31 bytes at least) and returns the length.
std::size_t layer_name_for(std::string_view code, char* out);

class LayerTable {
public:
    static constexpr std::size_t kMostNameBytes = 31;

    LayerTable();

    // The index of the layer of a point's code. Codes come in runs: the last
    // one is looked up once.
    std::uint32_t index_for(std::string_view code);

    std::size_t size() const { return names_.size(); }
    std::string_view name(std::uint32_t index) const { return names_[index]; }

private:
    struct Hash {
        std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
    };

    TextArena arena_;
    io::PlatformVector<std::string_view> names_;
    io::PlatformMap<std::string_view, std::uint32_t, Hash> index_;
    io::PlatformVector<char> last_code_;
    bool has_last_ = false;
    std::uint32_t last_index_ = 0;
};

}  // namespace app
