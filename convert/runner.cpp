#include "convert/runner.h"

#include "convert/versions.h"
#include "files/savefile.h"

#include <QEventLoop>
#include <QFile>
#include <QPointer>

#include <utility>

namespace {

// One stage of filling a template: the stage is told, then the template
// line gets its value.
struct FillStage {
    int position;
    QString text;
    std::size_t line;
    std::string value;
};

} // namespace

ScriptRunner::ScriptRunner(QObject *parent) : QObject(parent) {}

ScriptRunner::~ScriptRunner() = default;

ScriptLauncher &ScriptRunner::launcher()
{
    if (ScriptLauncher *installed = Launchers.overriding())
        return *installed;
    if (!Processes)
        Processes = std::make_unique<ProcessLauncher>();
    return *Processes;
}

QString ScriptRunner::StillRunningMessage(RunKind kind)
{
    return kind == RunKind::Extraction
        ? QStringLiteral("上一次製作字典檔的Perl程式仍在執行中，請等它完成後再開始製作。")
        : QStringLiteral("上一次翻譯新版本的Perl程式仍在執行中，請等它完成後再開始製作。");
}

QString ScriptRunner::DictionaryBeingMadeMessage()
{
    return QStringLiteral("這個字典檔仍在製作中，請等製作完成後再開始翻譯。");
}

QString ScriptRunner::CannotStartMessage(const QString &perlPath, const QString &reason)
{
    return QStringLiteral("無法執行Perl直譯器「%1」：%2\n請在設定中檢查Perl的路徑。").arg(perlPath, reason);
}

namespace {

QString runName(RunKind kind)
{
    return kind == RunKind::Extraction ? QStringLiteral("製作字典檔") : QStringLiteral("翻譯新版本");
}

} // namespace

QString ScriptRunner::FailedMessage(RunKind kind, int exitCode, bool crashed, const QString &reason)
{
    QString how = crashed ? QStringLiteral("不正常結束") : QStringLiteral("結束時傳回錯誤碼 %1").arg(exitCode);
    if (!reason.isEmpty())
        how = QStringLiteral("無法寫完它的檔案（%1）").arg(reason);
    const QString output = kind == RunKind::Extraction ? QStringLiteral("字典檔") : QStringLiteral("翻譯後的RC檔");
    return QStringLiteral("%1的Perl程式%2。%3沒有寫出，原有的檔案沒有改變。").arg(runName(kind), how, output);
}

QString ScriptRunner::StoppedMessage(RunKind kind)
{
    return QStringLiteral("已停止%1的Perl程式，原有的輸出檔沒有改變。").arg(runName(kind));
}

QString ScriptRunner::EndWhileRunningQuestion()
{
    return QStringLiteral("Perl程式仍在執行中，它的輸出檔要等它完成後才會寫出。\n"
                          "要等它完成再結束程式、停止它並結束程式（輸出檔不會改變），還是不要結束？");
}

QStringList ScriptRunner::EndWhileRunningAnswers()
{
    return {QStringLiteral("等它完成"), QStringLiteral("停止"), QStringLiteral("取消")};
}

RunResult ScriptRunner::stop(RunKind kind, RunStep reached, const QString &text, const QString &caption)
{
    RunResult result{kind, reached, text, caption};
    emit Stopped(result);
    return result;
}

RunResult ScriptRunner::RunExtraction(ScriptTemplate &pl, const ExtractionPaths &paths, const RunSetup &setup)
{
    const RunKind kind = RunKind::Extraction;
    auto editorEnabled = [&](bool enabled) {
        if (setup.SetEditorEnabled)
            setup.SetEditorEnabled(enabled);
    };

    emit ProgressOpened(kind);
    editorEnabled(false);
    stage(kind, 0, QStringLiteral("檢查檔案路徑及資料.."));

    RunResult result;
    Job prepared;
    prepared.output = paths.E3;
    prepared.extraction = std::make_unique<ExtractionRun>();
    std::optional<Refusal> refused = extractionRefusal(paths);
    if (!refused)
        refused = makeFolder(prepared);
    if (!refused)
        refused = PrepareExtraction(paths, setup.Extraction, prepared.folder->path(), *prepared.extraction);
    if (refused) {
        result = stop(kind, RunStep::Refused, refused->text, refused->caption);
    } else {
        // The script in the working folder names the user's files, so that
        // it can be run again by hand; the interpreter runs a copy naming
        // the run's own files, its output among them.
        for (const FillStage &fill :
             {FillStage{15, QStringLiteral("處理原始RC檔.."), ExtractionLineF1, PatchLine("$f1", paths.E1)},
              FillStage{30, QStringLiteral("處理翻譯後RC檔.."), ExtractionLineF2, PatchLine("$f2", paths.E2)},
              FillStage{45, QStringLiteral("處理字典檔.."), ExtractionLineF3, PatchLine("$f3", paths.E3)}}) {
            stage(kind, fill.position, fill.text);
            pl.replaceLine(fill.line, fill.value);
        }
        FillDelimiters(pl, *prepared.extraction);
        stage(kind, 60, QStringLiteral("製作pl檔案.."));
        const std::string runScript = RunScript(*prepared.extraction);
        result = writeAndStart(kind, pl, runScript, ExtractionScriptName, std::move(prepared), setup);
    }
    editorEnabled(true);
    emit ProgressClosed(kind);
    return result;
}

RunResult ScriptRunner::RunTranslation(ScriptTemplate &pl, const TranslationPaths &paths, const RunSetup &setup)
{
    const RunKind kind = RunKind::Translation;
    stage(kind, 0, QStringLiteral("檢查檔案路徑及資料.."));
    emit ProgressOpened(kind);

    RunResult result;
    Job prepared;
    prepared.output = paths.T3;
    prepared.translation = std::make_unique<TranslationRun>();
    std::optional<Refusal> refused = translationRefusal(paths);
    if (!refused)
        refused = makeFolder(prepared);
    if (!refused)
        refused = PrepareTranslation(paths, setup.Translation, prepared.folder->path(), *prepared.translation);
    if (refused) {
        result = stop(kind, RunStep::Refused, refused->text, refused->caption);
    } else {
        for (const FillStage &fill :
             {FillStage{14, QStringLiteral("處理字款設定.."), TranslationLineChangeFont, ChangeFontLine(paths.SizeChange)},
              FillStage{28, QStringLiteral("處理字典檔.."), TranslationLineF1, PatchLine("$f1", paths.T1)},
              FillStage{42, QStringLiteral("處理新版本英文RC檔.."), TranslationLineF2, PatchLine("$f2", paths.T2)},
              FillStage{56, QStringLiteral("處理新版本中文RC檔.."), TranslationLineF3, PatchLine("$f3", paths.T3)}}) {
            stage(kind, fill.position, fill.text);
            pl.replaceLine(fill.line, fill.value);
        }
        FillDelimiters(pl, *prepared.translation);
        stage(kind, 60, QStringLiteral("建立pl檔.."));
        const std::string runScript = RunScript(*prepared.translation);
        result = writeAndStart(kind, pl, runScript, TranslationScriptName, std::move(prepared), setup);
    }
    emit ProgressClosed(kind);
    return result;
}

std::optional<Refusal> ScriptRunner::extractionRefusal(const ExtractionPaths &paths) const
{
    if (auto r = ExtractionRefusal(paths))
        return r;
    if (IsRunning(RunKind::Extraction))
        return Refusal{StillRunningMessage(RunKind::Extraction), RefusalCaption()};
    return std::nullopt;
}

std::optional<Refusal> ScriptRunner::translationRefusal(const TranslationPaths &paths)
{
    if (paths.T1.empty() || paths.T2.empty() || paths.T3.empty())
        stage(RunKind::Translation, KeepPosition, QStringLiteral("製作失敗"));
    if (auto r = TranslationPathRefusal(paths))
        return r;
    if (IsRunning(RunKind::Translation))
        return Refusal{StillRunningMessage(RunKind::Translation), RefusalCaption()};
    // A dictionary still being made may not exist yet: that is said first.
    if (ExtractionWritesTo(paths.T1))
        return Refusal{DictionaryBeingMadeMessage(), RefusalCaption()};
    return CheckTranslationAccess(paths);
}

std::optional<Refusal> ScriptRunner::makeFolder(Job &job)
{
    job.folder = std::make_unique<QTemporaryDir>();
    if (job.folder->isValid())
        return std::nullopt;
    return Refusal{QStringLiteral("無法建立暫存資料夾：%1").arg(job.folder->errorString()), RefusalCaption()};
}

RunResult ScriptRunner::writeAndStart(RunKind kind, const ScriptTemplate &pl, const std::string &runScript,
                                      const char *scriptName, Job prepared, const RunSetup &setup)
{
    if (const WriteResult written = WriteScriptFile(setup.WorkDirectory + QLatin1String(scriptName), pl.bytes());
        !written.ok)
        return stop(kind, RunStep::ScriptNotWritten, written.error, QString());
    const QString runPath = prepared.folder->filePath(QLatin1String(scriptName));
    if (const WriteResult written = WriteScriptFile(runPath, runScript); !written.ok)
        return stop(kind, RunStep::ScriptNotWritten, written.error, QString());
    return startScript(kind, runPath, std::move(prepared), setup);
}

RunResult ScriptRunner::startScript(RunKind kind, const QString &scriptPath, Job prepared, const RunSetup &setup)
{
    stage(kind, 80, QStringLiteral("準備執行Perl.."));

    const quint64 id = NextId++;
    QPointer<ScriptRunner> self(this);
    InterpreterCommand command = BuildInterpreterCommand(setup.PerlPath, scriptPath, setup.WorkDirectory);
    if (const QString error = CheckInterpreterCloses(command, prepared.folder->path()); !error.isEmpty()) {
        stage(kind, KeepPosition, QStringLiteral("製作失敗"));
        return stop(kind, RunStep::NotStarted, error, RefusalCaption());
    }
    prepared.errorFile = prepared.folder->filePath(QStringLiteral("perl errors.txt"));
    command.errorFile = prepared.errorFile;
    const StartResult started = launcher().start(
        command,
        [self, kind, id](int exitCode, bool crashed) {
            if (self)
                self->jobEnded(kind, id, exitCode, crashed);
        });
    if (!started.started) {
        stage(kind, KeepPosition, QStringLiteral("製作失敗"));
        return stop(kind, RunStep::NotStarted, CannotStartMessage(setup.PerlPath, started.error), RefusalCaption());
    }
    prepared.id = id;
    prepared.stop = started.stop;
    job(kind) = std::move(prepared);

    stage(kind, 100, QStringLiteral("完成"));
    emit RunStarted(kind);
    return RunResult{kind, RunStep::Started, QString(), QString()};
}

void ScriptRunner::jobEnded(RunKind kind, quint64 id, int exitCode, bool crashed)
{
    std::optional<Job> &current = job(kind);
    if (!current || current->id != id)
        return;
    RunEnd end;
    end.Kind = kind;
    end.ExitCode = exitCode;
    end.Crashed = crashed;
    end.Stopped = current->stopping;
    if (!end.Stopped && !crashed) {
        QFile errors(current->errorFile);
        if (errors.open(QIODevice::ReadOnly))
            if (const int error = FailedCloseError(errors.read(1 << 16)))
                end.Reason = SystemReason(error);
    }
    // The program's part of the run is done before anyone hears of the end:
    // a dictionary the editor waits for is complete when it is told.
    if (end.Succeeded())
        finish(*current, end);
    end.Output = std::move(current->output);
    current.reset(); // the run's copies go with its folder
    if (kind == RunKind::Extraction)
        LastExtractionSucceeded = end.Succeeded() && end.FinishError.isEmpty();
    emit RunEnded(end);
}

void ScriptRunner::finish(const Job &job, RunEnd &end)
{
    if (job.extraction) {
        RunOutcome<ExtractionReport> outcome = FinishExtraction(*job.extraction);
        if (outcome.ok)
            outcome.error = PutOutputInPlace(outcome.OutputPath, outcome.Output);
        if (outcome.error.isEmpty())
            end.Extraction = std::move(outcome.report);
        else
            end.FinishError = outcome.error;
    } else if (job.translation) {
        end.Dictionary = job.translation->Paths.T1;
        RunOutcome<TranslationReport> outcome = FinishTranslation(*job.translation);
        if (outcome.ok && !job.translation->Options.OldEnglish.empty())
            CompareVersions(outcome.report, job.translation->OldEnglish, job.translation->Source.copyOrFile(),
                            job.translation->Dictionary);
        if (outcome.ok)
            outcome.error = PutOutputInPlace(outcome.OutputPath, outcome.Output);
        if (outcome.error.isEmpty())
            end.Translation = std::move(outcome.report);
        else
            end.FinishError = outcome.error;
    }
}

bool ScriptRunner::IsRunning(RunKind kind) const
{
    return job(kind).has_value();
}

void ScriptRunner::Stop(RunKind kind)
{
    std::optional<Job> &current = job(kind);
    if (!current || current->stopping)
        return;
    current->stopping = true;
    if (current->stop)
        current->stop();
    else
        jobEnded(kind, current->id, 0, true);
}

void ScriptRunner::WaitForRuns()
{
    if (!IsRunning())
        return;
    QEventLoop loop;
    const auto connection = connect(this, &ScriptRunner::RunEnded, &loop, [this, &loop](const RunEnd &) {
        if (!IsRunning())
            loop.quit();
    });
    const RunKind kind = IsRunning(RunKind::Extraction) ? RunKind::Extraction : RunKind::Translation;
    emit ProgressOpened(kind);
    stage(kind, 50, QStringLiteral("等待Perl程式完成.."));
    if (IsRunning())
        loop.exec();
    disconnect(connection);
    emit ProgressClosed(kind);
}

bool ScriptRunner::ExtractionWritesTo(const std::string &path) const
{
    return Extracting && !path.empty() && NameTheSameFile(Extracting->output, path);
}

bool ScriptRunner::WaitForExtraction(const std::string &path)
{
    if (!ExtractionWritesTo(path))
        return true;
    QEventLoop loop;
    const auto connection = connect(this, &ScriptRunner::RunEnded, &loop, [&loop](const RunEnd &end) {
        if (end.Kind == RunKind::Extraction)
            loop.quit();
    });
    // Stopping may come while the progress window shows the wait, before the loop runs.
    QEventLoop *outer = std::exchange(Waiting, &loop);
    WaitStopped = false;
    emit ProgressOpened(RunKind::Extraction);
    stage(RunKind::Extraction, 50, QStringLiteral("等待字典檔製作完成.."));
    if (!WaitStopped)
        loop.exec();
    Waiting = outer;
    disconnect(connection);
    emit ProgressClosed(RunKind::Extraction);
    return !ExtractionWritesTo(path) && LastExtractionSucceeded;
}

void ScriptRunner::StopWaiting()
{
    WaitStopped = true;
    if (Waiting)
        Waiting->quit();
}

ScriptRunner &scriptRunner()
{
    static ScriptRunner runner;
    return runner;
}

namespace {

class RunnerWatch final : public ExtractionWatch {
public:
    bool Writes(const QString &path) const override { return scriptRunner().ExtractionWritesTo(PathBytes(path)); }
    void Wait(const QString &path) override { scriptRunner().WaitForExtraction(PathBytes(path)); }
    void StopWaiting() override { scriptRunner().StopWaiting(); }
};

} // namespace

ExtractionWatch &RunnerExtractionWatch()
{
    static RunnerWatch watch;
    return watch;
}
