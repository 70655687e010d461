// The question before a scan taken in is replaced: asked only while the
// scan is unsaved, naming what would replace it, and only Yes lets it go.
#include "ui/UnsavedScanGuard.h"

#include "platform/ScriptedAskUser.h"

#include <gtest/gtest.h>

namespace unsaved_scan_guard_test {

namespace {

TEST(UnsavedScanGuard, AsksOnlyForAnUnsavedScanAndOnlyYesLetsItGo) {
    enum class Scan { None, Taken, Saved };
    const struct {
        const char* name;
        Scan scan;
        ScanReplacedBy by;
        std::optional<Answer> answer; // none: no question
        bool mayReplace;
        const char* doing;
    } cases[] = {
        {"no scan", Scan::None, ScanReplacedBy::Closing, std::nullopt, true, ""},
        {"a saved scan", Scan::Saved, ScanReplacedBy::Opening, std::nullopt, true, ""},
        {"closing, yes", Scan::Taken, ScanReplacedBy::Closing, Answer::Yes, true, "閉じます"},
        {"closing, no", Scan::Taken, ScanReplacedBy::Closing, Answer::No, false, "閉じます"},
        {"opening, no", Scan::Taken, ScanReplacedBy::Opening, Answer::No, false, "開きます"},
        {"a new scan, yes", Scan::Taken, ScanReplacedBy::Acquiring, Answer::Yes, true,
         "取り込みます"},
    };
    for (const auto& c : cases) {
        ScriptedAskUser ask;
        UnsavedScanGuard guard(ask);
        if (c.scan != Scan::None) {
            guard.Taken();
        }
        if (c.scan == Scan::Saved) {
            guard.Released();
        }
        if (c.answer) {
            ask.QueueAnswer(*c.answer);
        }
        EXPECT_EQ(guard.MayReplace(c.by), c.mayReplace) << c.name;
        ASSERT_EQ(ask.Messages().size(), c.answer ? 1u : 0u) << c.name;
        if (c.answer) {
            EXPECT_TRUE(ask.Messages()[0].text.contains(QString::fromUtf8(c.doing))) << c.name;
            EXPECT_EQ(ask.Messages()[0].buttons, MessageButtons::YesNo) << c.name;
        }
    }
}

} // namespace

} // namespace unsaved_scan_guard_test
