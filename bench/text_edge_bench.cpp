// The text cores on the names a survey table holds: mostly short ASCII,
// where each core's quick pass must cost about what copying the name does.
// The copy is the baseline of the same run; then names in other scripts.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/text/code_page_chooser.h"
#include "app/text/drawing_text.h"
#include "app/text/input_encoding.h"
#include "app/text/layer_name.h"
#include "app/text/layer_name_writer.h"

namespace {

using app::text::CodePage;

constexpr std::size_t name_count = 4096;

// Point names and codes as exports have them: numbers, codes, a few words.
std::vector<std::string> make_names(const char* const* stems, std::size_t stem_count) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < name_count; ++i) names.push_back(stems[i % stem_count] + std::to_string(i % 97));
    return names;
}

const std::vector<std::string>& ascii_names() {
    static const char* const stems[] = {"", "P", "BM", "FENCE", "OAK TREE ", "MH-", "kerb_"};
    static const auto names = make_names(stems, std::size(stems));
    return names;
}

const std::vector<std::string>& cjk_names() {
    static const char* const stems[] = {"测量点", "树木", "道路", "井盖 "};
    static const auto names = make_names(stems, std::size(stems));
    return names;
}

template <class Core>
void run(benchmark::State& state, const std::vector<std::string>& names, Core core) {
    std::vector<char> out(1024);
    std::size_t total = 0;
    for (auto _ : state) {
        for (const std::string& name : names) total += core(name, out);
        benchmark::DoNotOptimize(out.data());
    }
    benchmark::DoNotOptimize(total);
    state.counters["ns_per_name"] = benchmark::Counter(static_cast<double>(state.iterations()) * name_count,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

std::size_t copy(const std::string& name, std::vector<char>& out) {
    std::memcpy(out.data(), name.data(), name.size());
    return name.size();
}

std::size_t decode(const std::string& name, std::vector<char>& out) {
    return app::text::decode_input(name, {}, out).text.size();
}

std::size_t decode_cp1252(const std::string& name, std::vector<char>& out) {
    return app::text::decode_input(name, {false, CodePage::ansi_1252}, out).text.size();
}

std::size_t text_1252(const std::string& name, std::vector<char>& out) {
    return app::text::write_drawing_text(name, CodePage::ansi_1252, out);
}

std::size_t text_936(const std::string& name, std::vector<char>& out) {
    return app::text::write_drawing_text(name, CodePage::ansi_936, out);
}

std::size_t key(const std::string& name, std::vector<char>& out) { return app::text::layer_key(name, out).size(); }

std::size_t layer(const std::string& name, std::vector<char>& out) { return app::text::layer_name(name, out).size(); }

void Copy_Ascii(benchmark::State& s) { run(s, ascii_names(), copy); }
void DecodeUtf8_Ascii(benchmark::State& s) { run(s, ascii_names(), decode); }
void DecodeCp1252_Ascii(benchmark::State& s) { run(s, ascii_names(), decode_cp1252); }
void Chooser_Ascii(benchmark::State& s) {
    app::text::CodePageChooser chooser;
    run(s, ascii_names(), [&](const std::string& name, std::vector<char>&) {
        chooser.feed(name);
        return name.size();
    });
}
void DrawingText_Ascii(benchmark::State& s) { run(s, ascii_names(), text_1252); }
void LayerKey_Ascii(benchmark::State& s) { run(s, ascii_names(), key); }
void LayerName_Ascii(benchmark::State& s) { run(s, ascii_names(), layer); }

void Copy_Cjk(benchmark::State& s) { run(s, cjk_names(), copy); }
void DecodeUtf8_Cjk(benchmark::State& s) { run(s, cjk_names(), decode); }
void Chooser_Cjk(benchmark::State& s) {
    app::text::CodePageChooser chooser;
    run(s, cjk_names(), [&](const std::string& name, std::vector<char>&) {
        chooser.feed(name);
        return name.size();
    });
}
void DrawingText_Cjk936(benchmark::State& s) { run(s, cjk_names(), text_936); }
void DrawingText_Cjk1252(benchmark::State& s) { run(s, cjk_names(), text_1252); }
void LayerKey_Cjk(benchmark::State& s) { run(s, cjk_names(), key); }

// Every name a layer of its own, as a table with a code per point writes them.
void LayerNameWriter_Ascii(benchmark::State& s) {
    for (auto _ : s) {
        app::text::LayerNameWriter writer(CodePage::ansi_1252);
        std::size_t total = 0;
        for (const std::string& name : ascii_names()) total += writer.next(name).size();
        benchmark::DoNotOptimize(total);
    }
    s.counters["ns_per_name"] = benchmark::Counter(static_cast<double>(s.iterations()) * name_count,
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(Copy_Ascii);
BENCHMARK(DecodeUtf8_Ascii);
BENCHMARK(DecodeCp1252_Ascii);
BENCHMARK(Chooser_Ascii);
BENCHMARK(DrawingText_Ascii);
BENCHMARK(LayerKey_Ascii);
BENCHMARK(LayerName_Ascii);
BENCHMARK(Copy_Cjk);
BENCHMARK(DecodeUtf8_Cjk);
BENCHMARK(Chooser_Cjk);
BENCHMARK(DrawingText_Cjk936);
BENCHMARK(DrawingText_Cjk1252);
BENCHMARK(LayerKey_Cjk);
BENCHMARK(LayerNameWriter_Ascii);

}  // namespace

BENCHMARK_MAIN();
