#include "app/text/layer_name.h"

#include <array>
#include <cstring>

#include "app/text/case_fold.h"
#include "app/text/utf8.h"

namespace app::text {
namespace {

constexpr std::string_view kLayerZero = "0";

constexpr std::array<bool, 128> kRefusedInName = [] {
    std::array<bool, 128> refused{};
    for (unsigned b = 0; b < 0x20; ++b) refused[b] = true;
    for (const char c : std::string_view("<>/\\\":;?*|=,`^\x7F")) refused[static_cast<unsigned char>(c)] = true;
    return refused;
}();

bool is_upper_ascii(unsigned char b) { return b >= 'A' && b <= 'Z'; }

}  // namespace

std::string_view layer_key(std::string_view code, std::span<char> out) {
    if (code.empty()) return kLayerZero;
    std::size_t at = 0;
    while (at < code.size() && static_cast<unsigned char>(code[at]) < 0x80 &&
           !is_upper_ascii(static_cast<unsigned char>(code[at])))
        ++at;
    if (at == code.size()) return code;
    if (out.size() / kKeyGrowth < code.size()) return {};
    std::memcpy(out.data(), code.data(), at);
    std::size_t written = at;
    while (at < code.size()) {
        const auto b = static_cast<unsigned char>(code[at]);
        if (b < 0x80) {
            out[written++] = static_cast<char>(is_upper_ascii(b) ? b + 32 : b);
            ++at;
            continue;
        }
        const Utf8Step step = next_character(code, at);
        if (step.length == 0) {
            // Not UTF-8 (the reader refuses such input): kept as it is, so
            // the key still tells this code from every other.
            out[written++] = code[at++];
            continue;
        }
        written += put_utf8(fold_case(step.character), out.data() + written);
        at += step.length;
    }
    return {out.data(), written};
}

std::string_view layer_name(std::string_view code, std::span<char> out) {
    if (code.empty()) return kLayerZero;
    const auto refused = [&](std::size_t at) {
        const auto b = static_cast<unsigned char>(code[at]);
        if (b >= 0x80) return false;
        return kRefusedInName[b] || (b == ' ' && (at == 0 || at + 1 == code.size()));
    };
    std::size_t at = 0;
    // C1 control characters are the only refused ones beyond ASCII: all begin with 0xC2.
    while (at < code.size() && !refused(at) && code[at] != '\xC2') ++at;
    if (at == code.size()) return code;
    if (out.size() < code.size()) return {};
    std::memcpy(out.data(), code.data(), at);
    std::size_t written = at;
    while (at < code.size()) {
        if (refused(at)) {
            out[written++] = '_';
            ++at;
            continue;
        }
        const Utf8Step step = next_character(code, at);
        if (step.length == 0) {
            out[written++] = '_';
            ++at;
            continue;
        }
        if (is_control(step.character)) {
            out[written++] = '_';
        } else {
            std::memcpy(out.data() + written, code.data() + at, step.length);
            written += step.length;
        }
        at += step.length;
    }
    return {out.data(), written};
}

}  // namespace app::text
