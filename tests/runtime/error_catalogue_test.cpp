#include "runtime/error_catalogue.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

TEST(ErrorCatalogue, Lookup) {
    struct Case {
        int number;
        int shown;
        int severity;
        std::string_view text;
    };
    const Case cases[] = {
        {24, 24, rt::severity_severe, "end-of-file during read, unit %d, file %s"},
        {24 + 65536, 24, rt::severity_severe, "end-of-file during read, unit %d, file %s"},
        {63, 63, rt::severity_error, "output conversion error, unit %d, file %s"},
        {200, 200, rt::severity_error, "program aborting due to %s event"},
        {172, 172, rt::severity_severe, "Program Exception - exception code = 0x%lx (%ld)"},
        {780, 780, rt::severity_warning, "FOR_FMT_TERMINATOR environment variable has erroneous syntax, ignored"},
        {65536, 0, rt::severity_success, "operation completed successfully"},
        {-65536 + 30, 30, rt::severity_severe, "open failure, unit %d, file %s"},
        // Numbers without a row: the text of 500, severe, under their own number.
        {1, 1, rt::severity_severe, "Message not found"},
        {1234, 1234, rt::severity_severe, "Message not found"},
        {-1, 65535, rt::severity_severe, "Message not found"},
    };
    for (const Case& c : cases) {
        const rt::CatalogueEntry entry = rt::lookup_error(c.number);
        EXPECT_EQ(entry.number, c.shown) << c.number;
        EXPECT_EQ(entry.severity, c.severity) << c.number;
        EXPECT_EQ(entry.text, c.text) << c.number;
    }
}

}  // namespace
