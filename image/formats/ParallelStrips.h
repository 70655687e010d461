// Rows gathered into strips of a fixed number of rows, each strip encoded on
// its own core, and the encoded strips handed back in order: the compressing
// writers (TIFF strips, PNG deflate segments) share it. A batch of strips is
// encoded while the next one is being gathered.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

struct EncodedStrip {
    std::vector<std::uint8_t> bytes;
    std::uint32_t check = 0;        // a checksum the encoder keeps of what it encoded, if any
    std::uint64_t checkedBytes = 0; // how many bytes that checksum covers
};

struct StripPlan {
    std::int64_t rowBytes = 0;
    std::int32_t rowsPerStrip = 1;
    std::int32_t height = 0;

    std::int32_t Strips() const { return (height + rowsPerStrip - 1) / rowsPerStrip; }
};

// Encodes strip `index` from its rows (whole rows, packed); `above` is the
// row just above the strip, all zeros for the first. Runs on several threads
// at once; false fails the output.
using StripEncode = std::function<bool(std::int32_t index, std::span<const std::uint8_t> rows,
                                       const std::uint8_t* above, EncodedStrip& out)>;
// Takes the encoded strips in order, on the thread that adds the rows.
using StripEmit = std::function<bool(std::int32_t index, const EncodedStrip& strip)>;

class ParallelStrips {
public:
    ParallelStrips(const StripPlan& plan, StripEncode encode, StripEmit emit);
    ~ParallelStrips();
    ParallelStrips(const ParallelStrips&) = delete;
    ParallelStrips& operator=(const ParallelStrips&) = delete;

    // The next row, in order. False once an encode or an emit has failed.
    bool AddRow(const std::uint8_t* row);
    // Encodes and emits what is left; true when every strip went out.
    bool Finish();

    // About `targetBytes` of rows per strip, at least one row.
    static std::int32_t RowsPerStrip(std::int64_t rowBytes, std::int64_t targetBytes,
                                     std::int32_t height);

private:
    struct Batch;
    bool Launch();
    bool Collect();

    StripPlan plan_;
    StripEncode encode_;
    StripEmit emit_;
    std::int32_t batchStrips_;
    std::unique_ptr<Batch> filling_;
    std::unique_ptr<Batch> encoding_;
    std::int32_t nextRow_ = 0;
    bool failed_ = false;
};
