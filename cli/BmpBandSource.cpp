// Banded rendering for the BMP writer: image rows [end - n, end) rendered
// upright into a band, packed to stored rows, handed out last row first.
// Rendering and packing split each band over two threads; the band is small
// enough to stay in the cache between the two and the write.
#include "cli/BmpBandSource.h"

#include "image/RenderPreview.h"

#include <algorithm>

BmpBandSource::BmpBandSource(const Bmp24Layout& layout, const ImageBuffer& image,
                             const std::array<GammaTable, 3>& tables, std::int32_t bandRows)
    : layout_(layout), image_(image), tables_(tables), bandRows_(std::max(bandRows, 1)),
      header_(FormatBmp24Header(layout)), bandBegin_(layout.height), nextRow_(layout.height) {}

std::optional<std::span<const std::uint8_t>> BmpBandSource::Next() {
    if (!headerDone_) {
        headerDone_ = true;
        return std::span<const std::uint8_t>(header_);
    }
    if (nextRow_ == 0) {
        return std::span<const std::uint8_t>();
    }
    // The band's last row, handed out by the previous call, is written by
    // now, so the band's memory can take the next one.
    if (nextRow_ == bandBegin_ && !RenderBandEndingAt(nextRow_)) {
        return std::nullopt;
    }
    --nextRow_;
    return std::span<const std::uint8_t>(
        reinterpret_cast<const std::uint8_t*>(band_->Row(nextRow_ - bandBegin_)), layout_.stride);
}

bool BmpBandSource::RenderBandEndingAt(std::int32_t end) {
    const std::int32_t rows = std::min(bandRows_, end);
    const std::int32_t begin = end - rows;
    if (!band_ || band_->Height() != rows) {
        band_.reset(); // the old block goes before the new one is asked for
        band_ = PreviewImage::Create(layout_.width, rows);
        if (!band_) {
            return false;
        }
    }
    // Array row k holds image row k, or row Height-1-k in a top-down file;
    // the band's slice of the array renders upright with the same flag.
    const std::int32_t firstArrayRow = image_.TopDown ? layout_.height - end : begin;
    const std::int64_t rowBytes = std::int64_t{layout_.width} * kImageBytesPerPixel;
    const ImageBuffer slice{image_.TopDown, layout_.width, rows,
                            image_.Pixels + firstArrayRow * rowBytes};
    if (!RenderPreview(slice, tables_, *band_)) {
        return false;
    }
    PackRowsInPlace(*band_, layout_.stride);
    bandBegin_ = begin;
    return true;
}
