# Cross build for 32-bit Windows with mingw-w64; test programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(tdp_triple i686-w64-mingw32)
# The -posix compilers: the default win32 thread model has no std::mutex or std::thread.
set(CMAKE_C_COMPILER ${tdp_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tdp_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${tdp_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${tdp_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -msse2 -mfpmath=sse: doubles round as 64-bit IEEE values, never in the x87's
# 80-bit registers, which the decimal conversions rely on.
# -fno-omit-frame-pointer: a walk from a captured context loses the program's
# frames without them. -gdwarf-4: Wine's debug-help library does not read DWARF 5.
set(tdp_flags "-msse2 -mfpmath=sse -fno-omit-frame-pointer -gdwarf-4")
set(CMAKE_C_FLAGS_INIT "${tdp_flags}")
set(CMAKE_CXX_FLAGS_INIT "${tdp_flags}")
# No DLLs of the compiler's run-time beside the .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Without the crash debugger a fault ends the process instead of waiting on it.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env WINEDEBUG=-all WINEDLLOVERRIDES=winedbg.exe=d wine)
