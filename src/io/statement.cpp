#include "io/statement.h"

#include "io/unit_table.h"
#include "reporting/report.h"

namespace io {

int report_statement_failure(IoResult failure) {
    rt::UnitErrorInfo info{failure.unit, {}, static_cast<platform::SystemError>(failure.system_error)};
    UnitSlot* slot = find_slot(failure.unit);
    UnitConnection* connection = slot == nullptr ? nullptr : slot->connection.get();
    if (connection != nullptr) info.file_name = connection->name();
    const int number = rt::report_io_error(failure.number, info);
    // A connection left unconnected by a failed open or close is kept only
    // until its failure has been reported.
    if (connection != nullptr && !connection->connected && !slot->busy.load()) slot->connection.reset();
    return number;
}

}  // namespace io
