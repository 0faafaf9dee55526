// Times loading dictionaries of 5,001, 100,000 and 1,000,000 pairs and
// measures the memory a load needs, compared with the size of the file. Each
// memory figure comes from a child process that does nothing but one load,
// so that earlier loads do not hide its peak.
//
//   bench_dictionary            all sizes, a table on standard output
//   bench_dictionary --child F  one load of F; prints peak growth in bytes

#include "dictionary/dictionary.h"
#include "dictionary/reference_load.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

// Peak resident memory of this process so far, in bytes (0 where unknown).
// On Linux from VmHWM, which starts afresh with the program; getrusage's
// ru_maxrss would carry over the peak of the parent that started it.
long long peakResidentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
        }
    }
#ifdef Q_OS_UNIX
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<long long>(usage.ru_maxrss) * 1024;
#else
    return 0;
#endif
}

// Dictionaries as the make-dictionary run writes them from real programs:
// ASCII menu, dialog and message texts (about 13 bytes on average, a fifth
// longer than 15), Big5 translations of similar byte length, and sources that
// recur: mostly with the same translation, sometimes with another.
class Generator {
public:
    explicit Generator(unsigned seed) : rng(seed) {}

    std::string dictionary(int pairs)
    {
        std::vector<std::pair<std::string, std::string>> made;
        made.reserve(std::size_t(pairs));
        std::string text;
        for (int i = 0; i < pairs; ++i) {
            std::pair<std::string, std::string> pair;
            if (!made.empty() && below(100) < 30) {
                pair = made[below(unsigned(made.size()))];
                if (below(100) < 20)
                    pair.second = translationOf(pair.first);
            } else {
                pair.first = source();
                pair.second = translationOf(pair.first);
            }
            text += pair.first + "\r\n" + pair.second + "\r\n";
            made.push_back(std::move(pair));
        }
        return text;
    }

private:
    unsigned below(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(rng); }

    std::string source()
    {
        static const char *const words[] = {
            "file", "open", "save", "as", "print", "preview", "page", "setup", "exit", "edit", "undo", "cut",
            "copy", "paste", "delete", "find", "next", "replace", "go", "to", "select", "all", "time", "date",
            "word", "wrap", "font", "view", "status", "bar", "help", "topics", "about", "cannot", "the",
            "document", "has", "changed", "do", "you", "want", "changes", "new", "window", "options", "tools",
            "settings", "name", "value", "key", "registry", "export", "import", "connect", "network", "volume",
            "control", "balance", "mute", "advanced", "process", "memory", "usage", "priority", "end", "task",
            "brush", "color", "image", "attributes", "stretch", "skew", "invert", "zoom", "normal", "size",
            "large", "custom", "grid", "thumbnail", "calculator", "scientific", "standard", "digit", "grouping"};
        const unsigned count = 1 + below(4) + (below(4) == 0 ? below(6) : 0);
        std::string s;
        for (unsigned w = 0; w < count; ++w) {
            if (w)
                s += ' ';
            s += words[below(unsigned(std::size(words)))];
        }
        s[0] = char(s[0] - 'a' + 'A');
        if (below(3) == 0)
            s.insert(below(unsigned(s.size())), 1, '&');
        switch (below(10)) {
        case 0: s += "..."; break;
        case 1: s += "\tCtrl+"; s += char('A' + below(26)); break;
        case 2: s += " %s"; break;
        default: break;
        }
        return s;
    }

    // Big5 level-one characters (lead 0xA4 to 0xC5), roughly one per two
    // source letters, with the hot key and ellipsis carried over.
    std::string translationOf(const std::string &source)
    {
        std::string t;
        const long long wanted = static_cast<long long>(source.size() / 2) - below(3);
        const std::size_t characters = std::size_t(std::max(1LL, wanted));
        for (std::size_t i = 0; i < characters; ++i) {
            t += char(0xA4 + below(0xC5 - 0xA4 + 1));
            const unsigned trail = below(63 + 94);
            t += char(trail < 63 ? 0x40 + trail : 0xA1 + (trail - 63));
        }
        if (const auto amp = source.find('&'); amp != std::string::npos && amp + 1 < source.size())
            t += std::string("(&") + source[amp + 1] + ")";
        if (source.size() > 3 && source.compare(source.size() - 3, 3, "...") == 0)
            t += "...";
        return t;
    }

    std::mt19937 rng;
};

struct Timing {
    double min = 0, median = 0;
};

template <typename F>
Timing timeRuns(int repetitions, F &&run)
{
    std::vector<double> ms;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer clock;
        clock.start();
        run();
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

int childLoad(const QString &path)
{
    const long long before = peakResidentBytes();
    DictionaryTables tables;
    SilentLoadProgress silent;
    if (!LoadDictionary(path, tables, silent).ok)
        return 1;
    const long long after = peakResidentBytes();
    std::printf("%lld %d\n", after - before, tables.LastEntry + 1);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--child")
        return childLoad(QString::fromLocal8Bit(argv[2]));

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fputs("bench_dictionary: no temporary folder\n", stderr);
        return 1;
    }
    std::printf("Dictionary load (read and group, sort), RelWithDebInfo build\n");
    std::printf("%9s %9s %9s %10s %10s %5s %12s %7s\n", "pairs", "entries", "file MB", "min ms", "median ms",
                "runs", "peak+ MB", "x file");

    struct Size {
        int pairs;
        int repetitions;
    };
    std::string text5001;
    for (const Size size : {Size{5001, 50}, Size{100000, 10}, Size{1000000, 5}}) {
        const std::string text = Generator(unsigned(size.pairs)).dictionary(size.pairs);
        if (size.pairs == 5001)
            text5001 = text;
        const QString path = dir.filePath(QStringLiteral("dict-%1.dic").arg(size.pairs));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(text.data(), qint64(text.size())) != qint64(text.size())) {
            std::fputs("bench_dictionary: cannot write the test dictionary\n", stderr);
            return 1;
        }
        f.close();

        int entries = 0;
        bool ok = true;
        const Timing t = timeRuns(size.repetitions, [&] {
            DictionaryTables tables;
            SilentLoadProgress silent;
            ok = ok && LoadDictionary(path, tables, silent).ok;
            entries = tables.LastEntry + 1;
        });
        if (!ok) {
            std::fputs("bench_dictionary: a load failed\n", stderr);
            return 1;
        }

        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), path});
        child.waitForFinished(-1);
        if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
            std::fprintf(stderr, "bench_dictionary: the measuring child failed: %s\n",
                         child.readAllStandardError().constData());
        const long long peak = child.readAllStandardOutput().split(' ').value(0).trimmed().toLongLong();
        std::printf("%9d %9d %9.2f %10.2f %10.2f %5d %12.1f %7.2f\n", size.pairs, entries,
                    double(text.size()) / 1e6, t.min, t.median, size.repetitions, double(peak) / 1e6,
                    double(peak) / double(text.size()));
        std::fflush(stdout);
    }

    // For comparison: the quadratic bubble sort and look-ahead grouping on
    // the 5,001 pairs (strings already in memory, no file reading).
    const auto pairs = reference::pairLines(reference::splitLines(text5001));
    const Timing bubble = timeRuns(3, [&] {
        auto work = pairs;
        reference::bubbleSort(work);
        (void)reference::group(work);
    });
    std::printf("Reference bubble sort + grouping, 5001 pairs: min %.2f ms, median %.2f ms (3 runs)\n", bubble.min,
                bubble.median);
    return 0;
}
