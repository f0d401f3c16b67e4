#include "platform/win32/symbol_name.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using platform::win32::bare_symbol_name;

TEST(BareSymbolName, KeepsTheRoutinesOwnName) {
    // The names as the debug-help library gives them for a DWARF 4 build.
    const struct {
        std::string_view symbol, bare;
    } cases[] = {
        {"main", "main"},
        {"cfun", "cfun"},
        {"ns::S::st", "st"},
        {"rt::report_error", "report_error"},
        {"ns::S::tm<std::pair<int, int> >", "tm"},
        {"templ<double>", "templ"},
        {"S", "S"},
        {"~S", "~S"},
        {"ns::S::~S", "~S"},
        {"ns::S::operator<", "operator<"},
        {"ns::S::operator<<", "operator<<"},
        {"operator()", "operator()"},
        {"ns::S::operator[]", "operator[]"},
        {"ns::S::operator->", "operator->"},
        {"ns::S::operator new[]", "operator new[]"},
        {"ns::S::operator int", "operator int"},
        {"ns::S::operator< <int>", "operator<"},
        // An identifier that only begins with the keyword is no operator.
        {"ns::operatorish", "operatorish"},
        {"ns::f(int, char const*)", "f"},
        {"(anonymous namespace)::helper", "helper"},
        {"std::map<int, std::less<int> >::find", "find"},
        {"outer<a::b>::inner<c::d>", "inner"},
        {"{lambda(int)#1}", "{lambda(int)#1}"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(bare_symbol_name(c.symbol), c.bare) << c.symbol;
}

}  // namespace
