#include "app/cli/commands.h"
#include "settings/settings.h"

#include "convert/launcher.h"
#include "convert/script.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// The conversion commands: the very scripts the two conversion windows write,
// with the same checks, run by the interpreter while the command waits.

namespace {

enum Status { Ok = 0, Failed = 1, Usage = 2 };

struct Options {
    std::vector<std::string> paths;
    bool font = false;
    std::optional<std::string> perl;
};

void say(const QString &text)
{
    std::fprintf(stderr, "tavisorn-cli：%s\n", text.toUtf8().constData());
}

// Options may stand before, between or after the paths; "--" ends them.
std::optional<Options> parse(const CliArgs &args, bool fontAllowed, bool perlAllowed)
{
    Options options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && fontAllowed && arg == "--font") {
            options.font = true;
        } else if (!optionsEnded && perlAllowed && arg == "--perl") {
            if (i + 1 == args.size()) {
                say(QStringLiteral("--perl 後面要有Perl直譯器的路徑。"));
                return std::nullopt;
            }
            options.perl = args[++i];
        } else if (!optionsEnded && perlAllowed && arg.rfind("--perl=", 0) == 0) {
            options.perl = arg.substr(7);
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
            say(QStringLiteral("不明的選項「%1」。").arg(QString::fromLocal8Bit(arg.c_str())));
            return std::nullopt;
        } else {
            options.paths.push_back(arg);
        }
    }
    if (options.paths.size() != 3) {
        say(QStringLiteral("需要三個檔案路徑（現有 %1 個）。").arg(options.paths.size()));
        return std::nullopt;
    }
    return options;
}

// The script runs in a folder of its own, so relative paths are made
// absolute here, byte for byte, against the command's own current folder.
std::string absolute(const std::string &path)
{
    if (path.empty())
        return path;
#ifdef Q_OS_UNIX
    if (path.front() == '/')
        return path;
    std::string cwd;
    std::vector<char> buffer(4096);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (buffer.size() > (1u << 20))
            return path;
        buffer.resize(buffer.size() * 2);
    }
    cwd = buffer.data();
    if (cwd.empty() || cwd.back() != '/')
        cwd += '/';
    return cwd + path;
#else
    if (QDir::isAbsolutePath(PathFromBytes(path)))
        return path;
    return PathBytes(QDir::current().absoluteFilePath(PathFromBytes(path)));
#endif
}

// The interpreter to run: the --perl option, else `perl` found on the PATH.
// The PerlPath setting is to be consulted between the two.
QString resolvePerl(const std::optional<std::string> &option)
{
    if (option)
        return PathFromBytes(*option);
    // The interpreter chosen in the program's settings, as the windows use it.
    if (LoadSettings().ok && !RegDat.PerlPath.isEmpty())
        return RegDat.PerlPath;
    return QStandardPaths::findExecutable(QStringLiteral("perl"));
}

int refuse(const Refusal &refusal)
{
    say(refusal.text);
    return Failed;
}

int runScriptFile(const char *scriptName, const std::string &script, const std::optional<std::string> &perlOption)
{
    const QString perl = resolvePerl(perlOption);
    if (perl.isEmpty()) {
        say(QStringLiteral("找不到Perl直譯器：請以 --perl 指定它的路徑。"));
        return Failed;
    }
    QTemporaryDir folder;
    if (!folder.isValid()) {
        say(QStringLiteral("無法建立暫存資料夾：%1").arg(folder.errorString()));
        return Failed;
    }
    const QString scriptPath = folder.filePath(QLatin1String(scriptName));
    if (const WriteResult written = WriteScriptFile(scriptPath, script); !written.ok) {
        say(written.error);
        return Failed;
    }
    const InterpreterCommand command = BuildInterpreterCommand(perl, scriptPath, folder.path());
    QProcess process;
    process.setProgram(command.program);
    process.setArguments(command.arguments);
    process.setWorkingDirectory(command.workingDirectory);
    process.setProcessEnvironment(command.environment);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted()) {
        say(QStringLiteral("無法執行Perl直譯器「%1」：%2").arg(perl, InterpreterStartProblem(perl, process.errorString())));
        return Failed;
    }
    process.waitForFinished(-1);
    if (process.exitStatus() == QProcess::CrashExit) {
        say(QStringLiteral("Perl直譯器不正常結束。"));
        return Failed;
    }
    if (process.exitCode() != 0)
        say(QStringLiteral("Perl程式結束時傳回錯誤碼 %1。").arg(process.exitCode()));
    return process.exitCode();
}

ExtractionPaths extractionPaths(const Options &options)
{
    return {absolute(options.paths[0]), absolute(options.paths[1]), absolute(options.paths[2])};
}

TranslationPaths translationPaths(const Options &options)
{
    return {absolute(options.paths[0]), absolute(options.paths[1]), absolute(options.paths[2]), options.font};
}

int print(const std::string &script)
{
    if (std::fwrite(script.data(), 1, script.size(), stdout) != script.size() || std::fflush(stdout) != 0) {
        say(QStringLiteral("無法寫出程式內容。"));
        return Failed;
    }
    return Ok;
}

} // namespace

int runMakeDictionary(const CliArgs &args)
{
    const auto options = parse(args, false, true);
    if (!options)
        return Usage;
    const ExtractionPaths paths = extractionPaths(*options);
    if (const auto r = ExtractionRefusal(paths))
        return refuse(*r);
    return runScriptFile(ExtractionScriptName, ExtractionScript(paths), options->perl);
}

int runTranslate(const CliArgs &args)
{
    const auto options = parse(args, true, true);
    if (!options)
        return Usage;
    const TranslationPaths paths = translationPaths(*options);
    if (const auto r = TranslationRefusal(paths))
        return refuse(*r);
    return runScriptFile(TranslationScriptName, TranslationScript(paths), options->perl);
}

int runScript(const CliArgs &args)
{
    if (args.empty()) {
        say(QStringLiteral("script 後面要有 extraction 或 translation。"));
        return Usage;
    }
    const std::string kind = args.front();
    const CliArgs rest(args.begin() + 1, args.end());
    if (kind == "extraction") {
        const auto options = parse(rest, false, false);
        if (!options)
            return Usage;
        const ExtractionPaths paths = extractionPaths(*options);
        if (const auto r = ExtractionPathRefusal(paths))
            return refuse(*r);
        return print(ExtractionScript(paths));
    }
    if (kind == "translation") {
        const auto options = parse(rest, true, false);
        if (!options)
            return Usage;
        const TranslationPaths paths = translationPaths(*options);
        if (const auto r = TranslationPathRefusal(paths))
            return refuse(*r);
        return print(TranslationScript(paths));
    }
    say(QStringLiteral("不明的程式種類「%1」：應為 extraction 或 translation。").arg(QString::fromLocal8Bit(kind.c_str())));
    return Usage;
}
