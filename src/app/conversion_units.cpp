#include "app/conversion_units.h"

#include "app/conversion.h"
#include "io/open_close_unit.h"
#include "io/statement.h"
#include "startup/fp_modes.h"

namespace app {

void prepare_conversion() {
    rt::apply_fp_modes(rt::kRequestFlushToZero | rt::kRequestDenormalsAreZero);
    rt::enable_flush_to_zero();
}

void connect_unit(std::int32_t unit, std::string_view name, platform::StandardStream stream, std::string_view shown,
                  platform::Missing missing, const io::BufferingDefaults& buffering) {
    io::finish_statement(name == kStandardStreamName ? io::open_standard_unit(unit, stream, shown)
                                                     : io::open_unit(unit, name, missing, buffering));
}

void disconnect_unit(std::int32_t unit) { io::finish_statement(io::close_unit(unit)); }

void connect_input(std::string_view name, platform::Missing missing) {
    connect_unit(kInputUnit, name, platform::StandardStream::input, "standard input", missing);
}

void connect_output(std::string_view name, const io::BufferingDefaults& buffering) {
    connect_unit(kOutputUnit, name, platform::StandardStream::output, "standard output", platform::Missing::create,
                 buffering);
}

}  // namespace app
