// What assistive technology announces for the window's and the About box's
// parts is Japanese, as their texts are. Exempt are names that are exactly
// the text on screen (a caption, "R: 118") and the parameters' own names
// ("Black", or "Alpha 1.099" with the value), which the dialog shows as-is.
#include "platform/ScriptedAskUser.h"
#include "platform/SettingsStore.h"
#include "tests/ui/DialogFixture.h"
#include "ui/AboutDlg.h"
#include "ui/ChartDialog.h"
#include "ui/ScanMemory.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTranslator>

namespace accessible_names_test {

namespace {

bool HasJapanese(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF)) {
            return true;
        }
    }
    return false;
}

QString ShownText(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text().remove(u'&');
    }
    return {};
}

// "Gamma" or "Gamma 1.00": a parameter's name, with its value label's text.
bool IsParameterName(const QString& name) {
    const QString first = name.section(u' ', 0, 0);
    const QString rest = name.section(u' ', 1);
    for (const Param p : kAllParams) {
        if (first == QLatin1String(SpecOf(p).name)) {
            bool number = false;
            rest.toDouble(&number);
            return rest.isEmpty() || number;
        }
    }
    return false;
}

// The names of `root`'s parts that are English words spoken in place of
// what the screen shows.
QStringList EnglishNames(const QWidget* root) {
    QStringList english;
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        const QString name = w->accessibleName();
        if (name.isEmpty() || HasJapanese(name) || name == ShownText(w) || IsParameterName(name)) {
            continue;
        }
        english << w->objectName() + QStringLiteral(": ") + name;
    }
    return english;
}

// With Qt's Japanese texts, as the program installs them at start-up (the
// tab bar's scroll buttons take their names from them).
class JapaneseDialogTest : public DialogTest {
public:
    static void SetUpTestSuite() {
        ASSERT_TRUE(QtTexts().load(QStringLiteral("qtbase_ja"),
                                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
        QCoreApplication::installTranslator(&QtTexts());
    }
    static void TearDownTestSuite() { QCoreApplication::removeTranslator(&QtTexts()); }

private:
    static QTranslator& QtTexts() {
        static QTranslator translator;
        return translator;
    }
};

TEST_F(JapaneseDialogTest, EveryAccessibleNameOfTheWindowIsJapaneseOrItsShownText) {
    EXPECT_EQ(EnglishNames(dialog.get()), QStringList());
    // The parts whose names were English sentences before.
    EXPECT_EQ(dialog->Controls().Item(IDC_GRAPH)->accessibleName(),
              QStringLiteral("赤・緑・青のトーンカーブ"));
    EXPECT_EQ(dialog->Controls().Item(IDC_IMAGE)->accessibleName(),
              QStringLiteral("ガンマテーブルを通した画像のプレビュー"));
}

TEST_F(JapaneseDialogTest, EveryAccessibleNameOfTheAboutBoxIsJapaneseOrItsShownText) {
    const CAboutDlg about(dialog.get());
    EXPECT_EQ(EnglishNames(&about), QStringList());
}

TEST_F(JapaneseDialogTest, EveryAccessibleNameOfTheChartDialogIsJapaneseOrItsShownText) {
    QTemporaryDir folder;
    SettingsStore settings(folder.filePath(QStringLiteral("Tamrel.conf")));
    ScanMemory memory(settings);
    ScriptedAskUser ask;
    auto scan = std::make_shared<ChartScan>();
    scan->width = 60;
    scan->height = 40;
    scan->rgb.assign(std::size_t(60 * 40 * 3), 30000);
    const ChartDialog chart(dialog.get(),
                            {scan, QStringLiteral("scan"), &settings, &memory, &ask, {}, {}});
    EXPECT_EQ(EnglishNames(&chart), QStringList());
    for (const char* part : {"chartKind", "chartReference", "chartView", "chartTable",
                             "chartSummary", "chartCorners", "chartApply", "chartSave"}) {
        EXPECT_TRUE(HasJapanese(chart.findChild<QWidget*>(QLatin1String(part))->accessibleName()))
            << part;
    }
}

// The check itself: an English sentence is found, shown text is not.
TEST(AccessibleNameRule, FindsAnEnglishSentenceButNotAShownCaption) {
    QWidget root;
    auto* caption = new QLabel(QStringLiteral("R: 118"), &root);
    caption->setAccessibleName(QStringLiteral("R: 118"));
    auto* area = new QWidget(&root);
    area->setObjectName(QStringLiteral("area"));
    area->setAccessibleName(QStringLiteral("Preview of the image"));
    EXPECT_EQ(EnglishNames(&root), QStringList(QStringLiteral("area: Preview of the image")));
}

} // namespace

} // namespace accessible_names_test
