// A SANE status as a failure reason.
#pragma once

#include "io/Reason.h"

#include <sane/sane.h>

// None for SANE_STATUS_GOOD; otherwise DeviceError with the status as Value
// and SANE's own words for it (sane_strstatus) as Text.
Reason SaneReason(SANE_Status status);
