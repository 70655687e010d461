// The real program, started as users start it, ends cleanly whichever way its
// window is closed: faults at exit happen after main returns, where no test
// inside one process can see them.
#include "tests/app/RunTamrel.h"

#include <gtest/gtest.h>

namespace {

using apptest::RunSetup;
using apptest::RunTamrel;

RunSetup ScriptOnly(std::string script) {
    RunSetup setup;
    setup.script = std::move(script);
    return setup;
}

TEST(TamrelProcess, ExitsWithStatusZeroWhicheverWayTheWindowCloses) {
    const struct {
        const char* how;
        const char* script;
    } ways[] = {
        {"the 閉じる button", "click IDOK"},
        {"Escape", "key Escape"},
        {"Return on the default button", "key Return"},
        {"the close box", "close"},
        {"閉じる in the menu from Shift+F10", "key Shift+F10; key C"},
        {"閉じる in the menu after a slider move", "key Tab; key Right; key Shift+F10; key C"},
    };
    for (const auto& way : ways) {
        const ScratchDir scratch;
        const auto result = RunTamrel(scratch, ScriptOnly(way.script));
        EXPECT_TRUE(result.exited) << way.how << ": signal " << result.signal << "\n" << result.err;
        EXPECT_EQ(result.status, 0) << way.how << "\n" << result.err;
    }
}

TEST(TamrelProcess, ShowsItsWindowAtScaleTwoAndExitsCleanly) {
    const ScratchDir scratch;
    const auto shot = scratch / "window.png";
    RunSetup setup = ScriptOnly("grab " + shot.string() + "; key Escape");
    setup.env = {{"QT_SCALE_FACTOR", "2"}};
    const auto result = RunTamrel(scratch, setup);
    EXPECT_TRUE(result.exited) << result.err;
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(std::filesystem::exists(shot));
}

} // namespace
