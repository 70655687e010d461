// A verdict in words, as tamrel-cli prints it and the report ends with it:
// for every guideline its highest level passed, then level by level each
// criterion's figure, limit and "pass" or "fail", the criteria with no
// limit found, and where the limits were found; last, what a reflective
// colour chart cannot measure.
#pragma once

#include "measure/Verdict.h"

#include <span>
#include <string>

std::string VerdictText(std::span<const GuidelineVerdict> verdicts);

// "FADGI 2023: 3 stars; ISO 19264-1: A; Metamorfoze: none": the highest
// level passed of each guideline.
std::string HighestLevelsText(std::span<const GuidelineVerdict> verdicts);
