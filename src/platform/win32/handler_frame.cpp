#include "platform/win32/handler_frame.h"

namespace platform::win32 {

NT_TIB& thread_block() {
    // Read through FS as NtCurrentTeb does; its intrinsic reads a
    // zero-length array that GCC 12 flags as out of bounds.
    NT_TIB* block = nullptr;
    asm("movl %%fs:0x18, %0" : "=r"(block));
    return *block;
}

void link_handler(HandlerFrame& frame, HandlerRoutine routine) {
    frame.routine = routine;
    frame.previous = reinterpret_cast<HandlerFrame*>(thread_block().ExceptionList);
    thread_block().ExceptionList = reinterpret_cast<EXCEPTION_REGISTRATION_RECORD*>(&frame);
}

void unlink_handler(const HandlerFrame& frame) {
    thread_block().ExceptionList = reinterpret_cast<EXCEPTION_REGISTRATION_RECORD*>(frame.previous);
}

bool is_unwinding(const EXCEPTION_RECORD& record) {
    return (record.ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0;
}

void escape_to(HandlerFrame& frame, EXCEPTION_RECORD& record, void** jump) {
    // RtlUnwind on 32-bit Windows need not keep EBX, ESI and EDI, so it is
    // called where the compiler keeps nothing in them.
    void* unwind = reinterpret_cast<void*>(&::RtlUnwind);
    void* target = &frame;
    EXCEPTION_RECORD* unwound = &record;
    asm volatile(
        "pushl $0\n\t"
        "pushl %[record]\n\t"
        "pushl $0\n\t"
        "pushl %[frame]\n\t"
        "call *%[unwind]"
        : [unwind] "+a"(unwind), [frame] "+c"(target), [record] "+d"(unwound)
        :
        : "ebx", "esi", "edi", "memory", "cc");
    __builtin_longjmp(jump, 1);
}

}  // namespace platform::win32
