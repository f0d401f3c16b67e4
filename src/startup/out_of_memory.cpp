#include "startup/out_of_memory.h"

#include <atomic>

#include "platform/process.h"
#include "reporting/error_numbers.h"
#include "reporting/report.h"

namespace rt {

void on_out_of_memory() {
    // The report itself may need memory it cannot have: a second call ends
    // the process with the same status, without another try.
    static std::atomic<bool> reporting{false};
    if (reporting.exchange(true)) platform::end_process_now(err::kNoMemory);
    // Severe: it does not return.
    report_error(err::kNoMemory, 0);
    platform::end_process_now(err::kNoMemory);
}

}  // namespace rt
