// The survey options' part of --help, a block of its own.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kSurveyHelp =
    "Survey options (without them the run is the classic one):\n"
    "      --columns SPEC     read a point table, one point per line, no count\n"
    "                         line; SPEC names the columns in order: p name,\n"
    "                         x or e easting, y or n northing, z height,\n"
    "                         d description, - ignored (x and y required)\n"
    "      --skip N           ignore the first N lines (a first line of column\n"
    "                         names is skipped without it)\n"
    "      --delimiter C      ',' ';' 'tab' or 'space' (default: found from the\n"
    "                         first data line); \"quoted\" fields as in CSV\n"
    "      --decimal-comma    numbers write their decimals after a comma (taken\n"
    "                         anyway where the comma separates no fields)\n"
    "      --encoding NAME    the table's text: utf-8 (default), cp1252, cp932...\n"
    "      --decimals N       N decimals, 0-9 (default: a table's own, a list's 1)\n"
    "      --codepage NAME    the drawing's: ANSI_1252, ANSI_1251, ANSI_932...\n"
    "                         (default: the first that holds every text)\n"
    "      --labels [FIELDS]  TEXT beside each point, each kind on its own layer:\n"
    "                         name (default), elevation, description, with commas\n"
    "      --text-height H    of labels and attributes (default: SIZE, else 1)\n"
    "      --blocks           each point an INSERT of one block with attributes\n"
    "      --layers           each point on the layer of its description\n"
    "      --codes FILE       CSV of code, layer, colour, line: names, colours\n"
    "                         and line codes (a description's first word is\n"
    "                         its code)\n"
    "      --lines CODES      join points of these codes into polylines, in file\n"
    "                         order; after the code B begins a line, E ends it,\n"
    "                         C closes it\n"
    "      --flat             2D polylines at elevation 0\n"
    "      --lines-only       the lines without the points\n"
    "      --point-style MODE[,SIZE]\n"
    "                         $PDMODE and $PDSIZE (SIZE 0 or a length)\n"
    "      --extents          $EXTMIN and $EXTMAX from the points' box\n"
    "  A table line that cannot be read is told as file, line and field, with\n"
    "  exit status 65, and nothing is written. Survey runs write in large\n"
    "  blocks; FORT_BUFFERED=no writes each record at once.\n";

}  // namespace app
