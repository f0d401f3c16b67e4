#include "reporting/report_parts.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/process.h"
#include "reporting/report.h"
#include "reporting/error_numbers.h"

namespace rt {

std::size_t compose_message_line(std::span<char> out, const CatalogueEntry& entry, int insert_count,
                                 std::va_list inserts) {
    if (out.size() < 3) return 0;
    // Room for the line itself; CR LF and the zero byte always follow it.
    const std::size_t limit = out.size() - 2;
    const int prefix = std::snprintf(out.data(), limit, SeverityPrefix[entry.severity], entry.number);
    std::size_t used = prefix < 0 ? 0 : std::min<std::size_t>(prefix, limit - 1);
    if (insert_count > 0) {
        const int text = std::vsnprintf(out.data() + used, limit - used, entry.text, inserts);
        used += text < 0 ? 0 : std::min<std::size_t>(text, limit - used - 1);
    } else {
        const std::size_t text = std::min(std::strlen(entry.text), limit - used - 1);
        std::memcpy(out.data() + used, entry.text, text);
        used += text;
    }
    out[used++] = '\r';
    out[used++] = '\n';
    out[used] = '\0';
    return used;
}

void write_to_display(std::string_view text) {
    if (check_env_flag("FOR_DISABLE_DIAGNOSTIC_DISPLAY")) return;
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

namespace {
std::atomic<ClearStatusLine> g_clear_status_line{nullptr};
}  // namespace

void set_clear_status_line(ClearStatusLine clear) { g_clear_status_line.store(clear); }

void redirect_standard_error_once() {
    // Every report passes here before its first byte; the line goes first,
    // while standard error is still the terminal it was drawn on.
    if (ClearStatusLine clear = g_clear_status_line.load(); clear != nullptr) clear();
    static std::mutex lock;
    static bool done = false;
    std::lock_guard guard(lock);
    if (done) return;
    done = true;
    if (const char* path = std::getenv("FORT0"); path != nullptr)
        platform::reopen_standard_error(path);  // unopenable: standard error stays as it was
}

std::size_t compose_system_error_line(std::span<char> out, std::string_view platform_text, std::uint32_t code) {
    constexpr std::string_view prefix = "forrtl: ";
    if (out.size() < prefix.size() + 2) return 0;
    std::memcpy(out.data(), prefix.data(), prefix.size());
    std::size_t used = prefix.size();
    if (!platform_text.empty()) {
        const std::size_t length = std::min(platform_text.size(), out.size() - 1 - used);
        std::memcpy(out.data() + used, platform_text.data(), length);
        used += length;
    } else {
        // Room for the text, then the line feed and the zero byte.
        const std::size_t limit = out.size() - 1 - used;
        const int length = std::snprintf(out.data() + used, limit, lookup_error(err::kNoSystemMessage).text, static_cast<int>(code));
        used += length < 0 ? 0 : std::min<std::size_t>(length, limit - 1);
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
