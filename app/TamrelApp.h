// The application object: starts Qt, runs the main dialog modally as the only
// window, and ends the program when the dialog closes.
#pragma once

#include <memory>

class QApplication;

class CTamrelApp {
public:
    CTamrelApp();
    ~CTamrelApp();

    // Creates the Qt application for this command line, then InitInstance.
    int Run(int argc, char** argv);

    // Runs the main dialog; returns false, so no message loop follows it.
    bool InitInstance();

private:
    std::unique_ptr<QApplication> qtApp_;
};

extern CTamrelApp theApp;
