#include "app/cli/commands.h"

#include "dictionary/checks.h"
#include "dictionary/dictionary.h"
#include "platform/codepage.h"

#include <cstdio>

// Exit statuses: 0 done, 1 a file could not be read or written, 2 wrong use,
// 3 problems found by check.
namespace {

constexpr int kFileFailed = 1;
constexpr int kWrongUse = 2;
constexpr int kProblemsFound = 3;

// File names travel as the bytes the shell passed: a Big5 name stays Big5.
FileName pathArgument(const std::string &bytes)
{
    return FileName::fromNative(QByteArray(bytes.data(), qsizetype(bytes.size())));
}

void printError(const QString &text)
{
    std::fprintf(stderr, "tavisorn-cli：%s\n", text.toUtf8().constData());
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

} // namespace

int runStats(const CliArgs &args)
{
    if (args.size() != 1) {
        std::fputs("用法：tavisorn-cli stats DICT\n", stderr);
        return kWrongUse;
    }
    DictionaryTables tables;
    if (!load(args[0], tables))
        return kFileFailed;

    long long several = 0;
    long long untranslated = 0;
    for (std::int32_t k = 0; k <= tables.LastEntry; ++k) {
        const DS &entry = tables.EntryTable[std::size_t(k)];
        if (entry.LastTranslation > 0)
            ++several;
        if (entry.ChosenTranslation() == entry.Source)
            ++untranslated;
    }
    std::printf("pairs: %lld\n", static_cast<long long>(tables.LastPair) + 1);
    std::printf("entries: %lld\n", static_cast<long long>(tables.LastEntry) + 1);
    std::printf("entries with several translations: %lld\n", several);
    std::printf("entries not translated (chosen translation equals source): %lld\n", untranslated);
    return 0;
}

int runNormalize(const CliArgs &args)
{
    if (args.size() != 2) {
        std::fputs("用法：tavisorn-cli normalize DICT OUT\n", stderr);
        return kWrongUse;
    }
    DictionaryTables tables;
    if (!load(args[0], tables))
        return kFileFailed;
    const FileResult saved = SaveDictionary(pathArgument(args[1]), tables);
    if (!saved.ok) {
        printError(saved.error);
        return kFileFailed;
    }
    return 0;
}

// One line per problem on standard output (key, entry number from 1, source,
// chosen translation, tab-separated, the texts as UTF-8), then a count per
// kind on standard error. Exit status 3 when anything was found.
int runCheck(const CliArgs &args)
{
    if (args.size() != 1) {
        std::fputs("用法：tavisorn-cli check DICT\n", stderr);
        return kWrongUse;
    }
    DictionaryTables tables;
    if (!load(args[0], tables))
        return kFileFailed;

    const auto shown = [](const std::string &text) { return cp950::decode(text).toUtf8(); };
    long long counts[kCheckKinds] = {};
    long long withProblems = 0;
    for (std::int32_t k = 0; k <= tables.LastEntry; ++k) {
        const DS &entry = tables.EntryTable[std::size_t(k)];
        const CheckSet found = CheckTranslation(entry.Source, entry.ChosenTranslation());
        if (found.empty())
            continue;
        ++withProblems;
        const QByteArray source = shown(entry.Source);
        const QByteArray translation = shown(entry.ChosenTranslation());
        for (const CheckKind kind : found.kinds()) {
            ++counts[int(kind)];
            std::printf("%s\t%d\t%s\t%s\n", CheckKey(kind), k + 1, source.constData(), translation.constData());
        }
    }
    std::fprintf(stderr, "%s\n",
                 QStringLiteral("%1 個項目，%2 個有問題。").arg(tables.LastEntry + 1).arg(withProblems).toUtf8().constData());
    for (int kind = 0; kind < kCheckKinds; ++kind)
        if (counts[kind] != 0)
            std::fprintf(stderr, "%s\t%s\t%lld\n", CheckKey(CheckKind(kind)),
                         CheckName(CheckKind(kind)).toUtf8().constData(), counts[kind]);
    return withProblems == 0 ? 0 : kProblemsFound;
}
