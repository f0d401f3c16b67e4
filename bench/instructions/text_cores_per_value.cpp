// The text cores' hot paths over typical coordinates, for counting
// instructions under callgrind: bench/text_core_instructions.py builds this
// for a 64-bit and a 32-bit target and counts only inside the measure_*
// functions, so the set-up costs nothing. Not a CMake target: it is built
// by that script with each target's flags.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "io/format/field_format.h"
#include "io/scan/decimal_conversion.h"
#include "io/scan/number_text.h"

namespace {

constexpr int kValueCount = 100'000;

// Records of three coordinates as the whole-program benchmark writes them:
// 1 to 3 decimals, magnitudes up to 50000, both signs.
std::vector<std::string> coordinate_records() {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> decimals(1, 3);
    std::uniform_int_distribution<int> units(-50'000'000, 50'000'000);  // thousandths
    std::vector<std::string> records;
    char text[96];
    for (int i = 0; i < kValueCount / 3; ++i) {
        int n = 0;
        for (int k = 0; k < 3; ++k) {
            n += std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), k < 2 ? "%.*f " : "%.*f",
                               decimals(random), units(random) / 1000.0);
        }
        records.emplace_back(text, static_cast<std::size_t>(n));
    }
    return records;
}

}  // namespace

// Kept out of line and unmangled so that callgrind can count them alone.
extern "C" [[gnu::noinline]] float measure_scan(const std::vector<std::string>& records) {
    float sum = 0.0f;
    for (const std::string& record : records) {
        std::size_t start = 0;
        for (int k = 0; k < 3; ++k) {
            while (record[start] == ' ') ++start;
            io::NumberText number;
            const io::NumberScan scan = io::recognise_number(record, start, number);
            float value = 0.0f;
            if (scan.ending != io::NumberEnd::text_end || io::decimal_to_real32(number, value) != io::conversion_ok) {
                std::abort();
            }
            sum += value;
            start = scan.end;
        }
    }
    return sum;
}

extern "C" [[gnu::noinline]] std::size_t measure_format(const std::vector<float>& values) {
    char out[64];
    std::size_t total = 0;
    for (const float v : values) {
        total += io::format_field(io::field::F0_1, io::ItemValue::of(v), out).length;
        asm volatile("" : : "r"(out) : "memory");
    }
    return total;
}

extern "C" [[gnu::noinline]] std::size_t measure_handle(int count) {
    char out[64];
    std::size_t total = 0;
    for (std::int32_t handle = 1; handle <= count; ++handle) {
        total += io::format_field(io::field::I0, io::ItemValue::of(handle), out).length;
        asm volatile("" : : "r"(out) : "memory");
    }
    return total;
}

int main(int argc, char** argv) {
    const std::string_view what = argc > 1 ? argv[1] : "";
    const std::vector<std::string> records = coordinate_records();
    std::vector<float> values;
    for (const std::string& record : records) {
        char* p = const_cast<char*>(record.c_str());
        for (int k = 0; k < 3; ++k) values.push_back(std::strtof(p, &p));
    }
    std::size_t result = 0;
    if (what == "scan") result = static_cast<std::size_t>(measure_scan(records) != 0.0f);
    else if (what == "format") result = measure_format(values);
    else if (what == "handle") result = measure_handle(kValueCount);
    else return std::fprintf(stderr, "usage: %s scan|format|handle\n", argv[0]), 2;
    std::printf("%zu values %zu\n", what == "handle" ? std::size_t{kValueCount} : values.size(), result);
    return 0;
}
