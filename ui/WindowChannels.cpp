// The window's channels start at the defaults; the tables are computed when
// the window is initialised.
#include "ui/WindowChannels.h"

ChannelParamsSet theChannelParams = {kDefaultChannelParams, kDefaultChannelParams,
                                     kDefaultChannelParams};
GammaTableSet theGammaTables = {};
