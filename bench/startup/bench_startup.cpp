// Times the start of the program to the main menu's first paint against a
// Qt Widgets hello world built with the same Qt, and the processor time of
// tavisorn-cli commands that do no conversion work. The programs are run in
// turn in one loop, so that both sides of a ratio see the same machine; the
// figures are medians, the ratio the median of the rounds' ratios.
//
//   bench_startup          on the offscreen platform, settings in a
//                          throw-away folder
//   bench_startup --here   on the platform of the environment (a real X
//                          display, for instance)

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
extern char **environ;
#endif

namespace {

struct Run {
    bool ok = false;
    double cpuMs = 0;    // user and system time of the child
    std::string output;  // its standard output
};

long long steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

#ifdef Q_OS_UNIX
// Starts program with arguments and the extra environment entries, waits,
// and takes its processor time from the kernel's account of it.
Run run(const std::string &program, const std::vector<std::string> &arguments, std::vector<std::string> environment,
        const QString &outputFile)
{
    Run r;
    std::vector<char *> argv;
    std::string name = program;
    argv.push_back(name.data());
    std::vector<std::string> args = arguments;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string key = entry.substr(0, entry.find('=') + 1);
        if (std::none_of(environment.begin(), environment.end(),
                         [&](const std::string &mine) { return mine.rfind(key, 0) == 0; }))
            environment.push_back(entry);
    }
    std::vector<char *> envp;
    for (std::string &e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const QByteArray out = QFile::encodeName(outputFile);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0)
        return r;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return r;
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    r.cpuMs = (double(usage.ru_utime.tv_sec) + double(usage.ru_stime.tv_sec)) * 1e3
        + (double(usage.ru_utime.tv_usec) + double(usage.ru_stime.tv_usec)) / 1e3;
    QFile f(outputFile);
    if (f.open(QIODevice::ReadOnly))
        r.output = f.readAll().toStdString();
    return r;
}
#endif

} // namespace

int main(int argc, char *argv[])
{
#ifndef Q_OS_UNIX
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    std::puts("bench_startup: needs posix_spawn and wait4");
    return 0;
#else
    const bool here = argc == 2 && std::string(argv[1]) == "--here";
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fputs("bench_startup: no temporary folder\n", stderr);
        return 1;
    }
    const QString output = dir.filePath(QStringLiteral("output"));
    std::vector<std::string> environment{"XDG_CONFIG_HOME=" + QFile::encodeName(dir.filePath(QStringLiteral("config"))).toStdString()};
    if (!here)
        environment.push_back("QT_QPA_PLATFORM=offscreen");

    constexpr int rounds = 21;
    std::vector<double> helloMs, programMs, helloCpu, programCpu, ratios;
    for (int round = 0; round < rounds + 1; ++round) {
        double ms[2] = {};
        double cpu[2] = {};
        const std::string programs[2] = {STARTUP_HELLO, STARTUP_PROGRAM};
        for (int k = 0; k < 2; ++k) {
            std::vector<std::string> env = environment;
            env.push_back("TAVISORN_BENCH_T0=" + std::to_string(steadyNs()));
            const Run r = run(programs[k], {}, env, output);
            if (!r.ok || r.output.empty()) {
                std::fprintf(stderr, "bench_startup: %s did not paint\n", programs[k].c_str());
                return 1;
            }
            ms[k] = double(std::stoll(r.output)) / 1e6;
            cpu[k] = r.cpuMs;
        }
        if (round == 0)
            continue; // the first round fills the system's caches
        helloMs.push_back(ms[0]);
        programMs.push_back(ms[1]);
        helloCpu.push_back(cpu[0]);
        programCpu.push_back(cpu[1]);
        ratios.push_back(ms[1] / ms[0]);
    }
    std::printf("Start to the first paint of the window, %d rounds in turn, %s platform\n", rounds,
                here ? "the environment's" : "offscreen");
    std::printf("  %-34s %9s %9s\n", "", "wall ms", "cpu ms");
    std::printf("  %-34s %9.1f %9.1f\n", "Qt Widgets hello world", median(helloMs), median(helloCpu));
    std::printf("  %-34s %9.1f %9.1f\n", "tavisorn (main menu)", median(programMs), median(programCpu));
    std::printf("  ratio: median %.2f (min %.2f, max %.2f)\n\n", median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));

    // Commands that do no conversion work.
    const QString onePair = dir.filePath(QStringLiteral("one.dic"));
    const QString en = dir.filePath(QStringLiteral("en.rc"));
    const QString zh = dir.filePath(QStringLiteral("zh.rc"));
    for (const QString &path : {onePair, en, zh}) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write("Open\r\n\xB6\x7D\xB1\xD2\r\n") < 0) {
            std::fputs("bench_startup: cannot write the test files\n", stderr);
            return 1;
        }
    }
    const auto bytes = [](const QString &path) { return QFile::encodeName(path).toStdString(); };
    struct Command {
        const char *shown;
        std::vector<std::string> arguments;
    };
    const std::vector<Command> commands{
        {"tavisorn-cli --help", {"--help"}},
        {"tavisorn-cli stats (one pair)", {"stats", bytes(onePair)}},
        {"tavisorn-cli script extraction", {"script", "extraction", bytes(en), bytes(zh), bytes(dir.filePath(QStringLiteral("out.dic")))}},
        {"tavisorn-cli script translation", {"script", "translation", bytes(onePair), bytes(en), bytes(dir.filePath(QStringLiteral("out.rc")))}},
    };
    std::printf("tavisorn-cli commands without conversion work, %d runs each in turn\n", rounds);
    std::printf("  %-34s %9s\n", "", "cpu ms");
    std::vector<std::vector<double>> cpu(commands.size());
    for (int round = 0; round < rounds + 1; ++round) {
        for (std::size_t c = 0; c < commands.size(); ++c) {
            const Run r = run(TAVISORN_CLI, commands[c].arguments, environment, output);
            if (!r.ok) {
                std::fprintf(stderr, "bench_startup: %s failed\n", commands[c].shown);
                return 1;
            }
            if (round != 0)
                cpu[c].push_back(r.cpuMs);
        }
    }
    for (std::size_t c = 0; c < commands.size(); ++c)
        std::printf("  %-34s %9.2f\n", commands[c].shown, median(cpu[c]));
    return 0;
#endif
}
