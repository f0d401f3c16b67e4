#include "reporting/report.h"

#include <atomic>
#include <cstdarg>
#include <cstring>

#include "platform/console_events.h"
#include "platform/memory.h"
#include "platform/process.h"
#include "reporting/environment.h"
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
std::atomic<bool> g_unit_pass_on_fault_path{false};

// A fault report runs where the heap is not safe to touch (the fault may
// have struck inside it): it takes this buffer instead.
char g_fault_buffer[kReportBufferSize];
std::atomic<bool> g_fault_buffer_taken{false};

// The report buffer: the full 16384 bytes, else exactly what the message
// line needs (no traceback then), else none. Safe on the fault path, which
// takes the static buffer.
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

// Safe on the fault path.
bool debugger_attached(const ReportingEnvironment& env) {
    return platform::debugger_present() || env.debugger_variable || env.other_debugger_variable;
}

bool wants_traceback(int severity, int n, bool resume) {
    return severity == severity_severe || severity == severity_error || resume || (n >= err::kTracedFirst && n <= err::kTracedLast);
}

// The fallback buffer holds the line as formatted (prefix with its number,
// text, CR LF, zero), so that no insert is cut there. Safe on the fault path.
std::size_t line_size_of(const CatalogueEntry& entry, int insert_count, std::va_list inserts) {
    const std::size_t prefix = std::strlen(SeverityPrefix[entry.severity]) + 8;
    if (insert_count == 0) return prefix + std::strlen(entry.text) + 13;
    TextWriter measure({});
    format_text_v(measure, entry.text, inserts);
    return prefix + measure.wanted() + 3;
}

// With no buffer at all the out-of-memory notice goes out from the stack,
// to standard error only. Safe on the fault path.
void report_without_buffer(int n, bool fault_path) {
    char line[160];
    TextWriter text(std::span<char>{line}.first(sizeof line - 2));
    text.put(SeverityPrefix[severity_success]);
    format_text(text, lookup_error(err::kNoMessageBuffer).text, n);
    std::size_t used = text.size();
    line[used++] = '\r';
    line[used++] = '\n';
    write_to_display({line, used}, fault_path ? ReportOutput::stream_alike : ReportOutput::stream);
}

// A stack overflow's report goes out as its raw bytes. Any other fault's
// report runs where the stream library may hold its locks: it goes out
// through raw writes too, but with the bytes the stream would have made.
// Safe on the fault path unless `how` is the stream.
ReportOutput output_for(int number, bool fault_path) {
    if (number == err::kStackOverflow) return ReportOutput::raw;
    return fault_path ? ReportOutput::stream_alike : ReportOutput::stream;
}

void emit(std::string_view text, const ReportingEnvironment& env, ReportOutput how) {
    if (env.log_file != nullptr) {
        // A log file that cannot be opened is skipped without notice.
        switch (how) {
            case ReportOutput::stream: platform::append_to_file_stream(env.log_file, text); break;
            case ReportOutput::stream_alike: platform::append_to_file_text(env.log_file, text); break;
            case ReportOutput::raw: platform::append_to_file(env.log_file, text); break;
        }
    }
    write_to_display(text, how);
}

}  // namespace

// Safe on the fault path: the static buffer, a walk without debug
// information, raw writes, a unit pass that frees nothing, and the immediate
// end.
int report_error(int number, int insert_count, ...) {
    const ReportingEnvironment env = reporting_environment();
    const bool debugger = debugger_attached(env);
    const CatalogueEntry entry = lookup_error(number);
    const int n = entry.number;
    FaultContext* const context = fault_context();
    const bool resume = context != nullptr && context->resume_after_report != 0;
    const bool fault_path = context != nullptr && context->fault != nullptr;
    // A severe report ends the process: it is the only report the run makes.
    if (entry.severity == severity_severe && !resume) platform::stop_console_events();

    {
        std::va_list inserts;
        va_start(inserts, insert_count);
        ReportBuffer buffer(fault_path, line_size_of(entry, insert_count, inserts));
        redirect_standard_error_once();
        if (buffer.data() == nullptr) {
            report_without_buffer(n, fault_path);
        } else {
            std::size_t used = compose_message_line({buffer.data(), buffer.size()}, entry, insert_count, inserts);
            if (!env.disable_stack_trace && context != nullptr && buffer.full() &&
                wants_traceback(entry.severity, n, resume))
                used += write_traceback(context->fault, buffer.data() + used, buffer.size() - used);
            emit({buffer.data(), used}, env, output_for(n, fault_path));
        }
        va_end(inserts);
    }

    if (entry.severity == severity_severe) {
        if (resume) return number;
        run_unit_pass(fault_path);
        if (debugger) platform::debug_break();
        if (env.dump_flag) platform::abort_process();
        const int status = platform::exit_status_for(n);
        // A fault's report ends at once: the exit routines and stream flushes
        // of the normal end are not safe where a fault may have struck.
        if (fault_path) platform::end_process_now(status);
        platform::exit_process(status);
    }
    if (debugger && entry.severity == severity_error && !resume) platform::debug_break();
    return number;
}

void set_unit_pass(UnitPass pass) { g_unit_pass.store(pass); }

bool unit_pass_on_fault_path() { return g_unit_pass_on_fault_path.load(); }

// Reports made from here on carry no traceback; a report raised by the pass
// itself finds it already run and goes straight to its exit. The process is
// ending: a console event now would add a second report.
void run_unit_pass(bool fault_path) {
    if (fault_path) g_unit_pass_on_fault_path.store(true);
    platform::stop_console_events();
    release_fault_context();
    if (g_unit_pass_ran.exchange(true)) return;
    if (UnitPass pass = g_unit_pass.load(); pass != nullptr) pass();
}

}  // namespace rt
