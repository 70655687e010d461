// PNG output: the preview's 0xFFRRGGBB rows are exactly QImage's RGB32 layout,
// so Qt reads them in place without a copy.
#include "cli/PngWriter.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <array>
#include <cstdint>
#include <limits>
#include <span>

namespace {

constexpr const char* kPngFormat = "png";

} // namespace

WriteOutcome WritePngFile(const std::filesystem::path& path, const PreviewImage& preview) {
    if (preview.BytesPerLine() > std::numeric_limits<int>::max()) {
        return {WriteResult::WriteFailed,
                Reason(ReasonCode::TooLarge, preview.BytesPerLine(), "a PNG row")};
    }
    const QImage image(reinterpret_cast<const uchar*>(preview.Bits()), preview.Width(),
                       preview.Height(), static_cast<qsizetype>(preview.BytesPerLine()),
                       QImage::Format_RGB32);
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, kPngFormat);
    if (image.isNull() || !writer.write(image)) {
        return {WriteResult::WriteFailed,
                Reason(ReasonCode::WriteFailed, 0, writer.errorString().toStdString())};
    }
    buffer.close();
    const std::array<std::span<const std::uint8_t>, 1> pieces = {
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(encoded.constData()),
                                      static_cast<std::size_t>(encoded.size()))};
    return WriteFileAtomically(path, pieces);
}
