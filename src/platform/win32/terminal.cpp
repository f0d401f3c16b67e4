#include "platform/terminal.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

HANDLE handle_of(StandardStream stream) {
    switch (stream) {
        case StandardStream::input: return ::GetStdHandle(STD_INPUT_HANDLE);
        case StandardStream::output: return ::GetStdHandle(STD_OUTPUT_HANDLE);
        case StandardStream::error: return ::GetStdHandle(STD_ERROR_HANDLE);
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

// A process started without a stream has no handle for it (null): no file.
FileHandle standard_handle(StandardStream stream) {
    const HANDLE handle = handle_of(stream);
    return handle == nullptr ? kNoFile : reinterpret_cast<FileHandle>(handle);
}

bool write_user_text(StandardStream stream, std::string_view text) {
    return win32::write_user_text(handle_of(stream), text, true);
}

// A process started without the stream has no handle for it, or one that
// names nothing.
SystemError standard_stream_error(StandardStream stream) {
    const HANDLE handle = handle_of(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
    ::SetLastError(ERROR_SUCCESS);
    if (::GetFileType(handle) == FILE_TYPE_UNKNOWN && ::GetLastError() != ERROR_SUCCESS) return ::GetLastError();
    return 0;
}

// Only a console has a console mode; files, pipes and devices do not.
bool is_terminal(StandardStream stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(handle_of(stream), &mode) != FALSE;
}

// The visible window of the console's screen buffer. Console input has no
// screen buffer, so standard input says nothing of its width.
int terminal_columns(StandardStream stream) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(handle_of(stream), &info)) return 0;
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns > 0 ? columns : 0;
}

// The performance counter never runs backwards; its frequency is fixed at
// boot. Whole seconds and the remainder are scaled apart, so the product
// does not overflow.
std::uint64_t monotonic_nanoseconds() {
    LARGE_INTEGER frequency{}, counter{};
    if (!::QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !::QueryPerformanceCounter(&counter))
        return 0;
    const auto ticks = static_cast<std::uint64_t>(counter.QuadPart);
    const auto per_second = static_cast<std::uint64_t>(frequency.QuadPart);
    return ticks / per_second * 1'000'000'000u + ticks % per_second * 1'000'000'000u / per_second;
}

}  // namespace platform
