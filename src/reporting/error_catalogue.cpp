#include "reporting/error_catalogue.h"
#include "reporting/error_numbers.h"

namespace rt {
namespace {

constexpr std::int32_t S = severity_severe;
constexpr std::int32_t E = severity_error;
constexpr std::int32_t W = severity_warning;
constexpr std::int32_t I = severity_info;

constexpr CatalogueEntry kRows[] = {
    {0, severity_success, "operation completed successfully"},
    {8, S, "internal consistency check failure, file %s, line %d"},
    {9, S, "permission to access file denied, unit %d, file %s"},
    {10, S, "cannot overwrite existing file, unit %d, file %s"},
    {24, S, "end-of-file during read, unit %d, file %s"},
    {28, S, "CLOSE error, unit %d, file %s"},
    {29, S, "file not found, unit %d, file %s"},
    {30, S, "open failure, unit %d, file %s"},
    {38, S, "error during write, unit %d, file %s"},
    {39, S, "error during read, unit %d, file %s"},
    {41, S, "insufficient virtual memory"},
    {42, S, "no such device, unit %d, file %s"},
    {43, S, "file name specification error, unit %d, file %s"},
    {47, S, "write to READONLY file, unit %d, file %s"},
    {59, S, "list-directed I/O syntax error, unit %d, file %s"},
    {61, S, "format/variable-type mismatch, unit %d, file %s"},
    {63, E, "output conversion error, unit %d, file %s"},
    {64, S, "input conversion error, unit %d, file %s"},
    {65, E, "floating invalid"},
    {66, S, "output statement overflows record, unit %d, file %s"},
    {72, E, "floating overflow"},
    {73, E, "floating divide by zero"},
    {74, E, "floating underflow"},
    {98, S, "cannot allocate memory for the file buffer - out of memory, unit %d, file %s"},
    {99, S, "FORT_FMT_RECL environment variable has erroneous syntax"},
    {106, S, "FORT_BLOCKSIZE environment variable has erroneous syntax"},
    {107, S, "FORT_BUFFERCOUNT environment variable has erroneous syntax"},
    {140, E, "floating inexact"},
    {157, S, "Program Exception - access violation"},
    {158, S, "Program Exception - datatype misalignment"},
    {159, S, "Program Exception - breakpoint"},
    {160, S, "Program Exception - single step"},
    {161, S, "Program Exception - array bounds exceeded"},
    {162, S, "Program Exception - denormal floating-point operand"},
    {163, S, "Program Exception - floating stack check"},
    {164, S, "Program Exception - integer divide by zero"},
    {165, S, "Program Exception - integer overflow"},
    {166, S, "Program Exception - privileged instruction"},
    {167, S, "Program Exception - in page error"},
    {168, S, "Program Exception - illegal instruction"},
    {169, S, "Program Exception - noncontinuable exception"},
    {170, S, "Program Exception - stack overflow"},
    {171, S, "Program Exception - invalid disposition"},
    {172, S, "Program Exception - exception code = 0x%lx (%ld)"},
    {179, S, "Cannot allocate array - overflow on array size calculation."},
    {200, E, "program aborting due to %s event"},
    {400, W, "%s"},
    // The prefixes as catalogue texts; nothing raises these numbers, so
    // they carry the mildest reporting severity.
    {450, I, SeverityPrefix[severity_success]},
    {451, I, SeverityPrefix[severity_info]},
    {452, I, SeverityPrefix[severity_warning]},
    {453, I, SeverityPrefix[severity_error]},
    {454, I, SeverityPrefix[severity_severe]},
    {455, I, "forrtl"},
    {500, S, "Message not found"},
    {502, S, "insufficient memory to allocate the buffer for message number %i"},
    {504, S, "FormatMessage failed for sysmem message number %i"},
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
