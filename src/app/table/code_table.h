// What a code file says of each point code: its layer, its colour, whether
// its points draw lines. Codes are one code whatever the case of their
// ASCII letters, as layers are keyed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace app::table {

struct CodeEntry {
    std::string code;          // as the file writes it
    std::string layer;         // empty: the layer the code would have without the file
    std::uint8_t colour = 0;   // AutoCAD Colour Index 1..255; 0: the palette's
    bool draws_line = false;
    std::uint64_t line = 0;    // the file's line that gave it
};

// Equal but for the case of ASCII letters.
bool same_code(std::string_view a, std::string_view b);

// The entries in the file's order, found by code through an open-addressed
// hash of their indices: one probe or two for a point's code.
class CodeTable {
public:
    // Adds `entry` and returns nullptr, or, when its code is there already,
    // adds nothing and returns the entry that has it.
    const CodeEntry* add(CodeEntry entry);

    // The entry of `code`, letter case aside; nullptr when there is none.
    const CodeEntry* find(std::string_view code) const;

    std::size_t size() const { return entries_.size(); }
    std::span<const CodeEntry> entries() const { return entries_; }

private:
    // The slot that holds `code`, or the empty one where it would go.
    std::size_t slot_of(std::string_view code, std::size_t hash) const;
    void grow();

    std::vector<CodeEntry> entries_;
    std::vector<std::uint32_t> slots_;  // an entry's index + 1; 0 is empty
};

}  // namespace app::table
