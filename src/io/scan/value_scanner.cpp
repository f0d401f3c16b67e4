#include "io/scan/value_scanner.h"

#include <cmath>

#include "io/scan/byte_class.h"
#include "io/scan/decimal_conversion.h"
#include "reporting/error_numbers.h"

namespace io {
namespace {

// A quoted string holds at most 2049 characters; the buffer has one byte more.
constexpr std::size_t string_buffer_size = 2050;
constexpr std::size_t string_length_max = string_buffer_size - 1;

// A number in integer form goes to an integer item exactly; any other is
// converted to double and cut toward zero, and a finite value beyond the
// integer's range stores the most negative integer, silently.
int assign_integer(const NumberText& number, std::int32_t& item) {
    if (number.integer_form()) return decimalToInt32(number, item) == conversion_ok ? 0 : err::kInputConversion;
    double value = 0.0;
    if (decimalToReal64(number, value) != conversion_ok) return err::kInputConversion;
    const bool fits = value > -2147483649.0 && value < 2147483648.0;
    item = fits ? static_cast<std::int32_t>(std::trunc(value)) : INT32_MIN;
    return 0;
}

}  // namespace

struct ValueScanner::Value {
    enum class Kind : std::uint8_t { null, slash, logical, string, number };
    Kind kind = Kind::null;
    bool endedAtStar = false;
    NumberText number;
};

ValueScanner::~ValueScanner() { endStatement(); }

int ValueScanner::beginStatement(RecordSource& records) {
    if (state_.in_statement) endStatement();
    records_ = &records;
    state_ = ScanState{};
    error_ = records.next_record(state_.record);
    if (error_ != 0) return error_;
    if (string_block_.data() == nullptr && !string_block_.allocate(string_buffer_size)) return error_ = err::kNoMemory;
    state_.in_statement = true;
    state_.recordCrossed = true;
    return error_;
}

void ValueScanner::endStatement() {
    state_.in_statement = false;
    state_.repeatLeft = 0;
}

int ValueScanner::readItem(std::int32_t& item) { return serve({&item, nullptr}); }

int ValueScanner::readItem(float& item) {
    // The common item: blanks within the record, then a number that ends
    // there. Whatever the recogniser refuses here, seeking would refuse too
    // or take as something else, so that goes the general way, from the
    // same position.
    ScanState& s = state_;
    if (error_ == 0 && s.in_statement && !s.slashSeen && s.repeatLeft <= 0 && !s.pairOpen) {
        std::size_t start = s.position;
        while (start < s.record.size() && byte_class(s.record[start]) == ByteClass::blank) ++start;
        NumberText number;
        if (const NumberScan scan = recognise_number(s.record, start, number); scan.ending == NumberEnd::text_end) {
            s.commaTaken = false;
            s.leftDataRecord = false;
            s.recordCrossed = false;
            s.seenNonBlank = true;
            s.position = scan.end;
            error_ = decimalToReal32(number, item) == conversion_ok ? 0 : err::kInputConversion;
            return error_;
        }
    }
    return serve({nullptr, &item});
}

int ValueScanner::readItem(double& item) { return serve({nullptr, nullptr, &item}); }

int ValueScanner::assign(const NumberText& number, ItemRef item) {
    if (item.type() == ItemType::integer32) return assign_integer(number, *item.integer);
    if (item.wide != nullptr) return decimalToReal64(number, *item.wide) == conversion_ok ? 0 : err::kInputConversion;
    return decimalToReal32(number, *item.real) == conversion_ok ? 0 : err::kInputConversion;
}

int ValueScanner::serve(ItemRef item) {
    if (error_ != 0) return error_;
    // Outside a statement there is nothing to read from.
    if (!state_.in_statement) return err::kEndOfFile;
    int number = 0;
    if (state_.slashSeen) {
        number = 0;
    } else if (state_.repeatLeft > 0) {
        --state_.repeatLeft;
        number = state_.repeatIsNull ? 0 : assign(state_.repeatText, item);
    } else {
        number = seekAndAssign(item);
    }
    state_.recordCrossed = false;
    error_ = number;
    return number;
}

int ValueScanner::seekAndAssign(ItemRef item) {
    Value value;
    if (const int number = seek(value, false); number != 0) return number;
    if (value.kind == Value::Kind::number && value.endedAtStar) {
        const NumberText count = value.number;
        if (const int number = takeRepeat(count, value); number != 0) return number;
    }
    switch (value.kind) {
    case Value::Kind::null:
        return 0;
    case Value::Kind::slash:
        state_.slashSeen = true;
        return 0;
    case Value::Kind::logical:
    case Value::Kind::string:
        return err::kInputConversion;
    case Value::Kind::number:
        break;
    }
    if (const int number = assign(value.number, item); number != 0) return number;
    // An integer item takes a pair's first number and looks no further.
    if (!state_.pairOpen || item.type() == ItemType::integer32) return 0;
    state_.pairOpen = false;
    return closePair();
}

// After "r*": a blank, a comma or the record end makes the repeated value a
// null; anything else is classified at once, without passing blanks.
int ValueScanner::takeRepeat(const NumberText& count, Value& value) {
    std::int32_t r = 0;
    if (decimalToInt32(count, r) != conversion_ok) return err::kInputConversion;
    ScanState& s = state_;
    ++s.position;  // the "*"
    // Counts of 0 and below serve just this item.
    s.repeatLeft = r > 1 ? r - 1 : 0;
    s.repeatIsNull = true;
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
    if (value.endedAtStar) return err::kSyntaxError;
    s.repeatIsNull = false;
    s.repeatText = value.number;
    return 0;
}

// The last non-blank byte before `end` in the statement, 0 if none.
char ValueScanner::lastNonBlankBefore(std::size_t end) const {
    for (std::size_t i = end; i > 0; --i) {
        if (!is_blank(state_.record[i - 1])) return state_.record[i - 1];
    }
    return state_.lastRecordTail;
}

// A comma met while seeking: a null value, or the separator after a value.
// In effect it is a null exactly when the nearest non-blank byte before it in
// the statement is another comma, or when there is none.
bool ValueScanner::commaIsNull() {
    ScanState& s = state_;
    bool null = false;
    if (!s.recordCrossed) {
        const char before = s.commaTaken ? ',' : lastNonBlankBefore(s.position);
        null = before == ',' || before == 0;
        s.commaTaken = true;
    } else {
        null = !s.leftDataRecord || s.commaTaken;
        s.recordCrossed = false;
    }
    ++s.position;
    return null;
}

int ValueScanner::seek(Value& value, bool afterStar) {
    ScanState& s = state_;
    if (!afterStar) {
        s.commaTaken = false;
        s.leftDataRecord = false;
    }
    bool skipBlanks = !afterStar;
    for (;;) {
        const std::string_view record = s.record;
        if (skipBlanks) {
            while (s.position < record.size() && is_blank(record[s.position])) ++s.position;
        }
        skipBlanks = true;
        if (s.position == record.size()) {
            if (s.seenNonBlank) {
                s.leftDataRecord = true;
                if (!s.commaTaken && lastNonBlankBefore(record.size()) == ',') s.commaTaken = true;
            }
            if (const int number = nextRecord(); number != 0) return number;
            s.recordCrossed = true;
            continue;
        }
        s.seenNonBlank = true;
        switch (byte_class(record[s.position])) {
        case ByteClass::comma:
            if (!commaIsNull()) continue;
            value.kind = Value::Kind::null;
            return 0;
        case ByteClass::slash:
            value.kind = Value::Kind::slash;
            return 0;
        case ByteClass::quote:
            return readString(value);
        case ByteClass::open:
            if (s.pairOpen) return err::kSyntaxError;
            s.pairOpen = true;
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
        return scanNumber(value);
    }
}

// On success the position rests on the byte that ended the number's text.
int ValueScanner::scanNumber(Value& value) {
    ScanState& s = state_;
    const NumberScan scan = recognise_number(s.record, s.position, value.number);
    if (scan.ending == NumberEnd::malformed) return err::kSyntaxError;
    s.position = scan.end;
    value.kind = Value::Kind::number;
    value.endedAtStar = scan.ending == NumberEnd::star;
    return 0;
}

// A quoted string: copied to the string buffer, two quotes standing for one,
// continuing over record ends with nothing between the records.
int ValueScanner::readString(Value& value) {
    ScanState& s = state_;
    const char quote = s.record[s.position++];
    s.stringLength = 0;
    for (;;) {
        if (s.position == s.record.size()) {
            const int number = nextRecord();
            if (number == err::kEndOfFile) return err::kSyntaxError;
            if (number != 0) return number;
            continue;
        }
        const char c = s.record[s.position++];
        if (c == quote) {
            // A closing quote at a record end may still be doubled by the
            // first byte of the next non-empty record.
            while (s.position == s.record.size()) {
                const int number = nextRecord();
                if (number == err::kEndOfFile) break;
                if (number != 0) return number;
            }
            if (s.position == s.record.size() || s.record[s.position] != quote) {
                value.kind = Value::Kind::string;
                return 0;
            }
            ++s.position;
        }
        if (s.stringLength == string_length_max) return err::kSyntaxError;
        string_block_.data()[s.stringLength++] = c;
    }
}

// Passes blanks and record ends; the records running out is end of file.
int ValueScanner::skipBlanksAndRecords() {
    ScanState& s = state_;
    for (;;) {
        while (s.position < s.record.size() && is_blank(s.record[s.position])) ++s.position;
        if (s.position < s.record.size()) return 0;
        if (const int number = nextRecord(); number != 0) return number;
    }
}

// The rest of a pair after a real item's value: "," second number ")". The
// second number is only checked, never converted.
int ValueScanner::closePair() {
    ScanState& s = state_;
    if (const int number = skipBlanksAndRecords(); number != 0) return number;
    if (s.record[s.position] != ',') return err::kSyntaxError;
    ++s.position;
    if (const int number = skipBlanksAndRecords(); number != 0) return number;
    if (const int number = scanPairNumber(); number != 0) return number;
    if (const int number = skipBlanksAndRecords(); number != 0) return number;
    if (s.record[s.position] != ')') return err::kSyntaxError;
    ++s.position;
    return 0;
}

// Sign, then a word as far as it agrees with INFINITY or NAN (a NAN word may
// carry a part in parentheses within the record), or digits with an optional
// point and an exponent letter followed by digits only.
int ValueScanner::scanPairNumber() {
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
int ValueScanner::nextRecord() {
    ScanState& s = state_;
    if (const char tail = lastNonBlankBefore(s.record.size()); tail != 0) s.lastRecordTail = tail;
    std::string_view record;
    if (const int number = records_->next_record(record); number != 0) return number;
    s.record = record;
    s.position = 0;
    return 0;
}

}  // namespace io
