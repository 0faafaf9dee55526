// The make-dictionary window driven as the user would: dialogs answered by
// the test, runs recorded instead of starting perl.

#include "convert/tdict1.h"
#include "convert/encoding.h"
#include "convert/rcreader.h"
#include "convert/reportwindow.h"
#include "editor/entrygrid.h"
#include "support/shots.h"
#include "window_recorders.h"

#include "settings/startdir.h"
#include "widgets/twiatile.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QToolButton>

#include <utility>

class TestTDict1 : public QObject, public ConversionWindowTest<TDict1> {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controlsAsDesigned();
    void browseSourceAndTranslated();
    void browseStartFolderRule();
    void browseDictionaryOffersPreviousChoice();
    void cancelledBrowseChangesNothing();
    void emptyFieldRefused();
    void everyControlByKeyboard();
    void typedPathsCheckedLikeChosenOnes();
    void runWritesScriptAndStartsInterpreter();
    void secondRunRefusedWhileInterpreterWorks();
    void interpreterProblemsReachTheUser();
    void dictionaryNamingAnInputRefused();
    void filesGoneSinceChosenRefused();
    void big5AndUtf16PairsWithTheInterpreter();
    void originalsAndTheEncodingChosenByKeyboard();
    void switches();
    void editDictionaryRules();
    void editDictionaryWaitsForExtraction();
    void secondLoadWhileOneRunsIsRefused();
    void editorsOwnOpenWaitsForExtraction();
    void extractionIntoTheOpenDictionary();
    void rendering();

private:
    // Fills the three fields through the browse buttons.
    void choose(const QString &e1, const QString &e2, const QString &e3)
    {
        MakeFileToOpen(e1);
        MakeFileToOpen(e2);
        dialogs->answers = {e1, e2, e3};
        window->Browse1Click();
        window->Browse2Click();
        window->Browse3Click();
    }
};

void TestTDict1::init()
{
    setUpWindow();
}

void TestTDict1::cleanup()
{
    tearDownWindow();
}

void TestTDict1::controlsAsDesigned()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("製作字典檔"));
    QCOMPARE(window->size(), QSize(402, 322));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QCOMPARE(window->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(window->font().pixelSize(), 11);
    QCOMPARE(window->wiaTile1->geometry(), QRect(0, 0, 402, 322));
    QCOMPARE(window->wiaTile1->TileMode(), tmNormal);
    QVERIFY(!window->wiaTile1->Image().isNull());
    QCOMPARE(window->Bevel1->geometry(), QRect(8, 8, 385, 81));
    QVERIFY(window->Label1->wordWrap());
    QCOMPARE(window->Label1->font().pixelSize(), 16);
    QCOMPARE(window->Label2->pos(), QPoint(8, 104));
    QCOMPARE(window->Label2->text(), QStringLiteral("來源Resource檔 (英文版本)(&S) :"));
    QCOMPARE(window->Label3->text(), QStringLiteral("翻譯後Resource檔 (中文版本)(&T) :"));
    QCOMPARE(window->Label4->text(), QStringLiteral("輸出的字典檔檔案名稱及位置(&D) :"));
    QCOMPARE(window->E3->geometry(), QRect(8, 240, 305, 20));
    for (QLineEdit *field : {window->E1, window->E2, window->E3}) {
        QVERIFY(!field->isReadOnly()); // a path may be typed or pasted
        QCOMPARE(field->font().family(), QStringLiteral("新細明體"));
        QCOMPARE(field->font().pixelSize(), 12);
    }
    QCOMPARE(window->Browse2->geometry(), QRect(320, 184, 33, 22));
    QCOMPARE(window->Browse3->toolTip(), QStringLiteral("瀏覽... (Alt+3)"));
    QCOMPARE(window->EditDict->geometry(), QRect(360, 240, 33, 22));
    QCOMPARE(window->EditDict->toolTip(), QStringLiteral("編輯字典檔 (Alt+E)"));
    QCOMPARE(window->SpeedButton4->text(), QStringLiteral("開始製作(&G)"));
    QCOMPARE(window->SpeedButton4->font().pixelSize(), 16);
    QVERIFY(!window->SpeedButton4->icon().isNull());
    // Wider than designed: the caption with its key is shown whole, as are the links'.
    QCOMPARE(window->SpeedButton4->geometry(), QRect(262, 277, 131, 33));
    QVERIFY(window->SpeedButton4->sizeHint().width() <= window->SpeedButton4->width());
    for (QToolButton *b : {window->SpeedButton5, window->SpeedButton6})
        QVERIFY2(b->fontMetrics().horizontalAdvance(QString(b->text()).remove(QLatin1Char('&'))) + 4 <= b->width(),
                 qPrintable(b->text()));
    QCOMPARE(window->SpeedButton5->text(), QStringLiteral("字典檔維護(&M)"));
    QCOMPARE(window->SpeedButton6->text(), QStringLiteral("翻譯新版本(&N)"));
    QCOMPARE(window->SpeedButton6->palette().color(QPalette::ButtonText), QColor(0, 0, 125));
    QCOMPARE(window->pl.size(), std::size_t(186));
}

void TestTDict1::browseSourceAndTranslated()
{
    RegDat.SourceRCLUPath = QStringLiteral("/old/en");
    RegDat.DestRCLUPath = QStringLiteral("/old/zh");
    window->OD.FileName = QStringLiteral("/old/en/earlier.rc");
    dialogs->answers = {QStringLiteral("/data/app one/en.rc"), QStringLiteral("/data/zh/app.rc")};

    window->Browse1Click();
    window->Browse2Click();

    QCOMPARE(dialogs->shown.size(), qsizetype(2));
    const FileDialog &first = dialogs->shown.at(0);
    QCOMPARE(first.DialogKind, FileDialog::Kind::Open);
    QCOMPARE(first.Title, QStringLiteral("瀏覽來源Resource檔"));
    QCOMPARE(first.Filter, QStringLiteral("Resource 檔 (*.rc)|*.rc|所有檔案 (*.*)|*.*"));
    QCOMPARE(first.DefaultExt, QStringLiteral("*.rc"));
    QCOMPARE(first.InitialDir, QStringLiteral("/old/en"));
    QVERIFY(first.FileName.isEmpty()); // cleared before showing
    QVERIFY(first.Options & FileDialog::FileMustExist);
    QVERIFY(first.Options & FileDialog::PathMustExist);
    QVERIFY(first.Options & FileDialog::HideReadOnly);
    QVERIFY(!(first.Options & FileDialog::OverwritePrompt));
    const FileDialog &second = dialogs->shown.at(1);
    QCOMPARE(second.Title, QStringLiteral("瀏覽翻譯後Resource檔"));
    QCOMPARE(second.InitialDir, QStringLiteral("/old/zh"));
    QVERIFY(second.FileName.isEmpty()); // the first choice is not offered again

    QCOMPARE(window->E1->text(), QStringLiteral("/data/app one/en.rc"));
    QCOMPARE(window->E2->text(), QStringLiteral("/data/zh/app.rc"));
    QCOMPARE(RegDat.SourceRCLUPath, QStringLiteral("/data/app one"));
    QCOMPARE(RegDat.DestRCLUPath, QStringLiteral("/data/zh"));
    QVERIFY(RegDat.DictLUPath.isEmpty());
}

void TestTDict1::browseStartFolderRule()
{
    // Custom folders in use: a set one wins; an empty one leaves the shared
    // dialog where the other button put it.
    RegDat.UseCustomDefaultPath = true;
    RegDat.SourceRCDefPath = QStringLiteral("/custom/en");
    RegDat.SourceRCLUPath = QStringLiteral("/last/en");
    RegDat.DestRCDefPath.clear();
    RegDat.DestRCLUPath = QStringLiteral("/last/zh");
    RegDat.DictDefPath = QStringLiteral("/custom/dict");
    RegDat.DictLUPath = QStringLiteral("/last/dict");
    dialogs->answers = {QString(), QString(), QString()};
    window->Browse1Click();
    window->Browse2Click();
    window->Browse3Click();
    QCOMPARE(dialogs->shown.at(0).InitialDir, QStringLiteral("/custom/en"));
    QCOMPARE(dialogs->shown.at(1).InitialDir, QStringLiteral("/custom/en"));
    QCOMPARE(dialogs->shown.at(2).InitialDir, QStringLiteral("/custom/dict"));

    // Custom folders not in use: the last-used folder, even an empty one.
    RegDat.UseCustomDefaultPath = false;
    RegDat.SourceRCLUPath.clear();
    dialogs->shown.clear();
    dialogs->answers = {QString(), QString(), QString()};
    window->Browse1Click();
    window->Browse2Click();
    window->Browse3Click();
    QCOMPARE(dialogs->shown.at(0).InitialDir, QString());
    QCOMPARE(dialogs->shown.at(1).InitialDir, QStringLiteral("/last/zh"));
    QCOMPARE(dialogs->shown.at(2).InitialDir, QStringLiteral("/last/dict"));
}

void TestTDict1::browseDictionaryOffersPreviousChoice()
{
    RegDat.DicExt = QStringLiteral("dic");
    RegDat.DicExtDescription = QStringLiteral("字典檔 (*.dic)");
    DictionaryFilter = BuildDictionaryFilter();
    dialogs->answers = {QStringLiteral("/dicts/app.dic"), QStringLiteral("/")};
    window->Browse3Click();

    const FileDialog &shown = dialogs->shown.at(0);
    QCOMPARE(shown.DialogKind, FileDialog::Kind::Save);
    QCOMPARE(shown.Title, QStringLiteral("儲存字典檔"));
    QCOMPARE(shown.Filter, QStringLiteral("字典檔 (*.dic)|*.dic|所有檔案 (*.*)|*.*"));
    QCOMPARE(shown.DefaultExt, QStringLiteral("*.dic"));
    QVERIFY(shown.Options & FileDialog::OverwritePrompt);
    QVERIFY(shown.Options & FileDialog::PathMustExist);
    QVERIFY(!(shown.Options & FileDialog::FileMustExist));
    QCOMPARE(window->E3->text(), QStringLiteral("/dicts/app.dic"));
    QCOMPARE(RegDat.DictLUPath, QStringLiteral("/dicts"));

    window->Browse3Click();
    QCOMPARE(dialogs->shown.at(1).FileName, QStringLiteral("/dicts/app.dic"));
    QCOMPARE(RegDat.DictLUPath, FolderPart(QStringLiteral("/"))); // a root keeps its separator
}

void TestTDict1::cancelledBrowseChangesNothing()
{
    window->E1->setText(QStringLiteral("/keep/en.rc"));
    window->E3->setText(QStringLiteral("/keep/app.txt"));
    RegDat.SourceRCLUPath = QStringLiteral("/keep");
    RegDat.DictLUPath = QStringLiteral("/keepdict");
    dialogs->answers = {QString(), QString()};
    window->Browse1Click();
    window->Browse3Click();
    QCOMPARE(dialogs->shown.size(), qsizetype(2));
    QCOMPARE(window->E1->text(), QStringLiteral("/keep/en.rc"));
    QCOMPARE(window->E3->text(), QStringLiteral("/keep/app.txt"));
    QCOMPARE(RegDat.SourceRCLUPath, QStringLiteral("/keep"));
    QCOMPARE(RegDat.DictLUPath, QStringLiteral("/keepdict"));
}

void TestTDict1::emptyFieldRefused()
{
    bool editorEnabledDuringCheck = true;
    progressLog->onText = [&](const QString &) { editorEnabledDuringCheck = setting->editor->isEnabled(); };
    window->E1->setText(setting->path(QStringLiteral("en.rc")));
    window->E3->setText(setting->path(QStringLiteral("app.txt")));
    window->SpeedButton4->click();

    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.at(0).kind, QStringLiteral("message"));
    QCOMPARE(messages->messages.at(0).text, QStringLiteral("資料未輸入妥當：「翻譯後Resource檔」沒有填。"));
    QCOMPARE(window->focusWidget(), window->E2); // the keyboard is where the text goes
    QCOMPARE(messages->messages.at(0).caption, QStringLiteral("錯誤"));
    QVERIFY(!editorEnabledDuringCheck);
    QVERIFY(setting->editor->isEnabled());
    QCOMPARE(progressLog->log, QStringList({QStringLiteral("show"), QStringLiteral("pos 0"),
                                            QStringLiteral("text 檢查檔案路徑及資料.."), QStringLiteral("close"),
                                            QStringLiteral("pos 0")}));
    QVERIFY(launches->commands.isEmpty());
    QVERIFY(!QFile::exists(setting->path(QStringLiteral("Glossary.pl"))));
}

void TestTDict1::everyControlByKeyboard()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    TDict1 &w = *window;
    // Tab goes through every control in the order they stand, and round;
    // 停止 is skipped while it is hidden.
    QCOMPARE(TabbedThrough(w.E1, 11), (QList<QWidget *>{w.E1, w.Browse1, w.E2, w.Browse2, w.E3, w.Browse3, w.EditDict,
                                                         w.SpeedButton5, w.SpeedButton6, w.Encoding, w.SpeedButton4,
                                                         w.E1}));
    const QList<QKeySequence> keys = WindowKeys(window.get());
    QCOMPARE(keys.size(), 10); // 停止 hidden
    QCOMPARE(QSet<QKeySequence>(keys.begin(), keys.end()).size(), keys.size()); // no key held twice

    // The captions' letters take the keyboard to their fields.
    QTest::keyClick(window.get(), Qt::Key_D, Qt::AltModifier);
    QCOMPARE(w.focusWidget(), w.E3);
    QTest::keyClick(window.get(), Qt::Key_T, Qt::AltModifier);
    QCOMPARE(w.focusWidget(), w.E2);
    // Alt+1 to Alt+3 browse; Alt+G starts and 停止 takes the keyboard
    // while the interpreter works; the start button has it back after.
    const QString en = setting->path(QStringLiteral("en.rc")), zh = setting->path(QStringLiteral("zh.rc"));
    MakeFileToOpen(en);
    MakeFileToOpen(zh);
    dialogs->answers = {en, zh, setting->path(QStringLiteral("out.txt"))};
    for (Qt::Key key : {Qt::Key_1, Qt::Key_2, Qt::Key_3})
        QTest::keyClick(window.get(), key, Qt::AltModifier);
    QTRY_COMPARE(dialogs->shown.size(), qsizetype(3));
    QCOMPARE(w.E3->text(), setting->path(QStringLiteral("out.txt")));
    QTest::keyClick(window.get(), Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(launches->commands.size(), qsizetype(1));
    launches->finish(0);
    if (w.Report)
        w.Report->hide();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    w.SpeedButton4->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.SpeedButton4, Qt::Key_Space);
    QCOMPARE(launches->commands.size(), qsizetype(2));
    QVERIFY(w.StopButton->isVisible());
    QCOMPARE(w.focusWidget(), w.StopButton);
    launches->finish(0);
    QVERIFY(!w.StopButton->isVisible());
    QCOMPARE(w.focusWidget(), w.SpeedButton4);
    if (w.Report)
        w.Report->hide();
    // A link from the keyboard: Alt+N goes to the translate-new-version window.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    int shown = 0;
    w.ShowTranslateNewVersion = [&] { ++shown; };
    QTest::keyClick(window.get(), Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE(shown, 1);
    QVERIFY(!window->isVisible());
}

void TestTDict1::typedPathsCheckedLikeChosenOnes()
{
    const QString en = setting->path(QStringLiteral("en.rc")), zh = setting->path(QStringLiteral("zh.rc"));
    const QString out = setting->path(QStringLiteral("out.txt"));
    MakeFileToOpen(en);
    MakeFileToOpen(zh);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    // Typed with blanks and quotes around, pasted as an address: taken as
    // the paths they name, shown so in the fields.
    QTest::keyClicks(window->E1, QStringLiteral("  \"%1\" ").arg(en));
    window->E2->setText(QUrl::fromLocalFile(zh).toString() + QLatin1Char('\n'));
    // A relative output is refused and the keyboard goes back to it.
    QTest::keyClicks(window->E3, QStringLiteral("out.txt"));
    window->SpeedButton4->click();
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QVERIFY2(messages->messages.at(0).text.startsWith(QStringLiteral("「輸出的字典檔」要填完整的路徑")),
             qPrintable(messages->messages.at(0).text));
    QCOMPARE(window->focusWidget(), window->E3);
    QVERIFY(launches->commands.isEmpty());
    QCOMPARE(window->E1->text(), en);
    QCOMPARE(window->E2->text(), zh);

    // A typed output that exists is asked about as the save dialog asks:
    // No keeps it, Yes runs, and the same choice is not asked about again.
    setting->write(QStringLiteral("out.txt"), "old\r\n");
    window->E3->clear();
    QTest::keyClicks(window->E3, out);
    messages->messages.clear();
    messages->questionAnswer = false;
    window->SpeedButton4->click();
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.at(0).kind, QStringLiteral("question"));
    QVERIFY(messages->messages.at(0).text.contains(out));
    QVERIFY(launches->commands.isEmpty());
    messages->questionAnswer = true;
    window->SpeedButton4->click();
    QCOMPARE(launches->commands.size(), qsizetype(1));
    launches->finish(0);
    messages->messages.clear();
    window->SpeedButton4->click();
    QVERIFY(messages->messages.isEmpty() || messages->messages.at(0).kind != QStringLiteral("question"));
    QCOMPARE(launches->commands.size(), qsizetype(2));

    // A typed output taken once is a choice like the dialog's: the file the
    // run made is not asked about at the next run.
    launches->finish(0);
    messages->messages.clear();
    const QString fresh = setting->path(QStringLiteral("fresh.txt"));
    window->E3->clear();
    QTest::keyClicks(window->E3, fresh);
    window->SpeedButton4->click();
    QCOMPARE(launches->commands.size(), qsizetype(3));
    launches->finish(0);
    setting->write(QStringLiteral("fresh.txt"), "made\r\n");
    messages->messages.clear();
    window->SpeedButton4->click();
    QCOMPARE(launches->commands.size(), qsizetype(4));
    for (const auto &m : messages->messages)
        QVERIFY(m.kind != QStringLiteral("question"));

    // A typed input that does not exist is refused before anything is
    // written, as the open dialog would not have let it be chosen.
    launches->finish(0);
    messages->messages.clear();
    window->E1->clear();
    QTest::keyClicks(window->E1, setting->path(QStringLiteral("gone.rc")));
    window->SpeedButton4->click();
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QVERIFY2(messages->messages.at(0).text.startsWith(QStringLiteral("找不到來源Resource檔")),
             qPrintable(messages->messages.at(0).text));
    QCOMPARE(launches->commands.size(), qsizetype(4));
}

void TestTDict1::runWritesScriptAndStartsInterpreter()
{
    // Blanks, quotes, $ and @ and Chinese in the paths; the fields are
    // filled through the dialogs as the user would.
    const QString dir = setting->path(QStringLiteral("my \"rc\" $x@y"));
    QDir().mkpath(dir);
    choose(dir + QStringLiteral("/en.rc"), dir + QStringLiteral("/中文.rc"), dir + QStringLiteral("/字典 1.txt"));
    bool editorEnabledWhileFilling = true;
    progressLog->onText = [&](const QString &text) {
        if (text == QStringLiteral("處理字典檔.."))
            editorEnabledWhileFilling = setting->editor->isEnabled();
    };
    window->SpeedButton4->click();

    QVERIFY2(messages->messages.isEmpty(), qPrintable(messages->messages.value(0).text));
    QCOMPARE(progressLog->log,
             QStringList({QStringLiteral("show"), QStringLiteral("pos 0"), QStringLiteral("text 檢查檔案路徑及資料.."),
                          QStringLiteral("pos 15"), QStringLiteral("text 處理原始RC檔.."), QStringLiteral("pos 30"),
                          QStringLiteral("text 處理翻譯後RC檔.."), QStringLiteral("pos 45"),
                          QStringLiteral("text 處理字典檔.."), QStringLiteral("pos 60"),
                          QStringLiteral("text 製作pl檔案.."), QStringLiteral("pos 80"),
                          QStringLiteral("text 準備執行Perl.."), QStringLiteral("pos 100"),
                          QStringLiteral("text 完成"), QStringLiteral("close"), QStringLiteral("pos 0")}));
    QVERIFY(!editorEnabledWhileFilling);
    QVERIFY(setting->editor->isEnabled());

    const QString script = setting->path(QStringLiteral("Glossary.pl"));
    const QList<QByteArray> lines = ScriptLines(script);
    QCOMPARE(lines.size(), qsizetype(186));
    for (const QByteArray &line : lines)
        QVERIFY(line.endsWith('\r'));
    // The paths reach the script as the file system's bytes, with the
    // characters Perl would read specially escaped.
    const QByteArray escapedDir = QFile::encodeName(setting->work.path()) + "/my \\\"rc\\\" \\$x\\@y";
    QCOMPARE(lines.at(11), "$f1=\"" + escapedDir + "/en.rc\";\r");
    QCOMPARE(lines.at(12), "$f2=\"" + escapedDir + "/" + QStringLiteral("中文").toUtf8() + ".rc\";\r");
    QCOMPARE(lines.at(13), "$f3=\"" + escapedDir + "/" + QStringLiteral("字典").toUtf8() + " 1.txt\";\r");
    QCOMPARE(lines.at(17), QByteArray("open(FH,$f1);\r"));

    QCOMPARE(launches->commands.size(), qsizetype(1));
    const InterpreterCommand &command = launches->commands.at(0);
    QCOMPARE(command.program, QStringLiteral("/usr/bin/perl"));
    QCOMPARE(command.arguments.size(), qsizetype(1));
    // The interpreter runs a copy in the run's own folder that writes there.
    QVERIFY(QFileInfo(command.arguments.at(0)).exists());
    QCOMPARE(QFileInfo(command.arguments.at(0)).fileName(), QStringLiteral("Glossary.pl"));
    QVERIFY(QFileInfo(command.arguments.at(0)).canonicalFilePath() != QFileInfo(script).canonicalFilePath());
    QCOMPARE(QFileInfo(launches->output()).absolutePath(), QFileInfo(command.arguments.at(0)).absolutePath());
    QVERIFY(scriptRunner().IsRunning(RunKind::Extraction));
    // 停止 stands in the start button's place while it runs.
    QVERIFY(!window->SpeedButton4->isVisibleTo(window.get()));
    QVERIFY(window->StopButton->isVisibleTo(window.get()));
    QCOMPARE(window->RunLine->text(), QStringLiteral("Perl程式執行中.."));
    // It is seen, in the place of the encoding box, which gives way to it
    // while the run goes; no other control covers it.
    QVERIFY(window->RunLine->isVisibleTo(window.get()));
    QVERIFY(!window->Encoding->isVisibleTo(window.get()));
    QCOMPARE(window->childAt(window->RunLine->geometry().center()), window->RunLine);

    // The window stays as it was, its fields kept.
    QCOMPARE(window->E3->text(), dir + QStringLiteral("/字典 1.txt"));
}

void TestTDict1::secondRunRefusedWhileInterpreterWorks()
{
    choose(setting->path(QStringLiteral("a.rc")), setting->path(QStringLiteral("b.rc")),
           setting->path(QStringLiteral("first.txt")));
    window->SpeedButton4Click();
    QCOMPARE(launches->commands.size(), qsizetype(1));

    // Alt+G while the run goes (開始製作 is hidden behind 停止) types no
    // "g" into the path at hand.
    window->E3->setFocus();
    QTest::keyClick(window->E3, Qt::Key_G, Qt::AltModifier);
    QCOMPARE(window->E3->text(), setting->path(QStringLiteral("first.txt")));
    QTest::keyClick(window->E3, Qt::Key_G);
    QCOMPARE(window->E3->text(), setting->path(QStringLiteral("first.txtg"))); // a letter alone is typed

    window->E3->setText(setting->path(QStringLiteral("second.txt")));
    window->SpeedButton4Click();
    QCOMPARE(launches->commands.size(), qsizetype(1));
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.at(0).text, ScriptRunner::StillRunningMessage(RunKind::Extraction));
    QCOMPARE(messages->messages.at(0).caption, QStringLiteral("錯誤"));
    QVERIFY(setting->editor->isEnabled());
    // The refused run left the script of the running one alone.
    QVERIFY(ScriptLines(setting->path(QStringLiteral("Glossary.pl"))).at(13).contains("first.txt"));

    QFile(launches->output()).open(QIODevice::WriteOnly); // what the script writes for these files
    launches->finish(0);
    QCOMPARE(FileBytes(setting->path(QStringLiteral("first.txt"))), QByteArray()); // put in place
    QVERIFY(window->Encoding->isVisibleTo(window.get())); // back once the run ended
    QVERIFY(!window->RunLine->isVisibleTo(window.get()));
    window->SpeedButton4Click();
    QCOMPARE(launches->commands.size(), qsizetype(2));
    QVERIFY(ScriptLines(setting->path(QStringLiteral("Glossary.pl"))).at(13).contains("second.txt"));
    QCOMPARE(messages->messages.size(), qsizetype(1));
}

void TestTDict1::interpreterProblemsReachTheUser()
{
    choose(setting->path(QStringLiteral("a.rc")), setting->path(QStringLiteral("b.rc")),
           setting->path(QStringLiteral("d.txt")));

    RegDat.PerlPath = QStringLiteral("/no/such/perl");
    launches->startError = QStringLiteral("No such file or directory");
    window->SpeedButton4Click();
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.at(0).text,
             ScriptRunner::CannotStartMessage(QStringLiteral("/no/such/perl"), QStringLiteral("No such file or directory")));
    QVERIFY(progressLog->log.contains(QStringLiteral("text 製作失敗")));
    QVERIFY(!progressLog->log.contains(QStringLiteral("text 完成")));
    QVERIFY(!scriptRunner().IsRunning(RunKind::Extraction));
    QVERIFY(setting->editor->isEnabled());

    launches->startError.clear();
    window->SpeedButton4Click();
    launches->finish(2);
    QCOMPARE(messages->messages.size(), qsizetype(2));
    QCOMPARE(messages->messages.at(1).text, ScriptRunner::FailedMessage(RunKind::Extraction, 2, false));
    QCOMPARE(messages->messages.at(1).caption, QStringLiteral("錯誤"));
}

void TestTDict1::dictionaryNamingAnInputRefused()
{
    const QString en = setting->path(QStringLiteral("en.rc"));
    setting->write(QStringLiteral("en.rc"), "STRINGTABLE\r\n");
    choose(en, setting->path(QStringLiteral("zh.rc")), en);
    window->SpeedButton4Click();
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.at(0).caption, QStringLiteral("錯誤"));
    QVERIFY(launches->commands.isEmpty());
    QVERIFY(!QFile::exists(setting->path(QStringLiteral("Glossary.pl"))));
    QFile kept(en);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("STRINGTABLE\r\n"));
}

void TestTDict1::filesGoneSinceChosenRefused()
{
    // The translated script was moved away after it was chosen; then the
    // dictionary's folder went too. Each is told, and nothing starts.
    const QString folder = setting->path(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(folder));
    choose(setting->path(QStringLiteral("en.rc")), setting->path(QStringLiteral("zh.rc")),
           folder + QStringLiteral("/app.txt"));
    QVERIFY(QFile::remove(setting->path(QStringLiteral("zh.rc"))));
    window->SpeedButton4Click();
    QVERIFY(QDir(folder).removeRecursively());
    MakeFileToOpen(setting->path(QStringLiteral("zh.rc")));
    window->SpeedButton4Click();

    QCOMPARE(messages->messages.size(), qsizetype(2));
    QCOMPARE(messages->messages.at(0).text,
             QStringLiteral("找不到翻譯後Resource檔「%1」。").arg(setting->path(QStringLiteral("zh.rc"))));
    QCOMPARE(messages->messages.at(1).text,
             QStringLiteral("輸出的字典檔「%1/app.txt」所在的資料夾不存在。").arg(folder));
    QCOMPARE(messages->messages.at(1).caption, QStringLiteral("錯誤"));
    QVERIFY(launches->commands.isEmpty());
    QVERIFY(!QFile::exists(setting->path(QStringLiteral("Glossary.pl"))));
    QVERIFY(setting->editor->isEnabled());
}

void TestTDict1::big5AndUtf16PairsWithTheInterpreter()
{
    launches.reset(); // the real interpreter

    // A corpus pair as it is (Big5), without strings continued on a next
    // line: the script names the user's files, as it always has, and
    // writes the dictionary the reading expects.
    if (!QFileInfo::exists(QStringLiteral(TAVISORN_CORPUS_DIR)))
        QSKIP("the corpus is not there");
    const QString corpus = QStringLiteral(TAVISORN_CORPUS_DIR "/sndvol32/");
    const QString en = corpus + QStringLiteral("en.rc");
    const QString zh = corpus + QStringLiteral("zh-TW.rc");
    const QString big5Dictionary = setting->path(QStringLiteral("big5.txt"));
    dialogs->answers = {en, zh, big5Dictionary};
    window->Browse1Click();
    window->Browse2Click();
    window->Browse3Click();
    RunEnd end = RunWithInterpreter(window->SpeedButton4);
    QVERIFY2(end.Succeeded() && end.Reported(), qPrintable(messages->messages.value(0).text));
    const std::string enBytes = FileBytes(en).toStdString();
    const std::string zhBytes = FileBytes(zh).toStdString();
    const ExtractionReading reading = ReadExtraction(enBytes, zhBytes);
    const QByteArray expected = QByteArray::fromStdString(reading.DictionaryBytes());
    QCOMPARE(FileBytes(big5Dictionary), expected);
    const ExtractionPaths paths{PathBytes(en), PathBytes(zh), PathBytes(big5Dictionary)};
    QCOMPARE(FileBytes(setting->path(QStringLiteral("Glossary.pl"))), QByteArray::fromStdString(ExtractionScript(paths)));

    QVERIFY(window->Report && window->Report->isVisible());
    QCOMPARE(window->Report->windowTitle(), QStringLiteral("製作字典檔的結果"));
    QCOMPARE(window->Report->Summary->text(), QStringLiteral("寫出 %1 個字串對。").arg(reading.Pairs.size()));
    const QString report = window->Report->Text->toPlainText();
    QVERIFY(report.contains(QStringLiteral("英文RC檔：%1（Big5（code page 950））").arg(en)));
    QVERIFY(report.contains(QStringLiteral("寫出的字串對：%1\n").arg(reading.Pairs.size())));

    // The same pair in UTF-16, as a resource editor writes it: the same
    // dictionary, in Big5.
    const ScriptEncoding utf16{TextEncoding::Utf16LE, true};
    setting->write(QStringLiteral("en16.rc"),
                   QByteArray::fromStdString(EncodeText(cp950::decode(FileBytes(en).toStdString()), utf16)));
    setting->write(QStringLiteral("zh16.rc"),
                   QByteArray::fromStdString(EncodeText(cp950::decode(FileBytes(zh).toStdString()), utf16)));
    const QString utf16Dictionary = setting->path(QStringLiteral("utf16.txt"));
    dialogs->answers = {setting->path(QStringLiteral("en16.rc")), setting->path(QStringLiteral("zh16.rc")),
                        utf16Dictionary};
    window->Browse1Click();
    window->Browse2Click();
    window->Browse3Click();
    end = RunWithInterpreter(window->SpeedButton4);
    QVERIFY(end.Succeeded() && end.Reported());
    QCOMPARE(FileBytes(utf16Dictionary), expected);
    QVERIFY(window->Report->Text->toPlainText().contains(QStringLiteral("（UTF-16 LE（含BOM））")));

    // Two scripts without a single text: zero pairs is a warning.
    setting->write(QStringLiteral("empty-en.rc"), "// Microsoft Visual C++\r\n");
    setting->write(QStringLiteral("empty-zh.rc"), "// Microsoft Visual C++\r\n");
    dialogs->answers = {setting->path(QStringLiteral("empty-en.rc")), setting->path(QStringLiteral("empty-zh.rc")),
                        setting->path(QStringLiteral("empty.txt"))};
    window->Browse1Click();
    window->Browse2Click();
    window->Browse3Click();
    QVERIFY(RunWithInterpreter(window->SpeedButton4).Reported());
    QCOMPARE(window->Report->Summary->text(), QStringLiteral("警告：沒有寫出任何字串對，字典檔是空的。"));
    QVERIFY(messages->messages.isEmpty());
}

void TestTDict1::originalsAndTheEncodingChosenByKeyboard()
{
    launches.reset(); // the real interpreter
    if (!QFileInfo::exists(QStringLiteral(TAVISORN_CORPUS_DIR)))
        QSKIP("the corpus is not there");
    const QString corpus = QStringLiteral(TAVISORN_CORPUS_DIR "/notepad/orig/");
    const QString dictionary = setting->path(QStringLiteral("orig.txt"));
    dialogs->answers = {corpus + QStringLiteral("en-US.rc"), corpus + QStringLiteral("zh-TW.rc"), dictionary};
    window->Browse1Click();
    window->Browse2Click();
    window->Browse3Click();

    // Guessed: UTF-8, and BEGIN/END from the file's own blocks, filled into
    // the script the window writes.
    QCOMPARE(window->Encoding->currentText(), QStringLiteral("編碼：自動"));
    RunEnd end = RunWithInterpreter(window->SpeedButton4);
    QVERIFY2(end.Succeeded() && end.Reported(), qPrintable(messages->messages.value(0).text));
    // 90, and the 5 strings continued on a next line.
    QCOMPARE(window->Report->Summary->text(), QStringLiteral("寫出 95 個字串對。"));
    QVERIFY(window->Report->Text->toPlainText().contains(QStringLiteral("zh-TW.rc（UTF-8）")));
    const QList<QByteArray> lines = ScriptLines(setting->path(QStringLiteral("Glossary.pl")));
    QCOMPARE(lines.size(), qsizetype(186));
    QVERIFY(lines.at(30).startsWith("$BeginStr='BEGIN';"));
    QVERIFY(lines.at(31).startsWith("$EndStr='END';"));
    QVERIFY(FileBytes(dictionary).contains(Big5(QStringLiteral("檔案(&F)"))));

    // Tab from the last link reaches the choice; the arrow key picks Big5,
    // and the Chinese file is read so (its UTF-8 bytes taken for Big5).
    // The report of the run goes, so that the keys reach this window.
    window->Report->hide();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(NextTabStop(window->SpeedButton6), window->Encoding);
    window->SpeedButton6->setFocus();
    QTest::keyClick(window->SpeedButton6, Qt::Key_Tab);
    QCOMPARE(window->focusWidget(), window->Encoding);
    QTest::keyClick(window->Encoding, Qt::Key_Down);
    QCOMPARE(window->Encoding->currentText(), QStringLiteral("編碼：Big5"));
    end = RunWithInterpreter(window->SpeedButton4);
    QVERIFY(end.Succeeded() && end.Reported());
    QVERIFY(window->Report->Text->toPlainText().contains(QStringLiteral("zh-TW.rc（Big5（code page 950））")));
    QVERIFY(!FileBytes(dictionary).contains(Big5(QStringLiteral("檔案(&F)"))));
}

void TestTDict1::switches()
{
    window->show();
    bool visibleWhenTargetShown = false;
    int shown = 0;
    window->ShowTranslateNewVersion = [&] {
        ++shown;
        visibleWhenTargetShown = window->isVisible();
    };
    window->SpeedButton6->click();
    QCOMPARE(shown, 1);
    QVERIFY(visibleWhenTargetShown); // the target first, then this window hides
    QVERIFY(!window->isVisible());

    // "字典檔維護": cancelling the editor's open dialog keeps this window.
    window->show();
    dialogs->answers = {QString()};
    window->SpeedButton5->click();
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.at(0).text, QStringLiteral("使用者取消。"));
    QCOMPARE(messages->messages.at(0).caption, QStringLiteral("開啟字典檔"));
    QVERIFY(window->isVisible());
    QVERIFY(!setting->editor->isVisible());

    const QString dict = setting->path(QStringLiteral("open.txt"));
    setting->write(QStringLiteral("open.txt"), "Open\r\n開啟\r\n");
    dialogs->answers = {dict};
    window->SpeedButton5->click();
    QVERIFY(!window->isVisible());
    QVERIFY(setting->editor->isVisible());
    QCOMPARE(setting->document.DictionaryFileName, dict);
}

void TestTDict1::editDictionaryRules()
{
    window->show();
    window->EditDict->click(); // empty field
    QVERIFY(window->isVisible());
    QVERIFY(!setting->editor->isVisible());

    window->E3->setText(setting->path(QStringLiteral("missing.txt")));
    window->EditDict->click();
    QVERIFY(window->isVisible());
    QVERIFY(!setting->editor->isVisible());
    QVERIFY(messages->messages.isEmpty());

    const QString dict = setting->path(QStringLiteral("made.txt"));
    setting->write(QStringLiteral("made.txt"), "File\r\n檔案\r\nEdit\r\n編輯\r\n");
    window->E3->setText(dict);
    window->EditDict->click();
    QVERIFY(!window->isVisible());
    QVERIFY(setting->editor->isVisible());
    QCOMPARE(setting->document.DictionaryFileName, dict);
    QCOMPARE(setting->document.Tables.LastEntry, 1);
}

void TestTDict1::editDictionaryWaitsForExtraction()
{
    const QString dict = setting->path(QStringLiteral("growing.txt"));
    choose(setting->path(QStringLiteral("a.rc")), setting->path(QStringLiteral("b.rc")), dict);
    window->SpeedButton4Click();
    QVERIFY(scriptRunner().IsRunning(RunKind::Extraction));
    // Half of the dictionary is there when the user asks to edit it.
    setting->write(QStringLiteral("growing.txt"), "File\r\n");
    window->show();
    progressLog->log.clear();

    bool windowTookInputWhileWaiting = true;
    QTimer::singleShot(0, this, [&] {
        windowTookInputWhileWaiting = window->isEnabled();
        setting->write(QStringLiteral("growing.txt"), "File\r\n檔案\r\nEdit\r\n編輯\r\nView\r\n檢視\r\n");
        launches->finish(0);
    });
    window->EditDict->click();

    QVERIFY(!windowTookInputWhileWaiting);
    QVERIFY(window->isEnabled());
    QVERIFY(progressLog->log.contains(QStringLiteral("show")));
    QVERIFY(progressLog->log.contains(QStringLiteral("text 等待字典檔製作完成..")));
    QVERIFY(!scriptRunner().IsRunning(RunKind::Extraction));
    QCOMPARE(setting->document.DictionaryFileName, dict);
    QCOMPARE(setting->document.Tables.LastEntry, 2); // the whole dictionary, not the half
    QVERIFY(!window->isVisible());
}

void TestTDict1::secondLoadWhileOneRunsIsRefused()
{
    const QString first = setting->path(QStringLiteral("first.txt"));
    const QString second = setting->path(QStringLiteral("second.txt"));
    setting->write(QStringLiteral("first.txt"), "File\r\n檔案\r\nEdit\r\n編輯\r\n");
    setting->write(QStringLiteral("second.txt"), "View\r\n檢視\r\n");
    window->show();
    // While the first load lets events run, the user asks for another one.
    bool askedAgain = false;
    progressLog->onText = [&](const QString &) {
        if (std::exchange(askedAgain, true))
            return;
        dialogs->answers = {second};
        window->SpeedButton5->click();
    };
    dialogs->answers = {first};
    window->SpeedButton5->click();
    QVERIFY(askedAgain);
    QCOMPARE(dialogs->shown.size(), qsizetype(1));
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.first().caption, QStringLiteral("字典檔維護"));
    // The grid and the file name tell of one and the same dictionary.
    QCOMPARE(setting->document.DictionaryFileName, first);
    QCOMPARE(setting->document.Tables.LastEntry, 1);
    QCOMPARE(setting->editor->Model()->DataRows(), 2);
    QCOMPARE(setting->editor->Model()->data(setting->editor->Model()->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("Edit"));
    QVERIFY(setting->editor->isEnabled());
}

void TestTDict1::editorsOwnOpenWaitsForExtraction()
{
    const QString dict = setting->path(QStringLiteral("growing.txt"));
    choose(setting->path(QStringLiteral("a.rc")), setting->path(QStringLiteral("b.rc")), dict);
    window->SpeedButton4Click();
    setting->write(QStringLiteral("growing.txt"), "File\r\n");
    setting->editor->show();
    progressLog->log.clear();
    QTimer::singleShot(0, this, [&] {
        setting->write(QStringLiteral("growing.txt"), "File\r\n檔案\r\nEdit\r\n編輯\r\nView\r\n檢視\r\n");
        launches->finish(0);
    });
    dialogs->answers = {dict};
    setting->editor->OpenBtnClick();
    QVERIFY(progressLog->log.contains(QStringLiteral("text 等待字典檔製作完成..")));
    QCOMPARE(setting->document.DictionaryFileName, dict);
    QCOMPARE(setting->document.Tables.LastEntry, 2);
}

// The dictionary open in the maintenance window is the run's output: a run
// over unsaved edits is asked about, and the window shows the new file after it.
void TestTDict1::extractionIntoTheOpenDictionary()
{
    const QString dict = setting->path(QStringLiteral("open.txt"));
    setting->write(QStringLiteral("open.txt"), "File\r\n" + Big5(QStringLiteral("檔案")) + "\r\n");
    QVERIFY(OpenDictionaryEditor(*setting->editor, dict));
    QVERIFY(setting->document.CommitChoice(0, QStringLiteral("文件")).Committed);
    QVERIFY(setting->document.Modified);
    choose(setting->path(QStringLiteral("a.rc")), setting->path(QStringLiteral("b.rc")), dict);

    // No: nothing runs, the file and the edits stay.
    messages->questionAnswer = false;
    window->SpeedButton4->click();
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.at(0).kind, QStringLiteral("question"));
    QCOMPARE(messages->messages.at(0).text, TDict1::ReplaceEditedQuestion(dict));
    QVERIFY(launches->commands.isEmpty());

    // Yes: it runs; after it the window offers to load the new file.
    messages->questionAnswer = true;
    window->SpeedButton4->click();
    QCOMPARE(launches->commands.size(), qsizetype(1));
    QFile out(launches->output());
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("Edit\r\n" + Big5(QStringLiteral("編輯")) + "\r\nView\r\n" + Big5(QStringLiteral("檢視")) + "\r\n");
    out.close();
    messages->questionAnswer = false; // keep the edits in the window for now
    launches->finish(0);
    QCOMPARE(messages->messages.size(), qsizetype(3));
    QCOMPARE(messages->messages.at(2).text, TDict1::ReloadQuestion(dict));
    QVERIFY(setting->document.Modified);
    QCOMPARE(setting->document.Tables.LastEntry, 0);

    // Without edits the new file is loaded without a question.
    setting->document.Modified = false;
    window->SpeedButton4->click();
    QCOMPARE(messages->messages.size(), qsizetype(3));
    out.setFileName(launches->output());
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("Edit\r\n" + Big5(QStringLiteral("編輯")) + "\r\nView\r\n" + Big5(QStringLiteral("檢視")) + "\r\n");
    out.close();
    launches->finish(0);
    QCOMPARE(messages->messages.size(), qsizetype(3));
    QCOMPARE(setting->document.DictionaryFileName, dict);
    QCOMPARE(setting->document.Tables.LastEntry, 1);
    QCOMPARE(setting->document.Tables.EntryTable[0].Source, std::string("Edit"));
    QVERIFY(!setting->document.Modified);
}

void TestTDict1::rendering()
{
    window->E1->setText(QStringLiteral("/home/譯者/來源/app.rc"));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QImage image = window->grab().toImage();
    QCOMPARE(image.size(), QSize(402, 322) * image.devicePixelRatio());
    QVERIFY(KeepShot(image, QStringLiteral("tdict1.png")));
    // Every label's text fits in the label and inside the window.
    for (QLabel *label : {window->Label2, window->Label3, window->Label4}) {
        QVERIFY(label->geometry().right() < 402);
        QVERIFY(label->width() >= label->sizeHint().width());
    }
    QVERIFY(window->Label1->heightForWidth(358) <= 73);
    for (QToolButton *b : {window->SpeedButton5, window->SpeedButton6})
        QVERIFY(b->fontMetrics().horizontalAdvance(QString(b->text()).remove(QLatin1Char('&'))) <= b->width());

    // While a run goes on: its line fits between the switches and 停止.
    choose(setting->path(QStringLiteral("a.rc")), setting->path(QStringLiteral("b.rc")),
           setting->path(QStringLiteral("d.txt")));
    window->SpeedButton4->click();
    QVERIFY(window->RunLine->isVisible() && window->StopButton->isVisible());
    QVERIFY(KeepShot(window->grab().toImage(), QStringLiteral("tdict1-running.png")));
    QVERIFY(window->RunLine->width() >= window->RunLine->sizeHint().width());
    QVERIFY(window->RunLine->x() > window->SpeedButton6->geometry().right());
    QVERIFY(window->RunLine->geometry().right() < window->StopButton->x());
}

QTEST_MAIN(TestTDict1)
#include "test_tdict1.moc"
