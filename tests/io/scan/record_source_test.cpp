#include "io/scan/record_source.h"

#include <gtest/gtest.h>

#include <string>

namespace io {
namespace {

struct Case {
    std::string line;
    bool lf_delimited;
    bool free_form;
    int error;
    std::string record;  // checked when error is 0
};

TEST(CutRecord, DropsLineEndCarriageReturnsAndSeesTheEndOfFileMark) {
    const Case cases[] = {
        {"1 2 3", true, true, 0, "1 2 3"},
        {"1 2 3\r", true, false, 0, "1 2 3"},
        {"a\r\r", true, false, 0, "a\r"},  // one CR belongs to the line end
        {"a\r\r", true, true, 0, "a"},     // a free-form read drops them all
        {"a\rb", true, true, 0, "a\rb"},   // a CR inside stays
        {"\r\r", true, true, 0, ""},
        {"", true, true, 0, ""},
        {"a\r", false, true, 0, "a\r"},    // with CR as delimiter, nothing more is dropped
        {"\x1a", true, false, 24, ""},
        {"\x1a\r", true, false, 24, ""},
        {"\x1a\r\r", true, true, 24, ""},
        {"\x1a\r\r", true, false, 0, "\x1a\r"},
        {"\x1a\x1a", true, true, 0, "\x1a\x1a"},  // only a lone Ctrl-Z
        {"\x1a ", true, true, 0, "\x1a "},
        {"\x1a", false, true, 24, ""},
    };
    for (const Case& c : cases) {
        std::string_view record = "untouched";
        EXPECT_EQ(cut_record(c.line, c.lf_delimited, c.free_form, record), c.error) << c.line;
        if (c.error == 0) {
            EXPECT_EQ(record, c.record) << c.line;
        }
    }
}

}  // namespace
}  // namespace io
