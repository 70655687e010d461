// Header then rows: upright row y lies at header + y * RowBytes().
#include "image/formats/PnmWriter.h"

#include <span>

namespace {

constexpr std::int32_t kMaxValue8 = 255;
constexpr std::int32_t kMaxValue16 = 65535;
constexpr std::int32_t kWideBits = 16;
constexpr std::int64_t kRgbSamples = 3;
constexpr const char* kRgbMagic = "P6\n";
constexpr const char* kGreyMagic = "P5\n";

std::int64_t RowBytesOf(const RgbShape& shape, PnmSamples samples) {
    return samples == PnmSamples::Grey ? shape.RowBytes() / kRgbSamples : shape.RowBytes();
}

} // namespace

std::string FormatPnmHeader(const RgbShape& shape, PnmSamples samples) {
    const std::int32_t maxValue = shape.Bits == kWideBits ? kMaxValue16 : kMaxValue8;
    return std::string(samples == PnmSamples::Grey ? kGreyMagic : kRgbMagic) +
           std::to_string(shape.Width) + " " + std::to_string(shape.Height) + "\n" +
           std::to_string(maxValue) + "\n";
}

Reason WritePnm(const RgbShape& shape, const RgbProducer& produce, const Replacement& output,
                PnmSamples samples) {
    const std::string header = FormatPnmHeader(shape, samples);
    const auto headerBytes = static_cast<std::int64_t>(header.size());
    const std::int64_t rowBytes = RowBytesOf(shape, samples);
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
