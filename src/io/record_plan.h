// A fixed run of one-field write statements issued together. The records
// whose values never change are formatted once, when the plan is made, and
// kept with their terminators as runs of bytes; the others (slots) take
// their values at each issue. Issuing a plan gives the same bytes, the same
// system writes and the same failures as issuing its statements one by one,
// with less work per record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "io/format/field_format.h"
#include "io/io_result.h"
#include "io/terminator.h"

namespace io {

// One record of a plan: a field with its value, or a slot (no value) whose
// value every issue supplies.
struct PlannedRecord {
    FieldSpec spec;
    std::optional<ItemValue> value;

    static constexpr PlannedRecord fixed(const FieldSpec& spec, const ItemValue& value) { return {spec, value}; }
    static constexpr PlannedRecord slot(const FieldSpec& spec) { return {spec, std::nullopt}; }
};

class RecordPlan {
public:
    static constexpr std::size_t kMostRecords = 32;
    // Room for the fixed records' bytes with the longest terminator.
    static constexpr std::size_t kRunRoom = 256;
    // A run this short is copied as a block of this size, whatever its
    // length: one move instead of a call.
    static constexpr std::size_t kShortRun = 32;

    // Formats the fixed records of `records`, which must outlive the plan (a
    // constant table). A plan that cannot be served whole (too many records,
    // a fixed value its field refuses, long texts) is still correct: every
    // issue then runs the statements one by one.
    explicit RecordPlan(std::span<const PlannedRecord> records);

    // The fixed records' bytes under one terminator: run j is the fixed
    // records before slot j (run `slot_count()` those after the last slot),
    // each with its terminator.
    struct Runs {
        std::array<char, kRunRoom + kShortRun> bytes{};
        std::array<std::uint16_t, kMostRecords + 2> begin{};  // run j is [begin[j], begin[j + 1])
    };

    std::span<const PlannedRecord> records() const { return records_; }
    bool whole() const { return whole_; }
    std::size_t slot_count() const { return slot_count_; }
    std::span<const FieldSpec> slot_specs() const { return {slot_specs_.data(), slot_count_}; }
    bool has_varying_slot() const { return has_varying_slot_; }
    const Runs& runs(TerminatorKind terminator) const { return runs_[static_cast<std::size_t>(terminator)]; }
    // The length of fixed record k's text.
    std::size_t text_length(std::size_t k) const { return text_lengths_[k]; }
    // The largest room a fixed record's field asks of the record area.
    std::size_t fixed_room() const { return fixed_room_; }
    // The room of the slots whose room does not depend on their value
    // (numeric fields: their width or scratch width); string and decimals
    // slots add their value's room at each issue.
    std::size_t numeric_slot_room() const { return numeric_slot_room_; }
    std::size_t widest_numeric_slot() const { return widest_numeric_slot_; }

private:
    std::span<const PlannedRecord> records_;
    std::array<Runs, 3> runs_{};  // by TerminatorKind
    std::array<std::uint8_t, kMostRecords> text_lengths_{};
    std::array<FieldSpec, kMostRecords> slot_specs_{};
    std::size_t slot_count_ = 0;
    std::size_t fixed_room_ = 0;
    std::size_t numeric_slot_room_ = 0;
    std::size_t widest_numeric_slot_ = 0;
    bool has_varying_slot_ = false;
    bool whole_ = true;
};

// Issues the plan's records on `unit` as that many write statements, `values`
// filling its slots in order (as many as it has). Stops at the first
// statement that fails and returns its failure.
IoResult write_plan(std::int32_t unit, const RecordPlan& plan, std::span<const ItemValue> values);

}  // namespace io
