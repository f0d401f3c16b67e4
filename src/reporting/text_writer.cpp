#include "reporting/text_writer.h"

#include <algorithm>
#include <cstring>

namespace rt {

void TextWriter::put(std::string_view text) {
    const std::size_t fits = std::min(text.size(), room());
    if (fits > 0) std::memcpy(out_.data() + used_, text.data(), fits);
    used_ += fits;
    wanted_ += text.size();
}

void TextWriter::put_left(std::string_view text, std::size_t width) {
    text = text.substr(0, std::min(text.size(), width));
    put(text);
    for (std::size_t i = text.size(); i < width; ++i) put(' ');
}

void TextWriter::put_right(std::string_view text, std::size_t width) {
    text = text.substr(0, std::min(text.size(), width));
    for (std::size_t i = text.size(); i < width; ++i) put(' ');
    put(text);
}

void TextWriter::put_hex(std::uint64_t value, int digits, bool upper) {
    const char* alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char text[16];
    int length = 0;
    do {
        text[15 - length++] = alphabet[value & 0xF];
        value >>= 4;
    } while (value != 0);
    for (int i = length; i < digits; ++i) put('0');
    put({text + 16 - length, static_cast<std::size_t>(length)});
}

void TextWriter::put_unsigned(std::uint64_t value) {
    char text[20];
    int length = 0;
    do {
        text[19 - length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    put({text + 20 - length, static_cast<std::size_t>(length)});
}

void TextWriter::put_decimal(std::int64_t value) {
    if (value < 0) {
        put('-');
        // Negated in unsigned arithmetic, so the most negative value survives.
        put_unsigned(0 - static_cast<std::uint64_t>(value));
    } else {
        put_unsigned(static_cast<std::uint64_t>(value));
    }
}

namespace {

enum class Length { plain, long_, long_long, size };

std::int64_t signed_argument(Length length, std::va_list& args) {
    switch (length) {
        case Length::long_: return va_arg(args, long);
        case Length::long_long: return va_arg(args, long long);
        case Length::size: return static_cast<std::int64_t>(va_arg(args, std::size_t));
        case Length::plain: break;
    }
    return va_arg(args, int);
}

std::uint64_t unsigned_argument(Length length, std::va_list& args) {
    switch (length) {
        case Length::long_: return va_arg(args, unsigned long);
        case Length::long_long: return va_arg(args, unsigned long long);
        case Length::size: return va_arg(args, std::size_t);
        case Length::plain: break;
    }
    return va_arg(args, unsigned);
}

}  // namespace

void format_text_v(TextWriter& out, const char* format, std::va_list args) {
    // Read from a copy: the caller's list stays where it was.
    std::va_list rest;
    va_copy(rest, args);
    for (const char* at = format; *at != '\0'; ++at) {
        if (*at != '%') {
            const char* plain_end = std::strchr(at, '%');
            const std::size_t length = plain_end == nullptr ? std::strlen(at) : static_cast<std::size_t>(plain_end - at);
            out.put({at, length});
            at += length - 1;
            continue;
        }
        const char* start = at++;
        std::size_t precision = static_cast<std::size_t>(-1);
        if (*at == '.') {
            ++at;
            if (*at == '*') {
                const int given = va_arg(rest, int);
                precision = given < 0 ? static_cast<std::size_t>(-1) : static_cast<std::size_t>(given);
                ++at;
            } else {
                precision = 0;
                while (*at >= '0' && *at <= '9') precision = precision * 10 + static_cast<std::size_t>(*at++ - '0');
            }
        }
        Length length = Length::plain;
        if (*at == 'l') {
            ++at;
            length = Length::long_;
            if (*at == 'l') {
                ++at;
                length = Length::long_long;
            }
        } else if (*at == 'z') {
            ++at;
            length = Length::size;
        }
        switch (*at) {
            case 'd':
            case 'i': out.put_decimal(signed_argument(length, rest)); break;
            case 'u': out.put_unsigned(unsigned_argument(length, rest)); break;
            case 'x': out.put_hex(unsigned_argument(length, rest), 1, false); break;
            case 'X': out.put_hex(unsigned_argument(length, rest), 1, true); break;
            case 'c': out.put(static_cast<char>(va_arg(rest, int))); break;
            case 's': {
                const char* text = va_arg(rest, const char*);
                const std::string_view view = text != nullptr ? std::string_view{text} : "(null)";
                out.put(view.substr(0, std::min(view.size(), precision)));
                break;
            }
            case '%': out.put('%'); break;
            case '\0':
                // A format that ends inside a conversion: shown as written.
                out.put({start, static_cast<std::size_t>(at - start)});
                --at;
                break;
            default:
                // Not a conversion of ours: shown as written.
                out.put({start, static_cast<std::size_t>(at - start) + 1});
                break;
        }
    }
    va_end(rest);
}

void format_text(TextWriter& out, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    format_text_v(out, format, args);
    va_end(args);
}

}  // namespace rt
