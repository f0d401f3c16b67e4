#include "startup/faults.h"

#include "reporting/error_numbers.h"

namespace rt {
namespace {

namespace code = platform::fault_code;

struct FaultRow {
    std::uint32_t code;
    int number;
};

constexpr FaultRow kFaultRows[] = {
    {code::datatype_misalignment, err::kDatatypeMisalignment},
    {code::breakpoint, err::kBreakpoint},
    {code::single_step, err::kSingleStep},
    {code::access_violation, err::kAccessViolation},
    {code::in_page_error, err::kInPageError},
    {code::illegal_instruction, err::kIllegalInstruction},
    {code::noncontinuable, err::kNoncontinuable},
    {code::invalid_disposition, err::kInvalidDisposition},
    {code::array_bounds_exceeded, err::kArrayBoundsExceeded},
    {code::float_denormal_operand, err::kDenormalOperand},
    {code::float_divide_by_zero, err::kFloatDivideByZero},
    {code::float_inexact, err::kFloatInexact},
    {code::float_invalid, err::kFloatInvalid},
    {code::float_overflow, err::kFloatOverflow},
    {code::float_stack_check, err::kFloatStackCheck},
    {code::float_underflow, err::kFloatUnderflow},
    {code::integer_divide_by_zero, err::kIntegerDivideByZero},
    {code::integer_overflow, err::kIntegerOverflow},
    {code::privileged_instruction, err::kPrivilegedInstruction},
    {code::stack_overflow, err::kStackOverflow},
};

// Vector status flags in the order they are tried: invalid, divide by zero,
// overflow, underflow, precision.
constexpr FaultRow kVectorFlagRows[] = {
    {1u << 0, err::kFloatInvalid},   {1u << 2, err::kFloatDivideByZero}, {1u << 3, err::kFloatOverflow},
    {1u << 4, err::kFloatUnderflow}, {1u << 5, err::kFloatInexact},
};

}  // namespace

int fault_number(std::uint32_t fault_code, const std::uint32_t* vector_flags) {
    const std::uint32_t low = fault_code & 0xFFFF;
    if (low == code::vector_multiple_faults || low == code::vector_multiple_traps) {
        if (vector_flags != nullptr)
            for (const FaultRow& row : kVectorFlagRows)
                if ((*vector_flags & row.code) != 0) return row.number;
        return err::kFloatInvalid;
    }
    for (const FaultRow& row : kFaultRows)
        if (row.code == low) return row.number;
    return kUnlistedFaultNumber;
}

bool is_floating_point_trap(int number) {
    return number == err::kFloatInvalid || number == err::kFloatOverflow || number == err::kFloatDivideByZero ||
           number == err::kFloatUnderflow || number == err::kFloatInexact;
}

}  // namespace rt
