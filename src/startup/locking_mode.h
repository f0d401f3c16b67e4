// The layer's locking mode: 2 while the driver runs (per-thread storage and
// unit locks), 1 during the unit pass at termination (no per-thread storage).
#pragma once

namespace rt {

inline constexpr int kLockingSingle = 1;
inline constexpr int kLockingPerThread = 2;

int locking_mode();
void set_locking_mode(int mode);

}  // namespace rt
