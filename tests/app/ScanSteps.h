// Scripted steps shared by the end-to-end tests that scan: SANE's test
// device in a folder of the test's own, the context menu, opening a file,
// and what the program printed.
#pragma once

#include "tests/app/RunTamrel.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

// 「スキャナから取り込む...」 with the dialog's choices as they are.
inline constexpr const char* kAcquireSteps =
    "key Shift+F10; key S; wait 500; click scanStart; wait 1500";

inline std::string OpenImageSteps(const std::filesystem::path& path) {
    return "click IDC_OPEN_IMAGE; wait 300; type " + path.string() + "; key Return; wait 500";
}

// The menu from the keyboard, then its n-th entry (separators are skipped):
// 最小化, 閉じる, ヒストグラムを表示, 出力ヒストグラム, Black/White を画像から設定, ...
inline std::string MenuEntrySteps(int n) {
    std::string script = "key Shift+F10; wait 100";
    for (int i = 0; i < n; ++i) {
        script += "; key Down";
    }
    return script + "; key Return; wait 100";
}

// Every value printed for `name`, in order.
inline std::vector<std::string> Printed(const std::string& out, const std::string& name) {
    std::vector<std::string> values;
    const std::string key = name + "=";
    for (std::size_t at = 0; (at = out.find(key, at)) != std::string::npos; at += key.size()) {
        const std::size_t end = out.find('\n', at);
        values.push_back(out.substr(at + key.size(), end - at - key.size()));
    }
    return values;
}

} // namespace apptest
