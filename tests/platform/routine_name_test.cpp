#include "platform/common/routine_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string bare(std::string_view symbol, std::size_t room = 256) {
    char out[256];
    const std::size_t length = platform::bare_routine_name(symbol, {out, room});
    return {out, length};
}

TEST(BareRoutineName, Names) {
    struct Case {
        const char* symbol;
        const char* bare;
    };
    const Case cases[] = {
        {"main", "main"},
        {"_ZL6helperi", "helper"},
        {"_ZN12_GLOBAL__N_19walk_hereEv", "walk_here"},
        {"_ZN2io12_GLOBAL__N_18scan_oneIfEEiRNS_7ScannerE", "scan_one"},
        {"_ZN5OuterI5InnerILi3EEE3runEv", "run"},
        {"_ZN3FooD1Ev", "~Foo"},
        {"_ZN3FooclEv", "operator()"},
        {"_ZNK3Foo3getB5cxx11Ev", "get"},
        {"_ZZ4mainENKUlvE_clEv", "main"},
        {"_ZN3fooEv.cold", "foo"},
        // What the reader cannot follow stands as it is.
        {"_Zbogus", "_Zbogus"},
        {"_Z99short", "_Z99short"},
    };
    for (const Case& c : cases) EXPECT_EQ(bare(c.symbol), c.bare) << c.symbol;
}

TEST(BareRoutineName, CutToTheRoom) {
    EXPECT_EQ(bare("_Z6abcdefv", 4), "abc");
    EXPECT_EQ(bare("_ZN3FooD1Ev", 3), "~F");
    EXPECT_EQ(bare("main", 0), "");
}

}  // namespace
