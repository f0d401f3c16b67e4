// A write that moves fewer bytes than asked: the rest is offered again, and
// when a later write fails, the file is cut back to whole records, in either
// mode and at the close.
#include <string>

#include "io/records_fixture.h"
#include "reporting/error_numbers.h"

namespace {

using platform::ErrorCategory;
using platform::testing::ScopedSyscallFailure;
using platform::testing::Syscall;
using test_support::read_bytes;
using test_support::RecordsTest;
using test_support::ScopedEnv;
using test_support::write_bytes;

constexpr int kRecords = 300;
constexpr std::size_t kRecordBytes = 9;  // "rec NNN" and CR LF

std::string record_text(int k) {
    return "rec " + std::string{char('0' + k / 100), char('0' + k / 10 % 10), char('0' + k % 10)};
}

std::string all_records() {
    std::string all;
    for (int k = 0; k < kRecords; ++k) all += record_text(k) + "\r\n";
    return all;
}

class TornWriteTest : public RecordsTest {};

TEST_F(TornWriteTest, ShortWritesGoOnAndFailedOnesLeaveWholeRecords) {
    struct Case {
        const char* what;
        const char* buffered;  // FORT_BUFFERED
        const char* blocks;    // FORT_BUFFERCOUNT
        int short_write;       // the write armed to move 3 bytes only
        bool then_fails;       // the write after it fails (disk full)
        bool cut_fails;        // and so does the cut that takes back its bytes
        int number;            // what the failing statement (or the close) gives
    };
    // Buffered with FORT_BLOCKSIZE 512, a buffer of one block goes out
    // every 28 records, the rest at the close. A buffer of four goes out
    // after 198 records in four writes of a block at most: the failing write
    // may follow whole blocks of the same buffer, which end inside records.
    const Case cases[] = {
        {"default, short then whole", nullptr, nullptr, 3, false, false, 0},
        {"default, short then full", nullptr, nullptr, 3, true, false, err::kWriteError},
        {"default, cut fails", nullptr, nullptr, 3, true, true, err::kWriteError},
        {"buffered, short then whole", "y", nullptr, 1, false, false, 0},
        {"buffered, short then full", "y", nullptr, 1, true, false, err::kWriteError},
        {"buffered at close, short then full", "y", nullptr, 11, true, false, err::kCloseError},
        {"buffered in blocks, second block short then full", "y", "4", 2, true, false, err::kWriteError},
        {"buffered in blocks, third block short then whole", "y", "4", 3, false, false, 0},
        {"buffered in blocks, last block short then full", "y", "4", 4, true, false, err::kWriteError},
    };
    const ScopedEnv block{"FORT_BLOCKSIZE", "512"};
    const std::string name = dir.file("3dpoint.dxf");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ScopedEnv mode{"FORT_BUFFERED", c.buffered};
        const ScopedEnv blocks{"FORT_BUFFERCOUNT", c.blocks};
        reread_settings();
        write_bytes(name, "an old drawing, longer than a record or two\r\n");
        ASSERT_EQ(open(20, name).number, 0);
        platform::testing::shorten_write(c.short_write, 3);
        if (c.then_fails) platform::testing::fail_syscall(Syscall::write, c.short_write + 1, ErrorCategory::disk_full);
        // The cut of the first record is no take-back: the second cut is.
        if (c.cut_fails) platform::testing::fail_syscall(Syscall::cut, 2, ErrorCategory::other);
        io::IoResult failed;
        std::size_t before = 0;  // the file's length before the failing statement
        for (int k = 0; k < kRecords && failed.ok(); ++k) {
            before = read_bytes(name).size();
            failed = put_record(20, record_text(k));
        }
        if (failed.ok()) {
            before = read_bytes(name).size();
            failed = io::close_unit(20);
        } else {
            io::close_unit(20);
        }
        platform::testing::clear_syscall_failures();
        EXPECT_EQ(failed.number, c.number);
        const std::string file = read_bytes(name);
        if (c.number == 0) {
            EXPECT_EQ(file, all_records());
            continue;
        }
        const ErrorCategory reported = c.cut_fails ? ErrorCategory::other : ErrorCategory::disk_full;
        EXPECT_EQ(failed.system_error, platform::testing::system_code(reported));
        if (c.cut_fails) {
            EXPECT_EQ(file.size(), before + 3) << "the torn record stays when it cannot be cut";
            continue;
        }
        // Exactly what went out before the failing write: whole records.
        EXPECT_EQ(file.size(), before);
        EXPECT_EQ(file.size() % kRecordBytes, 0u);
        EXPECT_EQ(file, all_records().substr(0, file.size()));
    }
}

}  // namespace
