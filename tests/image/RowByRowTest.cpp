// Rows made on one thread and encoded on another: all of them, in order, on
// the caller's thread; a failure on either side stops the other and is told
// apart; the PNG and TIFF writers give the output's reason and leave nothing.
// Rows made on one thread and relayed in runs of a writer's size to threads
// of their own, with the same failures.
#include "image/formats/FormatTable.h"
#include "image/formats/PngWriter.h"
#include "image/formats/RowWriter.h"
#include "image/formats/RunRelay.h"
#include "image/formats/TiffWriter.h"
#include "tests/image/RecordingOutput.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace row_by_row_test {

namespace {

const RowShape kShape = WriterShape(ImageFormat::Png, 5, 200, 3, 8);
constexpr std::int32_t kRunRows = 7; // runs that do not divide the height

// Row y holds the byte y & 0xFF throughout; runs of kRunRows rows, the
// producer giving up with `fails` before row `failRow`.
struct Producer {
    std::int32_t failRow = kShape.Height;
    Reason fails;
    std::atomic<std::int32_t> made{0};

    Reason operator()(const RowRunSink& sink, const RunRequest& request) {
        EXPECT_TRUE(request.InOrder);
        std::vector<std::uint8_t> rows(std::size_t(kShape.RowBytes() * kRunRows));
        for (std::int32_t y = 0; y < kShape.Height; y += kRunRows) {
            if (y >= failRow) {
                return fails;
            }
            const std::int32_t count = std::min(kRunRows, kShape.Height - y);
            for (std::int32_t k = 0; k < count; ++k) {
                std::fill_n(rows.begin() + k * kShape.RowBytes(), kShape.RowBytes(),
                            std::uint8_t(y + k));
            }
            made += count;
            if (!sink(y, count, rows.data())) {
                return Reason(ReasonCode::WriteFailed);
            }
        }
        return {};
    }
};

TEST(RowByRow, EveryRowArrivesOnceInOrderOnTheCallersThread) {
    Producer producer;
    std::vector<std::int32_t> seen;
    const auto caller = std::this_thread::get_id();
    const Reason result =
        ProduceRowByRow(kShape, std::ref(producer), [&](std::int32_t y, const std::uint8_t* row) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            EXPECT_EQ(row[0], std::uint8_t(y));
            EXPECT_EQ(row[kShape.RowBytes() - 1], std::uint8_t(y));
            seen.push_back(y);
            return true;
        });
    EXPECT_FALSE(result);
    ASSERT_EQ(seen.size(), std::size_t(kShape.Height));
    for (std::int32_t y = 0; y < kShape.Height; ++y) {
        EXPECT_EQ(seen[std::size_t(y)], y);
    }
}

TEST(RowByRow, AFailedReadIsReportedAfterTheRowsBeforeIt) {
    Producer producer;
    producer.failRow = 3 * kRunRows;
    producer.fails = Reason(ReasonCode::Truncated);
    std::int32_t written = 0;
    const Reason result =
        ProduceRowByRow(kShape, std::ref(producer), [&](std::int32_t, const std::uint8_t*) {
            ++written;
            return true;
        });
    EXPECT_EQ(result.Code, ReasonCode::Truncated);
    EXPECT_EQ(written, 3 * kRunRows);
}

TEST(RowByRow, AFailedEncoderStopsTheProducerAndLeavesTheReasonToTheEncoder) {
    Producer producer;
    std::int32_t written = 0;
    const Reason result =
        ProduceRowByRow(kShape, std::ref(producer), [&](std::int32_t y, const std::uint8_t*) {
            ++written;
            return y < 10;
        });
    EXPECT_FALSE(result); // the encoder knows why
    EXPECT_EQ(written, 11);
    // The producer may fill the queue's few runs ahead, never the whole image.
    EXPECT_LT(producer.made.load(), kShape.Height);
}

TEST(RelayRuns, RowsComeOnceInRunsOfTheWritersSizeOnThreadsOfTheirOwn) {
    constexpr std::int32_t kRelayedRows = 16;
    struct Case {
        const char* name;
        std::int64_t minPixels;
        bool relayed; // else the producer's own runs on the caller's thread
    };
    const Case cases[] = {
        {"relayed", 1, std::thread::hardware_concurrency() > 1},
        {"a small image", kShape.Width * kShape.Height + 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Producer producer;
        std::mutex mutex;
        std::vector<std::int32_t> seen(std::size_t(kShape.Height), 0);
        const auto caller = std::this_thread::get_id();
        const RowRunSink sink = [&](std::int32_t first, std::int32_t count, std::uint8_t* rows) {
            const std::lock_guard lock(mutex);
            const std::int32_t size = c.relayed ? kRelayedRows : kRunRows;
            EXPECT_EQ(first % size, 0);
            EXPECT_EQ(count, std::min(size, kShape.Height - first));
            EXPECT_EQ(std::this_thread::get_id() != caller, c.relayed);
            for (std::int32_t k = 0; k < count; ++k) {
                EXPECT_EQ(rows[k * kShape.RowBytes()], std::uint8_t(first + k));
                ++seen[std::size_t(first + k)];
            }
            return true;
        };
        EXPECT_FALSE(RelayRuns(kShape, std::ref(producer), sink, kRelayedRows, c.minPixels));
        EXPECT_EQ(seen, std::vector<std::int32_t>(std::size_t(kShape.Height), 1));
    }
}

TEST(RelayRuns, AFailedReadIsReportedAndAFailedSinkStopsTheProducer) {
    Producer reading;
    reading.failRow = 3 * kRunRows;
    reading.fails = Reason(ReasonCode::Truncated);
    const RowRunSink taking = [](std::int32_t, std::int32_t, std::uint8_t*) { return true; };
    EXPECT_EQ(RelayRuns(kShape, std::ref(reading), taking, 16, 1).Code, ReasonCode::Truncated);

    Producer writing;
    const RowRunSink failing = [](std::int32_t first, std::int32_t, std::uint8_t*) {
        return first < 32;
    };
    EXPECT_EQ(RelayRuns(kShape, std::ref(writing), failing, 16, 1).Code, ReasonCode::WriteFailed);
    EXPECT_LT(writing.made.load(), kShape.Height); // a few runs ahead, never the whole image
}

TEST(RowByRow, PngAndTiffWritersGiveTheFullDisksReasonAndNoFile) {
    // PNG gathers this small image into one piece; TIFF writes its header,
    // then strips, then patches the header.
    for (const bool png : {true, false}) {
        for (const std::int64_t failAt :
             png ? std::vector<std::int64_t>{1} : std::vector<std::int64_t>{1, 2, 3}) {
            Producer producer;
            bmptest::RecordingOutput output(failAt);
            const Reason result = png ? WritePng(kShape, std::ref(producer), std::ref(output), {})
                                      : WriteTiff(kShape, std::ref(producer), std::ref(output), {});
            EXPECT_EQ(result.Code, ReasonCode::DiskFull) << png << failAt;
            EXPECT_TRUE(output.Bytes().empty());
        }
    }
}

} // namespace

} // namespace row_by_row_test
