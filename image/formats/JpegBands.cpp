// Each band is a JPEG of its own rows made with the whole image's settings
// and restart interval; as a band holds exactly one interval, libjpeg-turbo
// writes no restart marker inside it, and its entropy-coded data, which
// ends padded to a whole byte, is what the whole image's encoder would
// write for that interval. The Huffman tables are the standard ones (no
// per-band optimisation), so every band shares the first one's header.
// Chroma 4:2:0 averages each 2 x 2 block within its MCU, and a band never
// splits an MCU, so no band's pixels depend on its neighbours.
#include "image/formats/JpegBands.h"

#include <cstdio> // jpeglib.h wants FILE declared first
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <new>

namespace {

constexpr std::int32_t kBlockSide = 8;
constexpr std::int32_t kHalvedChroma = 2; // luma samples per chroma sample each way, 4:2:0
constexpr std::int32_t kMostInterval = 65535;
constexpr std::size_t kFirstOutputBytes = std::size_t{1} << 16;
constexpr std::int32_t kRowsPerCall = 16;
constexpr std::uint8_t kDensityInInches = 1; // JFIF density unit

// Markers: 0xFF and a code. A segment's two-byte length counts itself;
// SOF0..SOF2 hold the precision (1 byte), then the height.
constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kFirstFrame = 0xC0;
constexpr std::uint8_t kLastFrame = 0xC2;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kFirstRestart = 0xD0;
constexpr std::int32_t kRestartCodes = 8;
constexpr std::size_t kMarkerBytes = 2;
constexpr std::size_t kSegmentHeadBytes = 4; // marker and length
constexpr std::size_t kFrameHeightAt = 5;    // from the marker: marker, length, precision
constexpr int kSegmentByteBits = 8;
constexpr unsigned kLowByte = 0xFF;

struct BandErrorJump {
    jpeg_error_mgr manager{};
    std::jmp_buf jump{};
};

[[noreturn]] void JumpOnBandError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<BandErrorJump*>(info->err)->jump, 1);
}

void QuietBandOutput(j_common_ptr) {}
void QuietBandMessage(j_common_ptr, int) {}

// The compressed bytes into a vector that grows as libjpeg-turbo fills it.
struct VectorDestination {
    jpeg_destination_mgr manager{};
    std::vector<std::uint8_t>* out = nullptr;
};

VectorDestination& DestinationOf(j_compress_ptr info) {
    return *reinterpret_cast<VectorDestination*>(info->dest);
}

bool Grow(std::vector<std::uint8_t>& out, std::size_t size) {
    try {
        out.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void StartDestination(j_compress_ptr info) {
    std::vector<std::uint8_t>& out = *DestinationOf(info).out;
    if (!Grow(out, std::max(out.capacity(), kFirstOutputBytes))) {
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    }
    info->dest->next_output_byte = out.data();
    info->dest->free_in_buffer = out.size();
}

boolean GrowDestination(j_compress_ptr info) {
    std::vector<std::uint8_t>& out = *DestinationOf(info).out;
    const std::size_t used = out.size();
    if (!Grow(out, used * 2)) {
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    }
    info->dest->next_output_byte = out.data() + used;
    info->dest->free_in_buffer = out.size() - used;
    return TRUE;
}

void EndDestination(j_compress_ptr info) {
    std::vector<std::uint8_t>& out = *DestinationOf(info).out;
    out.resize(out.size() - info->dest->free_in_buffer);
}

struct Compressor {
    BandErrorJump error;
    jpeg_compress_struct info{};
    VectorDestination destination;

    explicit Compressor(std::vector<std::uint8_t>& out) {
        info.err = jpeg_std_error(&error.manager);
        error.manager.error_exit = JumpOnBandError;
        error.manager.output_message = QuietBandOutput;
        error.manager.emit_message = QuietBandMessage;
        destination.out = &out;
        destination.manager.init_destination = StartDestination;
        destination.manager.empty_output_buffer = GrowDestination;
        destination.manager.term_destination = EndDestination;
    }
    ~Compressor() { jpeg_destroy_compress(&info); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
};

UINT16 DensityOf(double dotsPerInch) {
    return static_cast<UINT16>(std::clamp(std::lround(dotsPerInch), 1L, long{kJpegMostSide}));
}

void SetUp(jpeg_compress_struct& info, const JpegSettings& s, const JpegBandPlan& plan,
           std::int32_t rows) {
    info.image_width = static_cast<JDIMENSION>(s.width);
    info.image_height = static_cast<JDIMENSION>(rows);
    info.input_components = s.channels;
    info.in_color_space = s.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info); // standard Huffman tables, luma 2 x 2 (4:2:0)
    jpeg_set_quality(&info, s.quality, TRUE);
    if (s.FullChroma()) {
        info.comp_info[0].h_samp_factor = 1;
        info.comp_info[0].v_samp_factor = 1;
    }
    info.restart_interval = static_cast<unsigned>(plan.restartInterval);
    if (s.density) {
        info.density_unit = kDensityInInches;
        info.X_density = DensityOf(s.density->x);
        info.Y_density = DensityOf(s.density->y);
    }
}

// The band through libjpeg-turbo; its errors jump back here, and this frame
// holds nothing that needs destroying.
bool Compress(Compressor& c, const JpegSettings& s, const JpegBandPlan& plan, bool first,
              std::span<const std::uint8_t> rows) {
    if (setjmp(c.error.jump) != 0) {
        return false;
    }
    jpeg_create_compress(&c.info);
    c.info.dest = &c.destination.manager;
    const auto rowBytes = static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.channels);
    const auto count = static_cast<std::int32_t>(rows.size() / rowBytes);
    SetUp(c.info, s, plan, count);
    jpeg_start_compress(&c.info, TRUE);
    if (first && !s.icc.empty()) {
        jpeg_write_icc_profile(&c.info, s.icc.data(), static_cast<unsigned>(s.icc.size()));
    }
    JSAMPROW pointers[kRowsPerCall];
    for (std::int32_t y = 0; y < count; y += kRowsPerCall) {
        const std::int32_t n = std::min(kRowsPerCall, count - y);
        for (std::int32_t k = 0; k < n; ++k) {
            // libjpeg-turbo only reads its input rows.
            pointers[k] = const_cast<JSAMPROW>(rows.data() + std::size_t(y + k) * rowBytes);
        }
        jpeg_write_scanlines(&c.info, pointers, static_cast<JDIMENSION>(n));
    }
    jpeg_finish_compress(&c.info);
    return true;
}

// Where the entropy-coded data starts (just past the scan header), the
// frame's height set to `height` on the way when asked; 0 when the
// segments do not lead to a scan.
std::size_t ScanDataStart(std::vector<std::uint8_t>& bytes, std::optional<std::int32_t> height) {
    std::size_t at = kMarkerBytes; // past the start of image
    while (at + kSegmentHeadBytes <= bytes.size() && bytes[at] == kMarker) {
        const std::uint8_t code = bytes[at + 1];
        const std::size_t length = std::size_t{bytes[at + 2]} << kSegmentByteBits | bytes[at + 3];
        if (height && code >= kFirstFrame && code <= kLastFrame &&
            at + kFrameHeightAt + 2 <= bytes.size()) {
            bytes[at + kFrameHeightAt] =
                static_cast<std::uint8_t>(unsigned(*height) >> kSegmentByteBits);
            bytes[at + kFrameHeightAt + 1] =
                static_cast<std::uint8_t>(unsigned(*height) & kLowByte);
        }
        at += kMarkerBytes + length;
        if (code == kStartOfScan) {
            return at <= bytes.size() ? at : 0;
        }
    }
    return 0;
}

} // namespace

std::int32_t JpegSettings::McuWidth() const {
    return FullChroma() ? kBlockSide : kBlockSide * kHalvedChroma;
}

std::int32_t JpegSettings::McuHeight() const {
    return McuWidth();
}

JpegBandPlan PlanJpegBands(const JpegSettings& s, std::int64_t targetBytes) {
    const std::int64_t rowBytes = std::int64_t{s.width} * s.channels;
    const std::int32_t mcuSide = s.McuHeight();
    const std::int32_t mcusPerRow = (s.width + s.McuWidth() - 1) / s.McuWidth();
    const std::int32_t mcuRowsInImage = std::max(1, (s.height + mcuSide - 1) / mcuSide);
    std::int64_t mcuRows = targetBytes / std::max<std::int64_t>(rowBytes * mcuSide, 1);
    mcuRows = std::min<std::int64_t>(mcuRows, kMostInterval / std::max(mcusPerRow, 1));
    mcuRows = std::clamp<std::int64_t>(mcuRows, 1, mcuRowsInImage);
    return {static_cast<std::int32_t>(mcuRows) * mcuSide,
            static_cast<std::int32_t>(mcuRows) * mcusPerRow};
}

bool EncodeJpegBand(const JpegSettings& settings, const JpegBandPlan& plan, std::int32_t index,
                    std::span<const std::uint8_t> rows, std::vector<std::uint8_t>& out) {
    out.clear();
    {
        Compressor compressor(out);
        if (!Compress(compressor, settings, plan, index == 0, rows)) {
            return false;
        }
    }
    const std::size_t start =
        ScanDataStart(out, index == 0 ? std::optional(settings.height) : std::nullopt);
    if (start == 0 || out.size() < start + kMarkerBytes) {
        return false;
    }
    out.resize(out.size() - kMarkerBytes); // the band's own end of image
    if (index > 0) {
        out.erase(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(start));
    }
    return true;
}

std::vector<std::uint8_t> JpegBandEnd(std::int32_t index, std::int32_t bands) {
    if (index + 1 >= bands) {
        return {kMarker, kEndOfImage};
    }
    return {kMarker, static_cast<std::uint8_t>(kFirstRestart + index % kRestartCodes)};
}
