#include "app/linework/line_summary.h"

namespace app::linework {

namespace {

void append_count(std::string& text, std::uint64_t n, const char* one, const char* many) {
    text += std::to_string(n);
    text += n == 1 ? one : many;
}

// A code is the file's bytes: control characters show as '?', as a refused
// field's text does, so the summary cannot move the terminal's cursor.
void append_code(std::string& text, const std::string& code) {
    for (const char c : code) text.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c);
}

}  // namespace

std::string line_summary(const LineWork& work, const std::vector<std::string>& string_names) {
    std::string text = "3dpoint: ";
    append_count(text, work.size(), " line drawn, ", " lines drawn, ");
    if (work.skipped() == 0) return text + "no one-point string skipped\n";

    append_count(text, work.skipped(), " one-point string skipped (", " one-point strings skipped (");
    const std::vector<std::uint32_t>& strings = work.skipped_strings();
    text += strings.size() == 1 ? "code " : "codes ";
    for (std::size_t k = 0; k < strings.size() && k < kMostSummaryCodes; ++k) {
        if (k != 0) text += ", ";
        append_code(text, string_names[strings[k]]);
    }
    if (strings.size() > kMostSummaryCodes) {
        text += " and ";
        text += std::to_string(strings.size() - kMostSummaryCodes);
        text += " more";
    }
    return text + ")\n";
}

}  // namespace app::linework
