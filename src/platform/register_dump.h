// The processor registers saved with a fault, laid out in the groups of the
// verbose dump. The backend names the registers its target has.
#pragma once

#include <cstdint>

#include "platform/fault_info.h"

namespace platform {

struct RegisterValue {
    const char* label = "";   // written before the value, its spacing included
    std::uint64_t value = 0;
    std::uint8_t digits = 8;  // at least this many upper-case hexadecimal digits; never cut
    bool ends_line = false;   // a line feed follows the value
};

// A title, then lines of labelled values.
struct RegisterGroup {
    static constexpr int kMaxValues = 24;
    const char* title = "";
    RegisterValue values[kMaxValues];
    int count = 0;

    RegisterGroup& add(const char* label, std::uint64_t value, std::uint8_t digits = 8) {
        if (count < kMaxValues) values[count++] = {label, value, digits, false};
        return *this;
    }
    RegisterGroup& end_line() {
        if (count > 0) values[count - 1].ends_line = true;
        return *this;
    }
};

struct RegisterDump {
    static constexpr int kMaxGroups = 6;
    RegisterGroup groups[kMaxGroups];
    int count = 0;

    // A full dump keeps its groups: a further one is filled but not kept.
    RegisterGroup& add_group(const char* title) {
        RegisterGroup& group = count < kMaxGroups ? groups[count++] : spare_;
        group = RegisterGroup{};
        group.title = title;
        return group;
    }

private:
    RegisterGroup spare_;
};

// Fills `out` with the groups of the registers the fault's context holds, in
// the order of the dump; false, with no groups, when it holds none.
// Safe on the fault path.
bool read_register_dump(const FaultInfo& fault, RegisterDump& out);

}  // namespace platform
