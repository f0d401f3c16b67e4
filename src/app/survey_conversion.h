// The conversion with survey options: the classic list or a point table in,
// a drawing with the chosen extras out. Without any option the classic
// conversion runs instead, unchanged.
#pragma once

#include "app/conversion.h"
#include "app/survey_choices.h"
#include "app/survey_points.h"

namespace app {

// Exit status of a point table refused for its content.
inline constexpr int kTableErrorStatus = 65;

// Reads the whole input, then writes the whole drawing. A failure of the I/O
// layer ends the run through the reporter; a table line refused ends it with
// one line on standard error and kTableErrorStatus. Nothing is written
// before the whole input is read.
void run_survey_conversion(const ConversionFiles& files, const SurveyChoices& choices);

// The classic run when no option was given, the survey run otherwise.
void run_chosen_conversion(const ConversionFiles& files, const SurveyChoices& choices);

// Writes the drawing of `points` on `unit`; the number of a failure a report
// let through, 0 otherwise.
int write_survey_dxf(std::int32_t unit, const SurveyPoints& points, const SurveyChoices& choices);

}  // namespace app
