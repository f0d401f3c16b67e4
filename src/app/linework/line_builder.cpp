#include "app/linework/line_builder.h"

#include <utility>

namespace app::linework {

std::size_t LineWork::bytes_held() const {
    return slots_.bytes_held() + lines_.bytes_held() + skipped_strings_.capacity() * sizeof(std::uint32_t);
}

void LineBuilder::add(std::uint32_t point, std::uint32_t string, LineControl control) {
    if (string == kNoLine) return;
    if (string >= strings_.size()) {
        strings_.resize(std::size_t{string} + 1);
        had_one_point_.resize(strings_.size());
    }
    StringState& state = strings_[string];
    if (control == LineControl::begin && state.line != kNoLine) end_line(state, false);

    const auto slot = static_cast<std::uint32_t>(work_.slots_.size());
    work_.slots_.push_back({point, kNoLine});
    if (state.line == kNoLine) {
        state.line = static_cast<std::uint32_t>(work_.lines_.size());
        work_.lines_.push_back({string, slot, 1});
    } else {
        work_.slots_[state.last].next = slot;
        ++work_.lines_[state.line].vertices;
    }
    state.last = slot;

    if (control == LineControl::end) end_line(state, false);
    else if (control == LineControl::close) end_line(state, true);
}

void LineBuilder::end_line(StringState& state, bool closed) {
    LineWork::Line& line = work_.lines_[state.line];
    if (closed && line.vertices >= 3) line.string |= LineWork::kClosedBit;
    state.line = kNoLine;
}

LineWork LineBuilder::finish() {
    // Lines still open end open; the one-point ones, wherever they ended, go.
    ChunkedArray<LineWork::Line>& lines = work_.lines_;
    std::size_t kept = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const LineWork::Line line = lines[k];
        if (line.vertices < 2) {
            ++work_.skipped_;
            had_one_point_[line.string & ~LineWork::kClosedBit] = true;
            continue;
        }
        lines[kept++] = line;
    }
    lines.shrink_to(kept);
    for (std::size_t s = 0; s < had_one_point_.size(); ++s)
        if (had_one_point_[s]) work_.skipped_strings_.push_back(static_cast<std::uint32_t>(s));

    LineWork done = std::move(work_);
    work_ = {};
    strings_ = {};
    had_one_point_ = {};
    return done;
}

std::size_t LineBuilder::bytes_held() const {
    return work_.bytes_held() + strings_.capacity() * sizeof(StringState) + had_one_point_.capacity() / 8;
}

}  // namespace app::linework
