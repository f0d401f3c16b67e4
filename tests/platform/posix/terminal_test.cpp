#include "platform/terminal.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

namespace {

using platform::StandardStream;

// Puts a descriptor behind standard input for one scope.
class BehindStandardInput {
public:
    explicit BehindStandardInput(int descriptor) : saved_(::dup(STDIN_FILENO)) { ::dup2(descriptor, STDIN_FILENO); }
    ~BehindStandardInput() {
        ::dup2(saved_, STDIN_FILENO);
        ::close(saved_);
    }
    BehindStandardInput(const BehindStandardInput&) = delete;
    BehindStandardInput& operator=(const BehindStandardInput&) = delete;

private:
    int saved_;
};

TEST(Terminal, AFileIsNoTerminalAndHasNoWidth) {
    const int null_device = ::open("/dev/null", O_RDWR);
    ASSERT_GE(null_device, 0);
    {
        const BehindStandardInput behind(null_device);
        EXPECT_FALSE(platform::is_terminal(StandardStream::input));
        EXPECT_EQ(platform::terminal_columns(StandardStream::input), 0);
    }
    ::close(null_device);
}

TEST(Terminal, APseudoTerminalTellsItsWidth) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 57;
    ASSERT_EQ(::ioctl(terminal, TIOCSWINSZ, &size), 0);
    {
        const BehindStandardInput behind(terminal);
        EXPECT_TRUE(platform::is_terminal(StandardStream::input));
        EXPECT_EQ(platform::terminal_columns(StandardStream::input), 57);
    }
    ::close(terminal);
    ::close(master);
}

TEST(Terminal, StandardHandlesAreTheProcesssOwn) {
    EXPECT_EQ(platform::standard_handle(StandardStream::input), STDIN_FILENO);
    EXPECT_EQ(platform::standard_handle(StandardStream::output), STDOUT_FILENO);
    EXPECT_EQ(platform::standard_handle(StandardStream::error), STDERR_FILENO);
}

}  // namespace
