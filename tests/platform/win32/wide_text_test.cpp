// Names in any script, and text for a person in the system's own forms.
#include "platform/win32/wide_text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/win32/syscalls.h"
#include "support/temp_dir.h"

namespace {

using test_support::TempDir;

// "Survey's points" in Chinese, as UTF-8 and as the system spells it.
constexpr char kName[] = "\xe6\xb5\x8b\xe9\x87\x8f\xe7\x82\xb9.txt";
constexpr wchar_t kWideName[] = L"\u6d4b\u91cf\u70b9.txt";

// The ANSI code page's bytes for the UTF-16 text: what a redirected stream gets.
std::string in_ansi(const std::wstring& wide) {
    std::string bytes(wide.size() * 2, '\0');
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                                             static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(length));
    return bytes;
}

TEST(WideNames, AFileNamedOutsideTheAnsiCodePageIsOpenedByItsName) {
    TempDir dir;
    const std::string path = dir.path().string() + "\\" + kName;
    const platform::OpenResult opened =
        platform::open_or_create(path.c_str(), platform::Access::read_write, platform::Share::read);
    ASSERT_NE(opened.handle, platform::kNoFile) << opened.error;
    EXPECT_EQ(platform::close_file(opened.handle), 0u);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / kWideName));
}

TEST(WideNames, NoUtf8IsNoName) {
    TempDir dir;
    const std::string path = dir.path().string() + "\\bad\xff.txt";
    const platform::OpenResult opened =
        platform::open_or_create(path.c_str(), platform::Access::read_write, platform::Share::read);
    EXPECT_EQ(opened.handle, platform::kNoFile);
    EXPECT_EQ(platform::categorize(opened.error), platform::ErrorCategory::invalid_name);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(WideNames, FullPathKeepsTheName) {
    char out[512];
    const std::size_t length = platform::full_path_name(kName, out);
    ASSERT_GT(length, 0u);
    EXPECT_TRUE(std::string_view(out, length).ends_with(std::string{"\\"} + kName)) << out;
}

// Redirected, the text is in the ANSI code page with CR LF; characters cut
// between the pieces it is converted in would show as replacement marks.
TEST(UserText, RedirectedInTheAnsiCodePageWithCrLf) {
    TempDir dir;
    const std::string path = dir.file("out.txt");
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string text = "plain\n";
    std::wstring wide = L"plain\r\n";
    for (int i = 0; i < 300; ++i) {  // 600 bytes: the pieces end inside characters
        text += "\xc3\xa9";
        wide += L'\u00e9';
    }
    text += "\n";
    wide += L"\r\n";
    EXPECT_TRUE(platform::win32::write_user_text(file, text, true));
    ::CloseHandle(file);
    EXPECT_EQ(test_support::read_bytes(path), in_ansi(wide));
    EXPECT_FALSE(platform::win32::write_user_text(INVALID_HANDLE_VALUE, text, true));
}

// Redirected, a character the code page lacks is '?', never a look-alike
// (sigma as s, mu as the micro sign): read back, each character is itself
// or '?', whatever the code page.
TEST(UserText, RedirectedCharactersAreThemselvesOrQuestionMarks) {
    TempDir dir;
    const std::string path = dir.file("out.txt");
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::wstring wide = L"\u03c3\u03b7\u03bc \u00e9\u00b5 \u6d4b\u0141\u2013";
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(platform::win32::to_utf8(wide, utf8));
    EXPECT_TRUE(platform::win32::write_user_text(file, utf8, false));
    ::CloseHandle(file);
    const std::string bytes = test_support::read_bytes(path);
    std::wstring back(bytes.size(), L'\0');
    back.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                               back.data(), static_cast<int>(back.size()))));
    ASSERT_EQ(back.size(), wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i)
        EXPECT_TRUE(back[i] == wide[i] || back[i] == L'?') << i << ": U+" << std::hex << int(wide[i]) << " as U+" << int(back[i]);
}

TEST(WideText, RoundTripAndRefusals) {
    wchar_t wide[16];
    EXPECT_EQ(platform::win32::to_wide(kName, wide), 7u);
    EXPECT_EQ(std::wstring_view(wide), kWideName);
    char back[32];
    EXPECT_EQ(platform::win32::to_utf8(wide, back), sizeof kName - 1);
    EXPECT_STREQ(back, kName);
    wchar_t small[4];
    EXPECT_EQ(platform::win32::to_wide(kName, small), 0u);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_EQ(platform::win32::to_wide("\xc3", wide), 0u);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

}  // namespace
