#include "convert/launcher.h"

#include <QObject>
#include <QProcess>

InterpreterCommand BuildInterpreterCommand(const QString &perlPath, const QString &scriptPath,
                                           const QString &workingDirectory)
{
    InterpreterCommand command;
    command.program = perlPath;
    command.arguments = QStringList{scriptPath};
    command.workingDirectory = workingDirectory;
    command.environment = QProcessEnvironment::systemEnvironment();
    command.environment.insert(QStringLiteral("PERLIO"), QStringLiteral(":unix:crlf"));
    command.environment.remove(QStringLiteral("PERL_UNICODE"));
    return command;
}

ProcessLauncher::ProcessLauncher() : Owner(new QObject) {}

ProcessLauncher::~ProcessLauncher()
{
    // Interpreters still running keep running; only their watchers go.
    const auto processes = Owner->findChildren<QProcess *>();
    for (QProcess *process : processes) {
        process->disconnect();
        process->setParent(nullptr);
    }
    delete Owner;
}

StartResult ProcessLauncher::start(const InterpreterCommand &command,
                                   std::function<void(int exitCode, bool crashed)> finished)
{
    if (command.program.isEmpty())
        return {false, QStringLiteral("沒有指定Perl直譯器的路徑。")};
    auto *process = new QProcess(Owner);
    process->setProgram(command.program);
    process->setArguments(command.arguments);
    process->setWorkingDirectory(command.workingDirectory);
    process->setProcessEnvironment(command.environment);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted()) {
        const QString error = process->errorString();
        delete process;
        return {false, error};
    }
    QObject::connect(process, &QProcess::finished, process,
                     [process, finished](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (finished)
                             finished(exitCode, status == QProcess::CrashExit);
                     });
    return {true, {}};
}
