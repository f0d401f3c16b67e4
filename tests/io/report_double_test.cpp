// Stands in for the reporter below the record layer: the record layer's tests
// check which numbers it reports and with what, and no report may end the
// test process.
#include "io/report_double.h"

#include <cstdarg>
#include <cstdlib>

namespace test_support {

std::vector<ReportedError>& reported() {
    static std::vector<ReportedError> calls;
    return calls;
}

}  // namespace test_support

namespace rt {

int report_error(int number, int insert_count, ...) {
    test_support::ReportedError call{number, 0, {}, 0};
    if (insert_count >= 2) {
        va_list inserts;
        va_start(inserts, insert_count);
        call.unit = va_arg(inserts, int);
        call.file_name = va_arg(inserts, const char*);
        va_end(inserts);
    }
    test_support::reported().push_back(call);
    return number;
}

int report_io_error(int, int number, int, const UnitErrorInfo& unit, SettleUnit) {
    test_support::reported().push_back({number, unit.unit, std::string{unit.file_name}, unit.saved_system_error});
    return number;
}

bool check_env_flag(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return false;
    if (*value == 't' || *value == 'T' || *value == 'y' || *value == 'Y') return true;
    bool non_zero = false;
    for (const char* p = value; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return false;
        non_zero = non_zero || *p != '0';
    }
    return non_zero;
}

}  // namespace rt
