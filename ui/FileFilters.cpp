// Filters are pairs "words (*.a *.b)|*.a;*.b|", ended by "|" (see AskUser.h).
#include "ui/FileFilters.h"

#include <QStringList>

namespace {

const QString kAllImages = QStringLiteral("画像ファイル");
const QString kAllFiles = QStringLiteral("すべてのファイル (*.*)|*.*|");

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

QString Words(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

QString OpenImageFilter() {
    QStringList every;
    QString each;
    for (const FormatEntry& entry : AllFormats()) {
        if (entry.Open != nullptr) {
            every << Patterns(entry);
            each += Pair(Words(entry.DialogLabel), Patterns(entry));
        }
    }
    return Pair(kAllImages, every) + each + kAllFiles + QLatin1Char('|');
}

QString ScanSaveFilter() {
    QString filter;
    for (const SaveChoice& choice : ScanSaveChoices()) {
        filter += Pair(Words(choice.Label), Patterns(EntryOf(choice.Format)));
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
