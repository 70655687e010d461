// The About box: the icon, the name and version, the copyright line and OK.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* owner = nullptr);
    ~CAboutDlg() override;

    // Runs the box modally over its owner; the owner is disabled meanwhile.
    int DoModal();
};
