#include "platform/windowactivation.h"

#include <QApplication>
#include <QEvent>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

// Menus, lists of drop-down boxes and hints come and go over a window
// without taking it over.
bool isTransient(const QWidget *w)
{
    const Qt::WindowType type = w->windowType();
    return type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen;
}

class ActivationKeeper final : public QObject {
public:
    QList<QPointer<QWidget>> recent; // most recent last

    void touch(QWidget *w)
    {
        recent.removeAll(w);
        recent.removeAll(nullptr);
        recent.append(w);
    }

    // The last window shown or activated before closing that is still on
    // the screen.
    QWidget *returnTo(const QWidget *closing) const
    {
        for (qsizetype i = recent.size() - 1; i >= 0; --i) {
            QWidget *w = recent.at(i);
            if (w && w != closing && w->isVisible() && !w->isMinimized())
                return w;
        }
        return nullptr;
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!watched->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(watched);
        if (!w->isWindow() || isTransient(w))
            return false;
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::WindowActivate:
            touch(w);
            break;
        case QEvent::Hide: {
            QWidget *active = QApplication::activeWindow();
            if (active && active != w)
                break;
            QPointer<QWidget> target = returnTo(w);
            if (!target)
                break;
            // Once the closing window is fully gone; a window hidden only to
            // be shown again with another frame is not gone.
            QTimer::singleShot(0, target, [target, closing = QPointer<QWidget>(w)] {
                if (closing && closing->isVisible())
                    return;
                if (!target || !target->isVisible() || QApplication::activeWindow() == target)
                    return;
                if (QApplication::activeModalWidget() && QApplication::activeModalWidget() != target)
                    return;
                target->raise();
                target->activateWindow();
            });
            break;
        }
        default:
            break;
        }
        return false;
    }
};

ActivationKeeper *keeper()
{
    static ActivationKeeper *k = [] {
        auto *created = new ActivationKeeper;
        created->setParent(qApp);
        qApp->installEventFilter(created);
        return created;
    }();
    return k;
}

} // namespace

void KeepReturnedWindowsActive()
{
    keeper();
}

