// Times the check report on a dictionary of 100,000 entries: making it after
// a load (the check window's first showing, or the first Ctrl+J), against
// the load itself; and following one commit and its undo, which recheck one
// entry only, against making the whole report again. The machine is shared,
// so the figures that count are the ratios.

#include "document/checkreport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

namespace {

// Menu and message texts with hot keys, shortcuts, ellipses and
// placeholders, and Big5 translations that keep or lose them.
std::string dictionary(int entries)
{
    std::mt19937 rng(13);
    const char *const words[] = {"Open", "Save", "Print", "Find", "Replace", "Window", "Options", "Volume", "Registry"};
    const char *const chinese[] = {"\xB6\x7D\xB1\xD2", "\xC0\x78\xA6\x73", "\xA6\x43\xA6\x4C", "\xB4\x4D\xA7\xE4"};
    std::string out;
    for (int k = 0; k < entries; ++k) {
        const int shape = int(rng() % 6);
        std::string source = std::string(words[rng() % 9]) + ' ' + std::to_string(k);
        std::string translation = std::string(chinese[rng() % 4]) + ' ' + std::to_string(k);
        switch (shape) {
        case 0:
            translation += std::string("(&") + source[0] + ")...\\tCtrl+O";
            source = '&' + source + "...\\tCtrl+O";
            break;
        case 1: source = '&' + source; break; // the hot key lost
        case 2: source += " %d of %s"; translation += " %s / %d"; break;
        case 3: source += ':'; translation += "\xA1\x47"; break;
        case 4: translation = source; break; // untranslated
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
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.txt"));
    {
        QFile f(path);
        if (!dir.isValid() || !f.open(QIODevice::WriteOnly))
            return 1;
        const std::string text = dictionary(100000);
        f.write(text.data(), qint64(text.size()));
    }

    DictionaryDocument doc;
    CheckReport report(doc);
    QElapsedTimer t;
    double load = 1e300, build = 1e300, follow = 1e300;
    for (int round = 0; round < 3; ++round) {
        t.start();
        if (!doc.Open(path, false))
            return 1;
        load = std::min(load, t.nsecsElapsed() / 1e6);
        t.start();
        report.Build();
        build = std::min(build, t.nsecsElapsed() / 1e6);
    }
    // A commit and its undo on entries spread over the table.
    const int commits = 2000;
    t.start();
    for (int i = 0; i < commits; ++i) {
        const std::int32_t e = std::int32_t((i * 7919) % 100000);
        doc.CommitChoice(e, QStringLiteral("\u65B0\u6587\u5B57 %1").arg(i));
        doc.Undo();
    }
    follow = t.nsecsElapsed() / 1e6 / commits;

    std::printf("check report, 100000 entries, %d problems in %d entries\n", report.rowCount(),
                report.Totals().WithProblems);
    for (const CheckKind kind : CheckReport::EntryKinds())
        std::printf("  %-16s %6d\n", CheckKey(kind), report.Totals().PerKind[std::size_t(kind)]);
    std::printf("  load                      %9.1f ms\n", load);
    std::printf("  make the report           %9.1f ms  (%.2f x the load)\n", build, build / load);
    std::printf("  one commit and its undo   %9.4f ms  (1 : %.0f of making the report)\n", follow, build / follow);
    return 0;
}
