// SANE's virtual test device for a run of the program: a SANE folder of the
// test's own that names only the test backend, with the device's settings.
#pragma once

#include "tests/app/RunTamrel.h"

#include <fstream>
#include <string>

namespace apptest {

// What the leak checker of a sanitizer build passes over in the programs
// that scan: SANE's test backend's own leak (see tests/lsan.supp).
inline constexpr const char* kLeakSuppressions =
    "suppressions=" TAMREL_SOURCE_DIR "/tests/lsan.supp:print_suppressions=0";

// dll.conf naming only the test backend, and test.conf with `settings`
// (its own defaults otherwise, as SANE ships them).
inline RunSetup WithTestDevice(const ScratchDir& scratch, const std::string& settings,
                               std::string script) {
    const std::filesystem::path dir = scratch / "sane";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "dll.conf") << "test\n";
    std::ofstream(dir / "test.conf") << "number_of_devices 1\nresolution 50.0\nselect-fd true\n"
                                     << settings;
    RunSetup setup;
    setup.script = std::move(script);
    // The preloaded library makes the test backend's reader cancel harmless,
    // as for every test that scans, and keeps the backend loaded, so that
    // the leak checker of a sanitizer build names and passes over the buffer
    // that backend leaks for a stopped page (tests/lsan.supp): a scan
    // stopped in the window is checked for leaks of the program's own.
    setup.env = {{"SANE_CONFIG_DIR", dir.string()},
                 {"LD_PRELOAD", TAMREL_QUIET_CANCEL},
                 {"ASAN_OPTIONS", "detect_leaks=1:abort_on_error=1:verify_asan_link_order=0"},
                 {"LSAN_OPTIONS", kLeakSuppressions}};
    return setup;
}

} // namespace apptest
