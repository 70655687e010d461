// Header then rows: row y lies at header + y * RowBytes().
#include "image/formats/PnmWriter.h"

#include <span>

namespace {

constexpr std::int32_t kMaxValue8 = 255;
constexpr std::int32_t kMaxValue16 = 65535;
constexpr const char* kRgbMagic = "P6\n";
constexpr const char* kGreyMagic = "P5\n";

} // namespace

std::string FormatPnmHeader(const RowShape& shape) {
    const std::int32_t maxValue = shape.Bits == kWideBits ? kMaxValue16 : kMaxValue8;
    return std::string(shape.Grey() ? kGreyMagic : kRgbMagic) + std::to_string(shape.Width) + " " +
           std::to_string(shape.Height) + "\n" + std::to_string(maxValue) + "\n";
}

Reason WritePnm(const RowShape& shape, const RowProducer& produce, const Replacement& output,
                const WriteOptions&) {
    const std::string header = FormatPnmHeader(shape);
    const auto headerBytes = static_cast<std::int64_t>(header.size());
    const std::int64_t rowBytes = shape.RowBytes();
    return WriteThrough(output, [&](PositionedWriter& writer) -> Reason {
        const auto* head = reinterpret_cast<const std::uint8_t*>(header.data());
        if (!writer.WriteAt(0, {head, header.size()})) {
            return {ReasonCode::WriteFailed};
        }
        return produce(
            [&](std::int32_t first, std::int32_t count, const std::uint8_t* rows) {
                return writer.WriteAt(headerBytes + first * rowBytes,
                                      {rows, static_cast<std::size_t>(count * rowBytes)});
            },
            RunRequest{.InOrder = false});
    });
}
