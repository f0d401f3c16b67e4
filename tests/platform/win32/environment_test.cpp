// Names from the environment in any script: the wide-character environment
// is read, and the files the reports go to are opened by those names.
#include "platform/environment.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "platform/process.h"
#include "support/temp_dir.h"

namespace {

// "Survey's points" in Chinese, as UTF-8 and as the system spells it:
// outside every Western code page.
constexpr char kName[] = "\xe6\xb5\x8b\xe9\x87\x8f\xe7\x82\xb9.log";
constexpr wchar_t kWideName[] = L"\u6d4b\u91cf\u70b9.log";

TEST(EnvironmentText, ANameOutsideTheAnsiCodePageArrivesWhole) {
    test_support::TempDir dir;
    const std::wstring wide_path = (dir.path() / kWideName).wstring();
    ASSERT_TRUE(::SetEnvironmentVariableW(L"TDP_TEST_LOG", wide_path.c_str()));
    const char* value = platform::environment_text("TDP_TEST_LOG");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(std::string_view{value}, dir.path().string() + "\\" + kName);
    // What a report appends goes to the file of that name.
    EXPECT_TRUE(platform::append_to_file(value, std::string_view{"report\r\n"}));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / kWideName));
    ::SetEnvironmentVariableW(L"TDP_TEST_LOG", nullptr);
    EXPECT_EQ(platform::environment_text("TDP_TEST_LOG"), nullptr);
}

}  // namespace
