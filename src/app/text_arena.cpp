#include "app/text_arena.h"

#include <cstring>

#include "platform/memory.h"

namespace app {

TextArena::~TextArena() {
    for (char* block : blocks_) platform::heap_release(block);
}

std::string_view TextArena::keep(std::string_view text) {
    if (text.empty()) return {};
    char* at = nullptr;
    if (text.size() > kBlockBytes / 4) {
        // A long text has a block of its own, so the ordinary ones stay full.
        blocks_.reserve(blocks_.size() + 1);
        at = static_cast<char*>(io::PlatformAllocator<char>{}.allocate(text.size()));
        blocks_.push_back(at);
    } else {
        if (used_ + text.size() > kBlockBytes) {
            blocks_.reserve(blocks_.size() + 1);
            last_ = io::PlatformAllocator<char>{}.allocate(kBlockBytes);
            blocks_.push_back(last_);
            used_ = 0;
        }
        at = last_ + used_;
        used_ += text.size();
    }
    std::memcpy(at, text.data(), text.size());
    return {at, text.size()};
}

}  // namespace app
