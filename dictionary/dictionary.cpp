#include "dictionary/dictionary.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>
#include <unordered_set>

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

const std::string kEmpty;

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

FileResult failure(const QString &text)
{
    return FileResult{false, text};
}

bool lessBytes(std::string_view a, std::string_view b)
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

// One pair of the file as places in the read buffer: the source line starts
// at `source`; the translation line follows the source line's break.
struct PairRef {
    std::uint64_t source;
    std::uint32_t sourceLength;
    std::uint32_t translationLength;
};

// The whole file and the pairs found in it; the work area of one load.
struct LoadWork {
    std::string buffer;
    std::vector<PairRef> PairTable;

    std::string_view source(const PairRef &p) const
    {
        return std::string_view(buffer.data() + p.source, p.sourceLength);
    }

    std::string_view translation(const PairRef &p) const
    {
        std::size_t at = p.source + p.sourceLength;
        // The source line ended with CR LF, a lone CR or a lone LF.
        if (buffer[at] == '\r' && at + 1 < buffer.size() && buffer[at + 1] == '\n')
            at += 2;
        else
            at += 1;
        return std::string_view(buffer.data() + at, p.translationLength);
    }
};

// Reads the whole file into work.buffer. Files that report no size (devices,
// /proc) are read to their end as well.
FileResult readWholeFile(const QString &path, std::string &buffer)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failure(QStringLiteral("無法開啟檔案 %1：%2").arg(shownPath(path), file.errorString()));
    const auto readFailed = [&] {
        return failure(QStringLiteral("無法讀取檔案 %1：%2").arg(shownPath(path), file.errorString()));
    };

    const qint64 expected = file.isSequential() ? 0 : file.size();
    buffer.resize(std::size_t(std::max<qint64>(expected, 0)));
    std::size_t got = 0;
    while (got < buffer.size()) {
        const qint64 n = file.read(buffer.data() + got, qint64(buffer.size() - got));
        if (n < 0)
            return readFailed();
        if (n == 0)
            break;
        got += std::size_t(n);
    }
    buffer.resize(got);
    // The file may be longer than it said (it grew, or it reports no size).
    char chunk[65536];
    for (;;) {
        const qint64 n = file.read(chunk, qint64(sizeof chunk));
        if (n < 0)
            return readFailed();
        if (n == 0)
            break;
        buffer.append(chunk, std::size_t(n));
    }
    return {};
}

// Splits the buffer into lines and pairs them: lines 0 and 1, 2 and 3, ...
// CR LF, a lone LF and a lone CR each end a line; a break at the very end
// starts no further line; an odd last line has no partner and is dropped.
FileResult pairLines(const QString &path, LoadWork &work)
{
    const char *const data = work.buffer.data();
    const char *const end = data + work.buffer.size();

    // Every pair holds at least one line break, so this is enough room for
    // the usual files; mixed line ends only make the table grow once more.
    const auto breaks = std::count(data, end, '\n');
    work.PairTable.reserve(std::size_t(breaks != 0 ? breaks : std::count(data, end, '\r')) / 2 + 1);

    const char *p = data;
    bool haveSource = false;
    PairRef pending{};
    while (p < end) {
        const char *const start = p;
        while (p < end && *p != '\r' && *p != '\n')
            ++p;
        const std::size_t length = std::size_t(p - start);
        if (length > std::numeric_limits<std::uint32_t>::max())
            return failure(QStringLiteral("無法讀入檔案 %1：其中有一行太長。").arg(shownPath(path)));
        if (p < end)
            p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
        if (!haveSource) {
            pending.source = std::uint64_t(start - data);
            pending.sourceLength = std::uint32_t(length);
            haveSource = true;
        } else {
            pending.translationLength = std::uint32_t(length);
            work.PairTable.push_back(pending);
            haveSource = false;
        }
    }
    if (work.PairTable.size() > std::size_t(std::numeric_limits<std::int32_t>::max()))
        return failure(QStringLiteral("無法讀入檔案 %1：字串太多。").arg(shownPath(path)));
    return {};
}

// Groups the sorted pairs into entries: one per distinct source, with its
// distinct translations in order of first appearance, the first one chosen.
std::vector<DS> groupPairs(const LoadWork &work, LoadProgress &progress)
{
    const std::vector<PairRef> &pairs = work.PairTable;
    const auto sameSource = [&](const PairRef &a, const PairRef &b) {
        return a.sourceLength == b.sourceLength
            && std::memcmp(work.buffer.data() + a.source, work.buffer.data() + b.source, a.sourceLength) == 0;
    };

    std::size_t entryCount = pairs.empty() ? 0 : 1;
    for (std::size_t i = 1; i < pairs.size(); ++i)
        entryCount += sameSource(pairs[i - 1], pairs[i]) ? 0 : 1;
    std::vector<DS> entries;
    entries.reserve(entryCount);

    QElapsedTimer sinceEvents;
    sinceEvents.start();
    std::size_t sinceClockCheck = 0;
    const auto pairDone = [&] {
        if (++sinceClockCheck < kPairsPerClockCheck)
            return;
        sinceClockCheck = 0;
        if (sinceEvents.elapsed() >= kEventIntervalMs) {
            progress.ProcessEvents();
            sinceEvents.restart();
        }
    };

    std::vector<std::string_view> distinct;      // this source's translations so far
    std::unordered_set<std::string_view> lookup; // the same, once there are many
    for (std::size_t i = 0; i < pairs.size();) {
        DS &entry = entries.emplace_back();
        const std::string_view source = work.source(pairs[i]);
        entry.Source.assign(source.data(), source.size());
        const std::string_view first = work.translation(pairs[i]);
        entry.Translations.emplace_back(first.data(), first.size());
        distinct.assign(1, first);
        lookup.clear();
        pairDone();

        std::size_t j = i + 1;
        for (; j < pairs.size() && sameSource(pairs[i], pairs[j]); ++j) {
            const std::string_view t = work.translation(pairs[j]);
            bool known;
            if (distinct.size() <= kLinearLookupLimit) {
                known = std::find(distinct.begin(), distinct.end(), t) != distinct.end();
                if (!known && distinct.size() == kLinearLookupLimit)
                    lookup.insert(distinct.begin(), distinct.end());
            } else {
                known = lookup.count(t) != 0;
            }
            if (!known) {
                distinct.push_back(t);
                if (!lookup.empty())
                    lookup.insert(t);
                entry.Translations.emplace_back(t.data(), t.size());
            }
            pairDone();
        }
        entry.LastTranslation = std::int32_t(entry.Translations.size() - 1);
        i = j;
    }
    return entries;
}

} // namespace

const std::string &DS::ChosenTranslation() const
{
    if (Chosen < 0 || std::size_t(Chosen) >= Translations.size())
        return kEmpty;
    return Translations[std::size_t(Chosen)];
}

std::int32_t DS::AppendTranslation(const std::string &t)
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

bool SourceLess(const std::string &a, const std::string &b)
{
    return lessBytes(a, b);
}

FileResult LoadDictionary(const QString &path, DictionaryTables &tables, LoadProgress &progress)
{
    progress.SetText(QStringLiteral("正在開啟檔案 ") + path);
    progress.SetPosition(0);

    try {
        LoadWork work;
        if (FileResult read = readWholeFile(path, work.buffer); !read.ok)
            return read;
        progress.ProcessEvents();

        if (FileResult paired = pairLines(path, work); !paired.ok)
            return paired;

        progress.SetPosition(15);
        progress.SetText(QStringLiteral("正在排列字串..."));
        progress.ProcessEvents();

        // Stable, so pairs with equal sources keep their order from the file.
        std::stable_sort(work.PairTable.begin(), work.PairTable.end(),
                         [&work](const PairRef &a, const PairRef &b) {
                             return lessBytes(work.source(a), work.source(b));
                         });

        progress.SetPosition(40);
        progress.SetText(QStringLiteral("正在整理字典檔..."));
        progress.ProcessEvents();

        std::vector<DS> entries = groupPairs(work, progress);
        const std::int32_t lastPair = std::int32_t(work.PairTable.size()) - 1;
        // The file and the pair table are no longer needed: give them back
        // before the editor fills its grid. (Assigning an empty work area
        // would keep the buffer's storage.)
        std::string().swap(work.buffer);
        std::vector<PairRef>().swap(work.PairTable);

        progress.SetPosition(80);
        progress.SetText(QStringLiteral("正在加入字串至編輯器..."));
        progress.ProcessEvents();

        tables.EntryTable.swap(entries);
        tables.LastEntry = std::int32_t(tables.EntryTable.size()) - 1;
        tables.LastPair = lastPair;
        std::vector<Dictinit>().swap(tables.PairTable);
    } catch (const std::bad_alloc &) {
        return failure(QStringLiteral("記憶體不足，無法讀入檔案 %1。").arg(shownPath(path)));
    }

    progress.SetPosition(100);
    return {};
}

FileResult SaveDictionary(const QString &path, const DictionaryTables &tables)
{
    // The text goes to a temporary file beside the target, which replaces the
    // old file only once it is complete.
    QSaveFile file(path);
    const auto saveFailed = [&] {
        return failure(QStringLiteral("無法儲存檔案 %1：%2").arg(shownPath(path), file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        return saveFailed();

    std::string chunk;
    chunk.reserve(kWriteChunk + 256);
    const auto flush = [&] {
        if (chunk.empty())
            return true;
        const bool written = file.write(chunk.data(), qint64(chunk.size())) == qint64(chunk.size());
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
        if (chunk.size() >= kWriteChunk && !flush()) {
            const FileResult result = saveFailed();
            file.cancelWriting();
            return result;
        }
    }
    if (!flush()) {
        const FileResult result = saveFailed();
        file.cancelWriting();
        return result;
    }
    if (!file.commit())
        return saveFailed();
    return {};
}
