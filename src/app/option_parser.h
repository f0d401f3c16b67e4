// The survey options of the command line: each option's value checked and
// gathered into SurveyChoices; nothing else happens here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "app/survey_choices.h"

namespace app {

enum class OptionOutcome : std::uint8_t { not_mine, taken, fault };

// Why an option was refused, for the usage error line: "`what` 'culprit'".
struct OptionProblem {
    std::string_view what;
    std::string_view culprit;
};

// arguments[at] starts with '-'. A survey option (as "--name VALUE" or
// "--name=VALUE") is taken into `choices` and `at` moved to its last
// argument; anything else is left alone.
OptionOutcome take_survey_option(std::span<const char* const> arguments, std::size_t& at, SurveyChoices& choices,
                                 OptionProblem& problem);

// The options that only make sense together, checked once all are taken.
bool survey_choices_agree(const SurveyChoices& choices, OptionProblem& problem);

}  // namespace app
