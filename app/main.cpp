#include "app/program.h"
#include "app/ttoolmenu.h"
#include "files/savefile.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    IgnoreWriteSignals();
    QApplication app(argc, argv);
    std::unique_ptr<Program> program = StartProgram();
    FinishProgramOnceShown(*program);
    program->ToolMenu->show();
    return app.exec();
}
