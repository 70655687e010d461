// Jobs on SANE's virtual test device: the recorded resolution, the feeder's
// batch of ten pages and its cancels, and the option listing. (The area's
// pixels, an empty feeder and refused settings are tested through the tool.)
#include "scan/ScanBatch.h"
#include "scan/OptionListing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace scan_batch_test {

namespace {

constexpr const char* kTestDevice = "test:0";
constexpr const char* kFeeder = "automatic document FEEDER"; // any letter case
constexpr std::size_t kFeederPages = 10;                     // the test device's feeder holds ten

ScanSettings FeederSettings() {
    ScanSettings settings;
    settings.device = kTestDevice;
    settings.resolution = "75";
    settings.source = kFeeder;
    settings.area = ScanArea{0, 0, 20, 10};
    return settings;
}

int PixelsOf(double mm, int dpi) {
    return static_cast<int>(std::lround(mm / 25.4 * dpi));
}

TEST(ScanJobOnTheTestDevice, RecordsTheResolutionThePageWasScannedAt) {
    const SaneSession session;
    for (const int dpi : {75, 150}) {
        ScanSettings settings;
        settings.device = kTestDevice;
        settings.resolution = std::to_string(dpi);
        settings.area = ScanArea{0, 0, 10, 10};
        const ScanOutcome outcome = RunScanJob(session, settings, std::atomic<bool>{false});
        ASSERT_FALSE(outcome.reason) << outcome.reason.Text;
        EXPECT_EQ(outcome.resolution, (ScanResolution{double(dpi), double(dpi)})) << dpi;
    }
}

struct BatchRecord {
    std::vector<std::size_t> used;
    std::vector<std::size_t> done;
    std::vector<SampleLayout> layouts;
    std::vector<BatchPage> pages;
    std::size_t highestProgressPage = 0;
};

BatchCallbacks Recording(BatchRecord& record) {
    BatchCallbacks callbacks;
    callbacks.use = [&record](const BatchPage& page, const PageReader& read) {
        record.used.push_back(page.index);
        record.pages.push_back(page);
        SampleImage image;
        const Reason reason = CollectInto(image)(page.layout, read);
        if (!reason) {
            record.layouts.push_back(image.layout);
        }
        return reason;
    };
    callbacks.done = [&record](std::size_t index) { record.done.push_back(index); };
    callbacks.progress = [&record](std::size_t pages, double) {
        record.highestProgressPage = std::max(record.highestProgressPage, pages);
    };
    return callbacks;
}

TEST(ScanBatch, TheFeederGivesTenPagesThenTheBatchEndsWell) {
    const SaneSession session;
    BatchRecord record;
    const BatchOutcome batch =
        RunScanBatch(session, FeederSettings(), std::atomic<bool>{false}, Recording(record));
    ASSERT_FALSE(batch.scan.reason) << batch.scan.reason.Text;
    EXPECT_EQ(batch.pages, kFeederPages);
    std::vector<std::size_t> indices(kFeederPages);
    for (std::size_t i = 0; i < kFeederPages; ++i) {
        indices[i] = i;
    }
    EXPECT_EQ(record.done, indices);
    EXPECT_EQ(record.highestProgressPage, kFeederPages - 1);
    ASSERT_EQ(record.layouts.size(), kFeederPages);
    EXPECT_EQ(record.layouts.front().width, PixelsOf(20, 75));
    ASSERT_FALSE(record.pages.empty());
    EXPECT_EQ(record.pages.back().resolution, (ScanResolution{75, 75}));
}

// Cancelled between pages (after the second) and within one (the third).
TEST(ScanBatch, ACancelKeepsTheFinishedPagesAndEndsThePageInProgress) {
    const SaneSession session;
    for (const bool withinPage : {false, true}) {
        std::atomic<bool> cancel{false};
        BatchRecord record;
        BatchCallbacks callbacks = Recording(record);
        callbacks.done = [&](std::size_t index) {
            record.done.push_back(index);
            cancel = !withinPage && index == 1;
        };
        callbacks.progress = [&](std::size_t pages, double fraction) {
            cancel = cancel || (withinPage && pages == 2 && fraction > 0.2);
        };
        ScanSettings settings = FeederSettings();
        settings.area = ScanArea{0, 0, 200, 200}; // a page long enough to stop within
        const BatchOutcome batch = RunScanBatch(session, settings, cancel, callbacks);
        EXPECT_EQ(batch.scan.reason.Code, ReasonCode::Cancelled) << withinPage;
        EXPECT_EQ(batch.pages, 2U) << withinPage;
        EXPECT_EQ(record.done, (std::vector<std::size_t>{0, 1})) << withinPage;
        EXPECT_EQ(record.layouts.size(), 2U) << withinPage;
        EXPECT_EQ(record.used.size(), withinPage ? 3U : 2U);
    }
}

TEST(OptionListing, NamesEachOptionsValueAndWhatItAccepts) {
    const SaneSession session;
    DeviceOpen open = session.Open(kTestDevice);
    ASSERT_FALSE(open.reason) << open.reason.Text;
    SaneDevice& device = *open.device;
    ASSERT_FALSE(device.Set("resolution", "75"));
    const OptionListing listing = ListOptions(device);
    ASSERT_FALSE(listing.reason) << listing.reason.Text;
    const auto line = [&](const char* name) {
        const auto found = std::find_if(listing.lines.begin(), listing.lines.end(),
                                        [&](const OptionLine& l) { return l.name == name; });
        return found != listing.lines.end() ? *found : OptionLine{name, "(missing)", ""};
    };
    const OptionLine expected[] = {
        {"mode", "Gray", "Gray|Color"},
        {"depth", "8", "1|8|16"},
        {"three-pass", "(inactive)", ""}, // colour only
        {"resolution", "75", "1..1200 in steps of 1 dpi"},
        {"source", "Flatbed", "Flatbed|Automatic Document Feeder"},
        {"hand-scanner", "no", ""},
        {"ppl-loss", "0", "0..128 px"},
        {"tl-x", "0", "0..200 in steps of 1 mm"},
        {"br-y", "100", "0..200 in steps of 1 mm"},
        {"red-gamma-table", "(256 values)", "0..255"},
        {"print-options", "(button)", ""},
    };
    for (const OptionLine& want : expected) {
        EXPECT_EQ(line(want.name.c_str()), want) << want.name;
    }
    for (const OptionLine& l : listing.lines) {
        EXPECT_FALSE(l.name.empty()); // groups are left out
    }
}

} // namespace

}  // namespace scan_batch_test
