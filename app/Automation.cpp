// The scripted steps: each is delivered as the events a user's action makes.
#include "app/Automation.h"

#include "app/ProcessUsage.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>

namespace {

// Time between steps by default, so that a step's effects (a menu or box
// opening) are on screen before the next one looks for them.
constexpr int kStepGapMs = 50;
// How often a waiting step looks again.
constexpr int kPollMs = 10;

// The window the steps worked last that was not a note.
QPointer<QWidget> theLastWorked;

QWidget* ActiveWindow() {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        return popup;
    }
    // A note shown without taking the activation (the settings note, the
    // film's note) never takes the steps, though the offscreen platform
    // activates it: the window active before it keeps them.
    QWidget* active = QApplication::activeWindow();
    if (active != nullptr && active->testAttribute(Qt::WA_ShowWithoutActivating)) {
        active = theLastWorked && theLastWorked->isVisible() ? theLastWorked.data() : nullptr;
    } else {
        theLastWorked = active;
    }
    // A window the modal one opened without modality of its own (the roll
    // dialog beside the main window) is worked while it is active.
    QWidget* modal = QApplication::activeModalWidget();
    const bool beside = active != nullptr && active->parentWidget() == modal;
    return modal != nullptr && !beside ? modal : active;
}

QWidget* KeyTarget() {
    QWidget* window = ActiveWindow();
    if (!window) {
        return nullptr;
    }
    QWidget* focus = window->focusWidget();
    return focus && focus->window() == window ? focus : window;
}

void SendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// The text a printable key types, which menus match against their mnemonics.
QString TextOf(QKeyCombination combination) {
    const int key = combination.key();
    const auto modifiers = combination.keyboardModifiers();
    if (key < Qt::Key_Space || key > Qt::Key_AsciiTilde ||
        (modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
        return {};
    }
    const QString text{QChar(key)};
    return (modifiers & Qt::ShiftModifier) ? text : text.toLower();
}

void PressKeys(const QString& sequence) {
    const QKeySequence keys = QKeySequence::fromString(sequence);
    for (int i = 0; i < keys.count(); ++i) {
        QWidget* target = KeyTarget();
        if (!target) {
            return;
        }
        const QKeyCombination combination = keys[i];
        SendKey(target, combination.key(), combination.keyboardModifiers(), TextOf(combination));
    }
}

void TypeText(const QString& text) {
    for (const QChar c : text) {
        if (QWidget* target = KeyTarget()) {
            SendKey(target, 0, Qt::NoModifier, QString(c));
        }
    }
}

void Click(const QString& name) {
    QWidget* window = ActiveWindow();
    auto* control = window ? window->findChild<QWidget*>(name) : nullptr;
    if (!control) {
        std::fprintf(stderr, "automation: no control %s\n", qPrintable(name));
        return;
    }
    const QPointF centre = QRectF(control->rect()).center();
    const QPointF global = control->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(control, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(control, &release);
}

// The pointer moved to (x, y) of the active window, or of the named control
// in it, as a user's hand does.
void MovePointer(const QString& where) {
    QWidget* window = ActiveWindow();
    if (!window) {
        return;
    }
    QStringList words = where.split(u' ', Qt::SkipEmptyParts);
    QPointF at;
    if (words.size() == 3) {
        auto* control = window->findChild<QWidget*>(words.takeFirst());
        at = control ? QPointF(control->mapTo(window, QPoint(0, 0))) : QPointF();
    }
    at += QPointF(words.value(0).toDouble(), words.value(1).toDouble());
    QWidget* target = window->childAt(at.toPoint());
    target = target && !target->testAttribute(Qt::WA_TransparentForMouseEvents) ? target : window;
    const QPointF local = target->mapFrom(window, at);
    QMouseEvent move(QEvent::MouseMove, local, window->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

void SendMouse(QWidget* control, QEvent::Type type, QPointF at, Qt::MouseButton button,
               Qt::MouseButtons held, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QMouseEvent event(type, at, control->mapToGlobal(at), button, held, keys);
    QApplication::sendEvent(control, &event);
}

// "Ctrl", "Shift+Alt": the keys held during a drag.
Qt::KeyboardModifiers HeldKeys(const QString& names) {
    Qt::KeyboardModifiers keys;
    for (const QString& name : names.split(u'+', Qt::SkipEmptyParts)) {
        keys |= name == u"Ctrl"    ? Qt::ControlModifier
                : name == u"Shift" ? Qt::ShiftModifier
                : name == u"Alt"   ? Qt::AltModifier
                                   : Qt::NoModifier;
    }
    return keys;
}

QWidget* NamedControl(const QString& name) {
    QWidget* window = ActiveWindow();
    auto* control = !window                        ? nullptr
                    : window->objectName() == name ? window
                                                   : window->findChild<QWidget*>(name);
    if (!control) {
        std::fprintf(stderr, "automation: no control %s\n", qPrintable(name));
    }
    return control;
}

// A drag with the left button as a hand makes it: press, moves along the
// way, release at the end.
void DragPointer(const QString& where) {
    constexpr int kDragSteps = 8;
    const QStringList words = where.split(u' ', Qt::SkipEmptyParts);
    QWidget* control = words.size() == 5 || words.size() == 6 ? NamedControl(words[0]) : nullptr;
    if (!control) {
        return;
    }
    QPointF from(words[1].toDouble(), words[2].toDouble());
    QPointF to(words[3].toDouble(), words[4].toDouble());
    if (control->isWindow()) {
        QWidget* under = control->childAt(from.toPoint());
        if (!under) {
            return;
        }
        from = under->mapFrom(control, from);
        to = under->mapFrom(control, to);
        control = under;
    }
    const Qt::KeyboardModifiers keys = HeldKeys(words.value(5));
    SendMouse(control, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, keys);
    for (int step = 1; step <= kDragSteps; ++step) {
        const QPointF at = from + (to - from) * step / kDragSteps;
        SendMouse(control, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton, keys);
    }
    SendMouse(control, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, keys);
}

// Wheel notches (120 eighths of a degree each, negative towards the user) at
// (X, Y) of a control, holding KEYS, delivered where the pointer would: to
// the control, or to its window where the control lets the mouse through.
void TurnWheel(const QString& where) {
    constexpr int kEighthsPerNotch = 120;
    const QStringList words = where.split(u' ', Qt::SkipEmptyParts);
    QWidget* control = words.size() >= 4 ? NamedControl(words[0]) : nullptr;
    if (!control) {
        return;
    }
    QWidget* window = control->window();
    const QPointF inWindow = QPointF(control->mapTo(window, QPoint(0, 0))) +
                             QPointF(words[1].toDouble(), words[2].toDouble());
    QWidget* target = window->childAt(inWindow.toPoint());
    target = target && !target->testAttribute(Qt::WA_TransparentForMouseEvents) ? target : window;
    const QPointF at = target->mapFrom(window, inWindow);
    const QPoint delta(0, words[3].toInt() * kEighthsPerNotch);
    QWheelEvent wheel(at, window->mapToGlobal(inWindow), QPoint(), delta, Qt::NoButton,
                      HeldKeys(words.value(4)), Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

void DoubleClick(const QString& where) {
    const QStringList words = where.split(u' ', Qt::SkipEmptyParts);
    QWidget* control = words.size() == 3 ? NamedControl(words[0]) : nullptr;
    if (!control) {
        return;
    }
    const QPointF at(words[1].toDouble(), words[2].toDouble());
    SendMouse(control, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(control, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    SendMouse(control, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(control, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

// Writes "NAME=text" of a label, button or combo box to standard output.
// The texts of the message boxes named `name` beside `window` (notes that
// stay open while the user goes on), one per line's worth, joined by " | ".
QString NoteTexts(const QWidget* window, const QString& name) {
    QStringList texts;
    for (const QMessageBox* box : window->findChildren<QMessageBox*>(name)) {
        texts << box->text();
    }
    return texts.join(QStringLiteral(" | "));
}

// "title" is the active window's title; a message box's name gives the
// texts of every box of that name (NoteTexts).
void PrintText(const QString& name) {
    QWidget* window = ActiveWindow();
    QWidget* control = window ? window->findChild<QWidget*>(name) : nullptr;
    QString text;
    if (window && name == u"title") {
        text = window->windowTitle();
    } else if (qobject_cast<QMessageBox*>(control)) {
        text = NoteTexts(window, name);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        text = label->text();
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        text = button->text();
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        text = combo->currentText();
    }
    std::printf("%s=%s\n", qPrintable(name), text.toUtf8().constData());
    std::fflush(stdout);
}

// Writes "NAME:spoken=name": what assistive technology is told the active
// window, or a control in it, is called.
void PrintSpokenName(const QString& name) {
    QWidget* control = NamedControl(name);
    QAccessibleInterface* spoken =
        control ? QAccessible::queryAccessibleInterface(control) : nullptr;
    const QString text = spoken ? spoken->text(QAccessible::Name) : QString();
    std::printf("%s:spoken=%s\n", qPrintable(name), text.toUtf8().constData());
    std::fflush(stdout);
}

bool IsShown(const QWidget* widget) {
    return widget && widget->isVisible();
}

// The active window is NAME (its object name, or its class such as QMenu),
// or holds a visible control NAME.
bool ActiveHolds(const QString& name) {
    QWidget* window = ActiveWindow();
    if (!IsShown(window)) {
        return false;
    }
    return window->objectName() == name || window->inherits(qPrintable(name)) ||
           IsShown(window->findChild<QWidget*>(name));
}

// Some window is NAME, or holds a visible control NAME.
bool AnyShows(const QString& name) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (IsShown(window) &&
            (window->objectName() == name || IsShown(window->findChild<QWidget*>(name)))) {
            return true;
        }
    }
    return false;
}

void PrintUsage() {
    std::printf("usage %s\n", UsageLine(ReadProcessUsage()).c_str());
    std::fflush(stdout);
}

void CloseActiveWindow() {
    if (QWidget* window = ActiveWindow()) {
        window->windowHandle()->close(); // what the window manager's close box asks
    }
}

void Grab(const QString& file) {
    if (QWidget* window = ActiveWindow()) {
        window->grab().save(file);
    }
}

} // namespace

Automation::Automation(const QByteArray& script) : gapMs_(kStepGapMs) {
    for (const QString& step : QString::fromUtf8(script).split(u';', Qt::SkipEmptyParts)) {
        if (!step.trimmed().isEmpty()) {
            steps_.append(step.trimmed());
        }
    }
    if (!steps_.isEmpty()) {
        QTimer::singleShot(kStepGapMs, this, [this] { RunNext(); });
    }
}

void Automation::RunNext() {
    if (steps_.isEmpty()) {
        return;
    }
    const QString step = steps_.takeFirst();
    if (WaitStep(step)) {
        return;
    }
    // Later steps continue even while this one runs a nested loop (a menu or
    // a message box opened by a key), as a user's next action would. A move
    // or a print is done once its call returns: the next step follows on the
    // next turn of the loop, so a test may read a whole image point by point.
    const bool settled =
        step.startsWith(u"move ") || step.startsWith(u"print ") || step.startsWith(u"wheel ");
    QTimer::singleShot(settled ? 0 : gapMs_, this, [this] { RunNext(); });
    Run(step);
}

// The steps that hold back the next one; true when STEP is one of them.
bool Automation::WaitStep(const QString& step) {
    const QString verb = step.section(u' ', 0, 0);
    if (verb == u"wait") {
        QTimer::singleShot(step.section(u' ', 1).toInt(), this, [this] { RunNext(); });
        return true;
    }
    if (verb == u"gap") {
        gapMs_ = std::max(0, step.section(u' ', 1).toInt());
        RunNext();
        return true;
    }
    const QString name = step.section(u' ', 1, 1);
    const int limitMs = step.section(u' ', 2, 2).toInt();
    if (verb == u"await") {
        PollUntil([name] { return ActiveHolds(name); }, step, limitMs);
        return true;
    }
    if (verb == u"gone") {
        PollUntil([name] { return !AnyShows(name); }, step, limitMs);
        return true;
    }
    if (verb == u"hold") {
        Hold(name, step, limitMs, false);
        return true;
    }
    return false;
}

void Automation::PollUntil(std::function<bool()> done, const QString& step, int leftMs) {
    if (done()) {
        QTimer::singleShot(gapMs_, this, [this] { RunNext(); });
        return;
    }
    if (leftMs <= 0) {
        std::fprintf(stderr, "automation: ran out of time: %s\n", qPrintable(step));
        RunNext();
        return;
    }
    QTimer::singleShot(kPollMs, this, [this, done = std::move(done), step, leftMs]() mutable {
        PollUntil(std::move(done), step, leftMs - kPollMs);
    });
}

// Looks at the active window as often as a waiting step does, and says so
// once when it is not NAME.
void Automation::Hold(const QString& name, const QString& step, int leftMs, bool lost) {
    if (!lost && !ActiveHolds(name)) {
        std::fprintf(stderr, "automation: %s lost the focus: %s\n", qPrintable(name),
                     qPrintable(step));
        lost = true;
    }
    if (leftMs <= 0) {
        RunNext();
        return;
    }
    QTimer::singleShot(kPollMs, this, [this, name, step, leftMs, lost] {
        Hold(name, step, leftMs - kPollMs, lost);
    });
}

void Automation::Run(const QString& step) {
    const QString verb = step.section(u' ', 0, 0);
    const QString rest = step.section(u' ', 1);
    if (verb == u"key") {
        PressKeys(rest);
    } else if (verb == u"type") {
        TypeText(rest);
    } else if (verb == u"click") {
        Click(rest);
    } else if (verb == u"move") {
        MovePointer(rest);
    } else if (verb == u"drag") {
        DragPointer(rest);
    } else if (verb == u"wheel") {
        TurnWheel(rest);
    } else if (verb == u"dclick") {
        DoubleClick(rest);
    } else if (verb == u"print") {
        PrintText(rest);
    } else if (verb == u"spoken") {
        PrintSpokenName(rest);
    } else if (verb == u"close") {
        CloseActiveWindow();
    } else if (verb == u"grab") {
        Grab(rest);
    } else if (verb == u"usage") {
        PrintUsage();
    } else {
        std::fprintf(stderr, "automation: unknown step %s\n", qPrintable(step));
    }
}
