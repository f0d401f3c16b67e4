#include "app/progress.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace {

using app::Phase;
using app::ProgressLine;

constexpr std::uint64_t kMs = 1'000'000;

std::string format(Phase phase, std::int64_t done, std::int64_t total, std::uint64_t nanoseconds, int columns) {
    std::array<char, app::kProgressLineRoom> out;
    out.fill('#');
    return {out.data(), app::format_progress(out, phase, done, total, nanoseconds, columns)};
}

TEST(FormatProgress, TextRateAndWidth) {
    struct Case {
        Phase phase;
        std::int64_t done, total;
        std::uint64_t nanoseconds;
        int columns;
        std::string text;
    };
    const Case cases[] = {
        {Phase::reading, 1200, 5000, 2500 * kMs, 80, "3dpoint: reading 1200 of 5000 points (24%), 480 points/s"},
        {Phase::writing, 5000, 5000, 1000 * kMs, 80, "3dpoint: writing 5000 of 5000 points (100%), 5000 points/s"},
        // The percentage rounds down: 99.99% is not done.
        {Phase::writing, 9999, 10000, 1000 * kMs, 80, "3dpoint: writing 9999 of 10000 points (99%), 9999 points/s"},
        {Phase::reading, 2147483647, 2147483647, 1000 * kMs, 0,
         "3dpoint: reading 2147483647 of 2147483647 points (100%), 2147483647 points/s"},
        // Too early for a rate worth showing.
        {Phase::writing, 10, 100, 9 * kMs, 80, "3dpoint: writing 10 of 100 points (10%)"},
        {Phase::writing, 0, 100, 0, 80, "3dpoint: writing 0 of 100 points (0%)"},
        // One column is kept free so the line never wraps; unknown width is 80.
        {Phase::reading, 1200, 5000, 2500 * kMs, 22, "3dpoint: reading 1200"},
        {Phase::reading, 1, 2, 0, 10000, "3dpoint: reading 1 of 2 points (50%)"},
        {Phase::reading, 1200, 5000, 2500 * kMs, 1, ""},
        {Phase::reading, 1200, 5000, 2500 * kMs, -5, "3dpoint: reading 1200 of 5000 points (24%), 480 points/s"},
        // No count beforehand: the lines read so far.
        {Phase::reading, 1200, -1, 2500 * kMs, 80, "3dpoint: reading 1200 lines, 480 points/s"},
        {Phase::reading, 0, -1, 0, 80, "3dpoint: reading 0 lines"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(format(c.phase, c.done, c.total, c.nanoseconds, c.columns), c.text) << c.text;
}

// A terminal whose clock the test sets and whose screen it reads back.
struct FakeTerminal {
    static inline std::uint64_t now = 0;
    static inline int columns = 80;
    static inline std::string written;

    static app::ProgressTerminal terminal() {
        return {[] { return now; }, [] { return columns; },
                [](std::span<const char> bytes) { written.append(bytes.data(), bytes.size()); }};
    }
};

class ProgressLineTest : public testing::Test {
protected:
    ProgressLineTest() {
        FakeTerminal::now = 5000 * kMs;
        FakeTerminal::columns = 80;
        FakeTerminal::written.clear();
    }
    // Runs `steps` steps with the clock at `at` ms after the line was made.
    static void steps_at(ProgressLine& line, std::uint64_t at, int steps) {
        FakeTerminal::now = 5000 * kMs + at * kMs;
        for (int i = 0; i < steps; ++i) line.step();
    }
    static std::string take() { return std::exchange(FakeTerminal::written, {}); }
};

TEST_F(ProgressLineTest, FirstDrawAfterASecondThenAFewTimesASecond) {
    ProgressLine line(true, FakeTerminal::terminal(), 10);
    line.begin(Phase::reading, 1000, 1);
    steps_at(line, 999, 100);
    EXPECT_EQ(take(), "") << "nothing in the first second";
    steps_at(line, 1000, 10);
    EXPECT_EQ(take(), "\r3dpoint: reading 110 of 1000 points (11%), 110 points/s");
    steps_at(line, 1249, 100);
    EXPECT_EQ(take(), "") << "too soon for a redraw";
    steps_at(line, 1250, 9);
    EXPECT_EQ(take(), "") << "between two looks at the clock";
    steps_at(line, 1250, 1);
    EXPECT_EQ(take(), "\r3dpoint: reading 220 of 1000 points (22%), 176 points/s");
}

TEST_F(ProgressLineTest, StepsPerPointAndAShorterLineCoveringALongerOne) {
    ProgressLine line(true, FakeTerminal::terminal(), 12);
    line.begin(Phase::reading, 100000, 1);
    steps_at(line, 500, 23988);
    steps_at(line, 2000, 12);
    const std::string reading = "\r3dpoint: reading 24000 of 100000 points (24%), 12000 points/s";
    EXPECT_EQ(take(), reading);
    line.begin(Phase::writing, 100000, 12);
    steps_at(line, 2100, 12 * 4);
    steps_at(line, 4000, 12);
    // Blanks cover the rest of the longer line before.
    const std::string writing = "\r3dpoint: writing 5 of 100000 points (0%), 2 points/s";
    EXPECT_EQ(take(), writing + std::string(reading.size() - writing.size(), ' '));
}

TEST_F(ProgressLineTest, StepsTakenTogetherDrawAsStepsOneByOne) {
    // Batches smaller than, equal to and larger than the polling interval.
    for (const std::uint32_t batch : {1u, 3u, 7u, 12u, 30u}) {
        std::string screens[2];
        for (const bool together : {false, true}) {
            FakeTerminal::now = 5000 * kMs;
            ProgressLine line(true, FakeTerminal::terminal(), 7);
            line.begin(Phase::writing, 1000, batch);
            for (std::uint64_t point = 1; point <= 200; ++point) {
                FakeTerminal::now = 5000 * kMs + point * 20 * kMs;
                if (together) {
                    line.step(batch);
                } else {
                    for (std::uint32_t k = 0; k < batch; ++k) line.step();
                }
            }
            line.end();
            screens[together] = take();
        }
        EXPECT_EQ(screens[true], screens[false]) << batch << " steps at a time";
        EXPECT_NE(screens[false], "");
    }
}

TEST_F(ProgressLineTest, NarrowTerminalAndEnd) {
    FakeTerminal::columns = 20;
    ProgressLine line(true, FakeTerminal::terminal(), 1);
    line.begin(Phase::writing, 10, 1);
    steps_at(line, 1500, 1);
    EXPECT_EQ(take(), "\r3dpoint: writing 1 ");
    line.end();
    EXPECT_EQ(take(), "\r" + std::string(19, ' ') + "\r");
    steps_at(line, 3000, 5);
    line.end();
    EXPECT_EQ(take(), "") << "nothing after the end";
}

TEST_F(ProgressLineTest, NothingToEraseWhenNothingWasDrawn) {
    ProgressLine line(true, FakeTerminal::terminal(), 1);
    line.begin(Phase::reading, 10, 1);
    steps_at(line, 100, 5);
    line.end();
    EXPECT_EQ(take(), "");
}

TEST_F(ProgressLineTest, EmptyPhaseDrawsNothing) {
    ProgressLine line(true, FakeTerminal::terminal(), 1);
    line.begin(Phase::reading, 0, 1);
    steps_at(line, 3000, 5);
    line.begin(Phase::writing, -3, 12);
    steps_at(line, 6000, 50);
    EXPECT_EQ(take(), "");
}

TEST_F(ProgressLineTest, InactiveLineNeverTouchesTheTerminal) {
    ProgressLine line(false, FakeTerminal::terminal(), 1);
    line.begin(Phase::reading, 10, 1);
    steps_at(line, 5000, 10);
    line.end();
    EXPECT_EQ(take(), "");
    app::clear_progress_for_report();
    EXPECT_EQ(take(), "");
}

// A report erases the line of the run and keeps it away from then on, so
// that what the report says is not drawn over.
TEST_F(ProgressLineTest, AReportClearsTheLineForGood) {
    ProgressLine line(true, FakeTerminal::terminal(), 1);
    line.begin(Phase::reading, 100, 1);
    steps_at(line, 1000, 1);
    const std::string drawn = "\r3dpoint: reading 1 of 100 points (1%), 1 points/s";
    EXPECT_EQ(take(), drawn);
    app::clear_progress_for_report();
    EXPECT_EQ(take(), "\r" + std::string(drawn.size() - 1, ' ') + "\r");
    app::clear_progress_for_report();
    steps_at(line, 9000, 10);
    line.end();
    EXPECT_EQ(take(), "");
}

TEST_F(ProgressLineTest, AGoneLineIsNoLongerTheOneReportsClear) {
    {
        ProgressLine line(true, FakeTerminal::terminal(), 1);
        line.begin(Phase::reading, 100, 1);
        steps_at(line, 1000, 1);
    }
    take();
    app::clear_progress_for_report();
    EXPECT_EQ(take(), "");
}

}  // namespace
