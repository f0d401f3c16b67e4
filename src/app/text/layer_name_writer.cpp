#include "app/text/layer_name_writer.h"

#include <array>
#include <charconv>

#include "app/text/case_fold.h"
#include "app/text/utf8.h"

namespace app::text {
namespace {

constexpr std::uint64_t kFnvStart = 0xCBF29CE484222325u;

std::uint64_t fnv(std::uint64_t state, std::string_view bytes) {
    for (const char c : bytes) state = (state ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    return state;
}

// FNV's low bits are weak; the slots are chosen by them.
std::uint64_t finish(std::uint64_t state) {
    state ^= state >> 33;
    state *= 0xFF51AFD7ED558CCDu;
    state ^= state >> 33;
    return state == 0 ? 1 : state;
}

// "U+XXXX" in upper case as written, in lower case as compared.
void put_code(char32_t c, char* written, char* folded) {
    constexpr char kHex[] = "0123456789ABCDEF";
    written[0] = 'U';
    folded[0] = 'u';
    written[1] = folded[1] = '+';
    for (int k = 0; k < 4; ++k) {
        const char h = kHex[(c >> (12 - 4 * k)) & 0xF];
        written[2 + k] = h;
        folded[2 + k] = (h >= 'A') ? static_cast<char>(h - 'A' + 'a') : h;
    }
}

}  // namespace

LayerNameWriter::LayerNameWriter(CodePage page, std::size_t layers) : page_(page) {
    std::size_t slots = 1024;
    while (slots < 2 * layers) slots *= 2;
    slots_.resize(slots);
}

void LayerNameWriter::add(std::string_view unit, std::string_view folded) {
    bytes_.append(unit);
    ends_.push_back(bytes_.size());
    states_.push_back(fnv(states_.back(), folded));
}

bool LayerNameWriter::take(std::uint64_t state) {
    const std::uint64_t key = finish(state);
    std::size_t mask = slots_.size() - 1;
    std::size_t k = key & mask;
    for (; slots_[k] != 0; k = (k + 1) & mask)
        if (slots_[k] == key) return false;
    slots_[k] = key;
    if (++used_ * 2 > slots_.size()) {
        std::vector<std::uint64_t> old(slots_.size() * 2);
        old.swap(slots_);
        mask = slots_.size() - 1;
        for (const std::uint64_t v : old) {
            if (v == 0) continue;
            std::size_t j = v & mask;
            while (slots_[j] != 0) j = (j + 1) & mask;
            slots_[j] = v;
        }
    }
    return true;
}

std::string_view LayerNameWriter::next(std::string_view name) {
    bytes_.clear();
    ends_.assign(1, 0);
    states_.assign(1, kFnvStart);
    for (std::size_t at = 0; at < name.size();) {
        const char b = name[at];
        if (static_cast<unsigned char>(b) < 0x80) {
            if (bytes_.size() == kLayerNameMostBytes) break;
            const char folded = (b >= 'A' && b <= 'Z') ? static_cast<char>(b + 32) : b;
            add({&b, 1}, {&folded, 1});
            ++at;
            continue;
        }
        Utf8Step step = next_character(name, at);
        if (step.length == 0) step = {kReplacementCharacter, 1};
        at += step.length;
        const char32_t c = step.character;
        std::array<char, 12> unit;
        std::array<char, 12> folded;
        std::size_t length = 0;
        std::size_t folded_length = 0;
        const PageBytes bytes = encode_character(page_, c);
        if (bytes.length != 0) {
            for (std::uint8_t k = 0; k < bytes.length; ++k) unit[length++] = static_cast<char>(bytes.bytes[k]);
            folded_length = put_utf8(fold_case(c), folded.data());
        } else if (c <= 0xFFFF) {
            put_code(c, unit.data(), folded.data());
            length = folded_length = 6;
        } else {
            put_code(0xD800 + ((c - 0x10000) >> 10), unit.data(), folded.data());
            put_code(0xDC00 + ((c - 0x10000) & 0x3FF), unit.data() + 6, folded.data() + 6);
            length = folded_length = 12;
        }
        if (bytes_.size() + length > kLayerNameMostBytes) break;
        add({unit.data(), length}, {folded.data(), folded_length});
    }
    if (take(states_.back())) return bytes_;
    // Taken: the first free suffix, the name cut (at a character) to leave it room.
    std::uint32_t& n = next_suffix_.try_emplace(finish(states_.back()), 2).first->second;
    for (;; ++n) {
        std::array<char, 12> suffix{'~'};
        const auto end = std::to_chars(suffix.data() + 1, suffix.data() + suffix.size(), n).ptr;
        const std::string_view s(suffix.data(), static_cast<std::size_t>(end - suffix.data()));
        std::size_t keep = ends_.size() - 1;
        while (ends_[keep] + s.size() > kLayerNameMostBytes) --keep;
        if (!take(fnv(states_[keep], s))) continue;
        bytes_.resize(ends_[keep]);
        bytes_.append(s);
        ++n;
        return bytes_;
    }
}

}  // namespace app::text
