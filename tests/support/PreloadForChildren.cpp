// The programs a SANE test starts (tamrel-cli, tamrel) scan too: they
// preload the quiet cancel (see QuietReaderCancel.cpp).
#include <cstdlib>

namespace {

const int kPreloaded = ::setenv("LD_PRELOAD", TAMREL_QUIET_CANCEL, 1);

} // namespace
