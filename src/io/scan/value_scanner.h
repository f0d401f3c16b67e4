// Free-form (list-directed) reading of values from text records.
#pragma once

#include <cstdint>

#include "io/heap_block.h"
#include "io/item_type.h"
#include "io/scan/record_source.h"
#include "io/scan/scan_state.h"

namespace io {

// Reads the items of one statement at a time from the records of a source.
// Every call returns a run-time error number, 0 for success; after a non-zero
// number the statement is over and nothing more is read.
class ValueScanner {
public:
    ValueScanner() = default;
    ValueScanner(const ValueScanner&) = delete;
    ValueScanner& operator=(const ValueScanner&) = delete;
    ~ValueScanner();

    // Skips the rest of the current record and reads the next: 0, 24, 41,
    // or the reader's own error.
    int begin_statement(RecordSource& records);
    int read_item(std::int32_t& item);  // ItemType::integer32
    int read_item(float& item);         // ItemType::real32
    int read_item(double& item);        // a real item held in double precision
    // Ends the statement; the rest of the record is left unread. The string
    // buffer stays with the scanner for its next statement: a block of this
    // size would otherwise cost a full heap round trip per point.
    void end_statement();

private:
    // Exactly one of the three is set; small enough to travel in registers.
    // A double item is a real item in every rule but its conversion.
    struct ItemRef {
        std::int32_t* integer;
        float* real;
        double* wide = nullptr;
        ItemType type() const {
            return integer != nullptr ? ItemType::integer32 : ItemType::real32;
        }
    };
    struct Value;

    static int assign(const NumberText& number, ItemRef item);
    int serve(ItemRef item);
    int seek_and_assign(ItemRef item);
    int seek(Value& value, bool after_star);
    bool comma_is_null();
    int scan_number(Value& value);
    int read_string(Value& value);
    int take_repeat(const NumberText& count, Value& value);
    int close_pair();
    int skip_blanks_and_records();
    int scan_pair_number();
    int next_record();
    char last_non_blank_before(std::size_t end) const;

    RecordSource* records_ = nullptr;
    HeapBlock string_block_;
    ScanState state_;
    int error_ = 0;
};

}  // namespace io
