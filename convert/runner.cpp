#include "convert/runner.h"

#include "platform/messages.h"
#include "platform/progress.h"

#include <QEventLoop>
#include <QPointer>

namespace {

void showMessage(const QString &text, const QString &caption)
{
    messageBoxes().message(activeWindow(), text, caption);
}

} // namespace

ScriptRunner::ScriptRunner(QObject *parent) : QObject(parent) {}

ScriptRunner::~ScriptRunner() = default;

void ScriptRunner::setLauncher(ScriptLauncher *launcher)
{
    Installed = launcher;
}

ScriptLauncher &ScriptRunner::launcher()
{
    if (Installed)
        return *Installed;
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
    auto end = [&] {
        editorEnabled(true);
        p.CloseProgress();
        p.SetProgressPosition(0);
    };
    auto refuse = [&](const QString &text, const QString &caption) {
        showMessage(text, caption);
        end();
        return false;
    };

    p.ShowProgress();
    editorEnabled(false);
    p.SetProgressPosition(0);
    p.SetProgressText(QStringLiteral("檢查檔案路徑及資料.."));

    if (paths.E1.empty() || paths.E2.empty() || paths.E3.empty())
        return refuse(EmptyFieldsMessage(), RefusalCaption());
    if (const auto r = CheckExtractionFiles(paths))
        return refuse(r->text, r->caption);
    if (IsRunning(RunKind::Extraction))
        return refuse(StillRunningMessage(RunKind::Extraction), RefusalCaption());

    p.SetProgressPosition(15);
    p.SetProgressText(QStringLiteral("處理原始RC檔.."));
    pl.replaceLine(ExtractionLineF1, PatchLine("$f1", paths.E1));
    p.SetProgressPosition(30);
    p.SetProgressText(QStringLiteral("處理翻譯後RC檔.."));
    pl.replaceLine(ExtractionLineF2, PatchLine("$f2", paths.E2));
    p.SetProgressPosition(45);
    p.SetProgressText(QStringLiteral("處理字典檔.."));
    pl.replaceLine(ExtractionLineF3, PatchLine("$f3", paths.E3));

    p.SetProgressPosition(60);
    p.SetProgressText(QStringLiteral("製作pl檔案.."));
    const QString scriptPath = setup.WorkDirectory + QLatin1String(ExtractionScriptName);
    if (const WriteResult written = WriteScriptFile(scriptPath, pl.bytes()); !written.ok) {
        ReportError(written.error);
        end();
        return false;
    }

    const bool started = startScript(RunKind::Extraction, scriptPath, paths.E3, setup);
    end();
    return started;
}

bool ScriptRunner::RunTranslation(ScriptTemplate &pl, const TranslationPaths &paths, const RunSetup &setup)
{
    ProgressOperations &p = progress();
    auto end = [&] {
        p.CloseProgress();
        p.SetProgressPosition(0);
    };
    auto refuse = [&](const QString &text, const QString &caption) {
        showMessage(text, caption);
        end();
        return false;
    };

    p.SetProgressPosition(0);
    p.SetProgressText(QStringLiteral("檢查檔案路徑及資料.."));
    p.ShowProgress();

    if (paths.T1.empty() || paths.T2.empty() || paths.T3.empty()) {
        p.SetProgressText(QStringLiteral("製作失敗"));
        return refuse(EmptyFieldsMessage(), RefusalCaption());
    }
    if (const auto r = CheckTranslationFiles(paths))
        return refuse(r->text, r->caption);
    if (IsRunning(RunKind::Translation))
        return refuse(StillRunningMessage(RunKind::Translation), RefusalCaption());
    if (ExtractionWritesTo(paths.T1))
        return refuse(DictionaryBeingMadeMessage(), RefusalCaption());

    p.SetProgressPosition(14);
    p.SetProgressText(QStringLiteral("處理字款設定.."));
    pl.replaceLine(TranslationLineChangeFont, ChangeFontLine(paths.SizeChange));
    p.SetProgressPosition(28);
    p.SetProgressText(QStringLiteral("處理字典檔.."));
    pl.replaceLine(TranslationLineF1, PatchLine("$f1", paths.T1));
    p.SetProgressPosition(42);
    p.SetProgressText(QStringLiteral("處理新版本英文RC檔.."));
    pl.replaceLine(TranslationLineF2, PatchLine("$f2", paths.T2));
    p.SetProgressPosition(56);
    p.SetProgressText(QStringLiteral("處理新版本中文RC檔.."));
    pl.replaceLine(TranslationLineF3, PatchLine("$f3", paths.T3));

    p.SetProgressPosition(60);
    p.SetProgressText(QStringLiteral("建立pl檔.."));
    const QString scriptPath = setup.WorkDirectory + QLatin1String(TranslationScriptName);
    if (const WriteResult written = WriteScriptFile(scriptPath, pl.bytes()); !written.ok) {
        ReportError(written.error);
        end();
        return false;
    }

    const bool started = startScript(RunKind::Translation, scriptPath, paths.T3, setup);
    end();
    return started;
}

bool ScriptRunner::startScript(RunKind kind, const QString &scriptPath, const std::string &output,
                               const RunSetup &setup)
{
    ProgressOperations &p = progress();
    p.SetProgressPosition(80);
    p.SetProgressText(QStringLiteral("準備執行Perl.."));

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

    p.SetProgressPosition(100);
    p.SetProgressText(QStringLiteral("完成"));
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
    ProgressOperations &p = progress();
    p.ShowProgress();
    p.SetProgressPosition(50);
    p.SetProgressText(QStringLiteral("等待字典檔製作完成.."));
    QEventLoop loop;
    const auto connection = connect(this, &ScriptRunner::RunEnded, &loop, [&loop](RunKind kind, bool) {
        if (kind == RunKind::Extraction)
            loop.quit();
    });
    loop.exec();
    disconnect(connection);
    p.CloseProgress();
    p.SetProgressPosition(0);
    return LastExtractionSucceeded;
}

ScriptRunner &scriptRunner()
{
    static ScriptRunner runner;
    return runner;
}
