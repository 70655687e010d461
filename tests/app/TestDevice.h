// SANE's virtual test device for a run of the program: a SANE folder of the
// test's own that names only the test backend, with the device's settings.
#pragma once

#include "tests/app/RunTamrel.h"

#include <fstream>
#include <string>

namespace apptest {

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
    // SANE's test backend leaks per scan and is unloaded at sane_exit, so
    // the leak checker of a sanitizer build can neither name nor suppress it;
    // its reader's cancel is made harmless as for every test that scans.
    setup.env = {{"SANE_CONFIG_DIR", dir.string()},
                 {"LD_PRELOAD", TAMREL_QUIET_CANCEL},
                 {"ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1:verify_asan_link_order=0"}};
    return setup;
}

} // namespace apptest
