// Until the window exists: print the three start-up tables.
#include "curve/ChannelParams.h"

#include <cstdio>

int main() {
    for (std::size_t ch = 0; ch < kChannelCount; ++ch) {
        ComputeChannelTable(theChannelParams[ch], theGammaTables[ch]);
    }
    for (std::size_t i = 0; i < kGammaTableSize; ++i) {
        std::printf("%zu %d %d %d\n", i, theGammaTables[kRed][i], theGammaTables[kGreen][i],
                    theGammaTables[kBlue][i]);
    }
}
