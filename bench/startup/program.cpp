// Tavisorn's own start, as app/main.cpp does it, until the main menu first
// paints: all eight windows created, the settings read.

#include "app/program.h"
#include "app/ttoolmenu.h"
#include "files/savefile.h"
#include "firstpaint.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    IgnoreWriteSignals();
    QApplication app(argc, argv);
    std::unique_ptr<Program> program = CreateProgram();
    FirstPaint firstPaint(program->ToolMenu);
    program->ToolMenu->show();
    return app.exec();
}
