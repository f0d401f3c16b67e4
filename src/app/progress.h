// The progress line of a long conversion: one line on the terminal behind
// standard error, redrawn in place a few times a second and erased at the end.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace app {

enum class Phase : std::uint8_t { reading, writing };

// Longest line ever drawn, whatever the terminal's width.
inline constexpr std::size_t kProgressLineRoom = 120;

// The text of the line, such as "3dpoint: reading 1200 of 5000 points (24%),
// 480000 points/s" ("3dpoint: reading 1200 lines" when `total` is below zero), cut to fit `columns` - 1 so that it never wraps: a wrapped
// line cannot be taken back with a carriage return. The rate is left out
// until the phase has run for a measurable time. Returns the length.
std::size_t format_progress(std::span<char, kProgressLineRoom> out, Phase phase, std::int64_t done,
                            std::int64_t total, std::uint64_t phase_nanoseconds, int columns);

// How the line reaches the terminal; tests hand in their own.
struct ProgressTerminal {
    std::uint64_t (*now)();                     // monotonic nanoseconds
    int (*columns)();                           // 0 when unknown
    void (*write)(std::span<const char> bytes); // failures are ignored: the line is a courtesy
};

// Standard error and the platform's clock.
ProgressTerminal standard_error_terminal();

// True when standard error is a terminal, TDP_NO_PROGRESS is not set at all,
// and no standard stream that the conversion reads or writes is a terminal:
// points typed in or a drawing scrolling past would run into the line.
bool progress_wanted(bool input_is_standard, bool output_is_standard);

class ProgressLine {
public:
    static constexpr std::uint64_t kFirstDrawAfter = 1'000'000'000;  // since the line was made
    static constexpr std::uint64_t kRedrawEvery = 250'000'000;
    static constexpr std::uint32_t kPollEvery = 4096;  // steps between looks at the clock

    // Active on `terminal` when `active`; an inactive line never draws and
    // costs one decrement a step. Counts its time from here.
    explicit ProgressLine(bool active, const ProgressTerminal& terminal = standard_error_terminal(),
                         std::uint32_t poll_every = kPollEvery);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // A new phase of `points` points, each `steps_per_point` calls of step().
    void begin(Phase phase, std::int64_t points, std::uint32_t steps_per_point);
    // A phase whose length is not known beforehand (a table's lines): the
    // line tells how far it is, one step a line.
    void begin_uncounted(Phase phase);
    void step() {
        if (--until_poll_ == 0) poll();
    }
    // `steps` steps at once, with the looks at the clock as many calls of
    // step() would make.
    void step(std::uint32_t steps) {
        while (steps >= until_poll_) {
            steps -= until_poll_;
            poll();
        }
        until_poll_ -= steps;
    }
    // Erases the line; nothing is drawn after it.
    void end();

    // Erases the line for a report and keeps it away: see clear_progress_for_report.
    void close();

private:
    enum State : int { idle, shown, drawing, closed };

    void poll();
    void draw(std::uint64_t now);

    const bool active_;
    const ProgressTerminal terminal_;
    const std::uint32_t poll_every_;
    std::uint32_t until_poll_;

    Phase phase_ = Phase::reading;
    std::int64_t points_ = 0;
    bool counted_ = true;
    std::uint32_t steps_per_point_ = 1;
    std::uint64_t steps_ = 0;  // steps of the phase up to the last poll

    std::uint64_t started_ = 0;
    std::uint64_t phase_started_ = 0;
    std::uint64_t last_draw_ = 0;

    // Shared with a report that may come from another thread or a signal
    // handler: the width on the screen is read only by whoever closes the
    // line after taking it out of `shown`.
    std::atomic<int> state_{idle};
    std::size_t shown_width_ = 0;
};

// The reporter's hook (set when an active line is made): erases the line of
// the run, if any, so that the report starts on a clean line, and keeps it
// away for the rest of the run. Safe in a signal handler.
void clear_progress_for_report();

}  // namespace app
