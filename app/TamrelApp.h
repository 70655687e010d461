// The application object: starts Qt, runs the main dialog modally as the only
// window, and ends the program when the dialog closes.
#pragma once

class CTamrelApp {
public:
    CTamrelApp();
    ~CTamrelApp();

    // Keeps the command line for the Qt application, then InitInstance.
    int Run(int argc, char** argv);

    // Runs the main dialog; returns false, so no message loop follows it.
    // The Qt application lives inside this call: Qt must be gone before the
    // process's static objects are destroyed.
    bool InitInstance();

private:
    int argc_ = 0;
    char** argv_ = nullptr;
};

extern CTamrelApp theApp;
