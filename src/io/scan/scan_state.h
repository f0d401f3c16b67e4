// The state of one free-form read statement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "io/scan/number_text.h"

namespace io {

// Created at the statement's start and discarded at its end.
struct ScanState {
    std::string_view record;    // the current record
    std::size_t position = 0;   // next byte to examine
    std::int32_t repeat_left = 0;  // uses left of the pending repeated value or null
    bool repeat_is_null = false;
    // The pending repeated value as recognised: it outlives the record its
    // text stood in, and each use converts it again for its own item.
    NumberText repeat_text;
    bool slash_seen = false;       // all further items are left unchanged
    bool pair_open = false;        // "(" taken, its pair not yet closed
    bool seen_non_blank = false;    // a non-blank byte was examined in this statement
    bool comma_taken = false;      // see the comma rules in the scanner
    bool left_data_record = false;
    bool record_crossed = false;
    char last_record_tail = 0;      // last non-blank byte of the latest record left that had one
    std::size_t string_length = 0;
    // Set once the statement has its first record and its string buffer;
    // until then, and after its end, no item can be read.
    bool in_statement = false;
};

}  // namespace io
