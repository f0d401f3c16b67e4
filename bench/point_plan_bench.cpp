// The points of a DXF file written both ways the record layer offers, in the
// same run and to the same kind of file: twelve write statements per point
// (write_field, as the header and trailer go), and the point's records as
// one plan (write_plan, as write_dxf issues them). Both write the same bytes;
// the benchmark checks that before it times anything. Run with
// --benchmark_enable_random_interleaving=true --benchmark_repetitions=N for
// medians of interleaved runs.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/dxf/entities.h"
#include "io/io_size_settings.h"
#include "io/open_close_unit.h"
#include "io/statement.h"
#include "io/write_field.h"

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kUnit = 20;

struct Points {
    explicit Points(std::int32_t count) : x(static_cast<std::size_t>(count)), y(x.size()), z(x.size()) {
        unsigned seed = 12345;
        for (std::vector<float>* axis : {&x, &y, &z}) {
            for (float& value : *axis) {
                seed = seed * 1103515245 + 12345;
                value = static_cast<float>(static_cast<int>(seed >> 8) % 2000000 - 1000000) / 64.0f;
            }
        }
    }
    std::int32_t count() const { return static_cast<std::int32_t>(x.size()); }
    std::array<io::ItemValue, 4> values(std::int32_t i) const {
        const auto k = static_cast<std::size_t>(i - 1);
        return {io::ItemValue::of(i), io::ItemValue::of(x[k]), io::ItemValue::of(y[k]), io::ItemValue::of(z[k])};
    }
    std::vector<float> x, y, z;
};

// The classic point: layer "0", one decimal of the single value.
const app::dxf::PointPlan& classic_point() {
    static const app::dxf::PointPlan plan{false, io::field::F0_1};
    return plan;
}

// The point records as the statements one by one: what write_dxf issued
// before the plan.
void write_statements(const Points& points) {
    for (std::int32_t i = 1; i <= points.count(); ++i) {
        const auto values = points.values(i);
        std::size_t slot = 0;
        for (const io::PlannedRecord& record : classic_point().plan().records()) {
            const io::ItemValue& value = record.value ? *record.value : values[slot++];
            if (io::finish_statement(io::write_field(kUnit, record.spec, value)) != 0) std::abort();
        }
    }
}

void write_planned(const Points& points) {
    const io::RecordPlan& plan = classic_point().plan();
    for (std::int32_t i = 1; i <= points.count(); ++i) {
        const auto values = points.values(i);
        if (io::finish_statement(io::write_plan(kUnit, plan, values)) != 0) std::abort();
    }
}

struct Workspace {
    Workspace() {
        std::string pattern = (fs::temp_directory_path() / "point_plan_bench_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        dir = pattern;
        ::setenv("FORT_BUFFERED", "yes", 1);
        io::read_io_size_settings();
    }
    ~Workspace() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    fs::path dir;
};

Workspace& workspace() {
    static Workspace instance;
    return instance;
}

template <class Write>
std::string write_file(const std::string& name, const Points& points, Write write) {
    std::error_code ignored;
    fs::remove(name, ignored);
    if (!io::open_unit(kUnit, name, platform::Missing::create).ok()) std::abort();
    write(points);
    if (!io::close_unit(kUnit).ok()) std::abort();
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

template <void (*Write)(const Points&)>
void WritePoints(benchmark::State& state) {
    const Points points(static_cast<std::int32_t>(state.range(0)));
    const std::string name = (workspace().dir / "3dpoint.dxf").string();
    {
        static bool checked = false;
        if (!checked &&
            write_file(name, points, write_statements) != write_file(name, points, write_planned)) {
            state.SkipWithError("the plan and the statements wrote different bytes");
            return;
        }
        checked = true;
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code ignored;
        fs::remove(name, ignored);
        state.ResumeTiming();
        if (!io::open_unit(kUnit, name, platform::Missing::create).ok()) std::abort();
        Write(points);
        if (!io::close_unit(kUnit).ok()) std::abort();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(WritePoints<write_statements>)->Name("PointStatements")->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(WritePoints<write_planned>)->Name("PointPlan")->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
