// What a run will do, resolved once from the raw choices of the command line:
// how the input is read, how each coordinate is written, the header
// variables, tables and entities of the drawing. The rest of the program
// reads only this plan. No option at all gives the classic plan: every
// byte, message and status of the classic file.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "app/survey_choices.h"
#include "app/text/code_page.h"
#include "app/text/input_encoding.h"
#include "io/format/field_format.h"
#include "io/open_close_unit.h"

namespace app {

enum class InputKind : std::uint8_t { point_list, point_table };

// How coordinates are held between reading and writing.
enum class Precision : std::uint8_t { single, wide };

// How a point table's lines are cut and read.
struct TableFormat {
    ColumnSpec columns;
    // blanks_comma_or_semicolon: found from the first data line.
    Delimiter delimiter = Delimiter::blanks_comma_or_semicolon;
    text::InputEncoding encoding;  // of the texts
    bool decimal_comma = false;
    bool keep_names = false;         // the drawing shows its points' names
    bool keep_codes = false;         // the drawing puts each point on its code's layer
    bool keep_descriptions = false;  // the drawing shows its points' descriptions
    // With linework, a description's first word is its code and the words
    // after it may steer the lines; otherwise the whole description names
    // the layer.
    bool code_is_first_word = false;
};

struct LinePlan {
    std::string_view codes_file;  // --codes: layers, colours and line codes by code
    bool enabled = false;
    bool flat = false;
    bool lines_only = false;
    std::string_view codes;  // comma-separated, from --lines
};

// The header's variables beyond the version.
struct HeaderPlan {
    std::int32_t point_mode = 35;
    // Without a size, $PDSIZE is the classic record: the integer 0 under a
    // real field, which reads "0.0".
    bool point_size_given = false;
    double point_size = 0.0;
    bool extents = false;  // $EXTMIN and $EXTMAX from the finite points
};

struct RunPlan {
    // Any option: the drawing declares its code page and writes its texts in it.
    bool survey = false;
    std::optional<text::CodePage> codepage;  // --codepage; else the first that holds every text
    text::InputEncoding encoding;             // of a table's texts
    InputKind input = InputKind::point_list;
    std::uint32_t skip = 0;  // lines before the data
    TableFormat table;
    Precision precision = Precision::single;
    // The coordinate field: one decimal of the single-precision value, or
    // a number of decimals of the double.
    io::FieldSpec coordinate = io::field::F0_1;
    // A table without --decimals: as many decimals as its most precise
    // coordinate was written with, so no digit typed is lost.
    bool decimals_from_input = false;
    HeaderPlan header;
    bool layers = false;  // a LAYER table, each point on its code's layer
    std::uint8_t label_fields = 0;   // TEXT beside each point, which: LabelField bits
    bool blocks = false;             // an INSERT of the point block with its attributes per point
    double text_height = 1.0;        // of labels and attributes
    LinePlan lines;
    // Decimals of the elevation label: the drawing's, one for single precision.
    io::FieldSpec elevation = io::field::decimals(1);
    // How the drawing is written when the environment leaves it open: the
    // classic run record by record, a survey run in large blocks.
    io::BufferingDefaults output;
};

// The block a survey run writes in when FORT_BLOCKSIZE does not say: past
// it, larger blocks gained nothing measurable (8 KiB took 1.28 times the
// processor time of 256 KiB for an xyz table at 3 decimals, 64 KiB 1.07).
inline constexpr std::uint32_t kSurveyBlockSize = 256 * 1024;

RunPlan resolve_run_plan(const SurveyChoices& choices);

}  // namespace app
