#include "app/cli/commands.h"
#include "settings/settings.h"

#include "convert/conversion.h"
#include "convert/launcher.h"
#include "convert/script.h"
#include "convert/versions.h"
#include "files/readfile.h"
#include "platform/codepage.h"
#include "files/filename.h"
#include "files/savefile.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>
#include <utility>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// The conversion commands: the very scripts the two conversion windows write,
// with the same checks, run by the interpreter while the command waits; the
// program's own steps before and after the run, and the report.

namespace {


enum Allowed : unsigned {
    AllowFont = 1u << 0,
    AllowPerl = 1u << 1,
    AllowStrict = 1u << 2,
    AllowRetarget = 1u << 3,
    AllowMissing = 1u << 4,
    AllowEncoding = 1u << 5,
    AllowAdapt = 1u << 6,
    AllowOld = 1u << 7,
};

struct Options {
    std::vector<std::string> paths;
    bool font = false;
    bool strict = false;
    bool retarget = false;
    bool adapt = false;
    bool help = false;
    std::optional<std::string> perl;
    std::optional<std::string> missing;
    EncodingChoice encoding = EncodingChoice::Guess;
    std::optional<std::string> old;
};

const char *const PerlHelp =
    "Perl直譯器：\n"
    "  有 --perl 時用它指定的程式：含有路徑的名稱以執行命令時所在的資料夾為準，\n"
    "  不含路徑的名稱在 PATH 的資料夾中找。沒有 --perl 時用程式設定中的Perl路徑，\n"
    "  設定中也沒有時用 PATH 中找到的 perl。\n";

const char *const MakeDictionaryHelp =
    "用法：tavisorn-cli make-dictionary [選項] EN.rc ZH.rc OUT\n"
    "\n"
    "由英文版本的RC檔 EN.rc 與翻譯後（中文版本）的RC檔 ZH.rc 製作字典檔 OUT。\n"
    "選單與對話框的文字依它們在同名區塊中的位置配對，字串表的文字依識別字配對。\n"
    "RC檔可以是Big5（code page 950）、UTF-8（含BOM、有 #pragma code_page(65001)，\n"
    "或沒有標記但內容是有效的UTF-8）或含BOM的UTF-16；字典檔一律寫成Big5，CR LF 行尾。\n"
    "英文RC檔沒有 Microsoft、Borland 或 INPRISE 字樣時，依檔案中只有 BEGIN/END\n"
    "或只有大括號的行選定區塊分隔字。\n"
    "做完後在標準錯誤輸出報告：寫出的字串對、每個選單與對話框兩邊的文字數、\n"
    "配對從哪裡開始錯開、只在一個檔案中的字串表識別字。\n"
    "\n"
    "選項：\n"
    "  --strict      有選單或對話框兩邊的文字對不上、配對到的字串對不到中文RC檔\n"
    "                帶有文字的行的五分之四，或沒有寫出任何字串對時，結束狀態為 3\n"
    "  --encoding E  兩個RC檔都以編碼 E 讀取：big5、utf-8 或 utf-16（沒有BOM時\n"
    "                為 little-endian）；不指定時依檔案內容判斷\n"
    "  --perl PATH   使用這個Perl直譯器\n"
    "  --help        顯示這段說明\n"
    "\n"
    "%PERL%"
    "\n"
    "結束狀態：\n"
    "  0     完成（報告中的注意事項不影響結束狀態，除非加上 --strict）\n"
    "  1     拒絕執行（檔案不存在或無法讀寫、輸出與輸入相同等）、無法執行Perl，\n"
    "        或寫出的檔案不完整\n"
    "  2     用法錯誤\n"
    "  3     加上 --strict 時，兩邊的文字對不上、字串對太少或沒有字串對\n"
    "  其他  Perl程式結束時傳回的錯誤碼\n";

const char *const TranslateHelp =
    "用法：tavisorn-cli translate [選項] DICT NEW.rc OUT\n"
    "\n"
    "以字典檔 DICT 翻譯新版本的英文RC檔 NEW.rc，寫出翻譯後的RC檔 OUT。\n"
    "NEW.rc 可以是Big5（code page 950）、UTF-8（含BOM、有 #pragma code_page(65001)，\n"
    "或沒有標記但內容是有效的UTF-8；只有ASCII字元且行尾是LF的檔案也當作UTF-8）\n"
    "或含BOM的UTF-16；OUT 用與 NEW.rc 相同的編碼、BOM 與行尾（CR LF 或 LF）。\n"
    "字典檔必須是Big5。\n"
    "做完後在標準錯誤輸出報告：找到多少文字、翻譯了多少、哪些仍是英文，\n"
    "以及翻譯後RC檔的檢查（同 check --rc）：熱鍵重複、文字太寬。\n"
    "\n"
    "選項：\n"
    "  --font          把對話框的 FONT 8 字形改為新細明體 9\n"
    "  --missing FILE  把仍是英文的文字寫成字典檔 FILE（每個文字以自己為譯文，\n"
    "                  依第一次出現的順序，不重複；Big5、CR LF 行尾）；字典檔有\n"
    "                  相同或近似的原文時，其後接著建議的譯文，一個建議一對，好的在前\n"
    "  --old OLD.rc    與舊版本的英文RC檔依識別字比較：報告新增、刪除、改變的文字，\n"
    "                  識別字相同而文字改變時，舊文字的譯文列為第一個建議\n"
    "  --adapt         字典檔的原文除去熱鍵、快速鍵、結尾與大小寫後相同時，\n"
    "                  把換上新熱鍵、快速鍵與結尾的譯文也寫入 OUT（近似譯文不寫入）\n"
    "  --retarget      把宣告英文的 LANGUAGE 行改為\n"
    "                  LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL，\n"
    "                  並把 #pragma code_page 改為寫出的編碼（Big5 為 950，UTF-8 為 65001）\n"
    "  --encoding E    以編碼 E 讀取 NEW.rc 並寫出 OUT：big5、utf-8 或 utf-16\n"
    "                  （沒有BOM時為 little-endian）；不指定時依檔案內容判斷\n"
    "  --perl PATH     使用這個Perl直譯器\n"
    "  --help          顯示這段說明\n"
    "\n"
    "%PERL%"
    "\n"
    "結束狀態：\n"
    "  0     完成\n"
    "  1     拒絕執行（檔案不存在或無法讀寫、輸出與輸入相同等）、無法執行Perl，\n"
    "        或寫出的檔案不完整\n"
    "  2     用法錯誤\n"
    "  其他  Perl程式結束時傳回的錯誤碼\n";

const char *const ScriptHelp =
    "用法：tavisorn-cli script extraction EN.rc ZH.rc OUT\n"
    "      tavisorn-cli script translation [--font] DICT NEW.rc OUT\n"
    "\n"
    "在標準輸出印出製作字典檔或翻譯新版本的視窗會寫出的Perl程式，不執行它，\n"
    "也不讀取檔案。相對路徑以目前的資料夾為準。\n"
    "因為不讀取檔案，區塊分隔字（$BeginStr、$EndStr）保持樣板原本的空字串；\n"
    "英文RC檔沒有 Microsoft、Borland 或 INPRISE 字樣時，視窗與 make-dictionary、\n"
    "translate 會填入依檔案選定的 BEGIN/END 或大括號。\n"
    "\n"
    "選項：\n"
    "  --font   把對話框的 FONT 8 字形改為新細明體 9（只用於 translation）\n"
    "  --help   顯示這段說明\n"
    "\n"
    "結束狀態：\n"
    "  0  完成\n"
    "  1  拒絕（欄位是空的、路徑不安全、輸出與輸入相同）或無法寫出\n"
    "  2  用法錯誤\n";

void say(const QString &text)
{
    std::fprintf(stderr, "tavisorn-cli：%s\n", text.toUtf8().constData());
}

void printHelp(const char *text)
{
    const QByteArray help = QByteArray(text).replace("%PERL%", PerlHelp);
    std::fwrite(help.constData(), 1, std::size_t(help.size()), stdout);
}

// The report goes to standard error, line by line as rendered.
void report(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

QString argument(const std::string &bytes)
{
    return FileName::fromNative(QByteArray(bytes.data(), qsizetype(bytes.size()))).shown();
}

// Options may stand before, between or after the paths; "--" ends them.
std::optional<Options> parse(const CliArgs &args, unsigned allowed)
{
    Options options;
    bool optionsEnded = false;
    auto value = [&](std::size_t &i, const char *name, std::optional<std::string> &into) {
        const std::string &arg = args[i];
        const std::string prefix = std::string(name) + "=";
        if (arg.rfind(prefix, 0) == 0) {
            into = arg.substr(prefix.size());
            return true;
        }
        if (i + 1 == args.size()) {
            say(QStringLiteral("%1 後面要有路徑。").arg(QLatin1String(name)));
            return false;
        }
        into = args[++i];
        return true;
    };
    auto is = [](const std::string &arg, const char *name) {
        return arg == name || arg.rfind(std::string(name) + "=", 0) == 0;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || arg[1] != '-') {
            options.paths.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help") {
            options.help = true;
        } else if ((allowed & AllowFont) && arg == "--font") {
            options.font = true;
        } else if ((allowed & AllowStrict) && arg == "--strict") {
            options.strict = true;
        } else if ((allowed & AllowRetarget) && arg == "--retarget") {
            options.retarget = true;
        } else if ((allowed & AllowAdapt) && arg == "--adapt") {
            options.adapt = true;
        } else if ((allowed & AllowPerl) && is(arg, "--perl")) {
            if (!value(i, "--perl", options.perl))
                return std::nullopt;
        } else if ((allowed & AllowOld) && is(arg, "--old")) {
            if (!value(i, "--old", options.old))
                return std::nullopt;
        } else if ((allowed & AllowMissing) && is(arg, "--missing")) {
            if (!value(i, "--missing", options.missing))
                return std::nullopt;
        } else if ((allowed & AllowEncoding) && is(arg, "--encoding")) {
            std::optional<std::string> name;
            if (arg == "--encoding" && i + 1 == args.size()) {
                say(QStringLiteral("--encoding 後面要有編碼：big5、utf-8 或 utf-16。"));
                return std::nullopt;
            }
            if (!value(i, "--encoding", name))
                return std::nullopt;
            const std::optional<EncodingChoice> choice = EncodingChoiceNamed(*name);
            if (!choice) {
                say(QStringLiteral("不明的編碼「%1」：應為 big5、utf-8 或 utf-16。").arg(argument(*name)));
                return std::nullopt;
            }
            options.encoding = *choice;
        } else {
            say(QStringLiteral("不明的選項「%1」。請以 --help 查看用法。").arg(argument(arg)));
            return std::nullopt;
        }
    }
    if (!options.help && options.paths.size() != 3) {
        say(QStringLiteral("需要三個檔案路徑（現有 %1 個）。請以 --help 查看用法。").arg(options.paths.size()));
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

bool hasSeparator(const std::string &path)
{
#ifdef Q_OS_WIN
    return path.find_first_of("/\\:") != std::string::npos;
#else
    return path.find('/') != std::string::npos;
#endif
}

// The interpreter to run: the --perl option, else the PerlPath setting,
// else `perl` found on the PATH. A --perl with a folder in it is taken
// relative to where the command was started, since the interpreter itself
// starts in the run's own folder; a bare name is looked up on the PATH.
std::optional<QString> resolvePerl(const std::optional<std::string> &option)
{
    if (option) {
        if (option->empty()) {
            say(QStringLiteral("--perl 後面要有Perl直譯器的路徑。"));
            return std::nullopt;
        }
        if (hasSeparator(*option))
            return PathFromBytes(absolute(*option));
        const QString found = QStandardPaths::findExecutable(PathFromBytes(*option));
        if (found.isEmpty()) {
            say(QStringLiteral("無法執行Perl直譯器「%1」：%2")
                    .arg(argument(*option), InterpreterStartProblem(PathFromBytes(*option), QString())));
            return std::nullopt;
        }
        return found;
    }
    // The interpreter chosen in the program's settings, as the windows use it.
    if (LoadSettings().ok && !RegDat.PerlPath.isEmpty())
        return RegDat.PerlPath;
    const QString found = QStandardPaths::findExecutable(QStringLiteral("perl"));
    if (found.isEmpty()) {
        say(QStringLiteral("找不到Perl直譯器：請以 --perl 指定它的路徑。"));
        return std::nullopt;
    }
    return found;
}

int refuse(const Refusal &refusal)
{
    say(refusal.text);
    return CliFailed;
}

// What the script prints ("OK!") goes to standard output with a line end
// after it, so that it does not run into the shell's prompt; to standard
// error when an output of the run goes to standard output.
void passOn(const QByteArray &printed, std::FILE *to)
{
    if (printed.isEmpty())
        return;
    std::fwrite(printed.constData(), 1, std::size_t(printed.size()), to);
    if (!printed.endsWith('\n'))
        std::fputc('\n', to);
    std::fflush(to);
}

// The interpreter is started and watched by the launcher the windows use;
// the command waits for its end.
int runScriptFile(const QTemporaryDir &folder, const char *scriptName, const std::string &script, const QString &perl,
                  bool outputIsStream)
{
    const QString scriptPath = folder.filePath(QLatin1String(scriptName));
    if (const WriteResult written = WriteScriptFile(scriptPath, script); !written.ok) {
        say(written.error);
        return CliFailed;
    }
    InterpreterCommand command = BuildInterpreterCommand(perl, scriptPath, folder.path());
    if (const QString error = CheckInterpreterCloses(command, folder.path()); !error.isEmpty()) {
        say(error);
        return CliFailed;
    }
    // The folder's own names (the scripts, the copies) never end in this.
    command.outputFile = folder.filePath(QStringLiteral("printed by perl.out"));
    command.errorFile = folder.filePath(QStringLiteral("perl errors.out"));

    ProcessLauncher launcher;
    QEventLoop loop;
    std::optional<std::pair<int, bool>> ended;
    const StartResult started = launcher.start(command, [&](int exitCode, bool crashed) {
        ended.emplace(exitCode, crashed);
        loop.quit();
    });
    if (!started.started) {
        say(QStringLiteral("無法執行Perl直譯器「%1」：%2").arg(perl, started.error));
        return CliFailed;
    }
    if (!ended)
        loop.exec();
    QFile printed(command.outputFile);
    if (printed.open(QIODevice::ReadOnly))
        passOn(printed.readAll(), outputIsStream ? stderr : stdout);
    // The interpreter's own error messages follow, then what they mean.
    QByteArray errors;
    if (QFile errorFile(command.errorFile); errorFile.open(QIODevice::ReadOnly))
        errors = errorFile.readAll();
    passOn(errors, stderr);
    const auto [exitCode, crashed] = *ended;
    if (const int error = FailedCloseError(errors); error != 0 && !crashed) {
        say(QStringLiteral("Perl程式無法寫完它的檔案（%1），輸出檔沒有改變。").arg(SystemReason(error)));
        return exitCode != 0 ? exitCode : CliFailed;
    }
    if (crashed) {
        say(QStringLiteral("Perl直譯器不正常結束，輸出檔沒有改變。"));
        return CliFailed;
    }
    if (exitCode != 0)
        say(QStringLiteral("Perl程式結束時傳回錯誤碼 %1，沒有報告，輸出檔沒有改變。").arg(exitCode));
    return exitCode;
}

bool makeFolder(QTemporaryDir &folder)
{
    if (folder.isValid())
        return true;
    say(QStringLiteral("無法建立暫存資料夾：%1").arg(folder.errorString()));
    return false;
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
        return CliFailed;
    }
    return CliOk;
}

// The file of --missing is one more output of the run.
std::optional<Refusal> missingFileRefusal(const std::string &missing, const TranslationPaths &paths)
{
    if (auto r = CheckOutputFile(missing, QStringLiteral("未翻譯文字的字典檔")))
        return r;
    for (const std::string *other : {&paths.T1, &paths.T2, &paths.T3})
        if (NameTheSameFile(missing, *other))
            return Refusal{QStringLiteral("--missing 的檔案不能是字典檔、新版本RC檔或翻譯後的RC檔，請另選檔名。"),
                           RefusalCaption()};
    return std::nullopt;
}

int writeMissing(const std::string &missing, const TranslationRun &run, const TranslationReport &translated)
{
    QStringList leftOut;
    const std::string pairs =
        MissingPairs(translated, [&run](std::string_view bytes) { return run.StandIns.Holds(bytes); }, &leftOut);
    const FileName name = FileName::fromNative(QByteArray(missing.data(), qsizetype(missing.size())));
    if (const FileResult saved = SaveBytes(name, pairs); !saved.ok) {
        say(saved.error);
        return CliFailed;
    }
    QString text = QStringLiteral("仍是英文的文字寫入 %1：%2 對\n")
                       .arg(name.shown(), QString::number(qsizetype(translated.Left.size()) - leftOut.size()));
    for (const QString &t : leftOut)
        text += QStringLiteral("  沒有寫入（含有Big5沒有的字元）：\"%1\"\n").arg(t);
    report(text);
    return CliOk;
}

// The interpreter ended well but wrote something else than its script
// writes: a full disk, or a file changed meanwhile. Not a success, and the
// output is not replaced.
int incomplete()
{
    say(QStringLiteral("Perl程式寫出的檔案與依相同規則預期的不同，可能不完整（例如磁碟已滿）；輸出檔沒有改變。"));
    return CliFailed;
}

} // namespace

int runMakeDictionary(const CliArgs &args)
{
    const auto options = parse(args, AllowPerl | AllowStrict | AllowEncoding);
    if (!options)
        return CliWrongUse;
    if (options->help) {
        printHelp(MakeDictionaryHelp);
        return CliOk;
    }
    const ExtractionPaths paths = extractionPaths(*options);
    if (const auto r = ExtractionRefusal(paths))
        return refuse(*r);
    const std::optional<QString> perl = resolvePerl(options->perl);
    if (!perl)
        return CliFailed;
    QTemporaryDir folder;
    if (!makeFolder(folder))
        return CliFailed;
    ExtractionRun run;
    ExtractionOptions extraction;
    extraction.Encoding = options->encoding;
    if (const auto r = PrepareExtraction(paths, extraction, folder.path(), run))
        return refuse(*r);
    if (const int status = runScriptFile(folder, ExtractionScriptName, RunScript(run), *perl,
                                         IsStreamOutput(paths.E3)))
        return status;
    const RunOutcome<ExtractionReport> outcome = FinishExtraction(run);
    if (!outcome.ok) {
        say(outcome.error);
        return CliFailed;
    }
    report(RenderExtractionReport(outcome.report));
    if (!outcome.report.WrittenAsRead)
        return incomplete();
    if (const QString error = PutOutputInPlace(outcome.OutputPath, outcome.Output); !error.isEmpty()) {
        say(error);
        return CliFailed;
    }
    if (options->strict && (outcome.report.BlocksDiffer() || outcome.report.NoPairs() || outcome.report.LowPairing()
                            || !outcome.report.Duplicates.empty()))
        return CliFound;
    return CliOk;
}

int runTranslate(const CliArgs &args)
{
    const auto options = parse(args, AllowFont | AllowPerl | AllowRetarget | AllowMissing | AllowEncoding | AllowAdapt | AllowOld);
    if (!options)
        return CliWrongUse;
    if (options->help) {
        printHelp(TranslateHelp);
        return CliOk;
    }
    const TranslationPaths paths = translationPaths(*options);
    if (const auto r = TranslationRefusal(paths))
        return refuse(*r);
    std::optional<std::string> missing;
    if (options->missing) {
        missing = absolute(*options->missing);
        if (const auto r = missingFileRefusal(*missing, paths))
            return refuse(*r);
    }
    std::string oldEnglish;
    if (options->old) {
        const std::optional<Refusal> r = ReadOldVersion(absolute(*options->old), oldEnglish);
        if (r)
            return refuse(*r);
    }
    const std::optional<QString> perl = resolvePerl(options->perl);
    if (!perl)
        return CliFailed;
    QTemporaryDir folder;
    if (!makeFolder(folder))
        return CliFailed;
    TranslationRun run;
    TranslationOptions translation;
    translation.Retarget = options->retarget;
    translation.Encoding = options->encoding;
    translation.Adapt = options->adapt;
    if (const auto r = PrepareTranslation(paths, translation, folder.path(), run))
        return refuse(*r);
    const bool streamed = IsStreamOutput(paths.T3) || (missing && IsStreamOutput(*missing));
    if (const int status =
            runScriptFile(folder, TranslationScriptName, RunScript(run), *perl, streamed))
        return status;
    RunOutcome<TranslationReport> outcome = FinishTranslation(run);
    if (!outcome.ok) {
        say(outcome.error);
        return CliFailed;
    }
    if (options->old)
        CompareVersions(outcome.report, oldEnglish, run.Source.copyOrFile(), run.Dictionary);
    QString text = RenderTranslationReport(outcome.report);
    for (const LanguageLine &l : outcome.report.Language) {
        if (l.After.isEmpty()) {
            text += QStringLiteral("加上 --retarget 可把這些行改為中文的宣告。\n");
            break;
        }
    }
    report(text);
    if (!outcome.report.WrittenAsRead)
        return incomplete();
    if (const QString error = PutOutputInPlace(outcome.OutputPath, outcome.Output); !error.isEmpty()) {
        say(error);
        return CliFailed;
    }
    if (missing)
        return writeMissing(*missing, run, outcome.report);
    return CliOk;
}

int runScript(const CliArgs &args)
{
    if (args.empty()) {
        say(QStringLiteral("script 後面要有 extraction 或 translation。請以 --help 查看用法。"));
        return CliWrongUse;
    }
    const std::string kind = args.front();
    if (kind == "--help") {
        printHelp(ScriptHelp);
        return CliOk;
    }
    const CliArgs rest(args.begin() + 1, args.end());
    if (kind == "extraction" || kind == "translation") {
        const auto options = parse(rest, kind == "translation" ? AllowFont : 0u);
        if (!options)
            return CliWrongUse;
        if (options->help) {
            printHelp(ScriptHelp);
            return CliOk;
        }
        if (kind == "extraction") {
            const ExtractionPaths paths = extractionPaths(*options);
            if (const auto r = ExtractionPathRefusal(paths))
                return refuse(*r);
            return print(ExtractionScript(paths));
        }
        const TranslationPaths paths = translationPaths(*options);
        if (const auto r = TranslationPathRefusal(paths))
            return refuse(*r);
        return print(TranslationScript(paths));
    }
    say(QStringLiteral("不明的程式種類「%1」：應為 extraction 或 translation。").arg(argument(kind)));
    return CliWrongUse;
}
