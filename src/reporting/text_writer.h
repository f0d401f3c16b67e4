// Text built in a fixed buffer: the pieces of a report and of a traceback.
// No heap, no locale, no stream: safe on the fault path.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace rt {

// Appends to `out` and never past its end: a piece that does not fit is cut
// to what fits, and the writer remembers that it was.
class TextWriter {
public:
    explicit TextWriter(std::span<char> out) : out_(out) {}

    void put(std::string_view text);
    void put(char c) { put(std::string_view{&c, 1}); }
    // Cut to `width`, then blanks up to it (the "%-W.Ws" field).
    void put_left(std::string_view text, std::size_t width);
    // Cut to `width`, blanks in front (the "%W.Ws" field).
    void put_right(std::string_view text, std::size_t width);
    // At least `digits` hexadecimal digits, never cut.
    void put_hex(std::uint64_t value, int digits, bool upper = true);
    void put_decimal(std::int64_t value);
    void put_unsigned(std::uint64_t value);

    std::size_t size() const { return used_; }
    // What was asked for, cut or not: a writer over no room measures.
    std::size_t wanted() const { return wanted_; }
    std::size_t room() const { return out_.size() - used_; }
    bool cut() const { return wanted_ > used_; }

private:
    std::span<char> out_;
    std::size_t used_ = 0;
    std::size_t wanted_ = 0;
};

// Formats by the conventions of the catalogue texts and prefixes: %d %i %u
// %x %X %c %s %% with the length modifiers l, ll and z, and a precision for
// strings (%.Ns, %.*s). Anything else is written as it stands.
void format_text_v(TextWriter& out, const char* format, std::va_list args);
void format_text(TextWriter& out, const char* format, ...);

}  // namespace rt
