#pragma once
// Shared by the two programs that bench_startup starts: the moment a window
// has painted its first frame, told as nanoseconds since the time the
// starter put into TAVISORN_BENCH_T0 (steady clock), after which the program
// ends at once. It watches the application, since a window covered by
// opaque children may never paint itself, and takes the time in an event
// posted at the first paint with high priority: it arrives once the frame
// is painted and flushed, before any other work posted meanwhile.

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
        if (event->type() == QEvent::Paint && !posted_ && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() == window_) {
            posted_ = true;
            QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::HighEventPriority);
        }
        return QObject::eventFilter(watched, event);
    }

    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User) {
            const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                      std::chrono::steady_clock::now().time_since_epoch())
                                      .count();
            const char *t0 = std::getenv("TAVISORN_BENCH_T0");
            std::printf("%lld\n", now - (t0 ? std::atoll(t0) : now));
            std::fflush(stdout);
            std::_Exit(0);
        }
        return QObject::event(event);
    }

private:
    QWidget *window_;
    bool posted_ = false;
};
