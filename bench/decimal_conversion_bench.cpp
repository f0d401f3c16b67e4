// Recognised decimals to double: the exact conversion (and its inline plain
// path) against the text round trip it replaced, on coordinates with one to
// three decimals, on 17-digit values, and on values with large exponents.
// The texts are recognised beforehand: only the conversion is timed.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "io/scan/decimal_conversion.h"
#include "io/scan/real64_reference.h"

namespace {

constexpr int kValueCount = 4096;

enum Kind { coordinates, seventeen_digits, large_exponents };

std::vector<io::NumberText> numbers(Kind kind) {
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> coordinate(-5'000'000.0, 5'000'000.0);
    std::uniform_int_distribution<int> decimals(1, 3), exponent(-300, 300);
    std::vector<io::NumberText> result(kValueCount);
    for (io::NumberText& number : result) {
        char text[64];
        switch (kind) {
        case coordinates: std::snprintf(text, sizeof text, "%.*f", decimals(random), coordinate(random)); break;
        case seventeen_digits: std::snprintf(text, sizeof text, "%.17g", coordinate(random)); break;
        case large_exponents: std::snprintf(text, sizeof text, "%.9e", coordinate(random) * std::pow(10.0, exponent(random))); break;
        }
        const std::string_view view(text);
        if (io::recognise_number(view, 0, number).end != view.size()) std::abort();
    }
    return result;
}

template <typename Convert>
void run(benchmark::State& state, Convert convert) {
    const std::vector<io::NumberText> values = numbers(static_cast<Kind>(state.range(0)));
    for (auto _ : state) {
        double sum = 0.0;
        for (const io::NumberText& number : values) {
            double value = 0.0;
            convert(number, value);
            sum += value;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["per_value"] = benchmark::Counter(kValueCount, benchmark::Counter::kIsIterationInvariantRate |
                                                                      benchmark::Counter::kInvert);
}

void BM_Exact(benchmark::State& state) {
    run(state, [](const io::NumberText& number, double& value) { io::decimal_to_real64(number, value); });
}

void BM_ExactPlainFirst(benchmark::State& state) {
    run(state, [](const io::NumberText& number, double& value) {
        if (!io::plain_decimal_to_real64(number, value)) io::decimal_to_real64(number, value);
    });
}

void BM_TextRoundTrip(benchmark::State& state) {
    run(state, [](const io::NumberText& number, double& value) { reference::decimal_to_real64(number, value, 0); });
}

}  // namespace

// Argument: 0 coordinates, 1 seventeen digits, 2 large exponents.
BENCHMARK(BM_Exact)->DenseRange(0, 2);
BENCHMARK(BM_ExactPlainFirst)->DenseRange(0, 2);
BENCHMARK(BM_TextRoundTrip)->DenseRange(0, 2);

BENCHMARK_MAIN();
