#include "convert/tdict3.h"

#include "convert/previewwindow.h"
#include "convert/reportwindow.h"
#include "convert/runner.h"
#include "convert/runwindows.h"
#include "convert/suggest.h"
#include "convert/tdict1.h"
#include "document/document.h"
#include "files/filename.h"
#include "platform/codepage.h"
#include "platform/fonts.h"
#include "platform/windowplacement.h"
#include "settings/settings.h"
#include "widgets/artwork.h"
#include "widgets/twiatile.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

using namespace ConversionWindow;

TDict3::TDict3(DictionaryDocument &document, QWidget *parent)
    : QWidget(parent), Document(document), pl(TranslationTemplate())
{
    SetUpWindow(this, QStringLiteral("翻譯新版本"), 402, 319);

    wiaTile1 = new TwiaTile(this);
    wiaTile1->setImage(Artwork::BackgroundTile(Artwork::Background::Conversion).toImage());
    wiaTile1->setTileMode(tmNormal);
    wiaTile1->setGeometry(0, 0, 402, 319);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 385, 49);

    Label1 = new QLabel(QStringLiteral("當新版本出現時，可使用翻譯新版本功能，將舊有版本的字典檔套用到新版本的Resource檔上。"),
                        this);
    Label1->setFont(MingFont(16));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(16, 16, 358, 41);

    T1 = PathField(this, 8, 104);
    Label3 = Caption(this, QStringLiteral("程式字典檔位置 :"), 8, 80, T1, QLatin1Char('D'));
    B1 = ImageButton(this, QRect(320, 104, 33, 22), Artwork::BrowseIcon(), QStringLiteral("瀏覽..."),
                     QKeySequence(Qt::ALT | Qt::Key_1));
    EditDict = ImageButton(this, QRect(360, 104, 33, 22), Artwork::EditDictIcon(), QStringLiteral("編輯字典檔"),
                           QKeySequence(Qt::ALT | Qt::Key_E));

    T2 = PathField(this, 8, 160);
    Label2 = Caption(this, QStringLiteral("新版本來源Resource檔 (英文版本) :"), 8, 136, T2, QLatin1Char('S'));
    B2 = ImageButton(this, QRect(320, 160, 33, 22), Artwork::BrowseIcon(), QStringLiteral("瀏覽..."),
                     QKeySequence(Qt::ALT | Qt::Key_2));

    T3 = PathField(this, 8, 216);
    Label4 = Caption(this, QStringLiteral("翻譯後 (中文版本) 的RC 檔 :"), 8, 192, T3, QLatin1Char('T'));
    B3 = ImageButton(this, QRect(320, 216, 33, 22), Artwork::BrowseIcon(), QStringLiteral("瀏覽..."),
                     QKeySequence(Qt::ALT | Qt::Key_3));

    SizeChange = new QCheckBox(this);
    SizeChange->setGeometry(8, 247, 13, 15);
    SizeChange->setChecked(false); // never taken from the settings

    // The mnemonic on the caption toggles the box, as a click on it does.
    Label5 = new QLabel(WithMnemonic(QStringLiteral("字體轉為細明體 9"), QLatin1Char('F')), this);
    Label5->setBuddy(SizeChange);
    Label5->setFont(MingFont(12));
    // Sized to its text like the other labels: the face standing in for
    // 新細明體 may be wider than the one the 93 x 12 design was made with.
    Label5->move(24, 248);
    Label5->adjustSize();
    Label5->resize(qMax(Label5->width(), 93), qMax(Label5->height(), 12));
    Label5->installEventFilter(this);

    // In the free room right of the font switch, above the start button.
    Retarget = new QCheckBox(WithMnemonic(QStringLiteral("LANGUAGE 改為繁體中文"), QLatin1Char('L')), this);
    Retarget->setFont(MingFont(12));
    Retarget->setToolTip(QStringLiteral(
        "把翻譯後RC檔中宣告英文的 LANGUAGE 行改為 LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL，"
        "並把 #pragma code_page 改為寫出的編碼（Big5 為 950，UTF-8 為 65001）"));
    Retarget->setChecked(false);
    Retarget->move(160, 246);
    Retarget->adjustSize();

    // Below the font switch, above the switch buttons.
    Adapt = new QCheckBox(QStringLiteral("寫入調整後的譯文(&A)"), this);
    Adapt->setFont(MingFont(12));
    Adapt->setToolTip(QStringLiteral("字典檔的原文除去熱鍵、快速鍵、結尾與大小寫後與新文字相同時，"
                                     "把換上新熱鍵、快速鍵與結尾的譯文也寫入翻譯後的RC檔；近似譯文不寫入"));
    Adapt->setChecked(false);
    Adapt->move(8, 263);
    Adapt->adjustSize();

    SpeedButton4 = StartButton(this, QRect(262, 269, 131, 33));
    // Wider than designed and further left: the mnemonics need the room.
    SpeedButton6 = SwitchButton(this, QRect(4, 280, 84, 22), QStringLiteral("製作字典檔"), QLatin1Char('K'));
    SpeedButton5 = SwitchButton(this, QRect(90, 280, 84, 22), QStringLiteral("字典檔維護"), QLatin1Char('M'));
    Encoding = EncodingBox(this, QRect(176, 280, 84, 22));
    RunIndicator(this, RunKind::Translation, SpeedButton4, RunLine, StopButton, Encoding);
    // Beside the new English version it is compared with.
    OldButton = SwitchButton(this, QRect(316, 136, 77, 20), QStringLiteral("舊版本"), QLatin1Char('O'));
    OldButton->setCheckable(true);
    OldButton->setToolTip(QStringLiteral("選擇舊版本的英文RC檔，依識別字比較兩個版本（可不選）"));
    // Beside the output it shows, once a run has written one.
    PreviewButton = SwitchButton(this, QRect(316, 192, 77, 20), QStringLiteral("預覽"), QLatin1Char('V'));
    PreviewButton->setToolTip(QStringLiteral("上次翻譯寫出的RC檔中每個對話框與選單的樣子"));
    PreviewButton->hide();

    ChainTabOrder({T1, B1, EditDict, T2, B2, OldButton, T3, B3, PreviewButton, SizeChange, Retarget, Adapt, SpeedButton6, SpeedButton5, Encoding,
                   SpeedButton4, StopButton});

    DD.Title = QStringLiteral("開啟字典檔");
    DD.Options = OpenOptions();
    OD.Title = QStringLiteral("新版本來源 Resource 檔");
    OD.Filter = ResourceFilter();
    OD.DefaultExt = ResourceDefaultExt();
    OD.Options = OpenOptions();
    OldD.Title = QStringLiteral("舊版本的英文 Resource 檔");
    OldD.Filter = ResourceFilter();
    OldD.DefaultExt = ResourceDefaultExt();
    OldD.Options = OpenOptions();
    SD.Title = QStringLiteral("儲存RC檔");
    SD.Filter = ResourceFilter();
    SD.DefaultExt = ResourceDefaultExt();
    SD.Options = SaveOptions();

    connect(B1, &QToolButton::clicked, this, &TDict3::B1Click);
    connect(B2, &QToolButton::clicked, this, &TDict3::B2Click);
    connect(B3, &QToolButton::clicked, this, &TDict3::B3Click);
    connect(EditDict, &QToolButton::clicked, this, &TDict3::EditDictClick);
    connect(SpeedButton4, &QToolButton::clicked, this, &TDict3::SpeedButton4Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &TDict3::SpeedButton5Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &TDict3::SpeedButton6Click);
    connect(PreviewButton, &QToolButton::clicked, this, &TDict3::PreviewClick);
    connect(OldButton, &QToolButton::clicked, this, &TDict3::OldButtonClick);
    // The runs it starts are shown in the progress window and message boxes,
    // and their reports here.
    ShowRunsInWindows(scriptRunner());
    connect(&scriptRunner(), &ScriptRunner::RunEnded, this, &TDict3::TranslationEnded);
}

void TDict3::showEvent(QShowEvent *event)
{
    if (!shownBefore) {
        shownBefore = true;
        CentreOnScreen(this);
    }
    QWidget::showEvent(event);
}

void TDict3::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // The report belongs to this window: it goes when the window is left.
    if (!event->spontaneous() && Report)
        Report->hide();
}

bool TDict3::eventFilter(QObject *watched, QEvent *event)
{
    // Every press of the button on the label toggles the box once: a double
    // click arrives as a press and then a double-click press, two toggles.
    if (watched == Label5) {
        if (event->type() == QEvent::MouseButtonPress
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            Label5Click();
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            Label5DblClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TDict3::SetDictionary(const QString &path)
{
    T1->setText(path);
}

void TDict3::B1Click()
{
    // The file name is kept: the previous choice is offered again.
    DD.Filter = DictionaryFilter;
    DD.DefaultExt = QStringLiteral("*.") + RegDat.DicExt;
    Browse(DD, this, T1, RegDat.DictDefPath, RegDat.DictLUPath);
}

void TDict3::B2Click()
{
    OD.FileName.clear();
    Browse(OD, this, T2, RegDat.NewVerRCDefPath, RegDat.NewRCPath);
}

void TDict3::OldButtonClick()
{
    OldD.FileName.clear();
    OldEnglish.clear();
    if (OldD.Execute(this))
        OldEnglish = OldD.FileName;
    OldButton->setChecked(!OldEnglish.isEmpty());
    OldButton->setToolTip(OldEnglish.isEmpty()
                              ? QStringLiteral("選擇舊版本的英文RC檔，依識別字比較兩個版本（可不選）")
                              : QStringLiteral("與舊版本「%1」依識別字比較；再按一次可改選或取消").arg(OldEnglish));
}

void TDict3::B3Click()
{
    SD.FileName.clear();
    Browse(SD, this, T3, RegDat.NewVerTranlatedRCDefPath, RegDat.NewRCTransLUPath);
}

void TDict3::SpeedButton4Click()
{
    // The run reads a dictionary: not while the open one is loaded or saved.
    if (!Document.Available())
        return;
    if (!TakeTypedPaths(this, {{T1, QStringLiteral("字典檔")}, {T2, QStringLiteral("新版本來源Resource檔")},
                               {T3, QStringLiteral("翻譯後的RC檔"), true}}))
        return;
    TranslationPaths paths;
    paths.T1 = PathBytes(T1->text());
    paths.T2 = PathBytes(T2->text());
    paths.T3 = PathBytes(T3->text());
    paths.SizeChange = SizeChange->isChecked();
    RunSetup setup = CurrentRunSetup();
    setup.Translation.Retarget = Retarget->isChecked();
    setup.Translation.Encoding = ChosenEncoding(Encoding);
    setup.Translation.Adapt = Adapt->isChecked();
    setup.Translation.OldEnglish = OldEnglish.isEmpty() ? std::string() : PathBytes(OldEnglish);
    if (scriptRunner().RunTranslation(pl, paths, setup).Reached == RunStep::Refused)
        FocusFirstEmpty({T1, T2, T3});
}

void TDict3::TranslationEnded(const RunEnd &end)
{
    if (end.Kind != RunKind::Translation || !end.Translation)
        return;
    const TranslationReport &report = *end.Translation;
    ReportedDictionary = end.Dictionary;
    NewTexts = TextsForDictionary(report);
    NewSuggestions = SuggestionsForDictionary(report);
    if (!Report) {
        Report = new RunReportWindow(this);
        connect(Report->Offer, &QPushButton::clicked, this, &TDict3::AddTextsClick);
        connect(Report->Preview, &QPushButton::clicked, this, &TDict3::PreviewClick);
        connect(Report->ApplyFixes, &QPushButton::clicked, this, &TDict3::ApplyFixesClick);
        Report->Preview->show();
    }
    PreviewedScript = end.Output;
    PreviewedEnglish = report.Script.Path;
    PreviewButton->show();
    QString text = RenderTranslationReport(report);
    for (const LanguageLine &l : report.Language) {
        if (l.After.isEmpty()) {
            text += QStringLiteral("勾選「%1」再翻譯一次，可把這些行改為中文的宣告。\n").arg(QStringLiteral("LANGUAGE 改為繁體中文"));
            break;
        }
    }
    QString offer, hint;
    if (!NewTexts.empty()) {
        offer = QStringLiteral("加入字典檔");
        hint = QStringLiteral("把字典檔沒有的 %1 個文字以原文為譯文加入字典檔「%2」，"
                              "並在字典檔維護中從第一個開始，以「跳至下一個未翻譯的句子」逐一翻譯")
                   .arg(QString::number(NewTexts.size()), PathFromBytes(ReportedDictionary));
    }
    Report->ShowReport(QStringLiteral("翻譯新版本的結果"), TranslationSummary(report), TranslationWarns(report), text,
                       offer, hint);
    // Each text of a clash with a free letter, once; a text that already
    // has its English letter keeps it, and the others of its clash give way.
    ClashFixes.clear();
    const auto sameLetter = [](const std::string &a, const std::string &b) { return !a.empty() && a == b; };
    for (const ScriptFinding &f : report.Findings) {
        if (f.Kind != CheckKind::HotkeyClash || f.Fix.isEmpty() || f.Source.empty())
            continue;
        const std::optional<std::string> translated = cp950::encode(f.Text);
        if (translated && sameLetter(HotkeyLetterOf(*translated), HotkeyLetterOf(f.Source)))
            continue;
        const bool known = std::any_of(ClashFixes.begin(), ClashFixes.end(),
                                       [&f](const auto &fix) { return fix.first == f.Source; });
        if (!known)
            ClashFixes.emplace_back(f.Source, f.Fix);
    }
    Report->ApplyFixes->setVisible(!ClashFixes.empty() && ApplyFixes);
    Report->ApplyFixes->setEnabled(true);
    Report->ApplyFixes->setToolTip(QStringLiteral("在字典檔「%1」中把 %2 個熱鍵衝突的譯文換成建議的熱鍵（可復原），再翻譯一次即可")
                                       .arg(PathFromBytes(ReportedDictionary), QString::number(ClashFixes.size())));
}

void TDict3::ApplyFixesClick()
{
    if (ClashFixes.empty() || !ApplyFixes)
        return;
    if (ApplyFixes(PathFromBytes(ReportedDictionary), ClashFixes) == 0)
        return;
    ClashFixes.clear();
    Report->ApplyFixes->setEnabled(false);
    // As the switch to the maintenance window does; the report goes with it.
    hide();
}

void TDict3::AddTextsClick()
{
    if (NewTexts.empty() || !AddToDictionary)
        return;
    const AddedTexts added = AddToDictionary(PathFromBytes(ReportedDictionary), NewTexts, NewSuggestions);
    if (added.Refused)
        return;
    NewTexts.clear();
    NewSuggestions.clear();
    if (Report)
        Report->EndOffer();
    // As the switch to the maintenance window does; the report goes with it.
    hide();
}

void TDict3::PreviewClick()
{
    if (!Preview) {
        Preview = new PreviewWindow(this);
        Preview->OpenEntry = [this](const std::string &source) {
            if (ShowEntry)
                ShowEntry(PathFromBytes(ReportedDictionary), source);
        };
    }
    Preview->ShowScripts(FileName::fromNative(QByteArray::fromStdString(PreviewedScript)),
                         PreviewedEnglish.isEmpty() ? std::nullopt : std::optional<FileName>(FileName(PreviewedEnglish)));
    Preview->show();
}

void TDict3::EditDictClick()
{
    const QString dictionary = T1->text();
    if (dictionary.isEmpty())
        return;
    if (!WaitUntilWritten(this, Document, dictionary))
        return;
    if (OpenEditor && OpenEditor(dictionary))
        hide();
}

void TDict3::SpeedButton5Click()
{
    if (OpenEditor)
        OpenEditor(QString());
    hide();
}

void TDict3::SpeedButton6Click()
{
    if (ShowMakeDictionary)
        ShowMakeDictionary();
    hide();
}

void TDict3::Label5Click()
{
    SizeChange->toggle();
}

void TDict3::Label5DblClick()
{
    SizeChange->toggle();
}
