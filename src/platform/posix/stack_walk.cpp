// The stack walk on POSIX: libunwind for the frames, the dynamic loader for
// module names, the modules' symbol tables for routine names and, outside
// the fault path, libdw for lines and sources.
//
// Async-signal-safety: unw_getcontext, unw_init_local(2), unw_step,
// unw_get_reg and unw_is_signal_frame (local address space) are safe in a
// signal handler; unw_get_proc_name is not (it allocates while it reads the
// module's file), so names come from ElfSymbols, which uses system calls
// alone; bare_routine_name uses no heap; dladdr1 takes the loader's lock but
// no heap, safe unless the fault struck inside the loader; readlink is safe.
// DebugInfo (libdw) allocates and is used only when there is no fault.
#include "platform/stack_walk.h"

#define UNW_LOCAL_ONLY
#include <dlfcn.h>
#include <link.h>
#include <pthread.h>
#include <setjmp.h>
#include <signal.h>
#include <elfutils/libdwfl.h>
#include <libunwind.h>
#include <unistd.h>

#include <climits>
#include <optional>
#include <span>
#include <type_traits>

#include "platform/common/routine_name.h"
#include "platform/posix/elf_symbols.h"

namespace platform {
namespace {

// The module that holds an address: the path it is shown by, the file its
// symbols are read from, and how far it was loaded from its link addresses.
struct Module {
    const char* path = nullptr;
    const char* file = nullptr;
    std::uintptr_t load_bias = 0;
};

// The loader knows the program itself only by the name it was started with,
// which may be anything (a link, a made-up name, nothing): its own file is
// asked of the kernel, once per walk.
class ModuleFiles {
public:
    ModuleFiles() {
        const ssize_t length = ::readlink(kSelf, executable_, sizeof executable_ - 1);
        executable_[length > 0 ? length : 0] = '\0';
    }
    ModuleFiles(const ModuleFiles&) = delete;
    ModuleFiles& operator=(const ModuleFiles&) = delete;

    Module find(std::uintptr_t address) const {
        Dl_info info{};
        link_map* map = nullptr;
        if (::dladdr1(reinterpret_cast<void*>(address), &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 ||
            map == nullptr)
            return {};
        Module module;
        module.load_bias = map->l_addr;
        // The program's own entry is the one without a name; its file is
        // read through the kernel's link, which holds even if it was replaced.
        if (map->l_name != nullptr && *map->l_name == '\0') {
            module.path = *executable_ != '\0' ? executable_ : nullptr;
            module.file = kSelf;
        } else if (info.dli_fname != nullptr && *info.dli_fname != '\0') {
            module.path = module.file = info.dli_fname;
        }
        return module;
    }

private:
    static constexpr const char* kSelf = "/proc/self/exe";
    char executable_[PATH_MAX];
};

// libdw is loaded on the first walk that wants lines: a run that reports
// nothing never maps it (nor the compression libraries it pulls in).
struct DwflCalls {
    decltype(&::dwfl_begin) begin = nullptr;
    decltype(&::dwfl_linux_proc_report) proc_report = nullptr;
    decltype(&::dwfl_report_end) report_end = nullptr;
    decltype(&::dwfl_end) end = nullptr;
    decltype(&::dwfl_addrmodule) addrmodule = nullptr;
    decltype(&::dwfl_module_getsrc) module_getsrc = nullptr;
    decltype(&::dwfl_lineinfo) lineinfo = nullptr;
    decltype(&::dwfl_linux_proc_find_elf) proc_find_elf = nullptr;

    static const DwflCalls* load() {
        static const DwflCalls calls = [] {
            DwflCalls c;
            void* library = ::dlopen("libdw.so.1", RTLD_LAZY | RTLD_LOCAL);
            if (library == nullptr) return c;
            const auto bind = [library](auto& slot, const char* name) {
                slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(::dlsym(library, name));
                return slot != nullptr;
            };
            const bool all = bind(c.begin, "dwfl_begin") && bind(c.proc_report, "dwfl_linux_proc_report") &&
                             bind(c.report_end, "dwfl_report_end") && bind(c.end, "dwfl_end") &&
                             bind(c.addrmodule, "dwfl_addrmodule") && bind(c.module_getsrc, "dwfl_module_getsrc") &&
                             bind(c.lineinfo, "dwfl_lineinfo") && bind(c.proc_find_elf, "dwfl_linux_proc_find_elf");
            if (!all) c.begin = nullptr;
            return c;
        }();
        return calls.begin != nullptr ? &calls : nullptr;
    }
};

// The modules of this process as libdw sees them, for one walk.
class DebugInfo {
public:
    DebugInfo() : dw_(DwflCalls::load()) {
        if (dw_ == nullptr) return;
        callbacks_.find_elf = dw_->proc_find_elf;
        dwfl_ = dw_->begin(&callbacks_);
        if (dwfl_ == nullptr) return;
        if (dw_->proc_report(dwfl_, ::getpid()) != 0 || dw_->report_end(dwfl_, nullptr, nullptr) != 0) {
            dw_->end(dwfl_);
            dwfl_ = nullptr;
        }
    }
    ~DebugInfo() {
        if (dwfl_ != nullptr) dw_->end(dwfl_);
    }
    DebugInfo(const DebugInfo&) = delete;
    DebugInfo& operator=(const DebugInfo&) = delete;

    // The strings stay valid while this object lives.
    void find_line(std::uintptr_t address, StackFrame& frame) const {
        if (dwfl_ == nullptr) return;
        Dwfl_Module* module = dw_->addrmodule(dwfl_, address);
        if (module == nullptr) return;
        Dwfl_Line* line = dw_->module_getsrc(module, address);
        if (line == nullptr) return;
        int number = 0;
        const char* source = dw_->lineinfo(line, nullptr, &number, nullptr, nullptr, nullptr);
        if (source == nullptr || *source == '\0') return;
        frame.source = source;
        frame.line = number > 0 ? static_cast<unsigned>(number) : 0;
    }

private:
    // Only the debug information a module carries itself. The standard
    // search may ask a network service for separate files, which must not
    // stall a report.
    static int no_separate_debuginfo(Dwfl_Module*, void**, const char*, Dwarf_Addr, const char*, const char*,
                                     GElf_Word, char**) {
        return -1;
    }

    static inline char* debuginfo_path_ = nullptr;
    const DwflCalls* dw_;
    Dwfl_Callbacks callbacks_{
        .find_elf = nullptr,
        .find_debuginfo = no_separate_debuginfo,
        .section_address = nullptr,
        .debuginfo_path = &debuginfo_path_,
    };
    Dwfl* dwfl_ = nullptr;
};

std::uintptr_t register_value(unw_cursor_t& cursor, unw_regnum_t reg) {
    unw_word_t value = 0;
    return ::unw_get_reg(&cursor, reg, &value) == 0 ? static_cast<std::uintptr_t>(value) : 0;
}

// A word of the stack. Not checked by the address sanitizer: the word may
// lie between another frame's guarded locals. An unmapped one is caught by
// the walk's fault escape.
__attribute__((no_sanitize("address"))) std::uintptr_t stack_word(std::uintptr_t address) {
    return *reinterpret_cast<const volatile std::uintptr_t*>(address);
}

// The frame's base and the first words of the caller's argument area, from
// the end of the caller's stack at the call (the canonical frame address),
// so they hold for routines built without a frame pointer as well.
void add_frame_words(std::uintptr_t call_frame_address, StackFrame& frame) {
    constexpr std::uintptr_t kWord = sizeof(std::uintptr_t);
    frame.frame_pointer = call_frame_address - 2 * kWord;  // below the return address and the saved frame pointer
    for (std::uintptr_t i = 0; i < 4; ++i) frame.params[i] = stack_word(call_frame_address + i * kWord);
}

// Walks from the cursor outward. `exact` says whether the first program
// counter is the instruction itself (a fault) or a return address, which is
// looked up one byte back so that it falls inside the call.
WalkEnd walk_from(unw_cursor_t& cursor, bool exact, const ModuleFiles& modules, posix::ElfSymbols& symbols,
                  const DebugInfo* debug, FrameVisitor visit, void* state) {
    char routine[256];
    for (;;) {
        StackFrame frame;
        frame.pc = register_value(cursor, UNW_REG_IP);
        if (frame.pc == 0) return WalkEnd::normal;
        frame.stack_pointer = register_value(cursor, UNW_REG_SP);
        const std::uintptr_t lookup = exact ? frame.pc : frame.pc - 1;
        const Module module = modules.find(lookup);
        frame.image = module.path;
        if (const std::string_view symbol = symbols.function_at(module.file, module.load_bias, lookup); !symbol.empty()) {
            bare_routine_name(symbol, routine);
            frame.routine = routine;
        }
        if (debug != nullptr) debug->find_line(lookup, frame);

        const bool signal_frame = ::unw_is_signal_frame(&cursor) > 0;
        unw_cursor_t next = cursor;
        const int stepped = ::unw_step(&next);
        if (stepped > 0) {
            frame.return_address = register_value(next, UNW_REG_IP);
            add_frame_words(register_value(next, UNW_REG_SP), frame);
        } else {
            // The outermost frame has no caller to measure from.
            frame.frame_pointer = register_value(cursor, UNW_X86_64_RBP);
        }

        if (!visit(frame, state)) return WalkEnd::stopped;
        if (stepped <= 0 || frame.return_address == 0) return WalkEnd::normal;
        cursor = next;
        exact = signal_frame;  // the frame a signal interrupted stands at its instruction
    }
}


// A damaged stack can make the unwinder read unmapped memory. While a walk
// runs, an access fault on its own thread jumps back out of it. The fault
// signals are unblocked for the walk: a walk made from a fault handler runs
// with them blocked, and a blocked synchronous fault would end the process.
thread_local sigjmp_buf* walk_escape = nullptr;

void escape_walk(int signal) {
    if (walk_escape == nullptr) {
        // Another thread's fault while this thread walks: its default course.
        ::signal(signal, SIG_DFL);
        return;
    }
    siglongjmp(*walk_escape, 1);
}

class FaultEscape {
public:
    explicit FaultEscape(sigjmp_buf& point) {
        struct sigaction action {};
        action.sa_handler = escape_walk;
        action.sa_flags = SA_ONSTACK | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        sigset_t faults;
        sigemptyset(&faults);
        for (int i = 0; i < kGuarded; ++i) {
            sigaction(kSignals[i], &action, &previous_[i]);
            sigaddset(&faults, kSignals[i]);
        }
        pthread_sigmask(SIG_UNBLOCK, &faults, &mask_);
        walk_escape = &point;
    }
    ~FaultEscape() {
        walk_escape = nullptr;
        for (int i = 0; i < kGuarded; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
        pthread_sigmask(SIG_SETMASK, &mask_, nullptr);
    }
    FaultEscape(const FaultEscape&) = delete;
    FaultEscape& operator=(const FaultEscape&) = delete;

private:
    static constexpr int kSignals[] = {SIGSEGV, SIGBUS};
    static constexpr int kGuarded = 2;
    struct sigaction previous_[kGuarded] {};
    sigset_t mask_{};
};

WalkEnd walk_guarded(const FaultInfo* fault, const ModuleFiles& modules, posix::ElfSymbols& symbols,
                     const DebugInfo* debug, FrameVisitor visit, void* state) {
    unw_context_t context;
    unw_cursor_t cursor;
    const bool from_fault = fault != nullptr && fault->context != nullptr;
    if (from_fault) {
        // The signal's ucontext_t is libunwind's context type on this
        // processor. It is used in place, not copied: the kernel's signal
        // frame may be shorter than the C library's ucontext_t. Only read.
        auto* saved = static_cast<unw_context_t*>(const_cast<void*>(fault->context));
        if (::unw_init_local2(&cursor, saved, UNW_INIT_SIGNAL_FRAME) != 0) return WalkEnd::abnormal;
    } else {
        if (::unw_getcontext(&context) != 0 || ::unw_init_local(&cursor, &context) != 0) return WalkEnd::abnormal;
    }
    return walk_from(cursor, from_fault, modules, symbols, debug, visit, state);
}

}  // namespace

WalkEnd walk_stack(const FaultInfo* fault, FrameVisitor visit, void* state) {
    // Debug information is read only outside the fault path (it needs the heap).
    const std::optional<DebugInfo> debug = fault == nullptr ? std::optional<DebugInfo>(std::in_place) : std::nullopt;
    const ModuleFiles modules;
    posix::ElfSymbols symbols;
    sigjmp_buf point;
    FaultEscape escape(point);
    if (sigsetjmp(point, 1) != 0) return WalkEnd::faulted;
    return walk_guarded(fault, modules, symbols, debug ? &*debug : nullptr, visit, state);
}

}  // namespace platform
