// Lines joined from coded points, in file order.
//
// Each point of a line code extends the open line of its string; points of
// other codes between them leave it open, so strings shot in turn (both edges
// of a road) come out as separate lines. The point's control word:
//   B  ends the string's open line at the point before and begins a new one here;
//   E  adds the point and ends the line: the string's next point begins a new one;
//   C  adds the point, ends the line and closes it back to its first point.
// A closed line needs three points to be a figure: C on a line of two points
// leaves it open (closed, its one segment would be drawn twice and read as an
// empty polygon). The end of the points ends every open line, open. A line of
// one point is no line: it is dropped and counted as skipped.
//
// The lines drawn come in the order of their first points in the file.
//
// Memory: 8 bytes per coded point (its point and the next vertex of its
// line) and 12 per line begun, each in fixed chunks that are never copied,
// plus 8 per string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/linework/chunked_array.h"
#include "app/linework/line_controls.h"

namespace app::linework {

// A point that joins no line; also the end of a line's vertices.
inline constexpr std::uint32_t kNoLine = 0xffffffff;

struct VertexSlot {
    std::uint32_t point;
    std::uint32_t next;  // the slot of the line's next vertex, kNoLine after the last
};

// A line's vertices, as the points' indices in order.
class VertexRange {
public:
    class iterator {
    public:
        using value_type = std::uint32_t;
        using difference_type = std::ptrdiff_t;
        iterator() = default;
        iterator(const ChunkedArray<VertexSlot>* slots, std::uint32_t slot) : slots_(slots), slot_(slot) {}
        std::uint32_t operator*() const { return (*slots_)[slot_].point; }
        iterator& operator++() {
            slot_ = (*slots_)[slot_].next;
            return *this;
        }
        iterator operator++(int) {
            iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const iterator& other) const { return slot_ == other.slot_; }

    private:
        const ChunkedArray<VertexSlot>* slots_ = nullptr;
        std::uint32_t slot_ = kNoLine;
    };

    VertexRange(const ChunkedArray<VertexSlot>& slots, std::uint32_t first) : slots_(&slots), first_(first) {}
    iterator begin() const { return {slots_, first_}; }
    iterator end() const { return {slots_, kNoLine}; }

private:
    const ChunkedArray<VertexSlot>* slots_;
    std::uint32_t first_;
};

// The lines to draw; made by LineBuilder::finish.
class LineWork {
public:
    std::size_t size() const { return lines_.size(); }
    // The caller's string id of the k-th line.
    std::uint32_t string_of(std::size_t k) const { return lines_[k].string & ~kClosedBit; }
    bool closed(std::size_t k) const { return (lines_[k].string & kClosedBit) != 0; }
    std::uint32_t vertex_count(std::size_t k) const { return lines_[k].vertices; }
    VertexRange vertices(std::size_t k) const { return {slots_, lines_[k].first}; }

    // Lines of one point dropped, and the strings that had one, in the order
    // of their ids.
    std::uint64_t skipped() const { return skipped_; }
    const std::vector<std::uint32_t>& skipped_strings() const { return skipped_strings_; }

    std::size_t bytes_held() const;

private:
    friend class LineBuilder;
    // String ids are below 2^31: the top bit of a line's id is its closed flag.
    static constexpr std::uint32_t kClosedBit = 0x80000000;
    struct Line {
        std::uint32_t string;
        std::uint32_t first;
        std::uint32_t vertices;
    };
    ChunkedArray<VertexSlot> slots_;
    ChunkedArray<Line> lines_;
    std::uint64_t skipped_ = 0;
    std::vector<std::uint32_t> skipped_strings_;
};

class LineBuilder {
public:
    // One point, in file order: its index (handed back in the vertices), its
    // string id (kNoLine for a point of no line code; ids are small, counted
    // from 0, as LineCodes gives them, and below 2^31) and its control word.
    void add(std::uint32_t point, std::uint32_t string, LineControl control);

    // Ends the open lines and drops those of one point. The builder is left empty.
    LineWork finish();

    std::size_t bytes_held() const;

private:
    struct StringState {
        std::uint32_t line = kNoLine;  // the open line, if any
        std::uint32_t last = 0;        // the slot of its last vertex
    };
    void end_line(StringState& state, bool closed);

    LineWork work_;
    std::vector<StringState> strings_;
    std::vector<bool> had_one_point_;
};

}  // namespace app::linework
