#include "io/terminator.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using io::TerminatorKind;
using Kind = std::optional<TerminatorKind>;
constexpr Kind kNone = std::nullopt;

TEST(TerminatorRule, GivesEachUnitItsTerminator) {
    struct Case {
        std::string_view text;
        Kind unit10, unit20, unit99;
    };
    const Case cases[] = {
        {"LF", TerminatorKind::lf, TerminatorKind::lf, TerminatorKind::lf},
        {"CRLF;LF:20", TerminatorKind::crlf, TerminatorKind::lf, TerminatorKind::crlf},
        {"20", kNone, TerminatorKind::cr, kNone},  // the list terminator is CR when absent
        {"LF;20", TerminatorKind::lf, TerminatorKind::cr, TerminatorKind::lf},
        {"CRLF:10-20", TerminatorKind::crlf, TerminatorKind::crlf, kNone},
        {"CR;LF:11-19,21-98", TerminatorKind::cr, TerminatorKind::cr, TerminatorKind::cr},
        {"LF:20-20,20", kNone, TerminatorKind::lf, kNone},
    };
    for (const Case& c : cases) {
        const auto rule = io::parse_terminator_rule(c.text);
        ASSERT_TRUE(rule.has_value()) << c.text;
        EXPECT_EQ(rule->terminator_for(10), c.unit10) << c.text;
        EXPECT_EQ(rule->terminator_for(20), c.unit20) << c.text;
        EXPECT_EQ(rule->terminator_for(99), c.unit99) << c.text;
    }
}

TEST(TerminatorRule, RefusesBadSyntax) {
    std::string items_64, items_65;
    for (int i = 1; i <= 65; ++i) {
        (i <= 64 ? items_64 : items_65) += (i > 1 ? "," : "") + std::to_string(i);
    }
    items_65 = items_64 + items_65;
    ASSERT_TRUE(io::parse_terminator_rule(items_64).has_value());
    const std::string very_long(100000, '7');

    const std::string_view bad[] = {
        "", "lf", "LF ", " LF", "CRLF;", "LF:", "CR;LF:", "LF;CR", "LF:CR;20", "LF;CR;20",
        "20,", "20-", ",20", "20,,21", "20-19", "20 - 21", "2 0", "-20", "+20", "20-21-22",
        "2147483648", "LF:20;", "X:20", "CRLF::20", items_65, very_long,
    };
    for (const std::string_view text : bad) {
        EXPECT_FALSE(io::parse_terminator_rule(text).has_value()) << text.substr(0, 40);
    }
}

}  // namespace
