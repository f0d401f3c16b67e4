// Numbered reports on standard error, and what a severe one does next.
#pragma once

#include <cstdint>
#include <string_view>

#include "reporting/branches.h"

namespace rt {

// Composes, writes and acts on one report. The inserts follow the catalogue
// text's printf conventions. Returns `number`, and only for severities 0 to 3,
// or while a fault report has asked to resume. On the fault path the report
// is composed in a fixed buffer and a severe one ends the process at once;
// all of it is safe there except the unit pass.
int report_error(int number, int insert_count, ...);

// What the I/O layer knows of a failed statement's unit, as plain values.
struct UnitErrorInfo {
    std::int32_t unit = 0;
    std::string_view file_name{};
    std::uint32_t saved_system_error = 0;  // 0: none; the caller clears its own copy
    std::uint32_t branches = 0;            // the statement's branch_* flags
};

// Settles the unit after a failed statement (0 leave, 1 release the lock,
// 2 discard a half-made connection, 3 close); supplied by the I/O layer.
using SettleUnit = void (*)(int disposition, std::int32_t unit);

// The I/O layer's entry for a failed statement: the platform's text for a
// saved system error first, then the numbered report. Returns `number` when
// the report returns.
int report_io_error(int disposition, int number, int status_number, const UnitErrorInfo& unit,
                    SettleUnit settle);

// The unit pass (close every connected unit), handed over at start-up because
// the units live in a layer above this one.
using UnitPass = int (*)();
void set_unit_pass(UnitPass pass);
// Runs the unit pass at most once per process. Not safe on the fault path:
// closing releases heap blocks.
void run_unit_pass();

// Clears a line that a layer above keeps redrawn on standard error (the
// progress line), so that a report starts on a clean line. It runs before
// every report, on the fault path too, so it must be safe in a signal handler.
using ClearStatusLine = void (*)();
void set_clear_status_line(ClearStatusLine clear);

// Writes a finished report to the log file and to standard error. Safe on
// the fault path (a fault's report goes out through raw writes).
void emit_report(std::string_view text, int number);

}  // namespace rt
