#include "app/text/layer_name.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/text/layer_name_writer.h"

namespace {

using app::text::CodePage;
using namespace std::literals;

std::string key_of(std::string_view code) {
    std::vector<char> out(code.size() * app::text::kKeyGrowth);
    return std::string(app::text::layer_key(code, out));
}

std::string name_of(std::string_view code) {
    std::vector<char> out(code.size());
    return std::string(app::text::layer_name(code, out));
}

TEST(LayerName, KeysFoldLetterCaseInAnyScript) {
    const struct {
        std::string_view code;
        std::string_view key;
    } cases[] = {
        {"oak", "oak"},
        {"Oak", "oak"},
        {"OAK TREE", "oak tree"},
        {"", "0"},
        {"0", "0"},
        {"H\xC3\x96HE", "h\xC3\xB6he"},                                    // ÖHE
        {"\xD0\xA1\xD0\xA2\xD0\x9E\xD0\x9B\xD0\x91", "\xD1\x81\xD1\x82\xD0\xBE\xD0\xBB\xD0\xB1"},  // СТОЛБ
        {"\xCE\xA3\xCF\x82", "\xCF\x83\xCF\x83"},                          // Σς
        {"\xE1\xBA\x9E", "\xC3\x9F"},                                      // ẞ
        {"\xC8\xBA", "\xE2\xB1\xA5"},                                      // Ⱥ: one byte longer
        {"\xE6\xA0\x91\xE6\x9C\xA8", "\xE6\xA0\x91\xE6\x9C\xA8"},          // 树木
        {"A\xFF", "a\xFF"},
    };
    for (const auto& c : cases) EXPECT_EQ(key_of(c.code), c.key) << c.code;
}

TEST(LayerName, OnlyWhatANameMayNotHoldIsReplaced) {
    const struct {
        std::string_view code;
        std::string_view name;
    } cases[] = {
        {"Oak tree", "Oak tree"},
        {"", "0"},
        {"EOF", "EOF"},
        {"SECTION", "SECTION"},
        {"H\xC3\xB6he", "H\xC3\xB6he"},
        {"\xE6\xA0\x91\xE6\x9C\xA8 \xF0\x9F\x98\x80", "\xE6\xA0\x91\xE6\x9C\xA8 \xF0\x9F\x98\x80"},
        {"a<>/\\\":;?*|=,`^b", "a______________b"},
        {"a\rb\nc\0d\x7F" "e\xC2\x85" "f"sv, "a_b_c_d_e_f"},
        {" Oak ", "_Oak_"},
        {"#1.5 $-_+'!", "#1.5 $-_+'!"},
    };
    for (const auto& c : cases) EXPECT_EQ(name_of(c.code), c.name) << c.code;
}

std::vector<std::string> write_all(CodePage page, const std::vector<std::string>& names) {
    app::text::LayerNameWriter writer(page);
    std::vector<std::string> out;
    for (const std::string& name : names) out.emplace_back(writer.next(name));
    return out;
}

TEST(LayerName, WrittenNamesAreDistinctAsReadersCompareThem) {
    const std::string x255(255, 'x');
    const struct {
        CodePage page;
        std::vector<std::string> names;
        std::vector<std::string> written;
    } cases[] = {
        {CodePage::ansi_1252,
         {"0", "a_b", "a_b", "A_B", "a_b~2", "H\xC3\xB6he"},
         {"0", "a_b", "a_b~2", "A_B~3", "a_b~2~2", "H\xF6he"}},
        // Outside the page: U+XXXX, which a code may also spell.
        {CodePage::ansi_1252,
         {"\xD0\xB6", "u+0436", "P \xF0\x9F\x98\x80"},
         {"U+0436", "u+0436~2", "P U+D83DU+DE00"}},
        {CodePage::ansi_1251, {"\xD0\xB6", "u+0436"}, {"\xE6", "u+0436"}},
        {CodePage::ansi_936, {"\xE6\xB5\x8B"}, {"\xB2\xE2"}},
        // Cut to 255 bytes, at a character, and kept apart by the suffix.
        {CodePage::ansi_1252, {x255 + "a", x255 + "b"}, {x255, x255.substr(0, 253) + "~2"}},
        {CodePage::ansi_1252, {std::string(253, 'x') + "\xD0\xB6"}, {std::string(253, 'x')}},
        {CodePage::ansi_1251, {std::string(254, 'x') + "\xD0\xB6"}, {std::string(254, 'x') + "\xE6"}},
    };
    for (const auto& c : cases) EXPECT_EQ(write_all(c.page, c.names), c.written) << c.names[0];
}

// Many codes that all give one name: each gets a suffix of its own.
TEST(LayerName, ManyCodesWithOneNameStayApart) {
    app::text::LayerNameWriter writer(CodePage::ansi_1252);
    std::set<std::string> seen;
    for (int i = 0; i < 100000; ++i) {
        std::string name(writer.next(i % 2 == 0 ? "a_b" : "A_b~7"));
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        ASSERT_TRUE(seen.insert(name).second) << i << " " << name;
    }
}

}  // namespace
