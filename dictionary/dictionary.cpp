#include "dictionary/dictionary.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <new>
#include <string_view>
#include <unordered_map>

namespace {

// Pending events run at most this often while entries are grouped, so that a
// large load is not dominated by event processing.
constexpr qint64 kEventIntervalMs = 15;
// How many pairs are grouped between two looks at the clock.
constexpr std::size_t kPairsPerClockCheck = 64;
// Above this many distinct translations of one source, new translations are
// looked up in a hash set instead of by comparing with every slot.
constexpr std::size_t kLinearLookupLimit = 16;
// A file is read in pieces of this size.
constexpr std::size_t kReadChunk = std::size_t(1) << 20;
// Entries are gathered in blocks of this many while the file is read.
constexpr std::size_t kEntriesPerBlock = 1024;
// Saved text is handed to the file in pieces of about this size.
constexpr std::size_t kWriteChunk = std::size_t(1) << 20;

const std::string kEmpty;

// Opens a file by its name as the system spells it (a Big5 name stays
// Big5); a folder is not a dictionary. Returns the reason on failure.
QString openForReading(const FileName &name, QFile &file)
{
#ifdef Q_OS_WIN
    file.setFileName(name.toQString());
    if (QFileInfo(file.fileName()).isDir())
        return SystemReason(EISDIR);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return file.errorString();
    return {};
#else
    const int fd = ::open(name.native().constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return SystemReason(errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return SystemReason(EISDIR);
    }
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    return {};
#endif
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

// Reads a file a piece at a time and hands out its lines. CR LF, a lone LF
// and a lone CR each end a line; a break at the very end starts no further
// line. Lines are named by their offset in the file; the text from the
// marked pair start on stays in memory, so a pair's source line can still be
// viewed after its translation line was read.
class LineReader {
public:
    enum class Status { Line, End, ReadError };

    explicit LineReader(QFile &file)
        : file_(file)
        , firstChunk_(file.isSequential() ? kReadChunk
                                          : std::size_t(std::clamp<qint64>(file.size() + 1, 1, qint64(kReadChunk))))
    {
    }

    void markPairStart() { keep_ = bufferStart_ + pos_; }

    Status next(std::uint64_t &start, std::size_t &length)
    {
        for (;;) {
            const char *const d = buffer_.get();
            std::size_t i = scanned_;
            while (i < have_ && d[i] != '\r' && d[i] != '\n')
                ++i;
            scanned_ = i;
            if (i < have_) {
                // A CR as the last byte read: an LF may follow in the file.
                if (d[i] == '\r' && i + 1 == have_ && !eof_) {
                    if (!refill())
                        return Status::ReadError;
                    continue;
                }
                start = bufferStart_ + pos_;
                length = i - pos_;
                pos_ = i + ((d[i] == '\r' && i + 1 < have_ && d[i + 1] == '\n') ? 2 : 1);
                scanned_ = pos_;
                return Status::Line;
            }
            if (eof_) {
                if (pos_ == have_)
                    return Status::End;
                start = bufferStart_ + pos_;
                length = have_ - pos_;
                pos_ = scanned_ = have_;
                return Status::Line;
            }
            if (!refill())
                return Status::ReadError;
        }
    }

    std::string_view view(std::uint64_t start, std::size_t length) const
    {
        return std::string_view(buffer_.get() + (start - bufferStart_), length);
    }

private:
    // Drops the text before the kept pair, then reads what fits behind the
    // rest; the buffer grows only for a pair longer than itself.
    bool refill()
    {
        const std::size_t drop = std::size_t(keep_ - bufferStart_);
        if (drop != 0) {
            std::memmove(buffer_.get(), buffer_.get() + drop, have_ - drop);
            have_ -= drop;
            pos_ -= drop;
            scanned_ -= drop;
            bufferStart_ += drop;
        }
        if (have_ == capacity_) {
            const std::size_t grown = capacity_ == 0 ? firstChunk_ : capacity_ * 2;
            std::unique_ptr<char[]> bigger(new char[grown]);
            if (have_ != 0)
                std::memcpy(bigger.get(), buffer_.get(), have_);
            buffer_ = std::move(bigger);
            capacity_ = grown;
        }
        const qint64 n = file_.read(buffer_.get() + have_, qint64(capacity_ - have_));
        if (n < 0)
            return false;
        if (n == 0)
            eof_ = true;
        have_ += std::size_t(n);
        return true;
    }

    QFile &file_;
    const std::size_t firstChunk_; // the whole of a small file
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t have_ = 0;          // bytes of buffer_ holding file text
    std::uint64_t bufferStart_ = 0; // file offset of buffer_[0]
    std::size_t pos_ = 0;           // the next line starts here
    std::size_t scanned_ = 0;       // no line break in [pos_, scanned_)
    std::uint64_t keep_ = 0;        // file offset of the kept pair
    bool eof_ = false;
};

std::uint32_t hashOf(std::string_view text)
{
    const std::uint64_t h = std::hash<std::string_view>{}(text);
    return std::uint32_t(h ^ (h >> 32));
}

// An open-addressing set of indexes (of entries or of translation slots)
// that keeps each key's hash beside it, so growing never looks at the keys.
class HashIndex {
public:
    // Returns the index of a key equal to the one looked for (same(index)
    // tells), or records `candidate` as that key's index and returns it.
    template <typename Same>
    std::uint32_t findOrAdd(std::uint32_t hash, std::uint32_t candidate, Same same)
    {
        if ((count_ + 1) * 4 > cells_.size() * 3)
            grow();
        const std::size_t mask = cells_.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const std::uint64_t cell = cells_[i];
            if (cell == 0) {
                cells_[i] = (std::uint64_t(hash) << 32) | (std::uint64_t(candidate) + 1);
                ++count_;
                return candidate;
            }
            const std::uint32_t index = std::uint32_t(cell) - 1;
            if (std::uint32_t(cell >> 32) == hash && same(index))
                return index;
        }
    }

private:
    void grow()
    {
        std::vector<std::uint64_t> old(std::max<std::size_t>(16, cells_.size() * 2), 0);
        old.swap(cells_);
        const std::size_t mask = cells_.size() - 1;
        for (const std::uint64_t cell : old) {
            if (cell == 0)
                continue;
            std::size_t i = std::uint32_t(cell >> 32) & mask;
            while (cells_[i] != 0)
                i = (i + 1) & mask;
            cells_[i] = cell;
        }
    }

    std::vector<std::uint64_t> cells_; // hash << 32 | (index + 1); 0 is free
    std::size_t count_ = 0;
};

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

// Memory for a block of entries straight from the system, so that freeing
// a block always gives its pages back: a heap block of this size may stay
// with the process after it is freed, which would make moving entries out of
// the blocks cost as much again. Pages are only used once written.
void *allocatePages(std::size_t bytes)
{
#ifdef Q_OS_WIN
    void *p = VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!p)
        throw std::bad_alloc();
#else
    void *p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
#endif
    return p;
}

void freePages(void *p, std::size_t bytes)
{
#ifdef Q_OS_WIN
    Q_UNUSED(bytes);
    VirtualFree(p, 0, MEM_RELEASE);
#else
    munmap(p, bytes);
#endif
}

// Entries as the file introduces them, in blocks, so that the table never
// needs a larger copy of itself while it grows, and so that each block can
// be given back as soon as it was moved into the final table.
class EntryBlocks {
public:
    EntryBlocks() = default;
    EntryBlocks(const EntryBlocks &) = delete;
    EntryBlocks &operator=(const EntryBlocks &) = delete;
    ~EntryBlocks() { release(); }

    std::size_t size() const { return count_; }

    DS &operator[](std::size_t i) { return blocks_[i / kEntriesPerBlock][i % kEntriesPerBlock]; }

    DS &append()
    {
        if (count_ % kEntriesPerBlock == 0) {
            blocks_.reserve(blocks_.size() + 1);
            blocks_.push_back(static_cast<DS *>(allocatePages(kBlockBytes)));
        }
        DS *entry = std::construct_at(&blocks_[count_ / kEntriesPerBlock][count_ % kEntriesPerBlock]);
        ++count_;
        return *entry;
    }

    // Moves every entry into `out` (sized exactly once), freeing blocks as
    // they empty.
    void moveInto(std::vector<DS> &out)
    {
        out.clear();
        out.reserve(count_);
        for (std::size_t b = 0; b < blocks_.size(); ++b) {
            DS *const block = blocks_[b];
            const std::size_t n = std::min(kEntriesPerBlock, count_ - b * kEntriesPerBlock);
            for (std::size_t k = 0; k < n; ++k) {
                out.push_back(std::move(block[k]));
                std::destroy_at(&block[k]);
            }
            freePages(block, kBlockBytes);
            blocks_[b] = nullptr;
        }
        blocks_.clear();
        count_ = 0;
    }

private:
    static constexpr std::size_t kBlockBytes = kEntriesPerBlock * sizeof(DS);

    void release()
    {
        for (std::size_t b = 0; b < blocks_.size(); ++b) {
            if (!blocks_[b])
                continue;
            const std::size_t n = std::min(kEntriesPerBlock, count_ - b * kEntriesPerBlock);
            std::destroy(blocks_[b], blocks_[b] + n);
            freePages(blocks_[b], kBlockBytes);
        }
        blocks_.clear();
        count_ = 0;
    }

    std::vector<DS *> blocks_;
    std::size_t count_ = 0;
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
            entry.Source.assign(source.data(), source.size());
            entry.Translations.emplace_back(translation.data(), translation.size());
            return;
        }
        TranslationList &list = entries_[e].Translations;
        if (list.size() <= kLinearLookupLimit) {
            for (const std::string &known : list) {
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

TranslationList::TranslationList(std::initializer_list<std::string> items) : one_()
{
    assignRange(items.begin(), items.end());
}

TranslationList::TranslationList(const std::vector<std::string> &items) : one_()
{
    assignRange(items.begin(), items.end());
}

TranslationList::TranslationList(const TranslationList &other) : one_()
{
    assignRange(other.begin(), other.end());
}

TranslationList::TranslationList(TranslationList &&other) noexcept : one_()
{
    takeFrom(other);
}

TranslationList &TranslationList::operator=(const TranslationList &other)
{
    if (this != &other)
        assignRange(other.begin(), other.end());
    return *this;
}

TranslationList &TranslationList::operator=(TranslationList &&other) noexcept
{
    if (this != &other) {
        release();
        takeFrom(other);
    }
    return *this;
}

TranslationList &TranslationList::operator=(std::initializer_list<std::string> items)
{
    assignRange(items.begin(), items.end());
    return *this;
}

TranslationList::~TranslationList()
{
    if (onHeap())
        delete[] many_;
    else
        std::destroy_at(&one_);
}

std::string &TranslationList::at(std::size_t i)
{
    if (i >= size_)
        throw std::out_of_range("TranslationList::at");
    return data()[i];
}

const std::string &TranslationList::at(std::size_t i) const
{
    if (i >= size_)
        throw std::out_of_range("TranslationList::at");
    return data()[i];
}

void TranslationList::clear()
{
    std::string *cells = data();
    for (std::uint32_t i = 0; i < size_; ++i)
        cells[i].clear();
    size_ = 0;
}

bool operator==(const TranslationList &a, const TranslationList &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool operator==(const TranslationList &a, const std::vector<std::string> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

std::string *TranslationList::appendSlot()
{
    if (size_ < capacity_)
        return data() + size_++;
    if (capacity_ == std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("TranslationList: too many translations");
    // Two cells for the first move out of the list (the usual several-
    // translation entry has two), then doubling.
    const std::uint32_t grown = capacity_ == 1 ? 2
        : std::uint32_t(std::min<std::uint64_t>(std::uint64_t(capacity_) * 2, std::numeric_limits<std::uint32_t>::max()));
    std::string *cells = new std::string[grown];
    std::move(data(), data() + size_, cells);
    if (onHeap())
        delete[] many_;
    else
        std::destroy_at(&one_);
    many_ = cells;
    capacity_ = grown;
    return many_ + size_++;
}

template <typename It>
void TranslationList::assignRange(It first, It last)
{
    const auto count = std::distance(first, last);
    if (std::uint64_t(count) > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("TranslationList: too many translations");
    if (count <= 1) {
        std::string only = count == 1 ? std::string(*first) : std::string();
        release();
        one_ = std::move(only);
        size_ = std::uint32_t(count);
        return;
    }
    std::unique_ptr<std::string[]> cells(new std::string[std::size_t(count)]);
    std::copy(first, last, cells.get());
    release();
    std::destroy_at(&one_);
    many_ = cells.release();
    capacity_ = size_ = std::uint32_t(count);
}

void TranslationList::release() noexcept
{
    if (onHeap()) {
        delete[] many_;
        std::construct_at(&one_);
        capacity_ = 1;
    } else {
        one_ = std::string();
    }
    size_ = 0;
}

void TranslationList::takeFrom(TranslationList &other) noexcept
{
    // `this` is an empty list holding its one slot.
    if (other.onHeap()) {
        std::destroy_at(&one_);
        many_ = other.many_;
        capacity_ = other.capacity_;
        size_ = other.size_;
        std::construct_at(&other.one_);
        other.capacity_ = 1;
    } else {
        one_ = std::move(other.one_);
        size_ = other.size_;
        other.one_.clear();
    }
    other.size_ = 0;
}

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

FileResult LoadDictionary(const FileName &name, DictionaryTables &tables, LoadProgress &progress)
{
    const QString path = name.shown();
    progress.SetText(QStringLiteral("正在開啟檔案 ") + path);
    progress.SetPosition(0);

    try {
        QFile file;
        if (const QString reason = openForReading(name, file); !reason.isEmpty())
            return failure(QStringLiteral("無法開啟檔案 %1：%2").arg(path, reason));

        // The file is read a piece at a time and its pairs grouped at once,
        // so that neither the whole text nor a list of all pairs is ever
        // held beside the entries.
        std::vector<DS> entries;
        std::size_t pairs = 0;
        {
            LineReader reader(file);
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
                // The end of the file; an odd last line has no partner and is dropped.
                if (status == LineReader::Status::End)
                    break;
                if (translationLength > std::numeric_limits<std::uint32_t>::max())
                    return failure(QStringLiteral("無法讀入檔案 %1：其中有一行太長。").arg(path));
                if (pairs == std::size_t(std::numeric_limits<std::int32_t>::max()))
                    return failure(QStringLiteral("無法讀入檔案 %1：字串太多。").arg(path));
                grouper.add(reader.view(sourceAt, sourceLength), reader.view(translationAt, translationLength));
                ++pairs;
                pacer.step();
            }
            progress.ProcessEvents();
            progress.SetPosition(15);
            progress.SetText(QStringLiteral("正在排列字串..."));
            progress.ProcessEvents();
            grouper.takeEntries(entries);
        }
        // Sources are distinct now, so any sort gives the one ascending order.
        std::sort(entries.begin(), entries.end(),
                  [](const DS &a, const DS &b) { return lessBytes(a.Source, b.Source); });

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
