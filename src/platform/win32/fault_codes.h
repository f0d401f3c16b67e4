// A Windows exception as the fault path describes it.
#pragma once

#include <windows.h>

#include "platform/fault_info.h"

namespace platform::win32 {

// The exception's code is the platform's own: its low 16 bits are the fault
// table's code, so it is kept whole. The address is the data address of an
// access fault (access violation, in-page error, stack overflow), else the
// instruction's. Safe on the fault path.
FaultInfo fault_info_of(const EXCEPTION_RECORD& record, const CONTEXT* context);

// The saved vector control register of a context, when it holds one.
// Safe on the fault path.
bool saved_vector_control(const CONTEXT& context, DWORD& value);

}  // namespace platform::win32
