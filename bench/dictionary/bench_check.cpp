// Times `check` on a dictionary of 1,000,000 entries against loading it, as
// the command does: the load, then every check of every chosen translation
// (with a list of texts kept in English, and the Taiwan word list). The
// machine is shared, so the figure that counts is the ratio.

#include "dictionary/checks.h"
#include "dictionary/dictionary.h"
#include "dictionary/vocabulary.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

namespace {

// Menu items, labels and messages: hot keys, shortcuts, placeholders,
// endings, texts without words, and translations that keep or lose them,
// some with mainland words (文件, 保存, 程序) among Taiwan ones.
std::string dictionary(int entries)
{
    std::mt19937 rng(22);
    const char *const words[] = {"Open", "Save", "Print", "Find", "Replace", "Window", "Options", "Volume", "Registry"};
    const char *const chinese[] = {"\xB6\x7D\xB1\xD2", "\xC0\x78\xA6\x73", "\xA6\x43\xA6\x4C", "\xB4\x4D\xA7\xE4",
                                   "\xA4\xE5\xA5\xF3", "\xAB\x4F\xA6\x73", "\xB5\x7B\xA7\xC7", "\xB8\xEA\xAE\xC6\xA7\xA8"};
    std::string out;
    for (int k = 0; k < entries; ++k) {
        const int shape = int(rng() % 8);
        std::string source = std::string(words[rng() % 9]) + ' ' + std::to_string(k);
        std::string translation = std::string(chinese[rng() % 8]) + std::string(chinese[rng() % 8]) + ' ' + std::to_string(k);
        switch (shape) {
        case 0:
            translation += std::string("(&") + source[0] + ")...\\tCtrl+O";
            source = '&' + source + "...\\tCtrl+O";
            break;
        case 1: source = '&' + source; break; // the hot key lost
        case 2: source += " %1!d! of %2 (100%%)."; translation += " %2 / %1!d! (100%%)\xA1\x43"; break;
        case 3: source += ':'; translation += "\xA1\x47"; break;
        case 4: translation = source; break; // untranslated
        case 5: source = "CPU " + std::to_string(k); translation = source; break;
        case 6:
            source += " The file could not be saved. Do you want to try again?";
            translation += " \xB5\x4C\xAA\x6B\xC0\x78\xA6\x73\xC0\xC9\xAE\xD7\xA1\x43\xAD\x6E\xA6\x41\xB8\xD5\xA4\x40\xA6\xB8\xB6\xDC\xA1\x48";
            break;
        default: break;
        }
        out += source + "\r\n" + translation + "\r\n";
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int entries = 1000000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.txt"));
    {
        QFile f(path);
        if (!dir.isValid() || !f.open(QIODevice::WriteOnly))
            return 1;
        const std::string text = dictionary(entries);
        f.write(text.data(), qint64(text.size()));
    }
    if (!Vocabulary::Taiwan().Problem().isEmpty())
        std::printf("(no Taiwan word list: %s)\n", Vocabulary::Taiwan().Problem().toUtf8().constData());
    const KeepEnglish keep = KeepEnglish::FromBytes("Hex\r\nDec\r\nOct\r\nBin\r\nUnicode\r\n");
    Vocabulary::Taiwan(); // read once, before the timing, as any run reads it once

    QElapsedTimer t;
    double load = 1e300, check = 1e300;
    long long flagged = 0;
    for (int round = 0; round < 3; ++round) {
        DictionaryTables tables;
        SilentLoadProgress silent;
        t.start();
        if (!LoadDictionary(FileName(path), tables, silent).ok)
            return 1;
        load = std::min(load, t.nsecsElapsed() / 1e6);
        t.start();
        long long n = 0;
        for (std::int32_t k = 0; k <= tables.LastEntry; ++k) {
            const DS &e = tables.EntryTable[std::size_t(k)];
            n += CheckTranslation(e.Source, e.ChosenTranslation(), &keep).empty() ? 0 : 1;
        }
        check = std::min(check, t.nsecsElapsed() / 1e6);
        flagged = n;
    }
    std::printf("check, %d entries, %lld with problems\n", entries, flagged);
    std::printf("  load                  %9.1f ms\n", load);
    std::printf("  check every entry     %9.1f ms  (%.2f x the load)\n", check, check / load);
    std::printf("  load and check        %9.1f ms  (%.2f x the load)\n", load + check, (load + check) / load);
    return 0;
}
