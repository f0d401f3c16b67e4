// Routine names as the traceback shows them.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace platform {

// The bare routine name of a symbol-table name: for a mangled C++ name the
// last component of its scope (constructors by their class, destructors as
// "~class", a local entity by its enclosing function), without scope,
// template arguments or parameter list; any other name as it stands, also a
// mangled one this reader cannot follow. Written zero-terminated into `out`
// and cut to fit; returns the length. No heap: safe in a signal handler.
std::size_t bare_routine_name(std::string_view symbol, std::span<char> out);

}  // namespace platform
