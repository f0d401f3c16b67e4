// The types of the items a statement reads or writes: one set for both
// directions, so that an item means the same thing to the scanner and to the
// field formatter.
#pragma once

#include <cstdint>

namespace io {

// A read statement takes only the two numeric types; real64 is written
// only, under a decimals field.
enum class ItemType : std::uint8_t { integer32, real32, string, real64 };

}  // namespace io
