// The linework of a run: which codes draw lines, the lines the reader builds
// from the points in file order, and the layer of each string of points.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/linework/line_builder.h"
#include "app/linework/line_codes.h"
#include "app/linework/line_controls.h"
#include "io/platform_allocator.h"

namespace app {

struct Linework {
    bool enabled = false;
    bool flat = false;
    bool lines_only = false;
    linework::LineCodes codes;
    linework::LineBuilder builder;
    linework::LineWork lines;  // once the reading is done
    io::PlatformVector<std::uint32_t> string_layers;  // by string id: its points' layer

    // Point `index` (0-based) with its code and the words after it, on
    // layer `layer`. False with `fault` when its control words are refused.
    bool add_point(std::uint32_t index, std::string_view code, std::string_view after_code, std::uint32_t layer,
                   linework::ControlFault& fault) {
        const std::uint32_t string = codes.string_for(code);
        linework::LineControl control = linework::LineControl::none;
        if (string != linework::kNoLine) {
            if (!linework::parse_line_controls(after_code, control, fault)) return false;
            if (string >= string_layers.size()) string_layers.resize(string + 1, 0);
            string_layers[string] = layer;
        }
        builder.add(index, string, control);
        return true;
    }
};

}  // namespace app
