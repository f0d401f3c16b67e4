#include "platform/terminal.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string_view>

#include "platform/files.h"
#include "platform/process_start.h"

namespace {

using platform::StandardStream;

// Puts a handle behind standard input for one scope.
class BehindStandardInput {
public:
    explicit BehindStandardInput(HANDLE handle) : saved_(::GetStdHandle(STD_INPUT_HANDLE)) {
        ::SetStdHandle(STD_INPUT_HANDLE, handle);
    }
    ~BehindStandardInput() { ::SetStdHandle(STD_INPUT_HANDLE, saved_); }
    BehindStandardInput(const BehindStandardInput&) = delete;
    BehindStandardInput& operator=(const BehindStandardInput&) = delete;

private:
    HANDLE saved_;
};

// Devices and pipes have no console mode and no width.
TEST(Terminal, DevicesAndPipesAreNoTerminals) {
    const HANDLE null_device = ::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(null_device, INVALID_HANDLE_VALUE);
    HANDLE reader = nullptr, writer = nullptr;
    ASSERT_TRUE(::CreatePipe(&reader, &writer, nullptr, 0));
    for (const HANDLE handle : {null_device, reader}) {
        const BehindStandardInput behind(handle);
        EXPECT_FALSE(platform::is_terminal(StandardStream::input));
        EXPECT_EQ(platform::terminal_columns(StandardStream::input), 0);
    }
    ::CloseHandle(null_device);
    ::CloseHandle(reader);
    ::CloseHandle(writer);
}

TEST(Terminal, StandardHandlesAreTheProcesssOwn) {
    EXPECT_EQ(platform::standard_handle(StandardStream::input),
              reinterpret_cast<platform::FileHandle>(::GetStdHandle(STD_INPUT_HANDLE)));
    EXPECT_EQ(platform::standard_handle(StandardStream::output),
              reinterpret_cast<platform::FileHandle>(::GetStdHandle(STD_OUTPUT_HANDLE)));
    EXPECT_EQ(platform::standard_handle(StandardStream::error),
              reinterpret_cast<platform::FileHandle>(::GetStdHandle(STD_ERROR_HANDLE)));
    const BehindStandardInput none(nullptr);
    EXPECT_EQ(platform::standard_handle(StandardStream::input), platform::kNoFile);
}

// A process started without standard output gets the null device there:
// writing to it succeeds and goes nowhere.
TEST(PrepareProcess, MissingStandardStreamsGetTheNullDevice) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::SetStdHandle(STD_OUTPUT_HANDLE, nullptr);
            platform::prepare_process();
            const platform::FileHandle output = platform::standard_handle(StandardStream::output);
            const bool filled = output != platform::kNoFile &&
                                ::GetFileType(reinterpret_cast<HANDLE>(output)) == FILE_TYPE_CHAR &&
                                platform::write_file(output, std::string_view{"x"}).error == 0;
            ::ExitProcess(filled ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
