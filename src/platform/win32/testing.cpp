#include "platform/testing.h"

#include <stdlib.h>
#include <windows.h>

#include <string>

namespace platform::testing {

// Through the run-time, not SetEnvironmentVariableA: getenv reads the
// run-time's own copy of the environment, which that call does not update.
void set_environment_variable(const char* name, const char* value) {
    ::_putenv_s(name, value == nullptr ? "" : value);
}

// The run-time's abort ends the process with status 3.
bool ended_by_abort(int status) { return status == 3; }

// An unhandled exception ends the process with its code as the status.
bool ended_by_breakpoint(int status) { return static_cast<DWORD>(status) == EXCEPTION_BREAKPOINT; }

// The test framework reads a captured stream back in text mode.
std::string_view captured_raw_crlf() { return "\n"; }

namespace {

std::wstring wide_of(std::string_view text) {
    std::wstring wide(text.size(), L'\0');
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                             static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return wide;
}

// One argument as the run-time's split gives it back: in quotes, with the
// backslashes before a quote doubled and the quote escaped.
void append_quoted(std::wstring& line, std::wstring_view argument) {
    line += L" \"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

HANDLE inheritable(const wchar_t* path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

// Windows cuts at the handle's position with no call to find it.
bool makes_call(Syscall call) { return call != Syscall::seek; }

std::vector<std::string> environment_names() {
    std::vector<std::string> names;
    for (char** entry = _environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string_view text{*entry};
        // Names of the drives' current directories ("=C:") start with '='.
        const std::size_t end = text.find('=', 1);
        names.emplace_back(text.substr(0, end));
    }
    return names;
}

int run_this_program(std::span<const std::string> arguments, const std::string& directory,
                     const std::string& error_path) {
    wchar_t self[MAX_PATH];
    const DWORD self_length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (self_length == 0 || self_length >= MAX_PATH) return -1;
    std::wstring line = L"\"" + std::wstring{self, self_length} + L"\"";
    for (const std::string& argument : arguments) append_quoted(line, wide_of(argument));

    const HANDLE error = inheritable(wide_of(error_path).c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE null = inheritable(L"NUL", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = null;
    start.hStdOutput = null;
    start.hStdError = error;
    PROCESS_INFORMATION process{};
    const bool started = error != INVALID_HANDLE_VALUE && null != INVALID_HANDLE_VALUE &&
                         ::CreateProcessW(self, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          wide_of(directory).c_str(), &start, &process);
    if (error != INVALID_HANDLE_VALUE) ::CloseHandle(error);
    if (null != INVALID_HANDLE_VALUE) ::CloseHandle(null);
    if (!started) return -1;
    ::CloseHandle(process.hThread);
    DWORD status = 0;
    // A run that hangs ends the child, not the suite.
    if (::WaitForSingleObject(process.hProcess, 60'000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 1);
        ::WaitForSingleObject(process.hProcess, INFINITE);
        status = STILL_ACTIVE;
    } else if (!::GetExitCodeProcess(process.hProcess, &status)) {
        status = STILL_ACTIVE;
    }
    ::CloseHandle(process.hProcess);
    // An exception's code or a hang is no status of the program's.
    return status >= 0xC0000000u || status == STILL_ACTIVE ? -1 : static_cast<int>(status);
}

}  // namespace platform::testing
