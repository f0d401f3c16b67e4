#include "app/text/code_page.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/text/utf8.h"

namespace {

using app::text::CodePage;

std::uint64_t fnv(std::uint64_t h, const std::string& bytes) {
    for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    return h;
}

std::string utf8_of(char32_t c) {
    char buffer[4];
    return {buffer, app::text::put_utf8(c, buffer)};
}

// As `scripts/generate_code_pages.py --digests` prints them from Python's
// codecs: every byte sequence that is a character, with its character; every
// character a page holds, with its bytes.
constexpr struct {
    unsigned number;
    std::uint64_t decoded, encoded;
} kPython[] = {
    {1252, 0x63CB2CDABDB6FE88u, 0xB7F34092F1B1ADDAu}, {1250, 0xF06916906D2B753Bu, 0x7231626E2D67B6AFu},
    {1251, 0x47BFB47752D401FDu, 0xBBBA535E28155F09u}, {1253, 0x008795EB096F8878u, 0x4CF9A244C78B102Au},
    {1254, 0xBF4CD69C5E1F9F1Cu, 0x06CFB651DFB13A74u}, {1255, 0x35B32E6110379DE3u, 0xA8856E43AD388901u},
    {1256, 0x66859F9A2BC286B9u, 0xC9DF0EF861A7683Bu}, {1257, 0xDD19607AD0C937A2u, 0x40A3F79DC2087C50u},
    {1258, 0xD0204A1C98AEAB47u, 0x2753AE2610CAC169u}, {874, 0x0766D423842190D9u, 0xF064E3A9ACDEAA41u},
    {932, 0x92A6DC13809B8941u, 0x25EE17090A2B014Fu},  {936, 0x79B11572DF1FB77Cu, 0x55635665B1B7D170u},
    {949, 0xDB8171E3B102B62Au, 0x35E4CDCCF0AB8C08u},  {950, 0xFA2FE3D01B03E350u, 0x3892C5477A5E10C4u},
};

// Every lookup of every page, both ways, against Python's codecs.
TEST(CodePage, LookupsAgreeWithPythonsCodecs) {
    for (std::size_t k = 0; k < std::size(kPython); ++k) {
        const auto page = static_cast<CodePage>(k);
        ASSERT_EQ(app::text::dxf_name(page), "ANSI_" + std::to_string(kPython[k].number));
        std::uint64_t decoded = 0xCBF29CE484222325u;
        std::string leads;
        for (unsigned b = 0x80; b < 0x100; ++b) {
            const std::string one(1, static_cast<char>(b));
            const auto step = app::text::decode_character(page, one, 0);
            if (step.length == 1) decoded = fnv(decoded, one + utf8_of(step.character));
            else leads += one;
        }
        for (const char lead : leads) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                const std::string two{lead, static_cast<char>(trail)};
                const auto step = app::text::decode_character(page, two, 0);
                if (step.length == 2) decoded = fnv(decoded, two + utf8_of(step.character));
            }
        }
        std::uint64_t encoded = 0xCBF29CE484222325u;
        for (char32_t c = 0x80; c < 0x10000; ++c) {
            const auto bytes = app::text::encode_character(page, c);
            if (bytes.length != 0 && (c < 0xD800 || c > 0xDFFF))
                encoded = fnv(encoded, utf8_of(c) + std::string(reinterpret_cast<const char*>(bytes.bytes), bytes.length));
        }
        EXPECT_EQ(decoded, kPython[k].decoded) << kPython[k].number;
        EXPECT_EQ(encoded, kPython[k].encoded) << kPython[k].number;
        EXPECT_FALSE(app::text::holds(page, 0x1F600)) << kPython[k].number;
    }
}

TEST(CodePage, NamesUsersGive) {
    const struct {
        const char* name;
        int page;  // -1: not a name of ours
    } cases[] = {
        {"ANSI_1251", 2}, {"cp1251", 2}, {"Windows-1251", 2}, {"1251", 2}, {"ansi_874", 9},
        {"Shift_JIS", 10}, {"sjis", 10}, {"GBK", 11}, {"EUC-KR", 12}, {"big5", 13},
        {"cp437", -1}, {"1252x", -1}, {"", -1}, {"cp-1252-and-much-more-text", -1},
    };
    for (const auto& c : cases) {
        CodePage page = CodePage::ansi_1258;
        EXPECT_EQ(app::text::parse_code_page(c.name, page), c.page >= 0) << c.name;
        EXPECT_EQ(static_cast<int>(page), c.page >= 0 ? c.page : 8) << c.name;
    }
}

}  // namespace
