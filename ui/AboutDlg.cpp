// The About box, built from its template; OK closes it.
#include "ui/AboutDlg.h"

#include "platform/DialogBuilder.h"
#include "res/Resource.h"
#include "res/Templates.h"

#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const BuiltDialog built = BuildDialog(*this, kAboutDialogTemplate);
    if (auto* ok = built.controls.ItemAs<QPushButton>(IDOK)) {
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        ok->setFocus();
    }
}

CAboutDlg::~CAboutDlg() = default;

int CAboutDlg::DoModal() {
    return exec();
}
