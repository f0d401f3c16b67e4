// The words of a point's description that join its point into lines.
//
// A description is its code, the first word, then free words; words are
// parted by blanks (spaces and tabs). Among the words after the code, a word
// that is the one letter B, E or C, in either case, is a control word:
//   B  a new line of the code begins at this point,
//   E  the line ends at this point,
//   C  the line ends here and closes back to its first point.
// Every other word is text and leaves the line alone ("BEGIN", "END", "B2"
// or "C." included), so ordinary descriptions such as "EP B CURB" read as
// meant. One control word per point: a second one, even the same letter, is
// refused, since "B E" or "E C" has no single meaning and a drawing guessed
// from it would be wrong without a word said.
//
// Only the descriptions of points whose code draws lines are read this way;
// the words of every other point are text whatever they are.
#pragma once

#include <cstdint>
#include <string_view>

namespace app::linework {

enum class LineControl : std::uint8_t { none, begin, end, close };

enum class ControlFaultKind : std::uint8_t { none, second_control_word };

struct ControlFault {
    ControlFaultKind kind = ControlFaultKind::none;
    std::string_view word;  // the word refused, inside the description
};

// The code and the words after it; both point into `description`.
struct DescriptionParts {
    std::string_view code;
    std::string_view after_code;
};

// The first word (blanks before it skipped) and what follows it.
DescriptionParts split_description(std::string_view description);

// The control word of the words after a code; `control` is none without one.
// False, with `fault` saying which word, when the words are refused.
bool parse_line_controls(std::string_view after_code, LineControl& control, ControlFault& fault);

// What a refusal says before the word, as a table's faults are told: the
// reader writes "3dpoint: FILE, line L, field F (description): " before it
// and the word quoted after it.
std::string_view control_fault_text(ControlFaultKind kind);

}  // namespace app::linework
