// The one interface between the program and the operating system.
// Everything below this header is platform code; everything above it is portable.
#pragma once

#include "platform/files.h"
#include "platform/memory.h"
#include "platform/process.h"
#include "platform/fault_info.h"
