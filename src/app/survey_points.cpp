#include "app/survey_points.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace app {

BlockChain::~BlockChain() {
    for (std::size_t k = 0; k < count_; ++k) std::free(blocks_[k]);
    std::free(blocks_);
}

std::byte* BlockChain::add_block() {
    if (count_ == room_) {
        const std::size_t room = room_ == 0 ? 64 : room_ * 2;
        auto* grown = static_cast<std::byte**>(std::realloc(blocks_, room * sizeof(std::byte*)));
        if (grown == nullptr) return nullptr;
        blocks_ = grown;
        room_ = room;
    }
    auto* block = static_cast<std::byte*>(std::malloc(block_bytes_));
    if (block == nullptr) return nullptr;
    blocks_[count_++] = block;
    return block;
}

bool ByteStream::append(std::string_view bytes) {
    while (!bytes.empty()) {
        if (used_in_last_ == kBlockBytes) {
            if (chain_.add_block() == nullptr) return false;
            used_in_last_ = 0;
        }
        const std::size_t n = std::min(bytes.size(), kBlockBytes - used_in_last_);
        std::memcpy(chain_.block(chain_.blocks() - 1) + used_in_last_, bytes.data(), n);
        used_in_last_ += n;
        bytes.remove_prefix(n);
    }
    return true;
}

bool ByteStream::append_count(std::uint32_t n) {
    char groups[5];
    std::size_t k = 0;
    do {
        groups[k] = static_cast<char>((n & 0x7f) | (n > 0x7f ? 0x80 : 0));
        ++k;
        n >>= 7;
    } while (n != 0);
    return append({groups, k});
}

unsigned char ByteStream::Reader::next() {
    if (offset_ == kBlockBytes) {
        ++block_;
        offset_ = 0;
    }
    return static_cast<unsigned char>(stream_->chain_.block(block_)[offset_++]);
}

std::uint32_t ByteStream::Reader::count() {
    std::uint32_t n = 0;
    for (unsigned shift = 0;; shift += 7) {
        const unsigned char b = next();
        n |= std::uint32_t{b & 0x7fu} << shift;
        if ((b & 0x80) == 0) return n;
    }
}

std::string_view ByteStream::Reader::bytes(std::size_t length, std::string& scratch) {
    if (offset_ == kBlockBytes && length > 0) {
        ++block_;
        offset_ = 0;
    }
    if (length <= kBlockBytes - offset_) {
        const auto* start = reinterpret_cast<const char*>(stream_->chain_.block(block_) + offset_);
        offset_ += length;
        return {start, length};
    }
    scratch.clear();
    for (std::size_t i = 0; i < length; ++i) scratch.push_back(static_cast<char>(next()));
    return scratch;
}

std::string layer_name_for(std::string_view code) {
    constexpr std::size_t kMostBytes = 31;
    std::string name;
    for (const char c : code.substr(0, std::min(code.size(), kMostBytes))) {
        const bool kept = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '$' || c == '-' || c == '_';
        if (c >= 'a' && c <= 'z') name.push_back(static_cast<char>(c - 'a' + 'A'));
        else name.push_back(kept ? c : '_');
    }
    if (name.empty()) name = "0";
    return name;
}

std::uint32_t LayerNames::index_for(std::string_view code) {
    if (code == last_code_) return last_index_;
    last_code_.assign(code);
    scratch_ = layer_name_for(code);
    const auto [where, added] = index_.try_emplace(scratch_, static_cast<std::uint32_t>(names_.size()));
    if (added) names_.push_back(scratch_);
    last_index_ = where->second;
    return last_index_;
}

std::uint64_t plain_number(std::string_view name) {
    if (name.empty() || name.size() > 18 || (name.size() > 1 && name[0] == '0')) return kNoNumber;
    std::uint64_t n = 0;
    for (const char c : name) {
        if (c < '0' || c > '9') return kNoNumber;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return n;
}

bool SurveyPoints::add_tags(std::string_view name, std::uint32_t layer) {
    const std::uint64_t number = plain_number(name);
    const bool counted = number != kNoNumber && previous_number_ != kNoNumber && number == previous_number_ + 1;
    previous_number_ = number;
    if (!tags_.append_count((layer << 1) | (counted ? 1u : 0u))) return false;
    return counted || !named || (names_.append_count(static_cast<std::uint32_t>(name.size())) && names_.append(name));
}

void SurveyPoints::TagReader::next(std::string_view& name, std::uint32_t& layer, std::string& scratch) {
    const std::uint32_t tag = tags_.count();
    layer = tag >> 1;
    if ((tag & 1u) != 0) {
        ++previous_;
        scratch = std::to_string(previous_);
        name = scratch;
        return;
    }
    name = named_ ? names_.bytes(names_.count(), scratch) : std::string_view{};
    previous_ = plain_number(name);
}

}  // namespace app
