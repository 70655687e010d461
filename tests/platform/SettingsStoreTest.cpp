// The settings file: values survive into a new store on the same file, the
// user's file lies under $XDG_CONFIG_HOME, a file that cannot be reached or
// written costs one line on standard error and gives the defaults, and one
// that cannot be read is moved aside for a new one.
#include "platform/SettingsStore.h"
#include "platform/QtAskUser.h"
#include "tests/io/ScratchDir.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace settings_store_test {

namespace {

QString Path(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

long Lines(const std::string& text) {
    return std::count(text.begin(), text.end(), '\n');
}

TEST(SettingsStore, ValuesWrittenAreReadBackByTheNextRun) {
    const ScratchDir scratch;
    const QString file = Path(scratch / "folder" / "Tamrel.conf");
    {
        SettingsStore store(file);
        store.SetValue(QStringLiteral("devices/") + SettingsKeyPart(QStringLiteral("net:a/b:0")) +
                           QStringLiteral("/depth"),
                       16);
        store.SetValue(QStringLiteral("scan/lastDevice"), QStringLiteral("test:0"));
    }
    const SettingsStore next(file);
    EXPECT_TRUE(next.Usable());
    EXPECT_EQ(next.Value(QStringLiteral("scan/lastDevice")).toString(), QStringLiteral("test:0"));
    EXPECT_EQ(next.Value(QStringLiteral("devices/net%3Aa%2Fb%3A0/depth")).toInt(), 16);
    EXPECT_EQ(next.Value(QStringLiteral("missing"), 7).toInt(), 7);
}

TEST(SettingsStore, TheUsersFileLiesUnderXdgConfigHome) {
    const SettingsStore store(QStringLiteral("ruma-SELVO"), QStringLiteral("Tamrel"));
    EXPECT_EQ(store.File(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/ruma-SELVO/Tamrel.conf"));
}

TEST(SettingsStore, AFileThatCannotBeReadOrWrittenGivesDefaultsAndOneLine) {
    const ScratchDir scratch;
    std::filesystem::create_directories(scratch / "a-folder.conf");
    std::ofstream(scratch / "plain") << "x";
    const struct {
        const char* name;
        std::filesystem::path file;
    } cases[] = {
        {"a folder where the file should be", scratch / "a-folder.conf"},
        {"a folder that cannot be made", scratch / "plain" / "Tamrel.conf"},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        SettingsStore store(Path(c.file));
        store.SetValue(QStringLiteral("scan/lastDevice"), QStringLiteral("test:0"));
        store.SetValue(QStringLiteral("scan/other"), 1);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(store.Usable()) << c.name;
        EXPECT_EQ(Lines(said), 1) << c.name << ": " << said;
        EXPECT_NE(said.find(c.file.string()), std::string::npos) << c.name;
        EXPECT_EQ(store.Value(QStringLiteral("scan/lastDevice"), QStringLiteral("none")).toString(),
                  QStringLiteral("none"))
            << c.name;
    }
}

// A section header without its bracket is a format error to QSettings: the
// file goes aside whole (none of its values is used, and it is kept as it
// was), and the run's own choices go to a new file that the next run reads.
TEST(SettingsStore, AGarbledFileIsMovedAsideWithOneLineAndTheRunsChoicesAreKept) {
    const ScratchDir scratch;
    std::string garbage = "[scan]\nlastDevice=test:0\n[scan\n\xff\xfe=\x01\x02\n";
    garbage.append(64, '\0');
    std::ofstream(scratch / "Tamrel.conf", std::ios::binary) << garbage;
    testing::internal::CaptureStderr();
    {
        SettingsStore store(Path(scratch / "Tamrel.conf"));
        EXPECT_TRUE(store.Usable());
        EXPECT_EQ(store.MovedAside(), Path(scratch / "Tamrel.conf.bad"));
        EXPECT_EQ(store.Value(QStringLiteral("scan/lastDevice"), QStringLiteral("none")).toString(),
                  QStringLiteral("none"));
        store.SetValue(QStringLiteral("scan/lastDevice"), QStringLiteral("other:1"));
    }
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Lines(said), 1) << said;
    EXPECT_NE(said.find("Tamrel.conf.bad"), std::string::npos) << said;
    EXPECT_EQ(ReadBytes(scratch / "Tamrel.conf.bad"), garbage);
    const SettingsStore next(Path(scratch / "Tamrel.conf"));
    EXPECT_TRUE(next.MovedAside().isEmpty());
    EXPECT_EQ(next.Value(QStringLiteral("scan/lastDevice")).toString(), QStringLiteral("other:1"));
}

// Answers the real file dialog that opens next with `name`, and records the
// folder it opened in.
void AnswerNextFileDialog(const QString& name, QString* openedIn) {
    QTimer::singleShot(0, [name, openedIn] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        *openedIn = dialog->directory().absolutePath();
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
        static_cast<QDialog*>(dialog)->accept();
    });
}

TEST(SettingsStore, EachFileDialogOpensInItsOwnFolderOfTheLastRun) {
    const ScratchDir scratch;
    const ScratchDir params;
    const ScratchDir images;
    std::ofstream(images / "a.bmp") << "x";
    const QString file = Path(scratch / "Tamrel.conf");
    FileDialogRequest save{FileDialogRequest::Mode::Save, "TVP Files (*.tvp)|*.tvp||", "tvp", false,
                           QStringLiteral("params")};
    FileDialogRequest open{FileDialogRequest::Mode::Open, "BMP Files (*.bmp)|*.bmp||", "bmp", false,
                           QStringLiteral("image")};
    QString openedIn;
    {
        SettingsStore settings(file);
        QWidget owner;
        QtAskUser ask(&owner, &settings);
        AnswerNextFileDialog(Path(params / "p.tvp"), &openedIn);
        ASSERT_TRUE(ask.AskFileName(save));
        AnswerNextFileDialog(Path(images / "a.bmp"), &openedIn);
        ASSERT_TRUE(ask.AskFileName(open));
    }
    SettingsStore settings(file);
    QWidget owner;
    QtAskUser ask(&owner, &settings);
    AnswerNextFileDialog(QStringLiteral("q.tvp"), &openedIn);
    ASSERT_TRUE(ask.AskFileName(save));
    EXPECT_EQ(openedIn.toStdString(), params.Path().string());
    AnswerNextFileDialog(QStringLiteral("a.bmp"), &openedIn);
    ASSERT_TRUE(ask.AskFileName(open));
    EXPECT_EQ(openedIn.toStdString(), images.Path().string());
}

} // namespace

} // namespace settings_store_test
