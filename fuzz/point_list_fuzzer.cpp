// Arbitrary bytes read as a point list: split into records the way the record
// reader does, then one count statement and up to a bounded number of
// three-real statements, stopping at the first error, as the program reads.
#include <xmmintrin.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "io/scan/decimal_conversion.h"
#include "io/scan/digit_run.h"
#include "io/scan/number_text.h"
#include "io/scan/value_scanner.h"

namespace {

constexpr std::int32_t points_max = 256;

// Each record is copied into a block of exactly its size, released at the next
// record, so reading past a record or keeping a view too long is caught.
class ByteRecords final : public io::RecordSource {
public:
    ByteRecords(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    int next_record(std::string_view& record) override {
        if (rest_.empty()) return 24;
        const std::size_t lf = rest_.find('\n');
        const std::string_view line = rest_.substr(0, lf);
        rest_.remove_prefix(lf == std::string_view::npos ? rest_.size() : lf + 1);
        copy_.reset(new char[line.size() + (line.empty() ? 1 : 0)]);
        if (!line.empty()) std::memcpy(copy_.get(), line.data(), line.size());
        return io::cut_record({copy_.get(), line.size()}, true, true, record);
    }

private:
    std::string_view rest_;
    std::unique_ptr<char[]> copy_;
};

// The program scans with flush-to-zero and denormals-are-zero on.
const bool flush_to_zero = [] {
    _mm_setcsr(_mm_getcsr() | 0x8040u);
    return true;
}();

// The digit-run reader takes eight bytes at a time; it must agree with a
// byte-by-byte reading of the same text.
void check_digit_run(std::string_view text) {
    std::uint64_t fast = 0;
    const char* const end = io::read_digit_run(text.data(), text.data() + text.size(), fast);
    std::uint64_t slow = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) slow = slow * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (end != text.data() + i || fast != slow) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)flush_to_zero;
    ByteRecords records(data, size);
    io::ValueScanner scanner;
    std::int32_t count = 0;
    int error = scanner.begin_statement(records);
    if (error == 0) error = scanner.read_item(count);
    scanner.end_statement();
    for (std::int32_t i = 0; error == 0 && i < count && i < points_max; ++i) {
        std::array<float, 3> xyz{};
        error = scanner.begin_statement(records);
        for (float& item : xyz) {
            if (error == 0) error = scanner.read_item(item);
        }
        scanner.end_statement();
    }

    // The conversions take any text the recogniser lets through; feed it the
    // raw bytes as well, for the texts the scanner never reaches.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    io::NumberText number;
    if (io::recognise_number(text, 0, number).ending != io::NumberEnd::malformed) {
        std::int32_t integer = 0;
        float single = 0.0f;
        double real = 0.0;
        (void)io::decimal_to_int32(number, integer);
        (void)io::decimal_to_real32(number, single);
        (void)io::decimal_to_real64(number, real);
    }
    for (std::size_t from = 0; from < text.size(); from += 7) check_digit_run(text.substr(from));
    return 0;
}
