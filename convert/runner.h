#pragma once
// The run of a conversion: the steps between the start button of a
// conversion window and the interpreter working on its script.
//
// A run checks its paths, fills them into the window's template stage by
// stage, writes the script file into the working folder and starts the
// interpreter on it. The runner watches every interpreter it started without
// waiting for it: it refuses a second run of the same kind while one still
// works, says when an interpreter has ended and how, and lets the editor
// wait for a dictionary that an extraction is still writing.
//
// Around the interpreter it takes the program's own steps: before the start
// it reads the files and, for a script that is not code page 950, writes the
// copy the interpreter reads instead; after a good end it reads what the
// interpreter wrote, writes the run's real output where that is the
// program's job, and makes the report, which travels with the end.
//
// It shows nothing itself: the stages, the reason a run stopped and the end
// of an interpreter are signals and results, and the windows decide how the
// user sees them (the progress window, message boxes, the error report).

#include "convert/conversion.h"
#include "convert/launcher.h"
#include "convert/script.h"
#include "document/document.h"
#include "platform/seam.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QEventLoop;

enum class RunKind { Extraction, Translation };

// What a window hands to a run besides its paths.
struct RunSetup {
    QString PerlPath;      // the interpreter, unaltered
    QString WorkDirectory; // the folder of the script file, ending in a separator
    // Extraction run only: disables (false) and enables again (true) the
    // maintenance window while the progress window is open.
    std::function<void(bool enabled)> SetEditorEnabled;
    // Translation run only.
    TranslationOptions Translation;
    // Extraction run only.
    ExtractionOptions Extraction;
};

// How far a run went.
enum class RunStep {
    Refused,          // a check stopped it: nothing was written or started
    ScriptNotWritten, // the script file could not be written: nothing started
    NotStarted,       // the script is written, the interpreter did not start
    Started,          // the interpreter works on the script
};

// What a run came to when its start button's step is over.
struct RunResult {
    RunKind Kind = RunKind::Extraction;
    RunStep Reached = RunStep::Refused;
    // Why it stopped, as the user is told; empty once started. A refusal and
    // an interpreter that did not start are plain messages with this caption;
    // a script that could not be written goes to the application's error
    // report, and the caption stays empty.
    QString Text;
    QString Caption;
    bool Started() const { return Reached == RunStep::Started; }
};

// An interpreter started by a run has ended. What the run produced is
// judged from here on: the output it was to write travels with it, and,
// after a good end, what the program made of it.
struct RunEnd {
    RunKind Kind = RunKind::Extraction;
    std::string Output; // the dictionary (extraction) or resource script (translation)
    int ExitCode = 0;
    bool Crashed = false;
    // Ended by Stop: the output was not touched.
    bool Stopped = false;
    // The system's reason when the interpreter could not close a file.
    QString Reason;
    bool Succeeded() const { return !Stopped && !Crashed && ExitCode == 0; }

    // After a good end: why the interpreter's output could not be read or
    // the run's output not be written (then there is no report) ...
    QString FinishError;
    // ... else the report of the run's kind.
    std::optional<ExtractionReport> Extraction;
    std::optional<TranslationReport> Translation;
    // Translation run: the dictionary it read (T1).
    std::string Dictionary;
    // The output is there and the report says what it holds.
    bool Reported() const { return Extraction.has_value() || Translation.has_value(); }
};

// The run sequence, without windows: it says what happens through its
// signals and results, and the windows show it (convert/runwindows.h).
class ScriptRunner : public QObject {
    Q_OBJECT
public:
    // Without an override of launcherSeam(), real processes are started.
    explicit ScriptRunner(QObject *parent = nullptr);
    ~ScriptRunner() override;

    // Where tests put a stand-in for the start of the interpreter.
    Overridable<ScriptLauncher> &launcherSeam() { return Launchers; }

    // The extraction run with E1, E2, E3 and the window's template `pl`.
    RunResult RunExtraction(ScriptTemplate &pl, const ExtractionPaths &paths, const RunSetup &setup);
    // The translation run with T1, T2, T3, SizeChange and the window's template.
    RunResult RunTranslation(ScriptTemplate &pl, const TranslationPaths &paths, const RunSetup &setup);

    bool IsRunning(RunKind kind) const;
    bool IsRunning() const { return IsRunning(RunKind::Extraction) || IsRunning(RunKind::Translation); }
    // Ends the interpreter of a run of `kind`; its output stays as it was.
    // RunEnded follows (at once when the launcher cannot stop it).
    void Stop(RunKind kind);
    // Opens the progress of the wait and processes events until no run is
    // left; every output is in place (or the run's failure told) by then.
    void WaitForRuns();
    // True while an extraction interpreter works whose dictionary is `path`.
    bool ExtractionWritesTo(const std::string &path) const;
    // When an extraction still writes `path`: opens the progress of the
    // wait and processes events until it ends. False when that extraction
    // failed or the wait was stopped.
    bool WaitForExtraction(const std::string &path);
    // Ends a wait of WaitForExtraction early (the program is ending); the
    // interpreter goes on.
    void StopWaiting();

    static QString StillRunningMessage(RunKind kind);
    static QString DictionaryBeingMadeMessage();
    static QString CannotStartMessage(const QString &perlPath, const QString &reason);
    static QString FailedMessage(RunKind kind, int exitCode, bool crashed, const QString &reason = {});
    static QString StoppedMessage(RunKind kind);
    // The question before the program ends while a run goes on, and its answers.
    static QString EndWhileRunningQuestion();
    static QStringList EndWhileRunningAnswers(); // wait, stop, cancel

    // Bar positions of StageReached.
    static constexpr int KeepPosition = -1; // only the text changes

signals:
    // The progress window of a run, or of a wait for an extraction, opens;
    // a stage sets its bar (unless KeepPosition) and then its text; it
    // closes, and its bar goes back to 0.
    void ProgressOpened(RunKind kind);
    void StageReached(RunKind kind, int position, const QString &text);
    void ProgressClosed(RunKind kind);
    // A run stops before its interpreter works, while its progress window
    // is still open: the user is to be told why.
    void Stopped(const RunResult &result);
    // The interpreter of a run works on its script.
    void RunStarted(RunKind kind);
    // An interpreter started by a run has ended.
    void RunEnded(const RunEnd &end);

private:
    // A started run: what it read before the start and where its copies
    // and the interpreter's output lie, until its end has been dealt with.
    struct Job {
        quint64 id = 0;
        std::string output;
        std::unique_ptr<QTemporaryDir> folder;
        QString errorFile; // what the interpreter wrote to its standard error
        std::function<void()> stop;
        bool stopping = false;
        std::unique_ptr<ExtractionRun> extraction;
        std::unique_ptr<TranslationRun> translation;
    };

    ScriptLauncher &launcher();
    void stage(RunKind kind, int position, const QString &text) { emit StageReached(kind, position, text); }
    RunResult stop(RunKind kind, RunStep reached, const QString &text, const QString &caption);
    // The first reason to refuse a run: the checks of its paths, then the
    // runner's own (an interpreter of the same kind still working, for a
    // translation also its dictionary still being made). None when it may go ahead.
    std::optional<Refusal> extractionRefusal(const ExtractionPaths &paths) const;
    // Empty fields also mark the progress failed before the user is told.
    std::optional<Refusal> translationRefusal(const TranslationPaths &paths);
    // The run's own temporary folder; a refusal when there can be none.
    static std::optional<Refusal> makeFolder(Job &job);
    // Writes the filled template into the working folder and the script
    // the interpreter runs (naming the run's own files) into the run's
    // folder, and starts the interpreter on the latter.
    RunResult writeAndStart(RunKind kind, const ScriptTemplate &pl, const std::string &runScript,
                            const char *scriptName, Job prepared, const RunSetup &setup);
    RunResult startScript(RunKind kind, const QString &scriptPath, Job prepared, const RunSetup &setup);
    void jobEnded(RunKind kind, quint64 id, int exitCode, bool crashed);
    // After a good end: the run's finishing step, into the end.
    static void finish(const Job &job, RunEnd &end);
    std::optional<Job> &job(RunKind kind) { return kind == RunKind::Extraction ? Extracting : Translating; }
    const std::optional<Job> &job(RunKind kind) const { return kind == RunKind::Extraction ? Extracting : Translating; }

    std::unique_ptr<ProcessLauncher> Processes;
    Overridable<ScriptLauncher> Launchers;
    std::optional<Job> Extracting;
    std::optional<Job> Translating;
    quint64 NextId = 1;
    bool LastExtractionSucceeded = true;
    QEventLoop *Waiting = nullptr;
    bool WaitStopped = false;
};

// The program's one runner.
ScriptRunner &scriptRunner();

// The runner's extractions as the dictionary document sees them.
ExtractionWatch &RunnerExtractionWatch();
