// The mark a text file may start with. A UTF-8 mark (what spreadsheets
// write for "CSV UTF-8") is passed over; a file in UTF-16 or UTF-32 is
// refused by name, since its bytes are no UTF-8 text at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace app::table {

enum class ByteOrderMark : std::uint8_t { none, utf8, utf16_le, utf16_be, utf32_le, utf32_be };

// The mark at the start of the first record of a file.
ByteOrderMark byte_order_mark(std::string_view first_record);

// How many leading bytes of the first record to drop before reading it:
// the UTF-8 mark's 3, else 0.
std::size_t skipped_mark_bytes(std::string_view first_record);

// False for a mark whose file cannot be read as UTF-8.
constexpr bool readable(ByteOrderMark mark) { return mark == ByteOrderMark::none || mark == ByteOrderMark::utf8; }

// "UTF-16 little-endian" and the like, for the message that refuses the file.
std::string_view encoding_name(ByteOrderMark mark);

}  // namespace app::table
