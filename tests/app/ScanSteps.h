// Scripted steps shared by the end-to-end tests that scan: the context menu,
// opening a file, and what the program printed.
#pragma once

#include "tests/app/RunTamrel.h"
#include "tests/app/TestDevice.h"

#include <filesystem>
#include <string>
#include <vector>

namespace apptest {

// 「スキャナから取り込む...」 with the dialog's choices as they are.
inline constexpr const char* kAcquireSteps =
    "key Shift+F10; key S; wait 500; click scanStart; wait 1500";

// 「テーブルでスキャン...」 from the test device's feeder, which holds ten pages.
inline std::string FeederBatchSteps(const std::filesystem::path& chosen, int waitMs) {
    return "wait 200; key Shift+F10; key T; wait 500; click scanSource; wait 200; key Down; "
           "key Return; wait 300; click scanStart; wait 500; type " +
           chosen.string() + "; key Return; wait " + std::to_string(waitMs);
}

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
