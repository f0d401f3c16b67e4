// Walking the active call frames, innermost first, with what is known of each.
#pragma once

#include <cstdint>

#include "platform/fault_info.h"

namespace platform {

// Hexadecimal digits that hold any program counter of the target's user
// space: 8 for 32-bit addresses, 12 for the 47-bit user half of x86-64.
inline constexpr int kProgramCounterDigits = sizeof(std::uintptr_t) == 4 ? 8 : 12;

struct StackFrame {
    std::uintptr_t pc = 0;
    std::uintptr_t return_address = 0;  // 0 for the outermost frame
    // The frame's base: where its saved frame pointer lies, two words below
    // the end of the caller's stack at the call. A routine built without a
    // frame pointer has the same place, computed from the unwind information.
    std::uintptr_t frame_pointer = 0;
    std::uintptr_t stack_pointer = 0;
    // The first four words of the caller's argument area, just above the
    // return address; 0 where the walk cannot tell.
    std::uintptr_t params[4] = {};
    // Path of the module file holding pc (the program's own executable file
    // for its code, whatever name it was started by); null when none.
    const char* image = nullptr;
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
// from inside this function. With a fault the walk is safe on the fault path
// (no heap: image and routine names only); without one it also reads the
// line and source from the modules' debug information. A fault while
// reading the frames ends the walk instead of the process.
WalkEnd walk_stack(const FaultInfo* fault, FrameVisitor visit, void* state);

}  // namespace platform
