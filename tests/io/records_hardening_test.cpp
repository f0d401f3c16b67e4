// The record layer over files other programs (or another run) also use, and
// over platform checks that fail.
#include <cerrno>
#include <string>

#include "io/records_fixture.h"
#include "io/write_field.h"
#include "reporting/error_numbers.h"

namespace {

using platform::testing::ScopedSyscallFailure;
using platform::testing::Syscall;
using test_support::read_bytes;
using test_support::RecordsTest;
using test_support::ScopedEnv;
using test_support::write_bytes;

constexpr std::string_view kOld = "an older output, longer than the new one\r\n";

// A second connection to a file in use is refused writing, as a second run
// of the program would be; the first goes on undisturbed.
TEST_F(RecordsTest, SecondConnectionToAFileInUseIsReadOnly) {
    const std::string name = dir.file("3dpoint.dxf");
    write_bytes(name, kOld);
    ASSERT_EQ(open(20, name).number, 0);
    ASSERT_EQ(open(21, name).number, 0);
    const io::UnitConnection* second = test_support::connected_unit(21);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->read_only);
    EXPECT_EQ(io::write_field(21, io::field::I3, io::ItemValue::of(7)).number, err::kWriteToReadOnly);
    EXPECT_EQ(io::close_unit(21).number, 0);
    ASSERT_EQ(io::write_field(20, io::field::I3, io::ItemValue::of(0)).number, 0);
    ASSERT_EQ(io::close_unit(20).number, 0);
    EXPECT_EQ(read_bytes(name), "  0\r\n");
    // Closed, the file is free for a writer again.
    ASSERT_EQ(open(21, name).number, 0);
    EXPECT_FALSE(test_support::connected_unit(21)->read_only);
    EXPECT_EQ(io::close_unit(21).number, 0);
}

// Unknown whether the file is on disk means unknown whether to cut it: the
// open fails and keeps the platform's code for the report. Each check the
// open makes is failed in turn (a backend may look before and after
// opening, or once), until an open makes no more checks than those.
TEST_F(RecordsTest, FailingDiskFileCheckFailsTheOpen) {
    const std::string name = dir.file("3dpoint.dxf");
    write_bytes(name, kOld);
    int checks = 0;
    for (int nth = 1; nth <= 8; ++nth) {
        const ScopedSyscallFailure failure{Syscall::file_type, nth, platform::ErrorCategory::other};
        const io::IoResult result = open(20, name);
        if (result.number == 0) {
            EXPECT_EQ(io::close_unit(20).number, 0);
            break;
        }
        ++checks;
        EXPECT_EQ(result.number, err::kOpenFailure) << nth;
        EXPECT_EQ(test_support::connected_unit(20), nullptr) << nth;
        EXPECT_EQ(result.system_error, platform::testing::system_code(platform::ErrorCategory::other)) << nth;
    }
    EXPECT_GE(checks, 1);
    EXPECT_EQ(read_bytes(name), kOld);
}

// The first record cuts the old file; when the cut fails, nothing of the
// record has gone out over the old file's head, in either mode.
TEST_F(RecordsTest, FailingCutLeavesTheOldFileWhole) {
    const std::string name = dir.file("3dpoint.dxf");
    for (const char* buffered : {static_cast<const char*>(nullptr), "y"}) {
        const ScopedEnv mode{"FORT_BUFFERED", buffered};
        write_bytes(name, kOld);
        ASSERT_EQ(open(20, name).number, 0);
        {
            const ScopedSyscallFailure failure{Syscall::cut, 1, platform::ErrorCategory::other};
            EXPECT_EQ(io::write_field(20, io::field::I3, io::ItemValue::of(0)).number, err::kWriteError);
        }
        EXPECT_EQ(io::close_unit(20).number, 0);
        EXPECT_EQ(read_bytes(name), kOld) << (buffered ? "buffered" : "unbuffered");
    }
}

}  // namespace
