// The run sequence of the two conversions as a window drives it: progress
// stages, messages, the script file, the interpreter's start and its end,
// as the runner tells them and the windows show them.

#include "convert/runner.h"
#include "convert/runwindows.h"
#include "platform/messages.h"
#include "platform/progress.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// One log of everything the run shows, in order.
QStringList journal;

class RecordingProgress final : public ProgressOperations {
public:
    void ShowProgress() override { journal << QStringLiteral("show"); }
    void SetProgressText(const QString &text) override { journal << QStringLiteral("text ") + text; }
    void SetProgressPosition(int position) override { journal << QStringLiteral("pos %1").arg(position); }
    void ProcessPendingEvents() override {}
    void CloseProgress() override { journal << QStringLiteral("close"); }
};

class RecordingBoxes final : public MessageBoxes {
public:
    void message(QWidget *, const QString &text, const QString &caption) override
    {
        journal << QStringLiteral("message %1 | %2").arg(text, caption);
    }
    void error(QWidget *, const QString &text, const QString &caption) override
    {
        journal << QStringLiteral("error %1 | %2").arg(text, caption);
    }
    bool question(QWidget *, const QString &, const QString &) override { return false; }
};

class RecordingLauncher final : public ScriptLauncher {
public:
    StartResult start(const InterpreterCommand &command, std::function<void(int, bool)> finished) override
    {
        journal << QStringLiteral("start");
        commands.push_back(command);
        if (!canStart)
            return {false, QStringLiteral("No such file or directory")};
        pending.push_back(std::move(finished));
        return {true, {}};
    }
    void finishOldest(int exitCode, bool crashed = false)
    {
        auto done = pending.front();
        pending.erase(pending.begin());
        done(exitCode, crashed);
    }
    std::vector<InterpreterCommand> commands;
    std::vector<std::function<void(int, bool)>> pending;
    bool canStart = true;
};

std::string readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    const QByteArray data = f.readAll();
    return std::string(data.constData(), std::size_t(data.size()));
}

// The file the script run by `command` writes: its $f3 line.
QString scriptOutput(const InterpreterCommand &command)
{
    const std::string script = readAll(command.arguments.value(0));
    const std::size_t at = script.find("$f3=\"");
    if (at == std::string::npos)
        return {};
    const std::size_t from = at + 5;
    return PathFromBytes(script.substr(from, script.find('"', from) - from));
}

} // namespace

class TestConvertRunner : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void extractionStagesAndStart();
    void translationStagesAndStart();
    void emptyFieldsStopBeforeAnything();
    void sameRcAndInputOutputRefused();
    void scriptThatCannotBeWritten();
    void interpreterThatCannotStart();
    void secondRunRefusedWhileTheFirstWorks();
    void failedInterpreterIsReported();
    void editorWaitsForTheDictionaryBeingMade();
    void realProcessesAreWatched();
    void slowRunStoppedOrWaitedFor();

private:
    RecordingProgress Progress;
    RecordingBoxes Boxes;
    const ScopedOverride<ProgressOperations> RecordsProgress{progressSeam(), Progress};
    const ScopedOverride<MessageBoxes> RecordsBoxes{messageBoxSeam(), Boxes};
    RecordingLauncher *Launcher = nullptr;
    ScriptRunner *Runner = nullptr;
    std::optional<ScopedOverride<ScriptLauncher>> RecordsStarts;
    QTemporaryDir *Dir = nullptr;
    QString Work;
    RunSetup Setup;
    std::string root;
};

void TestConvertRunner::init()
{
    journal.clear();
    Launcher = new RecordingLauncher;
    Runner = new ScriptRunner;
    RecordsStarts.emplace(Runner->launcherSeam(), *Launcher);
    ShowRunsInWindows(*Runner);
    ShowRunsInWindows(*Runner); // still shown once
    Dir = new QTemporaryDir;
    QVERIFY(Dir->isValid());
    Work = Dir->path() + QStringLiteral("/work dir \"q\"/");
    QVERIFY(QDir().mkpath(Work));
    root = PathBytes(Dir->path());
    for (const char *name : {"/en.rc", "/zh.rc", "/d.txt"}) {
        QFile f(PathFromBytes(root + name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    Setup = RunSetup{QStringLiteral("/opt/my perl/perl"), Work,
                     [](bool enabled) { journal << (enabled ? QStringLiteral("editor on") : QStringLiteral("editor off")); },
                     {}, {}};
}

void TestConvertRunner::cleanup()
{
    delete Runner;
    RecordsStarts.reset();
    delete Launcher;
    delete Dir;
}

void TestConvertRunner::extractionStagesAndStart()
{
    ScriptTemplate pl = ExtractionTemplate();
    const ExtractionPaths paths{root + "/en.rc", root + "/zh.rc", root + "/out \xB3\x5C.txt"};
    QVERIFY(Runner->RunExtraction(pl, paths, Setup).Started());
    const QStringList expected{
        QStringLiteral("show"), QStringLiteral("editor off"), QStringLiteral("pos 0"),
        QStringLiteral("text 檢查檔案路徑及資料.."),
        QStringLiteral("pos 15"), QStringLiteral("text 處理原始RC檔.."),
        QStringLiteral("pos 30"), QStringLiteral("text 處理翻譯後RC檔.."),
        QStringLiteral("pos 45"), QStringLiteral("text 處理字典檔.."),
        QStringLiteral("pos 60"), QStringLiteral("text 製作pl檔案.."),
        QStringLiteral("pos 80"), QStringLiteral("text 準備執行Perl.."), QStringLiteral("start"),
        QStringLiteral("pos 100"), QStringLiteral("text 完成"),
        QStringLiteral("editor on"), QStringLiteral("close"), QStringLiteral("pos 0")};
    QCOMPARE(journal, expected);

    // The window's template holds the filled lines, and the file is the very
    // script the command line writes for these paths.
    const QString script = Work + QStringLiteral("Glossary.pl");
    QCOMPARE(readAll(script), ExtractionScript(paths));
    QCOMPARE(pl.bytes(), ExtractionScript(paths));

    QCOMPARE(Launcher->commands.size(), std::size_t(1));
    const InterpreterCommand &c = Launcher->commands.front();
    QCOMPARE(c.program, QStringLiteral("/opt/my perl/perl"));
    // The interpreter runs a copy that writes into the run's own folder,
    // never into the user's dictionary.
    QCOMPARE(c.arguments.size(), qsizetype(1));
    const QFileInfo run(c.arguments.front());
    QCOMPARE(run.fileName(), QStringLiteral("Glossary.pl"));
    QVERIFY(run.absolutePath() + QLatin1Char('/') != Work);
    QCOMPARE(QFileInfo(scriptOutput(c)).absolutePath(), run.absolutePath());
    ExtractionPaths named = paths;
    named.E3 = PathBytes(scriptOutput(c));
    QCOMPARE(readAll(c.arguments.front()), ExtractionScript(named));
    QCOMPARE(c.workingDirectory, Work);
    QCOMPARE(c.environment.value(QStringLiteral("PERLIO")), QStringLiteral(":unix:crlf"));
    QVERIFY(!c.environment.contains(QStringLiteral("PERL_UNICODE")));
    QVERIFY(Runner->IsRunning(RunKind::Extraction));
    QVERIFY(!Runner->IsRunning(RunKind::Translation));
}

void TestConvertRunner::translationStagesAndStart()
{
    ScriptTemplate pl = TranslationTemplate();
    TranslationPaths paths{root + "/d.txt", root + "/en.rc", root + "/out.rc", true};
    QVERIFY(Runner->RunTranslation(pl, paths, Setup).Started());
    const QStringList expected{
        QStringLiteral("pos 0"), QStringLiteral("text 檢查檔案路徑及資料.."), QStringLiteral("show"),
        QStringLiteral("pos 14"), QStringLiteral("text 處理字款設定.."),
        QStringLiteral("pos 28"), QStringLiteral("text 處理字典檔.."),
        QStringLiteral("pos 42"), QStringLiteral("text 處理新版本英文RC檔.."),
        QStringLiteral("pos 56"), QStringLiteral("text 處理新版本中文RC檔.."),
        QStringLiteral("pos 60"), QStringLiteral("text 建立pl檔.."),
        QStringLiteral("pos 80"), QStringLiteral("text 準備執行Perl.."), QStringLiteral("start"),
        QStringLiteral("pos 100"), QStringLiteral("text 完成"),
        QStringLiteral("close"), QStringLiteral("pos 0")};
    QCOMPARE(journal, expected);
    QCOMPARE(readAll(Work + QStringLiteral("TRANS.PL")), TranslationScript(paths));
    const InterpreterCommand &c = Launcher->commands.front();
    QCOMPARE(QFileInfo(c.arguments.value(0)).fileName(), QStringLiteral("TRANS.PL"));
    TranslationPaths named = paths;
    named.T3 = PathBytes(scriptOutput(c));
    QVERIFY(named.T3 != paths.T3);
    QCOMPARE(readAll(c.arguments.front()), TranslationScript(named));

    // The next run of the same window replaces the same lines again.
    Launcher->finishOldest(0);
    paths.SizeChange = false;
    paths.T3 = root + "/other.rc";
    QVERIFY(Runner->RunTranslation(pl, paths, Setup).Started());
    QCOMPARE(readAll(Work + QStringLiteral("TRANS.PL")), TranslationScript(paths));
}

void TestConvertRunner::emptyFieldsStopBeforeAnything()
{
    ScriptTemplate ex = ExtractionTemplate();
    QCOMPARE(Runner->RunExtraction(ex, {root + "/en.rc", "", root + "/o.txt"}, Setup).Reached, RunStep::Refused);
    QCOMPARE(journal, (QStringList{QStringLiteral("show"), QStringLiteral("editor off"), QStringLiteral("pos 0"),
                                   QStringLiteral("text 檢查檔案路徑及資料.."),
                                   QStringLiteral("message 資料未輸入妥當：「翻譯後Resource檔」沒有填。 | 錯誤"),
                                   QStringLiteral("editor on"), QStringLiteral("close"), QStringLiteral("pos 0")}));
    journal.clear();
    ScriptTemplate tr = TranslationTemplate();
    QCOMPARE(Runner->RunTranslation(tr, {root + "/d.txt", root + "/en.rc", "", false}, Setup).Reached,
             RunStep::Refused);
    QCOMPARE(journal, (QStringList{QStringLiteral("pos 0"), QStringLiteral("text 檢查檔案路徑及資料.."),
                                   QStringLiteral("show"), QStringLiteral("text 製作失敗"),
                                   QStringLiteral("message 資料未輸入妥當：「翻譯後的RC檔」沒有填。 | 錯誤"),
                                   QStringLiteral("close"), QStringLiteral("pos 0")}));
    QVERIFY(Launcher->commands.empty());
    QVERIFY(QDir(Work).isEmpty());
    QCOMPARE(ex.bytes(), ExtractionTemplate().bytes());
}

void TestConvertRunner::sameRcAndInputOutputRefused()
{
    ScriptTemplate tr = TranslationTemplate();
    QCOMPARE(Runner->RunTranslation(tr, {root + "/d.txt", root + "/en.rc", root + "/en.rc", false}, Setup).Reached,
             RunStep::Refused);
    QVERIFY(journal.contains(QStringLiteral("message 新版本RC檔及翻譯後RC檔的路徑不能相同。 | 錯誤")));
    QCOMPARE(journal.mid(journal.size() - 2), (QStringList{QStringLiteral("close"), QStringLiteral("pos 0")}));
    journal.clear();
    QCOMPARE(Runner->RunTranslation(tr, {root + "/d.txt", root + "/en.rc", root + "//d.txt", false}, Setup).Reached,
             RunStep::Refused);
    QVERIFY(journal.filter(QStringLiteral("message ")).size() == 1);

    journal.clear();
    ScriptTemplate ex = ExtractionTemplate();
    QCOMPARE(Runner->RunExtraction(ex, {root + "/en.rc", root + "/zh.rc", root + "/./zh.rc"}, Setup).Reached,
             RunStep::Refused);
    QCOMPARE(journal.filter(QStringLiteral("message ")).size(), 1);
    QCOMPARE(journal.last(), QStringLiteral("pos 0"));
    QVERIFY(journal.contains(QStringLiteral("editor on")));
    QVERIFY(Launcher->commands.empty());
    QVERIFY(QDir(Work).isEmpty());
}

void TestConvertRunner::scriptThatCannotBeWritten()
{
    // A working folder that is gone: the script cannot be created there.
    Setup.WorkDirectory = Dir->path() + QStringLiteral("/gone/");
    ScriptTemplate ex = ExtractionTemplate();
    QCOMPARE(Runner->RunExtraction(ex, {root + "/en.rc", root + "/zh.rc", root + "/o.txt"}, Setup).Reached,
             RunStep::ScriptNotWritten);
    QVERIFY(journal.contains(QStringLiteral("error Cannot create file %1Glossary.pl | Tavisorn 2.0").arg(Setup.WorkDirectory)));
    QVERIFY(!journal.contains(QStringLiteral("start")));
    QVERIFY(!journal.contains(QStringLiteral("text 完成")));
    QCOMPARE(journal.mid(journal.size() - 3),
             (QStringList{QStringLiteral("editor on"), QStringLiteral("close"), QStringLiteral("pos 0")}));
    QVERIFY(!Runner->IsRunning(RunKind::Extraction));
}

void TestConvertRunner::interpreterThatCannotStart()
{
    Launcher->canStart = false;
    ScriptTemplate tr = TranslationTemplate();
    QCOMPARE(Runner->RunTranslation(tr, {root + "/d.txt", root + "/en.rc", root + "/o.rc", false}, Setup).Reached,
             RunStep::NotStarted);
    QVERIFY(!journal.contains(QStringLiteral("text 完成")));
    QVERIFY(journal.contains(QStringLiteral("text 製作失敗")));
    const QStringList messages = journal.filter(QStringLiteral("message "));
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages.front().contains(QStringLiteral("/opt/my perl/perl")));
    QVERIFY(messages.front().contains(QStringLiteral("設定")));
    QVERIFY(!Runner->IsRunning(RunKind::Translation));
}

void TestConvertRunner::secondRunRefusedWhileTheFirstWorks()
{
    ScriptTemplate ex = ExtractionTemplate();
    const ExtractionPaths paths{root + "/en.rc", root + "/zh.rc", root + "/o.txt"};
    QVERIFY(Runner->RunExtraction(ex, paths, Setup).Started());
    const std::string firstScript = readAll(Work + QStringLiteral("Glossary.pl"));
    journal.clear();
    QCOMPARE(Runner->RunExtraction(ex, {root + "/en.rc", root + "/zh.rc", root + "/p.txt"}, Setup).Reached,
             RunStep::Refused);
    QCOMPARE(journal.filter(QStringLiteral("message ")),
             QStringList{QStringLiteral("message ") + ScriptRunner::StillRunningMessage(RunKind::Extraction)
                         + QStringLiteral(" | 錯誤")});
    // The working script is not replaced under the interpreter.
    QCOMPARE(readAll(Work + QStringLiteral("Glossary.pl")), firstScript);

    // A translation may run beside it, but not on the dictionary being made.
    ScriptTemplate tr = TranslationTemplate();
    journal.clear();
    QCOMPARE(Runner->RunTranslation(tr, {root + "/./o.txt", root + "/en.rc", root + "/x.rc", false}, Setup).Reached,
             RunStep::Refused);
    QVERIFY(journal.contains(QStringLiteral("message ") + ScriptRunner::DictionaryBeingMadeMessage()
                             + QStringLiteral(" | 錯誤")));
    QVERIFY(Runner->RunTranslation(tr, {root + "/d.txt", root + "/en.rc", root + "/x.rc", false}, Setup).Started());

    Launcher->finishOldest(0);
    QVERIFY(!Runner->IsRunning(RunKind::Extraction));
    QVERIFY(Runner->RunExtraction(ex, paths, Setup).Started());
}

void TestConvertRunner::failedInterpreterIsReported()
{
    QSignalSpy ended(Runner, &ScriptRunner::RunEnded);
    ScriptTemplate tr = TranslationTemplate();
    const QString old = PathFromBytes(root + "/o.rc");
    {
        QFile f(old);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("old output\r\n") == 12);
    }
    QVERIFY(Runner->RunTranslation(tr, {root + "/d.txt", root + "/en.rc", root + "/o.rc", false}, Setup).Started());
    QFile(scriptOutput(Launcher->commands.back())).open(QIODevice::WriteOnly); // cut short
    journal.clear();
    Launcher->finishOldest(2);
    QCOMPARE(readAll(old), std::string("old output\r\n"));
    QCOMPARE(journal, QStringList{QStringLiteral("message ") + ScriptRunner::FailedMessage(RunKind::Translation, 2, false)
                                  + QStringLiteral(" | 錯誤")});
    QVERIFY(journal.front().contains(QStringLiteral("2")));
    QCOMPARE(ended.size(), 1);
    const RunEnd failed = ended.front().at(0).value<RunEnd>();
    QVERIFY(!failed.Succeeded());
    QCOMPARE(failed.ExitCode, 2);
    QCOMPARE(failed.Output, root + "/o.rc");

    // Status 0 and no output: not a success either.
    QVERIFY(Runner->RunTranslation(tr, {root + "/d.txt", root + "/en.rc", root + "/o.rc", false}, Setup).Started());
    journal.clear();
    Launcher->finishOldest(0);
    QCOMPARE(journal.size(), qsizetype(1));
    QVERIFY2(journal.front().startsWith(QStringLiteral("message 無法讀取Perl程式寫出的檔案")), qPrintable(journal.front()));
    QCOMPARE(readAll(old), std::string("old output\r\n"));
    QVERIFY(!ended.back().at(0).value<RunEnd>().Reported());

    // The output as the script writes it for an empty script: a good end,
    // told by the report that travels with it and by no message.
    QVERIFY(Runner->RunTranslation(tr, {root + "/d.txt", root + "/en.rc", root + "/o.rc", false}, Setup).Started());
    QFile(scriptOutput(Launcher->commands.back())).open(QIODevice::WriteOnly);
    journal.clear();
    Launcher->finishOldest(0);
    QVERIFY(journal.isEmpty());
    QCOMPARE(ended.size(), 3);
    const RunEnd good = ended.back().at(0).value<RunEnd>();
    QVERIFY(good.Succeeded());
    QVERIFY(good.Translation.has_value());
    QCOMPARE(good.Dictionary, root + "/d.txt");
    QCOMPARE(good.Translation->TextsFound, qint64(0));
    QCOMPARE(readAll(old), std::string()); // put in place after the good end
}

void TestConvertRunner::editorWaitsForTheDictionaryBeingMade()
{
    ScriptTemplate ex = ExtractionTemplate();
    QVERIFY(Runner->RunExtraction(ex, {root + "/en.rc", root + "/zh.rc", root + "/dict.txt"}, Setup).Started());
    QVERIFY(Runner->ExtractionWritesTo(root + "/dict.txt"));
    QVERIFY(Runner->ExtractionWritesTo(root + "/../" + root.substr(root.rfind('/') + 1) + "/dict.txt"));
    QVERIFY(!Runner->ExtractionWritesTo(root + "/d.txt"));
    QVERIFY(Runner->WaitForExtraction(root + "/d.txt")); // nothing to wait for

    journal.clear();
    QFile(scriptOutput(Launcher->commands.back())).open(QIODevice::WriteOnly);
    QTimer::singleShot(20, this, [this] { Launcher->finishOldest(0); });
    QVERIFY(Runner->WaitForExtraction(root + "/dict.txt"));
    QCOMPARE(journal.first(), QStringLiteral("show"));
    QCOMPARE(journal.last(), QStringLiteral("pos 0"));
    QVERIFY(!Runner->ExtractionWritesTo(root + "/dict.txt"));

    QVERIFY(Runner->RunExtraction(ex, {root + "/en.rc", root + "/zh.rc", root + "/dict.txt"}, Setup).Started());
    QTimer::singleShot(20, this, [this] { Launcher->finishOldest(1); });
    QVERIFY(!Runner->WaitForExtraction(root + "/dict.txt"));
}

void TestConvertRunner::realProcessesAreWatched()
{
    const QString perl = QStandardPaths::findExecutable(QStringLiteral("perl"));
    if (perl.isEmpty())
        QSKIP("no perl on the PATH");
    ProcessLauncher launcher;
    const QString script = Work + QStringLiteral("exit.pl");
    QFile f(script);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("open(my $o, '>', 'layers.txt'); print $o join(',', PerlIO::get_layers(STDOUT)); exit 3;\n");
    f.close();

    int code = -1;
    bool done = false;
    const StartResult started = launcher.start(BuildInterpreterCommand(perl, script, Work), [&](int exitCode, bool) {
        code = exitCode;
        done = true;
    });
    QVERIFY(started.started);
    QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
    QCOMPARE(code, 3);
    // The script ran in the working folder, with the CR LF layer on.
    QVERIFY(readAll(Work + QStringLiteral("layers.txt")).find("crlf") != std::string::npos);

    const StartResult missing = launcher.start(
        BuildInterpreterCommand(Work + QStringLiteral("no-such-perl"), script, Work), [](int, bool) {});
    QVERIFY(!missing.started);
    QVERIFY(!missing.error.isEmpty());
    QVERIFY(!launcher.start(BuildInterpreterCommand(QString(), script, Work), [](int, bool) {}).started);
}

QTEST_GUILESS_MAIN(TestConvertRunner)
// A slow interpreter (a wrapper that sleeps, then runs perl): stopped, it
// leaves the old dictionary; waited for, the dictionary is in place when the
// wait ends.
void TestConvertRunner::slowRunStoppedOrWaitedFor()
{
    if (QStandardPaths::findExecutable(QStringLiteral("perl")).isEmpty())
        QSKIP("no perl on the PATH");
    RecordsStarts.reset(); // real processes
    const QString slow = Dir->filePath(QStringLiteral("slow perl"));
    {
        QFile f(slow);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nsleep 3\nexec perl \"$@\"\n");
    }
    QVERIFY(QFile::setPermissions(slow, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    Setup.PerlPath = slow;
    const QByteArray head("// Microsoft Visual C++ generated resource script.\r\nSTRINGTABLE\r\nBEGIN\r\n");
    for (const auto &[name, text] : {std::pair{"/en.rc", QByteArray("Open")}, std::pair{"/zh.rc", QByteArray("\xB6}\xB1\xD2")}}) {
        QFile f(PathFromBytes(root + name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(head + "    IDS_OPEN \"" + text + "\"\r\nEND\r\n");
    }
    const ExtractionPaths paths{root + "/en.rc", root + "/zh.rc", root + "/dict.txt"};
    {
        QFile f(PathFromBytes(paths.E3));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("old\r\n") == 5);
    }
    QSignalSpy ended(Runner, &ScriptRunner::RunEnded);
    ScriptTemplate ex = ExtractionTemplate();
    QVERIFY(Runner->RunExtraction(ex, paths, Setup).Started());
    journal.clear();
    Runner->Stop(RunKind::Extraction);
    QVERIFY(ended.wait(10000));
    QVERIFY(ended.front().at(0).value<RunEnd>().Stopped);
    QVERIFY(!ended.front().at(0).value<RunEnd>().Succeeded());
    QCOMPARE(journal, QStringList{QStringLiteral("message ") + ScriptRunner::StoppedMessage(RunKind::Extraction)
                                  + QStringLiteral(" | 錯誤")});
    QVERIFY(!Runner->IsRunning());
    QCOMPARE(readAll(PathFromBytes(paths.E3)), std::string("old\r\n"));

    QVERIFY(Runner->RunExtraction(ex, paths, Setup).Started());
    journal.clear();
    Runner->WaitForRuns();
    QVERIFY(!Runner->IsRunning());
    QCOMPARE(ended.size(), 2);
    QVERIFY(ended.back().at(0).value<RunEnd>().Succeeded());
    QCOMPARE(readAll(PathFromBytes(paths.E3)), std::string("Open\r\n\xB6}\xB1\xD2\r\n"));
    QCOMPARE(journal.first(), QStringLiteral("show"));
    QVERIFY(journal.contains(QStringLiteral("text 等待Perl程式完成..")));
}

#include "test_convert_runner.moc"
