// Walking the active call frames, innermost first, with what is known of each.
#pragma once

#include <cstdint>

#include "platform/fault_info.h"

namespace platform {

struct StackFrame {
    std::uintptr_t pc = 0;
    std::uintptr_t return_address = 0;  // 0 for the outermost frame
    std::uintptr_t frame_pointer = 0;
    std::uintptr_t stack_pointer = 0;
    // The argument registers where the unwinder still knows them (the
    // interrupted frame of a fault), else 0.
    std::uintptr_t params[4] = {};
    const char* image = nullptr;    // path of the module holding pc; null when none
    const char* routine = nullptr;  // bare routine name; null when unknown
    const char* source = nullptr;   // source path; null when unknown
    unsigned line = 0;              // 0 when unknown
};

enum class WalkEnd : std::uint8_t {
    normal,    // the outermost frame was reached
    abnormal,  // the unwinder could not start
    stopped,   // the visitor asked to stop
    faulted,   // reading a frame faulted; the frames visited before it stand
};

// Returns false to end the walk. The frame's strings live until it returns.
using FrameVisitor = bool (*)(const StackFrame& frame, void* state);

// Walks from the faulting instruction when `fault` carries a context, else
// from inside this function. With a fault the walk stays async-signal-safe
// (no heap: image and routine names only); without one it also reads the
// line and source from the modules' debug information. A fault while
// reading the frames ends the walk instead of the process.
WalkEnd walk_stack(const FaultInfo* fault, FrameVisitor visit, void* state);

}  // namespace platform
