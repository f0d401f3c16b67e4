// What linework costs a survey run beside writing its points: 1M coded points
// in 100 strings shot in turn, joined into lines and walked as the writer
// walks them, against the least any writer of those points does, formatting
// their coordinates at the drawing's decimals. Also the reader's side: each
// point's code looked up and its words read. Run with
// --benchmark_enable_random_interleaving=true --benchmark_repetitions=N for
// medians of interleaved runs.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/linework/line_builder.h"
#include "app/linework/line_codes.h"
#include "app/linework/line_controls.h"
#include "io/format/fixed_decimals.h"

namespace {

constexpr std::uint32_t kPoints = 1'000'000;
constexpr std::uint32_t kDecimals = 3;

struct Survey {
    explicit Survey(std::uint32_t strings) {
        std::uint32_t seed = 12345;
        coordinates.resize(std::size_t{3} * kPoints);
        for (double& value : coordinates) {
            seed = seed * 1103515245 + 12345;
            value = 4'500'000.0 + static_cast<double>(seed >> 8) / 1024.0;
        }
        for (std::uint32_t s = 0; s < strings; ++s) codes.push_back("EP" + std::to_string(s + 1));
        for (std::uint32_t i = 0; i < kPoints; ++i) {
            const std::uint32_t s = i % strings;
            descriptions.push_back(codes[s] + (i < strings ? " B CURB" : " CURB"));
        }
    }
    std::vector<double> coordinates;
    std::vector<std::string> codes;
    std::vector<std::string> descriptions;
};

const Survey& survey(std::uint32_t strings) {
    static const Survey hundred(100);
    static const Survey three(3);
    return strings == 3 ? three : hundred;
}

std::size_t format_point(const Survey& survey, std::uint32_t point) {
    std::array<char, io::kFixedDecimalsRoom> text;
    std::size_t length = 0;
    for (std::size_t axis = 0; axis < 3; ++axis)
        length += io::format_fixed_decimals(survey.coordinates[std::size_t{3} * point + axis], kDecimals, '.', text);
    return length;
}

// The floor of writing the points: their coordinates as text, in file order.
void FormatPoints(benchmark::State& state) {
    const Survey& points = survey(100);
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (std::uint32_t i = 0; i < kPoints; ++i) bytes += format_point(points, i);
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

app::linework::LineWork build(std::uint32_t strings) {
    app::linework::LineBuilder builder;
    for (std::uint32_t i = 0; i < kPoints; ++i)
        builder.add(i, i % strings, i < strings ? app::linework::LineControl::begin : app::linework::LineControl::none);
    return builder.finish();
}

// The points joined into lines and the lines' vertices walked.
void BuildLines(benchmark::State& state) {
    const auto strings = static_cast<std::uint32_t>(state.range(0));
    for (auto _ : state) {
        const app::linework::LineWork work = build(strings);
        std::uint64_t sum = 0;
        for (std::size_t k = 0; k < work.size(); ++k)
            for (const std::uint32_t point : work.vertices(k)) sum += point;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

// As the writer will: the lines built, then each vertex's coordinates as
// text, in the lines' order rather than the file's.
void BuildAndFormatLines(benchmark::State& state) {
    const Survey& points = survey(100);
    for (auto _ : state) {
        const app::linework::LineWork work = build(100);
        std::size_t bytes = 0;
        for (std::size_t k = 0; k < work.size(); ++k)
            for (const std::uint32_t point : work.vertices(k)) bytes += format_point(points, point);
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

// The reader's part: each description split, its code looked up, its words read.
void ReadCodes(benchmark::State& state) {
    const Survey& points = survey(static_cast<std::uint32_t>(state.range(0)));
    app::linework::LineCodes codes;
    codes.add("EP");
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (const std::string& description : points.descriptions) {
            const auto parts = app::linework::split_description(description);
            app::linework::LineControl control;
            app::linework::ControlFault fault;
            if (!app::linework::parse_line_controls(parts.after_code, control, fault)) state.SkipWithError("refused");
            sum += codes.string_for(parts.code) + static_cast<std::uint32_t>(control);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

BENCHMARK(FormatPoints)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildLines)->Arg(100)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildAndFormatLines)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadCodes)->Arg(100)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
