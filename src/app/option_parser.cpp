#include "app/option_parser.h"

#include <charconv>
#include <cmath>

#include "app/text/code_page.h"
#include "app/text/input_encoding.h"

namespace app {
namespace {

enum class Name : std::uint8_t {
    columns, skip, delimiter, decimal_comma, decimals, labels, layers, point_style, extents,
    text_height, blocks, codes, lines, flat, lines_only, encoding, codepage,
};

// How an option takes its value: never, always, or only in the form
// --name=VALUE or when the next argument is one the option knows (a label
// field list), so that a file name after it stays a file name.
enum class Value : std::uint8_t { none, needed, optional };

struct OptionName {
    std::string_view text;
    Name name;
    Value value;
};

constexpr OptionName kOptions[] = {
    {"--columns", Name::columns, Value::needed},        {"--skip", Name::skip, Value::needed},
    {"--delimiter", Name::delimiter, Value::needed},    {"--decimal-comma", Name::decimal_comma, Value::none},
    {"--decimals", Name::decimals, Value::needed},      {"--labels", Name::labels, Value::optional},
    {"--layers", Name::layers, Value::none},            {"--point-style", Name::point_style, Value::needed},
    {"--extents", Name::extents, Value::none},          {"--text-height", Name::text_height, Value::needed},
    {"--blocks", Name::blocks, Value::none},            {"--codes", Name::codes, Value::needed},
    {"--lines", Name::lines, Value::needed},          {"--flat", Name::flat, Value::none},
    {"--lines-only", Name::lines_only, Value::none},    {"--encoding", Name::encoding, Value::needed},
    {"--codepage", Name::codepage, Value::needed},
};

// "name,elevation,description" in any order and any subset, each once.
bool take_label_fields(std::string_view value, std::uint8_t& fields) {
    std::uint8_t taken = 0;
    while (true) {
        const std::size_t comma = value.find(',');
        const std::string_view word = value.substr(0, comma);
        std::uint8_t field = 0;
        if (word == "name") field = kLabelName;
        else if (word == "elevation") field = kLabelElevation;
        else if (word == "description") field = kLabelDescription;
        if (field == 0 || (taken & field) != 0) return false;
        taken |= field;
        if (comma == std::string_view::npos) break;
        value.remove_prefix(comma + 1);
    }
    fields = taken;
    return true;
}

// Line codes: words without blanks or quotes, comma-separated.
bool take_line_codes(std::string_view value) {
    if (value.empty()) return false;
    std::size_t length = 0;
    for (const char c : value) {
        if (c == ',') {
            if (length == 0) return false;
            length = 0;
        } else if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == 0x7f) {
            return false;
        } else {
            ++length;
        }
    }
    return length > 0;
}

// A length: finite and above the smallest the drawing's nine decimals show,
// or, where `zero` allows, 0 itself.
bool take_length(std::string_view text, bool zero, double& out) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double number = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || !std::isfinite(number))
        return false;
    if (!(number >= 0.5e-9 || (zero && number == 0.0))) return false;
    out = number;
    return true;
}

bool fail(OptionProblem& problem, std::string_view what, std::string_view culprit) {
    problem = {what, culprit};
    return false;
}

OptionOutcome refuse(OptionProblem& problem, std::string_view what, std::string_view culprit) {
    fail(problem, what, culprit);
    return OptionOutcome::fault;
}

bool take_columns(std::string_view value, ColumnSpec& spec) {
    if (value.empty() || value.size() > ColumnSpec::kMostColumns) return false;
    spec = {};
    for (const char c : value) {
        Column column{};
        switch (c | 0x20) {
            case 'p': column = Column::name; break;
            case 'x':
            case 'e': column = Column::easting; break;
            case 'y':
            case 'n': column = Column::northing; break;
            case 'z': column = Column::height; break;
            case 'd': column = Column::code; break;
            default:
                if (c != '-') return false;
                column = Column::ignored;
        }
        // Each column but the ignored ones names one thing once.
        if (column != Column::ignored && spec.has(column)) return false;
        spec.columns[spec.count++] = column;
    }
    return spec.has(Column::easting) && spec.has(Column::northing);
}

bool take_whole(std::string_view value, std::uint32_t most, std::uint32_t& out) {
    std::uint32_t n = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (value.empty() || error != std::errc{} || end != value.data() + value.size() || n > most) return false;
    out = n;
    return true;
}

bool take_delimiter(std::string_view value, Delimiter& out) {
    if (value == ",") out = Delimiter::comma;
    else if (value == ";") out = Delimiter::semicolon;
    else if (value == "tab" || value == "\t") out = Delimiter::tab;
    else if (value == "space" || value == " ") out = Delimiter::space;
    else return false;
    return true;
}

// The display modes a drawing program knows: a shape 0 to 4, with or
// without a circle (32) and a square (64) around it.
bool known_point_mode(std::uint32_t mode) { return (mode & ~std::uint32_t{96}) <= 4; }

bool take_point_style(std::string_view value, SurveyChoices& choices) {
    const std::size_t comma = value.find(',');
    std::uint32_t mode = 0;
    if (!take_whole(value.substr(0, comma), 100, mode) || !known_point_mode(mode)) return false;
    choices.point_mode = static_cast<std::int32_t>(mode);
    choices.point_size_given = comma != std::string_view::npos;
    if (!choices.point_size_given) return true;
    // 0 is the drawing program's own choice (a share of the view); any other
    // size is a length, and one that would be written as 0 would flip that.
    return take_length(value.substr(comma + 1), true, choices.point_size);
}

}  // namespace

OptionOutcome take_survey_option(std::span<const char* const> arguments, std::size_t& at, SurveyChoices& choices,
                                 OptionProblem& problem) {
    const std::string_view argument = arguments[at];
    const std::size_t equals = argument.find('=');
    const std::string_view head = argument.substr(0, equals);
    const OptionName* option = nullptr;
    for (const OptionName& o : kOptions)
        if (o.text == head) option = &o;
    if (option == nullptr) return OptionOutcome::not_mine;

    std::string_view value;
    bool has_value = true;
    if (option->value == Value::none) {
        if (equals != std::string_view::npos) return refuse(problem, "option takes no value:", argument);
        has_value = false;
    } else if (equals != std::string_view::npos) {
        value = argument.substr(equals + 1);
    } else if (option->value == Value::optional) {
        // The next argument is this option's only when it cannot be a file:
        // a list of label fields.
        std::uint8_t fields = 0;
        if (at + 1 < arguments.size() && take_label_fields(arguments[at + 1], fields)) value = arguments[++at];
        else has_value = false;
    } else if (at + 1 < arguments.size()) {
        value = arguments[++at];
    } else {
        return refuse(problem, "option needs a value:", argument);
    }

    bool good = true;
    std::string_view what;
    switch (option->name) {
        case Name::columns:
            choices.table = true;
            good = take_columns(value, choices.columns);
            what = "--columns takes letters of p x e y n z d - with x (e) and y (n), each once, not";
            break;
        case Name::skip:
            good = take_whole(value, 0x7fffffff, choices.skip);
            what = "--skip takes a whole number of lines, not";
            break;
        case Name::delimiter:
            choices.delimiter_given = true;
            good = take_delimiter(value, choices.delimiter);
            what = "--delimiter takes ',' ';' 'tab' or 'space', not";
            break;
        case Name::decimals:
            choices.decimals_given = true;
            good = take_whole(value, 9, choices.decimals);
            what = "--decimals takes a whole number from 0 to 9, not";
            break;
        case Name::point_style:
            choices.point_style = true;
            good = take_point_style(value, choices);
            what = "--point-style takes MODE[,SIZE], MODE 0-4 plus 32 and/or 64, SIZE 0 or a length, not";
            break;
        case Name::decimal_comma: choices.decimal_comma = true; break;
        case Name::labels:
            choices.labels = true;
            choices.label_fields = kLabelName;
            good = !has_value || take_label_fields(value, choices.label_fields);
            what = "--labels takes name, elevation and description, comma-separated, not";
            break;
        case Name::text_height:
            choices.text_height_given = true;
            good = take_length(value, false, choices.text_height);
            what = "--text-height takes a length above 0, not";
            break;
        case Name::blocks: choices.blocks = true; break;
        case Name::codes:
            choices.codes_file = value;
            good = !value.empty();
            what = "--codes takes a file name, not";
            break;
        case Name::lines:
            choices.lines = true;
            choices.line_codes = value;
            good = take_line_codes(value);
            what = "--lines takes codes without blanks, comma-separated, not";
            break;
        case Name::flat: choices.flat = true; break;
        case Name::lines_only: choices.lines_only = true; break;
        case Name::encoding: {
            text::InputEncoding encoding;
            choices.encoding = value;
            good = text::parse_input_encoding(value, encoding);
            what = "--encoding takes utf-8 or a code page such as cp1252 or cp932, not";
            break;
        }
        case Name::codepage: {
            text::CodePage page{};
            choices.codepage = value;
            good = text::parse_code_page(value, page);
            what = "--codepage takes a drawing code page such as ANSI_1252 or ANSI_932, not";
            break;
        }
        case Name::layers: choices.layers = true; break;
        case Name::extents: choices.extents = true; break;
    }
    if (!good) return refuse(problem, what, value);
    return OptionOutcome::taken;
}

bool survey_choices_agree(const SurveyChoices& choices, OptionProblem& problem) {
    const bool described = choices.table && choices.columns.has(Column::code);
    if (choices.lines && !described) return fail(problem, "needs a description column (d in --columns):", "--lines");
    if (!choices.codes_file.empty() && !described)
        return fail(problem, "needs a description column (d in --columns):", "--codes");
    if ((choices.flat || choices.lines_only) && !choices.lines && choices.codes_file.empty())
        return fail(problem, "needs --lines or --codes:", choices.flat ? "--flat" : "--lines-only");
    if (!choices.encoding.empty() && !choices.table) return fail(problem, "needs --columns:", "--encoding");
    if (!choices.table && choices.delimiter_given) return fail(problem, "needs --columns:", "--delimiter");
    if (!choices.table && choices.decimal_comma) return fail(problem, "needs --columns:", "--decimal-comma");
    if (choices.decimal_comma && choices.delimiter_given && choices.delimiter == Delimiter::comma)
        return fail(problem, "a decimal comma cannot also separate the fields:", "--delimiter ,");
    return true;
}

}  // namespace app
