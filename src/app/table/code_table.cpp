#include "app/table/code_table.h"

#include <utility>

namespace app::table {
namespace {

constexpr char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// FNV-1a over the folded bytes: codes are short, and their spread is all
// it needs to be good at.
std::size_t code_hash(std::string_view code) {
    std::uint32_t h = 2166136261u;
    for (const char c : code) h = (h ^ static_cast<unsigned char>(fold(c))) * 16777619u;
    return h;
}

}  // namespace

bool same_code(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

std::size_t CodeTable::slot_of(std::string_view code, std::size_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t k = hash & mask;; k = (k + 1) & mask) {
        const std::uint32_t held = slots_[k];
        if (held == 0 || same_code(entries_[held - 1].code, code)) return k;
    }
}

void CodeTable::grow() {
    // At most half the slots in use, so a probe ends soon at an empty one.
    const std::vector<std::uint32_t> old =
        std::exchange(slots_, std::vector<std::uint32_t>(slots_.empty() ? 16 : 2 * slots_.size()));
    for (const std::uint32_t held : old) {
        if (held == 0) continue;
        const std::string& code = entries_[held - 1].code;
        slots_[slot_of(code, code_hash(code))] = held;
    }
}

const CodeEntry* CodeTable::add(CodeEntry entry) {
    if (2 * (entries_.size() + 1) > slots_.size()) grow();
    const std::size_t k = slot_of(entry.code, code_hash(entry.code));
    if (slots_[k] != 0) return &entries_[slots_[k] - 1];
    entries_.push_back(std::move(entry));
    slots_[k] = static_cast<std::uint32_t>(entries_.size());
    return nullptr;
}

const CodeEntry* CodeTable::find(std::string_view code) const {
    if (entries_.empty()) return nullptr;
    const std::uint32_t held = slots_[slot_of(code, code_hash(code))];
    return held == 0 ? nullptr : &entries_[held - 1];
}

}  // namespace app::table
