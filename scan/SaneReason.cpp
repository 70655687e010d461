// SANE statuses keep their library wording, which the tool prints as is.
#include "scan/SaneReason.h"

Reason SaneReason(SANE_Status status) {
    if (status == SANE_STATUS_GOOD) {
        return {};
    }
    const SANE_String_Const words = sane_strstatus(status);
    return {ReasonCode::DeviceError, status, words != nullptr ? words : ""};
}
