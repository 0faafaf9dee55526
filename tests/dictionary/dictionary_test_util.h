#pragma once
// Helpers shared by the dictionary tests: files from byte strings, the
// entries of loaded tables in a comparable form, a recording LoadProgress.

#include "dictionary/dictionary.h"
#include "dictionary/reference_load.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace testutil {

inline bool writeBytes(const QString &path, const std::string &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    return f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

inline std::string readBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::string("<unreadable>");
    const QByteArray all = f.readAll();
    return std::string(all.constData(), std::size_t(all.size()));
}

// Entries 0 .. LastEntry as source and translations, to compare with the
// reference loader.
inline std::vector<reference::Entry> entriesOf(const DictionaryTables &t)
{
    std::vector<reference::Entry> out;
    for (std::int32_t k = 0; k <= t.LastEntry; ++k) {
        const DS &e = t.EntryTable[std::size_t(k)];
        out.push_back({e.Source.str(), std::vector<std::string>(e.Translations.begin(),
                                                          e.Translations.begin() + e.LastTranslation + 1)});
    }
    return out;
}

// Readable form of entries for failure messages: source=t1|t2;...
inline QByteArray show(const std::vector<reference::Entry> &entries)
{
    QByteArray s;
    for (const reference::Entry &e : entries) {
        s += QByteArray::fromStdString(e.source).toPercentEncoding(" &.") + '=';
        for (std::size_t i = 0; i < e.translations.size(); ++i)
            s += (i ? "|" : "") + QByteArray::fromStdString(e.translations[i]).toPercentEncoding(" &.");
        s += ';';
    }
    return s;
}

class RecordingProgress final : public LoadProgress {
public:
    QStringList steps;
    void SetText(const QString &text) override { steps << QStringLiteral("text ") + text; }
    void SetPosition(int position) override { steps << QStringLiteral("position %1").arg(position); }
    void ProcessEvents() override { steps << QStringLiteral("events"); }
};

} // namespace testutil
