#include "platform/win32/wide_text.h"

#include <algorithm>

namespace platform::win32 {
namespace {

bool write_console(HANDLE console, std::span<const wchar_t> text) {
    while (!text.empty()) {
        DWORD put = 0;
        if (!::WriteConsoleW(console, text.data(), static_cast<DWORD>(text.size()), &put, nullptr) || put == 0)
            return false;
        text = text.subspan(put);
    }
    return true;
}

bool is_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The end of a piece of at most `most` bytes that splits no character, so
// that each piece converts on its own. A run of continuation bytes longer
// than any character (no UTF-8) is cut where it stands.
std::size_t piece_end(std::span<const char> text, std::size_t most) {
    if (text.size() <= most) return text.size();
    std::size_t end = most;
    while (end > most - 4 && is_continuation(text[end])) --end;
    return is_continuation(text[end]) ? most : end;
}

}  // namespace

bool write_all(HANDLE file, std::span<const char> bytes) {
    if (file == nullptr || file == INVALID_HANDLE_VALUE) return false;
    while (!bytes.empty()) {
        DWORD put = 0;
        const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(file, bytes.data(), asked, &put, nullptr) || put == 0) return false;
        bytes = bytes.subspan(put);
    }
    return true;
}

std::size_t to_wide(std::string_view utf8, std::span<wchar_t> out) {
    if (utf8.empty() || out.size() < 2) return 0;
    const int room = static_cast<int>(std::min<std::size_t>(out.size() - 1, 1u << 20));
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                             static_cast<int>(std::min<std::size_t>(utf8.size(), 1u << 30)), out.data(),
                                             room);
    if (length <= 0) {
        // A name the buffer cannot hold is too long; one it cannot spell is no name.
        if (::GetLastError() == ERROR_INSUFFICIENT_BUFFER) ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    out[static_cast<std::size_t>(length)] = L'\0';
    return static_cast<std::size_t>(length);
}

std::size_t to_utf8(std::wstring_view wide, std::span<char> out) {
    if (wide.empty() || out.size() < 2) return 0;
    const int room = static_cast<int>(std::min<std::size_t>(out.size() - 1, 1u << 20));
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), room,
                                             nullptr, nullptr);
    if (length <= 0) return 0;
    out[static_cast<std::size_t>(length)] = '\0';
    return static_cast<std::size_t>(length);
}

bool is_ascii(std::span<const char> bytes) {
    return std::none_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Piece by piece through buffers on the stack: the fault path writes here.
bool write_user_text(HANDLE file, std::span<const char> utf8, bool crlf) {
    if (file == nullptr || file == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0;
    const bool console = ::GetConsoleMode(file, &mode) != FALSE;
    constexpr std::size_t kPiece = 256;
    while (!utf8.empty()) {
        const std::size_t end = piece_end(utf8, kPiece);
        const std::span<const char> piece = utf8.first(end);
        utf8 = utf8.subspan(end);
        // Undecodable bytes become U+FFFD rather than vanishing.
        wchar_t wide[kPiece];
        const int count =
            ::MultiByteToWideChar(CP_UTF8, 0, piece.data(), static_cast<int>(piece.size()), wide, kPiece);
        if (count <= 0) return false;
        wchar_t lines[2 * kPiece];
        std::size_t used = 0;
        for (int i = 0; i < count; ++i) {
            if (crlf && wide[i] == L'\n') lines[used++] = L'\r';
            lines[used++] = wide[i];
        }
        if (console) {
            if (!write_console(file, {lines, used})) return false;
            continue;
        }
        // A double-byte code page takes at most two bytes a character. A
        // character outside the code page is '?', never a look-alike (s for
        // sigma): a name spelled so would name another file.
        char bytes[4 * kPiece];
        const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, lines, static_cast<int>(used), bytes,
                                                 sizeof bytes, nullptr, nullptr);
        if (length <= 0 || !write_all(file, {bytes, static_cast<std::size_t>(length)})) return false;
    }
    return true;
}

}  // namespace platform::win32
