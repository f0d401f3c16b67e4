// UTF-8, the program's text inside, and UTF-16, the system's text outside:
// names cross here on their way to and from the wide-character calls, and
// text meant for a person on its way to a console or a redirected stream.
// Kernel calls and the caller's buffers only, so the fault path may use them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>
#include <string_view>

namespace platform::win32 {

// `utf8` as UTF-16 with a terminating zero in `out`; the length without the
// zero, or 0 when it is empty, does not fit, or is no UTF-8 (the last error
// then says which: ERROR_FILENAME_EXCED_RANGE or ERROR_NO_UNICODE_TRANSLATION).
std::size_t to_wide(std::string_view utf8, std::span<wchar_t> out);

// `wide` as UTF-8 with a terminating zero in `out`; the length without the
// zero, or 0 when it is empty or does not fit.
std::size_t to_utf8(std::wstring_view wide, std::span<char> out);

// Writes all of `bytes`, as many calls as the system needs; false on a
// failure, a write that takes nothing, or no handle.
bool write_all(HANDLE file, std::span<const char> bytes);

// Writes UTF-8 text meant for a person: a console gets its characters
// (WriteConsoleW), whatever its code page; anything else (a file, a pipe)
// gets the text in the ANSI code page, as the other programs of the system
// write there, a character the code page lacks as '?'. With `crlf`, each line feed goes out as CR LF. Redirected,
// pure ASCII goes out byte for byte: every ANSI code page spells it alike.
bool write_user_text(HANDLE file, std::span<const char> utf8, bool crlf);

// True when the bytes are all ASCII, which every code page writes alike.
bool is_ascii(std::span<const char> bytes);

}  // namespace platform::win32
