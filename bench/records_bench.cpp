// The record layer against plain reads and writes of the same bytes, in the
// same run: reading a point list record by record, and writing DXF records
// one by one and as point plans, buffered (against big-block writes and a
// hand-written assembler) and unbuffered (against one write per record).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "io/read_write_record.h"
#include "io/record_plan.h"
#include "io/open_close_unit.h"
#include "io/unit_record_source.h"
#include "io/unit_table.h"
#include "platform/files.h"
#include "io/io_size_settings.h"

namespace {

namespace fs = std::filesystem;

struct Workspace {
    Workspace() {
        std::string pattern = (fs::temp_directory_path() / "records_bench_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        dir = pattern;
        make_point_list();
        make_dxf_records();
    }
    ~Workspace() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    // About 30 MB of "x y z" lines with CR LF ends.
    void make_point_list() {
        std::string text = "1250000\r\n";
        unsigned seed = 12345;
        while (text.size() < 30'000'000) {
            for (int axis = 0; axis < 3; ++axis) {
                seed = seed * 1103515245 + 12345;
                text += std::to_string(static_cast<int>(seed >> 8) % 200000 - 100000);
                text += axis < 2 ? ".25 " : ".5\r\n";
            }
        }
        point_list = (dir / "input.txt").string();
        platform::OpenResult file = platform::open_or_create(point_list.c_str(), platform::Access::read_write, platform::Share::read);
        platform::write_file(file.handle, text);
        platform::close_file(file.handle);
        point_list_bytes = text.size();
    }

    // One million records of a POINT list: group codes and values.
    void make_dxf_records() {
        static const char* const kFixed[] = {"  0", "POINT", "  5", "  8", "0", " 10", " 20", " 30"};
        for (int i = 0; records.size() < 1'000'000; ++i) {
            for (const char* text : kFixed) records.emplace_back(text);
            records.push_back(std::to_string(i));
            records.push_back(std::to_string(i % 1000) + ".5");
            records.push_back("-" + std::to_string(i % 777) + ".3");
        }
        for (const std::string& record : records) dxf_bytes += record + "\r\n";
    }

    fs::path dir;
    std::string point_list;
    std::size_t point_list_bytes = 0;
    std::vector<std::string> records;
    std::string dxf_bytes;
};

// Every write run starts without an output file, as the program's usually does.
void remove_output(benchmark::State& state, const std::string& name) {
    state.PauseTiming();
    std::error_code ignored;
    fs::remove(name, ignored);
    state.ResumeTiming();
}

Workspace& workspace() {
    static Workspace instance;
    return instance;
}

// Places a record in the unit's record area and writes it, as a write statement does.
void put_record(io::UnitConnection& connection, const std::string& text) {
    connection.next_position = connection.record_start;
    io::reserve_record_room(connection, text.size());
    std::memcpy(connection.buffer.data() + connection.next_position, text.data(), text.size());
    connection.next_position += text.size();
    if (!io::write_record(connection).ok()) std::abort();
}

void ReadRecords(benchmark::State& state) {
    Workspace& work = workspace();
    for (auto _ : state) {
        if (!io::open_unit(10, work.point_list, platform::Missing::create).ok()) std::abort();
        io::UnitRecordSource source{10};
        std::size_t characters = 0;
        std::string_view record;
        while (source.next_record(record) == 0) characters += record.size();
        benchmark::DoNotOptimize(characters);
        io::close_unit(10);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * work.point_list_bytes));
}

void ReadPlain(benchmark::State& state) {
    Workspace& work = workspace();
    std::vector<char> block(8192);
    for (auto _ : state) {
        const auto file = platform::open_or_create(work.point_list.c_str(), platform::Access::read_write, platform::Share::read);
        std::size_t total = 0;
        for (;;) {
            const auto got = platform::read_file(file.handle, block);
            if (got.bytes == 0) break;
            total += got.bytes;
        }
        benchmark::DoNotOptimize(total);
        platform::close_file(file.handle);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * work.point_list_bytes));
}

// A hand-written line reader: the same blocks, lines cut with memchr.
void ReadPlainLines(benchmark::State& state) {
    Workspace& work = workspace();
    std::vector<char> block(8192);
    for (auto _ : state) {
        const auto file = platform::open_or_create(work.point_list.c_str(), platform::Access::read_write, platform::Share::read);
        std::size_t characters = 0;
        std::size_t kept = 0;
        for (;;) {
            const auto got = platform::read_file(file.handle, {block.data() + kept, block.size() - kept});
            if (got.bytes == 0) break;
            const char* at = block.data();
            const char* end = block.data() + kept + got.bytes;
            while (const void* found = std::memchr(at, '\n', static_cast<std::size_t>(end - at))) {
                const char* line_end = static_cast<const char*>(found);
                characters += static_cast<std::size_t>(line_end - at) - (line_end > at && line_end[-1] == '\r');
                at = line_end + 1;
            }
            kept = static_cast<std::size_t>(end - at);
            std::memmove(block.data(), at, kept);
        }
        benchmark::DoNotOptimize(characters);
        platform::close_file(file.handle);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * work.point_list_bytes));
}

// FORT_BUFFERED, read at every open, for one benchmark.
class ScopedBuffering {
public:
    explicit ScopedBuffering(bool buffered) {
        if (buffered) {
            ::setenv("FORT_BUFFERED", "yes", 1);
        } else {
            ::unsetenv("FORT_BUFFERED");
        }
    }
    ~ScopedBuffering() { ::unsetenv("FORT_BUFFERED"); }
    ScopedBuffering(const ScopedBuffering&) = delete;
    ScopedBuffering& operator=(const ScopedBuffering&) = delete;
};

void WriteRecords(benchmark::State& state, bool buffered) {
    Workspace& work = workspace();
    const ScopedBuffering buffering{buffered};
    const std::string name = (work.dir / "3dpoint.dxf").string();
    for (auto _ : state) {
        remove_output(state, name);
        if (!io::open_unit(20, name, platform::Missing::create).ok()) std::abort();
        io::UnitConnection& connection = *io::find_slot(20)->connection;
        for (const std::string& record : work.records) put_record(connection, record);
        if (!io::close_unit(20).ok()) std::abort();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * work.records.size()));
}

void WriteBuffered(benchmark::State& state) { WriteRecords(state, true); }
void WriteUnbuffered(benchmark::State& state) { WriteRecords(state, false); }

// The same records issued as plans: a point's eight fixed records formatted
// once, its three texts in slots, as the program writes its points.
void WritePlanned(benchmark::State& state, bool buffered) {
    Workspace& work = workspace();
    static constexpr io::PlannedRecord kPoint[] = {
        io::PlannedRecord::fixed(io::field::A, io::ItemValue::of("  0")),
        io::PlannedRecord::fixed(io::field::A, io::ItemValue::of("POINT")),
        io::PlannedRecord::fixed(io::field::A, io::ItemValue::of("  5")),
        io::PlannedRecord::fixed(io::field::A, io::ItemValue::of("  8")),
        io::PlannedRecord::fixed(io::field::A, io::ItemValue::of("0")),
        io::PlannedRecord::fixed(io::field::A, io::ItemValue::of(" 10")),
        io::PlannedRecord::fixed(io::field::A, io::ItemValue::of(" 20")),
        io::PlannedRecord::fixed(io::field::A, io::ItemValue::of(" 30")),
        io::PlannedRecord::slot(io::field::A),
        io::PlannedRecord::slot(io::field::A),
        io::PlannedRecord::slot(io::field::A),
    };
    const io::RecordPlan plan{kPoint};
    const ScopedBuffering buffering{buffered};
    const std::string name = (work.dir / "3dpoint.dxf").string();
    const std::size_t points = work.records.size() / std::size(kPoint);
    for (auto _ : state) {
        remove_output(state, name);
        if (!io::open_unit(20, name, platform::Missing::create).ok()) std::abort();
        for (std::size_t p = 0; p < points; ++p) {
            const std::string* texts = &work.records[p * std::size(kPoint) + 8];
            const io::ItemValue values[] = {io::ItemValue::of(std::string_view{texts[0]}),
                                            io::ItemValue::of(std::string_view{texts[1]}),
                                            io::ItemValue::of(std::string_view{texts[2]})};
            if (!io::write_plan(20, plan, values).ok()) std::abort();
        }
        if (!io::close_unit(20).ok()) std::abort();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * points * std::size(kPoint)));
}

void WritePlannedBuffered(benchmark::State& state) { WritePlanned(state, true); }
void WritePlannedUnbuffered(benchmark::State& state) { WritePlanned(state, false); }

void WritePlainBlocks(benchmark::State& state) {
    Workspace& work = workspace();
    const std::string name = (work.dir / "plain.dxf").string();
    const std::size_t block = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        remove_output(state, name);
        const auto file = platform::open_or_create(name.c_str(), platform::Access::read_write, platform::Share::read);
        for (std::size_t at = 0; at < work.dxf_bytes.size(); at += block) {
            const std::size_t piece = std::min(block, work.dxf_bytes.size() - at);
            platform::write_file(file.handle, {work.dxf_bytes.data() + at, piece});
        }
        platform::truncate_here(file.handle);
        platform::close_file(file.handle);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * work.records.size()));
}

// A hand-written record writer: each record and its CR LF copied into an
// 8192-byte block, the block written when the next record might not fit.
void WritePlainAssembled(benchmark::State& state) {
    Workspace& work = workspace();
    const std::string name = (work.dir / "plain.dxf").string();
    std::vector<char> block(8192);
    for (auto _ : state) {
        remove_output(state, name);
        const auto file = platform::open_or_create(name.c_str(), platform::Access::read_write, platform::Share::read);
        std::size_t used = 0;
        for (const std::string& record : work.records) {
            if (used + record.size() + 2 > block.size()) {
                platform::write_file(file.handle, {block.data(), used});
                used = 0;
            }
            std::memcpy(block.data() + used, record.data(), record.size());
            used += record.size();
            block[used++] = '\r';
            block[used++] = '\n';
        }
        platform::write_file(file.handle, {block.data(), used});
        platform::truncate_here(file.handle);
        platform::close_file(file.handle);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * work.records.size()));
}

void WritePlainPerRecord(benchmark::State& state) {
    Workspace& work = workspace();
    const std::string name = (work.dir / "plain.dxf").string();
    for (auto _ : state) {
        remove_output(state, name);
        const auto file = platform::open_or_create(name.c_str(), platform::Access::read_write, platform::Share::read);
        const char* at = work.dxf_bytes.data();
        for (const std::string& record : work.records) {
            platform::write_file(file.handle, {at, record.size() + 2});
            at += record.size() + 2;
        }
        platform::truncate_here(file.handle);
        platform::close_file(file.handle);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * work.records.size()));
}

BENCHMARK(ReadRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadPlainLines)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteBuffered)->Unit(benchmark::kMillisecond);
BENCHMARK(WritePlannedBuffered)->Unit(benchmark::kMillisecond);
BENCHMARK(WritePlainBlocks)->Arg(8192)->Arg(65536)->Unit(benchmark::kMillisecond);
BENCHMARK(WritePlainAssembled)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteUnbuffered)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(WritePlannedUnbuffered)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(WritePlainPerRecord)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
