// What running out of memory outside the I/O layer's own allocations comes
// to: a standard container or text that cannot grow ends the run with the
// numbered report 41 and the unit pass, as any other failed allocation does.
#pragma once

namespace rt {

// Installed as the standard library's new handler at start-up.
void on_out_of_memory();

}  // namespace rt
