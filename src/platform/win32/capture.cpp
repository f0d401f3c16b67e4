#include "platform/win32/capture.h"

namespace platform::win32 {
namespace {

using CaptureRoutine = void(WINAPI*)(CONTEXT*);

// Looked up once by name and kept; null when it cannot be found.
CaptureRoutine capture_routine() {
    static const CaptureRoutine routine = [] {
        const HMODULE ntdll = ::GetModuleHandleA("NTDLL.DLL");
        return ntdll == nullptr ? nullptr
                                : reinterpret_cast<CaptureRoutine>(
                                      reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlCaptureContext")));
    }();
    return routine;
}

}  // namespace

void settle_capture(CONTEXT& context, std::uintptr_t capturing_frame) {
    if (context.Ebp != capturing_frame) return;
    // The frame holds the caller's frame pointer, then the return address.
    const auto* saved = reinterpret_cast<const DWORD*>(capturing_frame);
    context.Ebp = saved[0];
    context.Eip = saved[1];
    context.Esp = static_cast<DWORD>(capturing_frame + 2 * sizeof(DWORD));
}

// Out of line, with a frame of its own: the frame the capture is measured by.
__attribute__((noinline)) bool capture_caller_context(CONTEXT& context) {
    const CaptureRoutine capture = capture_routine();
    if (capture == nullptr) return false;
    context = CONTEXT{};
    capture(&context);
    settle_capture(context, reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)));
    return true;
}

}  // namespace platform::win32
