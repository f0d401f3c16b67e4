#include "startup/faults.h"

namespace rt {
namespace {

namespace code = platform::fault_code;

struct FaultRow {
    std::uint32_t code;
    int number;
};

constexpr FaultRow kFaultRows[] = {
    {code::datatype_misalignment, 158},   {code::breakpoint, 159},
    {code::single_step, 160},             {code::access_violation, 157},
    {code::in_page_error, 167},           {code::illegal_instruction, 168},
    {code::noncontinuable, 169},          {code::invalid_disposition, 171},
    {code::array_bounds_exceeded, 161},   {code::float_denormal_operand, 162},
    {code::float_divide_by_zero, 73},     {code::float_inexact, 140},
    {code::float_invalid, 65},            {code::float_overflow, 72},
    {code::float_stack_check, 163},       {code::float_underflow, 74},
    {code::integer_divide_by_zero, 164},  {code::integer_overflow, 165},
    {code::privileged_instruction, 166},  {code::stack_overflow, 170},
};

// Vector status flags in the order they are tried: invalid, divide by zero,
// overflow, underflow, precision.
constexpr FaultRow kVectorFlagRows[] = {
    {1u << 0, 65}, {1u << 2, 73}, {1u << 3, 72}, {1u << 4, 74}, {1u << 5, 140},
};

}  // namespace

int fault_number(std::uint32_t fault_code, const std::uint32_t* vector_flags) {
    const std::uint32_t low = fault_code & 0xFFFF;
    if (low == code::vector_multiple_faults || low == code::vector_multiple_traps) {
        if (vector_flags != nullptr)
            for (const FaultRow& row : kVectorFlagRows)
                if ((*vector_flags & row.code) != 0) return row.number;
        return 65;
    }
    for (const FaultRow& row : kFaultRows)
        if (row.code == low) return row.number;
    return kUnlistedFaultNumber;
}

bool is_floating_point_trap(int number) {
    return number == 65 || number == 72 || number == 73 || number == 74 || number == 140;
}

}  // namespace rt
