#include "convert/tdict1.h"

#include "convert/reportwindow.h"
#include "convert/runwindows.h"
#include "document/document.h"
#include "platform/fonts.h"
#include "platform/messages.h"
#include "platform/windowplacement.h"
#include "settings/settings.h"
#include "settings/startdir_dialog.h"
#include "widgets/artwork.h"
#include "widgets/twiatile.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>

namespace ConversionWindow {

void SetUpWindow(QWidget *window, const QString &caption, int clientWidth, int clientHeight)
{
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                           | Qt::MSWindowsFixedSizeDialogHint);
    window->setWindowTitle(caption);
    window->setWindowIcon(QIcon(Artwork::AppIcon()));
    QFont own(QStringLiteral("MS Sans Serif"));
    own.setPixelSize(11);
    window->setFont(own);
    window->setFixedSize(clientWidth, clientHeight);
}

QString WithMnemonic(const QString &text, QChar letter)
{
    const QString marker = QStringLiteral("(&%1)").arg(letter);
    if (text.endsWith(QLatin1String(" :")))
        return text.left(text.size() - 2) + marker + QStringLiteral(" :");
    return text + marker;
}

QLabel *Caption(QWidget *parent, const QString &text, int x, int y, QWidget *buddy, QChar letter)
{
    auto *label = new QLabel(buddy ? WithMnemonic(text, letter) : text, parent);
    label->setFont(MingFont(16));
    label->setBuddy(buddy);
    label->move(x, y);
    label->adjustSize();
    return label;
}

namespace {

// A path typed in: Alt with a letter is a window's key, never a letter of
// the path, even when no control takes it (the 開始製作 button, say, while
// a run goes on and 停止 stands in its place).
class PathEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const Qt::KeyboardModifiers m = event->modifiers();
        if ((m & Qt::AltModifier) && !(m & Qt::ControlModifier)) {
            event->ignore();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

} // namespace

QLineEdit *PathField(QWidget *parent, int x, int y)
{
    auto *field = new PathEdit(parent);
    field->setFont(MingFont(12));
    field->setToolTip(QStringLiteral("輸入或貼上完整的路徑，或按右邊的按鈕瀏覽"));
    field->setGeometry(x, y, 305, 20);
    return field;
}

QToolButton *ImageButton(QWidget *parent, const QRect &geometry, const QPixmap &picture, const QString &hint,
                         const QKeySequence &key)
{
    auto *b = new QToolButton(parent);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setShortcut(key);
    b->setAccessibleName(hint);
    b->setIcon(QIcon(picture));
    b->setIconSize(picture.size());
    // The picture cannot show the key: the hint does.
    b->setToolTip(QStringLiteral("%1 (%2)").arg(hint, key.toString(QKeySequence::NativeText)));
    b->setGeometry(geometry);
    return b;
}

QToolButton *SwitchButton(QWidget *parent, const QRect &geometry, const QString &text, QChar letter)
{
    auto *b = new QToolButton(parent);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setText(WithMnemonic(text, letter));
    b->setFont(MingFont(12));
    QPalette colours = b->palette();
    colours.setColor(QPalette::ButtonText, QColor(0, 0, 125));
    b->setPalette(colours);
    b->setGeometry(geometry);
    return b;
}

QToolButton *StartButton(QWidget *parent, const QRect &geometry)
{
    auto *b = new QToolButton(parent);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const QPixmap picture = Artwork::StartIcon();
    b->setIcon(QIcon(picture));
    b->setIconSize(picture.size());
    b->setText(WithMnemonic(QStringLiteral("開始製作"), QLatin1Char('G')));
    b->setFont(MingFont(16));
    b->setGeometry(geometry);
    return b;
}

void RunIndicator(QWidget *window, RunKind kind, QToolButton *start, QLabel *&line, QToolButton *&stop,
                  QWidget *place)
{
    line = new QLabel(QStringLiteral("Perl程式執行中.."), window);
    line->setFont(MingFont(12));
    // In the place of a control a run has no use for (the encoding box),
    // which gives way to it while the run goes.
    line->setGeometry(place ? place->geometry() : QRect(start->x() - 88, start->y() + 10, 84, 16));
    line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    line->hide();
    stop = new QToolButton(window);
    stop->setAutoRaise(true);
    stop->setFocusPolicy(Qt::StrongFocus);
    stop->setToolButtonStyle(Qt::ToolButtonTextOnly);
    stop->setText(WithMnemonic(QStringLiteral("停止"), QLatin1Char('P')));
    stop->setFont(MingFont(16));
    stop->setGeometry(start->geometry());
    stop->hide();
    // 停止 follows the start button in the Tab order; the keyboard goes
    // from the one to the other as they swap places.
    QWidget::setTabOrder(start, stop);
    auto running = [start, line, stop, place = QPointer<QWidget>(place)](bool on) {
        QToolButton *shown = on ? stop : start;
        QToolButton *hidden = on ? start : stop;
        const bool focused = hidden->hasFocus();
        shown->setVisible(true);
        if (place)
            place->setVisible(!on);
        line->setVisible(on);
        if (focused)
            shown->setFocus(Qt::OtherFocusReason);
        hidden->setVisible(false);
    };
    QObject::connect(stop, &QToolButton::clicked, window, [kind] { scriptRunner().Stop(kind); });
    QObject::connect(&scriptRunner(), &ScriptRunner::RunStarted, window, [kind, running](RunKind started) {
        if (started == kind)
            running(true);
    });
    QObject::connect(&scriptRunner(), &ScriptRunner::RunEnded, window, [kind, running](const RunEnd &end) {
        if (end.Kind == kind)
            running(false);
    });
}

QString ResourceFilter()
{
    return QStringLiteral("Resource 檔 (*.rc)|*.rc|所有檔案 (*.*)|*.*");
}

QString ResourceDefaultExt()
{
    return QStringLiteral("*.rc");
}

unsigned OpenOptions()
{
    return FileDialog::HideReadOnly | FileDialog::PathMustExist | FileDialog::FileMustExist
           | FileDialog::EnableSizing;
}

unsigned SaveOptions()
{
    return FileDialog::OverwritePrompt | FileDialog::HideReadOnly | FileDialog::PathMustExist
           | FileDialog::EnableSizing;
}

void ChainTabOrder(std::initializer_list<QWidget *> widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *w : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

bool TakeTypedPaths(QWidget *window, std::initializer_list<TypedField> fields)
{
    for (const TypedField &f : fields) {
        const QString typed = f.field->text();
        const QString path = TypedPath(typed);
        if (path != typed) {
            const bool byHand = f.field->isModified();
            f.field->setText(path);
            f.field->setModified(byHand);
        }
        if (path.isEmpty())
            continue;
        // A dialog gives full paths only; a relative one would be taken
        // from the interpreter's working folder, not from where the user thinks.
        if (!QDir::isAbsolutePath(path)) {
            messageBoxes().message(window,
                                   QStringLiteral("「%1」要填完整的路徑（例如 %2），請重新輸入或按瀏覽選擇。")
                                       .arg(f.name, QDir::toNativeSeparators(QDir::homePath() + QStringLiteral("/app.rc"))),
                                   RefusalCaption());
            f.field->setFocus(Qt::OtherFocusReason);
            return false;
        }
        // As the save dialog asks before an existing file is chosen; a
        // choice made in the dialog was asked about there, and a typed one
        // once taken is a choice like it (later runs write it again unasked).
        if (f.output && f.field->isModified() && QFileInfo(path).isFile()
            && !messageBoxes().question(window, QStringLiteral("「%1」已經存在。\n要取代它嗎？")
                                                    .arg(QDir::toNativeSeparators(path)),
                                        window->windowTitle())) {
            f.field->setFocus(Qt::OtherFocusReason);
            return false;
        }
        if (f.output)
            f.field->setModified(false);
    }
    return true;
}

void FocusFirstEmpty(std::initializer_list<QLineEdit *> fields)
{
    for (QLineEdit *field : fields) {
        if (field->text().isEmpty()) {
            field->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

bool Browse(FileDialog &dialog, QWidget *owner, QLineEdit *field, const QString &customDir, QString &lastUsedDir)
{
    ChooseInitialDir(dialog, customDir, lastUsedDir);
    if (!dialog.Execute(owner))
        return false;
    field->setText(dialog.FileName);
    lastUsedDir = FolderPart(dialog.FileName);
    return true;
}

QComboBox *EncodingBox(QWidget *parent, const QRect &geometry)
{
    auto *box = new QComboBox(parent);
    box->setFont(MingFont(12));
    box->addItem(QStringLiteral("編碼：自動"), int(EncodingChoice::Guess));
    box->addItem(QStringLiteral("編碼：Big5"), int(EncodingChoice::Big5));
    box->addItem(QStringLiteral("編碼：UTF-8"), int(EncodingChoice::Utf8));
    box->addItem(QStringLiteral("編碼：UTF-16"), int(EncodingChoice::Utf16));
    box->setToolTip(QStringLiteral("RC檔的編碼：自動依檔案的內容判斷，或指定 Big5、UTF-8、"
                                   "UTF-16（沒有BOM時為 little-endian）。字典檔一律是Big5。"));
    box->setAccessibleName(QStringLiteral("RC檔的編碼"));
    box->setGeometry(geometry);
    return box;
}

EncodingChoice ChosenEncoding(const QComboBox *box)
{
    return EncodingChoice(box->currentData().toInt());
}

RunSetup CurrentRunSetup(const std::function<void(bool enabled)> &setEditorEnabled)
{
    RunSetup setup;
    setup.PerlPath = RegDat.PerlPath;
    setup.WorkDirectory = WorkDirectory;
    setup.SetEditorEnabled = setEditorEnabled;
    return setup;
}

bool WaitUntilWritten(QWidget *waiting, DictionaryDocument &document, const QString &path)
{
    // The wait lets events run; the window must not start a second command
    // (another wait, a run) on top of this one.
    QPointer<QWidget> window(waiting);
    if (window)
        window->setEnabled(false);
    const bool waited = document.WaitUntilWritten(path);
    if (window)
        window->setEnabled(true);
    return waited;
}

} // namespace ConversionWindow

using namespace ConversionWindow;

TDict1::TDict1(DictionaryDocument &document, QWidget *parent)
    : QWidget(parent), Document(document), pl(ExtractionTemplate())
{
    SetUpWindow(this, QStringLiteral("製作字典檔"), 402, 322);

    wiaTile1 = new TwiaTile(this);
    wiaTile1->setImage(Artwork::BackgroundTile(Artwork::Background::Conversion).toImage());
    wiaTile1->setTileMode(tmNormal);
    wiaTile1->setGeometry(0, 0, 402, 322);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 385, 81);

    const QString description = QStringLiteral(
        "製作字典檔選項可以將由Visual C++或Borland C++所建立的Resource檔案 (*.RC)，"
        "擷取其字串部份並製成一中英對照的檔案。字典檔建成後，可到「字典檔維護」對字典檔進行編輯工作。");
    // Line breaking may split "C++" between its plus signs; word joiners,
    // shown as nothing, keep the names whole.
    QString shown = description;
    shown.replace(QStringLiteral("C++"), QStringLiteral("C\u2060+\u2060+"));
    Label1 = new QLabel(shown, this);
    Label1->setFont(MingFont(16));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(16, 16, 358, 73);

    E1 = PathField(this, 8, 128);
    Label2 = Caption(this, QStringLiteral("來源Resource檔 (英文版本) :"), 8, 104, E1, QLatin1Char('S'));
    Browse1 = ImageButton(this, QRect(320, 128, 33, 22), Artwork::BrowseIcon(), QStringLiteral("瀏覽..."),
                          QKeySequence(Qt::ALT | Qt::Key_1));

    E2 = PathField(this, 8, 184);
    Label3 = Caption(this, QStringLiteral("翻譯後Resource檔 (中文版本) :"), 8, 160, E2, QLatin1Char('T'));
    Browse2 = ImageButton(this, QRect(320, 184, 33, 22), Artwork::BrowseIcon(), QStringLiteral("瀏覽..."),
                          QKeySequence(Qt::ALT | Qt::Key_2));

    E3 = PathField(this, 8, 240);
    Label4 = Caption(this, QStringLiteral("輸出的字典檔檔案名稱及位置 :"), 8, 216, E3, QLatin1Char('D'));
    Browse3 = ImageButton(this, QRect(320, 240, 33, 22), Artwork::BrowseIcon(), QStringLiteral("瀏覽..."),
                          QKeySequence(Qt::ALT | Qt::Key_3));
    EditDict = ImageButton(this, QRect(360, 240, 33, 22), Artwork::EditDictIcon(), QStringLiteral("編輯字典檔"),
                           QKeySequence(Qt::ALT | Qt::Key_E));

    SpeedButton4 = StartButton(this, QRect(262, 277, 131, 33));
    // Wider than designed and further left: the mnemonics need the room.
    SpeedButton5 = SwitchButton(this, QRect(4, 288, 84, 22), QStringLiteral("字典檔維護"), QLatin1Char('M'));
    SpeedButton6 = SwitchButton(this, QRect(90, 288, 84, 22), QStringLiteral("翻譯新版本"), QLatin1Char('N'));
    // Between the switch buttons and the start button.
    Encoding = EncodingBox(this, QRect(176, 288, 84, 22));
    RunIndicator(this, RunKind::Extraction, SpeedButton4, RunLine, StopButton, Encoding);

    ChainTabOrder({E1, Browse1, E2, Browse2, E3, Browse3, EditDict, SpeedButton5, SpeedButton6, Encoding,
                   SpeedButton4, StopButton});

    OD.Filter = ResourceFilter();
    OD.DefaultExt = ResourceDefaultExt();
    OD.Options = OpenOptions();
    SD.Title = QStringLiteral("儲存字典檔");
    SD.Options = SaveOptions();

    connect(Browse1, &QToolButton::clicked, this, &TDict1::Browse1Click);
    connect(Browse2, &QToolButton::clicked, this, &TDict1::Browse2Click);
    connect(Browse3, &QToolButton::clicked, this, &TDict1::Browse3Click);
    connect(EditDict, &QToolButton::clicked, this, &TDict1::EditDictClick);
    connect(SpeedButton4, &QToolButton::clicked, this, &TDict1::SpeedButton4Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &TDict1::SpeedButton5Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &TDict1::SpeedButton6Click);
    // The runs it starts are shown in the progress window and message boxes,
    // and their reports here.
    ShowRunsInWindows(scriptRunner());
    connect(&scriptRunner(), &ScriptRunner::RunEnded, this, &TDict1::ExtractionEnded);
}

void TDict1::ExtractionEnded(const RunEnd &end)
{
    if (end.Kind != RunKind::Extraction || !end.Extraction)
        return;
    // The maintenance window shows the new dictionary, not the old one.
    reloadOpenDictionary(end);
    if (!Report)
        Report = new RunReportWindow(this);
    Report->ShowReport(QStringLiteral("製作字典檔的結果"), ExtractionSummary(*end.Extraction),
                       ExtractionWarns(*end.Extraction), RenderExtractionReport(*end.Extraction));
}

void TDict1::showEvent(QShowEvent *event)
{
    if (!shownBefore) {
        shownBefore = true;
        CentreOnScreen(this);
    }
    QWidget::showEvent(event);
}

void TDict1::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // The report belongs to this window: it goes when the window is left.
    if (!event->spontaneous() && Report)
        Report->hide();
}

void TDict1::Browse1Click()
{
    OD.Title = QStringLiteral("瀏覽來源Resource檔");
    OD.FileName.clear();
    Browse(OD, this, E1, RegDat.SourceRCDefPath, RegDat.SourceRCLUPath);
}

void TDict1::Browse2Click()
{
    OD.Title = QStringLiteral("瀏覽翻譯後Resource檔");
    OD.FileName.clear();
    Browse(OD, this, E2, RegDat.DestRCDefPath, RegDat.DestRCLUPath);
}

void TDict1::Browse3Click()
{
    // The file name is kept: the previous choice is offered again.
    SD.Filter = DictionaryFilter;
    SD.DefaultExt = QStringLiteral("*.") + RegDat.DicExt;
    Browse(SD, this, E3, RegDat.DictDefPath, RegDat.DictLUPath);
}

void TDict1::SpeedButton4Click()
{
    // The run writes a dictionary: not while the open one is loaded or saved.
    if (!Document.Available())
        return;
    if (!TakeTypedPaths(this, {{E1, QStringLiteral("來源Resource檔")}, {E2, QStringLiteral("翻譯後Resource檔")},
                               {E3, QStringLiteral("輸出的字典檔"), true}}))
        return;
    const ExtractionPaths paths{PathBytes(E1->text()), PathBytes(E2->text()), PathBytes(E3->text())};
    // The new dictionary would replace the one being edited: its edits
    // would stay only in the window, and its next save would undo the run.
    if (writesOpenDictionary(paths.E3) && Document.Modified
        && !messageBoxes().question(this, ReplaceEditedQuestion(Document.DictionaryFileName), QuestionCaption()))
        return;
    RunSetup setup = CurrentRunSetup(SetEditorEnabled);
    setup.Extraction.Encoding = ChosenEncoding(Encoding);
    if (scriptRunner().RunExtraction(pl, paths, setup).Reached == RunStep::Refused)
        FocusFirstEmpty({E1, E2, E3});
}

bool TDict1::writesOpenDictionary(const std::string &path) const
{
    return !Document.DictionaryFileName.isEmpty() && NameTheSameFile(PathBytes(Document.DictionaryFileName), path);
}

QString TDict1::ReplaceEditedQuestion(const QString &path)
{
    return QStringLiteral("字典檔「%1」正在字典檔維護中編輯，還有沒有儲存的修改。\n"
                          "製作字典檔會以新的內容取代這個檔案，那些修改不會寫入它。要繼續製作嗎？")
        .arg(QDir::toNativeSeparators(path));
}

QString TDict1::ReloadQuestion(const QString &path)
{
    return QStringLiteral("字典檔「%1」已重新製作。\n要在字典檔維護中重新載入它嗎？沒有儲存的修改將會遺失。")
        .arg(QDir::toNativeSeparators(path));
}

QString TDict1::QuestionCaption()
{
    return QStringLiteral("製作字典檔");
}

void TDict1::reloadOpenDictionary(const RunEnd &end)
{
    if (!writesOpenDictionary(end.Output))
        return;
    const QString path = Document.DictionaryFileName;
    if (Document.Modified && !messageBoxes().question(activeWindow(), ReloadQuestion(path), QuestionCaption()))
        return;
    Document.Open(path, true);
}

void TDict1::EditDictClick()
{
    const QString dictionary = E3->text();
    if (dictionary.isEmpty())
        return;
    // A dictionary the extraction still writes comes into being only now.
    if (!WaitUntilWritten(this, Document, dictionary))
        return;
    if (!QFile::exists(dictionary))
        return;
    if (OpenEditor && OpenEditor(dictionary))
        hide();
}

void TDict1::SpeedButton5Click()
{
    if (OpenEditor && OpenEditor(QString()))
        hide();
}

void TDict1::SpeedButton6Click()
{
    if (ShowTranslateNewVersion)
        ShowTranslateNewVersion();
    hide();
}
