#include "platform/posix/elf_symbols.h"

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace platform::posix {
namespace {

using Header = ElfW(Ehdr);
using Section = ElfW(Shdr);
using Symbol = ElfW(Sym);

constexpr unsigned char kOwnClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;

// A whole record of the file at `offset`, copied: the file promises no alignment.
template <typename T>
bool read_at(const unsigned char* image, std::size_t size, std::size_t offset, T& out) {
    if (offset > size || size - offset < sizeof(T)) return false;
    std::memcpy(&out, image + offset, sizeof(T));
    return true;
}

}  // namespace

bool ElfSymbols::map(const char* file) {
    if (image_ != nullptr && std::strcmp(file, file_) == 0) return true;
    unmap();
    const std::size_t length = std::strlen(file);
    if (length >= sizeof file_) return false;
    const int fd = ::open(file, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat status {};
    void* block = MAP_FAILED;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && static_cast<std::size_t>(status.st_size) > sizeof(Header))
        block = ::mmap(nullptr, static_cast<std::size_t>(status.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (block == MAP_FAILED) return false;
    image_ = static_cast<const unsigned char*>(block);
    size_ = static_cast<std::size_t>(status.st_size);
    std::memcpy(file_, file, length + 1);
    return true;
}

void ElfSymbols::unmap() {
    if (image_ != nullptr) ::munmap(const_cast<unsigned char*>(image_), size_);
    image_ = nullptr;
    size_ = 0;
    file_[0] = '\0';
}

std::string_view ElfSymbols::function_at(const char* file, std::uintptr_t load_bias, std::uintptr_t address) {
    if (file == nullptr || !map(file)) return {};
    Header header;
    if (!read_at(image_, size_, 0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != kOwnClass || header.e_shentsize != sizeof(Section))
        return {};
    const std::uintptr_t wanted = address - load_bias;

    // The full table names the program's own static routines too; a stripped
    // library keeps only the dynamic one.
    for (const ElfW(Word) table_type : {SHT_SYMTAB, SHT_DYNSYM}) {
        bool had_table = false;
        for (std::size_t s = 0; s < header.e_shnum; ++s) {
            Section table;
            if (!read_at(image_, size_, header.e_shoff + s * sizeof(Section), table)) return {};
            if (table.sh_type != table_type) continue;
            Section strings;
            if (!read_at(image_, size_, header.e_shoff + table.sh_link * sizeof(Section), strings)) continue;
            if (strings.sh_offset > size_ || strings.sh_size > size_ - strings.sh_offset) continue;
            had_table = true;
            const std::size_t count = table.sh_size / sizeof(Symbol);
            for (std::size_t i = 0; i < count; ++i) {
                Symbol symbol;
                if (!read_at(image_, size_, table.sh_offset + i * sizeof(Symbol), symbol)) break;
                const unsigned type = ELF64_ST_TYPE(symbol.st_info);
                if ((type != STT_FUNC && type != STT_GNU_IFUNC) || symbol.st_shndx == SHN_UNDEF || symbol.st_size == 0)
                    continue;
                if (wanted < symbol.st_value || wanted - symbol.st_value >= symbol.st_size) continue;
                if (symbol.st_name >= strings.sh_size) return {};
                const char* name = reinterpret_cast<const char*>(image_ + strings.sh_offset + symbol.st_name);
                const void* end = std::memchr(name, '\0', strings.sh_size - symbol.st_name);
                if (end == nullptr) return {};
                return {name, static_cast<std::size_t>(static_cast<const char*>(end) - name)};
            }
        }
        if (had_table) return {};
    }
    return {};
}

}  // namespace platform::posix
