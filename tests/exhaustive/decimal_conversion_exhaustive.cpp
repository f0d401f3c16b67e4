// Random decimal texts by the hundred million through the double
// conversion, compared with the text round trip it replaced, status and
// bits. Stops at the first mismatch and prints its text. Arguments COUNT
// [SEED] check another number of texts or another sample; each block of
// texts has a seed of its own, so a mismatch found once is found again.
#include <xmmintrin.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "io/scan/decimal_conversion.h"
#include "io/scan/decimal_texts.h"
#include "io/scan/real64_reference.h"

namespace {

constexpr std::uint64_t chunk = std::uint64_t{1} << 16;
constexpr unsigned thread_count = 2;
std::uint64_t text_count = 200'000'000;
std::uint64_t seed = 20261207;

std::atomic<std::uint64_t> next_chunk{0};
std::atomic<bool> mismatch_found{false};

// The program converts with denormal results flushed to zero; the
// reference is read with them kept.
double converted(const io::NumberText& number, int& status) {
    const unsigned saved = _mm_getcsr();
    _mm_setcsr(saved | 0x8040u);
    double value = 0.0;
    status = io::decimal_to_real64(number, value);
    _mm_setcsr(saved);
    return value;
}

bool agrees(const std::string& text) {
    io::NumberText number;
    const io::NumberScan scan = io::recognise_number(text, 0, number);
    if (scan.ending != io::NumberEnd::text_end || scan.end != text.size()) return true;  // never converted
    int status = 0;
    const double value = converted(number, status);
    double expected = 0.0;
    const int expected_status = reference::decimal_to_real64(number, expected);
    const auto bits = std::bit_cast<std::uint64_t>(value), expected_bits = std::bit_cast<std::uint64_t>(expected);
    if (status == expected_status && (status != io::conversion_ok || bits == expected_bits)) return true;
    if (!mismatch_found.exchange(true)) {
        std::printf("mismatch at \"%s\": status %d bits 0x%016llx, reference status %d bits 0x%016llx\n", text.c_str(),
                    status, static_cast<unsigned long long>(bits), expected_status,
                    static_cast<unsigned long long>(expected_bits));
    }
    return false;
}

void worker() {
    for (;;) {
        const std::uint64_t first = next_chunk.fetch_add(chunk);
        if (first >= text_count || mismatch_found.load()) return;
        std::mt19937_64 random(seed + first);
        for (std::uint64_t i = first; i < std::min(first + chunk, text_count); ++i) {
            if (!agrees(decimal_texts::random_text(random))) return;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2) text_count = std::strtoull(argv[1], nullptr, 10);
    if (argc >= 3) seed = std::strtoull(argv[2], nullptr, 10);
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < thread_count; ++i) threads.emplace_back(worker);
    for (auto& t : threads) t.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (mismatch_found) {
        std::printf("FAILED after %.1f s\n", seconds);
        return 1;
    }
    std::printf("all %llu random texts (seed %llu) convert as the text round trip (%.1f s, %u threads)\n",
                static_cast<unsigned long long>(text_count), static_cast<unsigned long long>(seed), seconds, thread_count);
    return 0;
}
