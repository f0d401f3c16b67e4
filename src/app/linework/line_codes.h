// Which points draw lines, and which string of lines each one joins.
//
// A code draws lines when it is named (by --lines or the codes file), compared
// without regard to case. A code that is not named itself but is a named code
// followed by digits ("EP1", "EP2" when "EP" is named) is a string of its own
// of that code, always, without the codes file saying so: crews number strings
// as the work needs (a third edge, a second ditch) and the office should not
// have to foresee them. A code named in full wins over the split, so a code
// whose digits are part of its name ("T1" named as such) stays whole. The
// digits are read as a number: "EP01" and "EP1" are one string, "EP" another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/linework/line_builder.h"

namespace app::linework {

// "EP12" is {"EP", 12, true}; a code without trailing digits, with nothing
// before them, or with more than nine of them is itself, not numbered.
struct NumberedCode {
    std::string_view base;
    std::uint32_t number = 0;
    bool numbered = false;
};

NumberedCode split_numbered_code(std::string_view code);

enum class LineCodeFault : std::uint8_t { none, empty, has_blank, named_twice };

class LineCodes {
public:
    // Spellings of codes remembered with their string, so that a point's code
    // costs one lookup; past this many (a file whose codes are all different)
    // each is worked out again rather than held.
    static constexpr std::size_t kMostRemembered = 4096;

    // Names a code that draws lines.
    LineCodeFault add(std::string_view code);
    std::size_t size() const { return code_names_.size(); }
    // The k-th code named, upper case.
    const std::string& code(std::size_t k) const { return code_names_[k]; }

    // The string a point with this code joins, kNoLine when its code draws no
    // line. Strings are numbered from 0 in the order they first appear.
    std::uint32_t string_for(std::string_view code);

    std::size_t strings() const { return string_code_.size(); }
    // The named code a string belongs to (its index for code()).
    std::uint32_t code_of(std::uint32_t string) const { return string_code_[string]; }
    // Each string's code as first spelled, upper case ("EP1"): what the
    // summary names.
    const std::vector<std::string>& string_names() const { return string_names_; }

private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    using TextMap = std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>>;

    std::uint32_t work_out(std::string_view code);

    TextMap named_;  // upper case -> index in code_names_
    std::vector<std::string> code_names_;
    std::unordered_map<std::uint64_t, std::uint32_t> string_ids_;  // code index, numbered, number -> string
    std::vector<std::uint32_t> string_code_;
    std::vector<std::string> string_names_;
    TextMap remembered_;  // a spelling as the file wrote it -> string or kNoLine
    std::string scratch_;
};

}  // namespace app::linework
