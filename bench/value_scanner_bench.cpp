// Scanning a one-million-point list held in memory: the free-form scanner
// (one count statement, then one three-real statement per point) against
// loops that read the same values with std::from_chars and with strtof.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "io/scan/value_scanner.h"

namespace {

constexpr int point_count = 1'000'000;
constexpr double values_per_list = 3.0 * point_count + 1;

// "count" then "x y z" per record, coordinates with 1 to 3 decimals.
struct PointList {
    std::string text;
    std::vector<std::string_view> records;

    PointList() {
        std::mt19937 random(20261207);
        std::uniform_real_distribution<double> coordinate(-5000.0, 5000.0);
        std::uniform_int_distribution<int> decimals(1, 3);
        text = std::to_string(point_count) + "\n";
        char line[96];
        for (int i = 0; i < point_count; ++i) {
            const int n = std::snprintf(line, sizeof line, "%.*f %.*f %.*f\n", decimals(random), coordinate(random),
                                        decimals(random), coordinate(random), decimals(random), coordinate(random));
            text.append(line, static_cast<std::size_t>(n));
        }
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t lf = text.find('\n', start);
            records.emplace_back(text.data() + start, lf - start);
            start = lf + 1;
        }
    }
};

const PointList& point_list() {
    static const PointList list;
    return list;
}

class MemoryRecords final : public io::RecordSource {
public:
    explicit MemoryRecords(const std::vector<std::string_view>& records) : records_(records) {}
    int next_record(std::string_view& record) override {
        if (next_ == records_.size()) return 24;
        record = records_[next_++];
        return 0;
    }

private:
    const std::vector<std::string_view>& records_;
    std::size_t next_ = 0;
};

void set_per_value(benchmark::State& state) {
    state.counters["per_value"] =
        benchmark::Counter(values_per_list, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ValueScanner(benchmark::State& state) {
    const PointList& list = point_list();
    for (auto _ : state) {
        MemoryRecords records(list.records);
        io::ValueScanner scanner;
        std::int32_t count = 0;
        if (scanner.begin_statement(records) != 0 || scanner.read_item(count) != 0) state.SkipWithError("count");
        scanner.end_statement();
        float sum = 0.0f;
        for (std::int32_t i = 0; i < count; ++i) {
            float x = 0.0f, y = 0.0f, z = 0.0f;
            if (scanner.begin_statement(records) != 0 || scanner.read_item(x) != 0 || scanner.read_item(y) != 0 ||
                scanner.read_item(z) != 0) {
                state.SkipWithError("point");
                break;
            }
            scanner.end_statement();
            sum += x + y + z;
        }
        benchmark::DoNotOptimize(sum);
    }
    set_per_value(state);
}
BENCHMARK(BM_ValueScanner)->Unit(benchmark::kMillisecond);

// Blank-separated values, one record at a time, with std::from_chars.
void BM_FromChars(benchmark::State& state) {
    const PointList& list = point_list();
    for (auto _ : state) {
        const std::string_view first = list.records[0];
        std::int32_t count = 0;
        std::from_chars(first.data(), first.data() + first.size(), count);
        float sum = 0.0f;
        for (std::int32_t i = 1; i <= count; ++i) {
            const std::string_view record = list.records[static_cast<std::size_t>(i)];
            const char* p = record.data();
            const char* const end = p + record.size();
            for (int k = 0; k < 3; ++k) {
                while (p < end && *p == ' ') ++p;
                float v = 0.0f;
                p = std::from_chars(p, end, v).ptr;
                sum += v;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    set_per_value(state);
}
BENCHMARK(BM_FromChars)->Unit(benchmark::kMillisecond);

// The same with strtof over the whole text.
void BM_Strtof(benchmark::State& state) {
    const PointList& list = point_list();
    for (auto _ : state) {
        char* p = const_cast<char*>(list.text.c_str());
        const long count = std::strtol(p, &p, 10);
        float sum = 0.0f;
        for (long i = 0; i < 3 * count; ++i) sum += std::strtof(p, &p);
        benchmark::DoNotOptimize(sum);
    }
    set_per_value(state);
}
BENCHMARK(BM_Strtof)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
