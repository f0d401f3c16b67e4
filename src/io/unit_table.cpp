#include "io/unit_table.h"

namespace io {

std::array<UnitSlot, kLastUnit - kFirstUnit + 1> unit_slots;

}  // namespace io
