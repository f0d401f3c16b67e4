#include "app/point_store.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "platform/memory.h"

namespace app {
namespace {

template <class Real>
void zero_fill(Real* base, std::int32_t extent, bool zeroed) {
    // Fresh pages are zero already and stay untouched, so memory grows with
    // the points actually read.
    if (!zeroed) std::fill_n(base, extent, Real{0});
}

template <class Real>
int allocate_three(io::PlatformVector<PointRun>& runs, std::int32_t count) {
    using Storage = std::conditional_t<sizeof(Real) == 4, io::ArrayStorage, io::WideArrayStorage>;
    // The run holds each array as it comes, so one that came before a
    // failing one is still the run's when the report ends it.
    runs.push_back({nullptr, nullptr, nullptr, 0});
    PointRun& run = runs.back();
    Storage x, y, z;
    const std::pair<Storage*, void**> arrays[] = {{&x, &run.x}, {&y, &run.y}, {&z, &run.z}};
    for (const auto& [storage, kept] : arrays) {
        if (const int number = io::allocate_array(*storage, count); number != 0) return number;
        *kept = storage->base;
    }
    zero_fill(x.base, x.extent, x.zeroed);
    zero_fill(y.base, y.extent, y.zeroed);
    zero_fill(z.base, z.extent, z.zeroed);
    run.count = static_cast<std::size_t>(x.extent);
    return 0;
}

template <class Real>
void take_extents(const PointRun& run, Extents& box) {
    const Real* axes[3] = {static_cast<const Real*>(run.x), static_cast<const Real*>(run.y),
                           static_cast<const Real*>(run.z)};
    for (std::size_t k = 0; k < run.count; ++k) {
        const double p[3] = {axes[0][k], axes[1][k], axes[2][k]};
        // A point with an infinite or undefined coordinate has no place in a box.
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) continue;
        for (int a = 0; a < 3; ++a) {
            if (box.empty || p[a] < box.low[a]) box.low[a] = p[a];
            if (box.empty || p[a] > box.high[a]) box.high[a] = p[a];
        }
        box.empty = false;
    }
}

}  // namespace

PointStore::~PointStore() {
    // The arrays of a counted list are the run's, as the classic ones are.
    if (counted_) return;
    for (const PointRun& run : runs_) platform::heap_release(run.x);
}

int PointStore::allocate_counted(std::int32_t count) {
    counted_ = true;
    const int number = precision_ == Precision::single ? allocate_three<float>(runs_, count)
                                                       : allocate_three<double>(runs_, count);
    if (number == 0) size_ = runs_[0].count;
    return number;
}

bool PointStore::append(double x, double y, double z) {
    const std::size_t k = size_ % kRunPoints;
    if (k == 0) {
        const std::size_t element = precision_ == Precision::single ? sizeof(float) : sizeof(double);
        runs_.reserve(runs_.size() + 1);
        auto* block = static_cast<std::byte*>(platform::heap_allocate(3 * kRunPoints * element));
        if (block == nullptr) return false;
        runs_.push_back({block, block + kRunPoints * element, block + 2 * kRunPoints * element, 0});
    }
    PointRun& run = runs_.back();
    if (precision_ == Precision::single) {
        static_cast<float*>(run.x)[k] = static_cast<float>(x);
        static_cast<float*>(run.y)[k] = static_cast<float>(y);
        static_cast<float*>(run.z)[k] = static_cast<float>(z);
    } else {
        static_cast<double*>(run.x)[k] = x;
        static_cast<double*>(run.y)[k] = y;
        static_cast<double*>(run.z)[k] = z;
    }
    ++run.count;
    ++size_;
    return true;
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

bool PointStore::add_texts(std::string_view name, std::string_view code, std::string_view description,
                           std::uint32_t* layer_out) {
    const std::uint32_t layer = keep_layers_ ? layers_.index_for(code) : 0;
    if (layer_out != nullptr) *layer_out = layer;
    if (keep_descriptions_) {
        code_pages_.feed(description);
        longest_text_ = std::max(longest_text_, description.size());
    }
    if (keep_names_) {
        code_pages_.feed(name);
        longest_text_ = std::max(longest_text_, name.size());
    }
    if (keep_descriptions_ && !descriptions_.append_text(description)) return false;
    if (!keep_names_ && !keep_layers_) return true;
    const std::uint64_t number = keep_names_ ? plain_number(name) : kNoNumber;
    const bool counted = number != kNoNumber && previous_number_ != kNoNumber && number == previous_number_ + 1;
    previous_number_ = number;
    if (!tags_.append_count((layer << 1) | (counted ? 1u : 0u))) return false;
    return counted || !keep_names_ || names_.append_text(name);
}

PointStore::TextReader::TextReader(const PointStore& store)
    : store_(store), tags_(store.tags_), names_(store.names_), descriptions_(store.descriptions_) {
    // Room for any text that straddles two blocks, had now: nothing is
    // allocated while texts are read back.
    scratch_.reserve(store.longest_text_);
    description_scratch_.reserve(store.longest_text_);
}

void PointStore::TextReader::next(std::string_view& name, std::uint32_t& layer, std::string_view& description) {
    description = store_.keep_descriptions_ ? descriptions_.text(description_scratch_) : std::string_view{};
    next(name, layer);
}

void PointStore::TextReader::next(std::string_view& name, std::uint32_t& layer) {
    if (!store_.keep_names_ && !store_.keep_layers_) {
        name = {};
        layer = 0;
        return;
    }
    const std::uint32_t tag = tags_.count();
    layer = tag >> 1;
    if ((tag & 1u) != 0) {
        name = number_.next();
        return;
    }
    name = store_.keep_names_ ? names_.text(scratch_) : std::string_view{};
    // The next name may count up from this one: a plain number, at most 18 digits.
    if (plain_number(name) != kNoNumber) number_.reset(name);
}

Extents PointStore::extents() const {
    Extents box;
    for (const PointRun& run : runs_) {
        if (precision_ == Precision::single) take_extents<float>(run, box);
        else take_extents<double>(run, box);
    }
    return box;
}

}  // namespace app
