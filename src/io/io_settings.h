// Process-wide settings of the record layer, taken from the environment.
#pragma once

#include "io/io_size_settings.h"
#include "io/terminator.h"

namespace io {

struct IoSettings {
    IoSizeSettings sizes;
    // The FOR_FMT_TERMINATOR rule; null when the variable is unset or its
    // rule was dropped for bad syntax. Parsed at the first formatted open.
    const TerminatorRule* terminator_rule = nullptr;
};

// The settings for an open. The first call parses FOR_FMT_TERMINATOR and
// reports a warning once when its syntax is bad.
IoSettings io_settings_for_open();

namespace testing {
// Makes the next open parse FOR_FMT_TERMINATOR again.
void forget_terminator_rule();
}  // namespace testing

}  // namespace io
