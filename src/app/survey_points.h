// The points of a survey run between reading and writing: coordinates in
// double precision when decimals are chosen, else in single precision, and, only when the drawing needs them, each point's name
// and layer. Kept in blocks, so memory grows with the points read and never
// holds two copies while it grows.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace app {

struct SurveyPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// The smallest box around the points.
struct Extents {
    SurveyPoint low{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                    std::numeric_limits<double>::infinity()};
    SurveyPoint high{-std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity()};
    void take(const SurveyPoint& p) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
};

// Fixed-size blocks handed out in order and read back in order. A failed
// allocation is a result, never an exception.
class BlockChain {
public:
    explicit BlockChain(std::size_t block_bytes) : block_bytes_(block_bytes) {}
    BlockChain(const BlockChain&) = delete;
    BlockChain& operator=(const BlockChain&) = delete;
    ~BlockChain();

    std::size_t block_bytes() const { return block_bytes_; }
    std::size_t blocks() const { return count_; }
    std::byte* block(std::size_t k) const { return blocks_[k]; }
    // A new block at the end; nullptr when memory runs out.
    std::byte* add_block();

private:
    std::size_t block_bytes_;
    std::byte** blocks_ = nullptr;
    std::size_t count_ = 0;
    std::size_t room_ = 0;
};

// Bytes appended one after the other and read back in the same order.
class ByteStream {
public:
    static constexpr std::size_t kBlockBytes = 64 * 1024;
    ByteStream() : chain_(kBlockBytes) {}

    bool append(std::string_view bytes);
    // An unsigned number in 7-bit groups, low first: one byte below 128.
    bool append_count(std::uint32_t n);

    class Reader {
    public:
        explicit Reader(const ByteStream& stream) : stream_(&stream) {}
        std::uint32_t count();
        // `length` bytes; copies into `scratch` when they straddle two blocks.
        std::string_view bytes(std::size_t length, std::string& scratch);

    private:
        unsigned char next();
        const ByteStream* stream_;
        std::size_t block_ = 0;
        std::size_t offset_ = 0;
    };

private:
    BlockChain chain_;
    std::size_t used_in_last_ = kBlockBytes;  // the last block is full: the next byte needs one
};

// The layer names in order of first use; index 0 is layer "0".
class LayerNames {
public:
    LayerNames() {
        names_.emplace_back("0");
        index_.emplace("0", 0);
    }
    // The index of the layer for a point's code, made a valid layer name.
    std::uint32_t index_for(std::string_view code);
    const std::vector<std::string>& names() const { return names_; }

private:
    std::vector<std::string> names_;
    std::unordered_map<std::string, std::uint32_t> index_;
    std::string last_code_;  // codes repeat in runs: the last one is looked up once (empty: layer 0)
    std::uint32_t last_index_ = 0;
    std::string scratch_;
};

// A layer name every reader takes: letters (upper case), digits, '$', '-'
// and '_', other bytes as '_', at most 31; an empty code is layer "0".
std::string layer_name_for(std::string_view code);

class SurveyPoints {
public:
    // 96 KiB (48 KiB in single precision): the last block, part empty, wastes little.
    static constexpr std::size_t kBlockPoints = 4 * 1024;

    // `single`: the points are held as the classic list holds them, in
    // single precision, in half the memory (and half the pages to touch).
    explicit SurveyPoints(bool single = false)
        : single_(single), chain_(kBlockPoints * (single ? sizeof(SinglePoint) : sizeof(SurveyPoint))) {}

    bool single() const { return single_; }

    // False when memory runs out. In single precision the point is rounded
    // to it first, and so is what the box takes.
    bool add(const SurveyPoint& p) {
        if (size_ == chain_.blocks() * kBlockPoints && chain_.add_block() == nullptr) return false;
        std::byte* const block = chain_.block(size_ / kBlockPoints);
        const std::size_t k = size_ % kBlockPoints;
        ++size_;
        if (single_) {
            const SinglePoint s{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
            std::memcpy(block + k * sizeof s, &s, sizeof s);
            box.take({s.x, s.y, s.z});
        } else {
            std::memcpy(block + k * sizeof p, &p, sizeof p);
            box.take(p);
        }
        return true;
    }
    std::size_t size() const { return size_; }
    SurveyPoint at(std::size_t i) const {
        const std::byte* const block = chain_.block(i / kBlockPoints);
        const std::size_t k = i % kBlockPoints;
        if (single_) {
            SinglePoint s;
            std::memcpy(&s, block + k * sizeof s, sizeof s);
            return {s.x, s.y, s.z};
        }
        SurveyPoint p;
        std::memcpy(&p, block + k * sizeof p, sizeof p);
        return p;
    }

    // The point's name (kept only when `named`) and layer index, in the
    // order of the points; for every point or none. Names that count up by one (1, 2, 3 ...) are not
    // kept at all: each such point costs one byte with its layer.
    bool add_tags(std::string_view name, std::uint32_t layer);

    // Hands the tags back in order.
    class TagReader {
    public:
        explicit TagReader(const SurveyPoints& points)
            : tags_(points.tags_), names_(points.names_), named_(points.named) {}
        // `name` may lie in `scratch`.
        void next(std::string_view& name, std::uint32_t& layer, std::string& scratch);

    private:
        ByteStream::Reader tags_;
        ByteStream::Reader names_;
        bool named_;
        std::uint64_t previous_ = 0;
    };

    Extents box;
    bool named = false;  // the tags hold every point's name: otherwise it is its position
    bool coded = false;  // the tags hold every point's layer: otherwise layer 0
    LayerNames layers;

private:
    struct SinglePoint {
        float x, y, z;
    };
    bool single_;
    BlockChain chain_;
    std::size_t size_ = 0;
    ByteStream tags_;   // per point: its layer index times 2, plus 1 when its name is the last one's plus 1
    ByteStream names_;  // per point whose name is not so: its length, then its bytes
    std::uint64_t previous_number_ = 0;  // the last name as a number, or kNoNumber
};

// The name as a number when it is written as one is written plainly: digits
// alone, no leading zero, at most 18; kNoNumber otherwise.
inline constexpr std::uint64_t kNoNumber = ~std::uint64_t{0};
std::uint64_t plain_number(std::string_view name);

}  // namespace app
