// Unicode's simple case folding as runs, generated once from Python's
// Unicode data (scripts/generate_case_folding.py).
#pragma once

#include <cstdint>
#include <span>

namespace app::text {

// Characters first, first + stride, ... (count of them) fold to themselves
// plus delta.
struct FoldRun {
    std::uint32_t first;
    std::uint16_t count;
    std::uint8_t stride;
    std::int32_t delta;
};

// Sorted by first character; no run reaches into the next.
extern const std::span<const FoldRun> kFoldRuns;

}  // namespace app::text
