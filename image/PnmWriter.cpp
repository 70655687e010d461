// Header then rows: upright row y lies at header + y * RowBytes().
#include "image/PnmWriter.h"

#include <cstring>
#include <span>
#include <vector>

namespace {

constexpr std::int32_t kMaxValue8 = 255;
constexpr std::int32_t kMaxValue16 = 65535;
constexpr std::int32_t kWideBits = 16;

} // namespace

std::string FormatPnmHeader(const RgbShape& shape) {
    const std::int32_t maxValue = shape.Bits == kWideBits ? kMaxValue16 : kMaxValue8;
    return "P6\n" + std::to_string(shape.Width) + " " + std::to_string(shape.Height) + "\n" +
           std::to_string(maxValue) + "\n";
}

Reason WritePnm(const RgbShape& shape, const RgbProducer& produce, const Replacement& output) {
    const std::string header = FormatPnmHeader(shape);
    const auto headerBytes = static_cast<std::int64_t>(header.size());
    const std::int64_t rowBytes = shape.RowBytes();
    Reason readFailure;
    const WriteOutcome written = output([&](PositionedWriter& writer) {
        const auto* head = reinterpret_cast<const std::uint8_t*>(header.data());
        if (!writer.WriteAt(0, {head, header.size()})) {
            return false;
        }
        Reason failed = produce(
            [&](std::int32_t first, std::int32_t count, const std::uint8_t* rows) {
                return writer.WriteAt(headerBytes + first * rowBytes,
                                      {rows, static_cast<std::size_t>(count * rowBytes)});
            },
            false);
        if (failed && failed.Code != ReasonCode::WriteFailed) {
            readFailure = std::move(failed);
        }
        return !failed;
    });
    if (readFailure) {
        return readFailure;
    }
    return written.Result == WriteResult::Ok ? Reason() : written.Why;
}

namespace {

constexpr const char* kRgbMagic = "P6";
constexpr const char* kGreyMagic = "P5";
constexpr int kHighByteShift = 8;
constexpr unsigned kByteMask = 0xFF;

// Big-endian copy of a row of native 16-bit samples.
void ToBigEndian(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out) {
    out.resize(row.size());
    for (std::size_t i = 0; i + 1 < row.size(); i += 2) {
        std::uint16_t word = 0;
        std::memcpy(&word, row.data() + i, sizeof word);
        out[i] = static_cast<std::uint8_t>(word >> kHighByteShift);
        out[i + 1] = static_cast<std::uint8_t>(word & kByteMask);
    }
}

} // namespace

std::string PnmHeader(const SampleLayout& layout) {
    return std::string(layout.channels == kGreyChannels ? kGreyMagic : kRgbMagic) + '\n' +
           std::to_string(layout.width) + ' ' + std::to_string(layout.height) + '\n' +
           std::to_string(layout.MaxLevel()) + '\n';
}

WriteOutcome WritePnm(const std::filesystem::path& target, const SampleLayout& layout,
                      const SampleRowSource& rows) {
    const std::string header = PnmHeader(layout);
    return WriteFileAtomically(target, [&](PositionedWriter& writer) {
        std::int64_t position = 0;
        const auto put = [&](std::span<const std::uint8_t> bytes) {
            const bool written = writer.WriteAt(position, bytes);
            position += static_cast<std::int64_t>(bytes.size());
            return written;
        };
        if (!put(std::span(reinterpret_cast<const std::uint8_t*>(header.data()), header.size()))) {
            return false;
        }
        std::vector<std::uint8_t> wide;
        for (std::int32_t y = 0; y < layout.height; ++y) {
            const std::span<const std::uint8_t> row = rows(y);
            if (row.size() != layout.RowBytes()) {
                return false;
            }
            if (layout.depth == kWordDepth) {
                ToBigEndian(row, wide);
            }
            if (!put(layout.depth == kWordDepth ? std::span<const std::uint8_t>(wide) : row)) {
                return false;
            }
        }
        return true;
    });
}

WriteOutcome WritePnm(const std::filesystem::path& target, const SampleImage& image) {
    return WritePnm(target, image.layout, [&image](std::int32_t y) { return image.Row(y); });
}
