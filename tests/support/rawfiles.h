#pragma once
// Files and command lines under raw byte names. Qt's file names are Unicode
// and cannot hold every byte name (Big5 names from the original platform),
// so these go through POSIX calls and the shell.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <string>
#include <unistd.h>
#include <vector>

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs program with arguments given as raw bytes. The arguments travel as
// octal escapes through the shell's printf, so that bytes that are not UTF-8
// reach the program unchanged.
inline Outcome RunWithByteArguments(const QString &program, const std::vector<std::string> &args)
{
    QString script = QStringLiteral("exec \"$0\"");
    QStringList shellArgs{QStringLiteral("-c"), QString(), program};
    for (std::size_t i = 0; i < args.size(); ++i) {
        QString octal;
        for (const char c : args[i])
            octal += QStringLiteral("\\0%1").arg(uint(static_cast<unsigned char>(c)), 3, 8, QLatin1Char('0'));
        shellArgs << octal;
        script += QStringLiteral(" \"$(printf '%b' \"$%1\")\"").arg(i + 1);
    }
    shellArgs[1] = script;
    QProcess p;
    p.start(QStringLiteral("/bin/sh"), shellArgs);
    Outcome o;
    if (!p.waitForFinished(120000))
        return o;
    o.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    o.out = p.readAllStandardOutput();
    o.err = p.readAllStandardError();
    return o;
}

inline QByteArray readRaw(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return QByteArrayLiteral("<unreadable>");
    QByteArray data;
    char buffer[65536];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        data.append(buffer, n);
    ::close(fd);
    return data;
}

inline bool writeRaw(const std::string &path, const QByteArray &data)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, data.constData(), std::size_t(data.size())) == data.size();
    return ::close(fd) == 0 && ok;
}

// Entries of a folder, whatever their names.
inline int countEntries(const std::string &folder)
{
    DIR *d = ::opendir(folder.c_str());
    if (!d)
        return -1;
    int n = 0;
    while (const dirent *e = ::readdir(d))
        if (std::string_view(e->d_name) != "." && std::string_view(e->d_name) != "..")
            ++n;
    ::closedir(d);
    return n;
}
