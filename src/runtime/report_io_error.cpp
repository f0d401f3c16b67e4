// The reporting entry of the I/O layer. Kept apart from report.cpp because it
// alone needs the platform's system error texts.
#include <array>
#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "runtime/error_catalogue.h"
#include "runtime/message_line.h"
#include "runtime/report.h"

namespace rt {
namespace {

// A name longer than the report buffer could never show whole anyway.
constexpr std::size_t kNameRoom = 16384;

bool statement_takes_it(int number, std::uint32_t branches) {
    if ((branches & branch_error) != 0 && number != 24 && number != 268 && number != 613 && number != 758)
        return true;
    if ((branches & branch_end_of_file) != 0 && (number == 24 || number == 27 || number == 613)) return true;
    if ((branches & branch_end_of_record) != 0 && (number == 268 || number == 758)) return true;
    return (branches & branch_quiet_conversion) != 0 && number == 63;
}

// "forrtl: " and the platform's text for the code, or the substitute line
// when it has none; the substitute gets a line break of its own so that the
// message line which follows starts on a line of its own.
void write_system_error_line(platform::SystemError code) {
    std::array<char, 8 + 1024 + 2> line{};
    std::memcpy(line.data(), "forrtl: ", 8);
    std::size_t used = 8;
    const std::size_t text = platform::system_error_text(code, std::span(line).subspan(used, 1024));
    if (text > 0) {
        used += std::min<std::size_t>(text, 1024);
    } else {
        const int length = std::snprintf(line.data() + used, 1024, lookup_error(504).text, static_cast<int>(code));
        used += length < 0 ? 0 : std::min<std::size_t>(length, 1022);
        line[used++] = '\n';
    }
    write_to_display({line.data(), used});
}

}  // namespace

int report_io_error(int disposition, int number, int /*status_number*/, const UnitErrorInfo& unit,
                    SettleUnit settle) {
    char name[kNameRoom];
    const std::size_t name_length = std::min(unit.file_name.size(), sizeof name - 1);
    std::memcpy(name, unit.file_name.data(), name_length);
    name[name_length] = '\0';

    if (statement_takes_it(number, unit.branches)) return number;

    if (unit.saved_system_error != 0) {
        redirect_standard_error_once();
        write_system_error_line(unit.saved_system_error);
    }

    switch (disposition) {
        case 0: break;
        case 1: case 2: case 3:
            if (settle != nullptr) settle(disposition, unit.unit);
            break;
        default:
            report_error(8, 2, "for_report_io_error", __LINE__);
            break;
    }

    report_error(number, 2, static_cast<int>(unit.unit), name);
    return number;
}

}  // namespace rt
