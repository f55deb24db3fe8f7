#include "VorelleApp.h"

int main(int argc, char** argv) {
    CVorelleApp app(argc, argv);
    app.InitInstance();
    return app.ExitInstance();
}
