// The stored-row format of a scanned page: its channels and depth pick one of
// the scan formats the level kernels take.
#include "image/SampleRows.h"

namespace {

RowFormat FormatOf(const SampleLayout& page) {
    const bool wide = page.depth == kWordDepth;
    if (page.channels == kGreyChannels) {
        return wide ? kGrey16 : kGrey8;
    }
    return wide ? kRgb48 : kRgb24;
}

} // namespace

SampleRows::SampleRows(const SampleImage& page)
    : bytes_(page.bytes.data()), layout_{page.layout.width,
                                         page.layout.height,
                                         FormatOf(page.layout),
                                         false,
                                         static_cast<std::int64_t>(page.layout.RowBytes()),
                                         page.layout.MaxLevel()} {}
