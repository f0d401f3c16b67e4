#include "app/text/input_encoding.h"

#include "app/text/utf8.h"

namespace app::text {
namespace {

bool is_utf8_name(std::string_view name) {
    std::size_t k = 0;
    const std::string_view want = "utf8";
    for (const char c : name) {
        if (c == '-' || c == '_') continue;
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (k == want.size() || lower != want[k]) return false;
        ++k;
    }
    return k == want.size();
}

Decoded check_utf8(std::string_view bytes) {
    if (is_ascii(bytes)) return {DecodeStatus::ok, bytes};
    for (std::size_t at = 0; at < bytes.size();) {
        // ASCII runs eight bytes at a time, then one character at a time.
        if (bytes.size() - at >= 8 && is_ascii(bytes.substr(at, 8))) {
            at += 8;
            continue;
        }
        const Utf8Step step = next_character(bytes, at);
        if (step.length == 0) return {DecodeStatus::invalid, {}, at};
        at += step.length;
    }
    return {DecodeStatus::ok, bytes};
}

}  // namespace

bool parse_input_encoding(std::string_view name, InputEncoding& encoding) {
    if (is_utf8_name(name)) {
        encoding = InputEncoding{};
        return true;
    }
    CodePage page;
    if (!parse_code_page(name, page)) return false;
    encoding = {false, page};
    return true;
}

Decoded decode_input(std::string_view bytes, InputEncoding encoding, std::span<char> out) {
    if (encoding.utf8) return check_utf8(bytes);
    if (is_ascii(bytes)) return {DecodeStatus::ok, bytes};
    if (out.size() / kDecodeGrowth < bytes.size()) return {DecodeStatus::no_room, {}};
    std::size_t written = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const PageStep step = decode_character(encoding.page, bytes, at);
        if (step.length == 0) return {DecodeStatus::invalid, {}, at};
        written += put_utf8(step.character, out.data() + written);
        at += step.length;
    }
    return {DecodeStatus::ok, {out.data(), written}};
}

}  // namespace app::text
