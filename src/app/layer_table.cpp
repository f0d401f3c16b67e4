#include "app/layer_table.h"

#include <algorithm>

namespace app {

std::size_t layer_name_for(std::string_view code, char* out) {
    const std::size_t n = std::min(code.size(), LayerTable::kMostNameBytes);
    for (std::size_t i = 0; i < n; ++i) {
        const char c = code[i];
        const bool kept = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '$' || c == '-' || c == '_';
        if (c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 'a' + 'A');
        else out[i] = kept ? c : '_';
    }
    if (n == 0) {
        out[0] = '0';
        return 1;
    }
    return n;
}

LayerTable::LayerTable() {
    names_.push_back("0");
    index_.emplace("0", 0);
}

std::uint32_t LayerTable::index_for(std::string_view code) {
    if (has_last_ && code == std::string_view{last_code_.data(), last_code_.size()}) return last_index_;
    last_code_.assign(code.begin(), code.end());
    has_last_ = true;
    char name[kMostNameBytes];
    const std::string_view key{name, layer_name_for(code, name)};
    if (const auto found = index_.find(key); found != index_.end()) return last_index_ = found->second;
    const std::string_view kept = arena_.keep(key);
    last_index_ = static_cast<std::uint32_t>(names_.size());
    names_.push_back(kept);
    index_.emplace(kept, last_index_);
    return last_index_;
}

}  // namespace app
