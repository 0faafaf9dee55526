#include "convert/runner.h"

#include "platform/messages.h"
#include "platform/progress.h"

#include <QEventLoop>
#include <QPointer>

#include <utility>

namespace {

void showMessage(const QString &text, const QString &caption)
{
    messageBoxes().message(activeWindow(), text, caption);
}

void showStage(ProgressOperations &p, int position, const QString &text)
{
    p.SetProgressPosition(position);
    p.SetProgressText(text);
}

void closeProgress(ProgressOperations &p)
{
    p.CloseProgress();
    p.SetProgressPosition(0);
}

// One stage of filling a template: the progress window shows it, then the
// template line gets its value.
struct FillStage {
    int position;
    QString text;
    std::size_t line;
    std::string value;
};

void fillStages(ProgressOperations &p, ScriptTemplate &pl, std::initializer_list<FillStage> stages)
{
    for (const FillStage &stage : stages) {
        showStage(p, stage.position, stage.text);
        pl.replaceLine(stage.line, stage.value);
    }
}

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

QString ScriptRunner::FailedMessage(RunKind kind, int exitCode, bool crashed)
{
    const QString what = kind == RunKind::Extraction ? QStringLiteral("製作字典檔") : QStringLiteral("翻譯新版本");
    const QString how = crashed ? QStringLiteral("不正常結束") : QStringLiteral("結束時傳回錯誤碼 %1").arg(exitCode);
    return QStringLiteral("%1的Perl程式%2，輸出的檔案可能不完整。").arg(what, how);
}

bool ScriptRunner::RunExtraction(ScriptTemplate &pl, const ExtractionPaths &paths, const RunSetup &setup)
{
    ProgressOperations &p = progress();
    auto editorEnabled = [&](bool enabled) {
        if (setup.SetEditorEnabled)
            setup.SetEditorEnabled(enabled);
    };

    p.ShowProgress();
    editorEnabled(false);
    showStage(p, 0, QStringLiteral("檢查檔案路徑及資料.."));

    bool started = false;
    if (const auto r = extractionRefusal(paths)) {
        showMessage(r->text, r->caption);
    } else {
        fillStages(p, pl,
                   {{15, QStringLiteral("處理原始RC檔.."), ExtractionLineF1, PatchLine("$f1", paths.E1)},
                    {30, QStringLiteral("處理翻譯後RC檔.."), ExtractionLineF2, PatchLine("$f2", paths.E2)},
                    {45, QStringLiteral("處理字典檔.."), ExtractionLineF3, PatchLine("$f3", paths.E3)}});
        showStage(p, 60, QStringLiteral("製作pl檔案.."));
        started = writeAndStart(RunKind::Extraction, pl, ExtractionScriptName, paths.E3, setup);
    }
    editorEnabled(true);
    closeProgress(p);
    return started;
}

bool ScriptRunner::RunTranslation(ScriptTemplate &pl, const TranslationPaths &paths, const RunSetup &setup)
{
    ProgressOperations &p = progress();

    showStage(p, 0, QStringLiteral("檢查檔案路徑及資料.."));
    p.ShowProgress();

    bool started = false;
    if (const auto r = translationRefusal(paths, p)) {
        showMessage(r->text, r->caption);
    } else {
        fillStages(p, pl,
                   {{14, QStringLiteral("處理字款設定.."), TranslationLineChangeFont, ChangeFontLine(paths.SizeChange)},
                    {28, QStringLiteral("處理字典檔.."), TranslationLineF1, PatchLine("$f1", paths.T1)},
                    {42, QStringLiteral("處理新版本英文RC檔.."), TranslationLineF2, PatchLine("$f2", paths.T2)},
                    {56, QStringLiteral("處理新版本中文RC檔.."), TranslationLineF3, PatchLine("$f3", paths.T3)}});
        showStage(p, 60, QStringLiteral("建立pl檔.."));
        started = writeAndStart(RunKind::Translation, pl, TranslationScriptName, paths.T3, setup);
    }
    closeProgress(p);
    return started;
}

std::optional<Refusal> ScriptRunner::extractionRefusal(const ExtractionPaths &paths) const
{
    if (auto r = ExtractionRefusal(paths))
        return r;
    if (IsRunning(RunKind::Extraction))
        return Refusal{StillRunningMessage(RunKind::Extraction), RefusalCaption()};
    return std::nullopt;
}

std::optional<Refusal> ScriptRunner::translationRefusal(const TranslationPaths &paths, ProgressOperations &p) const
{
    if (paths.T1.empty() || paths.T2.empty() || paths.T3.empty())
        p.SetProgressText(QStringLiteral("製作失敗"));
    if (auto r = TranslationPathRefusal(paths))
        return r;
    if (IsRunning(RunKind::Translation))
        return Refusal{StillRunningMessage(RunKind::Translation), RefusalCaption()};
    // A dictionary still being made may not exist yet: that is said first.
    if (ExtractionWritesTo(paths.T1))
        return Refusal{DictionaryBeingMadeMessage(), RefusalCaption()};
    return CheckTranslationAccess(paths);
}

bool ScriptRunner::writeAndStart(RunKind kind, const ScriptTemplate &pl, const char *scriptName,
                                 const std::string &output, const RunSetup &setup)
{
    const QString scriptPath = setup.WorkDirectory + QLatin1String(scriptName);
    if (const WriteResult written = WriteScriptFile(scriptPath, pl.bytes()); !written.ok) {
        ReportError(written.error);
        return false;
    }
    return startScript(kind, scriptPath, output, setup);
}

bool ScriptRunner::startScript(RunKind kind, const QString &scriptPath, const std::string &output,
                               const RunSetup &setup)
{
    ProgressOperations &p = progress();
    showStage(p, 80, QStringLiteral("準備執行Perl.."));

    const quint64 id = NextId++;
    QPointer<ScriptRunner> self(this);
    const StartResult result = launcher().start(
        BuildInterpreterCommand(setup.PerlPath, scriptPath, setup.WorkDirectory),
        [self, kind, id](int exitCode, bool crashed) {
            if (self)
                self->jobEnded(kind, id, exitCode, crashed);
        });
    if (!result.started) {
        p.SetProgressText(QStringLiteral("製作失敗"));
        showMessage(CannotStartMessage(setup.PerlPath, result.error), RefusalCaption());
        return false;
    }
    job(kind) = Job{id, output};

    showStage(p, 100, QStringLiteral("完成"));
    return true;
}

void ScriptRunner::jobEnded(RunKind kind, quint64 id, int exitCode, bool crashed)
{
    std::optional<Job> &current = job(kind);
    if (!current || current->id != id)
        return;
    current.reset();
    const bool succeeded = !crashed && exitCode == 0;
    if (kind == RunKind::Extraction)
        LastExtractionSucceeded = succeeded;
    if (!succeeded)
        showMessage(FailedMessage(kind, exitCode, crashed), RefusalCaption());
    emit RunEnded(kind, succeeded);
}

bool ScriptRunner::IsRunning(RunKind kind) const
{
    return job(kind).has_value();
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
    const auto connection = connect(this, &ScriptRunner::RunEnded, &loop, [&loop](RunKind kind, bool) {
        if (kind == RunKind::Extraction)
            loop.quit();
    });
    // Stopping may come while the progress window shows the wait, before the loop runs.
    QEventLoop *outer = std::exchange(Waiting, &loop);
    WaitStopped = false;
    ProgressOperations &p = progress();
    p.ShowProgress();
    showStage(p, 50, QStringLiteral("等待字典檔製作完成.."));
    if (!WaitStopped)
        loop.exec();
    Waiting = outer;
    disconnect(connection);
    closeProgress(p);
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
