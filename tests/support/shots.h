#pragma once
// Pictures the window tests take of what they draw, for a person to look at.
// They are kept only when TAVISORN_TEST_SHOTS names a folder for them: a test
// run writes nothing outside its own temporary folders, so that runs by two
// users, or two runs at once, never meet on a file.

#include <QDir>
#include <QImage>
#include <QString>

inline bool KeepShot(const QImage &shot, const QString &name)
{
    const QString folder = qEnvironmentVariable("TAVISORN_TEST_SHOTS");
    if (folder.isEmpty())
        return true;
    return QDir().mkpath(folder) && shot.save(QDir(folder).filePath(name));
}
