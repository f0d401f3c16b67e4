#include "platform/common/routine_name.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

struct OperatorName {
    char code[3];
    const char* name;
};

constexpr OperatorName kOperators[] = {
    {"nw", "operator new"}, {"na", "operator new[]"}, {"dl", "operator delete"}, {"da", "operator delete[]"},
    {"pl", "operator+"},    {"mi", "operator-"},      {"ml", "operator*"},       {"dv", "operator/"},
    {"rm", "operator%"},    {"an", "operator&"},      {"or", "operator|"},       {"eo", "operator^"},
    {"aS", "operator="},    {"pL", "operator+="},     {"mI", "operator-="},      {"eq", "operator=="},
    {"ne", "operator!="},   {"lt", "operator<"},      {"gt", "operator>"},       {"le", "operator<="},
    {"ge", "operator>="},   {"ss", "operator<=>"},    {"nt", "operator!"},       {"ls", "operator<<"},
    {"rs", "operator>>"},   {"pp", "operator++"},     {"mm", "operator--"},      {"cl", "operator()"},
    {"ix", "operator[]"},   {"pt", "operator->"},     {"co", "operator~"},       {"cv", "operator conversion"},
};

// Reads the name part of an Itanium-mangled symbol; the parameter types
// after it are never needed.
class Reader {
public:
    explicit Reader(std::string_view text) : s_(text) {}

    bool failed() const { return failed_; }

    // The bare name of <encoding>; `destructor` is set for "~".
    std::string_view name(bool& destructor) {
        if (eat('Z')) {  // local entity: named by its enclosing function
            const std::string_view enclosing = name(destructor);
            return failed_ ? std::string_view{} : enclosing;
        }
        if (eat('N')) return nested(destructor);
        eat('L');  // internal linkage
        if (peek() == 'S' && peek(1) == 't') pos_ += 2;
        std::string_view last = component();
        skip_abi_tags();
        if (peek() == 'I') skip_template_args();
        return last;
    }

private:
    char peek(std::size_t ahead = 0) const { return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0'; }
    bool eat(char c) {
        if (peek() != c) return false;
        ++pos_;
        return true;
    }
    static bool digit(char c) { return c >= '0' && c <= '9'; }
    static bool lower(char c) { return c >= 'a' && c <= 'z'; }

    std::string_view fail() {
        failed_ = true;
        return {};
    }

    std::string_view source_name() {
        std::size_t length = 0;
        while (digit(peek()) && length < s_.size()) length = length * 10 + static_cast<std::size_t>(s_[pos_++] - '0');
        if (length == 0 || length > s_.size() - pos_) return fail();
        const std::string_view id = s_.substr(pos_, length);
        pos_ += length;
        return id;
    }

    // <unqualified-name>: a source name or an operator.
    std::string_view component() {
        if (digit(peek())) return source_name();
        if (lower(peek())) {
            for (const OperatorName& op : kOperators) {
                if (peek() == op.code[0] && peek(1) == op.code[1]) {
                    pos_ += 2;
                    if (op.code[0] == 'c' && op.code[1] == 'v') return fail();  // a type follows; not worth it
                    return op.name;
                }
            }
        }
        return fail();
    }

    void skip_abi_tags() {
        while (!failed_ && eat('B')) source_name();
    }

    std::string_view nested(bool& destructor) {
        while (peek() == 'r' || peek() == 'V' || peek() == 'K') ++pos_;  // qualifiers of `this`
        if (peek() == 'R' || peek() == 'O') ++pos_;                      // its reference qualifier
        std::string_view last;
        while (!failed_ && !eat('E')) {
            const char c = peek();
            if (c == '\0') return fail();
            if (c == 'S') {
                skip_substitution();
                last = {};
            } else if (c == 'I') {
                skip_template_args();
            } else if (c == 'C' && (digit(peek(1)) || peek(1) == 'I')) {
                pos_ += peek(1) == 'I' ? 3 : 2;  // constructor: named by its class
            } else if (c == 'D' && digit(peek(1))) {
                pos_ += 2;
                destructor = true;
            } else if (c == 'U' && peek(1) == 'l') {
                return fail();  // a lambda's own name says nothing readable
            } else if (c == 'B') {
                skip_abi_tags();
            } else if (c == 'L') {
                ++pos_;
            } else {
                last = component();
            }
        }
        if (last.empty()) return fail();
        return last;
    }

    void skip_substitution() {
        ++pos_;  // 'S'
        if (std::strchr("tabsiod", peek()) != nullptr && peek() != '\0') {
            ++pos_;
            return;
        }
        while (peek() != '_' && peek() != '\0') ++pos_;
        if (!eat('_')) fail();
    }

    // Skips <template-args> by balancing the constructs that end in 'E',
    // stepping over source names so that their letters are not read as codes.
    void skip_template_args() {
        ++pos_;  // 'I'
        int depth = 1;
        while (depth > 0 && !failed_) {
            const char c = peek();
            if (c == '\0') {
                fail();
            } else if (digit(c)) {
                source_name();
            } else if (c == 'E') {
                ++pos_;
                --depth;
            } else if (c == 'L') {  // literal: type then value, up to 'E'
                ++pos_;
                if (peek() == '_' && peek(1) == 'Z') {
                    pos_ += 2;
                    ++depth;
                    continue;
                }
                if (digit(peek())) source_name(); else ++pos_;
                while (peek() != 'E' && peek() != '\0') ++pos_;
                if (!eat('E')) fail();
            } else if (c == 'S') {
                skip_substitution();
            } else if (c == 'T') {  // template parameter T_ or T<n>_
                while (peek() != '_' && peek() != '\0') ++pos_;
                if (!eat('_')) fail();
            } else if (c == 'A') {  // array type A<n>_
                while (peek() != '_' && peek() != '\0') ++pos_;
                if (!eat('_')) fail();
            } else if (c == 'D') {
                pos_ += 2;
                if (s_[pos_ - 1] == 't' || s_[pos_ - 1] == 'T') ++depth;  // decltype(...) E
            } else if (c == 'N' || c == 'I' || c == 'X' || c == 'J' || c == 'F' || c == 'Z') {
                ++pos_;
                ++depth;
            } else {
                ++pos_;  // builtin types and type qualifiers
            }
        }
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

std::size_t put(std::span<char> out, std::string_view first, std::string_view second) {
    if (out.empty()) return 0;
    const std::size_t a = std::min(first.size(), out.size() - 1);
    const std::size_t b = std::min(second.size(), out.size() - 1 - a);
    std::copy_n(first.data(), a, out.data());
    std::copy_n(second.data(), b, out.data() + a);
    out[a + b] = '\0';
    return a + b;
}

}  // namespace

std::size_t bare_routine_name(std::string_view symbol, std::span<char> out) {
    if (symbol.size() > 2 && symbol.substr(0, 2) == "_Z") {
        Reader reader(symbol.substr(2));
        bool destructor = false;
        const std::string_view name = reader.name(destructor);
        if (!reader.failed() && !name.empty()) return put(out, destructor ? "~" : "", name);
    }
    return put(out, symbol, {});
}

}  // namespace platform
