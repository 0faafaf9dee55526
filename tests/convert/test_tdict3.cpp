// The translate-new-version window driven as the user would: dialogs
// answered by the test, runs recorded instead of starting perl.

#include "convert/tdict3.h"
#include "support/shots.h"
#include "window_recorders.h"

#include "convert/encoding.h"
#include "convert/previewwindow.h"
#include "convert/rcreader.h"
#include "convert/reportwindow.h"
#include "platform/codepage.h"
#include "widgets/twiatile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QLineEdit>
#include <QSet>
#include <QTest>
#include <QToolButton>
#include <QWindow>

class TestTDict3 : public QObject, public ConversionWindowTest<TDict3> {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controlsAsDesigned();
    void browseButtons();
    void browseStartFolderRule();
    void cancelledBrowseChangesNothing();
    void fontSwitchLabelTogglesPerPress();
    void emptyFieldRefused();
    void everyControlByKeyboard();
    void sameResourcePathsRefused();
    void runWritesScriptAndStartsInterpreter();
    void secondRunRefusedWhileInterpreterWorks();
    void switches();
    void editDictionaryRules();
    void filesRefusedBeforeTheRun();
    void utf16AndBig5ScriptsWithTheInterpreter();
    void retargetWithTheInterpreter();
    void encodingChosenByKeyboard();
    void newTextsIntoTheirDictionaryFile();
    void newTextsIntoTheOpenDictionary();
    void previewFromTheReport();
    void newTextsComeWithTheirSuggestions();
    void oldVersionComparedByIdentifier();
    void rendering();

private:
    void choose(const QString &t1, const QString &t2, const QString &t3)
    {
        MakeFileToOpen(t1);
        MakeFileToOpen(t2);
        dialogs->answers = {t1, t2, t3};
        window->B1Click();
        window->B2Click();
        window->B3Click();
    }

    // A dictionary and a new English script in the working folder, and the
    // translated script to write there; the fields filled as the user would.
    void prepare(const QByteArray &dictionary, const QByteArray &script)
    {
        setting->write(QStringLiteral("dict.txt"), dictionary);
        setting->write(QStringLiteral("new.rc"), script);
        dialogs->answers = {setting->path(QStringLiteral("dict.txt")), setting->path(QStringLiteral("new.rc")),
                            setting->path(QStringLiteral("out.rc"))};
        window->B1Click();
        window->B2Click();
        window->B3Click();
    }
    QString reportText() const { return window->Report ? window->Report->Text->toPlainText() : QString(); }
};

namespace {

// A menu of four texts: the dictionary below knows "&Open" only; "Zoom"
// comes before "&Close" in the script and sorts after it.
const QByteArray NewVersion = "// Microsoft Visual C++\r\n"
                              "IDR_MAIN MENU\r\n"
                              "BEGIN\r\n"
                              "    MENUITEM \"Zoom\", 1\r\n"
                              "    MENUITEM \"&Open\", 2\r\n"
                              "    MENUITEM \"&Close\", 3\r\n"
                              "    MENUITEM \"Zoom\", 4\r\n"
                              "END\r\n";

} // namespace

void TestTDict3::init()
{
    setUpWindow();
}

void TestTDict3::cleanup()
{
    tearDownWindow();
}

void TestTDict3::controlsAsDesigned()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("翻譯新版本"));
    QCOMPARE(window->size(), QSize(402, 319));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QCOMPARE(window->wiaTile1->geometry(), QRect(0, 0, 402, 319));
    QCOMPARE(window->wiaTile1->TileMode(), tmNormal);
    QCOMPARE(window->Bevel1->geometry(), QRect(8, 8, 385, 49));
    QCOMPARE(window->Label1->text(),
             QStringLiteral("當新版本出現時，可使用翻譯新版本功能，將舊有版本的字典檔套用到新版本的Resource檔上。"));
    QCOMPARE(window->Label3->text(), QStringLiteral("程式字典檔位置(&D) :"));
    QCOMPARE(window->Label2->text(), QStringLiteral("新版本來源Resource檔 (英文版本)(&S) :"));
    QCOMPARE(window->Label4->text(), QStringLiteral("翻譯後 (中文版本) 的RC 檔(&T) :"));
    QCOMPARE(window->Label4->pos(), QPoint(8, 192));
    QCOMPARE(window->T1->geometry(), QRect(8, 104, 305, 20));
    QCOMPARE(window->EditDict->geometry(), QRect(360, 104, 33, 22));
    QCOMPARE(window->EditDict->toolTip(), QStringLiteral("編輯字典檔 (Alt+E)"));
    QCOMPARE(window->B3->geometry(), QRect(320, 216, 33, 22));
    for (QLineEdit *field : {window->T1, window->T2, window->T3})
        QVERIFY(!field->isReadOnly()); // a path may be typed or pasted
    QCOMPARE(window->SizeChange->geometry(), QRect(8, 247, 13, 15));
    QVERIFY(!window->SizeChange->isChecked());
    QVERIFY(window->SizeChange->text().isEmpty());
    QCOMPARE(window->Label5->text(), QStringLiteral("字體轉為細明體 9(&F)"));
    QCOMPARE(window->Label5->pos(), QPoint(24, 248));
    QVERIFY(window->Label5->width() >= 93);
    QCOMPARE(window->Label5->font().pixelSize(), 12);
    // Wider than designed: the caption with its key is shown whole, as are the links'.
    QCOMPARE(window->SpeedButton4->geometry(), QRect(262, 269, 131, 33));
    QVERIFY(window->SpeedButton4->sizeHint().width() <= window->SpeedButton4->width());
    for (QToolButton *b : {window->SpeedButton5, window->SpeedButton6})
        QVERIFY2(b->fontMetrics().horizontalAdvance(QString(b->text()).remove(QLatin1Char('&'))) + 4 <= b->width(),
                 qPrintable(b->text()));
    QCOMPARE(window->SpeedButton6->text(), QStringLiteral("製作字典檔(&K)"));
    QCOMPARE(window->SpeedButton6->geometry(), QRect(4, 280, 84, 22));
    QCOMPARE(window->SpeedButton5->text(), QStringLiteral("字典檔維護(&M)"));
    QCOMPARE(window->SpeedButton5->palette().color(QPalette::ButtonText), QColor(0, 0, 125));
    QCOMPARE(window->pl.size(), std::size_t(134));

    // The retarget switch, clear at start, in free room right of the font
    // switch: inside the window and over no other control.
    QVERIFY(!window->Retarget->isChecked());
    const QRect box = window->Retarget->geometry();
    QVERIFY(QRect(0, 0, 402, 319).contains(box));
    for (QWidget *w : std::initializer_list<QWidget *>{window->Label5, window->SizeChange, window->T3, window->B3,
                                                        window->SpeedButton4, window->SpeedButton5, window->SpeedButton6})
        QVERIFY2(!box.intersects(w->geometry()), qPrintable(w->objectName()));
    QCOMPARE(NextTabStop(window->SizeChange), window->Retarget);
}

void TestTDict3::browseButtons()
{
    RegDat.DictLUPath = QStringLiteral("/last/dict");
    RegDat.NewRCPath = QStringLiteral("/last/new");
    RegDat.NewRCTransLUPath = QStringLiteral("/last/out");
    window->OD.FileName = QStringLiteral("/earlier/new.rc");
    window->SD.FileName = QStringLiteral("/earlier/out.rc");
    dialogs->answers = {QStringLiteral("/d/app.txt"), QStringLiteral("/rc v2/en.rc"), QStringLiteral("/out/zh.rc"),
                        QStringLiteral("/d2/other.txt")};
    window->B1Click();
    window->B2Click();
    window->B3Click();
    window->B1Click();

    const FileDialog &dd = dialogs->shown.at(0);
    QCOMPARE(dd.DialogKind, FileDialog::Kind::Open);
    QCOMPARE(dd.Title, QStringLiteral("開啟字典檔"));
    QCOMPARE(dd.Filter, QStringLiteral("文字檔 (*.txt)|*.txt|所有檔案 (*.*)|*.*"));
    QCOMPARE(dd.DefaultExt, QStringLiteral("*.txt"));
    QCOMPARE(dd.InitialDir, QStringLiteral("/last/dict"));
    QVERIFY(dd.Options & FileDialog::FileMustExist);
    const FileDialog &od = dialogs->shown.at(1);
    QCOMPARE(od.Title, QStringLiteral("新版本來源 Resource 檔"));
    QCOMPARE(od.Filter, QStringLiteral("Resource 檔 (*.rc)|*.rc|所有檔案 (*.*)|*.*"));
    QCOMPARE(od.DefaultExt, QStringLiteral("*.rc"));
    QCOMPARE(od.InitialDir, QStringLiteral("/last/new"));
    QVERIFY(od.FileName.isEmpty());
    QVERIFY(od.Options & FileDialog::FileMustExist);
    const FileDialog &sd = dialogs->shown.at(2);
    QCOMPARE(sd.DialogKind, FileDialog::Kind::Save);
    QCOMPARE(sd.Title, QStringLiteral("儲存RC檔"));
    QCOMPARE(sd.Filter, QStringLiteral("Resource 檔 (*.rc)|*.rc|所有檔案 (*.*)|*.*"));
    QCOMPARE(sd.DefaultExt, QStringLiteral("*.rc"));
    QCOMPARE(sd.InitialDir, QStringLiteral("/last/out"));
    QVERIFY(sd.FileName.isEmpty());
    QVERIFY(sd.Options & FileDialog::OverwritePrompt);
    QVERIFY(!(sd.Options & FileDialog::FileMustExist));
    // The dictionary dialog offers its previous choice again.
    QCOMPARE(dialogs->shown.at(3).FileName, QStringLiteral("/d/app.txt"));
    QCOMPARE(dialogs->shown.at(3).InitialDir, QStringLiteral("/d"));

    QCOMPARE(window->T1->text(), QStringLiteral("/d2/other.txt"));
    QCOMPARE(window->T2->text(), QStringLiteral("/rc v2/en.rc"));
    QCOMPARE(window->T3->text(), QStringLiteral("/out/zh.rc"));
    QCOMPARE(RegDat.DictLUPath, QStringLiteral("/d2"));
    QCOMPARE(RegDat.NewRCPath, QStringLiteral("/rc v2"));
    QCOMPARE(RegDat.NewRCTransLUPath, QStringLiteral("/out"));
}

void TestTDict3::browseStartFolderRule()
{
    RegDat.UseCustomDefaultPath = true;
    RegDat.DictDefPath.clear();
    RegDat.DictLUPath = QStringLiteral("/last/dict");
    RegDat.NewVerRCDefPath = QStringLiteral("/custom/new");
    RegDat.NewVerTranlatedRCDefPath = QStringLiteral("/custom/out");
    window->DD.InitialDir = QStringLiteral("/from/before");
    dialogs->answers = {QString(), QString(), QString()};
    window->B1Click();
    window->B2Click();
    window->B3Click();
    QCOMPARE(dialogs->shown.at(0).InitialDir, QStringLiteral("/from/before")); // an empty custom folder keeps it
    QCOMPARE(dialogs->shown.at(1).InitialDir, QStringLiteral("/custom/new"));
    QCOMPARE(dialogs->shown.at(2).InitialDir, QStringLiteral("/custom/out"));

    RegDat.UseCustomDefaultPath = false;
    RegDat.NewRCPath.clear();
    dialogs->shown.clear();
    dialogs->answers = {QString(), QString()};
    window->B1Click();
    window->B2Click();
    QCOMPARE(dialogs->shown.at(0).InitialDir, QStringLiteral("/last/dict"));
    QCOMPARE(dialogs->shown.at(1).InitialDir, QString());
}

void TestTDict3::cancelledBrowseChangesNothing()
{
    window->T2->setText(QStringLiteral("/keep/en.rc"));
    RegDat.NewRCPath = QStringLiteral("/keep");
    dialogs->answers = {QString()};
    window->B2Click();
    QCOMPARE(dialogs->shown.size(), qsizetype(1));
    QCOMPARE(window->T2->text(), QStringLiteral("/keep/en.rc"));
    QCOMPARE(RegDat.NewRCPath, QStringLiteral("/keep"));
}

void TestTDict3::fontSwitchLabelTogglesPerPress()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QWindow *handle = window->windowHandle();
    const QPoint onLabel = window->Label5->geometry().center();

    // Through the window system, as real input arrives.
    QTest::mouseClick(handle, Qt::LeftButton, {}, onLabel);
    QVERIFY(window->SizeChange->isChecked());
    QTest::mouseClick(handle, Qt::LeftButton, {}, onLabel);
    QVERIFY(!window->SizeChange->isChecked());
    QTest::mouseDClick(handle, Qt::LeftButton, {}, onLabel); // press, release, press: two toggles
    QVERIFY(!window->SizeChange->isChecked());
    QTest::mouseClick(handle, Qt::RightButton, {}, onLabel);
    QVERIFY(!window->SizeChange->isChecked());

    // The box itself still takes clicks.
    QTest::mouseClick(window->SizeChange, Qt::LeftButton);
    QVERIFY(window->SizeChange->isChecked());
}

void TestTDict3::emptyFieldRefused()
{
    window->T1->setText(setting->path(QStringLiteral("d.txt")));
    window->T3->setText(setting->path(QStringLiteral("out.rc")));
    window->SpeedButton4->click();

    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.at(0).text, QStringLiteral("資料未輸入妥當：「新版本來源Resource檔」沒有填。"));
    QCOMPARE(window->focusWidget(), window->T2);
    QCOMPARE(messages->messages.at(0).caption, QStringLiteral("錯誤"));
    QCOMPARE(progressLog->log,
             QStringList({QStringLiteral("pos 0"), QStringLiteral("text 檢查檔案路徑及資料.."), QStringLiteral("show"),
                          QStringLiteral("text 製作失敗"), QStringLiteral("close"), QStringLiteral("pos 0")}));
    QVERIFY(launches->commands.isEmpty());
    QVERIFY(!QFile::exists(setting->path(QStringLiteral("TRANS.PL"))));
}

void TestTDict3::everyControlByKeyboard()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    TDict3 &w = *window;
    QCOMPARE(TabbedThrough(w.T1, 15),
             (QList<QWidget *>{w.T1, w.B1, w.EditDict, w.T2, w.B2, w.OldButton, w.T3, w.B3, w.SizeChange, w.Retarget,
                               w.Adapt, w.SpeedButton6, w.SpeedButton5, w.Encoding, w.SpeedButton4, w.T1}));
    const QList<QKeySequence> keys = WindowKeys(window.get());
    QCOMPARE(keys.size(), 14); // 停止 and 預覽 hidden
    QCOMPARE(QSet<QKeySequence>(keys.begin(), keys.end()).size(), keys.size());

    QTest::keyClick(window.get(), Qt::Key_S, Qt::AltModifier);
    QCOMPARE(w.focusWidget(), w.T2);
    // The font switch's caption toggles the box, once per press.
    QTest::keyClick(window.get(), Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(w.SizeChange->isChecked());
    QTest::keyClick(window.get(), Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(!w.SizeChange->isChecked());
    QTest::keyClick(window.get(), Qt::Key_L, Qt::AltModifier);
    QTRY_VERIFY(w.Retarget->isChecked());

    // Typed paths run as chosen ones; a typed output that exists is asked about.
    setting->write(QStringLiteral("d.txt"), "Open\r\n開啟\r\n");
    setting->write(QStringLiteral("new.rc"), NewVersion);
    setting->write(QStringLiteral("out.rc"), "old\r\n");
    QTest::keyClick(window.get(), Qt::Key_D, Qt::AltModifier);
    QTest::keyClicks(w.T1, setting->path(QStringLiteral("d.txt")));
    QTest::keyClick(window.get(), Qt::Key_S, Qt::AltModifier);
    QTest::keyClicks(w.T2, QStringLiteral("'%1'").arg(setting->path(QStringLiteral("new.rc"))));
    QTest::keyClick(window.get(), Qt::Key_T, Qt::AltModifier);
    QTest::keyClicks(w.T3, setting->path(QStringLiteral("out.rc")));
    messages->questionAnswer = false;
    QTest::keyClick(window.get(), Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.at(0).kind, QStringLiteral("question"));
    QCOMPARE(w.focusWidget(), w.T3);
    QVERIFY(launches->commands.isEmpty());
    messages->questionAnswer = true;
    QTest::keyClick(window.get(), Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(launches->commands.size(), qsizetype(1));
    QCOMPARE(w.T2->text(), setting->path(QStringLiteral("new.rc")));
    QVERIFY(w.StopButton->isVisible());

    // Alt+K, the link to the make-dictionary window.
    launches->finish(0);
    if (w.Report)
        w.Report->hide();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    int shown = 0;
    w.ShowMakeDictionary = [&] { ++shown; };
    QTest::keyClick(window.get(), Qt::Key_K, Qt::AltModifier);
    QTRY_COMPARE(shown, 1);
}

void TestTDict3::sameResourcePathsRefused()
{
    const QString rc = setting->path(QStringLiteral("new.rc"));
    choose(setting->path(QStringLiteral("d.txt")), rc, rc);
    window->SpeedButton4->click();
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.at(0).text, QStringLiteral("新版本RC檔及翻譯後RC檔的路徑不能相同。"));
    QCOMPARE(messages->messages.at(0).caption, QStringLiteral("錯誤"));
    QCOMPARE(progressLog->log.last(), QStringLiteral("pos 0"));
    QVERIFY(launches->commands.isEmpty());
}

void TestTDict3::runWritesScriptAndStartsInterpreter()
{
    const QString dir = setting->path(QStringLiteral("v2 $new"));
    QDir().mkpath(dir);
    choose(dir + QStringLiteral("/字典.txt"), dir + QStringLiteral("/en.rc"), dir + QStringLiteral("/zh@tw.rc"));
    window->Label5Click();
    window->SpeedButton4->click();

    QVERIFY2(messages->messages.isEmpty(), qPrintable(messages->messages.value(0).text));
    QCOMPARE(progressLog->log,
             QStringList({QStringLiteral("pos 0"), QStringLiteral("text 檢查檔案路徑及資料.."), QStringLiteral("show"),
                          QStringLiteral("pos 14"), QStringLiteral("text 處理字款設定.."), QStringLiteral("pos 28"),
                          QStringLiteral("text 處理字典檔.."), QStringLiteral("pos 42"),
                          QStringLiteral("text 處理新版本英文RC檔.."), QStringLiteral("pos 56"),
                          QStringLiteral("text 處理新版本中文RC檔.."), QStringLiteral("pos 60"),
                          QStringLiteral("text 建立pl檔.."), QStringLiteral("pos 80"),
                          QStringLiteral("text 準備執行Perl.."), QStringLiteral("pos 100"),
                          QStringLiteral("text 完成"), QStringLiteral("close"), QStringLiteral("pos 0")}));

    const QString script = setting->path(QStringLiteral("TRANS.PL"));
    const QList<QByteArray> lines = ScriptLines(script);
    QCOMPARE(lines.size(), qsizetype(134));
    const std::string fontLine = cp950::encode(QStringLiteral("$ChangeFont=-1;  # 是:-1 , 否:0")).value() + "\r";
    QCOMPARE(lines.at(11), QByteArray::fromStdString(fontLine));
    const QByteArray escapedDir = QFile::encodeName(setting->work.path()) + "/v2 \\$new";
    QCOMPARE(lines.at(15), "$f1=\"" + escapedDir + "/" + QStringLiteral("字典").toUtf8() + ".txt\";\r");
    QCOMPARE(lines.at(16), "$f2=\"" + escapedDir + "/en.rc\";\r");
    QCOMPARE(lines.at(17), "$f3=\"" + escapedDir + "/zh\\@tw.rc\";\r");

    QCOMPARE(launches->commands.size(), qsizetype(1));
    QCOMPARE(launches->commands.at(0).program, QStringLiteral("/usr/bin/perl"));
    QCOMPARE(launches->commands.at(0).arguments.size(), qsizetype(1));
    QCOMPARE(QFileInfo(launches->commands.at(0).arguments.at(0)).fileName(), QStringLiteral("TRANS.PL"));
    QVERIFY(QFileInfo(launches->commands.at(0).arguments.at(0)).canonicalFilePath()
            != QFileInfo(script).canonicalFilePath());
    QVERIFY(!launches->output().isEmpty());
    QVERIFY(!launches->output().endsWith(QStringLiteral("zh@tw.rc")));

    // The box clear again: the next run writes the other switch line, and
    // the window's template keeps no value of the earlier run.
    launches->finish(0);
    window->Label5Click();
    window->T3->setText(dir + QStringLiteral("/zh2.rc"));
    window->SpeedButton4Click();
    const QList<QByteArray> again = ScriptLines(script);
    const std::string clearLine = cp950::encode(QStringLiteral("$ChangeFont=0;  # 是:-1 , 否:0")).value() + "\r";
    QCOMPARE(again.at(11), QByteArray::fromStdString(clearLine));
    QCOMPARE(again.at(17), "$f3=\"" + escapedDir + "/zh2.rc\";\r");
    QCOMPARE(launches->commands.size(), qsizetype(2));
}

void TestTDict3::secondRunRefusedWhileInterpreterWorks()
{
    choose(setting->path(QStringLiteral("d.txt")), setting->path(QStringLiteral("en.rc")),
           setting->path(QStringLiteral("zh.rc")));
    window->SpeedButton4Click();
    window->SpeedButton4Click();
    QCOMPARE(launches->commands.size(), qsizetype(1));
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.at(0).text, ScriptRunner::StillRunningMessage(RunKind::Translation));
    QCOMPARE(messages->messages.at(0).caption, QStringLiteral("錯誤"));

    launches->finish(0, true);
    QCOMPARE(messages->messages.size(), qsizetype(2));
    QCOMPARE(messages->messages.at(1).text, ScriptRunner::FailedMessage(RunKind::Translation, 0, true));
    window->SpeedButton4Click();
    QCOMPARE(launches->commands.size(), qsizetype(2));
}

void TestTDict3::switches()
{
    window->show();
    bool visibleWhenTargetShown = false;
    window->ShowMakeDictionary = [&] { visibleWhenTargetShown = window->isVisible(); };
    window->SpeedButton6->click();
    QVERIFY(visibleWhenTargetShown);
    QVERIFY(!window->isVisible());

    // "字典檔維護" hides this window even when the user cancels.
    window->show();
    dialogs->answers = {QString()};
    window->SpeedButton5->click();
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.at(0).text, QStringLiteral("使用者取消。"));
    QVERIFY(!window->isVisible());
    QVERIFY(!setting->editor->isVisible());

    // The maintenance window hands its dictionary over.
    window->SetDictionary(QStringLiteral("/d/from-editor.txt"));
    QCOMPARE(window->T1->text(), QStringLiteral("/d/from-editor.txt"));
}

void TestTDict3::editDictionaryRules()
{
    window->show();
    window->EditDict->click(); // empty field: nothing
    QVERIFY(window->isVisible());
    QVERIFY(!setting->editor->isVisible());

    // No test that the file exists: the editor opens and reports.
    const QString missing = setting->path(QStringLiteral("missing.txt"));
    window->T1->setText(missing);
    window->EditDict->click();
    QVERIFY(!window->isVisible());
    QVERIFY(setting->editor->isVisible());
}

void TestTDict3::filesRefusedBeforeTheRun()
{
    // Each told in this window before anything is written or started: a
    // dictionary that is not there, a folder given as the new script, a
    // folder given as the output.
    const QString folder = setting->path(QStringLiteral("a folder.rc"));
    QVERIFY(QDir().mkpath(folder));
    setting->write(QStringLiteral("dict.txt"), "Open\r\n開啟\r\n");
    MakeFileToOpen(setting->path(QStringLiteral("new.rc")));
    const QString missing = setting->path(QStringLiteral("gone.txt"));
    const QStringList t1{missing, setting->path(QStringLiteral("dict.txt")), setting->path(QStringLiteral("dict.txt"))};
    const QStringList t2{setting->path(QStringLiteral("new.rc")), folder, setting->path(QStringLiteral("new.rc"))};
    const QStringList t3{setting->path(QStringLiteral("out.rc")), setting->path(QStringLiteral("out.rc")), folder};
    for (int i = 0; i < 3; ++i) {
        window->T1->setText(t1[i]);
        window->T2->setText(t2[i]);
        window->T3->setText(t3[i]);
        window->SpeedButton4->click();
    }
    QCOMPARE(messages->messages.size(), qsizetype(3));
    QCOMPARE(messages->messages.at(0).text, QStringLiteral("找不到字典檔「%1」。").arg(missing));
    QCOMPARE(messages->messages.at(1).text, QStringLiteral("新版本來源Resource檔「%1」是資料夾，不是檔案。").arg(folder));
    QCOMPARE(messages->messages.at(2).text, QStringLiteral("翻譯後的RC檔「%1」是資料夾，不是檔案。").arg(folder));
    for (const RecordedMessage &m : messages->messages)
        QCOMPARE(m.caption, QStringLiteral("錯誤"));
    QVERIFY(launches->commands.isEmpty());
    QVERIFY(!QFile::exists(setting->path(QStringLiteral("TRANS.PL"))));
    QVERIFY(!window->Report);
}

void TestTDict3::encodingChosenByKeyboard()
{
    launches.reset(); // the real interpreter
    // A Big5 script with LF line ends and Chinese in a comment: it stays
    // Big5, its line ends kept.
    const QByteArray script = Big5(QStringLiteral("// 說明\nIDR_MAIN MENU\nBEGIN\n    POPUP \"&File\"\n    BEGIN\n"
                                                  "        MENUITEM \"&Open\", 1\n    END\nEND\n"));
    prepare(Big5(QStringLiteral("&File\r\n檔案(&F)\r\n&Open\r\n開啟(&O)\r\n")), script);
    RunEnd end = RunWithInterpreter(window->SpeedButton4);
    QVERIFY2(end.Succeeded() && end.Reported(), qPrintable(messages->messages.value(0).text));
    QByteArray expected = script;
    expected.replace("\"&File\"", "\"" + Big5(QStringLiteral("檔案(&F)")) + "\"");
    expected.replace("\"&Open\"", "\"" + Big5(QStringLiteral("開啟(&O)")) + "\"");
    QCOMPARE(FileBytes(setting->path(QStringLiteral("out.rc"))), expected);
    QVERIFY(reportText().contains(QStringLiteral("區塊分隔字：BEGIN 與 END（新版本RC檔沒有")));
    QVERIFY(ScriptLines(setting->path(QStringLiteral("TRANS.PL"))).at(41).startsWith("$BeginStr='BEGIN';"));

    // Reached by Tab after the last link; UTF-8 chosen with the arrow
    // keys: the Big5 bytes are no UTF-8, and the run is refused.
    // The report of the run goes, so that the keys reach this window.
    window->Report->hide();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->SpeedButton5->setFocus();
    QTest::keyClick(window->SpeedButton5, Qt::Key_Tab);
    QCOMPARE(window->focusWidget(), window->Encoding);
    QTest::keyClick(window->Encoding, Qt::Key_Down);
    QTest::keyClick(window->Encoding, Qt::Key_Down);
    QCOMPARE(window->Encoding->currentText(), QStringLiteral("編碼：UTF-8"));
    window->SpeedButton4->click();
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QVERIFY2(messages->messages.at(0).text.contains(QStringLiteral("不是有效的UTF-8")),
             qPrintable(messages->messages.at(0).text));
    QVERIFY(!scriptRunner().IsRunning(RunKind::Translation));
}

void TestTDict3::utf16AndBig5ScriptsWithTheInterpreter()
{
    launches.reset(); // the real interpreter from here on

    // A UTF-16 script, as the resource editor of the common IDE writes it,
    // with a text that Big5 cannot hold; it comes back in UTF-16, its
    // characters whole.
    const QString script = QStringLiteral(
        "// Microsoft Visual C++\r\nIDR_MAIN MENU\r\nBEGIN\r\n    POPUP \"&File\"\r\n    BEGIN\r\n"
        "        MENUITEM \"&Open\", 1\r\n        MENUITEM \"Smile 😀\", 2\r\n    END\r\nEND\r\n");
    const ScriptEncoding utf16{TextEncoding::Utf16LE, true};
    prepare(Big5(QStringLiteral("&File\r\n檔案(&F)\r\n&Open\r\n開啟(&O)\r\n")),
            QByteArray::fromStdString(EncodeText(script, utf16)));
    RunEnd end = RunWithInterpreter(window->SpeedButton4);
    QVERIFY2(end.Succeeded() && end.Reported(), qPrintable(messages->messages.value(0).text));
    QString expected = script;
    expected.replace(QStringLiteral("\"&File\""), QStringLiteral("\"檔案(&F)\""));
    expected.replace(QStringLiteral("\"&Open\""), QStringLiteral("\"開啟(&O)\""));
    QCOMPARE(FileBytes(setting->path(QStringLiteral("out.rc"))), QByteArray::fromStdString(EncodeText(expected, utf16)));

    QVERIFY(window->Report && window->Report->isVisible());
    QCOMPARE(window->Report->windowTitle(), QStringLiteral("翻譯新版本的結果"));
    QCOMPARE(window->Report->parentWidget(), window.get());
    QVERIFY(!window->Report->isModal());
    QVERIFY(window->Report->Summary->text().startsWith(
        QStringLiteral("找到 3 處文字，已翻譯 2 處，仍是英文 1 處（1 個不同的文字）")));
    QVERIFY(reportText().contains(QStringLiteral("新版本RC檔：%1（UTF-16 LE（含BOM））").arg(window->T2->text())));
    QVERIFY(reportText().contains(QStringLiteral("第 7 行：\"Smile 😀\"（字典檔沒有這個文字）")));
    // No dictionary can hold that text: nothing to add.
    QVERIFY(window->Report->Offer->isHidden());
    QTest::keyClick(window->Report, Qt::Key_Escape);
    QVERIFY(!window->Report->isVisible());

    // A Big5 script of the corpus, without strings continued on a next
    // line, with the dictionary its own pair makes: the script names the
    // user's files, as it always has, and the output is what the script
    // writes.
    if (!QFileInfo::exists(QStringLiteral(TAVISORN_CORPUS_DIR)))
        QSKIP("the corpus is not there");
    const QString corpus = QStringLiteral(TAVISORN_CORPUS_DIR "/sndvol32/");
    const QByteArray en = FileBytes(corpus + QStringLiteral("en.rc"));
    const std::string enBytes = en.toStdString();
    const std::string zhBytes = FileBytes(corpus + QStringLiteral("zh-TW.rc")).toStdString();
    const std::string dictionary = ReadExtraction(enBytes, zhBytes).DictionaryBytes();
    prepare(QByteArray::fromStdString(dictionary), en);
    end = RunWithInterpreter(window->SpeedButton4);
    QVERIFY(end.Succeeded() && end.Reported());
    const TranslationReading reading = ReadTranslation(ReadScriptDictionary(dictionary), enBytes, false);
    QCOMPARE(FileBytes(setting->path(QStringLiteral("out.rc"))), QByteArray::fromStdString(reading.OutputBytes));
    TranslationPaths paths{PathBytes(window->T1->text()), PathBytes(window->T2->text()), PathBytes(window->T3->text()),
                           false};
    QCOMPARE(FileBytes(setting->path(QStringLiteral("TRANS.PL"))), QByteArray::fromStdString(TranslationScript(paths)));
    qint64 translated = 0;
    for (const FoundText &t : reading.Texts)
        translated += t.leftInEnglish() ? 0 : 1;
    QVERIFY(window->Report->isVisible());
    QVERIFY2(window->Report->Summary->text().startsWith(
                 QStringLiteral("找到 %1 處文字，已翻譯 %2 處").arg(reading.Texts.size()).arg(translated)),
             qPrintable(window->Report->Summary->text()));
    QVERIFY(reportText().contains(QStringLiteral("（Big5（code page 950））")));
    QVERIFY(reportText().contains(QStringLiteral("翻譯後RC檔的檢查：")));
    QVERIFY(messages->messages.isEmpty());
    QTest::keyClick(window->Report, Qt::Key_Escape);

    // Notepad, whose strings continued on a next line are joined for the
    // interpreter: the checks read the output on the file's lines.
    const QString notepad = QStringLiteral(TAVISORN_CORPUS_DIR "/notepad/");
    const QByteArray notepadEn = FileBytes(notepad + QStringLiteral("en.rc"));
    const std::string notepadEnBytes = notepadEn.toStdString();
    const std::string notepadZhBytes = FileBytes(notepad + QStringLiteral("zh-TW.rc")).toStdString();
    prepare(QByteArray::fromStdString(ReadExtraction(notepadEnBytes, notepadZhBytes).DictionaryBytes()), notepadEn);
    end = RunWithInterpreter(window->SpeedButton4);
    QVERIFY(end.Succeeded() && end.Reported());
    // The clash in the edit menu: its letter and place, and a fix with a
    // letter free there, from the English (Time/&Date: D is 刪除's, I is free).
    QVERIFY2(reportText().contains(QStringLiteral("（熱鍵 T，在 編輯）")), qPrintable(reportText()));
    QVERIFY(reportText().contains(QStringLiteral("插入時間／日期(&I)\\tF5")));
    QVERIFY(messages->messages.isEmpty());

    // One button mends the clash in the run's dictionary as a commit of
    // the maintenance window: the entry holds the fix, Ctrl+Z takes it back.
    QVERIFY(window->Report->ApplyFixes->isVisible());
    window->Report->ApplyFixes->click();
    TDict2 &editor = *setting->editor;
    QVERIFY(editor.isVisible());
    const DictionaryTables &t = setting->document.Tables;
    const auto chosen = [&t](const char *source) {
        for (std::int32_t k = 0; k <= t.LastEntry; ++k)
            if (t.EntryTable[std::size_t(k)].Source == std::string(source))
                return cp950::decode(t.EntryTable[std::size_t(k)].ChosenTranslation().str());
        return QString();
    };
    QCOMPARE(chosen("Time/&Date\\tF5"), QStringLiteral("插入時間／日期(&I)\\tF5"));
    // Cut keeps the letter its English text has; the other gives way.
    QCOMPARE(chosen("Cu&t\\tCtrl+X"), QStringLiteral("剪下(&T)\\tCtrl+X"));
    QVERIFY(setting->document.Modified);
    // One commit a fix: undone one by one, the entry is as it was.
    while (setting->document.Undo() >= 0) {
    }
    QVERIFY(chosen("Time/&Date\\tF5") != QStringLiteral("插入時間／日期(&I)\\tF5"));
}

void TestTDict3::retargetWithTheInterpreter()
{
    launches.reset();
    const QByteArray script = "// Microsoft Visual C++\r\n#pragma code_page(1252)\r\n"
                              "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\r\n"
                              "IDR_MAIN MENU\r\nBEGIN\r\n    MENUITEM \"&Open\", 1\r\nEND\r\n";
    prepare(Big5(QStringLiteral("&Open\r\n開啟(&O)\r\n")), script);
    QByteArray translated = script;
    translated.replace("\"&Open\"", "\"" + Big5(QStringLiteral("開啟(&O)")) + "\"");

    // Off, as at every start: the lines stay, and the report says how to change them.
    QVERIFY(!window->Retarget->isChecked());
    QVERIFY(RunWithInterpreter(window->SpeedButton4).Reported());
    QCOMPARE(FileBytes(setting->path(QStringLiteral("out.rc"))), translated);
    QVERIFY(reportText().contains(QStringLiteral("勾選「LANGUAGE 改為繁體中文」再翻譯一次")));

    window->Retarget->click();
    QVERIFY(RunWithInterpreter(window->SpeedButton4).Reported());
    translated.replace("code_page(1252)", "code_page(950)");
    translated.replace("LANG_ENGLISH, SUBLANG_ENGLISH_US", "LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL");
    QCOMPARE(FileBytes(setting->path(QStringLiteral("out.rc"))), translated);
    QVERIFY(reportText().contains(QStringLiteral("由「LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US」改為")));
    QVERIFY(reportText().contains(QStringLiteral("LANGUAGE 改為繁體中文：改了 2 行。")));

    // Run again on a script without such lines: the report says it found none.
    setting->write(QStringLiteral("new.rc"), "// Microsoft Visual C++\r\nIDR_MAIN MENU\r\nBEGIN\r\n"
                                             "    MENUITEM \"&Open\", 1\r\nEND\r\n");
    QVERIFY(RunWithInterpreter(window->SpeedButton4).Reported());
    QVERIFY(reportText().contains(QStringLiteral("LANGUAGE 改為繁體中文：沒有找到")));
}

void TestTDict3::newTextsIntoTheirDictionaryFile()
{
    launches.reset();
    // A dictionary in no editor; its last pair has no line end.
    const QByteArray dictionary = "&Open\r\n" + Big5(QStringLiteral("開啟(&O)")) + "\r\nZeta\r\nZ";
    prepare(dictionary, NewVersion);
    window->show();
    QVERIFY(RunWithInterpreter(window->SpeedButton4).Reported());
    QPushButton *offer = window->Report->Offer;
    QVERIFY(offer->isVisible());
    QCOMPARE(offer->text(), QStringLiteral("加入字典檔"));
    QVERIFY(reportText().contains(QStringLiteral("第 4 行：\"Zoom\"（字典檔沒有這個文字），共 2 處")));
    offer->click();

    // The file keeps its bytes and gains the pairs, in order of first
    // appearance; the editor shows it at the first of them in table order.
    QCOMPARE(FileBytes(setting->path(QStringLiteral("dict.txt"))),
             dictionary + "\r\nZoom\r\nZoom\r\n&Close\r\n&Close\r\n");
    TDict2 &editor = *setting->editor;
    QVERIFY(editor.isVisible());
    QVERIFY(!window->isVisible());
    QVERIFY(!window->Report->isVisible());
    QCOMPARE(setting->document.DictionaryFileName, setting->path(QStringLiteral("dict.txt")));
    QVERIFY(!setting->document.Modified);
    QCOMPARE(editor.CurrentRow(), 1); // &Close, &Open, Zeta, Zoom
    editor.SpeedButton1->click();
    QCOMPARE(editor.CurrentRow(), 4); // the next untranslated one is the other new text
    QVERIFY(messages->messages.isEmpty());
}

void TestTDict3::newTextsIntoTheOpenDictionary()
{
    launches.reset();
    const QByteArray dictionary = "&Open\r\n" + Big5(QStringLiteral("開啟(&O)")) + "\r\nZeta\r\nZ\r\n";
    prepare(dictionary, NewVersion);
    // Open in the editor with an edit not yet saved: Zeta (entry 1) gets a
    // second translation.
    TDict2 &editor = *setting->editor;
    DictionaryDocument &document = setting->document;
    QVERIFY(OpenDictionaryEditor(editor, window->T1->text()));
    QVERIFY(document.CommitChoice(1, QStringLiteral("澤塔")).Committed);
    QVERIFY(document.Modified);

    QVERIFY(RunWithInterpreter(window->SpeedButton4).Reported());
    window->Report->Offer->click();

    // The texts became entries of the open dictionary; the file waits for a save.
    QCOMPARE(FileBytes(window->T1->text()), dictionary);
    QVERIFY(document.Modified);
    QCOMPARE(document.Tables.LastEntry, 3);
    QCOMPARE(QByteArray::fromStdString(document.Tables.EntryTable[0].Source.str()), QByteArray("&Close"));
    QCOMPARE(QByteArray::fromStdString(document.Tables.EntryTable[3].ChosenTranslation().str()), QByteArray("Zoom"));
    QCOMPARE(editor.CurrentRow(), 1);
    QVERIFY(editor.isVisible());
    // The edit made before is still the one undo takes back, on its new row.
    QCOMPARE(QByteArray::fromStdString(document.Tables.EntryTable[2].ChosenTranslation().str()), Big5(QStringLiteral("澤塔")));
    QCOMPARE(document.Undo(), 2);
    QCOMPARE(QByteArray::fromStdString(document.Tables.EntryTable[2].ChosenTranslation().str()), QByteArray("Z"));
    QVERIFY(document.Modified); // the new entries are not in the file

    // Filled in and saved, the next run translates them.
    QVERIFY(document.CommitChoice(0, QStringLiteral("關閉(&C)")).Committed);
    QVERIFY(document.CommitChoice(3, QStringLiteral("縮放")).Committed);
    QVERIFY(document.Save());
    window->show();
    QVERIFY(RunWithInterpreter(window->SpeedButton4).Reported());
    QByteArray translated = NewVersion;
    translated.replace("\"Zoom\"", "\"" + Big5(QStringLiteral("縮放")) + "\"");
    translated.replace("\"&Open\"", "\"" + Big5(QStringLiteral("開啟(&O)")) + "\"");
    translated.replace("\"&Close\"", "\"" + Big5(QStringLiteral("關閉(&C)")) + "\"");
    QCOMPARE(FileBytes(setting->path(QStringLiteral("out.rc"))), translated);
    QVERIFY(window->Report->Summary->text().contains(QStringLiteral("仍是英文 0 處")));
    QVERIFY(window->Report->Offer->isHidden());
}

void TestTDict3::previewFromTheReport()
{
    launches.reset();
    prepare("&Open\r\n" + Big5(QStringLiteral("開啟(&O)")) + "\r\n", NewVersion);
    QVERIFY(window->PreviewButton->isHidden()); // nothing written yet
    QVERIFY(RunWithInterpreter(window->SpeedButton4).Reported());
    QVERIFY(!window->PreviewButton->isHidden());
    QVERIFY(window->Report->Preview->isVisible());
    window->Report->Preview->click();
    // The script written, its one menu, with the new English version to compare.
    QVERIFY(window->Preview && window->Preview->isVisible());
    QCOMPARE(window->Preview->List->count(), 1);
    QCOMPARE(window->Preview->List->item(0)->text(), QStringLiteral("IDR_MAIN（選單）"));
    QVERIFY(window->Preview->English->isEnabled());
    QVERIFY(!window->Preview->Picture->pixmap().isNull());
    // Closed, it comes back from the window's own button after the report has gone.
    window->Preview->close();
    window->Report->close();
    window->PreviewButton->click();
    QVERIFY(window->Preview->isVisible());
    QCOMPARE(window->Preview->List->count(), 1);
}

void TestTDict3::newTextsComeWithTheirSuggestions()
{
    launches.reset();
    // "&Close" is "Cl&ose" with its hot key moved, "Zoom" nearly "Zoo".
    const QByteArray dictionary = "&Open\r\n" + Big5(QStringLiteral("開啟(&O)")) + "\r\nCl&ose\r\n"
                                  + Big5(QStringLiteral("關閉(&O)")) + "\r\nZoo\r\n" + Big5(QStringLiteral("動物園"))
                                  + "\r\n";
    prepare(dictionary, NewVersion);
    window->show();
    QVERIFY(RunWithInterpreter(window->SpeedButton4).Reported());
    QVERIFY(reportText().contains(QStringLiteral("仍是英文 3 處：1 處有調整後的譯文，2 處有近似譯文")));
    QVERIFY(reportText().contains(QStringLiteral("調整後的譯文：\"關閉(&C)\"（來自 \"Cl&ose\"）")));
    QVERIFY(reportText().contains(QStringLiteral("近似譯文：\"動物園\"（相似度 75，來自 \"Zoo\"）")));
    QVERIFY(window->Report->Summary->text().contains(QStringLiteral("1 處有調整後的譯文，2 處有近似譯文")));
    const QString out = setting->path(QStringLiteral("out.rc"));
    const QByteArray adapted = "\"" + Big5(QStringLiteral("關閉(&C)")) + "\"";
    QVERIFY(!FileBytes(out).contains(adapted));

    // Asked for, the adapted match goes into the script; the near one not.
    QVERIFY(!window->Adapt->isChecked());
    window->Adapt->click();
    QVERIFY(RunWithInterpreter(window->SpeedButton4).Reported());
    QVERIFY(FileBytes(out).contains("MENUITEM " + adapted + ", 3"));
    QVERIFY(FileBytes(out).contains("MENUITEM \"Zoom\", 4"));
    QVERIFY(reportText().contains(QStringLiteral("寫入調整後的譯文：1 處")));
    window->Report->Offer->click();

    // Each new text's own pair, then one pair per suggestion; the editor
    // offers them in the choice box and has picked none.
    QCOMPARE(FileBytes(setting->path(QStringLiteral("dict.txt"))),
             dictionary + "Zoom\r\nZoom\r\nZoom\r\n" + Big5(QStringLiteral("動物園")) + "\r\n&Close\r\n&Close\r\n&Close\r\n"
                 + Big5(QStringLiteral("關閉(&C)")) + "\r\n");
    const DS &close = setting->document.Tables.EntryTable[0];
    QCOMPARE(QByteArray::fromStdString(close.Source.str()), QByteArray("&Close"));
    QCOMPARE(close.LastTranslation, 1);
    QCOMPARE(QByteArray::fromStdString(close.ChosenTranslation().str()), QByteArray("&Close"));
    QCOMPARE(QByteArray::fromStdString(close.Translations[1].str()), Big5(QStringLiteral("關閉(&C)")));
    QCOMPARE(setting->editor->CurrentRow(), 1);
}

void TestTDict3::oldVersionComparedByIdentifier()
{
    launches.reset();
    // Item 3 was "Cl&ose" in the old version, which the dictionary knows.
    prepare("Cl&ose\r\n" + Big5(QStringLiteral("關閉(&O)")) + "\r\n", NewVersion);
    QByteArray old = NewVersion;
    old.replace("\"&Close\", 3", "\"Cl&ose\", 3");
    setting->write(QStringLiteral("old.rc"), old);
    dialogs->answers = {setting->path(QStringLiteral("old.rc"))};
    window->OldButton->click();
    QVERIFY(window->OldButton->isChecked());
    QVERIFY(RunWithInterpreter(window->SpeedButton4).Reported());
    QVERIFY2(reportText().contains(QStringLiteral("與舊版本比較（依識別字）")), qPrintable(reportText()));
    QVERIFY(reportText().contains(QStringLiteral("改變：\"Cl&ose\" → \"&Close\"")));
    // Cancelled, the choice is gone and so is the comparison.
    dialogs->answers = {QString()};
    window->OldButton->click();
    QVERIFY(!window->OldButton->isChecked());
    QVERIFY(RunWithInterpreter(window->SpeedButton4).Reported());
    QVERIFY(!reportText().contains(QStringLiteral("與舊版本比較")));
}

void TestTDict3::rendering()
{
    window->T1->setText(QStringLiteral("/home/譯者/字典/app.txt"));
    window->SizeChange->setChecked(true);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QImage image = window->grab().toImage();
    QVERIFY(KeepShot(image, QStringLiteral("tdict3.png")));
    for (QLabel *label : {window->Label2, window->Label3, window->Label4})
        QVERIFY(label->geometry().right() < 402);
    QVERIFY(window->Label1->heightForWidth(358) <= 41);
    // The mnemonic's "&" is not drawn.
    QVERIFY(window->Label5->fontMetrics().horizontalAdvance(QString(window->Label5->text()).remove(QLatin1Char('&')))
            <= window->Label5->width());
    QVERIFY(window->Label5->fontMetrics().height() <= window->Label5->height());
    QVERIFY(window->Label5->geometry().bottom() < window->SpeedButton6->geometry().top());
}

QTEST_MAIN(TestTDict3)
#include "test_tdict3.moc"
