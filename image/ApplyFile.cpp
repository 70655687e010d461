// Input opened and checked once; the tone map built once from the tables and
// the file's colour table; then the one pipeline to the output.
#include "image/ApplyFile.h"

#include "image/BmpRows.h"
#include "image/RenderPreview.h"
#include "io/File.h"

#include <optional>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

// `use(source)` on the file opened for reading, or CannotOpen.
template <typename Use> auto WithInputFile(const fs::path& input, const Use& use) {
    std::error_code error;
    const std::optional<File> file = File::OpenForReading(input, error);
    using Result = decltype(use(std::declval<const ByteSource&>()));
    if (!file) {
        return Result(Reason(ReasonCode::CannotOpen, error.value()));
    }
    return use(FileSource(*file)); // the file closes on every path
}

} // namespace

Reason ApplyToBmp(const ByteSource& input, const Replacement& output, const GammaTableSet& tables,
                  const PipelineOptions& options) {
    const Outcome<BmpRows> rows = BmpRows::Open(input);
    if (!rows) {
        return rows.Why();
    }
    return WriteBmp24(*rows, ToneMap(tables, rows->Colours()), output, options);
}

Reason ApplyToBmpFile(const fs::path& input, const fs::path& output, const GammaTableSet& tables,
                      const PipelineOptions& options) {
    return WithInputFile(input, [&](const ByteSource& source) {
        return ApplyToBmp(
            source, [&](const PositionedContents& c) { return WriteFileAtomically(output, c); },
            tables, options);
    });
}

Outcome<PreviewImage> RenderBmpFile(const fs::path& input, const GammaTableSet& tables,
                                    const PipelineOptions& options) {
    return WithInputFile(input, [&](const ByteSource& source) -> Outcome<PreviewImage> {
        const Outcome<BmpRows> rows = BmpRows::Open(source);
        if (!rows) {
            return rows.Why();
        }
        if (!rows->Layout().HasRows()) {
            return Reason(ReasonCode::Unsupported, 0, std::string(kNoPixels));
        }
        const RowLayout& layout = rows->Layout();
        std::optional<PreviewImage> preview = PreviewImage::Create(layout.Width, layout.Height);
        if (!preview) {
            return Reason(ReasonCode::NoMemory, std::int64_t{layout.Width} * layout.Height *
                                                    std::int64_t{sizeof(std::uint32_t)});
        }
        if (Reason failed =
                RenderRows(*rows, ToneMap(tables, rows->Colours()), *preview, options)) {
            return failed;
        }
        return std::move(*preview);
    });
}
