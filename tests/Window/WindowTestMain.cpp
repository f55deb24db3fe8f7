#include "WindowTesting.h"
#include "app/VorelleApp.h"

// Window tests never open a real window: the offscreen platform, whatever the caller's
// environment says, though it may give the platform a screen of its own. The program's
// own application object, so that its icon and locale are those the windows get in the
// program.
int main(int argc, char** argv) {
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QStringLiteral("offscreen:")))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CVorelleApp app(argc, argv);
    return WindowTesting_ns::Run(argc, argv);
}
