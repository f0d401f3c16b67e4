// Building the message line of a report, shared by the reporting entries.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <span>
#include <string_view>

#include "runtime/error_catalogue.h"

namespace rt {

// Writes the severity prefix (with the entry's number), the entry's text
// (formatted with the inserts when insert_count > 0, else as it stands) and
// CR LF into `out`, followed by a zero byte. A text too long for `out` is cut
// so that CR LF and the zero byte still fit; nothing is written past `out`.
// Returns the length without the zero byte; 0 when `out` has under 3 bytes.
std::size_t compose_message_line(std::span<char> out, const CatalogueEntry& entry, int insert_count,
                                 std::va_list inserts);

// Reopens standard error on the file named by FORT0, once per process,
// before the first output to standard error.
void redirect_standard_error_once();

// Writes text to the standard-error stream unless FOR_DISABLE_DIAGNOSTIC_DISPLAY is true.
void write_to_display(std::string_view text);

}  // namespace rt
