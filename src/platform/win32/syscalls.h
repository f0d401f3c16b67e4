// Every system call of the Win32 backend that tests may want to fail goes
// through here (platform/testing.h). Each wrapper returns what the call
// returns and leaves the thread's last error as the call set it.
#pragma once

#include <windows.h>

#include <cstddef>

namespace platform::win32 {

HANDLE sys_create_file(const wchar_t* path, DWORD access, DWORD share, DWORD disposition);
BOOL sys_read_file(HANDLE file, void* into, DWORD bytes, DWORD* got);
BOOL sys_write_file(HANDLE file, const void* from, DWORD bytes, DWORD* put);
BOOL sys_set_file_pointer(HANDLE file, LONGLONG distance, DWORD method, LONGLONG* position);
BOOL sys_set_end_of_file(HANDLE file);
BOOL sys_close_handle(HANDLE file);
DWORD sys_get_file_type(HANDLE file);  // FILE_TYPE_UNKNOWN with an error set on failure
DWORD sys_get_full_path_name(const wchar_t* name, DWORD room, wchar_t* into);
void* sys_heap_alloc(std::size_t bytes);
void* sys_heap_realloc(void* block, std::size_t bytes);
void* sys_virtual_alloc(std::size_t bytes);  // committed, read-write; null on failure

}  // namespace platform::win32
