// Texts kept for the whole run at addresses that never move, on the platform
// heap: views of them stay valid while more are added.
#pragma once

#include <cstddef>
#include <string_view>

#include "io/platform_allocator.h"

namespace app {

class TextArena {
public:
    static constexpr std::size_t kBlockBytes = 64 * 1024;

    TextArena() = default;
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;
    ~TextArena();

    // A lasting copy of `text`. Running out of memory ends the run (41).
    std::string_view keep(std::string_view text);

private:
    io::PlatformVector<char*> blocks_;
    std::size_t used_ = kBlockBytes;  // in the last ordinary block
    char* last_ = nullptr;            // the last ordinary block
};

}  // namespace app
