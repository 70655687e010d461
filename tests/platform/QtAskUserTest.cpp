#include "platform/QtAskUser.h"
#include "platform/ScriptedAskUser.h"

#include "tests/io/ScratchDir.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace qt_ask_user_test {

namespace {

TEST(NameFilters, ConvertPairsToQtFilters) {
    EXPECT_EQ(NameFiltersFromPairs("TVK Files (*.tvk)|*.tvk|All Files (*.*)|*.*||"),
              QStringList({"TVK Files (*.tvk)", "All Files (*.*)"}));
    EXPECT_EQ(NameFiltersFromPairs("Pictures|*.bmp;*.dib||"),
              QStringList({"Pictures (*.bmp *.dib)"}));
    EXPECT_TRUE(NameFiltersFromPairs("").isEmpty());
}

TEST(ScriptedAskUser, AnswersInOrderThenOkAndCancelsFileDialogs) {
    ScriptedAskUser ask;
    ask.QueueAnswer(Answer::Cancel);
    ask.QueueFileName("/tmp/x.tvk");
    ask.QueueCancel();
    EXPECT_EQ(ask.ShowMessage("first", MessageButtons::OkCancel, MessageIcon::Question),
              Answer::Cancel);
    EXPECT_EQ(ask.ShowMessage("second", MessageButtons::Ok, MessageIcon::Default), Answer::Ok);
    EXPECT_EQ(ask.AskFileName({}), std::optional<QString>("/tmp/x.tvk"));
    EXPECT_EQ(ask.AskFileName({}), std::nullopt);
    EXPECT_EQ(ask.AskFileName({}), std::nullopt);
    EXPECT_EQ(ask.MessageTexts(), QStringList({"first", "second"}));
    EXPECT_EQ(ask.FileDialogs().size(), 3u);
}

} // namespace

namespace {

// Answers the real file dialog that opens next with `name`, typed into its
// file name field, and records the folder it opened in.
void AnswerNextFileDialog(const QString& name, QString* openedIn) {
    QTimer::singleShot(0, [name, openedIn] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        *openedIn = dialog->directory().absolutePath();
        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(field, nullptr);
        field->setText(name);
        static_cast<QDialog*>(dialog)->accept(); // as the Open or Save button does
    });
}

TEST(QtAskUser, FileDialogsOpenInTheFolderOfTheLastPickWithinTheRun) {
    const ScratchDir first;
    const ScratchDir second;
    QWidget owner;
    QtAskUser ask(&owner);
    const FileDialogRequest save{
        FileDialogRequest::Mode::Save, "TVP Files (*.tvp)|*.tvp||", "tvp", false, {}};
    QString openedIn;
    AnswerNextFileDialog(QString::fromStdString((first / "a.tvp").string()), &openedIn);
    ASSERT_TRUE(ask.AskFileName(save).has_value());
    EXPECT_EQ(ask.LastFolder().toStdString(), first.Path().string());

    AnswerNextFileDialog(QString::fromStdString((second / "b.tvp").string()), &openedIn);
    ASSERT_TRUE(ask.AskFileName(save).has_value());
    EXPECT_EQ(openedIn.toStdString(), first.Path().string()) << "opened where the last pick was";

    WriteBytes(second / "c.bmp", "x");
    const FileDialogRequest open{
        FileDialogRequest::Mode::Open, "BMP Files (*.bmp)|*.bmp||", "bmp", false, {}};
    AnswerNextFileDialog(QStringLiteral("c.bmp"), &openedIn);
    const auto picked = ask.AskFileName(open);
    EXPECT_EQ(openedIn.toStdString(), second.Path().string()) << "open shares the save's folder";
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(picked->toStdString(), (second / "c.bmp").string());
}

// The real message box of an error, looked at while it is up: its second
// line, a device and SANE's reason, stands on one row, not broken at the
// width of the first line.
TEST(QtAskUser, AnErrorsSecondLineIsNotBrokenAcrossRows) {
    QWidget owner;
    QtAskUser ask(&owner);
    const QString details = QStringLiteral("test:0: 原稿が詰まりました（Document feeder jammed）");
    int rowsHeight = -1;
    int rowHeight = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
        ASSERT_NE(label, nullptr);
        rowsHeight = label->heightForWidth(label->width());
        constexpr int kUnbounded = 100000;
        rowHeight = label->heightForWidth(kUnbounded);
        box->accept();
    });
    ask.ShowMessage(QStringLiteral("スキャンできません。"), MessageButtons::Ok,
                    MessageIcon::Default, details);
    EXPECT_GT(rowHeight, 0);
    EXPECT_EQ(rowsHeight, rowHeight) << "one row, as the text stands unwrapped";
}

} // namespace

} // namespace qt_ask_user_test
