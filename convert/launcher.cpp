#include "convert/launcher.h"

#include <QFileInfo>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>

QString InterpreterStartProblem(const QString &perlPath, const QString &systemText)
{
    QString why;
    const bool bareName = !perlPath.contains(QLatin1Char('/')) && !perlPath.contains(QLatin1Char('\\'));
    const QFileInfo info(bareName ? QStandardPaths::findExecutable(perlPath) : perlPath);
    if (perlPath.isEmpty())
        why = QStringLiteral("沒有指定Perl直譯器的路徑");
    else if (bareName && info.filePath().isEmpty())
        why = QStringLiteral("在 PATH 的資料夾中找不到這個程式");
    else if (!info.exists())
        why = QStringLiteral("找不到這個檔案");
    else if (info.isDir())
        why = QStringLiteral("這是資料夾，不是程式");
    else if (!info.isExecutable())
        why = QStringLiteral("這個檔案不能執行（沒有執行的權限，或不是程式）");
    else
        why = QStringLiteral("系統無法啟動這個程式");
    if (systemText.isEmpty())
        return why;
    return QStringLiteral("%1（系統訊息：%2）").arg(why, systemText);
}

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
        return {false, InterpreterStartProblem(command.program, QString())};
    auto *process = new QProcess(Owner);
    process->setProgram(command.program);
    process->setArguments(command.arguments);
    process->setWorkingDirectory(command.workingDirectory);
    process->setProcessEnvironment(command.environment);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(command.outputFile.isEmpty() ? QProcess::nullDevice() : command.outputFile);
    if (command.forwardErrors)
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    else
        process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted()) {
        const QString error = InterpreterStartProblem(command.program, process->errorString());
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
