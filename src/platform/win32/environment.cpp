#include "platform/environment.h"

#include <windows.h>

#include <cstdlib>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

void* allocate(std::size_t bytes) { return ::HeapAlloc(::GetProcessHeap(), 0, bytes); }

}  // namespace

// The copy is made on the process heap, past the failure seam of the heap
// functions (a test's count of allocations stays the program's), and never
// released: it lives as the environment it was read from does. Without the
// memory for it the run-time's ANSI value stands in.
const char* environment_text(const char* name) {
    wchar_t wide_name[128];
    if (win32::to_wide(name, wide_name) == 0) return nullptr;
    // The room for the value and its zero; 0 when the variable is not set.
    const DWORD room = ::GetEnvironmentVariableW(wide_name, nullptr, 0);
    if (room == 0) return nullptr;
    auto* wide = static_cast<wchar_t*>(allocate(room * sizeof(wchar_t)));
    if (wide == nullptr) return std::getenv(name);
    const DWORD length = ::GetEnvironmentVariableW(wide_name, wide, room);
    const int bytes =
        length < room ? ::WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length) + 1, nullptr, 0, nullptr, nullptr)
                      : 0;
    auto* text = bytes > 0 ? static_cast<char*>(allocate(static_cast<std::size_t>(bytes))) : nullptr;
    if (text != nullptr)
        ::WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length) + 1, text, bytes, nullptr, nullptr);
    ::HeapFree(::GetProcessHeap(), 0, wide);
    return text != nullptr ? text : std::getenv(name);
}

}  // namespace platform
