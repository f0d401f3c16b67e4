// The standard streams, whether a terminal sits behind them, and a clock that
// paces what is drawn there.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/files.h"

namespace platform {

enum class StandardStream : std::uint8_t { input, output, error };

// The stream's handle as the process received it, for reading and writing
// with read_file and write_file. It may be closed; the transfer then fails.
FileHandle standard_handle(StandardStream stream);

// Writes text meant for a person (help, version, a usage error), UTF-8,
// each line ending in a line feed, as the system's own programs write
// theirs: on Windows each line feed as CR LF, and the characters as a
// console shows them or, redirected, in the ANSI code page. Elsewhere the
// bytes as they are. False when not all of it could be written.
bool write_user_text(StandardStream stream, std::string_view text);

// 0 when the process was given the stream; the platform's code for an
// invalid handle when it started without one (start-up may have put a
// placeholder there, which is no stream the user gave).
SystemError standard_stream_error(StandardStream stream);

// True when the stream is an interactive terminal (a console on Windows).
bool is_terminal(StandardStream stream);

// The width in columns of the terminal behind the stream; 0 when it is no
// terminal or does not say.
int terminal_columns(StandardStream stream);

// Nanoseconds on a clock that never runs backwards and is not set by the
// user; only differences between two readings mean anything.
std::uint64_t monotonic_nanoseconds();

}  // namespace platform
