// The protected region on Windows: a frame-based exception handler around the
// body, so that handlers the body links itself (the system libraries' own
// guarded blocks) see their exceptions first, and faults of other threads
// never reach it.
//
// The filter runs on a fiber of its own, on the faulting thread: after a
// stack overflow the handler is left a page or so of stack, far too little
// for a report and a stack walk, while a second thread would see the
// driver's units and locks as another thread's. The handler only switches to
// the fiber and back, and acts on the verdict.
#include "platform/fault_trap.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "platform/cpu.h"
#include "platform/win32/fault_codes.h"
#include "platform/win32/handler_frame.h"

namespace platform {
namespace {

struct Region {
    win32::HandlerFrame frame;  // first: the handler reaches the region through it
    FaultFilter filter = nullptr;
    void* resume[5] = {};  // __builtin_setjmp's buffer
    void* body_fiber = nullptr;
    void* filter_fiber = nullptr;
    // The exception being filtered, and the verdict on it.
    EXCEPTION_RECORD* record = nullptr;
    CONTEXT* context = nullptr;
    FaultVerdict verdict = FaultVerdict::continue_search;
    // The floating-point control the body started with, given back when it
    // is abandoned: a trap leaves its flags raised and its mask cleared.
    std::uint16_t x87_control = 0;
    std::uint32_t vector_control = 0;
};
static_assert(offsetof(Region, frame) == 0);

// A fault inside the filter: the process ends with the fault's code, as the
// system's default course would end it, instead of filtering again.
EXCEPTION_DISPOSITION NTAPI end_on_fault(EXCEPTION_RECORD* record, void*, CONTEXT*, void*) {
    if (win32::is_unwinding(*record)) return ExceptionContinueSearch;
    ::TerminateProcess(::GetCurrentProcess(), record->ExceptionCode);
    return ExceptionContinueSearch;
}

void filter_pending(Region& region) {
    const FaultInfo fault = win32::fault_info_of(*region.record, region.context);
    region.verdict = region.filter(fault);
}

void WINAPI run_filters(void* region_address) {
    Region& region = *static_cast<Region*>(region_address);
    win32::HandlerFrame last_resort;
    win32::link_handler(last_resort, end_on_fault);
    for (;;) {
        filter_pending(region);
        ::SwitchToFiber(region.body_fiber);
    }
}

// The system backs the saved instruction pointer up by one for every
// breakpoint, taking it for an int3 it must point back at, also when the
// program raised it by a call. One byte on is past the instruction, or the
// return from the call: without that, resuming would trap again, or run
// from the middle of an instruction.
void step_over_breakpoint(const EXCEPTION_RECORD& record, CONTEXT& context) {
    if (record.ExceptionCode == EXCEPTION_BREAKPOINT) ++context.Eip;
}

[[noreturn]] void abandon_body(Region& region, EXCEPTION_RECORD& record) {
    asm volatile("fnclex");
    write_x87_control(region.x87_control);
    write_vector_control(region.vector_control);
    win32::escape_to(region.frame, record, region.resume);
}

// Little stack here: after a stack overflow there is hardly any.
EXCEPTION_DISPOSITION NTAPI on_exception(EXCEPTION_RECORD* record, void* frame, CONTEXT* context, void*) {
    if (win32::is_unwinding(*record)) return ExceptionContinueSearch;
    Region& region = *static_cast<Region*>(frame);
    region.record = record;
    region.context = context;
    if (region.filter_fiber != nullptr)
        ::SwitchToFiber(region.filter_fiber);
    else
        filter_pending(region);  // no fiber could be had: the thread's own stack
    switch (region.verdict) {
        case FaultVerdict::handle:
            abandon_body(region, *record);
        case FaultVerdict::continue_execution:
            step_over_breakpoint(*record, *context);
            return ExceptionContinueExecution;
        case FaultVerdict::continue_search:
            break;
    }
    return ExceptionContinueSearch;
}

// The calling thread as a fiber, for as long as a region needs it.
class ThreadFiber {
public:
    ThreadFiber() {
        if (::IsThreadAFiber()) {
            fiber_ = win32::thread_block().FiberData;
        } else {
            fiber_ = ::ConvertThreadToFiber(nullptr);
            converted_ = fiber_ != nullptr;
        }
    }
    ~ThreadFiber() {
        if (converted_) ::ConvertFiberToThread();
    }
    ThreadFiber(const ThreadFiber&) = delete;
    ThreadFiber& operator=(const ThreadFiber&) = delete;

    void* get() const { return fiber_; }

private:
    void* fiber_ = nullptr;
    bool converted_ = false;
};

class FilterFiber {
public:
    FilterFiber(Region& region, std::size_t stack_bytes) {
        if (region.body_fiber != nullptr) fiber_ = ::CreateFiberEx(0, stack_bytes, 0, run_filters, &region);
    }
    ~FilterFiber() {
        if (fiber_ != nullptr) ::DeleteFiber(fiber_);
    }
    FilterFiber(const FilterFiber&) = delete;
    FilterFiber& operator=(const FilterFiber&) = delete;

    void* get() const { return fiber_; }

private:
    void* fiber_ = nullptr;
};

}  // namespace

bool run_protected(void (*body)(void*), void* arg, FaultFilter filter, std::size_t filter_stack_bytes) {
    Region region;
    region.filter = filter;
    region.x87_control = read_x87_control();
    region.vector_control = read_vector_control() & ~kVectorStatusFlags;
    const ThreadFiber thread_fiber;
    region.body_fiber = thread_fiber.get();
    const FilterFiber filter_fiber(region, filter_stack_bytes);
    region.filter_fiber = filter_fiber.get();

    if (__builtin_setjmp(region.resume) != 0) {
        win32::unlink_handler(region.frame);
        return false;
    }
    win32::link_handler(region.frame, on_exception);
    body(arg);
    win32::unlink_handler(region.frame);
    return true;
}

bool fault_vector_status(const FaultInfo& fault, std::uint32_t& flags) {
    if (fault.context == nullptr) return false;
    DWORD control = 0;
    if (!win32::saved_vector_control(*static_cast<const CONTEXT*>(fault.context), control)) return false;
    flags = control & kVectorStatusFlags;
    return true;
}

void suppress_fault_dumps() {
    // No critical-error boxes, no fault boxes, no boxes for files that cannot be opened.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
}

}  // namespace platform
