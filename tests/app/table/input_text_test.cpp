#include <gtest/gtest.h>

#include <string>

#include "app/table/byte_order_mark.h"
#include "app/table/shown_text.h"

namespace {

using namespace std::string_view_literals;
using app::table::ByteOrderMark;

TEST(ByteOrderMark, SkippedOrNamed) {
    struct Case {
        std::string_view start;
        ByteOrderMark mark;
        std::size_t skipped;
        std::string_view name;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF" "1,2"sv, ByteOrderMark::utf8, 3, "UTF-8"},
        {"\xEF\xBB"sv, ByteOrderMark::none, 0, ""},
        {"1,2"sv, ByteOrderMark::none, 0, ""},
        {"\xFF\xFE" "1\0"sv, ByteOrderMark::utf16_le, 0, "UTF-16 little-endian"},
        {"\xFE\xFF\0" "1"sv, ByteOrderMark::utf16_be, 0, "UTF-16 big-endian"},
        {"\xFF\xFE\0\0"sv, ByteOrderMark::utf32_le, 0, "UTF-32 little-endian"},
        {"\0\0\xFE\xFF"sv, ByteOrderMark::utf32_be, 0, "UTF-32 big-endian"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(app::table::byte_order_mark(c.start), c.mark) << c.name;
        EXPECT_EQ(app::table::skipped_mark_bytes(c.start), c.skipped) << c.name;
        EXPECT_EQ(app::table::encoding_name(c.mark), c.name);
        EXPECT_EQ(app::table::readable(c.mark), c.mark == ByteOrderMark::none || c.mark == ByteOrderMark::utf8);
    }
}

TEST(ShownText, WhatCannotBeSeenIsSpelledOut) {
    const std::string x60(60, 'x');
    std::string e60;
    for (int i = 0; i < 60; ++i) e60 += "\xC3\xA9";
    std::string marks60, marks_shown;
    for (int i = 0; i < 60; ++i) marks60 += "\xEF\xBB\xBF", marks_shown += "U+FEFF";
    struct Case {
        std::string text;
        std::string shown;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF" "1", "U+FEFF1"},
        {std::string{"a\r\tb\n\0"sv}, "a\\r\\tb\\n\\0"},
        {"\x1B\x7F\\x41", "\\x1B\\x7F\\x41"},
        {"H\xC3\xB6he \xE6\xB5\x8B\xE9\x87\x8F \xF0\x9F\x8C\xB3",
         "H\xC3\xB6he \xE6\xB5\x8B\xE9\x87\x8F \xF0\x9F\x8C\xB3"},
        {"1\xC2\xA0" "000\xE2\x80\xAF" "5\xE2\x80\x8B", "1U+00A0000U+202F5U+200B"},
        // Not UTF-8: cut short, overlong, a surrogate, past U+10FFFF, a lone continuation.
        {"a\xC3", "a\\xC3"},
        {"\xC0\xAF", "\\xC0\\xAF"},
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},
        {"\x80" "a", "\\x80a"},
        {"\xC2\x85", "\\xC2\\x85"},  // a C1 control
        // The cut counts characters, not bytes.
        {x60, x60},
        {x60 + "y", x60 + "..."},
        {e60 + "y", e60 + "..."},
        {marks60, marks_shown},
        {marks60 + "\x01", marks_shown + "..."},
    };
    for (const Case& c : cases) {
        app::table::ShownBuffer buffer;
        EXPECT_EQ(app::table::shown_text(c.text, buffer), c.shown);
    }
}

TEST(ShownText, CrInsideARecord) {
    const std::pair<std::string_view, bool> cases[] = {
        {"1 2 3\r4 5 6", true}, {"\r1", true}, {"1 2 3\r", false}, {"1 2 3\r\r", false}, {"", false},
    };
    for (const auto& [record, cr_only] : cases) EXPECT_EQ(app::table::looks_cr_only(record), cr_only) << record;
}

}  // namespace
