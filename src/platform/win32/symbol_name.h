// Routine names as the debug-help library gives them: readable, qualified
// C++ names ("ns::S::tm<std::pair<int, int> >", "ns::S::operator<").
#pragma once

#include <string_view>

namespace platform::win32 {

// The routine's own name: the last component of its scope, without the
// template arguments or a parameter list; operators keep their symbol
// ("operator<", "operator()"). Points into `name`. Safe on the fault path.
std::string_view bare_symbol_name(std::string_view name);

}  // namespace platform::win32
