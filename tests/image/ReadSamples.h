// Every sample of an image file as the project's reader gives it: the
// written files of a scan read back through the same road as any input.
#pragma once

#include "image/formats/FormatTable.h"
#include "image/rows/ByteSource.h"
#include "image/rows/SampleImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace scantest {

// Samples in row order, 16-bit ones in the machine's order whatever the
// reader keeps; `layout` gets the reader's layout.
inline std::vector<std::uint16_t>
ReadSamples(ImageFormat kind, const std::vector<std::uint8_t>& bytes, RowLayout& layout) {
    const MemorySource source(bytes);
    const auto rows = OpenRows(kind, source);
    if (!rows) {
        ADD_FAILURE() << rows.Why().Text;
        return {};
    }
    layout = (*rows)->Layout();
    std::vector<std::uint8_t> scratch(
        static_cast<std::size_t>((*rows)->ScratchBytes(layout.Height)));
    const FetchedRows fetched = (*rows)->Rows(0, layout.Height, scratch.data());
    EXPECT_FALSE(fetched.Why) << fetched.Why.Text;
    std::vector<std::uint16_t> samples;
    samples.reserve(static_cast<std::size_t>(layout.Height * layout.Width * layout.Format.Samples));
    for (std::int32_t y = 0; y < layout.Height && !fetched.Why; ++y) {
        const std::uint8_t* row = fetched.First + y * layout.Stride;
        for (std::int64_t i = 0; i < layout.Width * std::int64_t{layout.Format.Samples}; ++i) {
            std::uint16_t v = row[i];
            if (layout.Format.BitsPerSample == kWordDepth && layout.Format.BigEndian) {
                v = static_cast<std::uint16_t>(row[i * 2] << 8 | row[i * 2 + 1]);
            } else if (layout.Format.BitsPerSample == kWordDepth) {
                std::memcpy(&v, row + i * 2, sizeof v);
            }
            samples.push_back(v);
        }
    }
    return samples;
}

} // namespace scantest
