#include "io/scan/value_scanner.h"

#include <cmath>

#include "io/scan/byte_class.h"
#include "io/scan/decimal_conversion.h"
#include "io/scan/plain_decimal.h"
#include "platform/memory.h"
#include "reporting/error_numbers.h"

namespace io {
namespace {

// A quoted string holds at most 2049 characters; the buffer has one byte more.
constexpr std::size_t string_buffer_size = 2050;
constexpr std::size_t string_length_max = string_buffer_size - 1;

// Ends a number's text: space, TAB, ",", ")" and "/".
constexpr bool ends_number(ByteClass k) {
    return k == ByteClass::blank || k == ByteClass::comma || k == ByteClass::close || k == ByteClass::slash;
}

// The record as the scanner sees it: every trailing carriage return dropped.
std::string_view strip_carriage_returns(std::string_view record) {
    while (!record.empty() && record.back() == '\r') record.remove_suffix(1);
    return record;
}

// An exact plain decimal standing alone as a number's whole text at `start`.
inline bool takePlainNumber(std::string_view record, std::size_t start, PlainDecimal& plain, std::size_t& end) {
    end = start + readPlainDecimal(record.substr(start), plain);
    return plain.exact() && (end == record.size() || ends_number(byte_class(record[end])));
}

}  // namespace

struct ValueScanner::Value {
    enum class Kind : std::uint8_t { null, slash, logical, string, number };
    Kind kind = Kind::null;
    std::string_view text;
    bool integerForm = false;
    bool endedAtStar = false;
    bool plain = false;  // an exact plain decimal, already read into `digits`
    PlainDecimal digits;
};

int assignInteger(std::string_view text, bool integerForm, std::int32_t& item) {
    if (integerForm) return decimalToInt32(text, item) == conversion_ok ? 0 : err::kInputConversion;
    double value = 0.0;
    if (decimalToReal64(text, value) != conversion_ok) return err::kInputConversion;
    // Out of range (finite) stores the most negative integer, silently.
    const bool fits = value > -2147483649.0 && value < 2147483648.0;
    item = fits ? static_cast<std::int32_t>(std::trunc(value)) : INT32_MIN;
    return 0;
}

int assignReal(std::string_view text, float& item) {
    return decimalToReal32(text, item) == conversion_ok ? 0 : err::kInputConversion;
}

ValueScanner::~ValueScanner() { endStatement(); }

int ValueScanner::fetchRecord() {
    std::string_view record;
    if (const int number = records_->next_record(record); number != 0) return number;
    record = strip_carriage_returns(record);
    // A record of the single byte Ctrl-Z ends the file.
    if (record.size() == 1 && record[0] == '\x1a') return err::kEndOfFile;
    state_.record = record;
    state_.position = 0;
    return 0;
}

int ValueScanner::beginStatement(RecordSource& records) {
    if (state_.stringBuffer != nullptr) endStatement();
    records_ = &records;
    state_ = ScanState{};
    error_ = fetchRecord();
    if (error_ != 0) return error_;
    if (string_block_.data() == nullptr && !string_block_.allocate(string_buffer_size)) return error_ = err::kNoMemory;
    state_.stringBuffer = string_block_.data();
    state_.recordCrossed = true;
    return error_;
}

void ValueScanner::endStatement() {
    state_.stringBuffer = nullptr;
    state_.repeatLeft = 0;
}

int ValueScanner::readItem(std::int32_t& item) {
    return serve({&item, nullptr});
}

int ValueScanner::readItem(float& item) {
    // Fast path for the common item: blanks within the record, then a plain
    // decimal. Anything else goes the general way, from the same position.
    ScanState& s = state_;
    if (error_ == 0 && s.stringBuffer != nullptr && !s.slashSeen && s.repeatLeft <= 0 && !s.pairOpen) {
        const std::string_view record = s.record;
        std::size_t start = s.position;
        while (start < record.size() && byte_class(record[start]) == ByteClass::blank) ++start;
        PlainDecimal plain;
        if (std::size_t end = 0; start < record.size() && takePlainNumber(record, start, plain, end)) {
            s.commaTaken = false;
            s.leftDataRecord = false;
            s.recordCrossed = false;
            s.seenNonBlank = true;
            s.position = end;
            item = plainDecimalToReal32(plain);
            return 0;
        }
    }
    return serve({nullptr, &item});
}

int ValueScanner::serve(ItemRef item) {
    if (error_ != 0) return error_;
    // Outside a statement there is nothing to read from.
    if (state_.stringBuffer == nullptr) return err::kEndOfFile;
    int number = 0;
    if (state_.slashSeen) {
        number = 0;
    } else if (state_.repeatLeft > 0) {
        --state_.repeatLeft;
        number = state_.repeatIsNull ? 0 : serveRepeat(item);
    } else {
        number = seekAndAssign(item);
    }
    state_.recordCrossed = false;
    error_ = number;
    return number;
}

// A pending repeated value, converted again for this item.
int ValueScanner::serveRepeat(ItemRef item) {
    const PinnedRepeat& pinned = state_.pinnedRepeat;
    if (item.type() == InputItemType::Integer32Item) {
        if (!pinned.pinned) return assignInteger(state_.repeatText, state_.repeatIntegerForm, *item.integer);
        if (pinned.integerStatus == 0) *item.integer = pinned.integerValue;
        return pinned.integerStatus;
    }
    if (!pinned.pinned) return assignReal(state_.repeatText, *item.real);
    if (pinned.realStatus == 0) *item.real = pinned.realValue;
    return pinned.realStatus;
}

int ValueScanner::seekAndAssign(ItemRef item) {
    Value value;
    if (const int number = seek(value, false); number != 0) return number;
    if (value.kind == Value::Kind::number && value.endedAtStar) {
        const Value count = value;
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
    if (item.type() == InputItemType::Integer32Item) {
        // An integer item takes a pair's first number and looks no further.
        return assignInteger(value.text, value.integerForm, *item.integer);
    }
    if (value.plain) {
        *item.real = plainDecimalToReal32(value.digits);
    } else if (const int number = assignReal(value.text, *item.real); number != 0) {
        return number;
    }
    if (!state_.pairOpen) return 0;
    state_.pairOpen = false;
    return closePair();
}

// After "r*": a blank, a comma or the record end makes the repeated value a
// null; anything else is classified at once, without passing blanks.
int ValueScanner::takeRepeat(const Value& count, Value& value) {
    std::int32_t r = 0;
    if (decimalToInt32(count.text, r) != conversion_ok) return err::kInputConversion;
    ScanState& s = state_;
    ++s.position;  // the "*"
    // Counts of 0 and below serve just this item.
    s.repeatLeft = r > 1 ? r - 1 : 0;
    s.repeatIsNull = true;
    s.pinnedRepeat = PinnedRepeat{};
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
    // A repeat of a repeat is not a value.
    if (value.kind == Value::Kind::number && value.endedAtStar) return err::kSyntaxError;
    if (value.kind == Value::Kind::number) {
        s.repeatIsNull = false;
        s.repeatText = value.text;
        s.repeatIntegerForm = value.integerForm;
    }
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
        const char c = record[s.position];
        switch (byte_class(c)) {
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
        scanNumber(value);
        return value.kind == Value::Kind::number ? 0 : err::kSyntaxError;
    }
}

// Checks a number's text in place. On success the position rests on the byte
// that ended it (or the record end); value.kind is number, else null.
void ValueScanner::scanNumber(Value& value) {
    ScanState& s = state_;
    const std::string_view record = s.record;
    const std::size_t start = s.position;
    std::size_t i = start;
    value.kind = Value::Kind::null;

    // The common case, digits with at most one point, is read as it is checked.
    if (std::size_t end = 0; takePlainNumber(record, start, value.digits, end)) {
        s.position = end;
        value.kind = Value::Kind::number;
        value.text = record.substr(start, end - start);
        value.integerForm = !value.digits.point;
        value.endedAtStar = false;
        value.plain = true;
        return;
    }

    // A word form: INF, INFINITY, NAN(...), checked later by the conversion.
    std::size_t first = i;
    if (first < record.size() && byte_class(record[first]) == ByteClass::sign) ++first;
    if (first < record.size() && byte_class(record[first]) == ByteClass::word) {
        const bool nanWord = (record[first] | 0x20) == 'n';
        i = first;
        while (i < record.size()) {
            const char c = record[i];
            if (ends_number(byte_class(c))) break;
            if (c == '(' && nanWord) {
                const std::size_t close = record.find(')', i + 1);
                i = close == std::string_view::npos ? record.size() : close + 1;
                continue;
            }
            ++i;
        }
        s.position = i;
        value.kind = Value::Kind::number;
        value.text = record.substr(start, i - start);
        value.integerForm = true;
        value.endedAtStar = false;
        return;
    }

    bool signOpen = false;  // a sign with no digit after it yet
    bool digit = false;
    bool point = false;
    bool exponent = false;
    bool star = false;
    for (; i < record.size(); ++i) {
        const ByteClass k = byte_class(record[i]);
        if (k == ByteClass::digit) {
            digit = true;
            signOpen = false;
        } else if (k == ByteClass::sign) {
            if (signOpen) return;
            signOpen = true;
        } else if (k == ByteClass::point) {
            if (point) return;
            point = true;
        } else if (k == ByteClass::exponent) {
            if (exponent || !digit || signOpen) return;
            exponent = true;
        } else if (ends_number(k)) {
            break;
        } else if (k == ByteClass::star) {
            star = true;
            break;
        } else {
            return;
        }
    }
    if (signOpen || !digit) return;
    s.position = i;
    value.kind = Value::Kind::number;
    value.text = record.substr(start, i - start);
    value.integerForm = !point && !exponent;
    value.endedAtStar = star;
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
                value.text = std::string_view(s.stringBuffer, s.stringLength);
                return 0;
            }
            ++s.position;
        }
        if (s.stringLength == string_length_max) return err::kSyntaxError;
        s.stringBuffer[s.stringLength++] = c;
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
        const std::string_view word = (record[i] | 0x20) == 'i' ? "infinity" : "nan";
        std::size_t agreed = 0;
        while (i < record.size() && agreed < word.size() && (record[i] | 0x20) == word[agreed]) {
            ++i;
            ++agreed;
        }
        if (word == "nan" && i < record.size() && record[i] == '(') {
            const std::size_t close = record.find(')', i + 1);
            if (close == std::string_view::npos) return err::kSyntaxError;
            i = close + 1;
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

// The record reader's next record. A pending repeated value whose text lies in
// the record being left is converted now, while its text is still there.
int ValueScanner::nextRecord() {
    ScanState& s = state_;
    if (s.repeatLeft > 0 && !s.repeatIsNull && !s.pinnedRepeat.pinned) pinRepeat();
    if (const char tail = lastNonBlankBefore(s.record.size()); tail != 0) s.lastRecordTail = tail;
    return fetchRecord();
}

void ValueScanner::pinRepeat() {
    PinnedRepeat& pinned = state_.pinnedRepeat;
    pinned.integerStatus = assignInteger(state_.repeatText, state_.repeatIntegerForm, pinned.integerValue);
    pinned.realStatus = assignReal(state_.repeatText, pinned.realValue);
    pinned.pinned = true;
}

}  // namespace io
