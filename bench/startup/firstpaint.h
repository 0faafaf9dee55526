#pragma once
// Shared by the two programs that bench_startup starts: the moment a window
// (or any widget in it) first paints, told as nanoseconds since the time the
// starter put into TAVISORN_BENCH_T0 (steady clock), after which the program
// ends at once. Installed on the application, since a window covered by
// opaque children may never paint itself.

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>

class FirstPaint final : public QObject {
public:
    explicit FirstPaint(QWidget *window) : window_(window) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() == window_) {
            const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                      std::chrono::steady_clock::now().time_since_epoch())
                                      .count();
            const char *t0 = std::getenv("TAVISORN_BENCH_T0");
            std::printf("%lld\n", now - (t0 ? std::atoll(t0) : now));
            std::fflush(stdout);
            std::_Exit(0);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *window_;
};
