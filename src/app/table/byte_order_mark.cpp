#include "app/table/byte_order_mark.h"

namespace app::table {

ByteOrderMark byte_order_mark(std::string_view s) {
    using namespace std::string_view_literals;
    // UTF-32 little-endian starts as UTF-16 little-endian does: test it first.
    if (s.starts_with("\xFF\xFE\0\0"sv)) return ByteOrderMark::utf32_le;
    if (s.starts_with("\0\0\xFE\xFF"sv)) return ByteOrderMark::utf32_be;
    if (s.starts_with("\xEF\xBB\xBF"sv)) return ByteOrderMark::utf8;
    if (s.starts_with("\xFF\xFE"sv)) return ByteOrderMark::utf16_le;
    if (s.starts_with("\xFE\xFF"sv)) return ByteOrderMark::utf16_be;
    return ByteOrderMark::none;
}

std::size_t skipped_mark_bytes(std::string_view first_record) {
    return byte_order_mark(first_record) == ByteOrderMark::utf8 ? 3 : 0;
}

std::string_view encoding_name(ByteOrderMark mark) {
    switch (mark) {
        case ByteOrderMark::none: break;
        case ByteOrderMark::utf8: return "UTF-8";
        case ByteOrderMark::utf16_le: return "UTF-16 little-endian";
        case ByteOrderMark::utf16_be: return "UTF-16 big-endian";
        case ByteOrderMark::utf32_le: return "UTF-32 little-endian";
        case ByteOrderMark::utf32_be: return "UTF-32 big-endian";
    }
    return "";
}

}  // namespace app::table
