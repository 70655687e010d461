// Extension to reader, and each reader opened behind the one interface.
#include "image/formats/ImageFiles.h"

#include "image/formats/BmpRows.h"
#include "image/formats/PngRows.h"
#include "image/formats/PnmRows.h"
#include "image/formats/TiffRows.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

template <typename Rows> Outcome<std::unique_ptr<RowSource>> Boxed(Outcome<Rows> rows) {
    if (!rows) {
        return rows.Why();
    }
    return std::unique_ptr<RowSource>(std::make_unique<Rows>(std::move(*rows)));
}

} // namespace

ImageKind ImageKindOf(const std::filesystem::path& path) {
    const std::string extension = Lowered(path.extension().string());
    if (extension == ".pnm" || extension == ".ppm" || extension == ".pgm") {
        return ImageKind::Pnm;
    }
    if (extension == ".png") {
        return ImageKind::Png;
    }
    if (extension == ".tif" || extension == ".tiff") {
        return ImageKind::Tiff;
    }
    return ImageKind::Bmp;
}

Outcome<std::unique_ptr<RowSource>> OpenRows(ImageKind kind, const ByteSource& source) {
    switch (kind) {
    case ImageKind::Pnm:
        return Boxed(PnmRows::Open(source));
    case ImageKind::Png:
        return PngRows::Open(source);
    case ImageKind::Tiff:
        return TiffRows::Open(source);
    case ImageKind::Bmp:
        break;
    }
    return Boxed(BmpRows::Open(source));
}
