#include "io/record_plan.h"

#include <filesystem>
#include <string>
#include <vector>

#include "io/records_fixture.h"
#include "io/write_field.h"
#include "reporting/error_numbers.h"

// A plan must be indistinguishable from its statements one by one: the same
// bytes, the same system writes (each write's size shows as the file's
// length when the next write fails) and the same failure at the same record.
namespace {

using io::ItemValue;
using io::PlannedRecord;
using platform::testing::ScopedSyscallFailure;
using platform::testing::Syscall;
using test_support::read_bytes;
using test_support::RecordsTest;
using test_support::ScopedEnv;
using test_support::write_bytes;

namespace field = io::field;

// A point-like run of records: fixed codes and names around four slots of
// every kind the program writes, and a string slot.
constexpr PlannedRecord kPointRecords[] = {
    PlannedRecord::fixed(field::I3, ItemValue::of(0)),  PlannedRecord::fixed(field::A, ItemValue::of("POINT")),
    PlannedRecord::fixed(field::I3, ItemValue::of(5)),  PlannedRecord::slot(field::I0),
    PlannedRecord::fixed(field::I3, ItemValue::of(8)),  PlannedRecord::fixed(field::I1, ItemValue::of(0)),
    PlannedRecord::fixed(field::I3, ItemValue::of(10)), PlannedRecord::slot(field::F0_1),
    PlannedRecord::fixed(field::I3, ItemValue::of(20)), PlannedRecord::slot(field::F0_1),
    PlannedRecord::slot(field::A),                      PlannedRecord::fixed(field::I6, ItemValue::of(35)),
};

// Coordinates at chosen decimals: slots whose room depends on the value.
constexpr PlannedRecord kDecimalRecords[] = {
    PlannedRecord::fixed(field::I3, ItemValue::of(10)), PlannedRecord::slot(field::decimals(3)),
    PlannedRecord::fixed(field::I3, ItemValue::of(20)), PlannedRecord::slot(field::decimals(9)),
};

// Fixed records only, with nothing after them.
constexpr PlannedRecord kFixedOnly[] = {
    PlannedRecord::fixed(field::I3, ItemValue::of(0)),
    PlannedRecord::fixed(field::A, ItemValue::of("ENDSEC")),
};

// A fixed value its field refuses: the plan is served one by one.
constexpr PlannedRecord kRefusedFixed[] = {
    PlannedRecord::fixed(field::I3, ItemValue::of(7)),
    PlannedRecord::fixed(field::I3, ItemValue::of("text")),
    PlannedRecord::slot(field::I0),
};

using Issue = std::vector<ItemValue>;

// An earlier output, longer than any new one: it must be cut.
const std::string kOldOutput(65536, 'x');

std::vector<Issue> point_issues(int points) {
    std::vector<Issue> issues;
    for (int i = 1; i <= points; ++i) {
        const float x = static_cast<float>(i) * 1234.56f - 40000.0f;
        // Long texts now and then, so that records of many lengths meet the block edges.
        const std::string_view name = i % 7 == 0 ? "a rather longer name for this point" : "p";
        issues.push_back({ItemValue::of(i), ItemValue::of(x), ItemValue::of(-x / 3.0f), ItemValue::of(name)});
    }
    return issues;
}

// What a run leaves behind.
struct Outcome {
    std::size_t failed_issue = 0;  // index of the issue that failed; the count when none did
    int number = 0;
    std::uint64_t system_error = 0;
    int close_number = 0;
    std::string file;

    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    return out << "{failed issue " << o.failed_issue << ", number " << o.number << ", system " << o.system_error
               << ", close " << o.close_number << ", " << o.file.size() << " bytes}";
}

class RecordPlanTest : public RecordsTest {
protected:
    // Writes `issues` through `plan`, or through its statements one by one,
    // into a file that held `old` before.
    Outcome run(const io::RecordPlan& plan, const std::vector<Issue>& issues, bool whole, std::string_view old = {}) {
        const std::string name = dir.file("out.dxf");
        // A new file rather than an emptied one: the disk flushes a file
        // that was cut to nothing and written again.
        std::filesystem::remove(name);
        if (!old.empty()) write_bytes(name, old);
        Outcome outcome;
        outcome.failed_issue = issues.size();
        if (const io::IoResult opened = open(20, name); !opened.ok()) {
            ADD_FAILURE() << "open failed with " << opened.number;
            return outcome;
        }
        for (std::size_t i = 0; i < issues.size(); ++i) {
            const io::IoResult result = whole ? io::write_plan(20, plan, issues[i]) : one_by_one(plan, issues[i]);
            if (!result.ok()) {
                outcome.failed_issue = i;
                outcome.number = result.number;
                outcome.system_error = result.system_error;
                break;
            }
        }
        outcome.close_number = io::close_unit(20).number;
        outcome.file = read_bytes(name);
        return outcome;
    }

    static io::IoResult one_by_one(const io::RecordPlan& plan, const Issue& values) {
        std::size_t slot = 0;
        for (const PlannedRecord& record : plan.records()) {
            const ItemValue& value = record.value ? *record.value : values[slot++];
            if (const io::IoResult result = io::write_field(20, record.spec, value); !result.ok()) return result;
        }
        return {};
    }

    // Compares the two ways over a file that held `old`, then with every
    // write failing in turn until a run makes fewer writes than the one
    // chosen to fail. The failing runs start without a file: cutting one
    // that had bytes costs the disk a flush.
    void expect_same_writes(const io::RecordPlan& plan, const std::vector<Issue>& issues, std::string_view old = {}) {
        EXPECT_EQ(run(plan, issues, true, old), run(plan, issues, false, old));
        const Outcome clean = run(plan, issues, false);
        for (int nth = 1;; ++nth) {
            Outcome expected;
            {
                const ScopedSyscallFailure failure{Syscall::write, nth, platform::ErrorCategory::disk_full};
                expected = run(plan, issues, false);
            }
            Outcome actual;
            {
                const ScopedSyscallFailure failure{Syscall::write, nth, platform::ErrorCategory::disk_full};
                actual = run(plan, issues, true);
            }
            ASSERT_EQ(actual, expected) << "write " << nth << " failing";
            if (expected == clean) break;  // this run made fewer writes than nth
        }
    }
};

TEST_F(RecordPlanTest, SameBytesAndWritesAsTheStatementsUnderEverySetting) {
    struct Setting {
        const char* buffered;
        const char* block_size;
        const char* buffer_count;
        const char* record_length;
        const char* terminator;
    };
    const Setting settings[] = {
        {nullptr, nullptr, nullptr, nullptr, nullptr},
        {nullptr, nullptr, nullptr, "20", nullptr},  // fields wider than the record area: one by one
        {nullptr, nullptr, nullptr, nullptr, "LF"},
        {"y", nullptr, nullptr, nullptr, nullptr},
        {"y", "512", nullptr, nullptr, nullptr},     // blocks that fill every few points
        {"y", "512", "3", nullptr, "CR"},
        {"y", nullptr, nullptr, "60", "LF"},         // a smaller record area keeps more in the buffer
        {"y", "1024", nullptr, "300", nullptr},      // areas so large that no record stays
    };
    const io::RecordPlan plan{kPointRecords};
    ASSERT_TRUE(plan.whole());
    for (const Setting& s : settings) {
        SCOPED_TRACE(testing::Message() << "FORT_BUFFERED=" << (s.buffered ? s.buffered : "-") << " FORT_BLOCKSIZE="
                                        << (s.block_size ? s.block_size : "-") << " FORT_BUFFERCOUNT="
                                        << (s.buffer_count ? s.buffer_count : "-") << " FORT_FMT_RECL="
                                        << (s.record_length ? s.record_length : "-") << " FOR_FMT_TERMINATOR="
                                        << (s.terminator ? s.terminator : "-"));
        const ScopedEnv env[] = {{"FORT_BUFFERED", s.buffered},
                                 {"FORT_BLOCKSIZE", s.block_size},
                                 {"FORT_BUFFERCOUNT", s.buffer_count},
                                 {"FORT_FMT_RECL", s.record_length},
                                 {"FOR_FMT_TERMINATOR", s.terminator}};
        reread_settings();
        // Unbuffered, every record is a write of its own: fewer points do.
        expect_same_writes(plan, point_issues(s.buffered ? 60 : 12), kOldOutput);
    }
}

TEST_F(RecordPlanTest, EdgeCasesBehaveAsTheStatements) {
    struct Case {
        const char* what;
        std::span<const PlannedRecord> records;
        std::vector<Issue> issues;
        const char* record_length;
    };
    const std::vector<Issue> points = point_issues(5);
    std::vector<Issue> mismatched = points;
    mismatched[3][1] = ItemValue::of("not a number");  // a string under F0.1: 61 at its record
    std::vector<Issue> wide_text = points;
    wide_text[2][3] = ItemValue::of(std::string_view{
        "a name longer than the record area of a unit with a short fixed record length, which fails its statement"});
    // Values below 1e15 take the usual room, larger ones (and NaN) the
    // largest double's: an issue mixing them must still place every byte.
    std::vector<Issue> decimals;
    for (const double v : {1.5, -0.0004, 1e300, -999999999999999.9, 1e15, std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::max(), 4500000.1235})
        for (int k = 0; k < 40; ++k) decimals.push_back({ItemValue::of(v * (k + 1)), ItemValue::of(v / (k + 1))});
    const Case cases[] = {
        {"decimals of every size", kDecimalRecords, decimals, nullptr},
        {"decimals wider than a fixed record length", kDecimalRecords, decimals, "40"},
        {"fixed records only", kFixedOnly, std::vector<Issue>(10), nullptr},
        {"a refused fixed value", kRefusedFixed, {{ItemValue::of(1)}, {ItemValue::of(2)}}, nullptr},
        {"a refused slot value", kPointRecords, mismatched, nullptr},
        {"a text wider than a fixed record length", kPointRecords, wide_text, "50"},
        {"a text that grows the default record area", kPointRecords, wide_text, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* buffered : {static_cast<const char*>(nullptr), "y"}) {
            const ScopedEnv env[] = {{"FORT_BUFFERED", buffered}, {"FORT_FMT_RECL", c.record_length}};
            reread_settings();
            expect_same_writes(io::RecordPlan{c.records}, c.issues);
        }
    }
}

TEST_F(RecordPlanTest, ReadOnlyUnitFailsAtTheFirstRecord) {
    const std::string name = dir.file("out.dxf");
    write_bytes(name, "kept\r\n");
    {
        const ScopedSyscallFailure refused{Syscall::open, 1, platform::ErrorCategory::access_denied};
        ASSERT_EQ(open(20, name).number, 0);
    }
    const io::RecordPlan plan{kPointRecords};
    const io::IoResult result = io::write_plan(20, plan, point_issues(1)[0]);
    EXPECT_EQ(result.number, err::kWriteToReadOnly);
    EXPECT_EQ(io::close_unit(20).number, 0);
    EXPECT_EQ(read_bytes(name), "kept\r\n");
}

TEST(RecordPlan, TooManyRecordsAreServedOneByOne) {
    std::vector<PlannedRecord> records(io::RecordPlan::kMostRecords + 1, PlannedRecord::fixed(field::I1, ItemValue::of(1)));
    EXPECT_FALSE(io::RecordPlan{records}.whole());
    records.pop_back();
    EXPECT_TRUE(io::RecordPlan{records}.whole());
}

}  // namespace
