#include "app/text/case_fold.h"

#include <algorithm>

#include "app/text/case_fold_table.h"

namespace app::text {

char32_t fold_case(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    // The last run starting at or before c is the only one that can hold it.
    const auto after = std::upper_bound(kFoldRuns.begin(), kFoldRuns.end(), c,
                                        [](char32_t v, const FoldRun& run) { return v < run.first; });
    if (after == kFoldRuns.begin()) return c;
    const FoldRun& run = *(after - 1);
    const char32_t offset = c - run.first;
    if (offset % run.stride != 0 || offset / run.stride >= run.count) return c;
    return static_cast<char32_t>(static_cast<std::int64_t>(c) + run.delta);
}

}  // namespace app::text
