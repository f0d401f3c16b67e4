#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/files.h"

namespace {

using platform::ErrorCategory;

// The system codes an open can fail with, and what the record layer must
// make of each.
TEST(Categorize, SystemCodes) {
    struct Case {
        platform::SystemError code;
        ErrorCategory category;
    };
    const Case cases[] = {
        {ERROR_SUCCESS, ErrorCategory::none},
        {ERROR_FILE_NOT_FOUND, ErrorCategory::file_not_found},
        {ERROR_PATH_NOT_FOUND, ErrorCategory::path_not_found},
        {ERROR_INVALID_NAME, ErrorCategory::invalid_name},
        {ERROR_BAD_PATHNAME, ErrorCategory::invalid_name},
        {ERROR_FILENAME_EXCED_RANGE, ErrorCategory::name_too_long},
        {ERROR_ALREADY_EXISTS, ErrorCategory::already_exists},
        {ERROR_FILE_EXISTS, ErrorCategory::already_exists},
        {ERROR_ACCESS_DENIED, ErrorCategory::access_denied},
        {ERROR_WRITE_PROTECT, ErrorCategory::write_protected},
        {ERROR_SHARING_VIOLATION, ErrorCategory::sharing_violation},
        {ERROR_LOCK_VIOLATION, ErrorCategory::other},  // no retry for a locked range
        {ERROR_BAD_UNIT, ErrorCategory::bad_unit},
        {ERROR_INVALID_DRIVE, ErrorCategory::bad_unit},
        {ERROR_TOO_MANY_OPEN_FILES, ErrorCategory::too_many_open_files},
        {ERROR_HANDLE_EOF, ErrorCategory::end_of_file},
        {ERROR_DISK_FULL, ErrorCategory::disk_full},
        {ERROR_HANDLE_DISK_FULL, ErrorCategory::disk_full},
        {ERROR_NOT_ENOUGH_MEMORY, ErrorCategory::out_of_memory},
        {ERROR_BROKEN_PIPE, ErrorCategory::other},
        {0xC0000005, ErrorCategory::other},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::categorize(c.code), c.category) << c.code;
}

std::string text_of(platform::SystemError code, std::size_t room = 1024) {
    std::string out(room, '#');
    const std::size_t length = platform::system_error_text(code, {out.data(), out.size()});
    return out.substr(0, length);
}

// The system's own message, whatever its wording, with its CR LF.
TEST(SystemErrorText, FormatMessageTextEndsInCrLf) {
    for (const platform::SystemError code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION,
                                             ERROR_DISK_FULL, ERROR_INVALID_NAME}) {
        const std::string text = text_of(code);
        ASSERT_GT(text.size(), 2u) << code;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << code;
        EXPECT_EQ(text.find('\r'), text.size() - 2) << code;
    }
}

// A code the system has no message for gives no text: the reporter then
// writes its substitute line.
TEST(SystemErrorText, NoTextForUnknownCodesOrTooLittleRoom) {
    for (const platform::SystemError code : {0x12345u, 99999u, 0xC0000005u}) EXPECT_EQ(text_of(code), "") << code;
    const std::string whole = text_of(ERROR_ACCESS_DENIED);
    EXPECT_EQ(text_of(ERROR_ACCESS_DENIED, whole.size() + 1), whole);  // the text and its zero
    EXPECT_EQ(text_of(ERROR_ACCESS_DENIED, whole.size()), "");
    EXPECT_EQ(text_of(ERROR_ACCESS_DENIED, 0), "");
}

}  // namespace
