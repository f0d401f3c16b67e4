#include "platform/fault_trap.h"

#include <pthread.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>

namespace platform {
namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP};
constexpr int kSignalCount = sizeof kFaultSignals / sizeof kFaultSignals[0];

// The report, the stack walk and the symbol lookup all run on this stack,
// so it is well above the 64 KiB such handlers need at the least.
constexpr std::size_t kAltStackBytes = std::size_t{1} << 20;
constexpr std::size_t kGuardBytes = 4096;

// A filter that never comes back (one that waits for a lock the faulting code
// held, say) must not hang the process: the alarm's default action ends it.
constexpr unsigned kFilterSeconds = 60;

#if !defined(FPE_FLTUNK)
constexpr int FPE_FLTUNK = 14;  // the kernel's "undiagnosed floating-point exception"
#endif

struct Region {
    FaultFilter filter = nullptr;
    pthread_t thread{};
    std::uintptr_t stack_low = 0;
    sigjmp_buf resume;
};

std::atomic<Region*> active_region{nullptr};

std::uint32_t unlisted(int signal, int signal_code) {
    return 0xE0000000u | (static_cast<std::uint32_t>(signal) & 0xFF) << 8 |
           (static_cast<std::uint32_t>(signal_code) & 0xFF);
}

// Lowest usable address of the calling thread's stack; 0 when unknown.
// Not signal-safe (reads the process's memory map for the main thread).
std::uintptr_t current_stack_low() {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) return 0;
    void* addr = nullptr;
    std::size_t size = 0;
    const bool ok = pthread_attr_getstack(&attr, &addr, &size) == 0;
    pthread_attr_destroy(&attr);
    return ok ? reinterpret_cast<std::uintptr_t>(addr) : 0;
}

// Signal-safe.
std::uintptr_t context_stack_pointer(const void* context) {
    if (context == nullptr) return 0;
    const auto* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
    return static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RSP]);
#else
    return static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_ESP]);
#endif
}

// Signal-safe.
void set_fault_actions(void (*handler)(int, siginfo_t*, void*)) {
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    if (handler == nullptr) {
        action.sa_handler = SIG_DFL;
    } else {
        action.sa_sigaction = handler;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    }
    for (int signal : kFaultSignals) sigaction(signal, &action, nullptr);
}

// The signal handler. Signal-safe itself; what the filter does is the
// filter's business (the run-time layer's filter reports and is not).
void on_fault(int signal, siginfo_t* info, void* context) {
    // First of all: a fault from here on ends the process, it cannot recurse.
    set_fault_actions(nullptr);

    Region* region = active_region.load(std::memory_order_acquire);
    if (region == nullptr || pthread_equal(pthread_self(), region->thread) == 0) {
        // Not ours: blocked while we run, so it is delivered with the default
        // action as soon as the handler returns.
        raise(signal);
        return;
    }

    FaultInfo fault;
    fault.signal = signal;
    fault.signal_code = info->si_code;
    fault.address = info->si_addr;
    fault.context = context;
    const bool at_limit =
        signal == SIGSEGV && is_stack_overflow(reinterpret_cast<std::uintptr_t>(info->si_addr),
                                               region->stack_low, context_stack_pointer(context));
    fault.code = fault_code_for(signal, info->si_code, at_limit);

    const unsigned outer_alarm = alarm(kFilterSeconds);
    const FaultVerdict verdict = region->filter(fault);
    alarm(outer_alarm);
    switch (verdict) {
        case FaultVerdict::handle:
            siglongjmp(region->resume, 1);
        case FaultVerdict::continue_execution:
            set_fault_actions(on_fault);
            return;
        case FaultVerdict::continue_search:
            raise(signal);
            return;
    }
}

class AlternateStack {
public:
    AlternateStack() {
        void* block = mmap(nullptr, kAltStackBytes + kGuardBytes, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED) return;
        block_ = block;
        // A handler that outgrows its stack hits this page instead of memory below.
        mprotect(block_, kGuardBytes, PROT_NONE);
        stack_t stack{};
        stack.ss_sp = static_cast<char*>(block_) + kGuardBytes;
        stack.ss_size = kAltStackBytes;
        installed_ = sigaltstack(&stack, &previous_) == 0;
    }
    ~AlternateStack() {
        if (installed_) sigaltstack(&previous_, nullptr);
        if (block_ != nullptr) munmap(block_, kAltStackBytes + kGuardBytes);
    }
    AlternateStack(const AlternateStack&) = delete;
    AlternateStack& operator=(const AlternateStack&) = delete;

private:
    void* block_ = nullptr;
    bool installed_ = false;
    stack_t previous_{};
};

class SavedActions {
public:
    SavedActions() {
        for (int i = 0; i < kSignalCount; ++i) sigaction(kFaultSignals[i], nullptr, &saved_[i]);
    }
    ~SavedActions() {
        for (int i = 0; i < kSignalCount; ++i) sigaction(kFaultSignals[i], &saved_[i], nullptr);
    }
    SavedActions(const SavedActions&) = delete;
    SavedActions& operator=(const SavedActions&) = delete;

private:
    struct sigaction saved_[kSignalCount];
};

}  // namespace

std::uint32_t fault_code_for(int signal, int signal_code, bool at_stack_limit) {
    // Codes of 0 and below mean another process (or raise) sent the signal:
    // no fault happened, except that a trap stays a break request.
    const bool sent = signal_code <= 0;
    switch (signal) {
        case SIGSEGV:
            if (sent) break;
            if (signal_code == SEGV_BNDERR) return fault_code::array_bounds_exceeded;
            return at_stack_limit ? fault_code::stack_overflow : fault_code::access_violation;
        case SIGBUS:
            if (sent) break;
            return signal_code == BUS_ADRALN ? fault_code::datatype_misalignment
                                             : fault_code::in_page_error;
        case SIGILL:
            if (sent) break;
            return signal_code == ILL_PRVOPC || signal_code == ILL_PRVREG
                       ? fault_code::privileged_instruction
                       : fault_code::illegal_instruction;
        case SIGFPE:
            if (sent) break;
            switch (signal_code) {
                case FPE_INTDIV: return fault_code::integer_divide_by_zero;
                case FPE_INTOVF: return fault_code::integer_overflow;
                case FPE_FLTDIV: return fault_code::float_divide_by_zero;
                case FPE_FLTOVF: return fault_code::float_overflow;
                case FPE_FLTUND: return fault_code::float_underflow;
                case FPE_FLTRES: return fault_code::float_inexact;
                case FPE_FLTINV: return fault_code::float_invalid;
                case FPE_FLTSUB: return fault_code::array_bounds_exceeded;
                // The kernel could not tell which: decided from the saved flags.
                default: return fault_code::vector_multiple_traps;
            }
        case SIGTRAP:
            return signal_code == TRAP_TRACE || signal_code == TRAP_BRANCH ? fault_code::single_step
                                                                           : fault_code::breakpoint;
        default:
            break;
    }
    return unlisted(signal, signal_code);
}

bool is_stack_overflow(std::uintptr_t address, std::uintptr_t stack_low, std::uintptr_t stack_pointer) {
    // The kernel keeps a gap of about 1 MiB below a stack that may still grow.
    constexpr std::uintptr_t kGapBytes = std::uintptr_t{1} << 20;
    constexpr std::uintptr_t kPageBytes = 4096;
    if (stack_low != 0 && address < stack_low + kPageBytes && address + kGapBytes >= stack_low) return true;
    // A stack without a known limit: an access fault within one large frame
    // of the stack pointer can only be the stack running out.
    constexpr std::uintptr_t kFrameReach = std::uintptr_t{64} << 10;
    if (stack_pointer == 0) return false;
    return address >= stack_pointer ? address - stack_pointer <= kFrameReach
                                    : stack_pointer - address <= kFrameReach;
}

bool run_protected(void (*body)(void*), void* arg, FaultFilter filter) {
    Region region;
    region.filter = filter;
    region.thread = pthread_self();
    region.stack_low = current_stack_low();
    AlternateStack alternate_stack;
    SavedActions saved_actions;
    Region* outer = active_region.exchange(&region, std::memory_order_acq_rel);

    // The signal mask is saved too, so a handled fault leaves no signal blocked.
    if (sigsetjmp(region.resume, 1) != 0) {
        active_region.store(outer, std::memory_order_release);
        return false;
    }
    set_fault_actions(on_fault);
    body(arg);
    active_region.store(outer, std::memory_order_release);
    return true;
}

bool fault_vector_status(const FaultInfo& fault, std::uint32_t& flags) {
#if defined(__x86_64__)
    if (fault.context == nullptr) return false;
    const auto* uc = static_cast<const ucontext_t*>(fault.context);
    if (uc->uc_mcontext.fpregs == nullptr) return false;
    flags = uc->uc_mcontext.fpregs->mxcsr & 0x3F;
    return true;
#else
    (void)fault;
    (void)flags;
    return false;
#endif
}

bool is_break_request(const FaultInfo& fault) { return fault.signal == SIGTRAP && fault.signal_code <= 0; }

void suppress_fault_dumps() {
    rlimit limit{};
    if (getrlimit(RLIMIT_CORE, &limit) != 0) return;
    // The soft limit only, so a child that wants dumps may raise it again.
    limit.rlim_cur = 0;
    setrlimit(RLIMIT_CORE, &limit);
}

}  // namespace platform
