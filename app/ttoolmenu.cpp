#include "app/ttoolmenu.h"

#include "convert/runner.h"
#include "document/document.h"
#include "platform/fonts.h"
#include "platform/messages.h"
#include "platform/windowplacement.h"
#include "settings/settings.h"
#include "widgets/artwork.h"
#include "widgets/twiatile.h"

#include <QCoreApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

void ShowWindow(QWidget *window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

TToolMenu::TToolMenu(DictionaryDocument &document, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), Document(document)
{
    // Not QApplication::quit(): that closes every window first and gives up
    // when one refuses, such as the progress window during a load.
    EndProgram = [] { QCoreApplication::exit(0); };

    setWindowTitle(QStringLiteral("Tavisorn v2.0 選單"));
    setWindowIcon(QIcon(Artwork::AppIcon()));
    setFixedSize(348, 233);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    wiaTile1 = new TwiaTile(this);
    wiaTile1->setImage(Artwork::BackgroundTile(Artwork::Background::MainMenu).toImage());
    wiaTile1->setTileMode(tmNormal);
    wiaTile1->setGeometry(0, 0, 348, 232);

    Image13 = new QLabel(this);
    Image13->setGeometry(0, 0, 348, 35);
    Image13->setPixmap(Artwork::MenuTitle());
    Image13->installEventFilter(this);

    // One-pixel frame lines along the left, right and bottom edges: a dark
    // outer line and a light inner one on the sides, a dark line at the bottom.
    auto line = [this](int x, int y, int w, int h, QColor colour) {
        auto *l = new QWidget(this);
        l->setGeometry(x, y, w, h);
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, colour);
        l->setPalette(p);
        return l;
    };
    const QColor dark(86, 98, 124), light(255, 255, 255);
    Image14 = line(0, 35, 1, 198, dark);
    Image15 = line(1, 35, 1, 197, light);
    Image16 = line(347, 35, 1, 198, dark);
    Image17 = line(346, 35, 1, 197, light);
    Image18 = line(0, 232, 348, 1, dark);

    // Each button is its picture and the caption under it: the whole of it
    // answers a click, lights up under the pointer and shows the focus, and
    // Enter presses the one with the focus as Space does.
    const QFont buttonFont = MingFont(16);
    QLabel **icons[] = {&Image5, &Image6, &Image7, &Image10, &Image11, &Image12};
    const int captionTop[] = {104, 200};
    const int buttonLeft[] = {16, 128, 240};
    auto button = [&](int i, const QString &caption) {
        const QPixmap icon = Artwork::MenuIcon(i);
        const int pictureHeight = icon.height() + 6;
        auto *b = new QPushButton(caption, this);
        b->setGeometry(buttonLeft[i % 3], captionTop[i / 3] - pictureHeight, 89, pictureHeight + 22);
        b->setFont(buttonFont);
        b->setFlat(true);
        b->installEventFilter(this); // Enter and Return
        b->setCursor(Qt::PointingHandCursor);
        b->setStyleSheet(QStringLiteral(
            "QPushButton { border: 1px solid transparent; border-radius: 3px; background: transparent;"
            " padding-top: %1px; outline: none; }"
            "QPushButton:hover { border-color: #8a8fa8; background: rgba(255,255,255,160); }"
            "QPushButton:focus { border: 1px dotted #56627c; }"
            "QPushButton:pressed { background: rgba(200,205,230,200); }").arg(pictureHeight));
        auto *picture = new QLabel(b);
        picture->setPixmap(icon);
        picture->setGeometry((89 - icon.width()) / 2, 0, icon.width(), icon.height());
        picture->setAttribute(Qt::WA_TransparentForMouseEvents);
        *icons[i] = picture;
        return b;
    };
    SpeedButton1 = button(0, QStringLiteral("製作字典檔"));
    SpeedButton2 = button(1, QStringLiteral("字典檔維護"));
    SpeedButton3 = button(2, QStringLiteral("翻譯新版本"));
    SpeedButton4 = button(3, QStringLiteral("設定"));
    SpeedButton5 = button(4, QStringLiteral("關於"));
    SpeedButton6 = button(5, QStringLiteral("離開"));
    connect(SpeedButton1, &QPushButton::clicked, this, &TToolMenu::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TToolMenu::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TToolMenu::SpeedButton3Click);
    connect(SpeedButton4, &QPushButton::clicked, this, &TToolMenu::SpeedButton4Click);
    connect(SpeedButton5, &QPushButton::clicked, this, &TToolMenu::SpeedButton5Click);
    connect(SpeedButton6, &QPushButton::clicked, this, &TToolMenu::SpeedButton6Click);

    CentreOnScreen(this);
}

bool TToolMenu::perlPathSet()
{
    if (!RegDat.PerlPath.isEmpty())
        return true;
    messageBoxes().message(this, QStringLiteral("未設定Perl路徑。請先到按[設定]按鈕，設定Perl軟件路徑。"),
                           QStringLiteral("Perl路徑錯誤"));
    return false;
}

void TToolMenu::SpeedButton1Click()
{
    if (perlPathSet())
        ShowWindow(MakeDictionaryWindow);
}

void TToolMenu::SpeedButton2Click()
{
    if (MaintenanceWindow && MaintenanceWindow->isVisible()) {
        MaintenanceWindow->raise();
        MaintenanceWindow->activateWindow();
        return;
    }
    if (OpenEditor)
        OpenEditor(QString());
}

void TToolMenu::SpeedButton3Click()
{
    if (perlPathSet())
        ShowWindow(TranslateWindow);
}

void TToolMenu::SpeedButton4Click()
{
    if (SettingsDialog)
        SettingsDialog->exec();
}

void TToolMenu::SpeedButton5Click()
{
    if (AboutWindow)
        AboutWindow->exec();
}

void TToolMenu::SpeedButton6Click()
{
    close();
}

void TToolMenu::closeEvent(QCloseEvent *event)
{
    // The menu stays until the program really ends: a load or save first
    // runs to its end, a wait for an extraction is given up.
    event->ignore();
    Document.RequestEnd([this] { leave(); });
}

bool TToolMenu::endRuns()
{
    ScriptRunner &runner = scriptRunner();
    if (!runner.IsRunning())
        return true;
    // A run's output is put in place by the program when its interpreter
    // ends: ending now would lose it.
    const int answer = messageBoxes().choose(this, ScriptRunner::EndWhileRunningQuestion(), applicationTitle(),
                                             ScriptRunner::EndWhileRunningAnswers());
    if (answer == 0) {
        setEnabled(false);
        runner.WaitForRuns();
        setEnabled(true);
        return true;
    }
    if (answer == 1) {
        runner.Stop(RunKind::Extraction);
        runner.Stop(RunKind::Translation);
        return true;
    }
    return false;
}

void TToolMenu::leave()
{
    if (Leaving)
        return;
    Leaving = true;
    const bool runsEnded = endRuns();
    Leaving = false;
    if (!runsEnded) {
        Document.CancelEnd();
        return;
    }
    // Leaving the program must not drop unsaved edits without a question.
    if (MaintenanceWindow && MaintenanceWindow->isVisible() && !Document.AskToSave()) {
        Document.CancelEnd();
        return;
    }
    hide();
    if (EndProgram)
        EndProgram();
}

void TToolMenu::Image13MouseDown(QPoint position)
{
    DragStartX = position.x();
    DragStartY = position.y();
    Dragging = true;
}

void TToolMenu::Image13MouseMove(QPoint position)
{
    if (!Dragging)
        return;
    move(x() + position.x() - DragStartX, y() + position.y() - DragStartY);
}

void TToolMenu::Image13MouseUp()
{
    Dragging = false;
}

bool TToolMenu::eventFilter(QObject *watched, QEvent *event)
{
    // Enter presses the button with the focus. (An auto-default button would
    // do the same, but draws itself as the default one, a frame this flat
    // menu has no place for.)
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *button = qobject_cast<QPushButton *>(watched);
        if (button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && !(key->modifiers() & ~Qt::KeypadModifier)) {
            button->click();
            return true;
        }
    }
    if (watched == Image13) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            Image13MouseDown(static_cast<QMouseEvent *>(event)->position().toPoint());
            return true;
        case QEvent::MouseMove:
            Image13MouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
            return true;
        case QEvent::MouseButtonRelease:
            Image13MouseUp();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
