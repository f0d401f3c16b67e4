#include "app/conversion.h"
#include "io/records.h"
#include "startup/startup.h"

int main(int argc, char** argv) {
    return rt::process_entry(argc, argv, app::run_conversion, io::close_all_units);
}
