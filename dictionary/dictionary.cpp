#include "dictionary/dictionary.h"

#include "dictionary/entryblocks.h"
#include "dictionary/entrysort.h"
#include "dictionary/hashindex.h"
#include "dictionary/linereader.h"
#include "files/readfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>
#include <unordered_map>

using dictload::EntryBlocks;
using dictload::HashIndex;
using dictload::hashOf;
using dictload::LineReader;

namespace {

// Pending events run at most this often while entries are grouped, so that a
// large load is not dominated by event processing.
constexpr qint64 kEventIntervalMs = 15;
// How many pairs are grouped between two looks at the clock.
constexpr std::size_t kPairsPerClockCheck = 64;
// Above this many distinct translations of one source, new translations are
// looked up in a hash set instead of by comparing with every slot.
constexpr std::size_t kLinearLookupLimit = 16;
// Saved text is handed to the file in pieces of about this size.
constexpr std::size_t kWriteChunk = std::size_t(1) << 20;

const DictText kEmpty;

FileResult failure(const QString &text)
{
    return FileResult{false, text};
}

// Lets pending events run now and then during a long stage.
class EventPacer {
public:
    explicit EventPacer(LoadProgress &progress) : progress_(progress) { sinceEvents_.start(); }

    void step()
    {
        if (++sinceClockCheck_ < kPairsPerClockCheck)
            return;
        sinceClockCheck_ = 0;
        if (sinceEvents_.elapsed() >= kEventIntervalMs) {
            progress_.ProcessEvents();
            sinceEvents_.restart();
        }
    }

private:
    LoadProgress &progress_;
    QElapsedTimer sinceEvents_;
    std::size_t sinceClockCheck_ = 0;
};

// Groups pairs into entries as they come from the file: one entry per
// distinct source, with its distinct translations in order of first
// appearance. Sorting the entries afterwards gives the same table as
// sorting the pairs stably and grouping runs of equal sources.
class EntryGrouper {
public:
    void add(std::string_view source, std::string_view translation)
    {
        const std::uint32_t candidate = std::uint32_t(entries_.size());
        const std::uint32_t e = sources_.findOrAdd(hashOf(source), candidate, [&](std::uint32_t i) {
            return entries_[i].Source == source;
        });
        if (e == candidate) {
            DS &entry = entries_.append();
            entry.Source = source;
            entry.Translations.emplace_back(translation.data(), translation.size());
            return;
        }
        TranslationList &list = entries_[e].Translations;
        if (list.size() <= kLinearLookupLimit) {
            for (const DictText &known : list) {
                if (known == translation)
                    return;
            }
            list.emplace_back(translation.data(), translation.size());
            if (list.size() > kLinearLookupLimit) {
                HashIndex &index = manyTranslations_[e];
                for (std::uint32_t k = 0; k < list.size(); ++k)
                    index.findOrAdd(hashOf(list[k]), k, [](std::uint32_t) { return false; });
            }
            return;
        }
        const std::uint32_t slot = std::uint32_t(list.size());
        const std::uint32_t found = manyTranslations_[e].findOrAdd(hashOf(translation), slot, [&](std::uint32_t k) {
            return list[k] == translation;
        });
        if (found == slot)
            list.emplace_back(translation.data(), translation.size());
    }

    // The entries in order of first appearance; the lookup tables are freed.
    void takeEntries(std::vector<DS> &out)
    {
        sources_ = HashIndex();
        manyTranslations_.clear();
        entries_.moveInto(out);
    }

private:
    EntryBlocks entries_;
    HashIndex sources_;
    // Translation lookups of entries with more than kLinearLookupLimit.
    std::unordered_map<std::uint32_t, HashIndex> manyTranslations_;
};

} // namespace

const DictText &DS::ChosenTranslation() const
{
    if (Chosen < 0 || std::size_t(Chosen) >= Translations.size())
        return kEmpty;
    return Translations[std::size_t(Chosen)];
}

std::int32_t DS::AppendTranslation(std::string_view t)
{
    Translations.push_back(t);
    LastTranslation = std::int32_t(Translations.size() - 1);
    return LastTranslation;
}

DictionaryTables::DictionaryTables()
    : PairTable(1)
    , EntryTable(1)
{
    EntryTable[0].Translations.emplace_back();
}

bool SourceLess(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    if (common != 0) {
        // memcmp compares as unsigned char, which is the dictionary's order.
        const int c = std::memcmp(a.data(), b.data(), common);
        if (c != 0)
            return c < 0;
    }
    return a.size() < b.size();
}


FileResult LoadDictionary(const FileName &name, DictionaryTables &tables, LoadProgress &progress, FileShape *shape)
{
    const QString path = name.shown();
    progress.SetText(QStringLiteral("正在開啟檔案 ") + path);
    progress.SetPosition(0);

    try {
        QFile file;
        if (const QString reason = OpenForReading(name, file); !reason.isEmpty())
            return failure(QStringLiteral("無法開啟檔案 %1：%2").arg(path, reason));
        const QString tooLarge = QStringLiteral("無法讀入檔案 %1：檔案超過 %2 MB。").arg(path).arg(DictionaryFileLimit >> 20);
        if (!file.isSequential() && file.size() > DictionaryFileLimit)
            return failure(tooLarge);

        // The file is read a piece at a time and its pairs grouped at once,
        // so that neither the whole text nor a list of all pairs is ever
        // held beside the entries.
        std::vector<DS> entries;
        std::size_t pairs = 0;
        {
            LineReader reader(file, std::uint64_t(DictionaryFileLimit));
            EntryGrouper grouper;
            EventPacer pacer(progress);
            for (;;) {
                reader.markPairStart();
                std::uint64_t sourceAt = 0, translationAt = 0;
                std::size_t sourceLength = 0, translationLength = 0;
                LineReader::Status status = reader.next(sourceAt, sourceLength);
                if (status == LineReader::Status::Line) {
                    if (sourceLength > std::numeric_limits<std::uint32_t>::max())
                        return failure(QStringLiteral("無法讀入檔案 %1：其中有一行太長。").arg(path));
                    status = reader.next(translationAt, translationLength);
                }
                if (status == LineReader::Status::ReadError)
                    return failure(QStringLiteral("無法讀取檔案 %1：%2").arg(path, file.errorString()));
                if (status == LineReader::Status::TooLarge)
                    return failure(tooLarge);
                // The end of the file; an odd last line has no partner and is dropped.
                if (status == LineReader::Status::End)
                    break;
                if (translationLength > std::numeric_limits<std::uint32_t>::max())
                    return failure(QStringLiteral("無法讀入檔案 %1：其中有一行太長。").arg(path));
                if (pairs == std::size_t(std::numeric_limits<std::int32_t>::max()))
                    return failure(QStringLiteral("無法讀入檔案 %1：字串太多。").arg(path));
                const std::string_view source = reader.view(sourceAt, sourceLength);
                const std::string_view translation = reader.view(translationAt, translationLength);
                if (shape) {
                    shape->AddLine(source);
                    shape->AddLine(translation);
                }
                grouper.add(source, translation);
                ++pairs;
                pacer.step();
            }
            progress.ProcessEvents();
            progress.SetPosition(15);
            progress.SetText(QStringLiteral("正在排列字串..."));
            progress.ProcessEvents();
            grouper.takeEntries(entries);
        }
        dictload::sortBySource(entries);

        progress.SetPosition(40);
        progress.SetText(QStringLiteral("正在整理字典檔..."));
        progress.ProcessEvents();
        EventPacer pacer(progress);
        for (DS &entry : entries) {
            entry.LastTranslation = std::int32_t(entry.Translations.size() - 1);
            entry.Chosen = 0;
            pacer.step();
        }

        progress.SetPosition(80);
        progress.SetText(QStringLiteral("正在加入字串至編輯器..."));
        progress.ProcessEvents();

        tables.EntryTable.swap(entries);
        tables.LastEntry = std::int32_t(tables.EntryTable.size()) - 1;
        tables.LastPair = std::int32_t(pairs) - 1;
        std::vector<Dictinit>().swap(tables.PairTable);
    } catch (const std::bad_alloc &) {
        return failure(QStringLiteral("記憶體不足，無法讀入檔案 %1。").arg(path));
    }

    progress.SetPosition(100);
    return {};
}

FileResult SaveDictionary(const FileName &path, const DictionaryTables &tables)
{
    SaveFile file(path);
    const auto saveFailed = [&] { return failure(file.failureText()); };
    if (!file.open())
        return saveFailed();

    std::string chunk;
    chunk.reserve(kWriteChunk + 256);
    const auto flush = [&] {
        if (chunk.empty())
            return true;
        const bool written = file.write(chunk);
        chunk.clear();
        return written;
    };

    const std::size_t count = std::min<std::size_t>(std::size_t(std::max(tables.LastEntry + 1, 0)),
                                                    tables.EntryTable.size());
    for (std::size_t k = 0; k < count; ++k) {
        const DS &entry = tables.EntryTable[k];
        chunk += entry.Source;
        chunk += "\r\n";
        chunk += entry.ChosenTranslation();
        chunk += "\r\n";
        if (chunk.size() >= kWriteChunk && !flush())
            return saveFailed();
    }
    if (!flush() || !file.commit())
        return saveFailed();
    return {};
}
