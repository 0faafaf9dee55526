#pragma once
// Starting the Perl interpreter on a script file.
//
// The interpreter is started as a program with the script path as its one
// argument, never through a shell, so blanks and quotes in either path are
// harmless. The program does not block while it works: the start reports at
// once whether the interpreter runs, and its end is reported later.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

class QObject;

// How the interpreter is started for a script.
struct InterpreterCommand {
    QString program;
    QStringList arguments;
    QString workingDirectory;
    QProcessEnvironment environment;
    // What the script prints: discarded unless a file is named to take it
    // (the command line passes it on once the interpreter has ended).
    QString outputFile;
    // Error messages of the interpreter go to the program's own standard
    // error instead of being discarded ...
    bool forwardErrors = false;
    // ... or into this file, when one is named.
    QString errorFile;
};

// The interpreter `perlPath` on `scriptPath`, run in `workingDirectory`.
// The scripts expect Windows line ends: every line read ends in CR LF, read as
// one line end, and every line end printed is written as CR LF. PERLIO makes
// the interpreter do that on every system; PERL_UNICODE is removed so that
// the texts stay bytes.
InterpreterCommand BuildInterpreterCommand(const QString &perlPath, const QString &scriptPath,
                                           const QString &workingDirectory);

// Makes every close of a file in the interpreter checked: a close that fails
// (a write that never reached the disk, a full disk, an I/O error) ends the
// script with status not 0 and the line "close failed: ... (errno N)" on its
// standard error. The scripts close their output without looking at the
// result; without this such a run would end well with its output cut off.
// The small Perl module it needs is written into `folder`; the error when
// it cannot be, else empty.
QString CheckInterpreterCloses(InterpreterCommand &command, const QString &folder);

// The error number of the "close failed" line in what the interpreter
// wrote to its standard error, or 0 when there is none.
int FailedCloseError(const QByteArray &errors);

// Why the interpreter `perlPath` could not be started, in the user's words:
// what is wrong with the file, then the system's own text in brackets.
QString InterpreterStartProblem(const QString &perlPath, const QString &systemText);

struct StartResult {
    bool started = false;
    QString error; // why it could not be started
    // Ends the interpreter (and what it started) before its time; `finished`
    // is still called. Empty when the launcher cannot stop what it started.
    std::function<void()> stop;
};

// The seam of process start. Tests record starts instead of running perl.
class ScriptLauncher {
public:
    virtual ~ScriptLauncher() = default;
    // Starts the command. When it started, `finished` is called once the
    // interpreter has ended (exit code, and whether it crashed); when it
    // could not be started, `finished` is never called.
    virtual StartResult start(const InterpreterCommand &command,
                              std::function<void(int exitCode, bool crashed)> finished) = 0;
};

// Starts real processes, for the windows and the command line alike. Each
// stays watched by a QProcess kept alive until it ends.
class ProcessLauncher final : public ScriptLauncher {
public:
    ProcessLauncher();
    ~ProcessLauncher() override;
    StartResult start(const InterpreterCommand &command,
                      std::function<void(int exitCode, bool crashed)> finished) override;

private:
    QObject *Owner; // parent of the running processes
};
