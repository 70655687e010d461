// Works the running program from a script of steps given in an environment
// variable, so that tests can start the real executable as its own process
// (on the offscreen platform too), drive it as a user would and see how it
// ends. Without the variable nothing happens.
//
// Steps are separated by ';', each run on its own turn of the event loop
// after the previous one, against whatever window is active then (a popup
// menu, a message box, a file dialog, or the main dialog):
//   key SEQUENCE    press and release keys, e.g. "key Escape", "key Ctrl+Tab"
//   type TEXT       type text into the focused control
//   click NAME      click the control with that object name (e.g. IDOK)
//   move [NAME] X Y move the pointer to (X, Y) of the active window or of a control
//   drag NAME X1 Y1 X2 Y2 [KEYS]  press the left button at (X1, Y1) of a control,
//                   move to (X2, Y2) in steps and let go there, holding KEYS
//                   (e.g. Ctrl, Shift+Alt) throughout; NAME may be the active
//                   window's own, the points then in the window and the drag
//                   given to the control under the first
//   dclick NAME X Y double-click at (X, Y) of a control
//   wheel NAME X Y N [KEYS]  turn the wheel N notches (negative: towards the
//                   user) at (X, Y) of a control, holding KEYS (e.g. Ctrl)
//   print NAME      write "NAME=text" of a label, button or combo box (its
//                   current entry) to standard output; "title" is the
//                   window's title, and a message box's name the texts of
//                   every open box of that name, joined by " | "
//   spoken NAME     write "NAME:spoken=name" of the active window or a
//                   control in it: the name assistive technology is told
//   close           close the active window as its close box does
//   grab FILE       save a picture of the active window (device pixels)
//   wait MS         let the program run on for a while
//   gap MS          the time between the steps that follow (50 ms at first)
//   await NAME MS   go on once the active window is NAME (by object name or
//                   class: QMenu for a menu) or holds a visible control NAME (a
//                   dialog that has opened), or after MS at the latest
//   gone NAME MS    go on once no window or control NAME is visible (a scan's
//                   progress that has closed), or after MS at the latest
//   usage           write "usage rss_kb=N fds=N threads=N peak_kb=N": the
//                   program's resident memory, open descriptors, threads and
//                   the most memory it has held
//   hold NAME MS    go on after MS, saying on standard error if meanwhile the
//                   active window was ever another than NAME (a dialog that
//                   must keep the focus, such as a batch's progress)
// A wait that runs out says so on standard error and the steps go on.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <functional>

inline constexpr const char* kAutomationVariable = "TAMREL_AUTOMATION";

class Automation : public QObject {
public:
    explicit Automation(const QByteArray& script);

private:
    void RunNext();
    bool WaitStep(const QString& step);
    void PollUntil(std::function<bool()> done, const QString& step, int leftMs);
    void Hold(const QString& name, const QString& step, int leftMs, bool lost);
    void Run(const QString& step);

    QStringList steps_;
    int gapMs_;
};
