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
    std::int32_t repeatLeft = 0;  // uses left of the pending repeated value or null
    bool repeatIsNull = false;
    // The pending repeated value as recognised: it outlives the record its
    // text stood in, and each use converts it again for its own item.
    NumberText repeatText;
    bool slashSeen = false;       // all further items are left unchanged
    bool pairOpen = false;        // "(" taken, its pair not yet closed
    bool seenNonBlank = false;    // a non-blank byte was examined in this statement
    bool commaTaken = false;      // see the comma rules in the scanner
    bool leftDataRecord = false;
    bool recordCrossed = false;
    char lastRecordTail = 0;      // last non-blank byte of the latest record left that had one
    std::size_t stringLength = 0;
    // Set once the statement has its first record and its string buffer;
    // until then, and after its end, no item can be read.
    bool in_statement = false;
};

}  // namespace io
