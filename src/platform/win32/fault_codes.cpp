#include "platform/win32/fault_codes.h"

#include <cstring>

#include "platform/win32/break_request.h"

namespace platform::win32 {
namespace {

// The codes whose two parameters are the kind of access and the address.
bool names_data_address(const EXCEPTION_RECORD& record) {
    switch (record.ExceptionCode) {
        case EXCEPTION_ACCESS_VIOLATION:
        case EXCEPTION_IN_PAGE_ERROR:
        case EXCEPTION_STACK_OVERFLOW:
            return record.NumberParameters >= 2;
        default:
            return false;
    }
}

// Where the vector control register lies in the extended registers: the
// processor's own state-save layout.
constexpr std::size_t kSavedVectorControl = 24;

}  // namespace

FaultInfo fault_info_of(const EXCEPTION_RECORD& record, const CONTEXT* context) {
    FaultInfo fault;
    fault.code = record.ExceptionCode;
    fault.address = names_data_address(record) ? reinterpret_cast<const void*>(record.ExceptionInformation[1])
                                               : record.ExceptionAddress;
    fault.context = context;
    fault.break_request = is_break_request(record);
    return fault;
}

bool saved_vector_control(const CONTEXT& context, DWORD& value) {
    if ((context.ContextFlags & CONTEXT_EXTENDED_REGISTERS) != CONTEXT_EXTENDED_REGISTERS) return false;
    std::memcpy(&value, context.ExtendedRegisters + kSavedVectorControl, sizeof value);
    return true;
}

}  // namespace platform::win32
