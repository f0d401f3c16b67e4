#include "platform/process_start.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace platform {
namespace {

struct StandardSlot {
    DWORD id;
    int descriptor;
};

constexpr StandardSlot kSlots[] = {
    {STD_INPUT_HANDLE, 0},
    {STD_OUTPUT_HANDLE, 1},
    {STD_ERROR_HANDLE, 2},
};

bool missing(HANDLE handle) { return handle == nullptr || handle == INVALID_HANDLE_VALUE; }

// The null device behind one standard stream, for the process and for the
// run-time's descriptor of it.
void fill_with_null_device(const StandardSlot& slot) {
    const HANDLE device = ::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (device == INVALID_HANDLE_VALUE) return;
    const int descriptor = ::_open_osfhandle(reinterpret_cast<intptr_t>(device), _O_TEXT);
    if (descriptor < 0) {
        ::CloseHandle(device);
        return;
    }
    // Moving it onto the standard descriptor makes it the process's handle too.
    if (descriptor != slot.descriptor) {
        ::_dup2(descriptor, slot.descriptor);
        ::_close(descriptor);
    }
    if (missing(::GetStdHandle(slot.id))) ::SetStdHandle(slot.id, reinterpret_cast<HANDLE>(::_get_osfhandle(slot.descriptor)));
}

}  // namespace

// A process started without a standard stream (detached from its parent's,
// or with one closed) has no handle for it: writes to it would fail, and
// reads would fail instead of meeting the end. The null device takes its
// place, as on a system that fills closed descriptors. There are no signals
// for a broken pipe or a file-size limit here: such a write fails with its
// error already.
void prepare_process() {
    for (const StandardSlot& slot : kSlots)
        if (missing(::GetStdHandle(slot.id))) fill_with_null_device(slot);
}

}  // namespace platform
