#include "WindowTesting.h"
#include "app/VorelleApp.h"

// Window tests never open a real window: the offscreen platform, whatever the caller's
// environment says. The program's own application object, so that its icon and locale
// are those the windows get in the program.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    CVorelleApp app(argc, argv);
    return WindowTesting_ns::Run(argc, argv);
}
