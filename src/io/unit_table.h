// The table of units: one slot for each unit number from -5 to 99. The
// program uses units 10 and 20 only; no other number can be connected.
// The table owns every connection.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "io/unit_connection.h"
#include "platform/console_events.h"

namespace io {

struct UnitSlot {
    std::unique_ptr<UnitConnection> connection;  // absent until the unit is first opened
    std::atomic<bool> busy{false};               // held by a statement on the unit
};

inline constexpr std::int32_t kFirstUnit = -5;
inline constexpr std::int32_t kLastUnit = 99;

// The slots in table order, from unit -5 up.
extern std::array<UnitSlot, kLastUnit - kFirstUnit + 1> unit_slots;

// The unit's slot, or null for a number outside the table. Inline: every
// statement starts here.
inline UnitSlot* find_slot(std::int32_t unit) {
    if (unit < kFirstUnit || unit > kLastUnit) return nullptr;
    return &unit_slots[static_cast<std::size_t>(unit - kFirstUnit)];
}

// Holds a slot's busy mark for one statement; a null slot holds nothing.
// Taking it is a statement boundary: a console event that arrived is acted
// on there, before the unit is marked.
class BusyMark {
public:
    explicit BusyMark(UnitSlot* slot) : slot_{slot} {
        platform::check_console_events();
        if (slot_ != nullptr) slot_->busy.store(true, std::memory_order_relaxed);
    }
    ~BusyMark() {
        if (slot_ != nullptr) slot_->busy.store(false, std::memory_order_release);
    }
    BusyMark(const BusyMark&) = delete;
    BusyMark& operator=(const BusyMark&) = delete;

private:
    UnitSlot* slot_;
};

// The connected unit a statement works on, marked busy while the statement
// runs; empty when the unit is not connected.
class ConnectedUnit {
public:
    // The mark is kept here rather than in a BusyMark member: one pointer
    // stays in a register on the record paths, two went to memory.
    explicit ConnectedUnit(std::int32_t unit) : ConnectedUnit{find_slot(unit)} {}
    // `slot` from find_slot (null for a number outside the table); a slot's
    // place never changes, so a caller may keep it.
    explicit ConnectedUnit(UnitSlot* slot) : slot_{mark(slot)} {}
    ~ConnectedUnit() {
        if (slot_ != nullptr) slot_->busy.store(false, std::memory_order_release);
    }
    ConnectedUnit(const ConnectedUnit&) = delete;
    ConnectedUnit& operator=(const ConnectedUnit&) = delete;

    explicit operator bool() const { return slot_ != nullptr; }
    UnitConnection& operator*() const { return *slot_->connection; }
    UnitConnection* operator->() const { return slot_->connection.get(); }
    UnitSlot& slot() const { return *slot_; }

private:
    // The slot if its unit is connected, marked busy. The member is set only
    // after the mark's store, which the compiler would otherwise have it
    // reload from memory. Every statement, reading or writing, starts here:
    // a console event that arrived is acted on before the unit is marked, so
    // that the unit pass finds it free and the output ends on whole records.
    static UnitSlot* mark(UnitSlot* slot) {
        platform::check_console_events();
        if (slot == nullptr || !slot->connection || !slot->connection->connected) return nullptr;
        slot->busy.store(true, std::memory_order_relaxed);
        return slot;
    }

    UnitSlot* slot_;
};

}  // namespace io
