// Tavisorn's own start, as app/main.cpp does it, until the main menu has
// painted its first frame. The other windows are made after that frame, as
// in the program; the frame's moment is taken before them.

#include "app/program.h"
#include "app/ttoolmenu.h"
#include "files/savefile.h"
#include "firstpaint.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    IgnoreWriteSignals();
    QApplication app(argc, argv);
    std::unique_ptr<Program> program = StartProgram();
    FinishProgramOnceShown(*program);
    FirstPaint firstPaint(program->ToolMenu);
    program->ToolMenu->show();
    return app.exec();
}
