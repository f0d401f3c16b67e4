#include "io/io_settings.h"

#include <cstdlib>
#include <mutex>
#include <optional>

#include "reporting/error_numbers.h"
#include "reporting/report.h"

namespace io {

namespace {

std::mutex rule_lock;
bool rule_parsed = false;
std::optional<TerminatorRule> rule;

}  // namespace

IoSettings io_settings_for_open() {
    IoSettings settings{io_size_settings(), nullptr};
    bool bad_syntax = false;
    {
        const std::lock_guard guard{rule_lock};
        if (!rule_parsed) {
            rule_parsed = true;
            const char* text = std::getenv("FOR_FMT_TERMINATOR");
            if (text != nullptr) {
                rule = parse_terminator_rule(text);
                bad_syntax = !rule;
            }
        }
        if (rule) settings.terminator_rule = &*rule;
    }
    // A warning only: the program goes on with the default terminators.
    if (bad_syntax) {
        rt::report_error(err::kBadTerminatorRule, 1, "FOR_FMT_TERMINATOR environment variable has erroneous syntax, ignored");
    }
    return settings;
}

namespace testing {

void forget_terminator_rule() {
    const std::lock_guard guard{rule_lock};
    rule_parsed = false;
    rule.reset();
}

}  // namespace testing

}  // namespace io
