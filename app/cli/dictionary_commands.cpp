#include "app/cli/commands.h"

#include "dictionary/dictionary.h"

#include <cstdio>

// Exit statuses: 0 done, 1 a file could not be read or written, 2 wrong use.
namespace {

constexpr int kFileFailed = 1;
constexpr int kWrongUse = 2;

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
