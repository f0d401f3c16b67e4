// The one line a run with lines tells on standard error about its lines.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/linework/line_builder.h"

namespace app::linework {

// Codes named in the summary at most; the rest are counted.
inline constexpr std::size_t kMostSummaryCodes = 6;

// "3dpoint: 12 lines drawn, 2 one-point strings skipped (codes EP, FL2)" and a
// line feed; "no one-point string skipped" when none was. `string_names`
// holds each string id's code (LineCodes::string_names).
std::string line_summary(const LineWork& work, const std::vector<std::string>& string_names);

}  // namespace app::linework
