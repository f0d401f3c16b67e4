#include "platform/win32/syscalls.h"

#include "platform/common/failure_injection.h"

namespace platform::win32 {
namespace {

using testing::Syscall;

// True when this call is to fail; the last error is then the chosen code.
bool injected(Syscall call) {
    SystemError code = 0;
    if (!injection::take(call, code)) return false;
    ::SetLastError(code);
    return true;
}

}  // namespace

HANDLE sys_create_file(const wchar_t* path, DWORD access, DWORD share, DWORD disposition) {
    if (injected(Syscall::open)) return INVALID_HANDLE_VALUE;
    return ::CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

BOOL sys_read_file(HANDLE file, void* into, DWORD bytes, DWORD* got) {
    if (injected(Syscall::read)) {
        // No code: the end of the file, which a disk file shows as no bytes.
        *got = 0;
        return ::GetLastError() == 0;
    }
    return ::ReadFile(file, into, bytes, got, nullptr);
}

BOOL sys_write_file(HANDLE file, const void* from, DWORD bytes, DWORD* put) {
    if (injected(Syscall::write)) {
        *put = 0;
        return FALSE;
    }
    return ::WriteFile(file, from, static_cast<DWORD>(injection::write_size(bytes)), put, nullptr);
}

BOOL sys_set_file_pointer(HANDLE file, LONGLONG distance, DWORD method, LONGLONG* position) {
    if (injected(Syscall::seek)) return FALSE;
    LARGE_INTEGER moved{};
    LARGE_INTEGER wanted{};
    wanted.QuadPart = distance;
    if (!::SetFilePointerEx(file, wanted, &moved, method)) return FALSE;
    if (position != nullptr) *position = moved.QuadPart;
    return TRUE;
}

BOOL sys_set_end_of_file(HANDLE file) { return injected(Syscall::cut) ? FALSE : ::SetEndOfFile(file); }

BOOL sys_close_handle(HANDLE file) {
    if (injected(Syscall::close)) {
        // Release the handle all the same, so that an injected failure leaks nothing.
        const DWORD code = ::GetLastError();
        ::CloseHandle(file);
        ::SetLastError(code);
        return FALSE;
    }
    return ::CloseHandle(file);
}

DWORD sys_get_file_type(HANDLE file) {
    return injected(Syscall::file_type) ? DWORD{FILE_TYPE_UNKNOWN} : ::GetFileType(file);
}

DWORD sys_get_full_path_name(const wchar_t* name, DWORD room, wchar_t* into) {
    // The current directory is where a relative name is resolved.
    return injected(Syscall::current_directory) ? 0 : ::GetFullPathNameW(name, room, into, nullptr);
}

void* sys_heap_alloc(std::size_t bytes) {
    return injected(Syscall::heap) ? nullptr : ::HeapAlloc(::GetProcessHeap(), 0, bytes);
}

void* sys_heap_realloc(void* block, std::size_t bytes) {
    return injected(Syscall::heap) ? nullptr : ::HeapReAlloc(::GetProcessHeap(), 0, block, bytes);
}

void* sys_virtual_alloc(std::size_t bytes) {
    if (injected(Syscall::pages)) return nullptr;
    return ::VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

}  // namespace platform::win32
