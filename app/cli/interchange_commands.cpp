#include "app/cli/commands.h"

#include "convert/script.h"
#include "dictionary/dictionary.h"
#include "interchange/exchange.h"

#include <cstdio>

namespace {

const char *const ExportHelp =
    "用法：tavisorn-cli export --format tmx|po|xliff|csv DICT OUT\n"
    "\n"
    "把字典檔 DICT（Big5）以其他翻譯工具讀得懂的格式寫成 OUT（UTF-8）：\n"
    "  tmx    TMX 1.4b：每個翻譯一個 <tu>，原文 en-US、翻譯 zh-TW；\n"
    "         未翻譯的字串只有 en-US 的 <tuv>\n"
    "  po     PO：msgid 原文、msgstr 翻譯；其他翻譯寫在「# 另譯：」註解；\n"
    "         未翻譯的 msgstr 是空的\n"
    "  xliff  XLIFF 1.2：每個條目一個 <trans-unit>，其他翻譯是 <alt-trans>；\n"
    "         未翻譯的是 state=\"needs-translation\"\n"
    "  csv    CSV：兩欄 source,target（RFC 4180）；每個翻譯一列，未翻譯的翻譯欄是空的\n"
    "有多個翻譯的條目，選定的翻譯寫在最前面。\n"
    "\n"
    "選項：\n"
    "  --format F   輸出的格式（必須指定）\n"
    "  --help       顯示這段說明\n"
    "\n"
    "結束狀態：\n"
    "  0  完成\n"
    "  1  無法讀取字典檔、格式放不下某個條目、或無法寫入 OUT（沒有寫入任何東西）\n"
    "  2  用法錯誤\n";

const char *const ImportHelp =
    "用法：tavisorn-cli import --format tmx|po|xliff|csv [--stand-ins] IN DICT\n"
    "\n"
    "讀入其他翻譯工具的檔案 IN，寫成字典檔 DICT（Big5）。DICT 不存在時建立它；\n"
    "已經存在時把它還沒有的字串對加在檔尾：原有的字串對與選定的翻譯不變，\n"
    "同一個原文的新翻譯成為它的另一個翻譯。結束時報告讀入、寫入及拒絕的字串對數目。\n"
    "\n"
    "含有 Big5（code page 950）無法表示的字元、或含有換行的字串對會被拒絕，\n"
    "並指出所在的行及字元；只要有一個被拒絕，就不寫入任何東西。\n"
    "\n"
    "選項：\n"
    "  --format F    輸入的格式（必須指定）\n"
    "  --stand-ins   Big5 無法表示的字元改寫成字典檔沒有用到的 Big5 造字區代碼\n"
    "                （與轉換 RC 檔時相同），而不拒絕；報告列出每個字元的代碼\n"
    "  --help        顯示這段說明\n"
    "\n"
    "結束狀態：\n"
    "  0  完成\n"
    "  1  無法讀取 IN 或字典檔、IN 格式錯誤、有字串對被拒絕、或無法寫入（都不寫入任何東西）\n"
    "  2  用法錯誤\n";

struct ExchangeArgs {
    std::optional<ExchangeFormat> Format;
    bool StandIns = false;
    bool Help = false;
    CliArgs Paths;
    QString Wrong; // why the arguments do not fit
};

ExchangeArgs parse(const CliArgs &args, bool standInsAllowed)
{
    ExchangeArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            parsed.Paths.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help") {
            parsed.Help = true;
        } else if (arg == "--stand-ins" && standInsAllowed) {
            parsed.StandIns = true;
        } else if (arg == "--format" || arg.rfind("--format=", 0) == 0) {
            std::string name;
            if (arg == "--format") {
                if (i + 1 == args.size()) {
                    parsed.Wrong = QStringLiteral("--format 後面少了格式名稱。");
                    return parsed;
                }
                name = args[++i];
            } else {
                name = arg.substr(9);
            }
            parsed.Format = ExchangeFormatByName(name);
            if (!parsed.Format) {
                parsed.Wrong = QStringLiteral("不認得的格式「%1」；可用的格式是 tmx、po、xliff、csv。").arg(QString::fromUtf8(name));
                return parsed;
            }
        } else {
            parsed.Wrong = QStringLiteral("不認得的選項「%1」。").arg(QString::fromUtf8(arg));
            return parsed;
        }
    }
    if (parsed.Wrong.isEmpty() && !parsed.Format)
        parsed.Wrong = QStringLiteral("請以 --format 指定格式：tmx、po、xliff 或 csv。");
    else if (parsed.Wrong.isEmpty() && parsed.Paths.size() != 2)
        parsed.Wrong = QStringLiteral("需要兩個路徑。");
    return parsed;
}

int wrongUse(const QString &why, const char *command)
{
    printError(why);
    std::fprintf(stderr, "（以 tavisorn-cli %s --help 查看說明）\n", command);
    return CliWrongUse;
}

} // namespace

int runExport(const CliArgs &args)
{
    const ExchangeArgs parsed = parse(args, false);
    if (parsed.Help) {
        std::fputs(ExportHelp, stdout);
        return CliOk;
    }
    if (!parsed.Wrong.isEmpty())
        return wrongUse(parsed.Wrong, "export");
    const FileName dictionary = pathArgument(parsed.Paths[0]);
    const FileName output = pathArgument(parsed.Paths[1]);
    if (NameTheSameFile(parsed.Paths[0], parsed.Paths[1])) {
        printError(QStringLiteral("輸出的檔案就是字典檔「%1」；請另選一個檔名。").arg(dictionary.shown()));
        return CliFailed;
    }
    DictionaryTables tables;
    SilentLoadProgress silent;
    if (const FileResult loaded = LoadDictionary(dictionary, tables, silent); !loaded.ok) {
        printError(loaded.error);
        return CliFailed;
    }
    ExportOptions options;
    options.Name = QString::fromUtf8(QByteArray::fromStdString(parsed.Paths[0]).split('/').last());
    std::int64_t pairs = 0;
    const std::vector<ExchangeEntry> entries = ExchangeEntries(tables);
    if (const FileResult saved = ExportExchange(entries, *parsed.Format, output, options, &pairs); !saved.ok) {
        printError(saved.error);
        return CliFailed;
    }
    std::fprintf(stderr, "%s\n",
                 QStringLiteral("寫出 %1 個條目、%2 個字串對（%3）。")
                     .arg(qint64(entries.size()))
                     .arg(pairs)
                     .arg(ExchangeFormatLabel(*parsed.Format))
                     .toUtf8()
                     .constData());
    return CliOk;
}

int runImport(const CliArgs &args)
{
    const ExchangeArgs parsed = parse(args, true);
    if (parsed.Help) {
        std::fputs(ImportHelp, stdout);
        return CliOk;
    }
    if (!parsed.Wrong.isEmpty())
        return wrongUse(parsed.Wrong, "import");
    if (NameTheSameFile(parsed.Paths[0], parsed.Paths[1])) {
        printError(QStringLiteral("字典檔就是要匯入的檔案「%1」；請另選一個字典檔。").arg(pathArgument(parsed.Paths[0]).shown()));
        return CliFailed;
    }
    ImportOptions options;
    options.StandIns = parsed.StandIns;
    const ImportReport report = ImportExchange(pathArgument(parsed.Paths[0]), *parsed.Format,
                                               pathArgument(parsed.Paths[1]), options);
    for (const QString &line : ImportReportLines(report))
        std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    if (report.StandInsWouldDo)
        std::fputs("（加上 --stand-ins，這些字元會寫成字典檔沒有用到的 Big5 造字區代碼。）\n", stderr);
    return report.Ok ? CliOk : CliFailed;
}
