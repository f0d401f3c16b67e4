#include "platform/processor_context.h"

#include <ucontext.h>

#include <cstring>

namespace platform {

bool read_processor_context(const FaultInfo& fault, ProcessorContext& out) {
    out = ProcessorContext{};
    if (fault.context == nullptr) return false;
#if defined(__x86_64__)
    const auto* uc = static_cast<const ucontext_t*>(fault.context);
    const greg_t* g = uc->uc_mcontext.gregs;
    const auto reg = [g](int index) { return static_cast<std::uint64_t>(g[index]); };

    // CS, GS and FS (and SS on newer kernels) share one word, 16 bits each.
    const std::uint64_t selectors = reg(REG_CSGSFS);
    out.has_control = true;
    out.flags = reg(REG_EFL);
    out.cs = selectors & 0xFFFF;
    out.ip = reg(REG_RIP);
    out.ss = (selectors >> 48) & 0xFFFF;
    out.sp = reg(REG_RSP);
    out.bp = reg(REG_RBP);

    out.has_integer = true;
    out.ax = reg(REG_RAX);
    out.bx = reg(REG_RBX);
    out.cx = reg(REG_RCX);
    out.dx = reg(REG_RDX);
    out.si = reg(REG_RSI);
    out.di = reg(REG_RDI);
    const int high[8] = {REG_R8, REG_R9, REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15};
    for (int i = 0; i < 8; ++i) out.r[i] = reg(high[i]);

    out.has_segments = true;
    out.gs = (selectors >> 16) & 0xFFFF;
    out.fs = (selectors >> 32) & 0xFFFF;

    if (const auto* fp = uc->uc_mcontext.fpregs; fp != nullptr) {
        out.has_float = true;
        out.control_word = fp->cwd;
        out.status_word = fp->swd;
        out.tag_word = fp->ftw;
        out.opcode = fp->fop;
        out.error_offset = fp->rip;
        out.data_offset = fp->rdp;
        out.mxcsr = fp->mxcsr;
        for (int i = 0; i < 8; ++i) {
            std::uint64_t mantissa = 0;
            std::memcpy(&mantissa, fp->_st[i].significand, sizeof mantissa);
            out.st[i].mantissa = mantissa;
            out.st[i].exponent = fp->_st[i].exponent;
        }
    }
    return true;
#else
    return false;
#endif
}

}  // namespace platform
