// The words for a film pick that cannot be used, the same for `film` and
// `roll`: the pick as the command line gave it, and what is wrong with it.
#pragma once

#include "measure/FilmFit.h"

#include <functional>
#include <string>
#include <string_view>

// `pick(which)` names pick `which` as given ("--base 0,0,10,10"; 0 the
// base, 1 and 2 the neutral picks); `judged` is what the base was judged
// against ("the frame", "the strip's frames"). RectangleOffImage is the
// caller's, which knows the image's size.
std::string FilmProblemText(const FilmProblem& problem,
                            const std::function<std::string(std::size_t)>& pick,
                            std::string_view judged);
