#include "platform/register_dump.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/fault_codes.h"

namespace platform {
namespace {

bool holds(const CONTEXT& context, DWORD part) { return (context.ContextFlags & part) == part; }

void add_floating_point(const CONTEXT& context, RegisterDump& out) {
    const FLOATING_SAVE_AREA& fp = context.FloatSave;
    RegisterGroup& control = out.add_group("Exception Context:  Floating Point Control and Status Registers.");
    control.add("ControlWord:   ", fp.ControlWord)
        .add("  StatusWord:   ", fp.StatusWord)
        .add("  TagWord:   ", fp.TagWord).end_line()
        .add("ErrorOffset:   ", fp.ErrorOffset)
        .add("  ErrorSelector:   ", fp.ErrorSelector)
        .add("  DataOffset:   ", fp.DataOffset)
        .add("  DataSelector:   ", fp.DataSelector).end_line();
    if (DWORD vector_control = 0; win32::saved_vector_control(context, vector_control))
        control.add("MXCSR:   ", vector_control).end_line();

    // Each 80-bit register as saved: its 64-bit significand, then its sign
    // and exponent word; shown exponent first.
    static constexpr const char* kAreaLabels[8] = {
        "RegisterArea[00]:  ", "  RegisterArea[10]:  ", "RegisterArea[20]:  ", "  RegisterArea[30]:  ",
        "RegisterArea[40]:  ", "  RegisterArea[50]:  ", "RegisterArea[60]:  ", "  RegisterArea[70]:  ",
    };
    constexpr std::size_t kRegisterBytes = 10;
    RegisterGroup& area = out.add_group("Exception Context:  Floating Point RegisterArea.");
    for (std::size_t i = 0; i < 8; ++i) {
        const BYTE* saved = fp.RegisterArea + i * kRegisterBytes;
        std::uint64_t significand = 0;
        std::uint16_t exponent = 0;
        std::memcpy(&significand, saved, sizeof significand);
        std::memcpy(&exponent, saved + sizeof significand, sizeof exponent);
        area.add(kAreaLabels[i], exponent, 4).add("", significand, 16);
        if (i % 2 == 1) area.end_line();
    }
}

}  // namespace

bool read_register_dump(const FaultInfo& fault, RegisterDump& out) {
    out.count = 0;
    if (fault.context == nullptr) return false;
    const CONTEXT& context = *static_cast<const CONTEXT*>(fault.context);

    if (holds(context, CONTEXT_CONTROL)) {
        out.add_group("Exception Context:  Processor Control and Status Registers.")
            .add("EFlags:  ", context.EFlags).end_line()
            .add("CS:  ", context.SegCs)
            .add("  EIP:  ", context.Eip)
            .add("  SS:   ", context.SegSs)
            .add("  ESP:  ", context.Esp)
            .add("  EBP:  ", context.Ebp).end_line();
    }
    if (holds(context, CONTEXT_INTEGER)) {
        out.add_group("Exception Context:  Processor Integer Registers.")
            .add("EAX: ", context.Eax).add("  EBX:  ", context.Ebx)
            .add("  ECX:  ", context.Ecx).add("  EDX:  ", context.Edx).end_line()
            .add("ESI: ", context.Esi).add("  EDI:  ", context.Edi).end_line();
    }
    if (holds(context, CONTEXT_SEGMENTS)) {
        out.add_group("Exception Context:  Processor Segment Registers.")
            .add("DS:  ", context.SegDs)
            .add("  ES:   ", context.SegEs)
            .add("  FS:   ", context.SegFs)
            .add("  GS:   ", context.SegGs).end_line();
    }
    if (holds(context, CONTEXT_FLOATING_POINT)) add_floating_point(context, out);
    return out.count > 0;
}

}  // namespace platform
