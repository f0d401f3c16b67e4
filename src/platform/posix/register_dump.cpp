#include "platform/register_dump.h"

#include <ucontext.h>

#include <cstring>

namespace platform {
namespace {

#if defined(__x86_64__)

// The kernel saves no DS or ES for a 64-bit process: they keep the flat data
// selector all along (0 on x86-64 Linux), so the handler reads the processor's own.
std::uint16_t data_segment() {
    std::uint16_t value = 0;
    asm volatile("mov %%ds, %0" : "=r"(value));
    return value;
}

std::uint16_t extra_segment() {
    std::uint16_t value = 0;
    asm volatile("mov %%es, %0" : "=r"(value));
    return value;
}

void read_x86_64(const ucontext_t& uc, RegisterDump& out) {
    const greg_t* g = uc.uc_mcontext.gregs;
    const auto reg = [g](int index) { return static_cast<std::uint64_t>(g[index]); };
    // CS, GS and FS (and SS on newer kernels) share one word, 16 bits each.
    const std::uint64_t selectors = reg(REG_CSGSFS);

    out.add_group("Exception Context:  Processor Control and Status Registers.")
        .add("EFlags:  ", reg(REG_EFL)).end_line()
        .add("CS:  ", selectors & 0xFFFF)
        .add("  RIP:  ", reg(REG_RIP))
        .add("  SS:   ", (selectors >> 48) & 0xFFFF)
        .add("  RSP:  ", reg(REG_RSP))
        .add("  RBP:  ", reg(REG_RBP)).end_line();

    out.add_group("Exception Context:  Processor Integer Registers.")
        .add("RAX: ", reg(REG_RAX)).add("  RBX:  ", reg(REG_RBX))
        .add("  RCX:  ", reg(REG_RCX)).add("  RDX:  ", reg(REG_RDX)).end_line()
        .add("RSI: ", reg(REG_RSI)).add("  RDI:  ", reg(REG_RDI)).end_line()
        .add("R8:  ", reg(REG_R8)).add("  R9:   ", reg(REG_R9))
        .add("  R10:  ", reg(REG_R10)).add("  R11:  ", reg(REG_R11)).end_line()
        .add("R12: ", reg(REG_R12)).add("  R13:  ", reg(REG_R13))
        .add("  R14:  ", reg(REG_R14)).add("  R15:  ", reg(REG_R15)).end_line();

    out.add_group("Exception Context:  Processor Segment Registers.")
        .add("DS:  ", data_segment())
        .add("  ES:   ", extra_segment())
        .add("  FS:   ", (selectors >> 32) & 0xFFFF)
        .add("  GS:   ", (selectors >> 16) & 0xFFFF).end_line();

    const auto* fp = uc.uc_mcontext.fpregs;
    if (fp == nullptr) return;
    out.add_group("Exception Context:  Floating Point Control and Status Registers.")
        .add("ControlWord:   ", fp->cwd).add("  StatusWord:   ", fp->swd).add("  TagWord:   ", fp->ftw).end_line()
        .add("ErrorOffset:   ", fp->rip).add("  Opcode:   ", fp->fop)
        .add("  DataOffset:   ", fp->rdp).add("  MXCSR:   ", fp->mxcsr).end_line();

    // Each 80-bit register: its sign and exponent word, then its 64-bit significand.
    static constexpr const char* kAreaLabels[8] = {
        "RegisterArea[00]:  ", "  RegisterArea[10]:  ", "RegisterArea[20]:  ", "  RegisterArea[30]:  ",
        "RegisterArea[40]:  ", "  RegisterArea[50]:  ", "RegisterArea[60]:  ", "  RegisterArea[70]:  ",
    };
    RegisterGroup& area = out.add_group("Exception Context:  Floating Point RegisterArea.");
    for (int i = 0; i < 8; ++i) {
        std::uint64_t significand = 0;
        std::memcpy(&significand, fp->_st[i].significand, sizeof significand);
        area.add(kAreaLabels[i], fp->_st[i].exponent, 4).add("", significand, 16);
        if (i % 2 == 1) area.end_line();
    }
}

#endif

}  // namespace

bool read_register_dump(const FaultInfo& fault, RegisterDump& out) {
    out.count = 0;
    if (fault.context == nullptr) return false;
#if defined(__x86_64__)
    read_x86_64(*static_cast<const ucontext_t*>(fault.context), out);
    return true;
#else
    return false;
#endif
}

}  // namespace platform
