#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/console_events.h"
#include "platform/win32/console_control.h"
#include "platform/win32/syscalls.h"
#include "platform/win32/wide_text.h"

namespace platform {

namespace {

SystemError last_error() { return static_cast<SystemError>(::GetLastError()); }

HANDLE handle_of(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// One call moves at most this much; a 32-bit count holds any span here, but
// the size type is wider on a 64-bit build.
constexpr std::size_t kLargestTransfer = 1u << 30;

// Longer names than this fail as too long before the system sees them; the
// record layer never opens a name longer than 256 characters.
constexpr std::size_t kLongestWideName = 4095;

// A call a console event cancelled: the event is acted on (which ends the
// process) before the call is tried again. A cancel without an event is a
// failure like any other.
bool cancelled() {
    if (::GetLastError() != ERROR_OPERATION_ABORTED) return false;
    if (detail::recorded_console_event.load(std::memory_order_acquire) == detail::kNoConsoleEvent) return false;
    check_console_events();
    return true;
}

}  // namespace

namespace {

// Past any data a file can hold, so that locking it stops no read or write.
constexpr DWORD kShareLockOffsetHigh = 0x40000000;  // byte 2^62

// The share mode as a byte-range lock as well: a writer locks the byte
// exclusively, a reader that refuses writers shares it. The system's share
// modes already keep two Windows programs apart; the lock is for a Linux
// run of this program on the same file under Wine, which maps the lock to a
// POSIX lock on the Unix file, where that run's open-file-description lock
// (which covers every offset) meets it. Returns false when another open
// holds a lock that excludes this one; a system without such locks (a
// device, some network shares) is used unguarded.
bool take_share_lock(HANDLE file, Access access) {
    OVERLAPPED where{};
    where.OffsetHigh = kShareLockOffsetHigh;
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (access == Access::read_write ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (::LockFileEx(file, flags, 0, 1, 0, &where)) return true;
    return ::GetLastError() != ERROR_LOCK_VIOLATION;
}

}  // namespace

// CreateFileW refuses a directory by itself (access denied) unless asked
// for backup semantics, and keeps the share mode for as long as the handle
// is open. A successful open of an existing file leaves ERROR_ALREADY_EXISTS
// as the last error: it is no failure, and not kept. The name is UTF-8, so
// that any name the system allows can be opened, not only those of the
// ANSI code page.
OpenResult open_or_create(const char* path, Access access, Share share, Missing missing) {
    const DWORD desired = access == Access::read_write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    const DWORD sharing = share == Share::read ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
    wchar_t wide[kLongestWideName + 1];
    wide[0] = L'\0';  // an empty name fails in the system as it always did
    if (*path != '\0' && win32::to_wide(path, wide) == 0) return {kNoFile, last_error()};
    const DWORD disposition = missing == Missing::create ? OPEN_ALWAYS : OPEN_EXISTING;
    const HANDLE file = win32::sys_create_file(wide, desired, sharing, disposition);
    if (file == INVALID_HANDLE_VALUE) return {kNoFile, last_error()};
    // FILE_TYPE_UNKNOWN with an error is a failed check, and guessing "no
    // disk file" would leave an old output's tail uncut: the open fails.
    ::SetLastError(ERROR_SUCCESS);
    const DWORD type = win32::sys_get_file_type(file);
    if (type == FILE_TYPE_UNKNOWN && ::GetLastError() != ERROR_SUCCESS) {
        const SystemError code = last_error();
        win32::sys_close_handle(file);
        return {kNoFile, code};
    }
    if (type == FILE_TYPE_DISK && share == Share::read && !take_share_lock(file, access)) {
        win32::sys_close_handle(file);
        return {kNoFile, ERROR_SHARING_VIOLATION};
    }
    return {reinterpret_cast<FileHandle>(file), 0, type == FILE_TYPE_DISK};
}

// A synchronous read at the end of a disk file succeeds with no bytes.
TransferResult read_file(FileHandle file, std::span<char> into) {
    DWORD got = 0;
    const DWORD asked = static_cast<DWORD>(std::min(into.size(), kLargestTransfer));
    const win32::TransferMark transfer;
    while (!win32::sys_read_file(handle_of(file), into.data(), asked, &got))
        if (!cancelled()) return {0, last_error()};
    return {got, 0};
}

// WriteFile may report success for part of the bytes (a nearly full disk);
// the rest is offered again, and that call reports the failure.
TransferResult write_file(FileHandle file, std::span<const char> bytes) {
    std::size_t done = 0;
    const win32::TransferMark transfer;
    while (done < bytes.size()) {
        DWORD put = 0;
        const DWORD asked = static_cast<DWORD>(std::min(bytes.size() - done, kLargestTransfer));
        if (!win32::sys_write_file(handle_of(file), bytes.data() + done, asked, &put)) {
            // What went out before a cancel or a failure stays out: only the
            // rest is offered again.
            done += put;
            if (cancelled()) continue;
            return {done, last_error()};
        }
        if (put == 0) return {done, ERROR_DISK_FULL};  // no progress and no error: treat as a full device
        done += put;
    }
    return {done, 0};
}

SystemError truncate_here(FileHandle file) {
    return win32::sys_set_end_of_file(handle_of(file)) ? 0 : last_error();
}

SystemError cut_back(FileHandle file, std::uint64_t bytes) {
    if (bytes > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return ERROR_INVALID_PARAMETER;
    if (!win32::sys_set_file_pointer(handle_of(file), -static_cast<LONGLONG>(bytes), FILE_CURRENT, nullptr)) return last_error();
    return win32::sys_set_end_of_file(handle_of(file)) ? 0 : last_error();
}

SystemError close_file(FileHandle file) { return win32::sys_close_handle(handle_of(file)) ? 0 : last_error(); }

bool is_disk_file(FileHandle file) { return win32::sys_get_file_type(handle_of(file)) == FILE_TYPE_DISK; }

}  // namespace platform
