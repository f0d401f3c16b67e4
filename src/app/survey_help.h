// The survey options' part of --help, a block of its own.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kSurveyHelp =
    "Survey options (without them the run is the classic one):\n"
    "      --columns SPEC     read a point table, one point per line, no count\n"
    "                         line; SPEC names the columns in order: p name,\n"
    "                         x or e easting, y or n northing, z height,\n"
    "                         d description, - ignored (x and y required);\n"
    "                         blank and '#' lines are skipped\n"
    "      --skip N           ignore the first N lines (headers)\n"
    "      --delimiter C      fields separated by ',' ';' 'tab' or 'space'\n"
    "                         (default: runs of blanks, or one ',' or ';')\n"
    "      --decimal-comma    the table's numbers have their decimals after a comma\n"
    "      --decimals N       double precision, N decimals (0-9), half to even\n"
    "      --labels           each point's name (or number) as a TEXT at the point\n"
    "      --layers           each point on a layer named by its description\n"
    "      --point-style MODE[,SIZE]\n"
    "                         $PDMODE and $PDSIZE; SIZE is also the label height\n"
    "      --extents          $EXTMIN and $EXTMAX from the points' box\n"
    "  A table line that cannot be read is told as file, line and field, with exit\n"
    "  status 65, and nothing is written.\n"
    "  Example: 3dpoint --columns pnezd --skip 1 --labels --layers --decimals 3 \\\n"
    "               survey.csv survey.dxf\n"
    "\n";

}  // namespace app
