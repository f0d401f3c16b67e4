// F0.1 text of a million typical coordinates: ours against the standard
// library's exact fixed conversion and against printf-style formatting.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "io/format/field_format.h"

namespace {

constexpr std::size_t value_count = 1'000'000;

// Log-uniform magnitudes from 1e-3 to 1e6, both signs, fixed seed.
const std::vector<float>& coordinates() {
    static const std::vector<float> values = [] {
        std::mt19937_64 random(20261207);
        std::uniform_real_distribution<double> exponent(-3.0, 6.0);
        std::bernoulli_distribution negative(0.5);
        std::vector<float> v(value_count);
        for (auto& x : v) {
            const auto magnitude = static_cast<float>(std::pow(10.0, exponent(random)));
            x = negative(random) ? -magnitude : magnitude;
        }
        return v;
    }();
    return values;
}

// Formats every value once per iteration; `format` returns the text's length.
template <class Format>
void run(benchmark::State& state, Format format) {
    const auto& values = coordinates();
    char out[64];
    std::size_t total = 0;
    for (auto _ : state) {
        for (const float v : values) {
            total += format(v, out);
            benchmark::DoNotOptimize(out);
        }
    }
    benchmark::DoNotOptimize(total);
    const auto count = static_cast<double>(state.iterations()) * value_count;
    state.counters["ns_per_value"] = benchmark::Counter(count, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void FormatField_F0_1(benchmark::State& state) {
    run(state, [](float v, char (&out)[64]) {
        return io::format_field(io::field::F0_1, io::ItemValue::of(v), out).length;
    });
}

void ToChars_Fixed1(benchmark::State& state) {
    run(state, [](float v, char (&out)[64]) {
        return static_cast<std::size_t>(std::to_chars(out, out + sizeof out, v, std::chars_format::fixed, 1).ptr - out);
    });
}

void Snprintf_Point1f(benchmark::State& state) {
    run(state, [](float v, char (&out)[64]) {
        return static_cast<std::size_t>(std::snprintf(out, sizeof out, "%.1f", static_cast<double>(v)));
    });
}

BENCHMARK(FormatField_F0_1)->Unit(benchmark::kMillisecond);
BENCHMARK(ToChars_Fixed1)->Unit(benchmark::kMillisecond);
BENCHMARK(Snprintf_Point1f)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
