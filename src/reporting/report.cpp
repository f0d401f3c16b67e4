#include "reporting/report.h"

#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "platform/memory.h"
#include "platform/process.h"
#include "reporting/error_catalogue.h"
#include "reporting/error_numbers.h"
#include "reporting/fault_context.h"
#include "reporting/report_parts.h"
#include "reporting/text_writer.h"
#include "reporting/traceback.h"

namespace rt {
namespace {

constexpr std::size_t kReportBufferSize = 16384;

std::atomic<UnitPass> g_unit_pass{nullptr};
std::atomic<bool> g_unit_pass_ran{false};

// A fault report may run in a signal handler, where the heap is not safe to
// touch (the fault may have struck inside it): it takes this buffer instead.
char g_fault_buffer[kReportBufferSize];
std::atomic<bool> g_fault_buffer_taken{false};

// The report buffer: the full 16384 bytes, else exactly what the message
// line needs (no traceback then), else none.
class ReportBuffer {
public:
    ReportBuffer(bool fault_path, std::size_t line_size) {
        if (fault_path && !g_fault_buffer_taken.exchange(true)) {
            data_ = g_fault_buffer;
            size_ = kReportBufferSize;
            static_ = true;
            return;
        }
        if ((data_ = static_cast<char*>(platform::heap_allocate(kReportBufferSize))) != nullptr) {
            size_ = kReportBufferSize;
        } else if ((data_ = static_cast<char*>(platform::heap_allocate(line_size))) != nullptr) {
            size_ = line_size;
        }
    }
    ~ReportBuffer() {
        if (static_)
            g_fault_buffer_taken.store(false);
        else
            platform::heap_release(data_);
    }
    ReportBuffer(const ReportBuffer&) = delete;
    ReportBuffer& operator=(const ReportBuffer&) = delete;

    char* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool full() const { return size_ == kReportBufferSize; }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    bool static_ = false;
};

bool debugger_attached() {
    return platform::debugger_present() || check_env_flag("FOR__IS_DEBUGGER_PRESENT") ||
           check_env_flag("FOR_DEBUGGER_IS_PRESENT");
}

bool wants_traceback(int severity, int n, bool resume) {
    return severity == severity_severe || severity == severity_error || resume || (n >= 404 && n <= 407);
}

// With no buffer at all the out-of-memory notice goes out from the stack,
// to standard error only.
void report_without_buffer(int n) {
    char line[160];
    TextWriter text(std::span<char>{line}.first(sizeof line - 2));
    text.put(SeverityPrefix[severity_success]);
    format_text(text, lookup_error(err::kNoMessageBuffer).text, n);
    std::size_t used = text.size();
    line[used++] = '\r';
    line[used++] = '\n';
    write_to_display({line, used});
}

}  // namespace

// On the fault path this runs in a signal handler. What it needs there is
// kept clear of the heap and of stream locks (the static buffer, raw writes,
// a walk without debug information); what remains outside the
// async-signal-safe set is snprintf, getenv, the FORT0 lock and the exit
// routines run by the normal end.
int report_error(int number, int insert_count, ...) {
    const bool debugger = debugger_attached();
    const bool traceback_disabled = check_env_flag("FOR_DISABLE_STACK_TRACE");
    const CatalogueEntry entry = lookup_error(number);
    const int n = entry.number;
    FaultContext* const context = fault_context();
    const bool resume = context != nullptr && context->resume_after_report != 0;

    {
        std::va_list inserts;
        va_start(inserts, insert_count);
        // The fallback buffer holds the line as formatted (prefix with its
        // number, text, CR LF, zero), so that no insert is cut there.
        const std::size_t prefix = std::strlen(SeverityPrefix[entry.severity]) + 8;
        std::size_t line_size = prefix + std::strlen(entry.text) + 13;
        if (insert_count > 0) {
            TextWriter measure({});
            format_text_v(measure, entry.text, inserts);
            line_size = prefix + measure.wanted() + 3;
        }
        ReportBuffer buffer(context != nullptr && context->fault != nullptr, line_size);
        redirect_standard_error_once();
        if (buffer.data() == nullptr) {
            report_without_buffer(n);
        } else {
            std::size_t used = compose_message_line({buffer.data(), buffer.size()}, entry, insert_count, inserts);
            if (!traceback_disabled && context != nullptr && buffer.full() &&
                wants_traceback(entry.severity, n, resume))
                used += write_traceback(context->fault, buffer.data() + used, buffer.size() - used);
            emit_report({buffer.data(), used}, n);
        }
        va_end(inserts);
    }

    if (entry.severity == severity_severe) {
        if (resume) return number;
        run_unit_pass();
        if (debugger) platform::debug_break();
        if (check_env_flag("f77_dump_flag") || check_env_flag("decfort_dump_flag")) platform::abort_process();
        platform::exit_process(platform::exit_status_for(n));
    }
    if (debugger && entry.severity == severity_error && !resume) platform::debug_break();
    return number;
}

void set_unit_pass(UnitPass pass) { g_unit_pass.store(pass); }

// Reports made from here on carry no traceback; a report raised by the pass
// itself finds it already run and goes straight to its exit.
void run_unit_pass() {
    release_fault_context();
    if (g_unit_pass_ran.exchange(true)) return;
    if (UnitPass pass = g_unit_pass.load(); pass != nullptr) pass();
}

void emit_report(std::string_view text, int number) {
    // A stack overflow leaves no room for the stream library, and any fault
    // report may run in a signal handler that interrupted the stream library
    // holding its locks: those go out through raw writes, byte for byte the same.
    const FaultContext* context = fault_context();
    const bool raw = number == 170 || (context != nullptr && context->fault != nullptr);
    if (const char* log = std::getenv("FOR_DIAGNOSTIC_LOG_FILE"); log != nullptr) {
        // A log file that cannot be opened is skipped without notice.
        if (raw)
            platform::append_to_file(log, text);
        else
            platform::append_to_file_stream(log, text);
    }
    if (!raw)
        write_to_display(text);
    else if (!check_env_flag("FOR_DISABLE_DIAGNOSTIC_DISPLAY"))
        platform::write_standard_error(text);
}

bool check_env_flag(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return false;
    switch (*value) {
        case 't': case 'T': case 'y': case 'Y': return true;
        default: break;
    }
    bool non_zero = false;
    for (const char* c = value; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
        non_zero = non_zero || *c != '0';
    }
    return non_zero;
}

}  // namespace rt
