#include "io/unit_table.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

namespace io {

namespace {

constexpr std::size_t kFixedSlots = kLastFixedUnit - kFirstFixedUnit + 1;

std::array<UnitSlot, kFixedSlots> fixed;

// The secondary table: a list in order of creation. This program never uses
// it, so a linear search is enough; nodes never move, so slots stay put.
struct SecondaryNode {
    std::int32_t unit;
    UnitSlot slot;
    SecondaryNode* next = nullptr;
};
SecondaryNode* secondary_head = nullptr;
std::mutex secondary_lock;

bool is_fixed(std::int32_t unit) { return unit >= kFirstFixedUnit && unit <= kLastFixedUnit; }

SecondaryNode* find_secondary(std::int32_t unit) {
    for (SecondaryNode* node = secondary_head; node != nullptr; node = node->next) {
        if (node->unit == unit) return node;
    }
    return nullptr;
}

}  // namespace

UnitSlot* find_slot(std::int32_t unit) {
    if (is_fixed(unit)) return &fixed[static_cast<std::size_t>(unit - kFirstFixedUnit)];
    const std::lock_guard guard{secondary_lock};
    SecondaryNode* node = find_secondary(unit);
    return node == nullptr ? nullptr : &node->slot;
}

UnitSlot* find_or_create_slot(std::int32_t unit) {
    if (is_fixed(unit)) return &fixed[static_cast<std::size_t>(unit - kFirstFixedUnit)];
    const std::lock_guard guard{secondary_lock};
    if (SecondaryNode* node = find_secondary(unit)) return &node->slot;
    auto* node = new (std::nothrow) SecondaryNode{unit, {}, nullptr};
    if (node == nullptr) return nullptr;
    // Append, so that table order is order of creation.
    SecondaryNode** tail = &secondary_head;
    while (*tail != nullptr) tail = &(*tail)->next;
    *tail = node;
    return &node->slot;
}

UnitConnection* find_connection(std::int32_t unit) {
    UnitSlot* slot = find_slot(unit);
    return slot == nullptr ? nullptr : slot->connection.get();
}

UnitConnection* find_connected(std::int32_t unit) {
    UnitConnection* connection = find_connection(unit);
    return connection != nullptr && connection->connected ? connection : nullptr;
}

void create_preconnected_units() {
    static constexpr std::int32_t kUnits[] = {0, 5, 6, -1, -2, -3, -4};
    for (const std::int32_t unit : kUnits) {
        UnitSlot* slot = find_or_create_slot(unit);
        if (slot->connection) continue;
        slot->connection.reset(new (std::nothrow) UnitConnection{});
        if (!slot->connection) return;  // the entries only note the units; nothing depends on them
        slot->connection->unit = unit;
        if (unit >= 0) {
            char variable[16];
            std::snprintf(variable, sizeof variable, "FORT%d", static_cast<int>(unit));
            slot->connection->name_from_environment = std::getenv(variable) != nullptr;
        }
    }
}

namespace detail {

UnitSlot* fixed_slots() { return fixed.data(); }

UnitSlot* first_secondary_slot() {
    const std::lock_guard guard{secondary_lock};
    return secondary_head == nullptr ? nullptr : &secondary_head->slot;
}

UnitSlot* next_secondary_slot(UnitSlot* slot) {
    const std::lock_guard guard{secondary_lock};
    for (SecondaryNode* node = secondary_head; node != nullptr; node = node->next) {
        if (&node->slot == slot) return node->next == nullptr ? nullptr : &node->next->slot;
    }
    return nullptr;
}

}  // namespace detail

}  // namespace io
