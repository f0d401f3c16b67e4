#include "app/text/code_page.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace app::text {
namespace {

struct PageName {
    std::string_view dxf;
    std::string_view number;
};

constexpr std::array<PageName, kCodePageCount> kPageNames = {{
    {"ANSI_1252", "1252"}, {"ANSI_1250", "1250"}, {"ANSI_1251", "1251"}, {"ANSI_1253", "1253"},
    {"ANSI_1254", "1254"}, {"ANSI_1255", "1255"}, {"ANSI_1256", "1256"}, {"ANSI_1257", "1257"},
    {"ANSI_1258", "1258"}, {"ANSI_874", "874"},   {"ANSI_932", "932"},   {"ANSI_936", "936"},
    {"ANSI_949", "949"},   {"ANSI_950", "950"},
}};

// Other names users give these pages, after normalize(): supersets stand in
// for the standards they extend, so a file in one of those reads right.
struct Alias {
    std::string_view name;
    CodePage page;
};
constexpr Alias kAliases[] = {
    {"shiftjis", CodePage::ansi_932}, {"sjis", CodePage::ansi_932},   {"windows31j", CodePage::ansi_932},
    {"gbk", CodePage::ansi_936},      {"gb2312", CodePage::ansi_936}, {"uhc", CodePage::ansi_949},
    {"euckr", CodePage::ansi_949},    {"big5", CodePage::ansi_950},   {"tis620", CodePage::ansi_874},
};

// Lower case, without '-', '_' and blanks; false when the name is too long
// to be one of ours.
bool normalize(std::string_view name, std::array<char, 16>& out, std::size_t& length) {
    length = 0;
    for (const char c : name) {
        if (c == '-' || c == '_' || c == ' ') continue;
        if (length == out.size()) return false;
        out[length++] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return true;
}

const CodePageTable& table(CodePage page) { return kCodePageTables[static_cast<std::size_t>(page)]; }

// The character that a page's bytes (as in CodePageTable::bytes) stand for.
char32_t character_of(const CodePageTable& t, std::uint16_t bytes) {
    if (bytes < 0x100) return t.high[bytes - 0x80];
    return t.cells[t.lead_rows[(bytes >> 8) - 0x80] * kTrailCount + ((bytes & 0xFF) - kFirstTrail)];
}

}  // namespace

std::string_view dxf_name(CodePage page) { return kPageNames[static_cast<std::size_t>(page)].dxf; }

bool parse_code_page(std::string_view name, CodePage& page) {
    std::array<char, 16> buffer;
    std::size_t length = 0;
    if (!normalize(name, buffer, length)) return false;
    std::string_view n(buffer.data(), length);
    for (const Alias& alias : kAliases) {
        if (n == alias.name) {
            page = alias.page;
            return true;
        }
    }
    for (const std::string_view prefix : {"ansi", "cp", "windows", ""}) {
        if (!n.starts_with(prefix)) continue;
        const std::string_view number = n.substr(prefix.size());
        for (std::size_t k = 0; k < kPageNames.size(); ++k) {
            if (number == kPageNames[k].number) {
                page = static_cast<CodePage>(k);
                return true;
            }
        }
    }
    return false;
}

PageBytes encode_character(CodePage page, char32_t c) {
    if (c < 0x80) return {1, {static_cast<std::uint8_t>(c), 0}};
    if (c > 0xFFFF) return {0, {0, 0}};
    const CodePageTable& t = table(page);
    const auto found = std::lower_bound(t.bytes.begin(), t.bytes.end(), c,
                                        [&](std::uint16_t bytes, char32_t v) { return character_of(t, bytes) < v; });
    if (found == t.bytes.end() || character_of(t, *found) != c) return {0, {0, 0}};
    if (*found < 0x100) return {1, {static_cast<std::uint8_t>(*found), 0}};
    return {2, {static_cast<std::uint8_t>(*found >> 8), static_cast<std::uint8_t>(*found & 0xFF)}};
}

PageStep decode_character(CodePage page, std::string_view bytes, std::size_t at) {
    const unsigned b = static_cast<unsigned char>(bytes[at]);
    if (b < 0x80) return {b, 1};
    const CodePageTable& t = table(page);
    const std::uint16_t c = t.high[b - 0x80];
    if (c != kLeadByte) return {c, static_cast<std::uint8_t>(c != 0 ? 1 : 0)};
    if (bytes.size() - at < 2) return {0, 0};
    const unsigned trail = static_cast<unsigned char>(bytes[at + 1]);
    if (trail < kFirstTrail || trail >= kFirstTrail + kTrailCount) return {0, 0};
    const std::uint16_t pair = t.cells[t.lead_rows[b - 0x80] * kTrailCount + (trail - kFirstTrail)];
    return {pair, static_cast<std::uint8_t>(pair != 0 ? 2 : 0)};
}

}  // namespace app::text
