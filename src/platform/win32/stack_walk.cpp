// The stack walk on Windows: the debug-help library's StackWalk64 over frame
// pointers, module names from the memory the program counter lies in,
// routine names, lines and sources from the program's DWARF 4 information
// through the library's symbol calls.
//
// On the fault path: the library takes heap blocks of its own, so a fault
// that struck inside the heap can make the walk fail; the walk is guarded
// against faults, and the report goes on without the rows it could not make.
#include "platform/stack_walk.h"

#include <windows.h>
#include <dbghelp.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/win32/capture.h"
#include "platform/win32/handler_frame.h"
#include "platform/win32/symbol_name.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// The debug-help library's symbol handler for one walk, with the program's
// own module loaded: loading only that one costs a third of loading every
// module of the process, whose system modules carry no names anyway.
class SymbolHandler {
public:
    SymbolHandler() : process_(::GetCurrentProcess()) {
        ::SymSetOptions(SYMOPT_DEFERRED_LOADS | SYMOPT_LOAD_LINES | SYMOPT_UNDNAME | SYMOPT_FAIL_CRITICAL_ERRORS |
                        SYMOPT_NO_PROMPTS);
        ready_ = ::SymInitialize(process_, nullptr, FALSE) != FALSE;
        if (!ready_) return;
        // The wide name: a folder named outside the ANSI code page has no narrow one.
        wchar_t path[MAX_PATH];
        const HMODULE program = ::GetModuleHandleW(nullptr);
        const DWORD length = ::GetModuleFileNameW(program, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            ::SymLoadModuleExW(process_, nullptr, path, nullptr, reinterpret_cast<std::uintptr_t>(program), 0,
                               nullptr, 0);
    }
    ~SymbolHandler() {
        if (ready_) ::SymCleanup(process_);
    }
    SymbolHandler(const SymbolHandler&) = delete;
    SymbolHandler& operator=(const SymbolHandler&) = delete;

    bool ready() const { return ready_; }
    HANDLE process() const { return process_; }

private:
    HANDLE process_;
    bool ready_ = false;
};

// What is known of one frame, in buffers that live while it is visited.
class FrameNames {
public:
    void find(HANDLE process, std::uintptr_t address, StackFrame& frame) {
        find_image(address, frame);
        find_routine(process, address, frame);
        IMAGEHLP_LINE64 line{};
        line.SizeOfStruct = sizeof line;
        DWORD displacement = 0;
        if (::SymGetLineFromAddr64(process, address, &displacement, &line) && line.FileName != nullptr &&
            *line.FileName != '\0') {
            copy(line.FileName, source_);
            frame.source = source_;
            frame.line = line.LineNumber;
        }
    }

private:
    template <std::size_t N>
    static void copy(std::string_view text, char (&into)[N]) {
        const std::size_t length = text.size() < N ? text.size() : N - 1;
        std::memcpy(into, text.data(), length);
        into[length] = '\0';
    }

    // The module whose memory holds the address.
    void find_image(std::uintptr_t address, StackFrame& frame) {
        MEMORY_BASIC_INFORMATION memory{};
        if (::VirtualQuery(reinterpret_cast<const void*>(address), &memory, sizeof memory) == 0) return;
        const auto module = static_cast<HMODULE>(memory.AllocationBase);
        if (module == nullptr) return;
        // As UTF-8, as every name the program shows.
        wchar_t wide[MAX_PATH];
        const DWORD length = ::GetModuleFileNameW(module, wide, MAX_PATH);
        if (length == 0 || length >= MAX_PATH || win32::to_utf8({wide, length}, image_) == 0) return;
        frame.image = image_;
    }

    void find_routine(HANDLE process, std::uintptr_t address, StackFrame& frame) {
        alignas(SYMBOL_INFO) char buffer[sizeof(SYMBOL_INFO) + sizeof routine_];
        auto* symbol = reinterpret_cast<SYMBOL_INFO*>(buffer);
        std::memset(buffer, 0, sizeof buffer);
        symbol->SizeOfStruct = sizeof(SYMBOL_INFO);
        symbol->MaxNameLen = sizeof routine_;
        DWORD64 displacement = 0;
        if (!::SymFromAddr(process, address, &displacement, symbol)) return;
        const std::size_t length = symbol->NameLen < sizeof routine_ ? symbol->NameLen : sizeof routine_ - 1;
        const std::string_view bare = win32::bare_symbol_name({symbol->Name, length});
        if (bare.empty()) return;
        copy(bare, routine_);
        frame.routine = routine_;
    }

    char image_[3 * MAX_PATH];  // a UTF-16 unit takes at most three bytes
    char routine_[256];
    char source_[MAX_PATH];
};

// The words above the frame's base and return address. Not the walk's own
// Params: for a routine built without a frame pointer they are read from
// where the frame pointer register points, not from the frame's base.
void read_argument_words(HANDLE process, StackFrame& frame) {
    DWORD words[4] = {};
    SIZE_T got = 0;
    const auto* area = reinterpret_cast<const void*>(frame.frame_pointer + 2 * sizeof(DWORD));
    if (!::ReadProcessMemory(process, area, words, sizeof words, &got) || got != sizeof words) return;
    for (int i = 0; i < 4; ++i) frame.params[i] = words[i];
}

// `exact`: the first program counter is the faulting instruction itself;
// every other is a return address, looked up one byte back so that it falls
// inside the call.
WalkEnd walk_frames(HANDLE process, CONTEXT& context, bool exact, FrameVisitor visit, void* state) {
    STACKFRAME64 walk{};
    walk.AddrPC.Offset = context.Eip;
    walk.AddrPC.Mode = AddrModeFlat;
    walk.AddrFrame.Offset = context.Ebp;
    walk.AddrFrame.Mode = AddrModeFlat;
    walk.AddrStack.Offset = context.Esp;
    walk.AddrStack.Mode = AddrModeFlat;
    const HANDLE thread = ::GetCurrentThread();
    for (;;) {
        if (!::StackWalk64(IMAGE_FILE_MACHINE_I386, process, thread, &walk, &context, nullptr, nullptr, nullptr,
                           nullptr))
            return WalkEnd::normal;
        StackFrame frame;
        frame.pc = static_cast<std::uintptr_t>(walk.AddrPC.Offset);
        if (frame.pc == 0) return WalkEnd::normal;
        frame.return_address = static_cast<std::uintptr_t>(walk.AddrReturn.Offset);
        frame.frame_pointer = static_cast<std::uintptr_t>(walk.AddrFrame.Offset);
        frame.stack_pointer = static_cast<std::uintptr_t>(walk.AddrStack.Offset);
        read_argument_words(process, frame);
        FrameNames names;
        names.find(process, exact ? frame.pc : frame.pc - 1, frame);
        exact = false;
        if (!visit(frame, state)) return WalkEnd::stopped;
        if (frame.return_address == 0) return WalkEnd::normal;
    }
}

// A damaged stack can make the walk read memory that is not there; so can a
// visitor. Such a fault ends the walk, not the process.
struct WalkGuard {
    win32::HandlerFrame frame;  // first: the handler reaches the guard through it
    void* resume[5] = {};
};
static_assert(offsetof(WalkGuard, frame) == 0);

EXCEPTION_DISPOSITION NTAPI escape_walk(EXCEPTION_RECORD* record, void* frame, CONTEXT*, void*) {
    if (win32::is_unwinding(*record)) return ExceptionContinueSearch;
    switch (record->ExceptionCode) {
        case EXCEPTION_ACCESS_VIOLATION:
        case EXCEPTION_IN_PAGE_ERROR:
        case EXCEPTION_DATATYPE_MISALIGNMENT:
            break;
        default:
            return ExceptionContinueSearch;  // not a bad read: for the handlers further out
    }
    auto& guard = *static_cast<WalkGuard*>(frame);
    win32::escape_to(guard.frame, *record, guard.resume);
}

}  // namespace

WalkEnd walk_stack(const FaultInfo* fault, FrameVisitor visit, void* state) {
    // The walk changes the context it is given: a copy.
    CONTEXT context;
    const bool from_fault = fault != nullptr && fault->context != nullptr;
    if (from_fault)
        context = *static_cast<const CONTEXT*>(fault->context);
    else if (!win32::capture_caller_context(context))
        return WalkEnd::normal;  // no way to start: nothing to show

    const SymbolHandler symbols;
    if (!symbols.ready()) return WalkEnd::abnormal;

    WalkGuard guard;
    if (__builtin_setjmp(guard.resume) != 0) {
        win32::unlink_handler(guard.frame);
        return WalkEnd::faulted;
    }
    win32::link_handler(guard.frame, escape_walk);
    const WalkEnd end = walk_frames(symbols.process(), context, from_fault, visit, state);
    win32::unlink_handler(guard.frame);
    return end;
}

}  // namespace platform
