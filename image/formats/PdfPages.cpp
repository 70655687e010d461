// Each page is encoded straight into the scratch file as its rows come,
// and only its place there is kept; a page that fails is forgotten and the
// next one is written over its bytes. qpdf reads the pages back from the
// scratch file while it writes the document.
#include "image/formats/PdfPages.h"

#include "image/formats/ColourProfile.h"
#include "image/formats/JpegWriter.h"
#include "image/formats/PdfWriter.h"
#include "image/formats/RowDeflate.h"
#include "io/File.h"

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

class PdfDocument final : public PageWriter {
public:
    Reason AddPage(const RowShape& shape, const RowProducer& produce,
                   const WriteOptions& options) override;
    std::size_t Pages() const override { return pages_.size(); }
    std::optional<double> LastPageAssumedDpi() const override {
        return assumed_ ? std::optional(kPdfDefaultDotsPerInch) : std::nullopt;
    }
    Reason Finish(const Replacement& output) override;

private:
    Reason OpenScratch();

    std::optional<File> scratch_;
    std::int64_t end_ = 0; // of the last page kept
    std::vector<PdfPage> pages_;
    bool assumed_ = false;
};

bool HasResolution(const ImageMeta& meta) {
    return meta.resolution && meta.resolution->x > 0 && meta.resolution->y > 0;
}

PdfPage PageOf(const RowShape& shape, const WriteOptions& options) {
    PdfPage page;
    page.width = shape.Width;
    page.height = shape.Height;
    page.channels = shape.Channels;
    page.jpeg = options.Quality.has_value();
    page.bits = page.jpeg ? kNarrowBits : shape.Bits;
    const Resolution resolution = HasResolution(options.Meta)
                                      ? *options.Meta.resolution
                                      : Resolution{kPdfDefaultDotsPerInch, kPdfDefaultDotsPerInch};
    page.dotsPerInchX = resolution.x;
    page.dotsPerInchY = resolution.y;
    return page;
}

Reason PdfReasonOf(const PdfOutcome& outcome) {
    switch (outcome.failure) {
    case PdfFailure::None:
        return {};
    case PdfFailure::OutputStopped:
        return {ReasonCode::WriteFailed};
    case PdfFailure::ScratchUnread:
        return {ReasonCode::ReadFailed};
    case PdfFailure::NoMemory:
        return {ReasonCode::NoMemory};
    case PdfFailure::Refused:
        break;
    }
    return {ReasonCode::DamagedData, 0, "qpdf: " + outcome.words};
}

Reason PdfDocument::OpenScratch() {
    if (scratch_) {
        return {};
    }
    std::error_code error;
    scratch_ = File::CreateScratch(std::filesystem::temp_directory_path(error), error);
    return scratch_ ? Reason() : Reason(ReasonCode::CannotCreate, error.value());
}

// The page's entry, its profile fitted to its rows (none where grey rows
// came with a colour profile).
Outcome<PdfPage> ProfiledPage(const RowShape& shape, const WriteOptions& options) {
    PdfPage page = PageOf(shape, options);
    Outcome<std::vector<std::uint8_t>> profile =
        ProfileForChannels(options.Meta.profile, shape.Channels);
    if (!profile) {
        return profile.Why();
    }
    page.profile = std::move(*profile);
    return page;
}

Reason PdfDocument::AddPage(const RowShape& shape, const RowProducer& produce,
                            const WriteOptions& options) {
    if (shape.Width <= 0 || shape.Height <= 0) {
        return {ReasonCode::Unsupported, 0, std::string(kNoPixels)};
    }
    if (Reason failed = OpenScratch()) {
        return failed;
    }
    Outcome<PdfPage> made = ProfiledPage(shape, options);
    if (!made) {
        return made.Why();
    }
    PdfPage page = std::move(*made);
    page.offset = end_;
    std::int64_t at = end_;
    int writeError = 0;
    const ByteSink sink = [&](std::span<const std::uint8_t> bytes) {
        if (!scratch_->WriteAt(at, bytes.data(), bytes.size())) {
            writeError = errno;
            return false;
        }
        at += static_cast<std::int64_t>(bytes.size());
        return true;
    };
    WriteOptions jpeg;
    jpeg.Quality = options.Quality; // the profile and resolution belong to the page
    Reason failed = page.jpeg ? EncodeJpeg(shape, produce, jpeg, sink)
                              : EncodeRowDeflate(shape, produce, sink, PieceFraming::Bare);
    if (failed) {
        return failed.Code == ReasonCode::WriteFailed && writeError != 0
                   ? WriteFailureReason(writeError)
                   : failed;
    }
    page.length = at - end_;
    end_ = at;
    pages_.push_back(std::move(page));
    assumed_ = !HasResolution(options.Meta);
    return {};
}

Reason PdfDocument::Finish(const Replacement& output) {
    if (pages_.empty()) {
        return {ReasonCode::Unsupported, 0, std::string(kNoPixels)};
    }
    const PdfScratchRead read = [this](std::int64_t offset, std::uint8_t* bytes, std::size_t size) {
        return scratch_->ReadAt(offset, bytes, size) == static_cast<std::int64_t>(size);
    };
    return WriteInOrder(output, [&](const ByteSink& sink) {
        const PdfOutcome written = WritePdfPages(pages_, SoftwareName(), read,
                                                 [&](const std::uint8_t* bytes, std::size_t size) {
                                                     return sink({bytes, size});
                                                 });
        return PdfReasonOf(written);
    });
}

} // namespace

std::unique_ptr<PageWriter> OpenPdfPages() {
    return std::make_unique<PdfDocument>();
}

Reason WritePdf(const RowShape& shape, const RowProducer& produce, const Replacement& output,
                const WriteOptions& options) {
    const std::unique_ptr<PageWriter> pages = OpenPdfPages();
    if (Reason failed = pages->AddPage(shape, produce, options)) {
        return failed;
    }
    return pages->Finish(output);
}
