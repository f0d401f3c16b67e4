// Standard error, debugger presence and the ends of the process on Windows.
// The raw functions use kernel calls only, so the fault path may call them;
// the stream functions go through the C run-time, whose standard error is in
// text mode: each line feed reaches the console or file as CR LF.
#include "platform/process.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/win32/break_request.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// The file standard error was last reopened on, until the run-time's
// descriptor 2 follows it.
std::atomic<HANDLE> g_reopened{nullptr};

using win32::write_all;

// The names these functions take come from the environment, as UTF-8; a
// longer one than this fails as a name that cannot be opened. Kept short:
// the fault path has the buffer on its stack.
constexpr std::size_t kLongestWideName = 1023;

// Opens or creates the file, shared with every reader and writer; kernel
// calls and a buffer on the stack only, for the fault path.
HANDLE open_always(const char* path, DWORD access) {
    wchar_t wide[kLongestWideName + 1];
    if (win32::to_wide(path, wide) == 0) return INVALID_HANDLE_VALUE;
    return ::CreateFileW(wide, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
}

// Each line feed as CR LF, as the text-mode stream writes it, through a
// buffer on the stack: no heap and no stream lock, for the fault path.
bool write_text(HANDLE file, std::span<const char> bytes) {
    char chunk[512];
    std::size_t used = 0;
    for (const char c : bytes) {
        if (used + 2 > sizeof chunk) {
            if (!write_all(file, {chunk, used})) return false;
            used = 0;
        }
        if (c == '\n') chunk[used++] = '\r';
        chunk[used++] = c;
    }
    return write_all(file, {chunk, used});
}

bool write_stream(std::FILE* stream, std::span<const char> bytes) {
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    // The run-time buffers standard error when it is not a console: flushed
    // now, a raw write that follows cannot overtake it.
    return std::fflush(stream) == 0 && written;
}

// Moves the run-time's descriptor 2 onto the reopened file, in text mode
// like the standard error it replaces. The descriptor takes the handle over;
// moving it onto descriptor 2 makes a copy the process's handle again.
void follow_reopened_standard_error() {
    const HANDLE reopened = g_reopened.exchange(nullptr);
    if (reopened == nullptr) return;
    const int descriptor = ::_open_osfhandle(reinterpret_cast<intptr_t>(reopened), _O_APPEND | _O_TEXT);
    if (descriptor < 0) return;
    std::fflush(stderr);
    ::_dup2(descriptor, 2);
    ::_close(descriptor);
}

}  // namespace

bool write_standard_error(std::span<const char> bytes) {
    return write_all(::GetStdHandle(STD_ERROR_HANDLE), bytes);
}

// A report naming a file outside ASCII goes out as text for a person (see
// wide_text.h) after what the stream holds; pure ASCII, the usual report,
// takes the stream as it always did.
bool write_standard_error_stream(std::span<const char> bytes) {
    follow_reopened_standard_error();
    if (win32::is_ascii(bytes)) return write_stream(stderr, bytes);
    return std::fflush(stderr) == 0 && win32::write_user_text(::GetStdHandle(STD_ERROR_HANDLE), bytes, true);
}

// Kernel calls only, so that a fault's report can reopen standard error
// while the faulting code holds the run-time's locks: the process's handle
// moves now, the stream at its next use. The file is opened before anything
// is touched, so a name that cannot be opened leaves standard error as it
// was. Opened for appending only, every write lands at the end of the file,
// also the raw ones.
bool reopen_standard_error(const char* path) {
    const HANDLE file = open_always(path, FILE_APPEND_DATA);
    if (file == INVALID_HANDLE_VALUE) return false;
    if (!::SetStdHandle(STD_ERROR_HANDLE, file)) {
        ::CloseHandle(file);
        return false;
    }
    if (const HANDLE earlier = g_reopened.exchange(file); earlier != nullptr) ::CloseHandle(earlier);
    return true;
}

// Open-always for writing, to the end, the bytes, close.
bool append_with(const char* path, std::span<const char> bytes, bool (*write)(HANDLE, std::span<const char>)) {
    const HANDLE file = open_always(path, GENERIC_WRITE);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool at_end = ::SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_END) != FALSE;
    const bool written = at_end && write(file, bytes);
    return ::CloseHandle(file) && written;
}

bool append_to_file(const char* path, std::span<const char> bytes) { return append_with(path, bytes, write_all); }

bool append_to_file_text(const char* path, std::span<const char> bytes) { return append_with(path, bytes, write_text); }

bool write_standard_error_text(std::span<const char> bytes) {
    const HANDLE file = ::GetStdHandle(STD_ERROR_HANDLE);
    return win32::is_ascii(bytes) ? write_text(file, bytes) : win32::write_user_text(file, bytes, true);
}

bool append_to_file_stream(const char* path, std::span<const char> bytes) {
    wchar_t wide[kLongestWideName + 1];
    std::FILE* stream = win32::to_wide(path, wide) == 0 ? nullptr : ::_wfopen(wide, L"a");
    if (stream == nullptr) return false;
    const bool written = write_stream(stream, bytes);
    return std::fclose(stream) == 0 && written;
}

bool debugger_present() { return ::IsDebuggerPresent() != FALSE; }

// A breakpoint exception an attached debugger stops at and continues from;
// its mark tells the fault trap that the program asked for it.
void debug_break() {
    const ULONG_PTR mark = win32::kBreakRequestMark;
    ::RaiseException(EXCEPTION_BREAKPOINT, 0, 1, &mark);
}

void clear_last_error() { ::SetLastError(ERROR_SUCCESS); }

// Windows carries the full 32-bit number as the exit status.
int exit_status_for(int number) { return number; }

void exit_process(int status) { std::exit(status); }

// TerminateProcess runs nothing of the process: no exit routines, no stream
// flushes, no library detach code that could wait on a lock the fault left
// taken.
void end_process_now(int status) {
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(status));
    ::ExitProcess(static_cast<UINT>(status));
}

void abort_process() { std::abort(); }

}  // namespace platform
