// What the reporter writes to standard error while a test runs. Severe
// reports return to the test instead of ending it, and carry no traceback.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "reporting/fault_context.h"
#include "support/temp_dir.h"

namespace test_support {

class ReportCapture {
public:
    ReportCapture() {
        if (rt::fault_context() == nullptr) rt::create_fault_context();
        rt::fault_context()->resume_after_report = 1;
        testing::internal::CaptureStderr();
    }
    ~ReportCapture() {
        if (!taken_) testing::internal::GetCapturedStderr();
        if (rt::fault_context() != nullptr) rt::fault_context()->resume_after_report = 0;
    }
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;

    // Everything written so far; ends the capture.
    std::string text() {
        taken_ = true;
        return testing::internal::GetCapturedStderr();
    }

private:
    ScopedEnv no_traceback_{"FOR_DISABLE_STACK_TRACE", "1"};
    ScopedEnv no_log_{"FOR_DIAGNOSTIC_LOG_FILE", nullptr};
    bool taken_ = false;
};

inline int count_of(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

}  // namespace test_support
