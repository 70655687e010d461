// Runs of rows, as a producer hands them (of any size, in any order, on
// several threads at once), cut into bands of a fixed number of rows; each
// band is encoded on the thread that completes it, and the encoded bands are
// handed on in order. A band that a run holds whole is encoded straight from
// the run's rows; one spread over several runs is gathered into a copy first.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

struct BandPlan {
    std::int64_t rowBytes = 0;
    std::int32_t bandRows = 1;
    std::int32_t height = 0;

    std::int32_t Bands() const { return (height + bandRows - 1) / bandRows; }
    std::int32_t RowsOf(std::int32_t band) const;
};

// Encodes band `index` from its rows (whole rows, packed) into `out`, which
// may hold an earlier band's bytes; runs on several threads at once. False
// fails the output.
using BandEncode = std::function<bool(std::int32_t index, std::span<const std::uint8_t> rows,
                                      std::vector<std::uint8_t>& out)>;
// Takes the encoded bands in order, one call at a time (not always on the
// same thread). False fails the output.
using BandEmit = std::function<bool(std::int32_t index, std::span<const std::uint8_t> bytes)>;

class RunBands {
public:
    RunBands(const BandPlan& plan, BandEncode encode, BandEmit emit);
    RunBands(const RunBands&) = delete;
    RunBands& operator=(const RunBands&) = delete;

    // Rows first .. first + count - 1, `rowBytes` apart. Threads may call it
    // at the same time for rows of their own. False once an encode or an
    // emit has failed (or the gathering memory cannot be had).
    bool Take(std::int32_t first, std::int32_t count, const std::uint8_t* rows);

    // True when every band has been encoded and handed on.
    bool Done();

private:
    struct Gathering {
        std::unique_ptr<std::uint8_t[]> rows;
        std::int32_t received = 0;
    };

    bool Gather(std::int32_t band, std::int32_t first, std::int32_t count,
                const std::uint8_t* rows);
    bool Encode(std::int32_t band, std::span<const std::uint8_t> rows);
    bool Emit(std::int32_t band, std::vector<std::uint8_t> bytes);

    BandPlan plan_;
    BandEncode encode_;
    BandEmit emit_;
    std::mutex mutex_;
    std::map<std::int32_t, Gathering> gathering_;            // bands spread over runs
    std::map<std::int32_t, std::vector<std::uint8_t>> done_; // encoded, not yet handed on
    std::vector<std::vector<std::uint8_t>> spare_;           // handed on: their capacity is reused
    std::int32_t next_ = 0;                                  // the band to hand on next
    bool emitting_ = false;                                  // a thread is handing bands on
    bool failed_ = false;
};
