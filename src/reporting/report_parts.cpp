#include "reporting/report_parts.h"

#include <atomic>

#include "platform/process.h"
#include "reporting/environment.h"
#include "reporting/report.h"
#include "reporting/error_numbers.h"
#include "reporting/text_writer.h"

namespace rt {

std::size_t compose_message_line(std::span<char> out, const CatalogueEntry& entry, int insert_count,
                                 std::va_list inserts) {
    if (out.size() < 3) return 0;
    // Room for the line itself; CR LF and the zero byte always follow it.
    TextWriter line(out.first(out.size() - 3));
    format_text(line, SeverityPrefix[entry.severity], entry.number);
    if (insert_count > 0)
        format_text_v(line, entry.text, inserts);
    else
        line.put(entry.text);
    std::size_t used = line.size();
    out[used++] = '\r';
    out[used++] = '\n';
    out[used] = '\0';
    return used;
}

void write_to_display(std::string_view text, ReportOutput how) {
    if (reporting_environment().disable_display) return;
    // A report that cannot be written is dropped: there is nowhere to say so.
    switch (how) {
        case ReportOutput::stream: platform::write_standard_error_stream(text); return;
        case ReportOutput::stream_alike: platform::write_standard_error_text(text); return;
        case ReportOutput::raw: platform::write_standard_error(text); return;
    }
}

namespace {
std::atomic<ClearStatusLine> g_clear_status_line{nullptr};
}  // namespace

void set_clear_status_line(ClearStatusLine clear) { g_clear_status_line.store(clear); }

void redirect_standard_error_once() {
    // Every report passes here before its first byte; the line goes first,
    // while standard error is still the terminal it was drawn on.
    if (ClearStatusLine clear = g_clear_status_line.load(); clear != nullptr) clear();
    // A flag, not a lock: a fault report may interrupt the code holding a lock.
    static std::atomic<bool> done{false};
    if (done.exchange(true)) return;
    if (const char* path = reporting_environment().fort0; path != nullptr)
        platform::reopen_standard_error(path);  // unopenable: standard error stays as it was
}

std::size_t compose_system_error_line(std::span<char> out, std::string_view platform_text, std::uint32_t code) {
    const std::string_view prefix = SeverityPrefix[severity_success];
    if (out.size() < prefix.size() + 2) return 0;
    std::size_t used = 0;
    if (!platform_text.empty()) {
        TextWriter line(out.first(out.size() - 1));
        line.put(prefix);
        line.put(platform_text);
        used = line.size();
    } else {
        // The substitute carries no line break of its own: one is added.
        TextWriter line(out.first(out.size() - 2));
        line.put(prefix);
        format_text(line, lookup_error(err::kNoSystemMessage).text, static_cast<int>(code));
        used = line.size();
        out[used++] = '\n';
    }
    out[used] = '\0';
    return used;
}

}  // namespace rt
