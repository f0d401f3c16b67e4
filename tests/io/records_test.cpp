#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "reporting/error_numbers.h"
#include "io/records_fixture.h"
#include "io/report_capture.h"
#include "reporting/report.h"

namespace {

namespace fs = std::filesystem;
using platform::testing::ScopedSyscallFailure;
using platform::testing::Syscall;
using test_support::read_bytes;
using test_support::RecordsTest;
using test_support::ScopedEnv;
using test_support::write_bytes;
using Records = std::vector<std::string>;

TEST_F(RecordsTest, LineEndsOfEveryKindGiveTheSameRecords) {
    struct Case {
        std::string_view bytes;
        Records records;
    };
    const Case cases[] = {
        {"1 2\r\n3\r\n", {"1 2", "3"}},
        {"1 2\n3\n", {"1 2", "3"}},
        {"1 2\r\n3\n", {"1 2", "3"}},
        {"1 2\n3", {"1 2", "3"}},     // last line without terminator
        {"\n\r\n", {"", ""}},         // empty lines are records
        {"a\r\r\n", {"a"}},           // every CR before the LF belongs to the line end
        {"a\rb\n", {"a\rb"}},         // a CR elsewhere is a character
        {"a\n\x1a\nb\n", {"a"}},       // Ctrl-Z ends the input
        {"\x1a\x1a\n", {"\x1a\x1a"}},  // only a lone Ctrl-Z
    };
    for (const Case& c : cases) {
        const std::string name = dir.file("input.txt");
        write_bytes(name, c.bytes);
        ASSERT_EQ(open(10, name).number, 0);
        int last = 0;
        EXPECT_EQ(read_all(10, last), c.records) << testing::PrintToString(c.bytes);
        EXPECT_EQ(last, err::kEndOfFile);
        EXPECT_EQ(io::close_unit(10).number, 0);
    }
}

TEST_F(RecordsTest, RecordsLongerThanTheBufferAndAcrossRefills) {
    // Lines of every length around the buffer size, read with the default
    // buffer and with the smallest one FORT_BLOCKSIZE allows.
    std::string bytes;
    Records expected;
    for (std::size_t length : {0u, 511u, 512u, 513u, 8191u, 8192u, 8193u, 70000u, 2u}) {
        expected.push_back(std::string(length, static_cast<char>('a' + length % 26)));
        bytes += expected.back() + (length % 2 == 0 ? "\r\n" : "\n");
    }
    bytes += "tail";
    expected.push_back("tail");
    const std::string name = dir.file("input.txt");
    write_bytes(name, bytes);
    for (const char* block : {static_cast<const char*>(nullptr), "512"}) {
        const ScopedEnv env{"FORT_BLOCKSIZE", block};
        reread_settings();
        ASSERT_EQ(open(10, name).number, 0);
        int last = 0;
        EXPECT_EQ(read_all(10, last), expected);
        EXPECT_EQ(last, err::kEndOfFile);
        EXPECT_EQ(io::close_unit(10).number, 0);
    }
}

// Both modes cut a longer existing file after the new records, and write
// the same bytes; opening and closing alone leave the file as it was.
TEST_F(RecordsTest, BufferedAndUnbufferedOutputCutTheOldFileAlike) {
    Records records;
    for (int i = 0; i < 3000; ++i) records.push_back(std::string(static_cast<std::size_t>(i % 37), 'a' + i % 26));
    records.push_back(std::string(9000, 'L'));  // longer than the buffer
    records.push_back("last");
    std::string expected;
    for (const std::string& record : records) expected += record + "\r\n";
    for (int mode = 0; mode < 2; ++mode) {
        const ScopedEnv env{"FORT_BUFFERED", mode == 0 ? "0" : "y"};
        const std::string name = dir.file("out" + std::to_string(mode));
        write_bytes(name, std::string(200000, 'o'));
        ASSERT_EQ(open(20, name).number, 0);
        ASSERT_EQ(io::close_unit(20).number, 0);
        EXPECT_EQ(fs::file_size(name), 200000u);
        ASSERT_EQ(open(20, name).number, 0);
        EXPECT_EQ(test_support::connected_unit(20)->buffered, mode == 1);
        for (const std::string& record : records) ASSERT_EQ(put_record(20, record).number, 0);
        ASSERT_EQ(io::close_unit(20).number, 0);
        EXPECT_EQ(read_bytes(name), expected) << "buffered " << mode;
    }
}

TEST_F(RecordsTest, TerminatorRuleFromTheEnvironment) {
    struct Case {
        const char* rule;
        std::string_view output;  // unit 20
        Records input;            // unit 10 reading "a\r\nb\rc\n"
        bool warned;
    };
    const Case cases[] = {
        {"LF;10-19", "x\ny\n", {"a", "\nb", "c\n"}, false},  // unit 10 gets the list's CR
        {"CR:1,5-7,20", "x\ry\r", {"a", "b\rc"}, false},
        // Bad syntax, an empty list included: the rule is dropped with a warning.
        {"LF;CR", "x\r\ny\r\n", {"a", "b\rc"}, true},
        {"", "x\r\ny\r\n", {"a", "b\rc"}, true},
        {nullptr, "x\r\ny\r\n", {"a", "b\rc"}, false},
    };
    for (const Case& c : cases) {
        const ScopedEnv env{"FOR_FMT_TERMINATOR", c.rule};
        const char* label = c.rule == nullptr ? "(unset)" : c.rule;
        reread_settings();
        test_support::ReportCapture warnings;
        const std::string input = dir.file("input.txt");
        const std::string output = dir.file("3dpoint.dxf");
        write_bytes(input, "a\r\nb\rc\n");
        ASSERT_EQ(open(10, input).number, 0);
        ASSERT_EQ(open(20, output).number, 0);
        int last = 0;
        EXPECT_EQ(read_all(10, last), c.input) << label;
        EXPECT_EQ(put_record(20, "x").number, 0);
        EXPECT_EQ(put_record(20, "y").number, 0);
        EXPECT_EQ(io::close_unit(10).number, 0);
        EXPECT_EQ(io::close_unit(20).number, 0);
        EXPECT_EQ(read_bytes(output), c.output) << label;
        const std::string warning =
            "forrtl: warning (400): FOR_FMT_TERMINATOR environment variable has erroneous syntax, ignored\r\n";
        // A run-time that cannot hold an empty value removes the variable
        // instead: the case of no rule at all.
        const bool held = std::getenv("FOR_FMT_TERMINATOR") != nullptr;
        EXPECT_EQ(warnings.text(), c.warned && held ? warning : "") << label;
    }
}

TEST_F(RecordsTest, OpenFailuresGiveTheirNumbers) {
    write_bytes(dir.file("plain"), "");
    struct Case {
        std::string name;
        int number;
    };
    const Case cases[] = {
        {dir.file("no/such/dir/input.txt"), err::kFileNotFound},
        {dir.file("plain/input.txt"), err::kFileNotFound},
        {dir.file(std::string(257 - dir.path().string().size() - 1, 'n')), err::kFileNameError},
        {"   " + dir.file("x") + std::string(300, ' '), 0},  // blanks around do not count
        {dir.file("nul") + std::string(1, '\0') + "tail", err::kFileNameError},
        {"", err::kFileNotFound},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(open(10, c.name).number, c.number) << c.name;
        EXPECT_EQ(test_support::connected_unit(10) != nullptr, c.number == 0);
        io::close_unit(10);
    }
    EXPECT_TRUE(fs::exists(dir.file("x")));
    // Units outside -5 to 99 have no slot: nothing is opened or created.
    for (const std::int32_t unit : {-6, 100}) {
        EXPECT_EQ(open(unit, dir.file("y")).number, err::kOpenFailure) << unit;
        EXPECT_EQ(io::close_unit(unit).number, 0) << unit;
    }
    EXPECT_FALSE(fs::exists(dir.file("y")));
}

// The read-write open is refused; the read-only retry decides.
TEST_F(RecordsTest, ReadOnlyRetry) {
    const std::string name = dir.file("input.txt");
    write_bytes(name, "1\n");
    {
        const ScopedSyscallFailure refused{Syscall::open, 1, platform::ErrorCategory::access_denied};
        ASSERT_EQ(open(10, name).number, 0);
        EXPECT_TRUE(test_support::connected_unit(10)->read_only);
        std::string_view record;
        ASSERT_EQ(io::UnitRecordSource{10}.next_record(record), 0);
        EXPECT_EQ(record, "1");
        ASSERT_EQ(io::close_unit(10).number, 0);
    }
    const ScopedSyscallFailure refused{Syscall::open, 1, platform::ErrorCategory::write_protected, true};
    const io::IoResult result = open(10, name);
    EXPECT_EQ(result.number, err::kPermissionDenied);
    EXPECT_EQ(result.unit, 10);
    EXPECT_EQ(result.system_error, 0u);  // a named failure shows no system text
}

TEST_F(RecordsTest, PlatformFailuresGiveTheirNumbers) {
    struct Case {
        const char* what;
        Syscall call;
        bool buffered;
        int write_number;  // of the first record
        int close_number;
    };
    const Case cases[] = {
        {"write", Syscall::write, false, err::kWriteError, 0},
        {"cut after the first record", Syscall::cut, false, err::kWriteError, 0},
        {"pending output at close", Syscall::write, true, 0, err::kCloseError},
        {"close", Syscall::close, false, 0, err::kCloseError},
    };
    for (const Case& c : cases) {
        const ScopedEnv env{"FORT_BUFFERED", c.buffered ? "T" : nullptr};
        ASSERT_EQ(open(20, dir.file("3dpoint.dxf")).number, 0);
        const ScopedSyscallFailure failure{c.call, 1, platform::ErrorCategory::other};
        // A failure carries the platform's code for the report.
        const auto code_of = [](int number) { return number == 0 ? 0u : platform::testing::system_code(platform::ErrorCategory::other); };
        const io::IoResult written = put_record(20, "x");
        EXPECT_EQ(written.number, c.write_number) << c.what;
        EXPECT_EQ(written.system_error, code_of(c.write_number)) << c.what;
        const io::IoResult closed = io::close_unit(20);
        EXPECT_EQ(closed.number, c.close_number) << c.what;
        EXPECT_EQ(closed.system_error, code_of(c.close_number)) << c.what;
        // The unit is disconnected either way.
        EXPECT_EQ(test_support::connected_unit(20), nullptr);
    }
}

TEST_F(RecordsTest, ReadAndMemoryFailuresGiveTheirNumbers) {
    const std::string name = dir.file("input.txt");
    write_bytes(name, std::string(10000, 'x') + "\n");
    ASSERT_EQ(open(10, name).number, 0);
    {
        const ScopedSyscallFailure failure{Syscall::heap, 1, platform::ErrorCategory::out_of_memory};
        std::string_view record;
        EXPECT_EQ(io::UnitRecordSource{10}.next_record(record), err::kNoBufferMemory);  // the 8192-byte buffer cannot double
    }
    {
        const ScopedSyscallFailure failure{Syscall::read, 1, platform::ErrorCategory::other};
        io::UnitRecordSource records{10};
        std::string_view record;
        EXPECT_EQ(records.next_record(record), err::kReadError);
        EXPECT_EQ(records.failure(err::kReadError).system_error, platform::testing::system_code(platform::ErrorCategory::other));
    }
    const ScopedSyscallFailure failure{Syscall::heap, 1, platform::ErrorCategory::out_of_memory, true};
    EXPECT_EQ(open(11, dir.file("other")).number, err::kNoMemory);
}

TEST_F(RecordsTest, CloseAllUnitsClosesEveryConnectedUnit) {
    const ScopedEnv env{"FORT_BUFFERED", "1"};
    for (const std::int32_t unit : {20, 10, 99, -5}) {
        ASSERT_EQ(open(unit, dir.file("u" + std::to_string(unit))).number, 0);
        ASSERT_EQ(put_record(unit, std::to_string(unit)).number, 0);
    }
    EXPECT_EQ(io::close_all_units(), 0);
    for (const std::int32_t unit : {20, 10, 99, -5}) {
        EXPECT_EQ(test_support::connected_unit(unit), nullptr);
        EXPECT_EQ(read_bytes(dir.file("u" + std::to_string(unit))), std::to_string(unit) + "\r\n");
    }
}

// A fault's unit pass may run where the fault struck inside the allocator:
// it writes out what is buffered and closes, and releases no heap block.
TEST_F(RecordsTest, AFaultsUnitPassFlushesClosesAndFreesNothing) {
    const ScopedEnv env{"FORT_BUFFERED", "1"};
    const std::string path = dir.file("fault");
    EXPECT_EXIT(
        {
            if (open(20, path).number != 0 || put_record(20, "kept").number != 0) std::_Exit(3);
            rt::set_unit_pass(io::close_all_units);
            rt::run_unit_pass(true);
            const io::UnitSlot* slot = io::find_slot(20);
            const bool kept = slot->connection != nullptr && slot->connection->buffer.data() != nullptr &&
                              !slot->connection->connected;
            std::_Exit(kept && read_bytes(path) == "kept\r\n" ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(RecordsTest, CloseAllUnitsStopsAtTheFirstFailingClose) {
    ASSERT_EQ(open(20, dir.file("b")).number, 0);
    ASSERT_EQ(open(10, dir.file("a")).number, 0);
    test_support::ReportCapture reports;
    {
        const ScopedSyscallFailure failure{Syscall::close, 1, platform::ErrorCategory::other};
        EXPECT_EQ(io::close_all_units(), err::kCloseError);
    }
    // Unit 10 comes first in the table; unit 20 is not visited.
    EXPECT_EQ(reports.text(), "forrtl: severe (28): CLOSE error, unit 10, file " + dir.file("a") + "\r\n");
    EXPECT_EQ(io::find_slot(10)->connection, nullptr);
    EXPECT_NE(test_support::connected_unit(20), nullptr);
}

}  // namespace
