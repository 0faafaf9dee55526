// tavisorn-preview: the pictures of a resource script's dialogs and menus,
// started by `tavisorn-cli preview`. It shows no window, so it paints
// offscreen unless told to use another platform.

#include "convert/previewcommand.h"
#include "platform/fonts.h"

#include <QGuiApplication>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    InstallFontSubstitutions();
    return RunPreviewCommand(std::vector<std::string>(argv + 1, argv + argc));
}
