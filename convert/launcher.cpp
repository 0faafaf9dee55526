#include "convert/launcher.h"

#include <QFileInfo>
#include <QObject>
#include <QProcess>
#include <QDir>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>

#include "files/savefile.h"

#ifndef Q_OS_WIN
#include <signal.h>
#include <unistd.h>
#endif

namespace {

const char CloseModuleName[] = "TavisornCheckedClose";

// Overrides the built-in close for the script compiled after it: bareword
// handles are looked up in the caller's package, as the built-in does.
const char CloseModule[] = R"(package TavisornCheckedClose;
use Symbol ();
BEGIN {
    *CORE::GLOBAL::close = sub (;*) {
        my $handle = Symbol::qualify_to_ref(@_ ? $_[0] : select, scalar caller);
        return 1 if CORE::close($handle);
        my $errno = $! + 0;
        die "close failed: $! (errno $errno)\n";
    };
}
1;
)";

} // namespace

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

QString CheckInterpreterCloses(InterpreterCommand &command, const QString &folder)
{
    const QString module = QDir(folder).filePath(QLatin1String(CloseModuleName) + QStringLiteral(".pm"));
    if (const FileResult saved = WriteScratchFile(FileName(module), CloseModule); !saved.ok)
        return saved.error;
    QProcessEnvironment &env = command.environment;
    const QString lib = env.value(QStringLiteral("PERL5LIB"));
    env.insert(QStringLiteral("PERL5LIB"),
               lib.isEmpty() ? QDir::toNativeSeparators(folder)
                             : QDir::toNativeSeparators(folder) + QDir::listSeparator() + lib);
    const QString options = env.value(QStringLiteral("PERL5OPT"));
    const QString load = QStringLiteral("-M") + QLatin1String(CloseModuleName);
    env.insert(QStringLiteral("PERL5OPT"), options.isEmpty() ? load : options + QLatin1Char(' ') + load);
    return {};
}

int FailedCloseError(const QByteArray &errors)
{
    static const QRegularExpression line(QStringLiteral("^close failed: .*\\(errno (\\d+)\\)\r?$"),
                                         QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = line.match(QString::fromLocal8Bit(errors));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
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
        return {false, InterpreterStartProblem(command.program, QString()), {}};
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
        process->setStandardErrorFile(command.errorFile.isEmpty() ? QProcess::nullDevice() : command.errorFile);
#ifndef Q_OS_WIN
    // A group of its own, so that a stop also ends what the interpreter
    // started (or the wrapper around it).
    process->setChildProcessModifier([] { ::setpgid(0, 0); });
#endif
    process->start();
    if (!process->waitForStarted()) {
        const QString error = InterpreterStartProblem(command.program, process->errorString());
        delete process;
        return {false, error, {}};
    }
    QObject::connect(process, &QProcess::finished, process,
                     [process, finished](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (finished)
                             finished(exitCode, status == QProcess::CrashExit);
                     });
    QPointer<QProcess> watched(process);
    auto stop = [watched] {
        if (!watched || watched->state() == QProcess::NotRunning)
            return;
#ifndef Q_OS_WIN
        if (const qint64 pid = watched->processId(); pid > 0)
            ::kill(-pid_t(pid), SIGKILL);
#endif
        watched->kill();
    };
    return {true, {}, stop};
}
