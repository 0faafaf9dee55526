// Times loading dictionaries and measures the memory a load needs, compared
// with the size of the file, for three shapes of dictionary:
//   raw       as a make-dictionary run writes it: sources recur, mostly with
//             the same translation (5,001, 100,000 and 1,000,000 pairs);
//   saved     the raw 1,000,000 pairs loaded and saved by the editor: one
//             pair per source, in order;
//   distinct  1,000,000 pairs whose sources are all different.
// Each memory figure comes from a child process that does nothing but one
// load, so that earlier loads do not hide its peak.
//
// Then `tavisorn-cli normalize` of the raw 1,000,000 pairs against
// normalize_floor, the least program that writes the same file, run in turn
// in one loop so that both see the same machine; the figure is the median of
// the rounds' ratios.
//
//   bench_dictionary            everything, tables on standard output
//   bench_dictionary --child F  one load of F; prints peak growth in bytes
//   bench_dictionary --keep DIR everything, leaving the dictionaries in DIR

#include "dictionary/dictionary.h"
#include "dictionary/reference_load.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <unordered_set>
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

    // Every source new: sources are drawn until one has not been seen.
    std::string distinctDictionary(int pairs)
    {
        std::unordered_set<std::string> seen;
        seen.reserve(std::size_t(pairs));
        std::string text;
        for (int i = 0; i < pairs; ++i) {
            std::string s = source();
            while (!seen.insert(s).second)
                s = source();
            text += s + "\r\n" + translationOf(s) + "\r\n";
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

bool writeFile(const QString &path, const std::string &text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.data(), qint64(text.size())) == qint64(text.size());
}

// One load of the file in a child process: its peak growth in bytes, or -1.
long long childPeak(const QString &path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), path});
    child.waitForFinished(-1);
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::fprintf(stderr, "bench_dictionary: the measuring child failed: %s\n",
                     child.readAllStandardError().constData());
        return -1;
    }
    return child.readAllStandardOutput().split(' ').value(0).trimmed().toLongLong();
}

// Wall time of one run of a program to its end, in ms; -1 when it failed.
double runMs(const QString &program, const QStringList &arguments)
{
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(program, arguments);
    p.waitForFinished(-1);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "bench_dictionary: %s failed: %s\n", qPrintable(program),
                     p.readAllStandardError().constData());
        return -1;
    }
    return ms;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--child")
        return childLoad(QString::fromLocal8Bit(argv[2]));

    const bool keep = argc == 3 && std::string(argv[1]) == "--keep";
    QTemporaryDir dir((keep ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath())
                      + QStringLiteral("/bench_dictionary-XXXXXX"));
    dir.setAutoRemove(!keep);
    if (!dir.isValid()) {
        std::fputs("bench_dictionary: no temporary folder\n", stderr);
        return 1;
    }
    std::printf("Dictionary load (read and group, sort), RelWithDebInfo build\n");
    std::printf("%-9s %9s %9s %9s %10s %10s %5s %12s %7s\n", "shape", "pairs", "entries", "file MB", "min ms",
                "median ms", "runs", "peak+ MB", "x file");

    struct Shape {
        const char *name;
        int pairs;
        int repetitions;
    };
    std::string text5001;
    QString raw1M;
    bool ok = true;
    for (const Shape shape : {Shape{"raw", 5001, 50}, Shape{"raw", 100000, 10}, Shape{"raw", 1000000, 5},
                              Shape{"saved", 1000000, 5}, Shape{"distinct", 1000000, 5}}) {
        const std::string kind = shape.name;
        const QString path = dir.filePath(QStringLiteral("%1-%2.dic").arg(QLatin1StringView(shape.name)).arg(shape.pairs));
        if (kind == "saved") {
            // The raw million pairs as the editor saves them.
            DictionaryTables tables;
            SilentLoadProgress silent;
            ok = LoadDictionary(raw1M, tables, silent).ok && SaveDictionary(path, tables).ok;
        } else {
            const std::string text = kind == "raw" ? Generator(unsigned(shape.pairs)).dictionary(shape.pairs)
                                                   : Generator(7).distinctDictionary(shape.pairs);
            if (shape.pairs == 5001)
                text5001 = text;
            ok = writeFile(path, text);
        }
        if (!ok) {
            std::fputs("bench_dictionary: cannot write the test dictionary\n", stderr);
            return 1;
        }
        if (kind == "raw" && shape.pairs == 1000000)
            raw1M = path;

        int entries = 0, pairs = 0;
        const Timing t = timeRuns(shape.repetitions, [&] {
            DictionaryTables tables;
            SilentLoadProgress silent;
            ok = ok && LoadDictionary(path, tables, silent).ok;
            entries = tables.LastEntry + 1;
            pairs = tables.LastPair + 1;
        });
        if (!ok) {
            std::fputs("bench_dictionary: a load failed\n", stderr);
            return 1;
        }
        const double fileBytes = double(QFileInfo(path).size());
        const long long peak = childPeak(path);
        std::printf("%-9s %9d %9d %9.2f %10.2f %10.2f %5d %12.1f %7.2f\n", shape.name, pairs, entries,
                    fileBytes / 1e6, t.min, t.median, shape.repetitions, double(peak) / 1e6,
                    double(peak) / fileBytes);
        std::fflush(stdout);
    }

    // normalize against its floor, in turn.
    const QString cli = QStringLiteral(TAVISORN_CLI);
    const QString floor = QStringLiteral(NORMALIZE_FLOOR);
    const QString ours = dir.filePath(QStringLiteral("normalized.dic"));
    const QString least = dir.filePath(QStringLiteral("floor.dic"));
    constexpr int rounds = 7;
    std::vector<double> cliMs, floorMs, ratios;
    for (int round = 0; round < rounds; ++round) {
        const double a = runMs(cli, {QStringLiteral("normalize"), raw1M, ours});
        const double b = runMs(floor, {raw1M, least});
        if (a < 0 || b < 0)
            return 1;
        cliMs.push_back(a);
        floorMs.push_back(b);
        ratios.push_back(a / b);
    }
    QFile x(ours), y(least);
    if (!x.open(QIODevice::ReadOnly) || !y.open(QIODevice::ReadOnly) || x.readAll() != y.readAll()) {
        std::fputs("bench_dictionary: normalize and its floor wrote different files\n", stderr);
        return 1;
    }
    std::printf("\nnormalize of the raw 1,000,000 pairs, %d rounds in turn (wall time, process start included)\n",
                rounds);
    std::printf("  tavisorn-cli normalize  median %8.1f ms\n", median(cliMs));
    std::printf("  normalize_floor         median %8.1f ms\n", median(floorMs));
    std::printf("  ratio                   median %8.2f (min %.2f, max %.2f)\n", median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));

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
