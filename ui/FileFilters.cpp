// Filters are pairs "words (*.a *.b)|*.a;*.b|", ended by "|" (see AskUser.h).
#include "ui/FileFilters.h"

#include <QStringList>

#include <vector>

namespace {

const QString kAllImages = QStringLiteral("画像ファイル");
const QString kAllFiles = QStringLiteral("すべてのファイル (*.*)|*.*|");

// The dialogs' name of each format's files.
QString DialogWords(ImageFormat format) {
    switch (format) {
    case ImageFormat::Bmp:
        return QStringLiteral("BMP 画像");
    case ImageFormat::Pnm:
        return QStringLiteral("PNM 画像");
    case ImageFormat::Png:
        return QStringLiteral("PNG 画像");
    case ImageFormat::Tiff:
        return QStringLiteral("TIFF 画像");
    case ImageFormat::Jpeg:
        return QStringLiteral("JPEG 画像");
    case ImageFormat::Pdf:
        break;
    }
    return QStringLiteral("PDF 文書");
}

// The compressions a save dialog offers beside the plain format.
struct CompressionWords {
    TiffCompression Compression;
    const char16_t* Words;
};
constexpr CompressionWords kCompressionWords[] = {
    {TiffCompression::Deflate, u"Deflate 圧縮"},
    {TiffCompression::Lzw, u"LZW 圧縮"},
};

// One choice of a save dialog: a format with a compression where it takes
// one, and the dialog's words for it.
struct SaveChoice {
    ImageFormat Format;
    TiffCompression Compression = TiffCompression::None;
    QString Label;
};

// What a scan may be saved as, in the table's order: every format whose
// writer takes 16-bit rows (BMP is left to a typed name, as it refuses
// them), those that take a compression once more for each.
std::vector<SaveChoice> ScanSaveChoices() {
    std::vector<SaveChoice> choices;
    for (const FormatEntry& entry : AllFormats()) {
        if (!TakesWideRows(entry.Format)) {
            continue;
        }
        const QString words = DialogWords(entry.Format);
        choices.push_back({entry.Format, TiffCompression::None, words});
        for (const CompressionWords& c : kCompressionWords) {
            if (entry.TakesCompression) {
                choices.push_back({entry.Format, c.Compression,
                                   words + QStringLiteral("（") + QString::fromUtf16(c.Words) +
                                       QStringLiteral("）")});
            }
        }
    }
    return choices;
}

QString Pair(const QString& words, const QStringList& patterns) {
    return words + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QStringLiteral(")|") +
           patterns.join(QLatin1Char(';')) + QLatin1Char('|');
}

QStringList Patterns(const FormatEntry& entry) {
    QStringList patterns;
    for (const FormatName& name : entry.Names) {
        patterns << QLatin1Char('*') + QString::fromLatin1(name.Extension);
    }
    return patterns;
}

} // namespace

QString OpenImageFilter() {
    QStringList every;
    QString each;
    for (const FormatEntry& entry : AllFormats()) {
        if (entry.Open != nullptr) {
            every << Patterns(entry);
            each += Pair(DialogWords(entry.Format), Patterns(entry));
        }
    }
    return Pair(kAllImages, every) + each + kAllFiles + QLatin1Char('|');
}

QString ScanSaveFilter() {
    QString filter;
    for (const SaveChoice& choice : ScanSaveChoices()) {
        filter += Pair(choice.Label, Patterns(EntryOf(choice.Format)));
    }
    return filter + QLatin1Char('|');
}

QString TableFileFilter() {
    return QStringLiteral("テーブル ファイル (*.tvk)|*.tvk|") + kAllFiles + QLatin1Char('|');
}

QString ParamFileFilter() {
    return QStringLiteral("パラメータ ファイル (*.tvp)|*.tvp|") + kAllFiles + QLatin1Char('|');
}

SaveTarget ScanSaveTarget(const std::filesystem::path& picked, int chosenFilter) {
    const std::vector<SaveChoice> choices = ScanSaveChoices();
    const SaveChoice& chosen =
        chosenFilter >= 0 && static_cast<std::size_t>(chosenFilter) < choices.size()
            ? choices[static_cast<std::size_t>(chosenFilter)]
            : choices.front();
    SaveTarget target{picked, chosen.Format, chosen.Compression};
    if (const std::optional<ImageFormat> named = FormatOfName(picked)) {
        target.format = *named;
        if (*named != chosen.Format) {
            target.compression = TiffCompression::None;
        }
        return target;
    }
    target.path += std::string(EntryOf(chosen.Format).Names.front().Extension);
    return target;
}
