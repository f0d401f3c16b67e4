// How points are annotated: the kinds of label, each on a layer of its own
// so a user can switch one kind off, placed beside the point so its marker
// stays visible; and the point block that carries them as attributes.
#pragma once

#include <array>
#include <string_view>

#include "app/survey_choices.h"

namespace app::dxf {

struct LabelKind {
    LabelField field;
    std::string_view layer;
    std::string_view tag;     // the block's attribute
    std::string_view prompt;  // what a drawing program asks when a user inserts the block
    // From the point to the text's start, in text heights: the name up and
    // to the right, the elevation below it, the description below that.
    double dx;
    double dy;
    std::string_view label_handle;      // handle letters of a label
    std::string_view attribute_handle;  // and of an attribute
};

inline constexpr std::array<LabelKind, 3> kLabelKinds{{
    {kLabelName, "LABEL-NAME", "NAME", "Point name", 0.5, 0.5, "F", "DA"},
    {kLabelElevation, "LABEL-ELEVATION", "ELEVATION", "Elevation", 0.5, -1.5, "FA", "DB"},
    {kLabelDescription, "LABEL-DESCRIPTION", "DESCRIPTION", "Description", 0.5, -3.0, "FB", "DC"},
}};

inline constexpr std::string_view kPointBlock = "SURVEY_POINT";

}  // namespace app::dxf
