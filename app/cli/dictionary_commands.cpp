#include "app/cli/commands.h"

#include "convert/encoding.h"
#include "convert/rcchecks.h"
#include "dictionary/checks.h"
#include "dictionary/keeplist.h"
#include "dictionary/vocabulary.h"
#include "files/readfile.h"
#include "convert/script.h"
#include "dictionary/dictionary.h"
#include "platform/codepage.h"

#include <cstdio>

// File names travel as the bytes the shell passed: a Big5 name stays Big5.
FileName pathArgument(const std::string &bytes)
{
    return FileName::fromNative(QByteArray(bytes.data(), qsizetype(bytes.size())));
}

void printError(const QString &text)
{
    std::fprintf(stderr, "tavisorn-cli：%s\n", text.toUtf8().constData());
}

namespace {

const char *const StatsHelp =
    "用法：tavisorn-cli stats DICT\n"
    "\n"
    "以編輯器的方式讀入字典檔 DICT，在標準輸出印出：字串對的數目、條目（不同的原文）\n"
    "的數目、有多個翻譯的條目數，以及未翻譯的條目數（選定的翻譯與原文相同）。\n"
    "\n"
    "選項：\n"
    "  --help   顯示這段說明\n"
    "\n"
    "結束狀態：\n"
    "  0  完成\n"
    "  1  無法讀取字典檔\n"
    "  2  用法錯誤\n";

const char *const NormalizeHelp =
    "用法：tavisorn-cli normalize DICT OUT\n"
    "      tavisorn-cli normalize --in-place DICT\n"
    "\n"
    "以編輯器的方式讀入字典檔 DICT 並儲存為 OUT：相同的原文合為一個條目，\n"
    "每個條目寫出原文及它選定的翻譯，依原文排序，CR LF 行尾。\n"
    "OUT 與 DICT 是同一個檔案時，必須加上 --in-place 才會覆寫它。\n"
    "\n"
    "選項：\n"
    "  --in-place   覆寫 DICT 本身（只給一個路徑時，OUT 就是 DICT）\n"
    "  --help       顯示這段說明\n"
    "\n"
    "結束狀態：\n"
    "  0  完成\n"
    "  1  無法讀取或儲存字典檔，或沒有 --in-place 而 OUT 就是 DICT\n"
    "  2  用法錯誤\n";

const char *const CheckHelp =
    "用法：tavisorn-cli check DICT\n"
    "      tavisorn-cli check --rc TRANSLATED.rc\n"
    "\n"
    "讀入字典檔 DICT，以每個條目的原文檢查它選定的翻譯：熱鍵缺少、多出或字母不同\n"
    "（(&X) 的寫法也算熱鍵）、快速鍵、printf 及編號參數、跳脫字元、結尾符號、\n"
    "前後空白，以及與原文相同（未翻譯）的翻譯。每個問題在標準輸出印一行：\n"
    "種類代號、條目編號（由 1 起）、原文、翻譯，以定位字元分隔，UTF-8；\n"
    "各種類的數目印在標準錯誤輸出。\n"
    "\n"
    "加上 --rc 時檢查翻譯後的 RC 檔：同一層選單或同一個對話盒裡熱鍵字母相同的\n"
    "項目（hotkey-clash），以及以新細明體 9 點量起來比控制項寬的文字（too-wide）。\n"
    "每個問題印一行：種類代號、選單或對話盒名稱、文字。\n"
    "\n"
    "選項：\n"
    "  --rc     檢查翻譯後的 RC 檔（Big5、UTF-8 或 UTF-16）\n"
    "  --help   顯示這段說明\n"
    "\n"
    "結束狀態：\n"
    "  0  沒有問題\n"
    "  1  無法讀取字典檔\n"
    "  2  用法錯誤\n"
    "  3  找到問題\n";

void printLine(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

// Loads the dictionary as the editor does, without a progress window.
bool load(const std::string &pathBytes, DictionaryTables &tables)
{
    SilentLoadProgress silent;
    const FileResult result = LoadDictionary(pathArgument(pathBytes), tables, silent);
    if (!result.ok)
        printError(result.error);
    return result.ok;
}

bool asksForHelp(const CliArgs &args)
{
    for (const std::string &arg : args) {
        if (arg == "--")
            return false;
        if (arg == "--help")
            return true;
    }
    return false;
}

} // namespace

int runStats(const CliArgs &args)
{
    if (asksForHelp(args)) {
        std::fputs(StatsHelp, stdout);
        return CliOk;
    }
    if (args.size() != 1) {
        std::fputs("用法：tavisorn-cli stats DICT（以 --help 查看說明）\n", stderr);
        return CliWrongUse;
    }
    DictionaryTables tables;
    if (!load(args[0], tables))
        return CliFailed;

    long long several = 0;
    long long untranslated = 0;
    for (std::int32_t k = 0; k <= tables.LastEntry; ++k) {
        const DS &entry = tables.EntryTable[std::size_t(k)];
        if (entry.LastTranslation > 0)
            ++several;
        if (entry.ChosenTranslation() == entry.Source)
            ++untranslated;
    }
    printLine(QStringLiteral("字串對：%1").arg(static_cast<long long>(tables.LastPair) + 1));
    printLine(QStringLiteral("條目：%1").arg(static_cast<long long>(tables.LastEntry) + 1));
    printLine(QStringLiteral("有多個翻譯的條目：%1").arg(several));
    printLine(QStringLiteral("未翻譯的條目（選定的翻譯與原文相同）：%1").arg(untranslated));
    return CliOk;
}

int runNormalize(const CliArgs &args)
{
    if (asksForHelp(args)) {
        std::fputs(NormalizeHelp, stdout);
        return CliOk;
    }
    bool inPlace = false;
    CliArgs paths;
    bool optionsEnded = false;
    for (const std::string &arg : args) {
        if (!optionsEnded && arg == "--")
            optionsEnded = true;
        else if (!optionsEnded && arg == "--in-place")
            inPlace = true;
        else
            paths.push_back(arg);
    }
    if (inPlace && paths.size() == 1)
        paths.push_back(paths.front());
    if (paths.size() != 2) {
        std::fputs("用法：tavisorn-cli normalize DICT OUT，或 normalize --in-place DICT（以 --help 查看說明）\n",
                   stderr);
        return CliWrongUse;
    }
    // Rewriting the very file read is what --in-place asks for; without it
    // a slip of the keyboard would replace the user's dictionary unasked.
    if (!inPlace && NameTheSameFile(paths[0], paths[1])) {
        printError(QStringLiteral("輸出的字典檔就是輸入的字典檔「%1」；要覆寫它，請加上 --in-place。")
                       .arg(pathArgument(paths[0]).shown()));
        return CliFailed;
    }
    DictionaryTables tables;
    if (!load(paths[0], tables))
        return CliFailed;
    const FileResult saved = SaveDictionary(pathArgument(paths[1]), tables);
    if (!saved.ok) {
        printError(saved.error);
        return CliFailed;
    }
    return CliOk;
}

// One line per problem on standard output (key, entry number from 1, source,
// chosen translation, tab-separated, the texts as UTF-8), then a count per
// kind on standard error. Exit status 3 when anything was found.
namespace {

// A text as Big5 bytes for measuring: a character code page 950 cannot
// hold counts as one full-width character.
std::string big5ForMeasure(const QString &text)
{
    std::string out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const std::optional<std::string> bytes = cp950::encode(QStringView(text).mid(i, n));
        out += bytes ? *bytes : std::string("\xA1\x40");
        i += n;
    }
    return out;
}

int checkResourceScript(const std::string &pathBytes)
{
    const FileName name = pathArgument(pathBytes);
    std::string bytes;
    if (const QString reason = ReadWholeFile(name, bytes, qint64(256) << 20); !reason.isEmpty()) {
        printError(QStringLiteral("無法讀取檔案 %1：%2。").arg(name.shown(), reason));
        return CliFailed;
    }
    const DecodedScript script = DecodeScript(bytes);
    if (!script.Problem.isEmpty()) {
        printError(script.Problem);
        return CliFailed;
    }
    if (script.Encoding.Encoding != TextEncoding::Cp950)
        bytes = big5ForMeasure(script.Text);

    long long counts[kCheckKinds] = {};
    const std::vector<RcFinding> findings = CheckResourceScript(bytes);
    for (const RcFinding &f : findings) {
        ++counts[int(f.Kind)];
        std::printf("%s\t%s\t%s\t%s\n", CheckKey(f.Kind), f.Block.c_str(), cp950::decode(f.Text).toUtf8().constData(),
                    RcFindingDetail(f).toUtf8().constData());
    }
    for (int kind = 0; kind < kCheckKinds; ++kind)
        if (counts[kind] != 0)
            std::fprintf(stderr, "%s\t%s\t%lld\n", CheckKey(CheckKind(kind)),
                         CheckName(CheckKind(kind)).toUtf8().constData(), counts[kind]);
    return findings.empty() ? CliOk : CliFound;
}

} // namespace

int runCheck(const CliArgs &args)
{
    if (asksForHelp(args)) {
        std::fputs(CheckHelp, stdout);
        return CliOk;
    }
    if (args.size() == 2 && args[0] == "--rc")
        return checkResourceScript(args[1]);
    if (args.size() != 1 || args[0] == "--rc") {
        std::fputs(CheckHelp, stderr);
        return CliWrongUse;
    }
    DictionaryTables tables;
    if (!load(args[0], tables))
        return CliFailed;
    KeepEnglish keep;
    if (const QString problem = ReadKeepList(pathArgument(args[0]), keep); !problem.isEmpty()) {
        printError(problem);
        return CliFailed;
    }
    if (!Vocabulary::Taiwan().Problem().isEmpty())
        printError(QStringLiteral("%1；不檢查大陸用語。").arg(Vocabulary::Taiwan().Problem()));

    const auto shown = [](std::string_view text) { return cp950::decode(text).toUtf8(); };
    long long counts[kCheckKinds] = {};
    long long withProblems = 0;
    for (std::int32_t k = 0; k <= tables.LastEntry; ++k) {
        const DS &entry = tables.EntryTable[std::size_t(k)];
        const CheckSet found = CheckTranslation(entry.Source, entry.ChosenTranslation(), &keep);
        if (found.empty())
            continue;
        ++withProblems;
        const QByteArray source = shown(entry.Source);
        const QByteArray translation = shown(entry.ChosenTranslation());
        for (const CheckKind kind : found.kinds()) {
            ++counts[int(kind)];
            // The Taiwan words of a vocabulary finding follow as a fifth field.
            const QByteArray detail = kind == CheckKind::Vocabulary
                                          ? CheckDetail(kind, entry.Source, entry.ChosenTranslation()).toUtf8()
                                          : QByteArray();
            std::printf("%s\t%d\t%s\t%s%s%s\n", CheckKey(kind), k + 1, source.constData(), translation.constData(),
                        detail.isEmpty() ? "" : "\t", detail.constData());
        }
    }
    std::fprintf(stderr, "%s\n",
                 QStringLiteral("%1 個項目，%2 個有問題。").arg(tables.LastEntry + 1).arg(withProblems).toUtf8().constData());
    for (int kind = 0; kind < kCheckKinds; ++kind)
        if (counts[kind] != 0)
            std::fprintf(stderr, "%s\t%s\t%lld\n", CheckKey(CheckKind(kind)),
                         CheckName(CheckKind(kind)).toUtf8().constData(), counts[kind]);
    return withProblems == 0 ? CliOk : CliFound;
}
