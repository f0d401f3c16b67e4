#include "io/record_plan.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "io/read_write_record.h"
#include "io/unit_table.h"
#include "io/write_field.h"

namespace io {

namespace {

constexpr TerminatorKind kTerminators[] = {TerminatorKind::crlf, TerminatorKind::lf, TerminatorKind::cr};

}  // namespace

RecordPlan::RecordPlan(std::span<const PlannedRecord> records) : records_{records} {
    if (records.size() > kMostRecords) {
        whole_ = false;
        return;
    }
    std::size_t run = 0;
    for (std::size_t k = 0; k < records.size(); ++k) {
        const PlannedRecord& record = records[k];
        if (!record.value) {
            slot_specs_[slot_count_++] = record.spec;
            ++run;
            // begin[run + 1] is where the current run grows.
            for (Runs& runs : runs_) runs.begin[run + 1] = runs.begin[run];
            if (room_varies(record.spec.kind)) {
                has_varying_slot_ = true;
            } else {
                // A numeric field's room does not depend on its value.
                const std::size_t room = field_room(record.spec, ItemValue::of(0));
                numeric_slot_room_ += room;
                widest_numeric_slot_ = std::max(widest_numeric_slot_, room);
            }
            continue;
        }
        const std::size_t room = field_room(record.spec, *record.value);
        char text[kRunRoom];
        // A value its field refuses fails its statement at every issue,
        // which the statements one by one take care of.
        const FieldText formatted = room <= sizeof text ? format_field(record.spec, *record.value, {text, room})
                                                        : FieldText{0, FieldStatus::type_mismatch};
        if (formatted.status == FieldStatus::type_mismatch) {
            whole_ = false;
            return;
        }
        for (const TerminatorKind terminator : kTerminators) {
            Runs& runs = runs_[static_cast<std::size_t>(terminator)];
            const std::string_view ending = terminator_bytes(terminator);
            std::size_t used = runs.begin[run + 1];
            if (used + formatted.length + ending.size() > kRunRoom) {
                whole_ = false;
                return;
            }
            std::memcpy(runs.bytes.data() + used, text, formatted.length);
            used += formatted.length;
            std::memcpy(runs.bytes.data() + used, ending.data(), ending.size());
            runs.begin[run + 1] = static_cast<std::uint16_t>(used + ending.size());
        }
        text_lengths_[k] = static_cast<std::uint8_t>(formatted.length);
        fixed_room_ = std::max(fixed_room_, room);
    }
}

namespace {

// Bytes an issue may write past its last record's end: a short run is
// copied as a whole block, and a one-byte terminator is stored as two.
constexpr std::size_t kPlacementSlack = RecordPlan::kShortRun;

// The most bytes an issue's records take with their terminators, or nothing
// when a field would not fit in the record area (it would grow the area, or
// fail): such an issue goes one by one.
std::optional<std::size_t> most_bytes(const RecordPlan& plan, std::span<const ItemValue> values,
                                      const UnitConnection& connection) {
    const RecordPlan::Runs& runs = plan.runs(connection.terminator);
    const std::size_t slots = plan.slot_count();
    std::size_t bytes = runs.begin[slots + 1] + slots * terminator_bytes(connection.terminator).size() +
                        plan.numeric_slot_room();
    std::size_t widest = std::max(plan.fixed_room(), plan.widest_numeric_slot());
    if (plan.has_varying_slot()) {
        const std::span<const FieldSpec> specs = plan.slot_specs();
        for (std::size_t slot = 0; slot < specs.size(); ++slot) {
            if (!room_varies(specs[slot].kind)) continue;
            const std::size_t room = field_room(specs[slot], values[slot]);
            bytes += room;
            widest = std::max(widest, room);
        }
    }
    if (widest > connection.record_area_size) return std::nullopt;
    return bytes;
}

// Places every record of the plan, each with its terminator, from `at` on;
// slot j's record ends (terminator included) at slot_stops[j]. Returns where
// the last record ends, or nothing when a slot's field refuses its value:
// its statement must fail in its turn, so the issue goes one by one and
// nothing placed here counts.
std::optional<std::size_t> place_records(const RecordPlan& plan, std::span<const ItemValue> values, TerminatorKind terminator, char* buffer,
                   std::size_t at, std::span<std::size_t, RecordPlan::kMostRecords> slot_stops) {
    const RecordPlan::Runs& runs = plan.runs(terminator);
    const std::string_view ending = terminator_bytes(terminator);
    const char end0 = ending[0];
    const char end1 = ending.size() == 2 ? ending[1] : '\0';
    const std::size_t ending_length = ending.size();
    // A short run is copied as one block of known size; the slack takes the rest.
    const auto copy_run = [&](std::size_t j, char* to) {
        const char* run = runs.bytes.data() + runs.begin[j];
        const std::size_t length = runs.begin[j + 1] - runs.begin[j];
        if (length <= RecordPlan::kShortRun) {
            std::memcpy(to, run, RecordPlan::kShortRun);
        } else {
            std::memcpy(to, run, length);
        }
        return to + length;
    };
    char* out = buffer + at;
    const std::span<const FieldSpec> specs = plan.slot_specs();
    for (std::size_t slot = 0; slot < specs.size(); ++slot) {
        out = copy_run(slot, out);  // the fixed records before this slot
        const ItemValue& value = values[slot];
        const FieldText text = format_field(specs[slot], value, {out, field_room(specs[slot], value)});
        if (text.status == FieldStatus::type_mismatch) return std::nullopt;
        out += text.length;
        out[0] = end0;
        out[1] = end1;
        out += ending_length;
        slot_stops[slot] = static_cast<std::size_t>(out - buffer);
    }
    out = copy_run(specs.size(), out);  // the fixed records after the last slot
    return static_cast<std::size_t>(out - buffer);
}

// Hands each record of a placed issue to the file on its own, as its
// statement would. `from` is where the first record begins.
IoResult write_each_record(const UnitConnection& connection, const RecordPlan& plan, std::size_t from,
                           std::span<const std::size_t, RecordPlan::kMostRecords> slot_stops) {
    const std::size_t ending_length = terminator_bytes(connection.terminator).size();
    const std::span<const PlannedRecord> records = plan.records();
    std::size_t slot = 0;
    for (std::size_t k = 0; k < records.size(); ++k) {
        const std::size_t to = records[k].value ? from + plan.text_length(k) + ending_length : slot_stops[slot++];
        if (const IoResult result = write_through(connection, from, to); !result.ok()) return result;
        from = to;
    }
    return {};
}

// Issues the whole plan at once when the statements one by one would keep
// every record in the buffer (buffered) or write each record on its own
// (unbuffered), without touching the record area's size; nothing otherwise.
std::optional<IoResult> issue_whole(UnitConnection& connection, const RecordPlan& plan, std::span<const ItemValue> values) {
    // The first record cuts the file, and a read-only unit fails its first
    // statement: both are the statements' own business.
    if (connection.read_only || connection.truncate_at_next_record) return std::nullopt;
    const std::optional<std::size_t> bytes = most_bytes(plan, values, connection);
    if (!bytes) return std::nullopt;
    const std::size_t size = connection.buffer.size();
    const std::size_t area = connection.record_area_size;
    const std::size_t start = connection.record_start;
    const std::size_t end = start + *bytes;
    if (end + kPlacementSlack > size) return std::nullopt;
    // Buffered: the last record, and so every one before it, stays in the
    // buffer only if room for two more record areas follows it.
    if (connection.buffered && end + 2 * area >= size) return std::nullopt;

    std::array<std::size_t, RecordPlan::kMostRecords> slot_stops;
    connection.forget_line_ends();  // the records may lie where input was read ahead
    const std::optional<std::size_t> placed_end =
        place_records(plan, values, connection.terminator, connection.buffer.data(), start, slot_stops);
    if (!placed_end) return std::nullopt;
    IoResult result;
    if (connection.buffered) {
        connection.pending_output_end = *placed_end;
    } else {
        result = write_each_record(connection, plan, start, slot_stops);
    }
    connection.record_start = connection.next_position = connection.pending_output_end;
    connection.record_end = connection.record_start + area;
    return result;
}

}  // namespace

IoResult write_plan(std::int32_t unit, const RecordPlan& plan, std::span<const ItemValue> values) {
    if (plan.whole() && !plan.records().empty()) {
        const ConnectedUnit held{unit};
        if (held) {
            if (const std::optional<IoResult> done = issue_whole(*held, plan, values)) return *done;
        }
    }
    // One statement per record; each holds the unit for itself.
    std::size_t slot = 0;
    for (const PlannedRecord& record : plan.records()) {
        const ItemValue& value = record.value ? *record.value : values[slot++];
        if (const IoResult result = write_field(unit, record.spec, value); !result.ok()) return result;
    }
    return {};
}

}  // namespace io
