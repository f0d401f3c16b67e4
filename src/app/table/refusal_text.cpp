#include "app/table/refusal_text.h"

#include "app/table/shown_text.h"

namespace app::table {

std::string refusal_text(const Refusal& r) {
    std::string text = "3dpoint: ";
    text += r.file;
    text += ", line " + std::to_string(r.line) + ", field " + std::to_string(r.field) + " (";
    text += r.column;
    text += "): ";
    text += r.what;
    if (r.show_found) {
        ShownBuffer buffer;
        text += ": '";
        text += shown_text(r.found, buffer);
        text += '\'';
    }
    text += '\n';
    if (r.cr_only) {
        text += "3dpoint: ";
        text += r.file;
        text += " seems to end its lines with CR alone: save it with LF or CR LF line ends\n";
    }
    return text;
}

std::string encoding_refusal_text(std::string_view file, ByteOrderMark mark) {
    std::string text = "3dpoint: ";
    text += file;
    text += " is in ";
    text += encoding_name(mark);
    text += ": save it as UTF-8\n";
    return text;
}

}  // namespace app::table
