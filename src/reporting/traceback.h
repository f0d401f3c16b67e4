// The table of active call frames appended to a report.
#pragma once

#include <cstddef>
#include <span>

#include "platform/fault_info.h"
#include "platform/register_dump.h"
#include "platform/stack_walk.h"
#include "reporting/text_writer.h"

namespace rt {

// Appends the traceback to `buffer` (`room` bytes free) and returns the bytes
// appended, not counting the zero byte that ends them. For a fault the walk
// starts at the faulting instruction, otherwise inside this routine. A
// traceback asked for while another is being written adds nothing.
// Safe on the fault path when `fault` is given (the walk reads no debug
// information then).
std::size_t write_traceback(const platform::FaultInfo* fault, char* buffer, std::size_t room);

// The text building behind write_traceback, over frames handed to it one by
// one; tests drive it with frames of their own. Safe on the fault path.
class TracebackText {
public:
    // Bytes held back at the end of the room for a closing notice and its zero byte.
    static constexpr std::size_t kReserved = 57;

    TracebackText(std::span<char> out, bool verbose);

    // The processor-context dump that opens a verbose fault traceback.
    void add_context_dump(const platform::RegisterDump& dump);
    // One row (terse) or block (verbose); false once the room is used up, and
    // the cut row is then followed by the overflow notice at finish().
    bool add_frame(const platform::StackFrame& frame);
    // Closes the text: the overflow notice, or the abnormal-end notice when
    // the walk could not start. Returns the bytes written.
    std::size_t finish(bool walk_abnormal);

    bool overflowed() const { return text_.cut(); }

private:
    void add_terse_row(const platform::StackFrame& frame);
    void add_verbose_block(const platform::StackFrame& frame);

    std::span<char> out_;
    TextWriter text_;  // over the room less the reserved bytes
    int frame_index_ = 0;
    bool verbose_;
};

}  // namespace rt
