#include "app/tprogress.h"

#include "platform/fonts.h"
#include "platform/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QWindow>

TProgress::TProgress(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("進度"));
    setModal(false);
    // It only informs: the window at work keeps the activation (and with it
    // its shortcuts) while the progress window is painted during a save.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFont(MingFont(12));
    setFixedSize(327, 59);

    Text = new QLabel(QStringLiteral("..."), this);
    Text->move(16, 8);
    Text->adjustSize();

    PB = new QProgressBar(this);
    PB->setGeometry(16, 32, 297, 18);
    PB->setRange(0, 100);
    PB->setValue(10);
    PB->setTextVisible(false);
}

void TProgress::ShowProgress()
{
    if (!isVisible()) {
        // It belongs to the window at work and stays above it: without that
        // tie a window manager raises that window over it together with
        // the message box the work may open over it.
        QWidget *owner = QApplication::activeWindow();
        if (owner == this || !owner || !owner->isVisible())
            owner = nullptr;
        if (!windowHandle())
            create();
        windowHandle()->setTransientParent(owner ? owner->window()->windowHandle() : nullptr);
        CentreOnScreen(this);
    }
    show();
    raise();
}

void TProgress::SetProgressText(const QString &text)
{
    Text->setText(text);
    Text->adjustSize();
}

void TProgress::SetProgressPosition(int position)
{
    PB->setValue(qBound(0, position, 100));
}

void TProgress::ProcessPendingEvents()
{
    QCoreApplication::processEvents();
}

void TProgress::PaintNow()
{
    // A window just shown can be painted only once the window system has put
    // it on the screen; until then only that kind of event runs.
    QElapsedTimer waited;
    waited.start();
    while (isVisible() && !(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    if (isVisible())
        repaint();
}

void TProgress::CloseProgress()
{
    // Untied before it goes: hiding a window tied to another one would let
    // the activation go with it instead of staying where the work was.
    if (windowHandle())
        windowHandle()->setTransientParent(nullptr);
    hide();
}

void TProgress::closeEvent(QCloseEvent *event)
{
    // The window has no close box; the work that shows it closes it.
    event->ignore();
}

void TProgress::keyPressEvent(QKeyEvent *event)
{
    // Escape must not hide the window in the middle of a load.
    event->ignore();
}
