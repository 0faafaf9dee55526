#include "settings/tsettings.h"

#include "platform/fontdialog.h"
#include "platform/fonts.h"
#include "platform/messages.h"
#include "platform/windowplacement.h"
#include "settings/settings.h"
#include "settings/stringarea.h"
#include "widgets/browseforfolder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace {

// The prompts of the five custom folders, in the order of P1 to P5.
const char16_t *const FolderPrompts[5] = {
    u"請選擇來源 Resource 檔資料夾:",
    u"請選擇翻譯後 Resource 檔資料夾:",
    u"請選擇字典檔資料夾:",
    u"請選擇新版英文 Resource 檔資料夾:",
    u"請選擇新版中文 Resource 檔資料夾:",
};

// The custom folder settings, in the order of P1 to P5.
QString *customFolder(int row)
{
    QString *fields[5] = {&RegDat.SourceRCDefPath, &RegDat.DestRCDefPath, &RegDat.DictDefPath,
                          &RegDat.NewVerRCDefPath, &RegDat.NewVerTranlatedRCDefPath};
    return fields[row];
}

// A font's size in points; a font given in pixels counts at 96 dots per inch.
int pointsOf(const QFont &font)
{
    if (font.pointSize() > 0)
        return font.pointSize();
    if (font.pixelSize() > 0)
        return qRound(font.pixelSize() * 72.0 / 96.0);
    return 9;
}

} // namespace

TUpDown::TUpDown(QWidget *parent) : QWidget(parent)
{
    Up = new QToolButton(this);
    Up->setArrowType(Qt::UpArrow);
    Up->setAutoRepeat(true);
    Up->setFocusPolicy(Qt::NoFocus);
    Down = new QToolButton(this);
    Down->setArrowType(Qt::DownArrow);
    Down->setAutoRepeat(true);
    Down->setFocusPolicy(Qt::NoFocus);
    connect(Up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(Down, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void TUpDown::setRange(int min, int max)
{
    Min = min;
    Max = qMax(min, max);
    setPosition(Position);
}

void TUpDown::setPosition(int position)
{
    const int clamped = qBound(Min, position, Max);
    if (clamped == Position)
        return;
    Position = clamped;
    emit positionChanged(Position);
}

void TUpDown::stepBy(int steps)
{
    setPosition(Position + steps);
    emit stepped(Position);
}

void TUpDown::resizeEvent(QResizeEvent *)
{
    const int half = height() / 2;
    Up->setGeometry(0, 0, width(), half);
    Down->setGeometry(0, half, width(), height() - half);
}

QString PerlPatternMap(const QString &pattern)
{
    if (pattern == QStringLiteral("*.*"))
        return QStringLiteral("*");
#ifdef Q_OS_WIN
    return pattern;
#else
    if (pattern.compare(QStringLiteral("Perl.exe"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("perl perl5*");
    if (pattern == QStringLiteral("*.exe"))
        return QStringLiteral("*");
    return pattern;
#endif
}

// A field only its button fills: drawn on the dialog's own colour, so that
// it does not invite typing it would ignore.
static void LookReadOnly(QLineEdit *edit)
{
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
}

TSettings::TSettings(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("設定"));
    setModal(true);
    setFont(MingFont(12));
    setFixedSize(387, 295);

    FD = QFont(QStringLiteral("新細明體"));
    FD.setPointSize(9);

    PC = new QTabWidget(this);
    PC->setGeometry(1, 2, 385, 257);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    TabSheet3 = new QWidget;
    PC->addTab(TabSheet1, QStringLiteral(" Perl位置 "));
    PC->addTab(TabSheet2, QStringLiteral(" 預設目錄 "));
    PC->addTab(TabSheet3, QStringLiteral(" 環境設定 "));

    auto label = [](QWidget *parent, const QString &text, int x, int y) {
        auto *l = new QLabel(text, parent);
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    auto readOnlyEdit = [](QWidget *parent, int x, int y, int w) {
        auto *e = new QLineEdit(parent);
        e->setGeometry(x, y, w, 21);
        e->setReadOnly(true);
        LookReadOnly(e);
        return e;
    };
    auto button = [](QWidget *parent, const QString &text, int x, int y, int w, int h) {
        auto *b = new QPushButton(text, parent);
        b->setGeometry(x, y, w, h);
        return b;
    };

    // The Perl tab.
    Panel1 = new QFrame(TabSheet1);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(8, 8, 361, 64);
    Label1 = new QLabel(QStringLiteral("本軟體必需搭配 Perl 方能完成製作字典檔及翻譯新版本的工作。"
                                       "請按一下 [瀏覽...] 按鈕，設定 Perl 的所在目錄。"),
                        Panel1);
    Label1->setWordWrap(true);
    Label1->setGeometry(10, 8, 341, 48);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2 = label(TabSheet1, QStringLiteral("Perl 軟體位置："), 8, 92);
    PerlTxt = readOnlyEdit(TabSheet1, 8, 110, 297);
    Button1 = button(TabSheet1, QStringLiteral("瀏覽..."), 310, 109, 59, 23);
    connect(Button1, &QPushButton::clicked, this, &TSettings::Button1Click);

    OD.Title = QStringLiteral("Perl軟體位置");
    OD.Filter = QStringLiteral("Perl程式檔 (Perl.exe)|Perl.exe|執行檔 (*.exe)|*.exe|所有檔案 (*.*)|*.*");
    OD.DefaultExt = QStringLiteral("*.exe");
    OD.Options = FileDialog::FileMustExist | FileDialog::PathMustExist | FileDialog::HideReadOnly
                 | FileDialog::EnableSizing;
    OD.PatternMap = PerlPatternMap;

    // The start folders tab.
    LastUse = new QRadioButton(QStringLiteral("記錄上一次使用的目錄"), TabSheet2);
    LastUse->setGeometry(8, 8, 361, 18);
    Custom = new QRadioButton(QStringLiteral("自訂預設目錄 - 當瀏覽有關檔案時便前往該目錄"), TabSheet2);
    Custom->setGeometry(8, 30, 361, 18);
    connect(LastUse, &QRadioButton::clicked, this, &TSettings::LastUseClick);
    connect(Custom, &QRadioButton::clicked, this, &TSettings::CustomClick);

    Panel2 = new QFrame(TabSheet2);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setGeometry(8, 54, 361, 162);
    const QString captions[5] = {QStringLiteral("來源RC檔："), QStringLiteral("翻譯後RC檔："),
                                 QStringLiteral("字典檔："), QStringLiteral("英文新版RC檔："),
                                 QStringLiteral("中文新版RC檔：")};
    QLabel **labels[5] = {&Label3, &Label4, &Label5, &Label6, &Label7};
    QLineEdit **edits[5] = {&P1, &P2, &P3, &P4, &P5};
    QPushButton **buttons[5] = {&L1, &L2, &L3, &L4, &L5};
    for (int row = 0; row < 5; ++row) {
        const int y = 10 + row * 30;
        *labels[row] = label(Panel2, captions[row], 10, y + 4);
        *edits[row] = readOnlyEdit(Panel2, 104, y, 196);
        *buttons[row] = button(Panel2, QStringLiteral("位置"), 304, y - 1, 47, 23);
        connect(*buttons[row], &QPushButton::clicked, this, [this, row] { LClick(row); });
    }

    // The environment tab.
    GroupBox1 = new QGroupBox(QStringLiteral("副檔名"), TabSheet3);
    GroupBox1->setGeometry(8, 2, 361, 72);
    Label9 = label(GroupBox1, QStringLiteral("設定開啟/儲存字典檔檔案時所使用的名稱的副檔名。"), 10, 20);
    Label10 = label(GroupBox1, QStringLiteral("副檔名："), 10, 46);
    Ext = new QLineEdit(GroupBox1);
    Ext->setGeometry(58, 42, 40, 21);
    Ext->setMaxLength(3);
    Label11 = label(GroupBox1, QStringLiteral("有關這個副檔名的描述："), 110, 46);
    ExtDesc = new QLineEdit(GroupBox1);
    ExtDesc->setGeometry(244, 42, 107, 21);

    GroupBox2 = new QGroupBox(QStringLiteral("熱鍵"), TabSheet3);
    GroupBox2->setGeometry(8, 78, 361, 72);
    Label8 = new QLabel(QStringLiteral("在「字典檔維護」選項內，按下[熱鍵]插入的熱鍵前要不要加空白。"), GroupBox2);
    Label8->setWordWrap(true);
    Label8->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label8->setGeometry(10, 20, 341, 30);
    AddSpace = new QCheckBox(QStringLiteral("熱鍵前加空白"), GroupBox2);
    AddSpace->setGeometry(10, 50, 200, 18);

    GroupBox3 = new QGroupBox(QStringLiteral("字型"), TabSheet3);
    GroupBox3->setGeometry(8, 154, 361, 50);
    Label12 = label(GroupBox3, QStringLiteral("字串欄顯示行數："), 10, 24);
    StrLineNo = new QLineEdit(GroupBox3);
    StrLineNo->setGeometry(110, 20, 28, 21);
    StrLineNo->setReadOnly(true);
    StrLineNo->installEventFilter(this);
    UpDown1 = new TUpDown(GroupBox3);
    UpDown1->setGeometry(138, 20, 16, 21);
    UpDown1->setRange(1, 4);
    connect(UpDown1, &TUpDown::stepped, this, &TSettings::UpDown1Changed);
    Button2 = button(GroupBox3, QStringLiteral("「字串」欄字型..."), 200, 19, 151, 23);
    connect(Button2, &QPushButton::clicked, this, &TSettings::Button2Click);

    Button7 = button(this, QStringLiteral("確定"), 224, 264, 75, 25);
    Button8 = button(this, QStringLiteral("取消"), 304, 264, 75, 25);
    connect(Button7, &QPushButton::clicked, this, &TSettings::Button7Click);
    connect(Button8, &QPushButton::clicked, this, &TSettings::Button8Click);
    // Enter presses the button that has the focus, and 確定 from anywhere
    // else; Escape is 取消.
    Button7->setDefault(true);

    CentreOnScreen(this);
}

void TSettings::SetStringAreaHost(StringAreaHost *host)
{
    Host = host;
}

void TSettings::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TSettings::FormShow()
{
    PC->setCurrentWidget(TabSheet1);
    PerlTxt->setText(RegDat.PerlPath);
    QLineEdit *edits[5] = {P1, P2, P3, P4, P5};
    for (int row = 0; row < 5; ++row)
        edits[row]->setText(*customFolder(row));
    Ext->setText(RegDat.DicExt);
    ExtDesc->setText(RegDat.DicExtDescription);
    UpDown1->setPosition(RegDat.NoOfLines);
    StrLineNo->setText(QString::number(RegDat.NoOfLines));

    if (RegDat.UseCustomDefaultPath) {
        Custom->setChecked(true);
        Panel2->show();
    } else {
        LastUse->setChecked(true);
        Panel2->hide();
    }
    AddSpace->setChecked(RegDat.InsertSpace);

    if (!RegDat.UserFont.isEmpty())
        FD.setFamily(RegDat.UserFont);
    if (RegDat.UserSize > 0)
        FD.setPointSize(RegDat.UserSize);
}

void TSettings::Button1Click()
{
    if (OD.Execute(this))
        PerlTxt->setText(OD.FileName);
}

void TSettings::LClick(int row)
{
    QLineEdit *edits[5] = {P1, P2, P3, P4, P5};
    TBrowseForFolderDialog picker;
    picker.SetPrompt(QString::fromUtf16(FolderPrompts[row]));
    if (picker.Execute())
        edits[row]->setText(picker.GetPath());
}

void TSettings::LastUseClick()
{
    Panel2->hide();
}

void TSettings::CustomClick()
{
    Panel2->show();
}

void TSettings::UpDown1Changed(int position)
{
    StrLineNo->setText(QString::number(position));
}

bool TSettings::eventFilter(QObject *watched, QEvent *event)
{
    // The arrow keys in the line-count edit step it like its spin buttons.
    if (watched == StrLineNo && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            UpDown1->stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TSettings::Button2Click()
{
    if (Host) {
        FD = Host->StringFont();
        if (FD.pointSize() <= 0)
            FD.setPointSize(pointsOf(FD));
    }
    if (!ChooseFont(FD, this))
        return;
    if (!Host)
        return;
    Host->ApplyStringFont(FD);
    // The window first shows the new font; the string area is fitted to it a
    // moment later, without holding up the event loop meanwhile.
    QTimer::singleShot(ArrangeDelayMs, this, [this] {
        if (Host)
            Host->ArrangeStringArea();
    });
}

void TSettings::Button7Click()
{
    RegDat.PerlPath = PerlTxt->text();
    QLineEdit *edits[5] = {P1, P2, P3, P4, P5};
    for (int row = 0; row < 5; ++row)
        *customFolder(row) = edits[row]->text();
    RegDat.DicExt = Ext->text();
    RegDat.DicExtDescription = ExtDesc->text();
    RegDat.NoOfLines = static_cast<std::uint8_t>(StrLineNo->text().toInt() & 0xFF);
    RegDat.UserFont = FD.family();
    RegDat.UserSize = pointsOf(FD);
    RegDat.UseCustomDefaultPath = Custom->isChecked();
    RegDat.InsertSpace = AddSpace->isChecked();

    accept();

    const SettingsResult saved = SaveSettings();
    if (!saved.ok) {
        ReportError(saved.error);
        return;
    }
    DictionaryFilter = BuildDictionaryFilter();
    if (Host)
        Host->ArrangeStringArea();
}

void TSettings::Button8Click()
{
    reject();
}
