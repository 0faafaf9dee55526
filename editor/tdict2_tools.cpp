// Tools of the maintenance window: text searches and jumps, hot-key and
// shortcut insertion, full-screen mode and the blinking cue.

#include "editor/blink.h"
#include "editor/entrygrid.h"
#include "editor/hotkeys.h"
#include "editor/tdict2.h"
#include "platform/finddialog.h"
#include "settings/settings.h"
#include "widgets/artwork.h"
#include "widgets/twiatile.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QTableView>
#include <QToolButton>

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
    // full-screen mode.
    wiaTile1->setMouseTracking(true);
    wiaTile1->installEventFilter(this);
    SG->viewport()->setMouseTracking(true);
    SG->viewport()->installEventFilter(this);
    SG->horizontalHeader()->setMouseTracking(true);
    SG->horizontalHeader()->installEventFilter(this);
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
    SG->setFocus(Qt::OtherFocusReason);
    FD->close();
    Directions.SourceSearchDown = down;
    EFindNext->setIcon(QIcon(down ? Artwork::BinocularsDown() : Artwork::BinocularsUp()));
    EFindNext->setToolTip(FindNextHint(down));
    textSearch(MatchRule::Source, text, down, SearchStart::FindButton);
}

void TDict2::CFDFind(const QString &text, bool down)
{
    SG->setFocus(Qt::OtherFocusReason);
    CFD->close();
    Directions.TranslationSearchDown = down;
    CFindNext->setIcon(QIcon(down ? Artwork::BinocularsDown() : Artwork::BinocularsUp()));
    CFindNext->setToolTip(FindNextHint(down));
    textSearch(MatchRule::Translation, text, down, SearchStart::FindButton);
}

void TDict2::EFindNextClick()
{
    SG->setFocus(Qt::OtherFocusReason);
    textSearch(MatchRule::Source, FD->text(), Directions.SourceSearchDown, SearchStart::FindNextButton);
}

void TDict2::CFindNextClick()
{
    SG->setFocus(Qt::OtherFocusReason);
    textSearch(MatchRule::Translation, CFD->text(), Directions.TranslationSearchDown, SearchStart::FindNextButton);
}

void TDict2::NextMultiClick()
{
    jumpTo(RunNextMulti(Tables, CurrentRow(), this), false);
}

void TDict2::SpeedButton1Click()
{
    jumpTo(RunNextUntranslated(Tables, CurrentRow(), this), false);
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
    if (InsertHotKey(edit, currentSource(), RegDat.InsertSpace, Modified))
        ApplyChoiceEdit(*CB->lineEdit(), edit);
}

void TDict2::AddShortCutClick()
{
    ChoiceEdit edit = ReadChoiceEdit(*CB->lineEdit());
    if (InsertShortcut(edit, currentSource(), Modified))
        ApplyChoiceEdit(*CB->lineEdit(), edit);
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
        SavedLeft = x();
        SavedTop = y();
        SavedClientWidth = width();
        SavedClientHeight = height();
        FullScreen = true;
        // A frameless window covering the screen.
        switchingScreenMode = true;
        setWindowFlag(Qt::FramelessWindowHint, true);
        // The window covers the screen also where no window manager applies
        // the full-screen state.
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
        FullScreen = false;
        switchingScreenMode = true;
        setWindowFlag(Qt::FramelessWindowHint, false);
        showNormal();
        switchingScreenMode = false;
        move(SavedLeft, SavedTop);
        resize(SavedClientWidth, SavedClientHeight);
        CoolBar1->show();
        Help1->show();
        Help2->show();
        SG->move(SG->x(), 72);
        EPanel->move(EPanel->x(), 74);
        CPanel->move(CPanel->x(), 74);
        FormResize();
        replaceChoiceBox();
    }
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
