#include "reporting/traceback.h"

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "reporting/report.h"

namespace rt {
namespace {

constexpr char kOverflowNotice[] = "\nStack trace buffer overflow; further frames not shown.\n";
constexpr char kAbnormalNotice[] = "\nStack trace terminated abnormally.\n";
static_assert(sizeof kOverflowNotice <= TracebackText::kReserved);

constexpr char kVerboseHeading[] = "\n\nTraceback symbolic or hex stack dump follows:\n\n";

// x86-64 addresses are flat: no segment, and always the flat mode.
constexpr unsigned long kFlatSegment = 0;
constexpr const char* kFlatMode = "AddrModeFlat";

// Names, sources and paths are cut here; a row is otherwise bounded.
constexpr int kNameLimit = 1024;

const char* file_part(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash == nullptr ? path : slash + 1;
}

const char* or_unknown(const char* text) { return text != nullptr && *text != '\0' ? text : "Unknown"; }

unsigned long word(std::uintptr_t value) { return static_cast<unsigned long>(value); }

// One traceback at a time in the process: the flag is both the guard against
// a traceback nested in another (a fault inside the walk) and the lock of the walk.
std::atomic_flag g_busy = ATOMIC_FLAG_INIT;

bool visit_frame(const platform::StackFrame& frame, void* text) {
    return static_cast<TracebackText*>(text)->add_frame(frame);
}

}  // namespace

TracebackText::TracebackText(std::span<char> out, bool verbose)
    : out_(out), usable_(out.size() > kReserved ? out.size() - kReserved : 0), verbose_(verbose) {
    if (!out_.empty()) out_[0] = '\0';
}

void TracebackText::append(const char* text, std::size_t length) {
    if (overflow_) return;
    const std::size_t fits = std::min(length, usable_ - used_);
    std::memcpy(out_.data() + used_, text, fits);
    used_ += fits;
    // A piece that does not fit whole is cut, and ends the traceback.
    if (fits < length) overflow_ = true;
}

void TracebackText::add_context_dump(const platform::ProcessorContext& c) {
    char text[2048];
    int n = std::snprintf(text, sizeof text, "\nHex Dump Of Exception Record Context Information:\n\n");
    const auto more = [&](const char* format, auto... values) {
        if (n >= 0 && static_cast<std::size_t>(n) < sizeof text)
            n += std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), format, values...);
    };
    if (c.has_control)
        more("%s\n\n%s%8.8lX\n%s%8.8lX%s%8.8lX%s%8.8lX%s%8.8lX%s%8.8lX\n\n",
             "Exception Context:  Processor Control and Status Registers.", "EFlags:  ", c.flags, "CS:  ", c.cs,
             "  RIP:  ", c.ip, "  SS:   ", c.ss, "  RSP:  ", c.sp, "  RBP:  ", c.bp);
    if (c.has_integer) {
        more("%s\n\n%s%8.8lX%s%8.8lX%s%8.8lX%s%8.8lX\n%s%8.8lX%s%8.8lX\n",
             "Exception Context:  Processor Integer Registers.", "RAX: ", c.ax, "  RBX:  ", c.bx, "  RCX:  ", c.cx,
             "  RDX:  ", c.dx, "RSI: ", c.si, "  RDI:  ", c.di);
        more("%s%8.8lX%s%8.8lX%s%8.8lX%s%8.8lX\n%s%8.8lX%s%8.8lX%s%8.8lX%s%8.8lX\n\n", "R8:  ", c.r[0], "  R9:   ",
             c.r[1], "  R10:  ", c.r[2], "  R11:  ", c.r[3], "R12: ", c.r[4], "  R13:  ", c.r[5], "  R14:  ", c.r[6],
             "  R15:  ", c.r[7]);
    }
    if (c.has_segments)
        more("%s\n\n%s%8.8lX%s%8.8lX\n\n", "Exception Context:  Processor Segment Registers.", "FS:  ", c.fs,
             "  GS:   ", c.gs);
    if (c.has_float) {
        more("%s\n\n%s%8.8X%s%8.8X%s%8.8X\n%s%8.8lX%s%8.8X%s%8.8lX%s%8.8X\n\n",
             "Exception Context:  Floating Point Control and Status Registers.", "ControlWord:   ", c.control_word,
             "  StatusWord:   ", c.status_word, "  TagWord:   ", c.tag_word, "ErrorOffset:   ", c.error_offset,
             "  Opcode:   ", c.opcode, "  DataOffset:   ", c.data_offset, "  MXCSR:   ", c.mxcsr);
        more("%s\n\n", "Exception Context:  Floating Point RegisterArea.");
        for (int i = 0; i < 8; i += 2)
            more("RegisterArea[%d0]:  %4.4X%8.8X%8.8X  RegisterArea[%d0]:  %4.4X%8.8X%8.8X\n", i, c.st[i].exponent,
                 static_cast<unsigned>(c.st[i].mantissa >> 32), static_cast<unsigned>(c.st[i].mantissa), i + 1,
                 c.st[i + 1].exponent, static_cast<unsigned>(c.st[i + 1].mantissa >> 32),
                 static_cast<unsigned>(c.st[i + 1].mantissa));
        more("%s", "\n");
    }
    more("%s", "\n");
    if (n > 0) append(text, std::min(static_cast<std::size_t>(n), sizeof text - 1));
}

bool TracebackText::add_frame(const platform::StackFrame& frame) {
    if (overflow_) return false;
    char text[4 * kNameLimit + 1024];
    int n = 0;
    if (!verbose_) {
        if (frame_index_ == 0)
            n = std::snprintf(text, sizeof text, "%-19.19s%-10.10s%-19.19s%-12.12s%-19.19s\n", "Image", "PC",
                              "Routine", "Line", "Source");
        char line[16] = "Unknown";
        if (frame.line != 0) std::snprintf(line, sizeof line, "%u", frame.line);
        // The program counter takes at least 8 digits and is never cut.
        n += std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), "%-17.17s  %8.8lX  %-17.17s  %10.10s  %.*s\n",
                           frame.image != nullptr ? file_part(frame.image) : "", word(frame.pc),
                           or_unknown(frame.routine), line,
                           kNameLimit, frame.source != nullptr ? file_part(frame.source) : "Unknown");
    } else {
        if (frame_index_ == 0) n = std::snprintf(text, sizeof text, "%s", kVerboseHeading);
        char index[16];
        std::snprintf(index, sizeof index, "%d", frame_index_);
        char line[16] = "Unknown";
        if (frame.line != 0) std::snprintf(line, sizeof line, "%u", frame.line);
        n += std::snprintf(
            text + n, sizeof text - static_cast<std::size_t>(n),
            "--------- Frame # %s ---------------------------------------\n\nImage:         %.*s\nPC:            "
            "%8.8lx\nRoutine name:  %.*s\nSource file:   %.*s\nLine number:   %s\n\n%s%s%8.8lX%s%4.4lX%s%s\n%s%8.8lX%"
            "s%4.4lX%s%s\n%s%8.8lX%s%4.4lX%s%s\n%s%8.8lX%s%4.4lX%s%s\n\n%s%8.8lX%s%8.8lX\n%s%8.8lX%s%8.8lX\n\n",
            index, kNameLimit, frame.image != nullptr ? frame.image : "", word(frame.pc), kNameLimit,
            or_unknown(frame.routine), kNameLimit, or_unknown(frame.source), line, "Info from StackFrame is:\n\n",
            "PC.Offset:       ", word(frame.pc), "  PC.Segment:       ", kFlatSegment, "  PC.Mode:       ", kFlatMode,
            "Return.Offset:   ", word(frame.return_address), "  Return.Segment:   ", kFlatSegment,
            "  Return.Mode:   ", kFlatMode, "Frame.Offset:    ", word(frame.frame_pointer), "  Frame.Segment:    ",
            kFlatSegment, "  Frame.Mode:    ", kFlatMode, "Stack.Offset:    ", word(frame.stack_pointer),
            "  Stack.Segment:    ", kFlatSegment, "  Stack.Mode:    ", kFlatMode, "Params[0]:       ",
            word(frame.params[0]), "  Params[1]:   ", word(frame.params[1]), "Params[2]:       ",
            word(frame.params[2]), "  Params[3]:   ", word(frame.params[3]));
    }
    ++frame_index_;
    if (n > 0) append(text, std::min(static_cast<std::size_t>(n), sizeof text - 1));
    return !overflow_;
}

std::size_t TracebackText::finish(bool walk_abnormal) {
    if (out_.size() <= kReserved) return 0;
    const char* notice = overflow_ ? kOverflowNotice : walk_abnormal ? kAbnormalNotice : "";
    const std::size_t length = std::strlen(notice);
    std::memcpy(out_.data() + used_, notice, length);
    used_ += length;
    out_[used_] = '\0';
    return used_;
}

std::size_t write_traceback(const platform::FaultInfo* fault, char* buffer, std::size_t room) {
    if (buffer == nullptr || room <= TracebackText::kReserved) return 0;
    if (g_busy.test_and_set(std::memory_order_acquire)) return 0;

    const bool verbose =
        check_env_flag("FOR_ENABLE_VERBOSE_STACK_TRACE") || check_env_flag("TBK_ENABLE_VERBOSE_STACK_TRACE");
    TracebackText text({buffer, room}, verbose);
    if (verbose && fault != nullptr && fault->code != 0) {
        platform::ProcessorContext context;
        platform::read_processor_context(*fault, context);
        text.add_context_dump(context);
    }
    const platform::WalkEnd end = platform::walk_stack(fault, visit_frame, &text);
    const std::size_t written = text.finish(end == platform::WalkEnd::abnormal);

    g_busy.clear(std::memory_order_release);
    return written;
}

}  // namespace rt
