// Start-up: Qt's own texts in Japanese, settings key, window icon, the modal
// run of the main dialog.
#include "app/TamrelApp.h"

#include "app/Automation.h"
#include "image/rows/PixelMemory.h"
#include "io/AtomicWrite.h"
#include "res/Version.h"
#include "ui/AppIcon.h"
#include "ui/TamrelDlg.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <optional>

CTamrelApp theApp;

namespace {

// The program speaks Japanese whatever the user's locale, so Qt's own
// dialogs (file dialogs, message-box buttons) must too.
void InstallJapaneseQtTexts(QTranslator& translator) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator.load(QStringLiteral("qtbase_ja"), folder)) {
        QCoreApplication::installTranslator(&translator);
    }
}

} // namespace

CTamrelApp::CTamrelApp() = default;

CTamrelApp::~CTamrelApp() = default;

int CTamrelApp::Run(int argc, char** argv) {
    argc_ = argc;
    argv_ = argv;
    InitInstance();
    return 0;
}

bool CTamrelApp::InitInstance() {
    IgnoreFileSizeSignal(); // an over-long write fails as an error, not a signal
    KeepFreedMemory();
    // Without a scale factor, sizes are physical pixels and the program
    // scales only by its font; a desktop's QT_SCALE_FACTOR is honoured.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    std::optional<QApplication> ownApp; // none when a test brought its own
    if (!QCoreApplication::instance()) {
        ownApp.emplace(argc_, argv_);
    }
    QTranslator qtTexts;
    InstallJapaneseQtTexts(qtTexts);
    QApplication::setApplicationName(QString::fromLatin1(kProductName));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kProductName));
    QApplication::setApplicationVersion(QString::fromLatin1(kFileVersion));
    QApplication::setOrganizationName(QString::fromLatin1(kCompanyName)); // the settings key
    QApplication::setDesktopFileName(QStringLiteral("tamrel"));
    QApplication::setWindowIcon(LoadAppIcon());
    {
        CTamrelDlg dialog;
        Automation automation(qgetenv(kAutomationVariable));
        dialog.DoModal();
    }
    QCoreApplication::removeTranslator(&qtTexts);
    return false;
}
