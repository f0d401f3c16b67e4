#include "app/layer_table.h"

#include <algorithm>

#include "app/text/layer_name.h"

namespace app {

LayerTable::LayerTable() {
    names_.push_back("0");
    index_.emplace("0", 0);
}

std::uint32_t LayerTable::index_for(std::string_view code) {
    if (has_last_ && code == std::string_view{last_code_.data(), last_code_.size()}) return last_index_;
    last_code_.assign(code.begin(), code.end());
    has_last_ = true;
    scratch_.resize(text::kKeyGrowth * code.size() + code.size());
    const std::span<char> room{scratch_.data(), scratch_.size()};
    const std::string_view key = text::layer_key(code, room.first(text::kKeyGrowth * code.size()));
    if (const auto found = index_.find(key); found != index_.end()) return last_index_ = found->second;
    const std::string_view name = text::layer_name(code, room.last(code.size()));
    last_index_ = static_cast<std::uint32_t>(names_.size());
    names_.push_back(arena_.keep(name));
    index_.emplace(arena_.keep(key), last_index_);
    return last_index_;
}

}  // namespace app
