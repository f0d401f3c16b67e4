// The pieces of a report shared by the reporting entries: the text building
// (pure) and the once-only redirection and display of standard error.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "reporting/error_catalogue.h"

namespace rt {

// Writes the severity prefix (with the entry's number), the entry's text
// (formatted with the inserts when insert_count > 0, else as it stands) and
// CR LF into `out`, followed by a zero byte. A text too long for `out` is cut
// so that CR LF and the zero byte still fit; nothing is written past `out`.
// Returns the length without the zero byte; 0 when `out` has under 3 bytes.
// Safe on the fault path.
std::size_t compose_message_line(std::span<char> out, const CatalogueEntry& entry, int insert_count,
                                 std::va_list inserts);

// The extra line for a saved system error: "forrtl: " and the platform's
// text for the code (which ends with its own line break), or, when the
// platform has none, text 504 with the code and a line break of its own so
// that the message line after it starts on a line of its own. Zero-terminated
// and cut to fit `out`; returns the length. Safe on the fault path.
std::size_t compose_system_error_line(std::span<char> out, std::string_view platform_text, std::uint32_t code);

// How a report reaches standard error and the log file.
enum class ReportOutput {
    stream,       // through the stream library (text mode where there is one)
    stream_alike, // the same bytes through raw writes: safe on the fault path
    raw,          // the bytes as they are, in one raw write: safe on the fault path
};

// Reopens standard error on the file named by FORT0, once per process,
// before the first output to standard error. Clears the status line first,
// on every call. Safe on the fault path.
void redirect_standard_error_once();

// Writes text to standard error unless FOR_DISABLE_DIAGNOSTIC_DISPLAY is
// true. Safe on the fault path unless `how` is the stream.
void write_to_display(std::string_view text, ReportOutput how = ReportOutput::stream);

}  // namespace rt
