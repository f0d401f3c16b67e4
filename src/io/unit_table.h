// The table of units: fixed slots for units -5 to 99, a secondary table for
// every other number. The table owns every connection.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "io/unit_connection.h"
#include "platform/console_events.h"

namespace io {

struct UnitSlot {
    std::unique_ptr<UnitConnection> connection;  // absent until the unit is first referred to
    std::atomic<bool> busy{false};               // held by a statement on the unit
};

inline constexpr std::int32_t kFirstFixedUnit = -5;
inline constexpr std::int32_t kLastFixedUnit = 99;

inline constexpr std::size_t kFixedSlotCount = kLastFixedUnit - kFirstFixedUnit + 1;

namespace detail {
extern std::array<UnitSlot, kFixedSlotCount> fixed_slots;
UnitSlot* find_secondary_slot(std::int32_t unit);
UnitSlot* first_secondary_slot();
UnitSlot* next_secondary_slot(UnitSlot* slot);
}  // namespace detail

// The unit's slot, or null when it has none yet. Every statement starts
// here, so the fixed slots are found without a call.
inline UnitSlot* find_slot(std::int32_t unit) {
    if (unit >= kFirstFixedUnit && unit <= kLastFixedUnit) {
        return &detail::fixed_slots[static_cast<std::size_t>(unit - kFirstFixedUnit)];
    }
    return detail::find_secondary_slot(unit);
}
// The unit's slot, created when missing; null when no memory.
UnitSlot* find_or_create_slot(std::int32_t unit);
// The unit's connection if it exists (connected or not), else null.
UnitConnection* find_connection(std::int32_t unit);
// The unit's connection if it is connected, else null.
UnitConnection* find_connected(std::int32_t unit);

// Calls `visit(slot)` for every slot in table order: the fixed slots from
// unit -5 up, then the secondary table. Stops when `visit` returns false.
template <typename Visit>
void for_each_slot(Visit&& visit);

// Holds a slot's busy mark for one statement. Taking it is a statement
// boundary: a console event that arrived is acted on there, before the unit
// is marked.
class BusyMark {
public:
    explicit BusyMark(UnitSlot& slot) : slot_{slot} {
        platform::check_console_events();
        slot_.busy.store(true, std::memory_order_relaxed);
    }
    ~BusyMark() { slot_.busy.store(false, std::memory_order_release); }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

private:
    UnitSlot& slot_;
};

template <typename Visit>
void for_each_slot(Visit&& visit) {
    for (UnitSlot& slot : detail::fixed_slots) {
        if (!visit(slot)) return;
    }
    for (UnitSlot* slot = detail::first_secondary_slot(); slot != nullptr; slot = detail::next_secondary_slot(slot)) {
        if (!visit(*slot)) return;
    }
}

}  // namespace io
