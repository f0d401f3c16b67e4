// The point tables' field cutter against the one it replaces, and table
// readers built on it (each field cut then read, or each number read where
// it stands) against today's number-table reader, per line of a
// one-million-line table in memory. Run with
//   --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true
// and compare medians of one run: a reader on the cutter must stay within
// 5 % of today's.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "app/point_table_reader.h"
#include "app/survey_points.h"
#include "app/table/field_cutter.h"
#include "io/scan/decimal_conversion.h"
#include "io/scan/number_text.h"
#include "io/scan/powers_of_ten.h"

namespace {

constexpr int line_count = 1'000'000;

// One kind of line a million times, the lines as views into one text.
struct Table {
    std::string text;
    std::vector<std::string_view> lines;

    void add(const char* line, int size) { text.append(line, static_cast<std::size_t>(size)).push_back('\n'); }
    void cut() {
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t lf = text.find('\n', start);
            lines.emplace_back(text.data() + start, lf - start);
            start = lf + 1;
        }
    }
};

// Lines as survey exports write them: "E N Z", "E,N,Z" and
// "P1,4500010.523,300020.250,13.2,FENCE", three decimals.
struct Tables {
    Table blanks, commas, pnezd;

    Tables() {
        std::mt19937 random(20261207);
        std::uniform_real_distribution<double> east(300000, 310000), north(4500000, 4510000), height(0, 500);
        const char* const codes[] = {"TREE", "FENCE", "WALL", "MH", "EP"};
        char line[128];
        for (int i = 0; i < line_count; ++i) {
            const double e = east(random), n = north(random), z = height(random);
            blanks.add(line, std::snprintf(line, sizeof line, "%.3f %.3f %.3f", e, n, z));
            commas.add(line, std::snprintf(line, sizeof line, "%.3f,%.3f,%.3f", e, n, z));
            pnezd.add(line, std::snprintf(line, sizeof line, "P%d,%.3f,%.3f,%.1f,%s", i + 1, n, e, z, codes[i % 5]));
        }
        blanks.cut();
        commas.cut();
        pnezd.cut();
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

class MemoryRecords final : public io::RecordSource {
public:
    explicit MemoryRecords(const std::vector<std::string_view>& records) : records_(records) {}
    int next_record(std::string_view& record) override {
        if (next_ == records_.size()) return err::kEndOfFile;
        record = records_[next_++];
        return 0;
    }

private:
    const std::vector<std::string_view>& records_;
    std::size_t next_ = 0;
};

void set_per_line(benchmark::State& state) {
    state.counters["per_line"] =
        benchmark::Counter(line_count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Today's cutter, as the table reader holds it, for the comma and the
// default blank rule: the yardstick.
class BaselineCutter {
public:
    BaselineCutter(std::string_view line, bool comma) : line_(line), comma_(comma) {
        if (!comma_) skip_blanks();
    }
    bool next(std::string_view& field) {
        if (done_) return false;
        return comma_ ? cut_at(',', field) : cut_blanks(field);
    }

private:
    static constexpr bool is_blank(char c) { return c == ' ' || c == '\t'; }
    void skip_blanks() {
        while (at_ < line_.size() && is_blank(line_[at_])) ++at_;
    }
    static bool separates(char c) { return c == ';' || c == ','; }
    bool cut_at(char delimiter, std::string_view& field) {
        const std::size_t end = line_.find(delimiter, at_);
        std::string_view s = line_.substr(at_, end == std::string_view::npos ? std::string_view::npos : end - at_);
        while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
        while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
        field = s;
        if (end == std::string_view::npos) done_ = true;
        else at_ = end + 1;
        return true;
    }
    bool cut_blanks(std::string_view& field) {
        if (at_ == line_.size() && !after_mark_) {
            done_ = true;
            return false;
        }
        const std::size_t start = at_;
        while (at_ < line_.size() && !is_blank(line_[at_]) && !separates(line_[at_])) ++at_;
        field = line_.substr(start, at_ - start);
        skip_blanks();
        after_mark_ = at_ < line_.size() && separates(line_[at_]);
        if (after_mark_) {
            ++at_;
            skip_blanks();
        }
        return true;
    }

    std::string_view line_;
    std::size_t at_ = 0;
    bool comma_;
    bool after_mark_ = false;
    bool done_ = false;
};

const std::vector<std::string_view>& lines_of(std::int64_t kind) {
    const Tables& t = tables();
    return kind == 0 ? t.blanks.lines : kind == 1 ? t.commas.lines : t.pnezd.lines;
}

// Arg: 0 "E N Z" (today: the default blank rule), 1 "E,N,Z", 2 PNEZD (today: the comma rule).
void BM_CutBaseline(benchmark::State& state) {
    const std::vector<std::string_view>& lines = lines_of(state.range(0));
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const std::string_view line : lines) {
            BaselineCutter cutter(line, state.range(0) != 0);
            std::string_view field;
            while (cutter.next(field)) bytes += field.size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    set_per_line(state);
}
BENCHMARK(BM_CutBaseline)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_CutNew(benchmark::State& state) {
    const std::vector<std::string_view>& lines = lines_of(state.range(0));
    const auto delimiter = state.range(0) == 0 ? app::table::FieldDelimiter::blanks : app::table::FieldDelimiter::comma;
    char scratch[128];
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const std::string_view line : lines) {
            app::table::FieldCutter cutter(line, delimiter, scratch);
            app::table::Field field;
            while (cutter.next(field) == app::table::Cut::field) bytes += field.text.size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    set_per_line(state);
}
BENCHMARK(BM_CutNew)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Today's reader of `--columns xyz`, in double precision (range 1) or in
// single, its default without decimals (range 0).
void BM_ReaderToday(benchmark::State& state) {
    const std::vector<std::string_view>& lines = lines_of(state.range(0));
    app::TableFormat format;
    format.columns.count = 3;
    format.columns.columns[0] = app::Column::easting;
    format.columns.columns[1] = app::Column::northing;
    format.columns.columns[2] = app::Column::height;
    format.wide = state.range(1) != 0;
    for (auto _ : state) {
        MemoryRecords records(lines);
        app::SurveyPoints points{!format.wide};
        app::TableProblem problem;
        if (app::read_point_table(records, format, points, problem).outcome != app::TableOutcome::done)
            state.SkipWithError("refused");
        benchmark::DoNotOptimize(points.box);
    }
    set_per_line(state);
}
BENCHMARK(BM_ReaderToday)->Args({0, 0})->Args({0, 1})->Args({1, 1})->Unit(benchmark::kMillisecond);

bool plain_decimal_to_real64(const io::NumberText& number, double& value) {
    const bool plain = number.form == io::NumberText::Form::decimal && !number.exponent_part && !number.leftover;
    if (!plain || (number.digits >> 53) != 0 || number.fraction > 22) return false;
    const double magnitude = static_cast<double>(number.digits) / io::table_power_of_ten(number.fraction);
    value = number.negative ? -magnitude : magnitude;
    return true;
}

// A table reader as the new cutter makes it: the delimiter found from the
// first data line, each line cut into fields, each field recognised as one
// number and converted in double precision.
void BM_ReaderOnCutter(benchmark::State& state) {
    const std::vector<std::string_view>& lines = lines_of(state.range(0));
    std::vector<char> scratch;
    for (auto _ : state) {
        MemoryRecords records(lines);
        app::SurveyPoints points;
        bool detected = false;
        app::table::FieldDelimiter delimiter = app::table::FieldDelimiter::blanks;
        std::string_view line;
        while (records.next_record(line) == 0) {
            if (!app::table::is_data_line(line)) continue;
            if (!detected) {
                delimiter = app::table::detect_delimiter(line, false);
                detected = true;
            }
            if (scratch.size() < line.size()) scratch.resize(line.size());
            app::table::FieldCutter cutter(line, delimiter, scratch);
            double values[3];
            for (double& value : values) {
                app::table::Field field;
                io::NumberText number;
                if (cutter.next(field) != app::table::Cut::field) state.SkipWithError("missing");
                const io::NumberScan scan = io::recognise_number(field.text, 0, number);
                if (scan.ending != io::NumberEnd::text_end || scan.end != field.text.size())
                    state.SkipWithError("not a number");
                if (!plain_decimal_to_real64(number, value) && io::decimal_to_real64(number, value) != 0)
                    state.SkipWithError("no value");
                if (!std::isfinite(value)) state.SkipWithError("not finite");
            }
            if (!points.add({values[0], values[1], values[2]})) state.SkipWithError("memory");
        }
        benchmark::DoNotOptimize(points.box);
    }
    set_per_line(state);
}
BENCHMARK(BM_ReaderOnCutter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same, each number read where it stands (bare_field_start, take_field),
// cut first only when that fails.
void BM_ReaderInPlace(benchmark::State& state) {
    const std::vector<std::string_view>& lines = lines_of(state.range(0));
    std::vector<char> scratch;
    for (auto _ : state) {
        MemoryRecords records(lines);
        app::SurveyPoints points;
        bool detected = false;
        app::table::FieldDelimiter delimiter = app::table::FieldDelimiter::blanks;
        std::string_view line;
        while (records.next_record(line) == 0) {
            if (!app::table::is_data_line(line)) continue;
            if (!detected) {
                delimiter = app::table::detect_delimiter(line, false);
                detected = true;
            }
            if (scratch.size() < line.size()) scratch.resize(line.size());
            app::table::FieldCutter cutter(line, delimiter, scratch);
            double values[3];
            for (double& value : values) {
                app::table::Field field;
                io::NumberText number;
                const std::size_t start = cutter.bare_field_start();
                io::NumberScan scan{0, io::NumberEnd::malformed};
                if (start != std::string_view::npos) scan = io::recognise_number(line, start, number);
                if (scan.ending != io::NumberEnd::text_end || !cutter.take_field(scan.end, field)) {
                    state.SkipWithError("the general way");
                    break;
                }
                if (!plain_decimal_to_real64(number, value) && io::decimal_to_real64(number, value) != 0)
                    state.SkipWithError("no value");
                if (!std::isfinite(value)) state.SkipWithError("not finite");
            }
            if (!points.add({values[0], values[1], values[2]})) state.SkipWithError("memory");
        }
        benchmark::DoNotOptimize(points.box);
    }
    set_per_line(state);
}
BENCHMARK(BM_ReaderInPlace)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
