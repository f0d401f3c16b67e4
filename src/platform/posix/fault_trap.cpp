#include "platform/fault_trap.h"

#include <pthread.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>

#include "platform/posix/fault_codes.h"

namespace platform {
namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP};
constexpr int kSignalCount = sizeof kFaultSignals / sizeof kFaultSignals[0];

// The filter runs on an alternate stack of the size it asks for, with a
// guard page below it.
constexpr std::size_t kGuardBytes = 4096;

// A filter that never comes back (one that waits for a lock the faulting code
// held, say) must not hang the process: the alarm's default action ends it.
constexpr unsigned kFilterSeconds = 60;

struct Region {
    FaultFilter filter = nullptr;
    pthread_t thread{};
    std::uintptr_t stack_low = 0;
    sigjmp_buf resume;
};

std::atomic<Region*> active_region{nullptr};

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
    fault.address = info->si_addr;
    fault.context = context;
    const bool at_limit =
        signal == SIGSEGV && posix::is_stack_overflow(reinterpret_cast<std::uintptr_t>(info->si_addr),
                                                      region->stack_low, context_stack_pointer(context));
    fault.code = posix::fault_code_for(signal, info->si_code, at_limit);
    fault.break_request = posix::is_break_request(signal, info->si_code);

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
    explicit AlternateStack(std::size_t bytes) {
        // Whole pages, and never below what the system asks of a signal stack.
        const std::size_t least = static_cast<std::size_t>(SIGSTKSZ);
        bytes_ = ((bytes < least ? least : bytes) + kGuardBytes - 1) / kGuardBytes * kGuardBytes;
        void* block = mmap(nullptr, bytes_ + kGuardBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED) return;
        block_ = block;
        // A handler that outgrows its stack hits this page instead of memory below.
        mprotect(block_, kGuardBytes, PROT_NONE);
        stack_t stack{};
        stack.ss_sp = static_cast<char*>(block_) + kGuardBytes;
        stack.ss_size = bytes_;
        installed_ = sigaltstack(&stack, &previous_) == 0;
    }
    ~AlternateStack() {
        if (installed_) sigaltstack(&previous_, nullptr);
        if (block_ != nullptr) munmap(block_, bytes_ + kGuardBytes);
    }
    AlternateStack(const AlternateStack&) = delete;
    AlternateStack& operator=(const AlternateStack&) = delete;

private:
    std::size_t bytes_ = 0;
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

bool run_protected(void (*body)(void*), void* arg, FaultFilter filter, std::size_t filter_stack_bytes) {
    Region region;
    region.filter = filter;
    region.thread = pthread_self();
    region.stack_low = current_stack_low();
    AlternateStack alternate_stack(filter_stack_bytes);
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
    flags = uc->uc_mcontext.fpregs->mxcsr & kVectorStatusFlags;
    return true;
#else
    (void)fault;
    (void)flags;
    return false;
#endif
}

void suppress_fault_dumps() {
    rlimit limit{};
    if (getrlimit(RLIMIT_CORE, &limit) != 0) return;
    // The soft limit only, so a child that wants dumps may raise it again.
    limit.rlim_cur = 0;
    setrlimit(RLIMIT_CORE, &limit);
}

}  // namespace platform
