// Routine names from a module's own symbol table, read from its file with
// system calls alone (open, mmap, close; no heap): safe on the fault path,
// where the unwinder's own name lookup allocates.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform::posix {

class ElfSymbols {
public:
    ElfSymbols() = default;
    ~ElfSymbols() { unmap(); }
    ElfSymbols(const ElfSymbols&) = delete;
    ElfSymbols& operator=(const ElfSymbols&) = delete;

    // The name of the function whose range in the module file `file`,
    // loaded `load_bias` bytes from its link addresses, holds `address`: from
    // the full symbol table where the file keeps one, else from the dynamic
    // one. Empty when none holds it. The name lives until the next call.
    std::string_view function_at(const char* file, std::uintptr_t load_bias, std::uintptr_t address);

private:
    bool map(const char* file);
    void unmap();

    char file_[PATH_MAX] = {};
    const unsigned char* image_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace platform::posix
