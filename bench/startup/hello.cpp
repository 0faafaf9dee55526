// The yardstick of bench_startup: the least Qt Widgets program, built with
// the same Qt, showing one window with a line of text.

#include "firstpaint.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel hello(QStringLiteral("Hello, world"));
    FirstPaint firstPaint(&hello);
    hello.show();
    return app.exec();
}
