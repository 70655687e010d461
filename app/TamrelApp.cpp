// Start-up: settings key, window icon, the modal run of the main dialog.
#include "app/TamrelApp.h"

#include "io/AtomicWrite.h"
#include "res/Version.h"
#include "ui/AppIcon.h"
#include "ui/TamrelDlg.h"

#include <QApplication>

CTamrelApp theApp;

CTamrelApp::CTamrelApp() = default;

CTamrelApp::~CTamrelApp() = default;

int CTamrelApp::Run(int argc, char** argv) {
    // Fixed pixel layouts (the 276-pixel plot, one image pixel per screen
    // pixel) are physical pixels: the program scales only by its font.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qtApp_ = std::make_unique<QApplication>(argc, argv);
    InitInstance();
    return 0;
}

bool CTamrelApp::InitInstance() {
    IgnoreFileSizeSignal(); // an over-long write fails as an error, not a signal
    QApplication::setApplicationName(QString::fromLatin1(kProductName));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kProductName));
    QApplication::setApplicationVersion(QString::fromLatin1(kFileVersion));
    QApplication::setOrganizationName(QString::fromLatin1(kCompanyName)); // the settings key
    QApplication::setDesktopFileName(QStringLiteral("tamrel"));
    QApplication::setWindowIcon(LoadAppIcon());
    {
        CTamrelDlg dialog;
        dialog.DoModal();
    }
    return false;
}
