// What a statement supplied to take its failures itself, and whether it
// takes a given number.
#pragma once

#include <cstdint>

namespace rt {

inline constexpr std::uint32_t branch_error = 1;             // an error branch
inline constexpr std::uint32_t branch_end_of_file = 2;       // an end-of-file branch
inline constexpr std::uint32_t branch_end_of_record = 4;     // an end-of-record branch
inline constexpr std::uint32_t branch_quiet_conversion = 8;  // output conversion errors stay quiet

// True when the statement takes the failure itself through a branch it
// supplied (or asked for quiet output conversion), so nothing is reported.
constexpr bool statement_takes_failure(int number, std::uint32_t branches) {
    if ((branches & branch_error) != 0 && number != 24 && number != 268 && number != 613 && number != 758)
        return true;
    if ((branches & branch_end_of_file) != 0 && (number == 24 || number == 27 || number == 613)) return true;
    if ((branches & branch_end_of_record) != 0 && (number == 268 || number == 758)) return true;
    return (branches & branch_quiet_conversion) != 0 && number == 63;
}

}  // namespace rt
