#include "io/unit_table.h"

#include <array>
#include <mutex>
#include <new>

namespace io {

namespace {

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

namespace detail {

std::array<UnitSlot, kFixedSlotCount> fixed_slots;

UnitSlot* find_secondary_slot(std::int32_t unit) {
    const std::lock_guard guard{secondary_lock};
    SecondaryNode* node = find_secondary(unit);
    return node == nullptr ? nullptr : &node->slot;
}

}  // namespace detail

UnitSlot* find_or_create_slot(std::int32_t unit) {
    if (is_fixed(unit)) return find_slot(unit);
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

namespace detail {

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
