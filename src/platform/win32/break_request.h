// The breakpoint the program raises itself to stop in a debugger, told apart
// from a breakpoint instruction met in the driver.
#pragma once

#include <windows.h>

namespace platform::win32 {

// The one parameter of the program's own breakpoint exception.
inline constexpr ULONG_PTR kBreakRequestMark = 0x74646272;

inline bool is_break_request(const EXCEPTION_RECORD& record) {
    return record.ExceptionCode == EXCEPTION_BREAKPOINT && record.NumberParameters == 1 &&
           record.ExceptionInformation[0] == kBreakRequestMark;
}

}  // namespace platform::win32
