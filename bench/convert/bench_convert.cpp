// The program's own work around the interpreter (the reading before the
// run and the reading and report after it; and, apart, the same with the
// output saved in place) against the interpreter running the same script,
// for both conversions, on the six corpus programs and on a generated 2 MB
// pair of scripts. Each side runs
// in a process of its own so that its CPU time and its peak memory are its
// own; the program's process is measured against one that starts and does
// nothing, and the figures given are the difference, each the median of
// eleven runs (21 for the short ones).
//
// Usage: bench_convert [CORPUS_FOLDER] [--keep]; run by bench/run.sh.
//        bench_convert --generate FOLDER writes the generated pair there
//        (generated-en.rc, generated-zh.rc) for a profiler.

#include "convert/conversion.h"
#include "convert/launcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

struct Cost {
    double cpu = 0; // seconds, user and system
    long rssKb = 0; // peak resident memory
    bool ok = false;
};

// Runs a program through the small launcher, which reports on standard
// error what the program used; the program's own output goes to /dev/null.
// `env`: the program's environment (empty: this one's).
Cost run(const std::vector<std::string> &argv, const QStringList &env = {})
{
    std::vector<std::string> all{CONVERT_LAUNCH};
    all.insert(all.end(), argv.begin(), argv.end());
    std::vector<char *> args;
    for (const std::string &a : all)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    int report[2];
    if (pipe(report) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, report[1], 2);
    posix_spawn_file_actions_addclose(&actions, report[0]);
    std::vector<std::string> envStrings;
    for (const QString &e : env)
        envStrings.push_back(e.toStdString());
    std::vector<char *> envp;
    for (std::string &e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.isEmpty() ? environ : envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(report[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(report[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(n));
    close(report[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid)
        return {};
    // The launcher's line is the last one; the program's own messages come before it.
    const std::size_t last = text.rfind('\n', text.size() >= 2 ? text.size() - 2 : 0);
    Cost c;
    int code = 1;
    if (std::sscanf(text.c_str() + (last == std::string::npos ? 0 : last + 1), "%lf %ld %d", &c.cpu, &c.rssKb, &code) != 3)
        return {};
    c.ok = code == 0;
    return c;
}

bool writeFile(const QString &path, const std::string &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

// The program's part of a run, as a window or tavisorn-cli does it, with
// the interpreter's output already in the run's folder: prepare, finish,
// and put the output in place.
int work(int argc, char **argv)
{
    if (argc < 7)
        return 2;
    const std::string kind = argv[2];
    const QString folder = QString::fromLocal8Bit(argv[6]);
    // --no-save: the reading and the report alone, the output not put in place.
    const bool save = !(argc > 7 && std::strcmp(argv[7], "--no-save") == 0);
    const auto putInPlace = [save](const auto &outcome) {
        return !save || PutOutputInPlace(outcome.OutputPath, outcome.Output).isEmpty();
    };
    // A run's copies go with its folder once it has ended; gone, they are
    // written anew by the next run, into a folder of its own as a run's is.
    const auto removeCopies = [&folder](std::initializer_list<const std::string *> paths) {
        for (const std::string *p : paths) {
            const QString path = QString::fromStdString(*p);
            if (path.startsWith(folder + QLatin1Char('/')) && !path.endsWith(QStringLiteral("/dictionary.txt"))
                && !path.endsWith(QStringLiteral("/translated.rc")))
                QFile::remove(path);
        }
    };
    if (kind == "extraction") {
        ExtractionRun r;
        if (PrepareExtraction({argv[3], argv[4], argv[5]}, ExtractionOptions{}, folder, r))
            return 1;
        const RunOutcome<ExtractionReport> outcome = FinishExtraction(r);
        const bool ok = outcome.ok && putInPlace(outcome);
        removeCopies({&r.Script.E1, &r.Script.E2});
        return ok ? 0 : 1;
    }
    TranslationRun r;
    if (PrepareTranslation({argv[3], argv[4], argv[5], true}, TranslationOptions{}, folder, r))
        return 1;
    const RunOutcome<TranslationReport> outcome = FinishTranslation(r);
    const bool ok = outcome.ok && putInPlace(outcome);
    removeCopies({&r.Script.T1, &r.Script.T2});
    return ok ? 0 : 1;
}

// A pair of scripts of about `bytes` each: menus, dialogs and string
// tables whose texts are English in one and Big5 in the other, a few
// strings continued over two lines among them.
std::pair<std::string, std::string> generated(std::size_t bytes)
{
    std::mt19937 rng(7);
    std::string en = "// Microsoft Visual C++ generated resource script.\r\n";
    std::string zh = en;
    const char *const words[] = {"Open", "Save", "Print", "Find", "Replace", "Window", "Options", "Volume"};
    const char *const chinese[] = {"\xB6\x7D\xB1\xD2", "\xC0\x78\xA6\x73", "\xA6\x43\xA6\x4C", "\xB4\x4D\xA7\xE4"};
    for (int block = 0; en.size() < bytes; ++block) {
        const std::string n = std::to_string(block);
        auto both = [&](const std::string &head, const std::string &e, const std::string &z, const std::string &tail) {
            en += head + e + tail;
            zh += head + z + tail;
        };
        auto text = [&](int k) {
            return std::make_pair(std::string(words[rng() % 8]) + ' ' + n + '.' + std::to_string(k),
                                  std::string(chinese[rng() % 4]) + ' ' + n + '.' + std::to_string(k));
        };
        both("IDR_MENU" + n + " MENU\r\nBEGIN\r\n    POPUP \"", "&File", "\xC0\xC9\xAE\xD7(&F)", "\"\r\n    BEGIN\r\n");
        for (int k = 0; k < 12; ++k) {
            const auto [e, z] = text(k);
            both("        MENUITEM \"", e, z, "\",  ID_" + n + "_" + std::to_string(k) + "\r\n");
        }
        both("    END\r\nEND\r\n\r\nIDD_DIALOG" + n + " DIALOGEX 0, 0, 200, 100\r\nCAPTION \"", "Options",
             "\xBF\xEF\xB6\xB5", "\"\r\nFONT 8, \"MS Shell Dlg\"\r\nBEGIN\r\n");
        for (int k = 0; k < 10; ++k) {
            const auto [e, z] = text(k);
            both("    LTEXT           \"", e, z, "\",IDC_" + n + "_" + std::to_string(k) + ",10,10,50,8\r\n");
        }
        both("END\r\n\r\nSTRINGTABLE\r\nBEGIN\r\n", "", "", "");
        for (int k = 0; k < 10; ++k) {
            const auto [e, z] = text(k);
            both("    IDS_" + n + "_" + std::to_string(k) + " \"", e, z,
                 k == 0 ? "\\n\\\r\nthe rest\"\r\n" : "\"\r\n");
        }
        both("END\r\n\r\n", "", "", "");
    }
    return {en, zh};
}

// The median CPU time and the median peak memory of runs; not ok when one
// failed.
struct Runs {
    std::vector<double> cpu;
    std::vector<long> rss;
    bool ok = true;
    void add(const Cost &c)
    {
        ok = ok && c.ok;
        cpu.push_back(c.cpu);
        rss.push_back(c.rssKb);
    }
    Cost median()
    {
        Cost out;
        out.ok = ok && !cpu.empty();
        if (!out.ok)
            return out;
        std::sort(cpu.begin(), cpu.end());
        std::sort(rss.begin(), rss.end());
        out.cpu = cpu[cpu.size() / 2];
        out.rssKb = rss[rss.size() / 2];
        return out;
    }
};

struct Measured {
    Cost perl;
    Cost program; // reading and report, before and after the run
    Cost saving;  // the same with the output saved in place (written, flushed to the disk, renamed)
};

// The interpreter alone on the script of a prepared run, then the program
// alone on the same files.
Measured measure(const std::string &self, const std::string &perl, const std::string &kind,
                 const std::vector<std::string> &paths, const QString &folder)
{
    Measured m;
    std::string script;
    if (kind == "extraction") {
        ExtractionRun r;
        if (PrepareExtraction({paths[0], paths[1], paths[2]}, ExtractionOptions{}, folder, r))
            return m;
        script = RunScript(r);
    } else {
        TranslationRun r;
        if (PrepareTranslation({paths[0], paths[1], paths[2], true}, TranslationOptions{}, folder, r))
            return m;
        script = RunScript(r);
    }
    const QString scriptPath = QDir(folder).filePath(QStringLiteral("bench.pl"));
    if (!writeFile(scriptPath, script))
        return m;
    // The interpreter as the program starts it: its line ends, and the
    // module that makes a failed close end the script.
    InterpreterCommand command =
        BuildInterpreterCommand(QString::fromStdString(perl), scriptPath, folder);
    if (!CheckInterpreterCloses(command, folder).isEmpty())
        return m;
    // The interpreter, the program (without and with its save) and a program
    // that starts and ends, eleven times, or 21 where the interpreter takes less than
    // 20 ms: on runs of a few milliseconds the machine's noise is as large
    // as the figures, and what it does to one side it does to the others.
    // The medians of each; the program's part is its difference to the
    // idle one.
    const auto perlOnce = [&] { return run({perl, scriptPath.toStdString()}, command.environment.toStringList()); };
    const int runs = perlOnce().cpu < 0.020 ? 21 : 11;
    // The program's runs have a folder of their own, holding what the
    // interpreter wrote; the copies they make go when each run ends.
    const QString own = QDir(folder).filePath(QStringLiteral("program"));
    const QString written = QLatin1String(kind == "extraction" ? "dictionary.txt" : "translated.rc");
    if (!QDir().mkpath(own) || !QFile::copy(QDir(folder).filePath(written), QDir(own).filePath(written)))
        return m;
    // Each in turn, the order turning from one round to the next: what a
    // run leaves the next (the interpreter's written pages, say) falls on
    // each of them alike.
    Runs perlRuns, workRuns, savingRuns, idleRuns;
    const std::function<void()> once[] = {
        [&] { perlRuns.add(perlOnce()); },
        [&] { workRuns.add(run({self, "--work", kind, paths[0], paths[1], paths[2], own.toStdString(), "--no-save"})); },
        [&] { savingRuns.add(run({self, "--work", kind, paths[0], paths[1], paths[2], own.toStdString()})); },
        [&] { idleRuns.add(run({self, "--idle"})); },
    };
    for (int k = 0; k < runs && perlRuns.ok && workRuns.ok && savingRuns.ok && idleRuns.ok; ++k)
        for (int j = 0; j < 4; ++j)
            once[(k + j) % 4]();
    m.perl = perlRuns.median();
    const Cost idle = idleRuns.median();
    const auto less = [&idle](Cost c) {
        c.ok = c.ok && idle.ok;
        c.cpu = std::max(0.0, c.cpu - idle.cpu);
        c.rssKb = std::max(0L, c.rssKb - idle.rssKb);
        return c;
    };
    m.saving = less(savingRuns.median());
    const Cost p = less(workRuns.median());
    m.program = p;
    return m;
}

void print(const char *what, const char *kind, const Measured &m, bool &within)
{
    if (!m.perl.ok || !m.program.ok || !m.saving.ok) {
        std::printf("%-22s %-11s failed\n", what, kind);
        within = false;
        return;
    }
    const double cpuRatio = m.perl.cpu > 0 ? m.program.cpu / m.perl.cpu : 0;
    const double memRatio = m.perl.rssKb > 0 ? double(m.program.rssKb) / double(m.perl.rssKb) : 0;
    const double savingRatio = m.perl.cpu > 0 ? m.saving.cpu / m.perl.cpu : 0;
    std::printf("%-22s %-11s perl %7.3f s %7ld kB   program %7.3f s %7ld kB   CPU %5.1f %%  memory %4.2f x"
                "   saved: %5.1f %%\n",
                what, kind, m.perl.cpu, m.perl.rssKb, m.program.cpu, m.program.rssKb, 100 * cpuRatio, memRatio,
                100 * savingRatio);
    within = within && cpuRatio <= 0.30 && memRatio <= 2.0;
}

} // namespace

int main(int argc, char **argv)
{
    // The idle process is the program's up to where a run begins: with its
    // application object, as every window and tavisorn-cli has one.
    QCoreApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--idle") == 0)
        return 0;
    if (argc > 1 && std::strcmp(argv[1], "--work") == 0)
        return work(argc, argv);
    if (argc > 2 && std::strcmp(argv[1], "--generate") == 0) {
        const auto [en, zh] = generated(std::size_t(2) << 20);
        const QDir out(QString::fromLocal8Bit(argv[2]));
        return writeFile(out.filePath(QStringLiteral("generated-en.rc")), en)
                       && writeFile(out.filePath(QStringLiteral("generated-zh.rc")), zh)
                   ? 0
                   : 1;
    }

    const QString perl = QStandardPaths::findExecutable(QStringLiteral("perl"));
    if (perl.isEmpty()) {
        std::printf("bench_convert: no perl on the PATH, nothing measured\n");
        return 0;
    }
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    // --keep: the runs' folders stay, for a profiler to run --work on.
    const bool keep = QCoreApplication::arguments().contains(QStringLiteral("--keep"));
    if (keep) {
        dir.setAutoRemove(false);
        std::printf("folders kept in %s\n", qPrintable(dir.path()));
    }
    std::vector<std::pair<std::string, std::pair<QString, QString>>> pairs;
    const QString corpus = argc > 1 && std::strcmp(argv[1], "--keep") != 0 ? QString::fromLocal8Bit(argv[1])
                                                                           : QStringLiteral(TAVISORN_CORPUS_DIR);
    for (const char *a : {"calc", "mspaint", "notepad", "regedit", "sndvol32", "taskmgr"})
        if (QFile::exists(corpus + QLatin1Char('/') + QLatin1String(a) + QStringLiteral("/en.rc")))
            pairs.push_back({a, {corpus + QLatin1Char('/') + QLatin1String(a) + QStringLiteral("/en.rc"),
                                 corpus + QLatin1Char('/') + QLatin1String(a) + QStringLiteral("/zh-TW.rc")}});
    const auto [en, zh] = generated(std::size_t(2) << 20);
    const QString genEn = dir.filePath(QStringLiteral("generated-en.rc"));
    const QString genZh = dir.filePath(QStringLiteral("generated-zh.rc"));
    if (!writeFile(genEn, en) || !writeFile(genZh, zh))
        return 1;
    pairs.push_back({"generated 2 MB", {genEn, genZh}});

    std::printf("The program's work on a run (before and after the interpreter) against the interpreter's.\n");
    bool within = true;
    for (const auto &[name, files] : pairs) {
        const QString folder = dir.filePath(QString::fromStdString(name).replace(QLatin1Char(' '), QLatin1Char('-')));
        QDir().mkpath(folder + QStringLiteral("/x"));
        QDir().mkpath(folder + QStringLiteral("/t"));
        const std::string dict = (folder + QStringLiteral("/dictionary.txt")).toStdString();
        const Measured x = measure(self, perl.toStdString(), "extraction",
                                   {files.first.toStdString(), files.second.toStdString(), dict}, folder + QStringLiteral("/x"));
        print(name.c_str(), "extraction", x, within);
        const Measured t = measure(self, perl.toStdString(), "translation",
                                   {dict, files.first.toStdString(), (folder + QStringLiteral("/out.rc")).toStdString()},
                                   folder + QStringLiteral("/t"));
        print(name.c_str(), "translation", t, within);
    }
    std::printf("%s\n", within ? "reading and report within 30 % of the interpreter's CPU and 2 x its memory"
                               : "reading and report NOT within 30 % of the interpreter's CPU and 2 x its memory");
    return 0;
}
