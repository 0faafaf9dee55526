#pragma once
// The run of a conversion: the steps between the start button of a
// conversion window and the interpreter working on its script.
//
// A run checks its paths, fills them into the window's template stage by
// stage while the progress window shows each stage, writes the script file
// into the working folder and starts the interpreter on it. The runner
// watches every interpreter it started without waiting for it: it refuses a
// second run of the same kind while one still works, tells the user when an
// interpreter ends in failure, and lets the editor wait for a dictionary that
// an extraction is still writing.

#include "convert/launcher.h"
#include "convert/script.h"
#include "document/document.h"
#include "platform/seam.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class ProgressOperations;
class QEventLoop;

enum class RunKind { Extraction, Translation };

// What a window hands to a run besides its paths.
struct RunSetup {
    QString PerlPath;      // the interpreter, unaltered
    QString WorkDirectory; // the folder of the script file, ending in a separator
    // Extraction run only: disables (false) and enables again (true) the
    // maintenance window while the progress window is open.
    std::function<void(bool enabled)> SetEditorEnabled;
};

class ScriptRunner : public QObject {
    Q_OBJECT
public:
    // Without an override of launcherSeam(), real processes are started.
    explicit ScriptRunner(QObject *parent = nullptr);
    ~ScriptRunner() override;

    // Where tests put a stand-in for the start of the interpreter.
    Overridable<ScriptLauncher> &launcherSeam() { return Launchers; }

    // The extraction run with E1, E2, E3 and the window's template `pl`.
    // True when the interpreter was started.
    bool RunExtraction(ScriptTemplate &pl, const ExtractionPaths &paths, const RunSetup &setup);
    // The translation run with T1, T2, T3, SizeChange and the window's template.
    bool RunTranslation(ScriptTemplate &pl, const TranslationPaths &paths, const RunSetup &setup);

    bool IsRunning(RunKind kind) const;
    // True while an extraction interpreter works whose dictionary is `path`.
    bool ExtractionWritesTo(const std::string &path) const;
    // When an extraction still writes `path`: shows the progress window and
    // processes events until it ends. False when that extraction failed or
    // the wait was stopped.
    bool WaitForExtraction(const std::string &path);
    // Ends a wait of WaitForExtraction early (the program is ending); the
    // interpreter goes on.
    void StopWaiting();

    static QString StillRunningMessage(RunKind kind);
    static QString DictionaryBeingMadeMessage();
    static QString CannotStartMessage(const QString &perlPath, const QString &reason);
    static QString FailedMessage(RunKind kind, int exitCode, bool crashed);

signals:
    // An interpreter started by a run has ended; succeeded means exit code 0.
    void RunEnded(RunKind kind, bool succeeded);

private:
    struct Job {
        quint64 id = 0;
        std::string output;
    };

    ScriptLauncher &launcher();
    // The first reason to refuse a run: the checks of its paths, then the
    // runner's own (an interpreter of the same kind still working, for a
    // translation also its dictionary still being made). None when it may go ahead.
    std::optional<Refusal> extractionRefusal(const ExtractionPaths &paths) const;
    // Empty fields also mark the progress window failed before the user is told.
    std::optional<Refusal> translationRefusal(const TranslationPaths &paths, ProgressOperations &p) const;
    // Writes the filled template into the working folder and starts the
    // interpreter on it; a failed write goes to the error report.
    bool writeAndStart(RunKind kind, const ScriptTemplate &pl, const char *scriptName, const std::string &output,
                       const RunSetup &setup);
    bool startScript(RunKind kind, const QString &scriptPath, const std::string &output, const RunSetup &setup);
    void jobEnded(RunKind kind, quint64 id, int exitCode, bool crashed);
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
