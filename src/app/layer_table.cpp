#include "app/layer_table.h"

#include "app/text/layer_name.h"

namespace app {

LayerTable::LayerTable() {
    names_.push_back("0");
    colours_.push_back(7);
    index_.emplace("0", 0);
}

std::uint32_t LayerTable::index_for(std::string_view code) {
    if (has_last_ && code == std::string_view{last_code_.data(), last_code_.size()}) return last_index_;
    last_code_.assign(code.begin(), code.end());
    has_last_ = true;
    const table::CodeEntry* entry = codes_ != nullptr ? codes_->find(code) : nullptr;
    const std::string_view named = entry != nullptr && !entry->layer.empty() ? std::string_view{entry->layer} : code;
    scratch_.resize(text::kKeyGrowth * named.size() + named.size());
    const std::span<char> room{scratch_.data(), scratch_.size()};
    const std::string_view key = text::layer_key(named, room.first(text::kKeyGrowth * named.size()));
    if (const auto found = index_.find(key); found != index_.end()) return last_index_ = found->second;
    const std::string_view name = text::layer_name(named, room.last(named.size()));
    last_index_ = static_cast<std::uint32_t>(names_.size());
    names_.push_back(arena_.keep(name));
    colours_.push_back(entry != nullptr ? entry->colour : 0);
    index_.emplace(arena_.keep(key), last_index_);
    return last_index_;
}

}  // namespace app
