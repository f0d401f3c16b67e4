#include "reporting/report_parts.h"

#include <cstdlib>
#include <mutex>

#include "platform/process.h"
#include "reporting/error_numbers.h"
#include "reporting/report.h"
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

void write_to_display(std::string_view text) {
    if (check_env_flag("FOR_DISABLE_DIAGNOSTIC_DISPLAY")) return;
    platform::write_standard_error_stream(text);
}

void redirect_standard_error_once() {
    static std::mutex lock;
    static bool done = false;
    std::lock_guard guard(lock);
    if (done) return;
    done = true;
    if (const char* path = std::getenv("FORT0"); path != nullptr)
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

bool statement_takes_failure(int number, std::uint32_t branches) {
    if ((branches & branch_error) != 0 && number != 24 && number != 268 && number != 613 && number != 758)
        return true;
    if ((branches & branch_end_of_file) != 0 && (number == 24 || number == 27 || number == 613)) return true;
    if ((branches & branch_end_of_record) != 0 && (number == 268 || number == 758)) return true;
    return (branches & branch_quiet_conversion) != 0 && number == 63;
}

}  // namespace rt
