// The state of one free-form read statement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace io {

// A repeated value converted ahead of time for either item type, for when its
// text must outlive the record it stands in.
struct PinnedRepeat {
    bool pinned = false;
    int integerStatus = 0;
    std::int32_t integerValue = 0;
    int realStatus = 0;
    float realValue = 0.0f;
};

// Created at the statement's start and discarded at its end.
struct ScanState {
    std::string_view record;    // the current record
    std::size_t position = 0;   // next byte to examine
    std::int32_t repeatLeft = 0;  // uses left of the pending repeated value or null
    bool repeatIsNull = false;
    std::string_view repeatText;  // text of the pending repeated value
    bool repeatIntegerForm = false;
    PinnedRepeat pinnedRepeat;
    bool slashSeen = false;       // all further items are left unchanged
    bool pairOpen = false;        // "(" taken, its pair not yet closed
    bool seenNonBlank = false;    // a non-blank byte was examined in this statement
    bool commaTaken = false;      // see the comma rules in the scanner
    bool leftDataRecord = false;
    bool recordCrossed = false;
    char lastRecordTail = 0;      // last non-blank byte of the latest record left that had one
    char* stringBuffer = nullptr;
    std::size_t stringLength = 0;
};

}  // namespace io
