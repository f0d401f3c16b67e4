// Every single-precision bit pattern through F0.1 and F3.1, compared with the
// reference texts. Stops at the first mismatch and prints its pattern.
// Arguments FIRST END (hexadecimal, END exclusive) check a slice instead,
// for a target too slow for the whole of it, such as a 32-bit build under Wine.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <thread>
#include <vector>

#include "io/format/fixed_reference.h"
#include "io/format/field_format.h"

namespace {

constexpr std::uint64_t chunk = std::uint64_t{1} << 22;
std::uint64_t first_pattern = 0;
std::uint64_t pattern_end = std::uint64_t{1} << 32;
constexpr unsigned thread_count = 2;

std::atomic<std::uint64_t> next_chunk{0};  // from first_pattern
std::atomic<bool> mismatch_found{false};

bool agrees(const char* name, const io::FieldSpec& spec, std::uint32_t bits, const std::string& expected) {
    char out[64];
    const auto r = io::format_field(spec, io::ItemValue::of(static_cast<std::int32_t>(bits)), out);
    const std::string_view got(out, r.length);
    if (got == expected) return true;
    std::printf("mismatch at 0x%08x: %s gave \"%.*s\", reference \"%s\"\n", bits, name,
                static_cast<int>(got.size()), got.data(), expected.c_str());
    return false;
}

bool check(std::uint32_t bits) {
    const std::string minimal = reference::minimal_one_decimal(bits);
    return agrees("F0.1", io::field::F0_1, bits, minimal) &&
           agrees("F3.1", io::field::F3_1, bits, reference::width3_one_decimal(bits, minimal));
}

void worker() {
    for (;;) {
        const std::uint64_t begin = first_pattern + next_chunk.fetch_add(chunk);
        if (begin >= pattern_end || mismatch_found.load()) return;
        for (std::uint64_t bits = begin; bits < std::min(begin + chunk, pattern_end); ++bits) {
            if (!check(static_cast<std::uint32_t>(bits))) {
                mismatch_found = true;
                return;
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3) {
        first_pattern = std::strtoull(argv[1], nullptr, 16);
        pattern_end = std::min(std::strtoull(argv[2], nullptr, 16), 1ull << 32);
    }
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < thread_count; ++i) threads.emplace_back(worker);
    for (auto& t : threads) t.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (mismatch_found) {
        std::printf("FAILED after %.1f s\n", seconds);
        return 1;
    }
    std::printf("all %llu bit patterns 0x%llx to 0x%llx agree in F0.1 and F3.1 (%.1f s, %u threads)\n",
                static_cast<unsigned long long>(pattern_end - first_pattern), static_cast<unsigned long long>(first_pattern),
                static_cast<unsigned long long>(pattern_end - 1), seconds, thread_count);
    return 0;
}
