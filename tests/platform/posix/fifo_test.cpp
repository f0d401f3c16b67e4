// A FIFO named as a unit's file: the open holds neither end, the first
// transfer opens the one it needs, and the other side's going shows. The
// transfers run in a child, so that one that never ends fails the test
// instead of hanging it.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <thread>

#include "platform/files.h"
#include "support/temp_dir.h"

namespace {

using platform::Access;
using platform::Share;
using testing::ExitedWithCode;

platform::FileHandle hold(const std::string& path) {
    const auto opened = platform::open_or_create(path.c_str(), Access::read_write, Share::read);
    if (opened.handle == platform::kNoFile || opened.disk_file) ::_exit(90);
    return opened.handle;
}

class FifoDeathTest : public ::testing::Test {
protected:
    FifoDeathTest() { ::mkfifo(path.c_str(), 0600); }

    test_support::TempDir dir;
    std::string path = dir.file("input.txt");
};

// Nobody reads it: a writer that will not wait is refused.
[[noreturn]] void open_then_try_a_writer(const std::string& path) {
    const platform::FileHandle held = hold(path);
    errno = 0;
    const bool refused = ::open(path.c_str(), O_WRONLY | O_NONBLOCK) == -1 && errno == ENXIO;
    ::_exit(refused && platform::close_file(held) == 0 ? 0 : 1);
}

[[noreturn]] void read_to_the_end(const std::string& path) {
    ::alarm(20);
    const platform::FileHandle held = hold(path);
    std::thread writer([&path] {
        const int fd = ::open(path.c_str(), O_WRONLY);  // waits for the first read
        (void)!::write(fd, "2\n1 2 3\n", 8);
        ::close(fd);
    });
    std::string got;
    char buffer[4];
    for (;;) {
        const auto read = platform::read_file(held, buffer);
        if (read.error != 0) ::_exit(2);
        if (read.bytes == 0) break;
        got.append(buffer, read.bytes);
    }
    writer.join();
    ::_exit(got == "2\n1 2 3\n" ? 0 : 3);
}

// Exits with the error of the first write that failed.
[[noreturn]] void write_until_the_reader_goes(const std::string& path) {
    ::alarm(20);
    ::signal(SIGPIPE, SIG_IGN);
    const platform::FileHandle held = hold(path);
    std::thread reader([&path] {
        const int fd = ::open(path.c_str(), O_RDONLY);  // waits for the first write
        char some[2];
        (void)!::read(fd, some, sizeof some);
        ::close(fd);
    });
    platform::TransferResult written;
    const std::string record(100, 'x');
    do {
        written = platform::write_file(held, record);
    } while (written.error == 0);
    reader.join();
    ::_exit(static_cast<int>(written.error));
}

TEST_F(FifoDeathTest, TheOpenHoldsNeitherEnd) { EXPECT_EXIT(open_then_try_a_writer(path), ExitedWithCode(0), ""); }

TEST_F(FifoDeathTest, InputEndsWhenItsWriterCloses) { EXPECT_EXIT(read_to_the_end(path), ExitedWithCode(0), ""); }

TEST_F(FifoDeathTest, OutputWhoseReaderHasGoneFails) {
    EXPECT_EXIT(write_until_the_reader_goes(path), ExitedWithCode(EPIPE), "");
}

}  // namespace
