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
#include "io/scan/plain_decimal.h"
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
        std::string_view line = rest_.substr(0, lf);
        rest_.remove_prefix(lf == std::string_view::npos ? rest_.size() : lf + 1);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() == 1 && line[0] == '\x1a') return 24;
        copy_.reset(new char[line.size() + (line.empty() ? 1 : 0)]);
        if (!line.empty()) std::memcpy(copy_.get(), line.data(), line.size());
        record = std::string_view(copy_.get(), line.size());
        return 0;
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

// The plain-decimal reader takes eight bytes at a time; it must agree with a
// byte-by-byte reading of the same text.
void check_plain_decimal(std::string_view text) {
    io::PlainDecimal fast;
    const std::size_t taken = io::readPlainDecimal(text, fast);
    std::size_t i = 0;
    io::PlainDecimal slow;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) slow.negative = text[i++] == '-';
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            slow.digits = slow.digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
            ++slow.count;
            slow.fraction += slow.point;
        } else if (text[i] == '.' && !slow.point) {
            slow.point = true;
        } else {
            break;
        }
    }
    if (taken != i || fast.digits != slow.digits || fast.count != slow.count || fast.fraction != slow.fraction ||
        fast.negative != slow.negative || fast.point != slow.point) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)flush_to_zero;
    ByteRecords records(data, size);
    io::ValueScanner scanner;
    std::int32_t count = 0;
    int error = scanner.beginStatement(records);
    if (error == 0) error = scanner.readItem(count);
    scanner.endStatement();
    for (std::int32_t i = 0; error == 0 && i < count && i < points_max; ++i) {
        std::array<float, 3> xyz{};
        error = scanner.beginStatement(records);
        for (float& item : xyz) {
            if (error == 0) error = scanner.readItem(item);
        }
        scanner.endStatement();
    }

    // The conversions take any text the scanner lets through; feed them the raw
    // bytes as well, for the texts it never lets through.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::int32_t integer = 0;
    float single = 0.0f;
    double real = 0.0;
    (void)io::decimalToInt32(text, integer);
    (void)io::decimalToReal32(text, single);
    (void)io::decimalToReal64(text, real);
    check_plain_decimal(text);
    return 0;
}
