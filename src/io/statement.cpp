#include "io/statement.h"

#include "io/unit_table.h"
#include "platform/console_events.h"
#include "platform/files.h"
#include "reporting/error_numbers.h"
#include "reporting/report.h"

namespace io {

int report_statement_failure(IoResult failure) {
    rt::UnitErrorInfo info{failure.unit, {}, static_cast<platform::SystemError>(failure.system_error)};
    UnitSlot* slot = find_slot(failure.unit);
    UnitConnection* connection = slot == nullptr ? nullptr : slot->connection.get();
    if (connection != nullptr) info.file_name = connection->name();
    // An event wins over the failure it may have caused: control-C to a
    // pipeline ends its producer (or consumer) as well, and this end of the
    // pipe fails. Only a pipe's failure waits for an event still on its way.
    if ((failure.number == err::kEndOfFile || failure.number == err::kWriteError ||
         failure.number == err::kReadError) &&
        connection != nullptr && connection->connected && !platform::is_disk_file(connection->handle))
        platform::wait_for_console_event(platform::console_event_lag());
    platform::check_console_events();
    const int number = rt::report_io_error(failure.number, info);
    // A connection left unconnected by a failed open or close is kept only
    // until its failure has been reported.
    if (connection != nullptr && !connection->connected && !slot->busy.load()) slot->connection.reset();
    return number;
}

}  // namespace io
