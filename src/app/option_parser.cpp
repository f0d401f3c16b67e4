#include "app/option_parser.h"

#include <charconv>
#include <cmath>

namespace app {
namespace {

enum class Name : std::uint8_t { columns, skip, delimiter, decimal_comma, decimals, labels, layers, point_style, extents };

struct OptionName {
    std::string_view text;
    Name name;
    bool takes_value;
};

constexpr OptionName kOptions[] = {
    {"--columns", Name::columns, true},        {"--skip", Name::skip, true},
    {"--delimiter", Name::delimiter, true},    {"--decimal-comma", Name::decimal_comma, false},
    {"--decimals", Name::decimals, true},      {"--labels", Name::labels, false},
    {"--layers", Name::layers, false},         {"--point-style", Name::point_style, true},
    {"--extents", Name::extents, false},
};

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
    std::string_view size = value.substr(comma + 1);
    if (!size.empty() && size.front() == '+') size.remove_prefix(1);
    double number = 0.0;
    const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), number);
    if (size.empty() || error != std::errc{} || end != size.data() + size.size() || !std::isfinite(number))
        return false;
    choices.point_size = number;
    return true;
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
    if (!option->takes_value) {
        if (equals != std::string_view::npos) return refuse(problem, "option takes no value:", argument);
    } else if (equals != std::string_view::npos) {
        value = argument.substr(equals + 1);
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
            what = "--point-style takes MODE[,SIZE], MODE 0-4 plus 32 and/or 64, not";
            break;
        case Name::decimal_comma: choices.decimal_comma = true; break;
        case Name::labels: choices.labels = true; break;
        case Name::layers: choices.layers = true; break;
        case Name::extents: choices.extents = true; break;
    }
    if (!good) return refuse(problem, what, value);
    return OptionOutcome::taken;
}

bool survey_choices_agree(const SurveyChoices& choices, OptionProblem& problem) {
    if (!choices.table && choices.delimiter_given) return fail(problem, "needs --columns:", "--delimiter");
    if (!choices.table && choices.decimal_comma) return fail(problem, "needs --columns:", "--decimal-comma");
    if (choices.decimal_comma && choices.delimiter_given && choices.delimiter == Delimiter::comma)
        return fail(problem, "a decimal comma cannot also separate the fields:", "--delimiter ,");
    return true;
}

}  // namespace app
