#include "editor/tdict2.h"

#include "editor/documentanswers.h"
#include "editor/entrygrid.h"
#include "platform/bytemarks.h"
#include "editor/exchangecommands.h"
#include "editor/tchecks.h"
#include "document/checkreport.h"
#include "platform/fonts.h"
#include "platform/windowplacement.h"
#include "settings/settings.h"
#include "widgets/artwork.h"
#include "widgets/twiatile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

namespace {

QToolButton *flatButton(QWidget *parent, int x, int y, const QPixmap &glyph, const QString &hint)
{
    auto *b = new QToolButton(parent);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIcon(QIcon(glyph));
    b->setIconSize(glyph.size());
    b->setToolTip(hint);
    b->setGeometry(x, y, 23, 22);
    return b;
}

} // namespace

int StringAreaHeight(int lineHeight, int lines)
{
    return (lineHeight + 2) * lines + 6;
}

int TextColumnWidth(int gridWidth)
{
    const int w = gridWidth % 2 ? gridWidth - 1 : gridWidth;
    return (w - 56) / 2;
}

TDict2::TDict2(DictionaryDocument &document, QWidget *parent)
    : QWidget(parent, Qt::Window), Document(document), Tables(document.Tables)
{
    // Until the first load the grid shows nine empty rows; each of them is
    // backed by an empty entry so that the choice box can stand on it.
    while (Tables.EntryTable.size() < 9)
        Tables.EntryTable.push_back(DS{std::string(), {std::string()}, 0, 0, false});

    setWindowTitle(QStringLiteral("字典檔維護"));
    setFont(MingFont(12));
    setWindowIcon(QIcon(Artwork::AppIcon()));
    resize(575, 529);
    setMinimumSize(200, MinimumClientHeight);

    wiaTile1 = new TwiaTile(this);
    wiaTile1->setImage(Artwork::BackgroundTile(Artwork::Background::Maintenance).toImage());
    wiaTile1->setTileMode(tmNormal);
    wiaTile1->setGeometry(0, 38, 575, 491);

    createToolBar();

    Help1 = new QLabel(QStringLiteral("在這裡可以對字典檔進行編輯工作。"), this);
    Help1->setFont(MingFont(12));
    Help1->move(9, 42);
    Help1->adjustSize();
    Help2 = new QLabel(QStringLiteral("相同的翻譯項目會被組合，選取有關項目便可以挑選最合適的翻譯文字，或者直接在翻譯文字欄位中輸入。"), this);
    Help2->setFont(MingFont(12));
    Help2->setWordWrap(true);
    Help2->setGeometry(9, 56, 564, 14);

    createGrid();

    StrLabel = new QLabel(QStringLiteral("字串："), this);
    StrLabel->setFont(MingFont(12));
    StrLabel->move(8, 480);
    StrLabel->adjustSize();

    Strs = new QPlainTextEdit(this);
    Strs->setGeometry(48, 480, 521, 41);
    Strs->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Strs->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Strs->setLayoutDirection(Qt::LeftToRight);
    QPalette memo = Strs->palette();
    memo.setColor(QPalette::Base, QColor(234, 234, 234));
    Strs->setPalette(memo);
    new ByteMarkHighlighter(Strs->document(), ByteMarkColour(memo.color(QPalette::Text), memo.color(QPalette::Base)));
    Strs->installEventFilter(this);

    CB = new QComboBox(this);
    CB->setEditable(true);
    CB->setInsertPolicy(QComboBox::NoInsert);
    CB->setFont(MingFont(15));
    CB->setMaxVisibleItems(12);
    CB->hide();
    CB->installEventFilter(this);
    CB->lineEdit()->installEventFilter(this);

    createShortcuts();
    createTools();
    Exchange = new ExchangeCommands(*this);
    Report = new CheckReport(Document, this);
    model->SetKeepEnglish(&Report->KeepList());
    Checks = new TChecks(*Report, this);
    connect(Checks, &TChecks::JumpRequested, this, &TDict2::checkHit);
    connect(Checks, &TChecks::FixRequested, this, &TDict2::checkFix);
    // While a load or save runs, no row of the check window starts a jump.
    connect(&Document, &DictionaryDocument::BusyChanged, Checks,
            [this](DocumentBusy busy) { Checks->setEnabled(busy == DocumentBusy::None); });
    connect(CheckBtn, &QToolButton::clicked, this, &TDict2::ChecksClick);

    BOD.Title = QStringLiteral("開啟字典檔");
    BOD.Options = FileDialog::FileMustExist | FileDialog::PathMustExist | FileDialog::HideReadOnly
                  | FileDialog::EnableSizing;
    SD.Title = QStringLiteral("儲存字典檔");
    SD.Options = FileDialog::PathMustExist | FileDialog::NoReadOnlyReturn | FileDialog::HideReadOnly
                 | FileDialog::EnableSizing;

    setTabOrder(SG, CB);
    setTabOrder(CB, Strs);

    connectDocument();

    // FormCreate
    CurrentEntry = -1;
    SG->horizontalHeader()->resizeSection(1, 20);

    FormResize();
}

TDict2::~TDict2()
{
    Document.SetQuestions(nullptr);
    Document.SetProgress(nullptr);
}

void TDict2::createToolBar()
{
    CoolBar1 = new QWidget(this);
    CoolBar1->setGeometry(0, 0, 575, 38);
    CoolBar1->setAutoFillBackground(true);
    QPalette band = CoolBar1->palette();
    band.setBrush(QPalette::Window, QBrush(Artwork::CoolBarTile()));
    CoolBar1->setPalette(band);

    DictBar = new QToolBar(CoolBar1);
    DictBar->setGeometry(9, 0, 562, 38);
    DictBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    DictBar->setIconSize(QSize(16, 16));
    DictBar->setMovable(false);
    DictBar->setFloatable(false);
    DictBar->setStyleSheet(QStringLiteral("QToolBar { background: transparent; border: none; spacing: 0px; padding: 0px; }"
                                          "QToolButton { padding: 1px 0px; }"));
    DictBar->setFont(MingFont(12));

    auto addButton = [this](const QString &caption, const QString &hint, int image) {
        QIcon icon;
        icon.addPixmap(Artwork::ToolbarImage(image, false), QIcon::Normal);
        icon.addPixmap(Artwork::ToolbarImage(image, true), QIcon::Active);
        auto *b = new QToolButton(DictBar);
        b->setText(caption);
        b->setToolTip(hint);
        b->setIcon(icon);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        // Each button is as wide as its caption, as on the tool bar's design.
        b->setFixedSize(qMax(32, b->fontMetrics().horizontalAdvance(caption) + 10), 35);
        DictBar->addWidget(b);
        return b;
    };
    auto addSeparator = [this] {
        auto *gap = new QWidget(DictBar);
        gap->setFixedSize(8, 35);
        DictBar->addWidget(gap);
    };

    OpenBtn = addButton(QStringLiteral("\u3000開啟\u3000"), QStringLiteral("(Ctrl-O)"), 0);
    SaveBtn = addButton(QStringLiteral("\u3000儲存\u3000"), QStringLiteral("(Ctrl-S)"), 1);
    SaveAsBtn = addButton(QStringLiteral("另存新檔"), QStringLiteral("(Ctrl-A)"), 2);
    addSeparator();
    AddHotKey = addButton(QStringLiteral(" 熱鍵 "), QStringLiteral("(Ctrl-H)"), 3);
    AddShortCut = addButton(QStringLiteral(" 快速鍵 "), QStringLiteral("(Ctrl-K)"), 4);
    AddHotShort = addButton(QStringLiteral("熱鍵/快速鍵"), QStringLiteral("(Ctrl-L)"), 5);
    addSeparator();
    ToDict1 = addButton(QStringLiteral("製作字典檔"), QStringLiteral("(Ctrl-1)"), 6);
    ToDict3 = addButton(QStringLiteral("翻譯新版本"), QStringLiteral("(Ctrl-3)"), 7);
    Full = addButton(QStringLiteral("全螢幕"), QStringLiteral("切換成全螢幕/視窗模式(Ctrl-F)"), 8);

    connect(OpenBtn, &QToolButton::clicked, this, &TDict2::ToolButton3Click);
    connect(SaveBtn, &QToolButton::clicked, this, &TDict2::SaveBtnClick);
    connect(SaveAsBtn, &QToolButton::clicked, this, &TDict2::SaveAsBtnClick);
    connect(ToDict1, &QToolButton::clicked, this, &TDict2::ToDict1Click);
    connect(ToDict3, &QToolButton::clicked, this, &TDict2::ToDict3Click);
}

void TDict2::createGrid()
{
    SG = new QTableView(this);
    SG->setGeometry(8, 72, 561, 401);
    SG->setFont(MingFont(15));
    model = new EntryModel(Tables, this);
    SG->setModel(model);
    delegate = new EntryDelegate(model, Artwork::PointingHand(), Artwork::SmilingFace(), this);
    SG->setItemDelegate(delegate);
    delegate->focusedTranslationPainted = [this](const QModelIndex &index) {
        if (index == SG->currentIndex())
            requestPlacement();
    };

    SG->verticalHeader()->hide();
    SG->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The minimum first: a default below the minimum the font suggests would
    // be raised to it.
    SG->verticalHeader()->setMinimumSectionSize(22);
    SG->verticalHeader()->setDefaultSectionSize(22);
    QHeaderView *header = SG->horizontalHeader();
    // Column 1 is 20 pixels wide, narrower than the least width a wide font
    // would give a column by itself.
    header->setMinimumSectionSize(20);
    header->setFixedHeight(22);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SG->setSelectionMode(QAbstractItemView::SingleSelection);
    SG->setSelectionBehavior(QAbstractItemView::SelectItems);
    SG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG->setTabKeyNavigation(false);
    SG->setWordWrap(false);
    SG->setCornerButtonEnabled(false);
    SG->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    SG->installEventFilter(this);

    connect(SG->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.column() == 2 && SG->hasFocus())
                    SGDrawCell(2, current.row() + 1, cellRectInWindow(current), true);
            });
    connect(SG->verticalScrollBar(), &QScrollBar::valueChanged, this, &TDict2::SGTopLeftChanged);
    connect(SG->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TDict2::SGTopLeftChanged);

    // The two search panels lie on the header row.
    EPanel = new QWidget(this);
    EPanel->setGeometry(224, 74, 65, 22);
    CPanel = new QWidget(this);
    // Wider than in the design by the check window's narrow button, which
    // then ends where the grid's scroll bar begins.
    CPanel->setGeometry(456, 74, 130, 22);
    for (QWidget *panel : {EPanel, CPanel}) {
        panel->setAutoFillBackground(true);
        panel->setPalette(SG->horizontalHeader()->palette());
    }
    EFind = flatButton(EPanel, 16, 1, Artwork::Binoculars(), QStringLiteral("搜尋..."));
    EFindNext = flatButton(EPanel, 40, 1, Artwork::BinocularsDown(), QStringLiteral("找下一個"));
    CFind = flatButton(CPanel, 16, 1, Artwork::Binoculars(), QStringLiteral("搜尋..."));
    CFindNext = flatButton(CPanel, 40, 1, Artwork::BinocularsDown(), QStringLiteral("找下一個"));
    NextMulti = flatButton(CPanel, 64, 1, Artwork::NextMultiGlyph(), QStringLiteral("跳至下一個多譯句子 (Ctrl-N)"));
    SpeedButton1 = flatButton(CPanel, 88, 0, Artwork::UntranslatedGlyph(), QStringLiteral("跳至下一個未翻譯的句子"));
    CheckBtn = flatButton(CPanel, 112, 1, Artwork::CheckGlyph(), QStringLiteral("檢查翻譯 (Ctrl-E)；跳至下一個有問題的句子 (Ctrl-J)"));
    CheckBtn->resize(18, 22);
}

void TDict2::createShortcuts()
{
    auto shortcut = [this](const QKeySequence &keys, auto handler) {
        auto *action = new QAction(this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    N11 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_H), [this] { AddHotKeyClick(); });
    N21 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_K), [this] { AddShortCutClick(); });
    N31 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_L), [this] { AddHotShortClick(); });
    N41 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_O), [this] { OpenBtnClick(); });
    N51 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { SaveBtnClick(); });
    N61 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_A), [this] { SaveAsBtnClick(); });
    D11 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_1), [this] { ToDict1Click(); });
    D31 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_3), [this] { ToDict3Click(); });
    Full1 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_F), [this] { FullClick(); });
    Bx1 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_N), [this] { NextMultiClick(); });
    Undo1 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { UndoClick(); });
    Redo1 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), [this] { RedoClick(); });
    Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    Chk1 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_E), [this] { ChecksClick(); });
    Jp1 = shortcut(QKeySequence(Qt::CTRL | Qt::Key_J), [this] { NextProblemClick(); });
}

bool TDict2::isOwnShortcut(const QKeyEvent *event) const
{
    const QKeySequence pressed(event->keyCombination());
    for (const QAction *a : {N11, N21, N31, N41, N51, N61, D11, D31, Full1, Bx1, Undo1, Redo1, Chk1, Jp1})
        if (a->shortcuts().contains(pressed))
            return true;
    return false;
}

void TDict2::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Changing the frame for full-screen mode shows the window again; that is
    // not a new showing of the window.
    if (!event->spontaneous() && !switchingScreenMode)
        FormShow();
}

void TDict2::FormShow()
{
    if (!shownBefore) {
        shownBefore = true;
        CentreOnScreen(this);
    }
    resize(577, height());

    QFont memoFont = Strs->font();
    if (!RegDat.UserFont.isEmpty())
        memoFont.setFamily(RegDat.UserFont);
    if (RegDat.UserSize > 0)
        memoFont.setPointSize(RegDat.UserSize);
    Strs->setFont(memoFont);
    setFont(memoFont);
    ArrangeStringArea();
}

void TDict2::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TDict2::FormResize()
{
    if (height() < MinimumClientHeight) {
        resize(width(), MinimumClientHeight);
        return; // the resize runs this again at the minimum height
    }
    const int top = CoolBar1->isVisible() || !isVisible() ? 38 : 0;
    wiaTile1->setGeometry(0, top, width(), height() - top);
    CoolBar1->resize(width(), 38);

    SG->resize(width() - 16, SG->height());
    Strs->resize(width() - 60, Strs->height());
    const int colW = TextColumnWidth(SG->width());
    SG->horizontalHeader()->resizeSection(0, colW);
    SG->horizontalHeader()->resizeSection(2, colW);

    ArrangeStringArea();
    if (FullScreen) {
        // In full-screen mode the grid also takes the room of the tool bar
        // and the help lines above it.
        SG->move(SG->x(), 2);
        SG->resize(SG->width(), SG->height() + 70);
    }

    // The search panels lie on the header row, each where the spacing puts
    // it, but only where it covers neither a column caption nor the other
    // panel: a narrow window shows fewer buttons, never overlapping ones.
    EPanel->move(SG->x() + colW - 65, EPanel->y());
    CPanel->move(SG->width() - 136, CPanel->y());
    const bool wideEnough = SG->width() >= 134;
    const bool sourceFits = wideEnough && EPanel->x() >= headerCaptionEnd(0);
    const bool translationFits = wideEnough && CPanel->x() >= headerCaptionEnd(2)
                                 && (!sourceFits || CPanel->x() >= EPanel->x() + EPanel->width())
                                 && CPanel->x() + CPanel->width() <= SG->x() + SG->width();
    EPanel->setVisible(sourceFits);
    CPanel->setVisible(translationFits);
    StrLabel->move(StrLabel->x(), Strs->y());
    replaceChoiceBox();
}

int TDict2::headerCaptionEnd(int column) const
{
    const QHeaderView *header = SG->horizontalHeader();
    const QString caption = model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int left = header->viewport()->mapTo(this, QPoint(header->sectionViewportPosition(column), 0)).x();
    return left + 2 * margin + header->fontMetrics().horizontalAdvance(caption);
}

void TDict2::ArrangeStringArea()
{
    // The memo is measured as one line of the window's font, also when empty.
    const int h = qAbs(fontMetrics().height());
    const int memoHeight = StringAreaHeight(h, RegDat.NoOfLines);
    Strs->setGeometry(Strs->x(), height() - 8 - memoHeight, Strs->width(), memoHeight);
    SG->resize(SG->width(), height() - 89 - memoHeight);
    StrLabel->move(StrLabel->x(), Strs->y());
}

QFont TDict2::StringFont() const
{
    return Strs->font();
}

void TDict2::ApplyStringFont(const QFont &font)
{
    Strs->setFont(font);
    setFont(font);
}

QRect TDict2::cellRectInWindow(const QModelIndex &index) const
{
    const QRect cell = SG->visualRect(index);
    return QRect(SG->viewport()->mapTo(this, cell.topLeft()), cell.size());
}

void TDict2::replaceChoiceBox()
{
    const QModelIndex current = SG->currentIndex();
    if (!current.isValid())
        return;
    SGDrawCell(current.column(), current.row() + 1, cellRectInWindow(current), true);
}

void TDict2::requestPlacement()
{
    // Painting the focused translation cell places the choice box there; the
    // placement runs right after the paint, not inside it.
    if (placementPending)
        return;
    placementPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            placementPending = false;
            const QModelIndex current = SG->currentIndex();
            if (SG->hasFocus() && current.isValid() && current.column() == 2)
                SGDrawCell(2, current.row() + 1, cellRectInWindow(current), true);
        },
        Qt::QueuedConnection);
}

void TDict2::SGDrawCell(int column, int row, const QRect &rect, bool focused)
{
    if (focused && column == 2 && row > 0) {
        PlaceChoiceBox(row, rect);
    } else if (column == 1 && row > 0) {
        SG->viewport()->update(SG->visualRect(model->index(row - 1, 1)));
    }
}

void TDict2::SGTopLeftChanged()
{
    if (keepingRefusedChoice)
        return;
    // The box goes out of sight: what it holds is committed first. A refused
    // text brings the grid back to its entry instead.
    if (!Document.CommitPendingChoice())
        return;
    CB->hide();
}

int TDict2::CurrentRow() const
{
    const QModelIndex current = SG->currentIndex();
    return current.isValid() ? current.row() + 1 : 1;
}

int TDict2::CurrentColumn() const
{
    const QModelIndex current = SG->currentIndex();
    return current.isValid() ? current.column() : 0;
}

void TDict2::SetCurrentCell(int column, int row)
{
    if (row < 1 || row > model->DataRows())
        return;
    SG->setCurrentIndex(model->index(row - 1, column));
}

void TDict2::SetInputEnabled(bool enabled)
{
    if (!enabled) {
        if (inputSuspended)
            return;
        // While a dialog is up the window's own focus is the control that
        // gets it back when the window is active again.
        QWidget *focus = QApplication::focusWidget();
        if (!focus || !isAncestorOf(focus))
            focus = focusWidget();
        focusBeforeSuspend = focus && isAncestorOf(focus) ? focus : nullptr;
        inputSuspended = true;
        setEnabled(false);
        return;
    }
    setEnabled(true);
    if (inputSuspended && focusBeforeSuspend && isAncestorOf(focusBeforeSuspend) && focusBeforeSuspend->isVisible())
        focusBeforeSuspend->setFocus(Qt::OtherFocusReason);
    inputSuspended = false;
    focusBeforeSuspend = nullptr;
}

void TDict2::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // The check window belongs to this one; it goes when this one is left
    // (not when full-screen mode changes the frame). Full-screen mode ends
    // with the window too: it opens again as a normal window.
    if (!event->spontaneous() && !switchingScreenMode) {
        Checks->hide();
        if (FullScreen)
            leaveFullScreen();
    }
}

void TDict2::closeEvent(QCloseEvent *event)
{
    // FormCloseQuery: closing only hides the window, after the prompt.
    if (!AskToSave())
        event->ignore();
    else
        event->accept();
}
