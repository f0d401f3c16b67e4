#include "reporting/error_catalogue.h"
#include "reporting/error_numbers.h"

namespace rt {
namespace {

constexpr std::int32_t S = severity_severe;
constexpr std::int32_t E = severity_error;
constexpr std::int32_t W = severity_warning;
constexpr std::int32_t I = severity_info;

constexpr CatalogueEntry kRows[] = {
    {err::kSuccess, severity_success, "operation completed successfully"},
    {err::kInternalConsistency, S, "internal consistency check failure, file %s, line %d"},
    {err::kPermissionDenied, S, "permission to access file denied, unit %d, file %s"},
    {err::kCannotOverwrite, S, "cannot overwrite existing file, unit %d, file %s"},
    {err::kEndOfFile, S, "end-of-file during read, unit %d, file %s"},
    {err::kCloseError, S, "CLOSE error, unit %d, file %s"},
    {err::kFileNotFound, S, "file not found, unit %d, file %s"},
    {err::kOpenFailure, S, "open failure, unit %d, file %s"},
    {err::kWriteError, S, "error during write, unit %d, file %s"},
    {err::kReadError, S, "error during read, unit %d, file %s"},
    {err::kNoMemory, S, "insufficient virtual memory"},
    {err::kNoSuchDevice, S, "no such device, unit %d, file %s"},
    {err::kFileNameError, S, "file name specification error, unit %d, file %s"},
    {err::kWriteToReadOnly, S, "write to READONLY file, unit %d, file %s"},
    {err::kSyntaxError, S, "list-directed I/O syntax error, unit %d, file %s"},
    {err::kTypeMismatch, S, "format/variable-type mismatch, unit %d, file %s"},
    {err::kOutputConversion, E, "output conversion error, unit %d, file %s"},
    {err::kInputConversion, S, "input conversion error, unit %d, file %s"},
    {err::kFloatInvalid, E, "floating invalid"},
    {err::kRecordOverflow, S, "output statement overflows record, unit %d, file %s"},
    {err::kFloatOverflow, E, "floating overflow"},
    {err::kFloatDivideByZero, E, "floating divide by zero"},
    {err::kFloatUnderflow, E, "floating underflow"},
    {err::kNoBufferMemory, S, "cannot allocate memory for the file buffer - out of memory, unit %d, file %s"},
    {err::kBadFormattedRecordLength, S, "FORT_FMT_RECL environment variable has erroneous syntax"},
    {err::kBadBlockSize, S, "FORT_BLOCKSIZE environment variable has erroneous syntax"},
    {err::kBadBufferCount, S, "FORT_BUFFERCOUNT environment variable has erroneous syntax"},
    {err::kFloatInexact, E, "floating inexact"},
    {err::kAccessViolation, S, "Program Exception - access violation"},
    {err::kDatatypeMisalignment, S, "Program Exception - datatype misalignment"},
    {err::kBreakpoint, S, "Program Exception - breakpoint"},
    {err::kSingleStep, S, "Program Exception - single step"},
    {err::kArrayBoundsExceeded, S, "Program Exception - array bounds exceeded"},
    {err::kDenormalOperand, S, "Program Exception - denormal floating-point operand"},
    {err::kFloatStackCheck, S, "Program Exception - floating stack check"},
    {err::kIntegerDivideByZero, S, "Program Exception - integer divide by zero"},
    {err::kIntegerOverflow, S, "Program Exception - integer overflow"},
    {err::kPrivilegedInstruction, S, "Program Exception - privileged instruction"},
    {err::kInPageError, S, "Program Exception - in page error"},
    {err::kIllegalInstruction, S, "Program Exception - illegal instruction"},
    {err::kNoncontinuable, S, "Program Exception - noncontinuable exception"},
    {err::kStackOverflow, S, "Program Exception - stack overflow"},
    {err::kInvalidDisposition, S, "Program Exception - invalid disposition"},
    {err::kUnlistedException, S, "Program Exception - exception code = 0x%lx (%ld)"},
    {err::kArraySizeOverflow, S, "Cannot allocate array - overflow on array size calculation."},
    {err::kConsoleEvent, E, "program aborting due to %s event"},
    {err::kBadTerminatorRule, W, "%s"},
    // The prefixes as catalogue texts; nothing raises these numbers, so
    // they carry the mildest reporting severity.
    {err::kPrefixSuccess, I, SeverityPrefix[severity_success]},
    {err::kPrefixInfo, I, SeverityPrefix[severity_info]},
    {err::kPrefixWarning, I, SeverityPrefix[severity_warning]},
    {err::kPrefixError, I, SeverityPrefix[severity_error]},
    {err::kPrefixSevere, I, SeverityPrefix[severity_severe]},
    {err::kLibraryName, I, "forrtl"},
    {err::kMessageNotFound, S, "Message not found"},
    {err::kNoMessageBuffer, S, "insufficient memory to allocate the buffer for message number %i"},
    {err::kNoSystemMessage, S, "FormatMessage failed for sysmem message number %i"},
};

constexpr bool ascending() {
    for (std::size_t i = 1; i < std::size(kRows); ++i)
        if (kRows[i - 1].number >= kRows[i].number) return false;
    return true;
}
static_assert(ascending(), "catalogue rows must ascend by number");

constexpr std::size_t kNotFoundRow = [] {
    for (std::size_t i = 0; i < std::size(kRows); ++i)
        if (kRows[i].number == err::kMessageNotFound) return i;
    return std::size(kRows);
}();
static_assert(kNotFoundRow < std::size(kRows));

}  // namespace

CatalogueEntry lookup_error(int number) {
    const std::int32_t n = catalogue_number(number);
    for (const CatalogueEntry& row : kRows)
        if (row.number == n) return row;
    return {n, severity_severe, kRows[kNotFoundRow].text};
}

std::span<const CatalogueEntry> error_catalogue() { return kRows; }

}  // namespace rt
