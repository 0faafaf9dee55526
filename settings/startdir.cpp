#include "settings/startdir.h"

#include "settings/settings.h"

void ChooseInitialDir(QString &initialDir, const QString &customDir, const QString &lastUsedDir)
{
    if (RegDat.UseCustomDefaultPath) {
        if (!customDir.isEmpty())
            initialDir = customDir;
        return;
    }
    initialDir = lastUsedDir;
}

QString FolderPart(const QString &path, QStringView separators)
{
    // Working on whole characters, a Big5 character whose second byte is
    // 0x5C (許, 功 ...) is never mistaken for a separator.
    qsizetype cut = -1;
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (separators.contains(path.at(i))) {
            cut = i;
            break;
        }
    }
    if (cut < 0)
        return QString();
    // The separator is dropped unless it is the root's own ("/", "\", "C:\"),
    // a drive colon ("C:a.rc" gives "C:") or follows another separator.
    const bool dropSeparator = cut > 0 && path.at(cut) != QLatin1Char(':')
        && !separators.contains(path.at(cut - 1));
    return path.left(dropSeparator ? cut : cut + 1);
}

QString FolderPart(const QString &path)
{
#ifdef Q_OS_WIN
    return FolderPart(path, u"\\/:");
#else
    return FolderPart(path, u"/");
#endif
}
