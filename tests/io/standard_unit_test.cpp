// Units connected to standard input and output instead of a named file.
#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "io/unit_connection.h"
#include "io/unit_table.h"
#include "io/records_fixture.h"

namespace {

using test_support::read_bytes;
using test_support::write_bytes;

// Puts a file behind a standard descriptor for one scope; the unit's close
// may close the descriptor, so the process's own is put back at the end.
class FileBehind {
public:
    FileBehind(int descriptor, const std::string& path) : descriptor_(descriptor), saved_(::dup(descriptor)) {
        const int file = ::open(path.c_str(), O_RDWR);
        ::dup2(file, descriptor_);
        ::close(file);
    }
    ~FileBehind() { restore(); }
    void restore() {
        if (saved_ < 0) return;
        ::dup2(saved_, descriptor_);
        ::close(saved_);
        saved_ = -1;
    }
    FileBehind(const FileBehind&) = delete;
    FileBehind& operator=(const FileBehind&) = delete;

private:
    int descriptor_;
    int saved_;
};

class StandardUnitTest : public test_support::RecordsTest {};

// Standard output is written where it stands and never cut, even with a disk
// file behind it; each record goes out at once, even when buffering is asked.
TEST_F(StandardUnitTest, OutputIsNeitherCutNorBuffered) {
    const test_support::ScopedEnv buffering{"FORT_BUFFERED", "yes"};
    const std::string path = dir.file("behind");
    write_bytes(path, std::string(20, 'x'));
    std::string name, after_first;
    int opened, first, second, closed;
    {
        FileBehind behind(STDOUT_FILENO, path);
        opened = io::open_standard_unit(20, platform::StandardStream::output, "standard output").number;
        if (const io::UnitConnection* connection = test_support::connected_unit(20)) name = connection->name();
        first = put_record(20, "  0").number;
        after_first = read_bytes(path);
        second = put_record(20, "EOF").number;
        closed = io::close_unit(20).number;
    }
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(name, "standard output");
    EXPECT_EQ(first, 0);
    EXPECT_EQ(after_first, "  0\r\n" + std::string(15, 'x'));
    EXPECT_EQ(second, 0);
    EXPECT_EQ(closed, 0);
    EXPECT_EQ(read_bytes(path), "  0\r\nEOF\r\n" + std::string(10, 'x'));
}

TEST_F(StandardUnitTest, InputIsReadToItsEnd) {
    const std::string path = dir.file("points");
    write_bytes(path, "2\r\n1 2 3\nlast");
    std::vector<std::string> records;
    int last = 0;
    {
        FileBehind behind(STDIN_FILENO, path);
        ASSERT_EQ(io::open_standard_unit(10, platform::StandardStream::input, "standard input").number, 0);
        records = read_all(10, last);
        io::close_unit(10);
    }
    EXPECT_EQ(records, (std::vector<std::string>{"2", "1 2 3", "last"}));
    EXPECT_EQ(last, 24);
    EXPECT_EQ(read_bytes(path), "2\r\n1 2 3\nlast") << "the input is left as it was";
}

}  // namespace
