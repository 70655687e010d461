// 書き出し of a roll: every file the tool's roll writes, through the same
// road (image/RollOutputs), on a worker while a progress dialog, modal over
// the roll dialog, follows the strips' reads; 中止, Escape and the close box
// stop it, and the frames finished by then stay whole.
#pragma once

#include "image/RollOutputs.h"

#include <vector>

class QWidget;

// The problems, as WriteRoll gives them (a frame stopped is Cancelled).
std::vector<RollProblem> ExportRollShown(QWidget* parent, const RollTarget& target,
                                         const FilmSettings& roll,
                                         const std::vector<RollFrame>& frames);
