#include "app/text/code_page_chooser.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace {

using app::text::CodePage;

struct Case {
    std::initializer_list<std::string_view> texts;
    CodePage page;
    bool holds_all;
};

const Case kCases[] = {
    {{}, CodePage::ansi_1252, true},
    {{"P1", "0", "EOF", "SECTION", "a\tb\r\n"}, CodePage::ansi_1252, true},
    {{"Höhe", "Hähe €"}, CodePage::ansi_1252, true},
    {{"Höhe", "Łódź"}, CodePage::ansi_1250, true},
    {{"столб", "забор №"}, CodePage::ansi_1251, true},
    {{"Ελλάδα"}, CodePage::ansi_1253, true},
    {{"ğüşİ"}, CodePage::ansi_1254, true},
    {{"שלום"}, CodePage::ansi_1255, true},
    {{"سلام"}, CodePage::ansi_1256, true},
    {{"ėųž"}, CodePage::ansi_1257, true},
    {{"ơư đ"}, CodePage::ansi_1258, true},
    {{"ทดสอบ"}, CodePage::ansi_874, true},
    {{"測点", "ｶﾅ"}, CodePage::ansi_932, true},
    {{"测量点"}, CodePage::ansi_936, true},
    {{"측점"}, CodePage::ansi_949, true},
    {{"測量點", "‧"}, CodePage::ansi_950, true},
    // Cyrillic and Greek share no one-byte page, but a Japanese one.
    {{"столб", "ΩΜΕΓΑ"}, CodePage::ansi_932, true},
    // No page holds them all: Western European, the rest as \U+XXXX.
    {{"Höhe", "столб", "树木"}, CodePage::ansi_1252, false},
    {{"P1 \xF0\x9F\x98\x80"}, CodePage::ansi_1252, false},
    // é and U+04E9 meet in one slot of the characters already taken.
    {{"é", "\xD3\xA9"}, CodePage::ansi_1252, false},
    // C1 controls are written as blanks and bytes that are no UTF-8 as
    // \U+FFFD: no page is needed for them.
    {{"a\xC2\x85" "b", "c\xFF"}, CodePage::ansi_1252, true},
};

TEST(CodePageChooser, FirstPageThatHoldsEveryText) {
    for (const Case& c : kCases) {
        app::text::CodePageChooser chooser;
        std::string all;
        for (const std::string_view text : c.texts) {
            chooser.feed(text);
            chooser.feed(text);  // again: a character counts once
            all.append(text).append(" ");
        }
        EXPECT_EQ(app::text::dxf_name(chooser.choice()), app::text::dxf_name(c.page)) << all;
        EXPECT_EQ(chooser.holds_all(), c.holds_all) << all;
    }
}

}  // namespace
