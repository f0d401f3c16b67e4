#include "platform/posix/elf_symbols.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cstdint>
#include <string>

#include "support/temp_dir.h"

// Out of line and unexported: only the full symbol table names it.
extern "C" __attribute__((noinline, used)) int tdp_elf_symbols_probe(int x) { return x * 3 + 1; }

namespace {

// The module of a function: its file name and its load bias.
struct Module {
    std::string file;
    std::uintptr_t bias = 0;
};

template <typename Function>
Module module_of(Function* function) {
    Dl_info info{};
    link_map* map = nullptr;
    const void* address = reinterpret_cast<const void*>(function);
    if (dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 || map == nullptr) return {};
    return {info.dli_fname != nullptr ? info.dli_fname : "", map->l_addr};
}

TEST(ElfSymbols, NamesTheFunctionHoldingAnAddress) {
    const auto probe = reinterpret_cast<std::uintptr_t>(&tdp_elf_symbols_probe);
    const std::uintptr_t bias = module_of(&tdp_elf_symbols_probe).bias;
    platform::posix::ElfSymbols symbols;
    EXPECT_EQ(symbols.function_at("/proc/self/exe", bias, probe), "tdp_elf_symbols_probe");
    EXPECT_EQ(symbols.function_at("/proc/self/exe", bias, probe + 1), "tdp_elf_symbols_probe");
    // A library: stripped of its full table, named from its dynamic one.
    const Module library = module_of(&dladdr);
    ASSERT_FALSE(library.file.empty());
    EXPECT_EQ(symbols.function_at(library.file.c_str(), library.bias, reinterpret_cast<std::uintptr_t>(&dladdr)),
              "dladdr");
    // Back to the first file after another one.
    EXPECT_EQ(symbols.function_at("/proc/self/exe", bias, probe), "tdp_elf_symbols_probe");
}

TEST(ElfSymbols, NothingWhereNoFunctionIs) {
    test_support::TempDir dir;
    const std::string text = dir.file("not-elf");
    test_support::write_bytes(text, std::string(4096, 'x'));
    platform::posix::ElfSymbols symbols;
    EXPECT_EQ(symbols.function_at("/proc/self/exe", 0, 0), "");
    EXPECT_EQ(symbols.function_at(text.c_str(), 0, 100), "");
    EXPECT_EQ(symbols.function_at(dir.file("missing").c_str(), 0, 100), "");
    EXPECT_EQ(symbols.function_at(nullptr, 0, 100), "");
}

}  // namespace
