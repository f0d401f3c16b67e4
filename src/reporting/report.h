// Numbered reports on standard error, and what a severe one does next.
#pragma once

#include <cstdint>
#include <string_view>

namespace rt {

// Composes, writes and acts on one report. The inserts follow the catalogue
// text's printf conventions. Returns `number`, and only for severities 0 to 3,
// or while a fault report has asked to resume. On the fault path the report
// is composed in a fixed buffer, the unit pass frees nothing, and a severe
// one ends the process at once.
int report_error(int number, int insert_count, ...);

// What the I/O layer knows of a failed statement's unit, as plain values.
struct UnitErrorInfo {
    std::int32_t unit = 0;
    std::string_view file_name{};
    std::uint32_t saved_system_error = 0;  // 0: none; the caller clears its own copy
};

// The I/O layer's entry for a failed statement: the platform's text for a
// saved system error first, then the numbered report. Returns `number` when
// the report returns.
int report_io_error(int number, const UnitErrorInfo& unit);

// The unit pass (close every connected unit), handed over at start-up because
// the units live in a layer above this one.
using UnitPass = int (*)();
void set_unit_pass(UnitPass pass);
// Runs the unit pass at most once per process. On the fault path the pass
// must free nothing: the fault may have struck inside the allocator.
void run_unit_pass(bool fault_path = false);
// True while the unit pass runs for a fault's report: the pass flushes and
// closes, and leaves every heap block where it is.
bool unit_pass_on_fault_path();

// Clears a line that a layer above keeps redrawn on standard error (the
// progress line), so that a report starts on a clean line. It runs before
// every report, on the fault path too, so it must be safe in a signal handler.
using ClearStatusLine = void (*)();
void set_clear_status_line(ClearStatusLine clear);

}  // namespace rt
