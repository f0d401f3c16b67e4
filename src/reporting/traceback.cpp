#include "reporting/traceback.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string_view>

#include "platform/files.h"
#include "reporting/environment.h"

namespace rt {
namespace {

constexpr char kOverflowNotice[] = "\nStack trace buffer overflow; further frames not shown.\n";
constexpr char kAbnormalNotice[] = "\nStack trace terminated abnormally.\n";
static_assert(sizeof kOverflowNotice <= TracebackText::kReserved);

constexpr std::string_view kVerboseHeading = "\n\nTraceback symbolic or hex stack dump follows:\n\n";
constexpr std::string_view kDumpHeading = "\nHex Dump Of Exception Record Context Information:\n\n";

// Frame addresses are flat: no segment, and always the flat mode.
constexpr std::uint64_t kFlatSegment = 0;
constexpr std::string_view kFlatMode = "AddrModeFlat";

// Names, sources and paths are cut here; a row is otherwise bounded.
constexpr std::size_t kNameLimit = 1024;

std::string_view or_unknown(const char* text) { return text != nullptr && *text != '\0' ? text : "Unknown"; }

std::string_view cut_name(std::string_view name) { return name.substr(0, std::min(name.size(), kNameLimit)); }

// The line number in decimal, or "Unknown".
std::string_view line_text(unsigned line, std::span<char, 16> room) {
    if (line == 0) return "Unknown";
    TextWriter text(room);
    text.put_unsigned(line);
    return {room.data(), text.size()};
}

// One traceback at a time in the process: the flag is both the guard against
// a traceback nested in another (a fault inside the walk) and the lock of the walk.
std::atomic_flag g_busy = ATOMIC_FLAG_INIT;

bool visit_frame(const platform::StackFrame& frame, void* text) {
    return static_cast<TracebackText*>(text)->add_frame(frame);
}

}  // namespace

TracebackText::TracebackText(std::span<char> out, bool verbose)
    : out_(out), text_(out.first(out.size() > kReserved ? out.size() - kReserved : 0)), verbose_(verbose) {
    if (!out_.empty()) out_[0] = '\0';
}

void TracebackText::add_context_dump(const platform::RegisterDump& dump) {
    text_.put(kDumpHeading);
    for (int g = 0; g < dump.count; ++g) {
        const platform::RegisterGroup& group = dump.groups[g];
        text_.put(group.title);
        text_.put("\n\n");
        for (int v = 0; v < group.count; ++v) {
            const platform::RegisterValue& value = group.values[v];
            text_.put(value.label);
            text_.put_hex(value.value, value.digits);
            if (value.ends_line) text_.put('\n');
        }
        text_.put('\n');
    }
    text_.put('\n');
}

void TracebackText::add_terse_row(const platform::StackFrame& frame) {
    // The PC column is as wide as the target's program counters, so every
    // column stands under its heading.
    constexpr std::size_t kPcColumn = platform::kProgramCounterDigits + 2;
    if (frame_index_ == 0) {
        text_.put_left("Image", 19);
        text_.put_left("PC", kPcColumn);
        text_.put_left("Routine", 19);
        text_.put_left("Line", 12);
        text_.put_left("Source", 19);
        text_.put('\n');
    }
    char line[16];
    text_.put_left(frame.image != nullptr ? platform::file_name_part(frame.image) : "", 17);
    text_.put("  ");
    // Never cut: a program counter outside user space is wider still.
    text_.put_hex(frame.pc, platform::kProgramCounterDigits);
    text_.put("  ");
    text_.put_left(or_unknown(frame.routine), 17);
    text_.put("  ");
    text_.put_right(line_text(frame.line, line), 10);
    text_.put("  ");
    text_.put(cut_name(frame.source != nullptr ? platform::file_name_part(frame.source) : "Unknown"));
    text_.put('\n');
}

void TracebackText::add_verbose_block(const platform::StackFrame& frame) {
    if (frame_index_ == 0) text_.put(kVerboseHeading);
    char line[16];
    text_.put("--------- Frame # ");
    text_.put_decimal(frame_index_);
    text_.put(" ---------------------------------------\n\nImage:         ");
    text_.put(cut_name(frame.image != nullptr ? frame.image : ""));
    text_.put("\nPC:            ");
    text_.put_hex(frame.pc, 8, false);
    text_.put("\nRoutine name:  ");
    text_.put(cut_name(or_unknown(frame.routine)));
    text_.put("\nSource file:   ");
    text_.put(cut_name(or_unknown(frame.source)));
    text_.put("\nLine number:   ");
    text_.put(line_text(frame.line, line));
    text_.put("\n\nInfo from StackFrame is:\n\n");

    struct Address {
        std::string_view offset_label, segment_label, mode_label;
        std::uintptr_t offset;
    };
    const Address addresses[] = {
        {"PC.Offset:       ", "  PC.Segment:       ", "  PC.Mode:       ", frame.pc},
        {"Return.Offset:   ", "  Return.Segment:   ", "  Return.Mode:   ", frame.return_address},
        {"Frame.Offset:    ", "  Frame.Segment:    ", "  Frame.Mode:    ", frame.frame_pointer},
        {"Stack.Offset:    ", "  Stack.Segment:    ", "  Stack.Mode:    ", frame.stack_pointer},
    };
    for (const Address& address : addresses) {
        text_.put(address.offset_label);
        text_.put_hex(address.offset, 8);
        text_.put(address.segment_label);
        text_.put_hex(kFlatSegment, 4);
        text_.put(address.mode_label);
        text_.put(kFlatMode);
        text_.put('\n');
    }
    constexpr std::string_view kParamLabels[4] = {"\nParams[0]:       ", "  Params[1]:   ", "\nParams[2]:       ",
                                                   "  Params[3]:   "};
    for (int i = 0; i < 4; ++i) {
        text_.put(kParamLabels[i]);
        text_.put_hex(frame.params[i], 8);
    }
    text_.put("\n\n");
}

bool TracebackText::add_frame(const platform::StackFrame& frame) {
    if (text_.cut()) return false;
    if (verbose_)
        add_verbose_block(frame);
    else
        add_terse_row(frame);
    ++frame_index_;
    return !text_.cut();
}

std::size_t TracebackText::finish(bool walk_abnormal) {
    // The reserved bytes hold the notice and its zero byte exactly.
    if (out_.size() < kReserved) return 0;
    const std::string_view notice = text_.cut() ? kOverflowNotice : walk_abnormal ? kAbnormalNotice : "";
    std::size_t used = text_.size();
    std::memcpy(out_.data() + used, notice.data(), notice.size());
    used += notice.size();
    out_[used] = '\0';
    return used;
}

std::size_t write_traceback(const platform::FaultInfo* fault, char* buffer, std::size_t room) {
    if (buffer == nullptr || room < TracebackText::kReserved) return 0;
    if (g_busy.test_and_set(std::memory_order_acquire)) return 0;

    const bool verbose = reporting_environment().verbose_traceback;
    TracebackText text({buffer, room}, verbose);
    if (verbose && fault != nullptr && fault->code != 0) {
        platform::RegisterDump dump;
        platform::read_register_dump(*fault, dump);
        text.add_context_dump(dump);
    }
    const platform::WalkEnd end = platform::walk_stack(fault, visit_frame, &text);
    const std::size_t written = text.finish(end == platform::WalkEnd::abnormal);

    g_busy.clear(std::memory_order_release);
    return written;
}

}  // namespace rt
