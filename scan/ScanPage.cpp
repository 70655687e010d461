// SANE's frames: each frame's parameters are valid after its sane_start;
// sane_read gives its bytes, bytes_per_line to a line (which may hold unused
// bytes past the pixels), and SANE_STATUS_EOF at its end. A three-pass scan
// sends a red, a green and a blue frame, in any order, the last one marked.
// 16-bit samples come in the machine's byte order.
#include "scan/ScanPage.h"

#include "scan/SaneReason.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <vector>

namespace {

// How long a wait for data lasts before the cancel flag is looked at again.
constexpr int kPollMilliseconds = 100;

// Large reads keep the per-call cost of the backend low.
constexpr std::size_t kReadBytes = std::size_t{1} << 16;
// A streamed page goes on in runs of whole lines of about this size, so the
// output takes few large writes while the page is never held whole.
constexpr std::size_t kRunBytes = std::size_t{1} << 20;
constexpr std::size_t kPasses = 3;

// sane_cancel ends every scan, finished or not, so the device is idle again;
// only a page read whole in a feeder's batch is left for the next sane_start.
class RunningScan {
public:
    explicit RunningScan(SANE_Handle handle) : handle_(handle) {}
    ~RunningScan() {
        if (handle_ != nullptr) {
            sane_cancel(handle_);
        }
    }
    RunningScan(const RunningScan&) = delete;
    RunningScan& operator=(const RunningScan&) = delete;
    void Release() { handle_ = nullptr; }

private:
    SANE_Handle handle_;
};

struct Frame {
    SANE_Parameters parameters{};
    std::vector<std::uint8_t> bytes; // whole lines of bytes_per_line
};

int ChannelsOf(SANE_Frame format) {
    return format == SANE_FRAME_RGB ? kRgbChannels : kGreyChannels;
}

bool IsPass(SANE_Frame format) {
    return format == SANE_FRAME_RED || format == SANE_FRAME_GREEN || format == SANE_FRAME_BLUE;
}

Reason CheckParameters(const SANE_Parameters& p) {
    if (p.depth != kByteDepth && p.depth != kWordDepth) {
        return {ReasonCode::Unsupported, p.depth, std::to_string(p.depth) + "-bit samples"};
    }
    if (p.format != SANE_FRAME_GRAY && p.format != SANE_FRAME_RGB && !IsPass(p.format)) {
        return {ReasonCode::Unsupported, p.format, "frame format " + std::to_string(p.format)};
    }
    const std::size_t pixelBytes =
        static_cast<std::size_t>(ChannelsOf(p.format)) * static_cast<std::size_t>(p.depth / 8);
    if (p.pixels_per_line <= 0 || p.bytes_per_line <= 0 ||
        static_cast<std::size_t>(p.bytes_per_line) <
            static_cast<std::size_t>(p.pixels_per_line) * pixelBytes) {
        return {ReasonCode::BadHeader, p.bytes_per_line, "frame parameters"};
    }
    return {};
}

// Where the backend offers a descriptor that becomes readable when data is
// there, the wait happens here rather than inside sane_read, so that a cancel
// is noticed while a slow device has nothing to give. False when cancelled.
bool WaitForData(SANE_Handle handle, const std::atomic<bool>& cancel) {
    SANE_Int fd = -1;
    if (sane_get_select_fd(handle, &fd) != SANE_STATUS_GOOD || fd < 0) {
        return !cancel.load();
    }
    pollfd wait{fd, POLLIN, 0};
    while (!cancel.load()) {
        const int ready = ::poll(&wait, 1, kPollMilliseconds);
        if (ready != 0 && !(ready < 0 && errno == EINTR)) {
            return true; // data, end of data, or an error sane_read will report
        }
    }
    return false;
}

// Reads one frame to its end. With a known height the buffer is made once
// and read into directly; with an unknown one it grows.
Reason ReadFrame(SANE_Handle handle, Frame& frame, const std::atomic<bool>& cancel,
                 const std::function<void(std::size_t)>& read) {
    const SANE_Parameters& p = frame.parameters;
    const bool known = p.lines >= 0;
    const std::size_t expected =
        known ? static_cast<std::size_t>(p.lines) * static_cast<std::size_t>(p.bytes_per_line) : 0;
    if (known) {
        frame.bytes.reserve(expected + kReadBytes); // room for the read that finds the end
    }
    frame.bytes.resize(known ? expected : kReadBytes);
    std::size_t filled = 0;
    for (;;) {
        if (!WaitForData(handle, cancel)) {
            return {ReasonCode::Cancelled};
        }
        if (filled == frame.bytes.size()) {
            // A known height is only a promise: take what comes past it too.
            frame.bytes.resize(frame.bytes.size() + (known ? kReadBytes : frame.bytes.size()));
        }
        const std::size_t room = std::min(kReadBytes, frame.bytes.size() - filled);
        SANE_Int got = 0;
        const SANE_Status status =
            sane_read(handle, frame.bytes.data() + filled, static_cast<SANE_Int>(room), &got);
        if (status == SANE_STATUS_EOF) {
            break;
        }
        if (status != SANE_STATUS_GOOD) {
            // A cancel may break the backend's read (a signal ends its wait
            // with EINTR): the user's cancel is the reason, not the I/O error.
            return cancel.load() ? Reason{ReasonCode::Cancelled} : SaneReason(status);
        }
        filled += static_cast<std::size_t>(std::max(got, 0));
        read(filled);
    }
    const std::size_t lines = filled / static_cast<std::size_t>(p.bytes_per_line);
    frame.bytes.resize(lines * static_cast<std::size_t>(p.bytes_per_line));
    frame.parameters.lines = static_cast<SANE_Int>(lines);
    return {};
}

SampleLayout LayoutOf(const SANE_Parameters& p, int channels) {
    return {p.pixels_per_line, p.lines, channels, p.depth};
}

// A grey or RGB frame: its lines without the bytes past the pixels.
SampleImage SinglePass(Frame frame) {
    const SANE_Parameters& p = frame.parameters;
    SampleImage image{LayoutOf(p, ChannelsOf(p.format)), {}};
    const std::size_t rowBytes = image.layout.RowBytes();
    const std::size_t lineBytes = static_cast<std::size_t>(p.bytes_per_line);
    if (rowBytes != lineBytes) {
        for (std::size_t y = 0; y < static_cast<std::size_t>(p.lines); ++y) {
            std::memmove(frame.bytes.data() + y * rowBytes, frame.bytes.data() + y * lineBytes,
                         rowBytes);
        }
        frame.bytes.resize(rowBytes * static_cast<std::size_t>(p.lines));
    }
    image.bytes = std::move(frame.bytes);
    return image;
}

// Three one-channel frames woven into RGB; the shortest frame sets the height.
ScanResult ThreePass(const std::vector<Frame>& frames) {
    const SANE_Parameters& first = frames.front().parameters;
    std::int32_t lines = first.lines;
    for (const Frame& frame : frames) {
        if (frame.parameters.pixels_per_line != first.pixels_per_line ||
            frame.parameters.depth != first.depth) {
            return {{ReasonCode::BadHeader, 0, "frames of different sizes"}, {}};
        }
        lines = std::min(lines, frame.parameters.lines);
    }
    SANE_Parameters shape = first;
    shape.lines = lines;
    SampleImage image{LayoutOf(shape, kRgbChannels), {}};
    image.bytes.resize(image.layout.RowBytes() * static_cast<std::size_t>(lines));
    const std::size_t sampleBytes = image.layout.BytesPerSample();
    for (const Frame& frame : frames) {
        const std::size_t channel =
            static_cast<std::size_t>(frame.parameters.format - SANE_FRAME_RED);
        for (std::size_t y = 0; y < static_cast<std::size_t>(lines); ++y) {
            const std::uint8_t* in =
                frame.bytes.data() + y * static_cast<std::size_t>(frame.parameters.bytes_per_line);
            std::uint8_t* out = image.bytes.data() + y * image.layout.RowBytes();
            for (std::size_t x = 0; x < static_cast<std::size_t>(shape.pixels_per_line); ++x) {
                std::memcpy(out + (x * kPasses + channel) * sampleBytes, in + x * sampleBytes,
                            sampleBytes);
            }
        }
    }
    return {{}, std::move(image)};
}

using BytesRead = std::function<void(std::size_t)>;

// Progress over the whole page: frame `done` of one (or of three passes).
BytesRead FrameProgress(const ScanProgress& progress, const SANE_Parameters& p, std::size_t done) {
    if (!progress) {
        return [](std::size_t) {};
    }
    const double passes = IsPass(p.format) ? static_cast<double>(kPasses) : 1.0;
    const double frameBytes = static_cast<double>(p.lines) * static_cast<double>(p.bytes_per_line);
    return [=](std::size_t bytes) {
        if (frameBytes > 0) {
            progress((static_cast<double>(done) + static_cast<double>(bytes) / frameBytes) /
                     passes);
        }
    };
}

Reason StartFrame(SANE_Handle handle, const std::atomic<bool>& cancel, SANE_Parameters& p) {
    if (cancel.load(std::memory_order_relaxed)) {
        return {ReasonCode::Cancelled};
    }
    if (Reason reason = SaneReason(sane_start(handle))) {
        return reason;
    }
    if (Reason reason = SaneReason(sane_get_parameters(handle, &p))) {
        return reason;
    }
    return CheckParameters(p);
}

// A run of whole lines of `lineBytes` as the backend gives them, handed on
// packed to rows of the layout's row bytes; lines past the layout's height
// are dropped.
class LineRun {
public:
    LineRun(std::size_t lineBytes, const SampleLayout& layout)
        : lineBytes_(lineBytes), rowBytes_(layout.RowBytes()), height_(layout.height),
          bytes_(std::max<std::size_t>(1, kRunBytes / lineBytes) * lineBytes) {}

    bool Full() const { return filled_ == bytes_.size(); }
    std::uint8_t* Space() { return bytes_.data() + filled_; }
    std::size_t SpaceLeft() const { return bytes_.size() - filled_; }
    void Filled(std::size_t count) { filled_ += count; }
    std::int32_t Delivered() const { return delivered_; }

    // Hands on the whole lines held; a part line is only left at the end.
    bool Deliver(const PageRowSink& sink) {
        const std::size_t lines =
            std::min(filled_ / lineBytes_, static_cast<std::size_t>(height_ - delivered_));
        filled_ = 0;
        for (std::size_t y = 1; lineBytes_ != rowBytes_ && y < lines; ++y) {
            std::memmove(bytes_.data() + y * rowBytes_, bytes_.data() + y * lineBytes_, rowBytes_);
        }
        delivered_ += static_cast<std::int32_t>(lines);
        return lines == 0 || sink({bytes_.data(), lines * rowBytes_});
    }

private:
    std::size_t lineBytes_;
    std::size_t rowBytes_;
    std::int32_t height_;
    std::vector<std::uint8_t> bytes_;
    std::size_t filled_ = 0;
    std::int32_t delivered_ = 0;
};

// Reads a single frame of known height into the sink a run of lines at a
// time. Bytes past the promised lines are read and dropped, so the backend
// ends its frame itself; fewer lines than promised fail with SANE's EOF.
Reason StreamFrame(SANE_Handle handle, const SANE_Parameters& p, const SampleLayout& layout,
                   const std::atomic<bool>& cancel, const BytesRead& read,
                   const PageRowSink& sink) {
    LineRun run(static_cast<std::size_t>(p.bytes_per_line), layout);
    std::size_t total = 0;
    for (;;) {
        if (!WaitForData(handle, cancel)) {
            return {ReasonCode::Cancelled};
        }
        if (run.Full() && !run.Deliver(sink)) {
            return {ReasonCode::WriteFailed};
        }
        SANE_Int got = 0;
        const SANE_Status status =
            sane_read(handle, run.Space(), static_cast<SANE_Int>(run.SpaceLeft()), &got);
        if (status == SANE_STATUS_EOF) {
            break;
        }
        if (status != SANE_STATUS_GOOD) {
            return cancel.load() ? Reason{ReasonCode::Cancelled} : SaneReason(status);
        }
        run.Filled(static_cast<std::size_t>(std::max(got, 0)));
        total += static_cast<std::size_t>(std::max(got, 0));
        read(total);
    }
    if (!run.Deliver(sink)) {
        return {ReasonCode::WriteFailed};
    }
    if (run.Delivered() < layout.height) {
        // The end of data came before the promised lines: SANE's own words for it.
        return SaneReason(SANE_STATUS_EOF);
    }
    return {};
}

// Frames of unknown height or three passes, read whole from the first one
// (already started) to the last.
ScanResult ReadWholePage(SANE_Handle handle, const std::atomic<bool>& cancel,
                         const ScanProgress& progress, Frame first) {
    std::vector<Frame> frames;
    frames.push_back(std::move(first));
    for (;;) {
        Frame& frame = frames.back();
        const BytesRead read = FrameProgress(progress, frame.parameters, frames.size() - 1);
        if (Reason reason = ReadFrame(handle, frame, cancel, read)) {
            return {reason, {}};
        }
        const bool pass = IsPass(frame.parameters.format);
        if (frame.parameters.last_frame != SANE_FALSE || !pass || frames.size() == kPasses) {
            break;
        }
        if (Reason reason = StartFrame(handle, cancel, frames.emplace_back().parameters)) {
            return {reason, {}};
        }
    }
    if (IsPass(frames.front().parameters.format)) {
        if (frames.size() != kPasses) {
            return {{ReasonCode::BadHeader, static_cast<std::int64_t>(frames.size()), "frames"},
                    {}};
        }
        return ThreePass(frames);
    }
    return {{}, SinglePass(std::move(frames.front()))};
}

// The page from its first sane_start to its last frame's end.
Reason ReadPage(SANE_Handle handle, const std::atomic<bool>& cancel, const ScanProgress& progress,
                const PageUse& use) {
    Frame first;
    if (Reason reason = StartFrame(handle, cancel, first.parameters)) {
        return reason;
    }
    const SANE_Parameters p = first.parameters;
    if (!IsPass(p.format) && p.lines >= 0) {
        const SampleLayout layout = LayoutOf(p, ChannelsOf(p.format));
        return use(layout, [&](const PageRowSink& sink) {
            return StreamFrame(handle, p, layout, cancel, FrameProgress(progress, p, 0), sink);
        });
    }
    ScanResult whole = ReadWholePage(handle, cancel, progress, std::move(first));
    if (whole.reason) {
        return whole.reason;
    }
    return use(whole.image.layout, [&](const PageRowSink& sink) {
        return sink(whole.image.bytes) ? Reason() : Reason(ReasonCode::WriteFailed);
    });
}

} // namespace

Reason ScanPage(SaneDevice& device, const std::atomic<bool>& cancel, const ScanProgress& progress,
                const PageUse& use, AfterPage after) {
    RunningScan running(device.Handle());
    const Reason reason = ReadPage(device.Handle(), cancel, progress, use);
    if (!reason && after == AfterPage::NextPage) {
        running.Release();
    }
    return reason;
}

PageUse CollectInto(SampleImage& image) {
    return [&image](const SampleLayout& layout, const PageReader& read) {
        image.layout = layout;
        image.bytes.clear();
        image.bytes.reserve(layout.RowBytes() *
                            static_cast<std::size_t>(std::max(layout.height, 0)));
        return read([&image](std::span<std::uint8_t> rows) {
            image.bytes.insert(image.bytes.end(), rows.begin(), rows.end());
            return true;
        });
    };
}

ScanResult ScanPage(SaneDevice& device, const std::atomic<bool>& cancel,
                    const ScanProgress& progress) {
    ScanResult result;
    result.reason = ScanPage(device, cancel, progress, CollectInto(result.image));
    if (result.reason) {
        result.image = {};
    }
    return result;
}
