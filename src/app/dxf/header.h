// The HEADER section: the version, the point style and, when asked for, the
// extents of the points.
#pragma once

#include <span>
#include <string_view>

#include "app/dxf/dxf_record.h"
#include "app/point_store.h"
#include "app/run_plan.h"
#include "io/format/fixed_decimals.h"

namespace app::dxf {

// A size as short as its value allows at nine decimals, one decimal at
// least: 0.05 gives "0.05", 2 gives "2.0".
std::string_view size_text(double size, std::span<char, io::kFixedDecimalsRoom> room);

// `extents` is read only when the header asks for them; without a finite
// point there are none to write. `code_page` names the drawing's code page
// ($DWGCODEPAGE); empty, the header has none, as the classic file.
void write_header(RecordWriter& out, const HeaderPlan& header, const io::FieldSpec& coordinate, const Extents& extents,
                  std::string_view code_page = {});

}  // namespace app::dxf
