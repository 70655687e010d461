#include "app/TamrelApp.h"
#include "curve/ChannelParams.h"
#include "ui/TamrelDlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace tamrel_app_test {

namespace {

// Ends the next modal run with `finish` once the main dialog is up.
void WhenTheDialogIsUp(std::function<void(QDialog*)> finish) {
    QTimer::singleShot(0, [finish] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        finish(dialog);
    });
}

TEST(TamrelApp, InitInstanceRunsTheMainDialogAndReturnsFalseWhenItCloses) {
    const struct {
        const char* how;
        std::function<void(QDialog*)> finish;
    } ways[] = {
        {"close box", [](QDialog* d) { d->close(); }},
        {"Escape",
         [](QDialog* d) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(d, &escape);
         }},
        {"Close button", [](QDialog* d) { d->accept(); }},
    };
    for (const auto& way : ways) {
        QString title;
        WhenTheDialogIsUp([&title, &way](QDialog* d) {
            title = d->windowTitle();
            way.finish(d);
        });
        EXPECT_FALSE(theApp.InitInstance()) << way.how;
        EXPECT_EQ(title, "Tamrel") << way.how;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << way.how;
    }
}

TEST(TamrelApp, RegistersTheSettingsKeyAndVersion) {
    WhenTheDialogIsUp([](QDialog* d) { d->close(); });
    theApp.InitInstance();
    EXPECT_EQ(QApplication::organizationName(), "ruma-SELVO");
    EXPECT_EQ(QApplication::applicationVersion(), "1.0.1.2");
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_EQ(QApplication::windowIcon().availableSizes().size(), 5);
}

} // namespace

namespace {

// Qt's own buttons follow the program's language, not the user's locale.
TEST(TamrelApp, QuestionsOfferJapaneseButtonsWhateverTheLocale) {
    QStringList buttons;
    WhenTheDialogIsUp([&buttons](QDialog* d) {
        QTimer::singleShot(0, [&buttons, d] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                for (QAbstractButton* b : box->buttons()) {
                    buttons << b->text().remove(u'&');
                }
                box->reject();
            }
            d->close();
        });
        d->findChild<QPushButton*>(QStringLiteral("IDC_RESET_PARAMS"))->click();
    });
    theApp.InitInstance();
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({"OK", "キャンセル"}));
}

} // namespace

}  // namespace tamrel_app_test
