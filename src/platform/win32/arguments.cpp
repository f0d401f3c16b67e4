#include "platform/arguments.h"

#include <windows.h>

namespace {

struct StartupInfo {
    int new_mode;
};

}  // namespace

// The wide-character twin of the run-time's own argument split, so that the
// words are cut exactly as argv was.
extern "C" int __cdecl __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** env, int expand_wildcards,
                                      StartupInfo* info);

namespace platform {
namespace {

std::string utf8_of(const wchar_t* wide) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string text(static_cast<std::size_t>(length - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
    return text;
}

}  // namespace

ProgramArguments::ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = nullptr;
    wchar_t** environment = nullptr;
    StartupInfo info{0};
    // Wildcards stay as typed, as in argv.
    if (__wgetmainargs(&count, &wide, &environment, 0, &info) != 0 || wide == nullptr || count != argc) {
        for (int i = 0; i < argc; ++i) words_.push_back(argv[i]);
        return;
    }
    owned_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) owned_.push_back(utf8_of(wide[i]));
    for (const std::string& word : owned_) words_.push_back(word.c_str());
}

std::span<const char* const> ProgramArguments::after_name() const {
    if (words_.empty()) return {};
    return std::span<const char* const>{words_}.subspan(1);
}

}  // namespace platform
