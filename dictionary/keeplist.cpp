#include "dictionary/keeplist.h"

#include "files/readfile.h"

#include <cerrno>
#include <sys/stat.h>

FileName KeepListFor(const FileName &dictionary)
{
    return FileName::fromNative(dictionary.native() + ".keep");
}

QString ReadKeepList(const FileName &dictionary, KeepEnglish &keep)
{
    keep = KeepEnglish();
    const FileName list = KeepListFor(dictionary);
    struct stat info {};
    if (::stat(list.native().constData(), &info) != 0 && errno == ENOENT)
        return {};
    std::string bytes;
    // A list is short: a few thousand texts at most.
    if (const QString reason = ReadWholeFile(list, bytes, qint64(16) << 20); !reason.isEmpty())
        return QStringLiteral("無法讀取不翻譯清單 %1：%2。").arg(list.shown(), reason);
    keep = KeepEnglish::FromBytes(bytes);
    return {};
}
