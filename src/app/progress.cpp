#include "app/progress.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/process.h"
#include "platform/terminal.h"
#include "reporting/report.h"

namespace app {
namespace {

constexpr int kAssumedColumns = 80;
constexpr std::uint64_t kRateAfter = 10'000'000;  // a rate from less time is noise
// How long a report waits for a draw on another thread to finish: a draw is
// one write, so this is ample; it is bounded for a fault handler that
// interrupted a draw on its own thread.
constexpr int kDrawWaitSpins = 1'000'000;

// The line of the run, for the reporter's hook.
std::atomic<ProgressLine*> g_active_line{nullptr};

std::uint64_t platform_now() { return platform::monotonic_nanoseconds(); }
int standard_error_columns() { return platform::terminal_columns(platform::StandardStream::error); }
void write_standard_error(std::span<const char> bytes) { platform::write_standard_error(bytes); }

// A carriage return, then `width` blanks over the old text, then back again.
void erase(const ProgressTerminal& terminal, std::size_t width) {
    std::array<char, kProgressLineRoom + 2> blanks;
    blanks.fill(' ');
    blanks[0] = '\r';
    blanks[width + 1] = '\r';
    terminal.write({blanks.data(), width + 2});
}

}  // namespace

std::size_t format_progress(std::span<char, kProgressLineRoom> out, Phase phase, std::int64_t done,
                            std::int64_t total, std::uint64_t phase_nanoseconds, int columns) {
    const long long percent = total > 0 ? static_cast<long long>(done) * 100 / total : 0;
    const char* const doing = phase == Phase::reading ? "reading" : "writing";
    char text[kProgressLineRoom + 64];
    // A table has no count: only how far the reading is.
    int length = total < 0 ? std::snprintf(text, sizeof text, "3dpoint: %s %lld lines", doing, static_cast<long long>(done))
                           : std::snprintf(text, sizeof text, "3dpoint: %s %lld of %lld points (%lld%%)", doing,
                                           static_cast<long long>(done), static_cast<long long>(total), percent);
    if (phase_nanoseconds >= kRateAfter && length > 0) {
        const std::uint64_t rate = static_cast<std::uint64_t>(done) * 1'000'000'000u / phase_nanoseconds;
        length += std::snprintf(text + length, sizeof text - length, ", %" PRIu64 " points/s", rate);
    }
    if (length < 0) return 0;
    const int usable = (columns > 0 ? columns : kAssumedColumns) - 1;
    const std::size_t width = std::min({static_cast<std::size_t>(length), out.size(),
                                        static_cast<std::size_t>(std::max(usable, 0))});
    std::memcpy(out.data(), text, width);
    return width;
}

ProgressTerminal standard_error_terminal() { return {platform_now, standard_error_columns, write_standard_error}; }

bool progress_wanted(bool input_is_standard, bool output_is_standard) {
    using platform::StandardStream;
    if (std::getenv("TDP_NO_PROGRESS") != nullptr) return false;
    if (!platform::is_terminal(StandardStream::error)) return false;
    if (input_is_standard && platform::is_terminal(StandardStream::input)) return false;
    return !(output_is_standard && platform::is_terminal(StandardStream::output));
}

ProgressLine::ProgressLine(bool active, const ProgressTerminal& terminal, std::uint32_t poll_every)
    : active_(active), terminal_(terminal), poll_every_(std::max<std::uint32_t>(poll_every, 1)),
      until_poll_(poll_every_) {
    if (!active_) return;
    started_ = phase_started_ = terminal_.now();
    g_active_line.store(this);
    rt::set_clear_status_line(clear_progress_for_report);
}

ProgressLine::~ProgressLine() {
    ProgressLine* self = this;
    g_active_line.compare_exchange_strong(self, nullptr);
}

void ProgressLine::begin_uncounted(Phase phase) {
    begin(phase, 0, 1);
    counted_ = false;
}

void ProgressLine::begin(Phase phase, std::int64_t points, std::uint32_t steps_per_point) {
    counted_ = true;
    phase_ = phase;
    points_ = points;
    steps_per_point_ = std::max<std::uint32_t>(steps_per_point, 1);
    steps_ = 0;
    until_poll_ = poll_every_;
    if (active_) phase_started_ = terminal_.now();
}

void ProgressLine::poll() {
    until_poll_ = poll_every_;
    if (!active_ || (counted_ && points_ <= 0)) return;
    steps_ += poll_every_;
    const std::uint64_t now = terminal_.now();
    if (now - started_ < kFirstDrawAfter) return;
    if (state_.load() == shown && now - last_draw_ < kRedrawEvery) return;
    draw(now);
}

void ProgressLine::draw(std::uint64_t now) {
    // Only this thread draws, so a failed exchange means a report closed the line.
    int expected = state_.load();
    if (expected == closed || !state_.compare_exchange_strong(expected, drawing)) return;

    const auto steps = static_cast<std::int64_t>(steps_ / steps_per_point_);
    const std::int64_t done = counted_ ? std::min<std::int64_t>(steps, points_) : steps;
    std::array<char, kProgressLineRoom> text;
    const std::size_t width =
        format_progress(text, phase_, done, counted_ ? points_ : -1, now - phase_started_, terminal_.columns());
    // Blanks cover what is left of a longer line drawn before.
    std::array<char, 1 + 2 * kProgressLineRoom> line;
    line[0] = '\r';
    std::memcpy(line.data() + 1, text.data(), width);
    const std::size_t cover = std::max(width, shown_width_);
    std::fill(line.begin() + 1 + static_cast<std::ptrdiff_t>(width), line.begin() + 1 + static_cast<std::ptrdiff_t>(cover), ' ');
    terminal_.write({line.data(), 1 + cover});

    shown_width_ = cover;
    last_draw_ = now;
    state_.store(shown);
}

void ProgressLine::end() {
    close();
    ProgressLine* self = this;
    g_active_line.compare_exchange_strong(self, nullptr);
}

void ProgressLine::close() {
    for (int spins = 0;; ++spins) {
        int state = state_.load();
        if (state == drawing && spins < kDrawWaitSpins) continue;
        if (state == closed) return;
        if (state_.compare_exchange_strong(state, closed)) {
            if (state != idle) erase(terminal_, shown_width_);
            return;
        }
    }
}

void clear_progress_for_report() {
    if (ProgressLine* line = g_active_line.load(); line != nullptr) line->close();
}

}  // namespace app
