// The window's own state of the three channels: their parameters, as the
// sliders, the parameter file and the film leave them, and the three tables
// computed from them, indexed by Channel. One process-wide copy, as the
// window is one; everything that computes takes what it works on as
// arguments, so the core never reads these.
#pragma once

#include "curve/ChannelParams.h"

extern ChannelParamsSet theChannelParams;
extern GammaTableSet theGammaTables;
