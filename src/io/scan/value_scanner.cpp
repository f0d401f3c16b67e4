#include "io/scan/value_scanner.h"

#include <cmath>

#include "io/scan/byte_class.h"
#include "io/scan/decimal_conversion.h"
#include "reporting/error_numbers.h"

namespace io {
namespace {

// A quoted string holds at most 2049 characters; the buffer has one byte more.
constexpr std::size_t kStringBufferSize = 2050;
constexpr std::size_t kStringLengthMax = kStringBufferSize - 1;

// A number in integer form goes to an integer item exactly; any other is
// converted to double and cut toward zero, and a finite value beyond the
// integer's range stores the most negative integer, silently.
int assign_integer(const NumberText& number, std::int32_t& item) {
    if (number.integer_form()) return decimal_to_int32(number, item) == conversion_ok ? 0 : err::kInputConversion;
    double value = 0.0;
    if (decimal_to_real64(number, value) != conversion_ok) return err::kInputConversion;
    const bool fits = value > -2147483649.0 && value < 2147483648.0;
    item = fits ? static_cast<std::int32_t>(std::trunc(value)) : INT32_MIN;
    return 0;
}

}  // namespace

struct ValueScanner::Value {
    enum class Kind : std::uint8_t { null, slash, logical, string, number };
    Kind kind = Kind::null;
    bool ended_at_star = false;
    NumberText number;
};

ValueScanner::~ValueScanner() { end_statement(); }

int ValueScanner::begin_statement(RecordSource& records) {
    if (state_.in_statement) end_statement();
    records_ = &records;
    state_ = ScanState{};
    error_ = records.next_record(state_.record);
    if (error_ != 0) return error_;
    if (string_block_.data() == nullptr && !string_block_.allocate(kStringBufferSize)) return error_ = err::kNoMemory;
    state_.in_statement = true;
    state_.record_crossed = true;
    return error_;
}

void ValueScanner::end_statement() {
    state_.in_statement = false;
    state_.repeat_left = 0;
}

int ValueScanner::read_item(std::int32_t& item) { return serve({&item, nullptr}); }

int ValueScanner::read_item(float& item) {
    // The common item: blanks within the record, then a number that ends
    // there. Whatever the recogniser refuses here, seeking would refuse too
    // or take as something else, so that goes the general way, from the
    // same position.
    ScanState& s = state_;
    if (error_ == 0 && s.in_statement && !s.slash_seen && s.repeat_left <= 0 && !s.pair_open) {
        std::size_t start = s.position;
        while (start < s.record.size() && byte_class(s.record[start]) == ByteClass::blank) ++start;
        NumberText number;
        if (const NumberScan scan = recognise_number(s.record, start, number); scan.ending == NumberEnd::text_end) {
            s.comma_taken = false;
            s.left_data_record = false;
            s.record_crossed = false;
            s.seen_non_blank = true;
            s.position = scan.end;
            error_ = decimal_to_real32(number, item) == conversion_ok ? 0 : err::kInputConversion;
            return error_;
        }
    }
    return serve({nullptr, &item});
}

int ValueScanner::read_item(double& item) { return serve({nullptr, nullptr, &item}); }

int ValueScanner::assign(const NumberText& number, ItemRef item) {
    if (item.type() == ItemType::integer32) return assign_integer(number, *item.integer);
    if (item.wide != nullptr) return decimal_to_real64(number, *item.wide) == conversion_ok ? 0 : err::kInputConversion;
    return decimal_to_real32(number, *item.real) == conversion_ok ? 0 : err::kInputConversion;
}

int ValueScanner::serve(ItemRef item) {
    if (error_ != 0) return error_;
    // Outside a statement there is nothing to read from.
    if (!state_.in_statement) return err::kEndOfFile;
    int number = 0;
    if (state_.slash_seen) {
        number = 0;
    } else if (state_.repeat_left > 0) {
        --state_.repeat_left;
        number = state_.repeat_is_null ? 0 : assign(state_.repeat_text, item);
    } else {
        number = seek_and_assign(item);
    }
    state_.record_crossed = false;
    error_ = number;
    return number;
}

int ValueScanner::seek_and_assign(ItemRef item) {
    Value value;
    if (const int number = seek(value, false); number != 0) return number;
    if (value.kind == Value::Kind::number && value.ended_at_star) {
        const NumberText count = value.number;
        if (const int number = take_repeat(count, value); number != 0) return number;
    }
    switch (value.kind) {
    case Value::Kind::null:
        return 0;
    case Value::Kind::slash:
        state_.slash_seen = true;
        return 0;
    case Value::Kind::logical:
    case Value::Kind::string:
        return err::kInputConversion;
    case Value::Kind::number:
        break;
    }
    if (const int number = assign(value.number, item); number != 0) return number;
    // An integer item takes a pair's first number and looks no further.
    if (!state_.pair_open || item.type() == ItemType::integer32) return 0;
    state_.pair_open = false;
    return close_pair();
}

// After "r*": a blank, a comma or the record end makes the repeated value a
// null; anything else is classified at once, without passing blanks.
int ValueScanner::take_repeat(const NumberText& count, Value& value) {
    std::int32_t r = 0;
    if (decimal_to_int32(count, r) != conversion_ok) return err::kInputConversion;
    ScanState& s = state_;
    ++s.position;  // the "*"
    // Counts of 0 and below serve just this item.
    s.repeat_left = r > 1 ? r - 1 : 0;
    s.repeat_is_null = true;
    if (s.position == s.record.size()) {
        value.kind = Value::Kind::null;
        return 0;
    }
    const ByteClass next = byte_class(s.record[s.position]);
    if (next == ByteClass::blank || next == ByteClass::comma) {
        ++s.position;
        value.kind = Value::Kind::null;
        return 0;
    }
    if (const int number = seek(value, true); number != 0) return number;
    if (value.kind != Value::Kind::number) return 0;
    // A repeat of a repeat is not a value.
    if (value.ended_at_star) return err::kSyntaxError;
    s.repeat_is_null = false;
    s.repeat_text = value.number;
    return 0;
}

// The last non-blank byte before `end` in the statement, 0 if none.
char ValueScanner::last_non_blank_before(std::size_t end) const {
    for (std::size_t i = end; i > 0; --i) {
        if (!is_blank(state_.record[i - 1])) return state_.record[i - 1];
    }
    return state_.last_record_tail;
}

// A comma met while seeking: a null value, or the separator after a value.
// In effect it is a null exactly when the nearest non-blank byte before it in
// the statement is another comma, or when there is none.
bool ValueScanner::comma_is_null() {
    ScanState& s = state_;
    bool null = false;
    if (!s.record_crossed) {
        const char before = s.comma_taken ? ',' : last_non_blank_before(s.position);
        null = before == ',' || before == 0;
        s.comma_taken = true;
    } else {
        null = !s.left_data_record || s.comma_taken;
        s.record_crossed = false;
    }
    ++s.position;
    return null;
}

int ValueScanner::seek(Value& value, bool after_star) {
    ScanState& s = state_;
    if (!after_star) {
        s.comma_taken = false;
        s.left_data_record = false;
    }
    bool skip_blanks = !after_star;
    for (;;) {
        const std::string_view record = s.record;
        if (skip_blanks) {
            while (s.position < record.size() && is_blank(record[s.position])) ++s.position;
        }
        skip_blanks = true;
        if (s.position == record.size()) {
            if (s.seen_non_blank) {
                s.left_data_record = true;
                if (!s.comma_taken && last_non_blank_before(record.size()) == ',') s.comma_taken = true;
            }
            if (const int number = next_record(); number != 0) return number;
            s.record_crossed = true;
            continue;
        }
        s.seen_non_blank = true;
        switch (byte_class(record[s.position])) {
        case ByteClass::comma:
            if (!comma_is_null()) continue;
            value.kind = Value::Kind::null;
            return 0;
        case ByteClass::slash:
            value.kind = Value::Kind::slash;
            return 0;
        case ByteClass::quote:
            return read_string(value);
        case ByteClass::open:
            if (s.pair_open) return err::kSyntaxError;
            s.pair_open = true;
            ++s.position;
            continue;
        case ByteClass::close:
            return err::kSyntaxError;
        case ByteClass::logical:
            value.kind = Value::Kind::logical;
            return 0;
        case ByteClass::point:
            if (s.position + 1 < record.size() && byte_class(record[s.position + 1]) == ByteClass::logical) {
                value.kind = Value::Kind::logical;
                return 0;
            }
            break;
        default:
            break;
        }
        return scan_number(value);
    }
}

// On success the position rests on the byte that ended the number's text.
int ValueScanner::scan_number(Value& value) {
    ScanState& s = state_;
    const NumberScan scan = recognise_number(s.record, s.position, value.number);
    if (scan.ending == NumberEnd::malformed) return err::kSyntaxError;
    s.position = scan.end;
    value.kind = Value::Kind::number;
    value.ended_at_star = scan.ending == NumberEnd::star;
    return 0;
}

// A quoted string: copied to the string buffer, two quotes standing for one,
// continuing over record ends with nothing between the records.
int ValueScanner::read_string(Value& value) {
    ScanState& s = state_;
    const char quote = s.record[s.position++];
    s.string_length = 0;
    for (;;) {
        if (s.position == s.record.size()) {
            const int number = next_record();
            if (number == err::kEndOfFile) return err::kSyntaxError;
            if (number != 0) return number;
            continue;
        }
        const char c = s.record[s.position++];
        if (c == quote) {
            // A closing quote at a record end may still be doubled by the
            // first byte of the next non-empty record.
            while (s.position == s.record.size()) {
                const int number = next_record();
                if (number == err::kEndOfFile) break;
                if (number != 0) return number;
            }
            if (s.position == s.record.size() || s.record[s.position] != quote) {
                value.kind = Value::Kind::string;
                return 0;
            }
            ++s.position;
        }
        if (s.string_length == kStringLengthMax) return err::kSyntaxError;
        string_block_.data()[s.string_length++] = c;
    }
}

// Passes blanks and record ends; the records running out is end of file.
int ValueScanner::skip_blanks_and_records() {
    ScanState& s = state_;
    for (;;) {
        while (s.position < s.record.size() && is_blank(s.record[s.position])) ++s.position;
        if (s.position < s.record.size()) return 0;
        if (const int number = next_record(); number != 0) return number;
    }
}

// The rest of a pair after a real item's value: "," second number ")". The
// second number is only checked, never converted.
int ValueScanner::close_pair() {
    ScanState& s = state_;
    if (const int number = skip_blanks_and_records(); number != 0) return number;
    if (s.record[s.position] != ',') return err::kSyntaxError;
    ++s.position;
    if (const int number = skip_blanks_and_records(); number != 0) return number;
    if (const int number = scan_pair_number(); number != 0) return number;
    if (const int number = skip_blanks_and_records(); number != 0) return number;
    if (s.record[s.position] != ')') return err::kSyntaxError;
    ++s.position;
    return 0;
}

// Sign, then a word as far as it agrees with INFINITY or NAN (a NAN word may
// carry a part in parentheses within the record), or digits with an optional
// point and an exponent letter followed by digits only.
int ValueScanner::scan_pair_number() {
    ScanState& s = state_;
    const std::string_view record = s.record;
    std::size_t& i = s.position;
    if (i < record.size() && byte_class(record[i]) == ByteClass::sign) ++i;
    if (i < record.size() && byte_class(record[i]) == ByteClass::word) {
        const bool nan_word = (record[i] | 0x20) == 'n';
        i += agreeing_length(record.substr(i), nan_word ? "nan" : "infinity");
        if (nan_word && i < record.size() && record[i] == '(') {
            const std::size_t after = nan_part_end(record, i);
            if (after == std::string_view::npos) return err::kSyntaxError;
            i = after;
        }
        return 0;
    }
    const auto skip_digits = [&] {
        const std::size_t from = i;
        while (i < record.size() && byte_class(record[i]) == ByteClass::digit) ++i;
        return i > from;
    };
    bool digit = skip_digits();
    if (i < record.size() && record[i] == '.') {
        ++i;
        digit = skip_digits() || digit;
    }
    if (!digit) return err::kSyntaxError;
    if (i < record.size() && byte_class(record[i]) == ByteClass::exponent) {
        ++i;
        skip_digits();
    }
    return 0;
}

// The next record, keeping the last non-blank byte of the one left for the
// comma rules.
int ValueScanner::next_record() {
    ScanState& s = state_;
    if (const char tail = last_non_blank_before(s.record.size()); tail != 0) s.last_record_tail = tail;
    std::string_view record;
    if (const int number = records_->next_record(record); number != 0) return number;
    s.record = record;
    s.position = 0;
    return 0;
}

}  // namespace io
