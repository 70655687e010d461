#include "DialogFixture.h"

#include "res/Templates.h"
#include "ui/AboutDlg.h"
#include "ui/CMyGraph.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStyle>
#include <QTest>

namespace layout_test {

namespace {

// True when `inner` lies wholly inside `outer` (a frame around its controls).
bool Contains(const QRect& outer, const QRect& inner) {
    return outer.contains(inner);
}

// Caption width the widget needs, against the width it has.
void ExpectCaptionFits(const QWidget* w, const QString& text) {
    const QFontMetrics metrics(w->font());
    int room = w->contentsRect().width();
    if (qobject_cast<const QPushButton*>(w)) {
        room -= 2 * w->style()->pixelMetric(QStyle::PM_ButtonMargin);
    }
    EXPECT_LE(metrics.horizontalAdvance(text), room) << text.toStdString();
    EXPECT_LE(metrics.height(), w->contentsRect().height()) << text.toStdString();
}

void ExpectNoOverlaps(const std::vector<QWidget*>& widgets) {
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        for (std::size_t j = i + 1; j < widgets.size(); ++j) {
            const QRect a = widgets[i]->geometry();
            const QRect b = widgets[j]->geometry();
            if (Contains(a, b) || Contains(b, a)) {
                continue; // a frame drawn around a group of controls
            }
            EXPECT_FALSE(a.intersects(b))
                << widgets[i]->objectName().toStdString() << " " << a.x() << "," << a.y() << " "
                << a.width() << "x" << a.height() << " overlaps "
                << widgets[j]->objectName().toStdString() << " " << b.x() << "," << b.y();
        }
    }
}

using Layout = DialogTest;

TEST_F(Layout, DialogFontIsTheProportionalJapaneseFallback) {
    EXPECT_EQ(QFontInfo(dialog->font()).family(), "IPAPGothic");
}

TEST_F(Layout, NoTwoControlsOverlapAndAllLieInsideTheDialog) {
    const auto& all = dialog->Controls().InTemplateOrder();
    ExpectNoOverlaps(all);
    for (const QWidget* w : all) {
        EXPECT_TRUE(dialog->rect().contains(w->geometry())) << w->objectName().toStdString();
    }
}

TEST_F(Layout, EveryCaptionAndTheLongestValuesFit) {
    for (const QWidget* w : dialog->Controls().InTemplateOrder()) {
        if (const auto* button = qobject_cast<const QPushButton*>(w)) {
            ExpectCaptionFits(button, button->text());
        } else if (const auto* label = qobject_cast<const QLabel*>(w);
                   label && !label->text().isEmpty()) {
            ExpectCaptionFits(label, label->text());
        }
    }
    const struct {
        int id;
        const char* widest;
    } values[] = {
        {IDC_VALUE_BLACK, " 10.0"}, {IDC_VALUE_WHITE, " 255"},     {IDC_VALUE_ALPHA, " 1.200"},
        {IDC_VALUE_GAMMA, " 2.50"}, {IDC_PIXEL_R, "R: 65535"},     {IDC_PIXEL_G, "G: 65535"},
        {IDC_PIXEL_B, "B: 65535"},  {IDC_FILM_MODE, "カラーネガ"}, {IDC_FILM_MODE, "白黒ネガ"}};
    for (const auto& v : values) {
        ExpectCaptionFits(dialog->Controls().Item(v.id), QString::fromUtf8(v.widest));
    }
}

TEST_F(Layout, AboutBoxCaptionsFit) {
    CAboutDlg about;
    std::vector<QWidget*> children;
    for (QWidget* w : about.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        children.push_back(w);
        if (const auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty()) {
            ExpectCaptionFits(label, label->text());
        }
    }
    ExpectNoOverlaps(children);
}

QAccessibleInterface* Accessible(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w);
}

using Accessibility = DialogTest;

TEST_F(Accessibility, SlidersCarryTheNamesOfTheirLabels) {
    const struct {
        int id;
        const char* name;
    } sliders[] = {{IDC_SLIDER_BLACK, "Black"},
                   {IDC_SLIDER_WHITE, "White"},
                   {IDC_SLIDER_ALPHA, "Alpha"},
                   {IDC_SLIDER_GAMMA, "Gamma"}};
    for (const auto& s : sliders) {
        QAccessibleInterface* a = Accessible(Slider(s.id));
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(QAccessible::Name), s.name);
        EXPECT_EQ(a->role(), QAccessible::Slider);
    }
}

TEST_F(Accessibility, EveryControlWithAnIdHasAName) {
    for (int id = IDC_GRAPH; id <= IDC_PIXEL_B; ++id) {
        QWidget* w = dialog->Controls().Item(id);
        if (!w) {
            continue;
        }
        EXPECT_FALSE(Accessible(w)->text(QAccessible::Name).isEmpty()) << id;
    }
    EXPECT_EQ(Accessible(Button(IDC_EXPORT_TABLES))->text(QAccessible::Name), "TVKファイル出力...");
    EXPECT_TRUE(Accessible(dialog->GraphArea)->text(QAccessible::Name).contains(u"トーンカーブ"));
    EXPECT_TRUE(Accessible(dialog->ImageArea)->text(QAccessible::Name).contains(u"画像"));
}

TEST_F(Accessibility, SlidersAndTabsCanBeOperated) {
    QAccessibleValueInterface* value = Accessible(Slider(IDC_SLIDER_BLACK))->valueInterface();
    ASSERT_NE(value, nullptr);
    value->setCurrentValue(37);
    EXPECT_EQ(LabelText(IDC_VALUE_BLACK), " 3.7");
    EXPECT_EQ(theChannelParams[kRed].BlackPos, 37);

    QAccessibleInterface* tabs = Accessible(Tabs());
    QAccessibleInterface* blue = nullptr;
    for (int i = 0; i < tabs->childCount(); ++i) {
        if (tabs->child(i)->text(QAccessible::Name) == "Blue") {
            blue = tabs->child(i);
        }
    }
    ASSERT_NE(blue, nullptr);
    blue->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(Tabs()->currentIndex(), kBlue);
    EXPECT_EQ(LabelText(IDC_VALUE_BLACK), " 0.0");
}

TEST_F(Accessibility, ButtonsPressThroughTheirAction) {
    ask.QueueAnswer(Answer::Cancel);
    Accessible(Button(IDC_RESET_PARAMS))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return !ask.Messages().empty(); }, 2000)); // animated click
    EXPECT_EQ(ask.MessageTexts(), QStringList({"全てのパラメータをリセットします。"}));
}

} // namespace

namespace {

TEST_F(Layout, TabOrderFollowsTheTemplate) {
    std::vector<QWidget*> expected;
    for (QWidget* w : dialog->Controls().InTemplateOrder()) {
        if (w->focusPolicy() & Qt::TabFocus) {
            expected.push_back(w);
        }
    }
    std::vector<QWidget*> chain;
    QWidget* w = expected.front();
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->parentWidget() == dialog.get()) {
            chain.push_back(w);
        }
        w = w->nextInFocusChain();
    } while (w != expected.front());
    EXPECT_EQ(chain, expected);
    EXPECT_EQ(expected.front(), Button(IDOK));
}

} // namespace

} // namespace layout_test
