// The current processor context, captured with RtlCaptureContext.
#pragma once

#include <windows.h>

#include <cstdint>

namespace platform::win32 {

// The context of the routine that calls this one, as at the return from
// it; false when the capture routine cannot be found.
bool capture_caller_context(CONTEXT& context);

// Windows' capture describes the routine that calls it, Wine's the routine
// above that. Given the frame of the routine that called the capture, a
// context of that routine is stepped out to its caller, as at the return;
// any other context stays as it is.
void settle_capture(CONTEXT& context, std::uintptr_t capturing_frame);

}  // namespace platform::win32
