#include "startup/startup.h"

#include <cfenv>
#include <cstdlib>
#include <mutex>
#include <new>

#include "platform/console_events.h"
#include "platform/fault_trap.h"
#include "platform/process.h"
#include "platform/process_start.h"
#include "startup/console_events.h"
#include "reporting/environment.h"
#include "reporting/fault_context.h"
#include "startup/faults.h"
#include "startup/fp_modes.h"
#include "startup/out_of_memory.h"
#include "io/io_size_settings.h"
#include "startup/lifecycle.h"

namespace rt {
namespace {

std::mutex init_lock;
bool initialised = false;  // guarded by init_lock

void run_driver(void* driver) {
    // The second call finds the layer initialised.
    runtime_init();
    (*static_cast<Driver*>(driver))();
}

}  // namespace

void runtime_init() {
    std::lock_guard<std::mutex> lock(init_lock);
    if (initialised) return;

    // First of all: every file opened from here on must find the standard
    // descriptors taken.
    platform::prepare_process();

    // Every variable a report reads, taken now: the fault path reads none.
    read_reporting_environment();
    create_fault_context();
    std::atexit(release_fault_context);
    platform::clear_last_error();

    // Memory that a standard container or text cannot have ends the run
    // with its number, not with an exception nothing catches.
    std::set_new_handler(on_out_of_memory);

    // Events are recorded from here on and acted on by the driver's thread at
    // its next statement. If they cannot be watched they keep their default
    // course: the process ends without a report.
    platform::watch_console_events(on_console_event);

    // No error boxes here means no core dump left behind by a fault.
    if (reporting_environment().no_error_dialogs) platform::suppress_fault_dumps();

    std::feclearexcept(FE_ALL_EXCEPT);
    mask_x87_exceptions();
    set_vector_fp_masks(0);

    // No unit is preconnected (0, 5, 6 and the console units): the driver
    // connects only units of its own, and no statement names another.

    // Bad values do not stop start-up: opening a file reports them.
    io::read_io_size_settings();

    initialised = true;
}

int process_entry([[maybe_unused]] int argc, [[maybe_unused]] char** argv, Driver driver,
                  UnitPass unit_pass) {
    set_termination_unit_pass(unit_pass);
    // This first call stands for the static initialiser: it must come before
    // any thread is started.
    runtime_init();
    apply_fp_modes(0);
    // Both ends of the driver lead to termination: its return, or a fault
    // whose report chose to abandon it.
    platform::run_protected(run_driver, &driver, handle_fault, kFaultFilterStackBytes);
    return runtime_finish();
}

}  // namespace rt
