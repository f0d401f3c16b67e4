// The reporting entry of the I/O layer. Kept apart from report.cpp because it
// alone needs the platform's system error texts.
#include "reporting/report.h"

#include <algorithm>
#include <cstring>

#include "platform/files.h"
#include "reporting/report_parts.h"

namespace rt {
namespace {

// A name longer than the report buffer could never show whole anyway.
constexpr std::size_t kNameRoom = 16384;

// The platform's texts are at most this long.
constexpr std::size_t kSystemTextRoom = 1024;

void write_system_error_line(platform::SystemError code) {
    char text[kSystemTextRoom];
    const std::size_t length = platform::system_error_text(code, text);
    char line[8 + kSystemTextRoom + 2];
    write_to_display({line, compose_system_error_line(line, {text, std::min(length, sizeof text)}, code)});
}

}  // namespace

int report_io_error(int number, const UnitErrorInfo& unit) {
    char name[kNameRoom];
    const std::size_t name_length = std::min(unit.file_name.size(), sizeof name - 1);
    // No name at all (its copy found no memory) comes as a null view.
    if (name_length > 0) std::memcpy(name, unit.file_name.data(), name_length);
    name[name_length] = '\0';

    if (unit.saved_system_error != 0) {
        redirect_standard_error_once();
        write_system_error_line(unit.saved_system_error);
    }

    report_error(number, 2, static_cast<int>(unit.unit), name);
    return number;
}

}  // namespace rt
