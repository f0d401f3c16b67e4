// The interface between the program and the operating system, in neutral
// terms. Above it nothing includes a system header or asks which system it
// runs on; below it one backend per system (posix/, win32/) and the code they
// share (common/). The interface, header by header:
//
//   arguments.h       the program's arguments as UTF-8, whatever the system's form
//   environment.h     environment values as UTF-8, whatever the system's form
//   files.h           open-or-create with access and sharing, read, write, cut,
//                     close, is-disk-file, absolute path, file name of a path;
//                     failures as a category plus the platform's code and its text
//   memory.h          heap blocks and committed page-backed blocks
//   process.h         standard error (raw and through its stream), the
//                     reopening of it, log-file appends, debugger presence and
//                     stop, exit status width, the normal, immediate and abnormal ends
//   console_events.h  control-C, control-BREAK and the closing of the console
//   fault_info.h      a fault: the fault table's code, the address, an opaque context
//   fault_trap.h      the protected region and its fault filter with its verdicts
//   register_dump.h   the registers of a fault's context, grouped for the dump
//   stack_walk.h      the active frames, innermost first, with module and routine
//   cpu.h             processor identification and floating-point control registers
//   process_start.h   the state the process is put in before anything is opened
//   terminal.h        the standard streams, whether a terminal is behind them,
//                     its width, and a monotonic clock
//   byte_match.h      where a byte lies in a block of 64, by the vector compare
//   testing.h         for tests: make the Nth call of a kind fail by category,
//                     or run an action just before it; set and list
//                     environment variables; how a child's end
//                     shows; run this program again as a child
#pragma once

#include "platform/arguments.h"
#include "platform/byte_match.h"
#include "platform/console_events.h"
#include "platform/cpu.h"
#include "platform/environment.h"
#include "platform/fault_info.h"
#include "platform/fault_trap.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/process.h"
#include "platform/process_start.h"
#include "platform/register_dump.h"
#include "platform/stack_walk.h"
#include "platform/terminal.h"
