#include "reporting/traceback.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "reporting/fault_context.h"

namespace {

using platform::StackFrame;

constexpr char kOverflow[] = "\nStack trace buffer overflow; further frames not shown.\n";

// The PC column holds the target's program counters whole: 8 digits on a
// 32-bit target, 12 on x86-64.
constexpr int kDigits = platform::kProgramCounterDigits;

// The header, its PC column as wide as the rows' program counters.
const std::string kHeader = std::string("Image              PC") + std::string(kDigits, ' ') +
                            "Routine            Line        Source             \n";

// A program counter as the rows show it.
std::string pc_text(std::uintptr_t pc) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*llX", kDigits, static_cast<unsigned long long>(pc));
    return text;
}

StackFrame frame(const char* image, std::uintptr_t pc, const char* routine = nullptr, unsigned line = 0,
                 const char* source = nullptr) {
    StackFrame f;
    f.image = image;
    f.pc = pc;
    f.routine = routine;
    f.line = line;
    f.source = source;
    return f;
}

std::string build(const std::vector<StackFrame>& frames, std::size_t room, bool verbose = false,
                  bool abnormal = false) {
    std::vector<char> out(room + 8, '#');  // the tail must stay untouched
    rt::TracebackText text({out.data(), room}, verbose);
    for (const StackFrame& f : frames)
        if (!text.add_frame(f)) break;
    const std::size_t length = text.finish(abnormal);
    for (std::size_t i = room; i < out.size(); ++i) EXPECT_EQ(out[i], '#') << "written past the room";
    if (length > 0) {
        EXPECT_EQ(out[length], '\0');
    }
    return {out.data(), length};
}

TEST(TracebackText, TerseRowsUnderOneHeader) {
    const std::uintptr_t high = sizeof(std::uintptr_t) == 4 ? 0x7F123456 : std::uintptr_t(0x7F1234567890);
    const std::string text = build(
        {
            frame("/usr/lib/x86_64-linux-gnu/libsomething_quite_long.so.6", 0x401000),
            frame("/work/build/3dpoint", high, "run_conversion", 42, "/work/src/app/conversion.cpp"),
            frame(nullptr, 0xABC),
        },
        16384);
    EXPECT_EQ(text, kHeader +
                        "libsomething_quit  " + pc_text(0x401000) + "  Unknown               Unknown  Unknown\n"
                        "3dpoint            " + pc_text(high) + "  run_conversion             42  conversion.cpp\n"
                        "                   " + pc_text(0xABC) + "  Unknown               Unknown  Unknown\n");
    // Each value stands where its heading starts.
    const std::size_t second_row = text.find('\n', kHeader.size()) + 1;
    for (const char* heading : {"PC", "Routine"}) {
        const std::size_t column = kHeader.find(heading);
        EXPECT_NE(text[second_row + column], ' ') << heading;
        EXPECT_EQ(text[second_row + column - 1], ' ') << heading;
    }
}

TEST(TracebackText, RowThatDoesNotFitIsCutAndNoticeFollows) {
    const std::string row = "a.out              " + pc_text(0x1000) + "  Unknown               Unknown  Unknown\n";
    ASSERT_EQ(row.size(), 53u + kDigits + 7);  // 61 + k bytes on a 32-bit target
    const std::vector<StackFrame> frames(5, frame("a.out", 0x1000));
    struct Case {
        std::size_t rows_that_fit;
        std::size_t extra;  // bytes of the next row that still fit
    };
    for (const Case c : {Case{0, 0}, Case{0, 30}, Case{2, 1}, Case{3, row.size() - 1}}) {
        const std::size_t room = 57 + kHeader.size() + c.rows_that_fit * row.size() + c.extra;
        std::string expected = kHeader;
        for (std::size_t i = 0; i < c.rows_that_fit; ++i) expected += row;
        expected += row.substr(0, c.extra) + kOverflow;
        EXPECT_EQ(build(frames, room), expected) << c.rows_that_fit << " rows + " << c.extra;
    }
}

// The 57 reserved bytes are never used for rows, and hold the overflow
// notice exactly; what does not fit is cut.
TEST(TracebackText, EdgesOfTheRoom) {
    struct Case {
        std::size_t frames, room;
        bool abnormal;
        std::string expected;
    };
    const Case cases[] = {
        {0, 16384, false, ""},
        {0, 16384, true, "\nStack trace terminated abnormally.\n"},
        {1, 56, false, ""},
        {1, 57, false, kOverflow},
        {0, 57, false, ""},
        {0, 57, true, "\nStack trace terminated abnormally.\n"},
        {1, 57 + 10, false, kHeader.substr(0, 10) + kOverflow},
    };
    for (const Case& c : cases) {
        const std::vector<StackFrame> frames(c.frames, frame("a.out", 1));
        EXPECT_EQ(build(frames, c.room, false, c.abnormal), c.expected) << c.frames << " " << c.room;
    }
}

// A real walk with the bare reserve: no row fits, the notice does.
TEST(WriteTraceback, ExactlyTheReservedRoomHoldsTheNotice) {
    char out[64];
    std::memset(out, '#', sizeof out);
    const std::size_t written = rt::write_traceback(nullptr, out, 57);
    EXPECT_EQ(std::string(out, written), kOverflow);
    EXPECT_EQ(out[56], '\0');
    EXPECT_EQ(out[57], '#');
    EXPECT_EQ(rt::write_traceback(nullptr, out, 56), 0u);
}

TEST(TracebackText, VerboseBlocksNumberedFromZero) {
    StackFrame inner = frame("/work/build/3dpoint", 0x401234, "read_point", 7, "/work/src/app/points.cpp");
    inner.return_address = 0x401500;
    inner.frame_pointer = 0x7FFC0010;
    inner.stack_pointer = 0x7FFC0000;
    inner.params[0] = 10;
    const std::string text = build({inner, frame(nullptr, 0x401500)}, 16384, true);
    const std::string block0 =
        "\n\nTraceback symbolic or hex stack dump follows:\n\n"
        "--------- Frame # 0 ---------------------------------------\n\n"
        "Image:         /work/build/3dpoint\n"
        "PC:            00401234\n"
        "Routine name:  read_point\n"
        "Source file:   /work/src/app/points.cpp\n"
        "Line number:   7\n\nInfo from StackFrame is:\n\n"
        "PC.Offset:       00401234  PC.Segment:       0000  PC.Mode:       AddrModeFlat\n"
        "Return.Offset:   00401500  Return.Segment:   0000  Return.Mode:   AddrModeFlat\n"
        "Frame.Offset:    7FFC0010  Frame.Segment:    0000  Frame.Mode:    AddrModeFlat\n"
        "Stack.Offset:    7FFC0000  Stack.Segment:    0000  Stack.Mode:    AddrModeFlat\n\n"
        "Params[0]:       0000000A  Params[1]:   00000000\n"
        "Params[2]:       00000000  Params[3]:   00000000\n\n"
        "--------- Frame # 1 ---";
    EXPECT_EQ(text.substr(0, block0.size()), block0);
    EXPECT_NE(text.find("Routine name:  Unknown\nSource file:   Unknown\nLine number:   Unknown\n"), std::string::npos);
}

TEST(TracebackText, ContextDumpGroups) {
    platform::RegisterDump dump;
    dump.add_group("Exception Context:  Processor Control and Status Registers.")
        .add("EFlags:  ", 0x10246).end_line()
        .add("CS:  ", 0).add("  RIP:  ", 0x401234).end_line();
    dump.add_group("Exception Context:  Processor Integer Registers.").add("RAX: ", 0x1122334455667788).end_line();
    dump.add_group("Exception Context:  Floating Point RegisterArea.")
        .add("RegisterArea[00]:  ", 0x3FFF, 4).add("", 0x8000000000000000, 16).end_line();
    std::vector<char> out(4096);
    rt::TracebackText text(out, true);
    text.add_context_dump(dump);
    const std::string text_out(out.data(), text.finish(false));
    EXPECT_EQ(text_out,
              "\nHex Dump Of Exception Record Context Information:\n\n"
              "Exception Context:  Processor Control and Status Registers.\n\n"
              "EFlags:  00010246\nCS:  00000000  RIP:  00401234\n\n"
              "Exception Context:  Processor Integer Registers.\n\n"
              "RAX: 1122334455667788\n\n"  // a wide register is not cut
              "Exception Context:  Floating Point RegisterArea.\n\n"
              "RegisterArea[00]:  3FFF8000000000000000\n\n"
              "\n");
}

// A context without registers still opens the dump, with no group.
TEST(TracebackText, ContextDumpWithoutGroups) {
    std::vector<char> out(4096);
    rt::TracebackText text(out, true);
    text.add_context_dump(platform::RegisterDump{});
    EXPECT_EQ(std::string(out.data(), text.finish(false)), "\nHex Dump Of Exception Record Context Information:\n\n\n");
}

}  // namespace
