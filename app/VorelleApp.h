#pragma once

#include "platform/widgets/WidgetPrompt.h"

#include <QApplication>

// The program: prepares the process, runs the start dialog and the main window in turn
// until the user neither logs in nor switches user, then shuts down in a fixed order.
class CVorelleApp : public QApplication {
    Q_OBJECT

public:
    CVorelleApp(int& argc, char** argv);
    ~CVorelleApp() override;

    // The whole run of the user interface; errors that escape it are shown over the desktop.
    bool InitInstance();
    // Closes the settings, writes the saved links back and releases the database; returns
    // the exit code.
    int ExitInstance();

private:
    // One start dialog per pass, and a main window after each login, until the main
    // window is left other than by switching user.
    void RunPasses();

    // Message boxes and file choosers of the whole program.
    Platform_ns::WidgetPrompt_cl prompt;
};
