// Program entry: the application with its top-level error handler, the main
// window on the real HID bus, and the message loop.  The first device scan
// runs once the loop is up.
#include "Modules/Main.h"
#include "device/HidrawPlatform.h"
#include "shell/Prompter.h"
#include "shell/ZembrikApplication.h"

using namespace zembrik;

int main(int argc, char **argv)
{
    TZembrikApplication app(argc, argv);
    QApplication::setApplicationDisplayName(kApplicationTitle);
    QGuiApplication::setDesktopFileName(QStringLiteral("midizembrik-setup"));

    TWidgetPrompter prompter;
    app.SetPrompter(&prompter);
    HidrawPlatform platform;
    TformMain formMain(&platform, prompter);
    prompter.SetParent(&formMain);
    formMain.show();
    const int rc = app.exec();
    app.SetPrompter(nullptr);
    return rc;
}
