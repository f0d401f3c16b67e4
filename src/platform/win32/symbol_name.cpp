#include "platform/win32/symbol_name.h"

namespace platform::win32 {
namespace {

constexpr std::string_view kOperator = "operator";

bool opens(char c) { return c == '<' || c == '(' || c == '[' || c == '{'; }
bool closes(char c) { return c == '>' || c == ')' || c == ']' || c == '}'; }

bool identifier_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// "operator" at `at` starts a component and is the whole keyword.
bool operator_at(std::string_view name, std::size_t at) {
    if (name.substr(at, kOperator.size()) != kOperator) return false;
    if (at != 0 && name[at - 1] != ':') return false;
    const std::size_t after = at + kOperator.size();
    return after == name.size() || !identifier_char(name[after]);
}

// An operator's name: the keyword and its symbol, "()" and "[]" whole,
// a run of symbol characters, or the words of "new[]", "delete" and
// conversions; what follows (template arguments) is dropped.
std::string_view operator_name(std::string_view name, std::size_t at) {
    std::size_t end = at + kOperator.size();
    const std::string_view rest = name.substr(end);
    if (rest.starts_with("()") || rest.starts_with("[]")) return name.substr(at, kOperator.size() + 2);
    if (!rest.empty() && rest[0] == ' ') {
        // new, delete and conversions: words up to a template or parameter list.
        while (end < name.size() && name[end] != '(' && !(name[end] == '<' && name[end - 1] != ' ')) ++end;
        return name.substr(at, end - at);
    }
    constexpr std::string_view kSymbols = "+-*/%^&|~!=<>,";
    while (end < name.size() && kSymbols.find(name[end]) != std::string_view::npos) ++end;
    // "operator< <int>": the blank sets off the template arguments.
    return name.substr(at, end - at);
}

}  // namespace

std::string_view bare_symbol_name(std::string_view name) {
    std::size_t start = 0;
    int depth = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (depth == 0 && operator_at(name, i)) return operator_name(name, i);
        const char c = name[i];
        if (opens(c)) {
            ++depth;
        } else if (closes(c)) {
            if (depth > 0) --depth;
        } else if (depth == 0 && c == ':' && i + 1 < name.size() && name[i + 1] == ':') {
            start = i + 2;
            ++i;
        }
    }
    // A lambda's or other unnamed entity's braced name stands whole.
    if (start < name.size() && name[start] == '{') return name.substr(start);
    // The component ends where its template arguments or parameters begin.
    std::size_t end = start;
    while (end < name.size() && name[end] != '<' && name[end] != '(') ++end;
    return name.substr(start, end - start);
}

}  // namespace platform::win32
