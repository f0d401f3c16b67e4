// Frame-based exception handlers, the 32-bit Windows form of a guarded
// block: a record on the stack, linked at the head of the thread's handler
// list, whose routine the system offers each exception raised while it is
// linked, after every handler linked later (the inner ones) has declined it.
#pragma once

#include <windows.h>

namespace platform::win32 {

using HandlerRoutine = EXCEPTION_DISPOSITION(NTAPI*)(EXCEPTION_RECORD* record, void* frame, CONTEXT* context,
                                                     void* dispatcher);

// The system finds the record by its address: it must live on the stack of
// the thread (or fiber) it guards, and its routine receives that address as
// `frame`. Put it first in a struct to reach the struct from the routine.
struct HandlerFrame {
    HandlerFrame* previous = nullptr;
    HandlerRoutine routine = nullptr;
};

// The calling thread's information block: the head of the handler list, the
// stack's bounds, the current fiber.
NT_TIB& thread_block();

// Links `frame` at the head of the calling thread's list.
void link_handler(HandlerFrame& frame, HandlerRoutine routine);
// Takes `frame` and every frame linked after it off the list.
void unlink_handler(const HandlerFrame& frame);

// An unwinding pass, not an exception to decide on.
bool is_unwinding(const EXCEPTION_RECORD& record);

// Leaves a handler routine for good: the frames linked after `frame` are
// unwound (their cleanup runs), then control resumes where `jump` was set by
// __builtin_setjmp in the function that linked `frame`, which finds it
// still linked.
[[noreturn]] void escape_to(HandlerFrame& frame, EXCEPTION_RECORD& record, void** jump);

}  // namespace platform::win32
