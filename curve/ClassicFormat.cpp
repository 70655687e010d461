#include "curve/ClassicFormat.h"

#include <locale.h>

namespace {

// Made once and never freed: every thread may switch to it at any time.
locale_t ClassicLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", locale_t{});
    return classic;
}

} // namespace

ClassicLocaleScope::ClassicLocaleScope() : previous_(uselocale(ClassicLocale())) {}

ClassicLocaleScope::~ClassicLocaleScope() {
    uselocale(static_cast<locale_t>(previous_));
}
