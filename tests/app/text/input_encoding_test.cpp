#include "app/text/input_encoding.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace {

using app::text::DecodeStatus;

// Bytes as Python's codecs write the UTF-8 text, or the first byte that is
// no character of the encoding.
const struct {
    const char* encoding;
    std::string_view bytes;
    std::string_view utf8;  // null when the bytes are no text
    std::size_t bad_at;
} kCases[] = {
    {"utf-8", "P1 Oak", "P1 Oak", 0},
    {"UTF8", "H\xC3\xB6he \xF0\x9F\x98\x80", "H\xC3\xB6he \xF0\x9F\x98\x80", 0},
    {"cp1252", "H\xF6he \x80", "H\xC3\xB6he \xE2\x82\xAC", 0},
    {"windows-1251", "\xF1\xF2\xEE\xEB\xE1", "\xD1\x81\xD1\x82\xD0\xBE\xD0\xBB\xD0\xB1", 0},
    {"sjis", "\x91\xAA\x97\xCA \xB6\xC5", "\xE6\xB8\xAC\xE9\x87\x8F \xEF\xBD\xB6\xEF\xBE\x85", 0},
    {"gbk", "\xB2\xE2\xC1\xBF\xB5\xE3", "\xE6\xB5\x8B\xE9\x87\x8F\xE7\x82\xB9", 0},
    {"cp949", "\xC3\xF8\xC1\xA1", "\xEC\xB8\xA1\xEC\xA0\x90", 0},
    {"big5", "\xB4\xFA\xB6q\xC2I", "\xE6\xB8\xAC\xE9\x87\x8F\xE9\xBB\x9E", 0},
    {"cp932", "EOF", "EOF", 0},
    {"utf-8", "abcdefgh\xC0\x80", {}, 8},    // overlong
    {"utf-8", "\xE0\x80\xAF", {}, 0},        // overlong, three bytes
    {"utf-8", "\xF0\x80\x80\xAF", {}, 0},    // overlong, four bytes
    {"utf-8", "P\xED\xA0\x80", {}, 1},       // a surrogate
    {"utf-8", "\xF4\x90\x80\x80", {}, 0},    // past U+10FFFF
    {"utf-8", "ab\xE6\xB8", {}, 2},          // cut short
    {"utf-8", "\x80x", {}, 0},               // a lone continuation
    {"utf-8", "H\xF6he", {}, 1},             // cp1252 read as UTF-8
    {"cp1252", "ab\x81", {}, 2},             // no character in cp1252
    {"cp932", "a\x91", {}, 1},               // a lead byte at the end
    {"cp932", "\x91\xAA\x91\x20", {}, 2},    // a lead byte before a blank
    {"cp932", "\x88\xFF", {}, 0},            // trail bytes end at 0xFE
    {"cp932", "\x88\x3F", {}, 0},            // and begin at 0x40
    {"cp936", "\xB2\xE2\xFF", {}, 2},
};

TEST(InputEncoding, DecodesOrPointsAtTheFirstBadByte) {
    for (const auto& c : kCases) {
        app::text::InputEncoding encoding;
        ASSERT_TRUE(app::text::parse_input_encoding(c.encoding, encoding)) << c.encoding;
        std::vector<char> out(c.bytes.size() * app::text::kDecodeGrowth);
        const auto decoded = app::text::decode_input(c.bytes, encoding, out);
        const bool text = c.utf8.data() != nullptr;
        EXPECT_EQ(decoded.status, text ? DecodeStatus::ok : DecodeStatus::invalid) << c.encoding << " " << c.bytes;
        EXPECT_EQ(text ? decoded.text : std::string_view{}, c.utf8) << c.encoding << " " << c.bytes;
        EXPECT_EQ(decoded.bad_at, c.bad_at) << c.encoding << " " << c.bytes;
    }
    app::text::InputEncoding encoding;
    EXPECT_FALSE(app::text::parse_input_encoding("utf-16", encoding));
    EXPECT_FALSE(app::text::parse_input_encoding("latin1", encoding));
    std::vector<char> out(12);
    ASSERT_TRUE(app::text::parse_input_encoding("cp1252", encoding));
    EXPECT_EQ(app::text::decode_input("H\xF6he \xF6", encoding, out).status, DecodeStatus::no_room);
}

}  // namespace
