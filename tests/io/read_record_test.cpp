#include <string>
#include <vector>

#include "io/records_fixture.h"
#include "io/write_field.h"
#include "reporting/error_numbers.h"

// Line ends are found a 64-byte block at a time and kept for the lines after:
// records must come out the same wherever lines fall against the blocks, the
// buffer's end and the bytes left stale behind a short read.
namespace {

using test_support::RecordsTest;
using test_support::ScopedEnv;
using test_support::write_bytes;
using Records = std::vector<std::string>;

// Lines of lengths from 0 to 150 in a fixed pseudo-random order, ended by
// `delimiter` (LF lines by CR LF or LF, now and then by extra CRs), and a
// last line without one.
std::string make_lines(char delimiter, std::size_t bytes) {
    std::string text;
    unsigned seed = 2024;
    for (int line = 0; text.size() < bytes; ++line) {
        seed = seed * 1103515245 + 12345;
        const std::size_t length = (seed >> 16) % 151;
        for (std::size_t k = 0; k < length; ++k) text += static_cast<char>('0' + (line + k) % 40);
        if (delimiter == '\n' && seed % 3 == 0) text += seed % 5 == 0 ? "\r\r" : "\r";
        text += delimiter;
    }
    return text + "tail";
}

// What the record layer must make of `text`: split at the delimiter, every
// CR before an LF dropped.
Records expected_records(const std::string& text, char delimiter) {
    Records records;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(delimiter, from)) != std::string::npos; from = at + 1) {
        std::string record = text.substr(from, at - from);
        if (delimiter == '\n') {
            while (!record.empty() && record.back() == '\r') record.pop_back();
        }
        records.push_back(record);
    }
    records.push_back(text.substr(from));
    return records;
}

TEST_F(RecordsTest, LinesFallingAnywhereAgainstBlocksAndBufferEnds) {
    struct Setting {
        const char* what;
        const char* block_size;
        const char* record_length;
        const char* terminator;
        char delimiter;
    };
    const Setting settings[] = {
        {"default buffer", nullptr, nullptr, nullptr, '\n'},
        {"smallest buffer, which grows for long lines", "512", nullptr, nullptr, '\n'},
        {"a buffer size no multiple of 64", nullptr, "9000", nullptr, '\n'},
        {"CR-delimited input", nullptr, nullptr, "CR", '\r'},
        {"CR-delimited input, smallest buffer", "512", nullptr, "CR", '\r'},
    };
    for (const Setting& s : settings) {
        SCOPED_TRACE(s.what);
        const ScopedEnv env[] = {{"FORT_BLOCKSIZE", s.block_size},
                                 {"FORT_FMT_RECL", s.record_length},
                                 {"FOR_FMT_TERMINATOR", s.terminator}};
        reread_settings();
        // Three buffers and more: every refill leaves stale line ends behind
        // the bytes read, and the last, short fill stops amid them.
        const std::string text = make_lines(s.delimiter, 30000);
        const std::string name = dir.file("input.txt");
        write_bytes(name, text);
        ASSERT_EQ(open(10, name).number, 0);
        int last = 0;
        EXPECT_EQ(read_all(10, last), expected_records(text, s.delimiter));
        EXPECT_EQ(last, err::kEndOfFile);
        EXPECT_EQ(io::close_unit(10).number, 0);
    }
}

// A short last fill leaves the line ends of the fill before it in the rest
// of the buffer, in the very block where the last lines are cut.
TEST_F(RecordsTest, LineEndsLeftFromAnEarlierFillAreNotRecords) {
    const ScopedEnv block_size{"FORT_BLOCKSIZE", "512"};
    reread_settings();
    std::string text;
    Records expected;
    for (int i = 0; i < 256; ++i) {
        text += "x\n";  // exactly the first 512-byte fill
        expected.push_back("x");
    }
    text += "yy\nzz";
    expected.push_back("yy");
    expected.push_back("zz");
    const std::string name = dir.file("input.txt");
    write_bytes(name, text);
    ASSERT_EQ(open(10, name).number, 0);
    int last = 0;
    EXPECT_EQ(read_all(10, last), expected);
    EXPECT_EQ(last, err::kEndOfFile);
    EXPECT_EQ(io::close_unit(10).number, 0);
}

// A write statement on a unit being read puts its record over the bytes read
// ahead; the next read must see the bytes as they now are, not the line ends
// found before the write.
TEST_F(RecordsTest, AWriteBetweenReadsIsSeenByTheNextRead) {
    const std::string name = dir.file("input.txt");
    write_bytes(name, "a\nb\nline3\nline4\nline5\n");
    ASSERT_EQ(open(10, name).number, 0);
    io::UnitRecordSource source{10};
    std::string_view record;
    // The second record is cut from the line ends found in the buffer.
    for (const std::string_view expected : {"a", "b"}) {
        ASSERT_EQ(source.next_record(record), 0);
        EXPECT_EQ(record, expected);
    }
    // The record area, as long as the record just read, grows first: blanks
    // cover the bytes read ahead; then "bbbbbbbbbb" and CR LF go over them
    // from where "b" began.
    ASSERT_EQ(io::write_field(10, io::field::A, io::ItemValue::of(std::string_view{"bbbbbbbbbb"})).number, 0);
    ASSERT_EQ(source.next_record(record), 0);
    EXPECT_EQ(record, "bbbbbbbb");
    // The rest of the 18 bytes once read ahead, and no delimiter: the file
    // has nothing more past the record written, so they end the input.
    ASSERT_EQ(source.next_record(record), 0);
    EXPECT_EQ(record, std::string(8, ' '));
    EXPECT_EQ(source.next_record(record), err::kEndOfFile);
    EXPECT_EQ(io::close_unit(10).number, 0);
}

}  // namespace
