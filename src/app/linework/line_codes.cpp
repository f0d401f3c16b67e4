#include "app/linework/line_codes.h"

namespace app::linework {

namespace {

constexpr std::size_t kMostDigits = 9;  // any nine digits fit 32 bits

void upper_case_into(std::string_view text, std::string& out) {
    out.assign(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

}  // namespace

NumberedCode split_numbered_code(std::string_view code) {
    std::size_t digits = 0;
    while (digits < code.size() && code[code.size() - 1 - digits] >= '0' && code[code.size() - 1 - digits] <= '9')
        ++digits;
    if (digits == 0 || digits == code.size() || digits > kMostDigits) return {code, 0, false};
    std::uint32_t number = 0;
    for (const char c : code.substr(code.size() - digits)) number = number * 10 + static_cast<std::uint32_t>(c - '0');
    return {code.substr(0, code.size() - digits), number, true};
}

LineCodeFault LineCodes::add(std::string_view code) {
    if (code.empty()) return LineCodeFault::empty;
    if (code.find_first_of(" \t") != std::string_view::npos) return LineCodeFault::has_blank;
    upper_case_into(code, scratch_);
    if (!named_.try_emplace(scratch_, static_cast<std::uint32_t>(code_names_.size())).second)
        return LineCodeFault::named_twice;
    code_names_.push_back(scratch_);
    // A spelling remembered as no line may be this code now.
    remembered_.clear();
    return LineCodeFault::none;
}

std::uint32_t LineCodes::string_for(std::string_view code) {
    if (const auto found = remembered_.find(code); found != remembered_.end()) return found->second;
    const std::uint32_t string = work_out(code);
    if (remembered_.size() < kMostRemembered) remembered_.emplace(code, string);
    return string;
}

std::uint32_t LineCodes::work_out(std::string_view code) {
    upper_case_into(code, scratch_);
    std::uint32_t index = 0;
    NumberedCode split{scratch_, 0, false};
    if (const auto whole = named_.find(scratch_); whole != named_.end()) {
        index = whole->second;
    } else {
        split = split_numbered_code(scratch_);
        const auto base = named_.find(split.base);
        if (base == named_.end()) return kNoLine;
        index = base->second;
    }
    const std::uint64_t key = (std::uint64_t{index} << 33) | (std::uint64_t{split.numbered} << 32) | split.number;
    const auto [where, added] = string_ids_.try_emplace(key, static_cast<std::uint32_t>(string_code_.size()));
    if (added) {
        string_code_.push_back(index);
        string_names_.push_back(scratch_);
    }
    return where->second;
}

}  // namespace app::linework
