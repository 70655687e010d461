#include "DialogFixture.h"

#include "io/TableFile.h"
#include "tests/image/BmpWriter.h"
#include "ui/CMyGraph.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace file_handlers_test {

namespace {

const QString kNotice =
    "指定されたファイル名の最後に 'R', 'G', 'B'\nを付けた３つのファイルを出力します。";
const QString kOverwrite = "既存ファイルを上書きしますか？";
const QString kExported = "出力しました。";
const QString kCannotOpen = "ファイルをオープンできません。";
const QString kReadFailed = "ファイルの読み出しに失敗しました。";

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteText(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class Files : public DialogTest {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }

    void Export(const QString& picked, std::optional<Answer> overwrite = std::nullopt) {
        ask.Clear();
        ask.QueueAnswer(Answer::Ok); // the notice
        if (overwrite) {
            ask.QueueAnswer(*overwrite);
        }
        ask.QueueFileName(picked);
        Button(IDC_EXPORT_TABLES)->click();
    }

    void Load(const QString& path) {
        ask.Clear();
        ask.QueueFileName(path);
        Button(IDC_LOAD_PARAMS)->click();
    }

    QTemporaryDir dir;
};

TEST_F(Files, ExportWritesThreeFilesBetweenTheNoticeAndTheSuccess) {
    Export(Path("curve.tvk"));
    EXPECT_EQ(ask.MessageTexts(), QStringList({kNotice, kExported}));
    EXPECT_EQ(ask.Messages()[0].icon, MessageIcon::Information);
    EXPECT_EQ(ask.Messages()[1].icon, MessageIcon::Information);
    ASSERT_EQ(ask.FileDialogs().size(), 1u);
    EXPECT_EQ(ask.FileDialogs()[0].mode, FileDialogRequest::Mode::Save);
    EXPECT_EQ(ask.FileDialogs()[0].defaultSuffix, "tvk");
    EXPECT_FALSE(ask.FileDialogs()[0].overwritePrompt);
    EXPECT_EQ(ask.FileDialogs()[0].filter,
              QStringLiteral("テーブル ファイル (*.tvk)|*.tvk|すべてのファイル (*.*)|*.*||"));
    const QByteArray red = ReadAll(Path("curveR.tvk"));
    EXPECT_TRUE(red.startsWith("Gamma table by Tamrel - Red\r\n256\r\n0\r\n4\r\n7\r\n"));
    EXPECT_TRUE(red.endsWith("\r\n255\r\n"));
    EXPECT_TRUE(ReadAll(Path("curveG.tvk")).startsWith("Gamma table by Tamrel - Green\r\n"));
    EXPECT_TRUE(ReadAll(Path("curveB.tvk")).startsWith("Gamma table by Tamrel - Blue\r\n"));
}

TEST_F(Files, ExportCancelledAtTheFileDialogWritesNothing) {
    ask.QueueCancel();
    Button(IDC_EXPORT_TABLES)->click();
    EXPECT_EQ(ask.MessageTexts(), QStringList({kNotice}));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(Files, OneExistingFileAsksOnceAndOkWritesAll) {
    WriteText(Path("curveB.tvk"), "old");
    Export(Path("curve.tvk"), Answer::Ok);
    EXPECT_EQ(ask.MessageTexts(), QStringList({kNotice, kOverwrite, kExported}));
    EXPECT_EQ(ask.Messages()[1].buttons, MessageButtons::OkCancel);
    EXPECT_TRUE(QFile::exists(Path("curveR.tvk")));
    EXPECT_TRUE(ReadAll(Path("curveB.tvk")).startsWith("Gamma table by Tamrel - Blue"));
}

TEST_F(Files, OverwriteCancelledTouchesNoFile) {
    WriteText(Path("curveB.tvk"), "old");
    Export(Path("curve.tvk"), Answer::Cancel);
    EXPECT_EQ(ask.MessageTexts(), QStringList({kNotice, kOverwrite}));
    EXPECT_FALSE(QFile::exists(Path("curveR.tvk")));
    EXPECT_EQ(ReadAll(Path("curveB.tvk")), "old");
}

TEST_F(Files, RedNameThatIsADirectoryIsNotAskedAboutAndStopsTheExport) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("curveR.tvk"));
    Export(Path("curve.tvk"));
    EXPECT_EQ(ask.MessageTexts(), QStringList({kNotice, kCannotOpen}));
    EXPECT_FALSE(QFile::exists(Path("curveG.tvk")));
    EXPECT_FALSE(QFile::exists(Path("curveB.tvk")));
}

TEST_F(Files, FailureInTheMiddleKeepsTheRedFileAndWritesNoBlue) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("curveG.tvk"));
    Export(Path("curve.tvk"));
    EXPECT_EQ(ask.MessageTexts(), QStringList({kNotice, kCannotOpen}));
    EXPECT_TRUE(ReadAll(Path("curveR.tvk")).startsWith("Gamma table by Tamrel - Red"));
    EXPECT_FALSE(QFile::exists(Path("curveB.tvk")));
}

TEST_F(Files, ExportWritesTheTablesAsTheyStandAtTheClick) {
    Slider(IDC_SLIDER_BLACK)->setValue(37);
    Export(Path("t.tvk"));
    const std::vector<std::string> pieces =
        FormatTableFile(theGammaTables[kRed], "Gamma table by Tamrel - Red");
    std::string expected;
    for (const std::string& piece : pieces) {
        expected += piece;
    }
    EXPECT_EQ(ReadAll(Path("tR.tvk")).toStdString(), expected);
}

TEST_F(Files, SaveAsksWithItsOwnOverwritePromptAndReportsSuccess) {
    ask.QueueFileName(Path("p.tvp"));
    Button(IDC_SAVE_PARAMS)->click();
    ASSERT_EQ(ask.FileDialogs().size(), 1u);
    EXPECT_TRUE(ask.FileDialogs()[0].overwritePrompt);
    EXPECT_EQ(ask.FileDialogs()[0].defaultSuffix, "tvp");
    EXPECT_EQ(ask.MessageTexts(), QStringList({"保存しました。"}));
    EXPECT_EQ(ReadAll(Path("p.tvp")).size(), 154);
}

TEST_F(Files, ALinkToNothingAsTargetIsAskedAboutAndCancelKeepsTheLink) {
    const std::filesystem::path link = Path("p.tvp").toStdString();
    std::filesystem::create_symlink(Path("elsewhere.tvp").toStdString(), link);
    ask.QueueAnswer(Answer::Cancel);
    ask.QueueFileName(Path("p.tvp"));
    Button(IDC_SAVE_PARAMS)->click();
    EXPECT_EQ(ask.MessageTexts(), QStringList({"既存ファイルを上書きしますか？"}));
    EXPECT_TRUE(std::filesystem::is_symlink(link));

    // The green table's name is a link to nothing.
    std::filesystem::create_symlink(Path("gone.tvk").toStdString(), Path("pG.tvk").toStdString());
    Export(Path("p.tvk"), Answer::Cancel);
    EXPECT_EQ(ask.MessageTexts(),
              QStringList({ask.MessageTexts().value(0), "既存ファイルを上書きしますか？"}));
    EXPECT_TRUE(std::filesystem::is_symlink(Path("pG.tvk").toStdString()));
    EXPECT_FALSE(QFile::exists(Path("pR.tvk")));
}

TEST_F(Files, SaveIntoAMissingFolderCannotOpen) {
    ask.QueueFileName(Path("missing/p.tvp"));
    Button(IDC_SAVE_PARAMS)->click();
    EXPECT_EQ(ask.MessageTexts(), QStringList({kCannotOpen}));
    EXPECT_EQ(ask.Messages()[0].details, "p.tvp: ファイルまたはフォルダーが見つかりません");
}

TEST_F(Files, SaveThenLoadOnGreenRestoresEveryChannelAndShowsGreen) {
    const ParamPositions set[] = {{10, 250, 20, 160}, {20, 240, 40, 170}, {30, 230, 60, 180}};
    for (int ch = 0; ch < 3; ++ch) {
        Tabs()->setCurrentIndex(ch);
        Slider(IDC_SLIDER_BLACK)->setValue(set[ch].black);
        Slider(IDC_SLIDER_WHITE)->setValue(set[ch].white);
        Slider(IDC_SLIDER_ALPHA)->setValue(set[ch].alpha);
        Slider(IDC_SLIDER_GAMMA)->setValue(set[ch].gamma);
    }
    const GammaTableSet tables = theGammaTables;
    ask.QueueFileName(Path("p.tvp"));
    Button(IDC_SAVE_PARAMS)->click();

    ask.QueueAnswer(Answer::Ok);
    Button(IDC_RESET_PARAMS)->click();
    Tabs()->setCurrentIndex(kGreen);
    Load(Path("p.tvp"));
    EXPECT_TRUE(ask.Messages().empty()) << "a successful load says nothing";
    EXPECT_EQ(Tabs()->currentIndex(), kGreen);
    EXPECT_EQ(SliderPositions(), set[kGreen]);
    EXPECT_EQ(LabelText(IDC_VALUE_BLACK), " 2.0");
    EXPECT_EQ(theGammaTables, tables);
    for (int ch = 0; ch < 3; ++ch) {
        EXPECT_EQ(PositionsOf(theChannelParams[ch]), set[ch]) << ch;
    }
}

TEST_F(Files, RejectedLoadChangesNothing) {
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", ""},
        {"comments only", ";Tamrel Parameter\r\n;BlackR=5\r\n"},
        {"one key out of range",
         "BlackR=0\nBlackG=0\nBlackB=0\nWhiteR=199\nWhiteG=255\nWhiteB=255\nAlphaR=99\n"
         "AlphaG=99\nAlphaB=99\nGammaR=200\nGammaG=200\nGammaB=200\n"},
        {"last line without its end",
         "BlackR=0\nBlackG=0\nBlackB=0\nWhiteR=255\nWhiteG=255\nWhiteB=255\nAlphaR=99\n"
         "AlphaG=99\nAlphaB=99\nGammaR=200\nGammaG=200\nGammaB=200"},
    };
    Slider(IDC_SLIDER_ALPHA)->setValue(7);
    const GammaTableSet tables = theGammaTables;
    for (const auto& c : cases) {
        WriteText(Path("bad.tvp"), c.bytes);
        Load(Path("bad.tvp"));
        EXPECT_EQ(ask.MessageTexts(), QStringList({kReadFailed})) << c.name;
        EXPECT_EQ(ask.Messages().back().details,
                  "bad.tvp: 12 個のパラメータがそろっていないか、範囲外の値があります")
            << c.name;
        EXPECT_EQ(theGammaTables, tables) << c.name;
        EXPECT_EQ(theChannelParams[kRed].AlphaPos, 7) << c.name;
        EXPECT_EQ(Slider(IDC_SLIDER_ALPHA)->value(), 7) << c.name;
    }
    Load(Path("absent.tvp"));
    EXPECT_EQ(ask.MessageTexts(), QStringList({kCannotOpen}));
    EXPECT_EQ(ask.Messages().back().details,
              "absent.tvp: ファイルまたはフォルダーが見つかりません");
}

TEST_F(Files, LoadingLeavesThePreviewForApply) {
    const QString bmp = Path("scan.bmp");
    bmptest::WriteFile(bmp.toStdString(), bmptest::EncodeBmp(bmptest::Gradient(20, 20)));
    ask.QueueFileName(bmp);
    Button(IDC_OPEN_IMAGE)->click();
    const QImage before = dialog->ImageArea->grab().toImage();
    WriteText(Path("p.tvp"),
              "BlackR=100\nBlackG=100\nBlackB=100\nWhiteR=200\nWhiteG=200\n"
              "WhiteB=200\nAlphaR=0\nAlphaG=0\nAlphaB=0\nGammaR=150\nGammaG=150\nGammaB=150\n");
    Load(Path("p.tvp"));
    EXPECT_EQ(dialog->ImageArea->grab().toImage(), before);
    Button(IDC_APPLY)->click();
    EXPECT_NE(dialog->ImageArea->grab().toImage(), before);
}

} // namespace

} // namespace file_handlers_test
