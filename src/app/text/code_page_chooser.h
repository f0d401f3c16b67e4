// The drawing's code page, chosen from every text it writes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "app/text/code_page.h"

namespace app::text {

class CodePageChooser {
public:
    // One text the drawing writes (a name, a label, a code for a layer
    // name), as UTF-8. ASCII is held by every page and costs one pass.
    void feed(std::string_view utf8);

    // The first page, in the order of CodePage, that holds every character
    // fed; ANSI_1252 when none does (the others are then written as \U+XXXX).
    CodePage choice() const;
    // Whether choice() holds every character fed.
    bool holds_all() const { return candidates_ != 0; }

private:
    void take(char32_t c);

    static constexpr std::uint16_t kAllPages = (1u << kCodePageCount) - 1;
    std::uint16_t candidates_ = kAllPages;  // the pages that hold every character so far
    // Characters already taken, so a text in another script costs a table
    // search once a character, not once an occurrence (indexed by the low bits).
    std::array<char32_t, 512> taken_{};
};

}  // namespace app::text
