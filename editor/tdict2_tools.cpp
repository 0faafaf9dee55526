// Tools of the maintenance window: text searches and jumps, hot-key and
// shortcut insertion, full-screen mode and the blinking cue.

#include "editor/blink.h"
#include "editor/entrygrid.h"
#include "editor/hotkeys.h"
#include "editor/tchecks.h"
#include "editor/tdict2.h"
#include "document/checkreport.h"
#include "platform/messages.h"
#include "platform/finddialog.h"
#include "settings/settings.h"
#include "widgets/artwork.h"
#include "widgets/twiatile.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTableView>
#include <QToolButton>

// Pointer moves anywhere on the grid (its frame, header row and cells, and
// the search panels lying on the header) go to the full-screen tool bar rule
// in the grid's coordinates.
class ScreenModeWatch final : public QObject {
public:
    explicit ScreenModeWatch(TDict2 *window) : QObject(window), window(window) {}

    void watch(QWidget *widget)
    {
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseMove && watched->isWidgetType()) {
            const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
            const QPoint global = static_cast<QWidget *>(watched)->mapToGlobal(at);
            window->wiaTile1MouseMove(window->SG->mapFromGlobal(global).y());
        }
        return false;
    }

private:
    TDict2 *window;
};

void TDict2::createTools()
{
    FD = new FindDialog(this);
    CFD = new FindDialog(this);
    connect(FD, &FindDialog::findNext, this, &TDict2::FDFind);
    connect(CFD, &FindDialog::findNext, this, &TDict2::CFDFind);
    BlinkingTimer = new BlinkingCue(CB, this);

    connect(EFind, &QToolButton::clicked, this, &TDict2::EFindClick);
    connect(EFindNext, &QToolButton::clicked, this, &TDict2::EFindNextClick);
    connect(CFind, &QToolButton::clicked, this, &TDict2::CFindClick);
    connect(CFindNext, &QToolButton::clicked, this, &TDict2::CFindNextClick);
    connect(NextMulti, &QToolButton::clicked, this, &TDict2::NextMultiClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TDict2::SpeedButton1Click);
    connect(AddHotKey, &QToolButton::clicked, this, &TDict2::AddHotKeyClick);
    connect(AddShortCut, &QToolButton::clicked, this, &TDict2::AddShortCutClick);
    connect(AddHotShort, &QToolButton::clicked, this, &TDict2::AddHotShortClick);
    connect(Full, &QToolButton::clicked, this, &TDict2::FullClick);

    // Pointer moves over the background and the grid reveal the tool bar in
    // full-screen mode. The grid's moves reach the widget under the pointer:
    // its frame, the cell area, the header row's own cell area, the panels.
    wiaTile1->setMouseTracking(true);
    wiaTile1->installEventFilter(this);
    screenModeWatch = new ScreenModeWatch(this);
    screenModeWatch->watch(SG);
    for (QWidget *part : SG->findChildren<QWidget *>())
        screenModeWatch->watch(part);
    for (QWidget *panel : {EPanel, CPanel}) {
        screenModeWatch->watch(panel);
        for (QWidget *button : panel->findChildren<QWidget *>())
            screenModeWatch->watch(button);
    }
}

void TDict2::jumpTo(std::int32_t entry, bool blink)
{
    if (entry < 0)
        return;
    SG->setFocus(Qt::OtherFocusReason);
    SetCurrentCell(2, entry + 1);
    SG->scrollTo(SG->currentIndex());
    if (blink)
        StartBlink();
}

void TDict2::GoToEntry(std::int32_t entry)
{
    jumpTo(entry, false);
}

void TDict2::textSearch(MatchRule rule, const QString &text, bool down, SearchStart start)
{
    jumpTo(RunTextSearch(Tables, rule, text, down, CurrentRow(), start), true);
}

void TDict2::EFindClick()
{
    FD->Execute(QStringLiteral("搜尋來源字串"));
}

void TDict2::CFindClick()
{
    CFD->Execute(QStringLiteral("搜尋翻譯字串"));
}

void TDict2::FDFind(const QString &text, bool down)
{
    if (!leaveChoiceBox())
        return;
    FD->close();
    Directions.SourceSearchDown = down;
    EFindNext->setIcon(QIcon(down ? Artwork::BinocularsDown() : Artwork::BinocularsUp()));
    EFindNext->setToolTip(FindNextHint(down));
    textSearch(MatchRule::Source, text, down, SearchStart::FindButton);
}

void TDict2::CFDFind(const QString &text, bool down)
{
    if (!leaveChoiceBox())
        return;
    CFD->close();
    Directions.TranslationSearchDown = down;
    CFindNext->setIcon(QIcon(down ? Artwork::BinocularsDown() : Artwork::BinocularsUp()));
    CFindNext->setToolTip(FindNextHint(down));
    textSearch(MatchRule::Translation, text, down, SearchStart::FindButton);
}

void TDict2::EFindNextClick()
{
    if (!leaveChoiceBox())
        return;
    textSearch(MatchRule::Source, FD->text(), Directions.SourceSearchDown, SearchStart::FindNextButton);
}

void TDict2::CFindNextClick()
{
    if (!leaveChoiceBox())
        return;
    textSearch(MatchRule::Translation, CFD->text(), Directions.TranslationSearchDown, SearchStart::FindNextButton);
}

void TDict2::NextMultiClick()
{
    if (!leaveChoiceBox())
        return;
    jumpTo(RunNextMulti(Tables, CurrentRow(), this), false);
}

void TDict2::SpeedButton1Click()
{
    if (!leaveChoiceBox())
        return;
    jumpTo(RunNextUntranslated(Tables, CurrentRow(), this), false);
}

void TDict2::ChecksClick()
{
    // The box keeps what it holds: going to another window is not leaving it.
    Checks->show();
    Checks->raise();
    Checks->activateWindow();
}

void TDict2::NextProblemClick()
{
    if (!leaveChoiceBox())
        return;
    const std::int32_t hit = Report->NextProblem(CurrentRow());
    if (hit < 0) {
        messageBoxes().message(this, Report->NoMoreProblemsMessage(), CheckReport::Caption());
        return;
    }
    jumpTo(hit, false);
}

void TDict2::checkHit(std::int32_t entry)
{
    if (entry < 0 || entry >= model->DataRows())
        return;
    if (!leaveChoiceBox())
        return;
    // The check window stays open; the user goes on working in the grid.
    raise();
    activateWindow();
    jumpTo(entry, true);
}

void TDict2::checkFix(std::int32_t entry, const QString &text)
{
    if (entry < 0 || entry >= model->DataRows() || !Document.Available())
        return;
    if (!leaveChoiceBox())
        return;
    // A commit like one from the choice box: Ctrl+Z takes it back.
    Document.CommitChoice(entry, text);
}

void TDict2::UndoClick()
{
    if (QLineEdit *field = CB->lineEdit(); field->hasFocus() && field->isUndoAvailable()) {
        field->undo();
        return;
    }
    if (Strs->hasFocus() && Strs->document()->isUndoAvailable()) {
        Strs->undo();
        return;
    }
    if (!leaveChoiceBox())
        return;
    jumpTo(Document.Undo(), false);
}

void TDict2::RedoClick()
{
    if (QLineEdit *field = CB->lineEdit(); field->hasFocus() && field->isRedoAvailable()) {
        field->redo();
        return;
    }
    if (Strs->hasFocus() && Strs->document()->isRedoAvailable()) {
        Strs->redo();
        return;
    }
    if (!leaveChoiceBox())
        return;
    jumpTo(Document.Redo(), false);
}

std::string_view TDict2::currentSource() const
{
    const int e = CurrentRow() - 1;
    if (e < 0 || std::size_t(e) >= Tables.EntryTable.size())
        return {};
    return Tables.EntryTable[std::size_t(e)].Source;
}

void TDict2::AddHotKeyClick()
{
    ChoiceEdit edit = ReadChoiceEdit(*CB->lineEdit());
    if (InsertHotKey(edit, currentSource(), RegDat.InsertSpace, Document.Modified))
        ApplyChoiceEdit(*CB->lineEdit(), edit);
    UpdateTitle();
}

void TDict2::AddShortCutClick()
{
    ChoiceEdit edit = ReadChoiceEdit(*CB->lineEdit());
    if (InsertShortcut(edit, currentSource(), Document.Modified))
        ApplyChoiceEdit(*CB->lineEdit(), edit);
    UpdateTitle();
}

void TDict2::AddHotShortClick()
{
    AddHotKeyClick();
    AddShortCutClick();
}

void TDict2::StartBlink()
{
    BlinkingTimer->StartBlink();
}

void TDict2::FullClick()
{
    if (!FullScreen) {
        // The client area's place and size: the window manager puts the
        // frame back around it, whatever size it gives the frame.
        SavedLeft = geometry().x();
        SavedTop = geometry().y();
        SavedClientWidth = width();
        SavedClientHeight = height();
        FullScreen = true;
        // The full-screen state takes the frame away; the window stays the
        // same window, framed and with the keyboard, so that the way back
        // finds the frame as it was.
        switchingScreenMode = true;
        // Where no window manager applies the state, the window covers the
        // screen itself. The geometry is set first: set on a full-screen
        // window it would drop the widget's state while the native window
        // keeps it, and the window, closed later, would open full screen.
        if (QScreen *where = screen())
            setGeometry(where->geometry());
        showFullScreen();
        switchingScreenMode = false;
        CoolBar1->hide();
        Help1->hide();
        Help2->hide();
        EPanel->move(EPanel->x(), 4);
        CPanel->move(CPanel->x(), 4);
        FormResize(); // lays the grid out from the top, 70 pixels higher
        replaceChoiceBox();
    } else {
        leaveFullScreen();
    }
}

void TDict2::leaveFullScreen()
{
    FullScreen = false;
    switchingScreenMode = true;
    // A hidden window (closed in full-screen mode) only drops the state,
    // so that it opens again as a normal window, where it was before.
    if (isVisible())
        showNormal();
    else
        setWindowState(windowState() & ~Qt::WindowFullScreen);
    setGeometry(SavedLeft, SavedTop, SavedClientWidth, SavedClientHeight);
    switchingScreenMode = false;
    CoolBar1->show();
    Help1->show();
    Help2->show();
    SG->move(SG->x(), 72);
    EPanel->move(EPanel->x(), 74);
    CPanel->move(CPanel->x(), 74);
    FormResize();
    replaceChoiceBox();
}

void TDict2::wiaTile1MouseMove(int y)
{
    if (!FullScreen)
        return;
    if (y >= 0 && y <= 3) {
        CoolBar1->show();
        CoolBar1->raise();
    } else {
        CoolBar1->hide();
    }
}
