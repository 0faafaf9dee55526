#include "dictionary_test_util.h"
#include "dictionary/linereader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

using testutil::entriesOf;
using testutil::readBytes;
using testutil::show;
using testutil::writeBytes;

class TestDictionaryLoad : public QObject {
    Q_OBJECT
private slots:
    void init();
    void initialTables();
    void fileFormat_data();
    void fileFormat();
    void repeatedSourceKeepsDistinctTranslations();
    void sortMatchesBubbleSort();
    void manyTranslationsOfOneSource();
    void progressStages();
    void groupingEventsAreThrottled();
    void failedLoadKeepsTables_data();
    void failedLoadKeepsTables();
    void badBytesSurviveLoadAndSave_data();
    void badBytesSurviveLoadAndSave();
    void millionLines();
    void linesAcrossReadPieces();
    void pipesLoadOnlyWithSomethingToRead();

private:
    DictionaryTables loadText(const std::string &text);
    QTemporaryDir dir;
    QString file;
};

void TestDictionaryLoad::init()
{
    QVERIFY(dir.isValid());
    file = dir.filePath(QStringLiteral("字典 $x@'q\".dic"));
}

DictionaryTables TestDictionaryLoad::loadText(const std::string &text)
{
    DictionaryTables tables;
    if (!writeBytes(file, text)) {
        QTest::qFail("cannot write the test file", __FILE__, __LINE__);
        return tables;
    }
    SilentLoadProgress silent;
    const FileResult r = LoadDictionary(file, tables, silent);
    if (!r.ok)
        QTest::qFail(qPrintable(r.error), __FILE__, __LINE__);
    return tables;
}

void TestDictionaryLoad::initialTables()
{
    const DictionaryTables t;
    QCOMPARE(t.LastEntry, 0);
    QCOMPARE(t.LastPair, 0);
    QVERIFY(!t.EntryTable.empty());
    const DS &e = t.EntryTable[0];
    QCOMPARE(e.Source, std::string());
    QCOMPARE(e.Translations.size(), std::size_t(1));
    QCOMPARE(e.ChosenTranslation(), std::string());
    QCOMPARE(e.LastTranslation, 0);
    QCOMPARE(e.Chosen, 0);
    QVERIFY(!e.Reviewed);
}

// File text -> expected entries ("source=t1|t2;...") and number of pairs.
void TestDictionaryLoad::fileFormat_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("pairs");

    QTest::newRow("empty file") << QByteArray() << QByteArray() << 0;
    QTest::newRow("one line") << QByteArray("Open\r\n") << QByteArray() << 0;
    QTest::newRow("one line, no break") << QByteArray("Open") << QByteArray() << 0;
    QTest::newRow("three lines") << QByteArray("a\r\nA\r\nb\r\n") << QByteArray("a=A;") << 1;
    QTest::newRow("b B a A c C") << QByteArray("b\r\nB\r\na\r\nA\r\nc\r\nC\r\n") << QByteArray("a=A;b=B;c=C;") << 3;
    QTest::newRow("in order but the last") << QByteArray("a\r\nA\r\nb\r\nB\r\nd\r\nD\r\nc\r\nC\r\n")
                                           << QByteArray("a=A;b=B;c=C;d=D;") << 4;
    QTest::newRow("case") << QByteArray("open\r\n1\r\nOpen\r\n2\r\n") << QByteArray("Open=2;open=1;") << 2;
    QTest::newRow("prefix") << QByteArray("File...\r\n1\r\nFile\r\n2\r\n") << QByteArray("File=2;File...=1;") << 2;
    QTest::newRow("empty source first") << QByteArray("a\r\nA\r\n\r\nE\r\n") << QByteArray("=E;a=A;") << 2;
    QTest::newRow("empty translation is one of its own")
        << QByteArray("x\r\n\r\nx\r\n1\r\nx\r\n\r\n") << QByteArray("x=|1;") << 3;
    QTest::newRow("only a break") << QByteArray("\r\n") << QByteArray() << 0;
    QTest::newRow("two empty lines") << QByteArray("\r\n\r\n") << QByteArray("=;") << 1;
    // Line ends: CR LF, lone LF and lone CR each end a line, mixed freely.
    QTest::newRow("LF") << QByteArray("b\nB\na\nA\n") << QByteArray("a=A;b=B;") << 2;
    QTest::newRow("CR") << QByteArray("b\rB\ra\rA\r") << QByteArray("a=A;b=B;") << 2;
    QTest::newRow("mixed") << QByteArray("b\rB\na\r\nA") << QByteArray("a=A;b=B;") << 2;
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb\r\nB\r\n") << QByteArray("a=;b=B;") << 2;
    QTest::newRow("CR CR LF is two breaks") << QByteArray("a\r\r\nA\r\n") << QByteArray("a=;") << 1;
    QTest::newRow("no break at end") << QByteArray("a\r\nA") << QByteArray("a=A;") << 1;
    QTest::newRow("extra break at end is a line") << QByteArray("a\r\nA\r\n\r\n") << QByteArray("a=A;") << 1;
    QTest::newRow("bytes above 0x7F sort after ASCII")
        << QByteArray("\xA4\xA4\r\n1\r\nz\r\n2\r\n\x80\r\n3\r\n")
        << QByteArray("z=2;%80=3;%A4%A4=1;") << 3;
}

void TestDictionaryLoad::fileFormat()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QFETCH(int, pairs);
    const DictionaryTables t = loadText(text.toStdString());
    QCOMPARE(show(entriesOf(t)), expected);
    QCOMPARE(t.LastPair, pairs - 1);
    QCOMPARE(t.EntryTable.size(), std::size_t(t.LastEntry + 1));
    QVERIFY(t.PairTable.empty()); // the work area is given back
    for (const DS &e : t.EntryTable) {
        QCOMPARE(e.Chosen, 0);
        QVERIFY(!e.Reviewed);
        QCOMPARE(e.Translations.size(), std::size_t(e.LastTranslation + 1));
    }
    // Saving what was loaded writes one pair per source, the first
    // translation, every line ending with CR LF.
    const QString out = dir.filePath(QStringLiteral("out.dic"));
    QVERIFY(SaveDictionary(out, t).ok);
    QCOMPARE(QByteArray::fromStdString(readBytes(out)),
             QByteArray::fromStdString(reference::saved(entriesOf(t))));
}

void TestDictionaryLoad::repeatedSourceKeepsDistinctTranslations()
{
    const DictionaryTables t = loadText("x\r\n1\r\nx\r\n2\r\nx\r\n1\r\n");
    QCOMPARE(t.LastEntry, 0);
    const DS &x = t.EntryTable[0];
    QCOMPARE(x.Source, std::string("x"));
    QCOMPARE(x.LastTranslation, 1);
    QCOMPARE(x.Translations, (std::vector<std::string>{"1", "2"}));
    QCOMPARE(x.Chosen, 0);
    const QString out = dir.filePath(QStringLiteral("out.dic"));
    QVERIFY(SaveDictionary(out, t).ok);
    QCOMPARE(readBytes(out), std::string("x\r\n1\r\n"));
}

// Random dictionaries full of duplicates, prefixes, empty strings, NUL and
// bytes above 0x7F: the loader's stable sort and grouping must give exactly
// what the bubble sort and the look-ahead grouping give.
void TestDictionaryLoad::sortMatchesBubbleSort()
{
    QRandomGenerator rng(1999);
    const char alphabet[] = {'a', 'b', 'A', '.', ' ', '\0', '\x7F', '\x80', '\xA4', '\xFF'};
    const auto randomString = [&](int maxLength) {
        std::string s(std::size_t(rng.bounded(maxLength + 1)), 'a');
        for (char &c : s)
            c = alphabet[rng.bounded(int(sizeof alphabet))];
        return s;
    };
    const char *const breaks[] = {"\r\n", "\n", "\r"};
    // Every other round the sources share a stem of up to 30 bytes, NUL
    // bytes and all: they agree well past the first bytes they are sorted by.
    const std::string stem("Stem\0 of a long\0\xA4 shared text.", 31);
    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> sources;
        for (int i = 0; i < 30; ++i)
            sources.push_back((round % 2 ? stem.substr(0, std::size_t(rng.bounded(32))) : std::string())
                              + randomString(4));
        std::string text;
        const int pairs = rng.bounded(0, 700);
        for (int i = 0; i < pairs; ++i) {
            std::string source = sources[std::size_t(rng.bounded(int(sources.size())))];
            if (rng.bounded(4) == 0) // a longer string sharing the prefix
                source += randomString(3);
            text += source + breaks[rng.bounded(3)];
            text += randomString(2) + breaks[rng.bounded(3)];
        }
        if (rng.bounded(2))
            text += randomString(3); // an odd last line
        const DictionaryTables t = loadText(text);
        const std::vector<reference::Entry> expected = reference::load(text);
        QCOMPARE(show(entriesOf(t)), show(expected));
        QCOMPARE(t.LastPair, std::int32_t(reference::pairLines(reference::splitLines(text)).size()) - 1);
    }
}

void TestDictionaryLoad::manyTranslationsOfOneSource()
{
    // More distinct translations than the old fixed slots held, repeated, so
    // that duplicates must be found among many.
    std::string text;
    std::vector<std::string> expected;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 300; ++i) {
            text += "Same\r\n" + std::to_string(i * 7 % 300) + "\r\n";
            if (round == 0)
                expected.push_back(std::to_string(i * 7 % 300));
        }
    }
    const DictionaryTables t = loadText(text);
    QCOMPARE(t.LastEntry, 0);
    QCOMPARE(t.EntryTable[0].LastTranslation, 299);
    QVERIFY(t.EntryTable[0].Translations == expected);
}

void TestDictionaryLoad::progressStages()
{
    QVERIFY(writeBytes(file, "b\r\nB\r\na\r\nA\r\n"));
    DictionaryTables t;
    testutil::RecordingProgress rec;
    QVERIFY(LoadDictionary(file, t, rec).ok);
    const QStringList expected{
        QStringLiteral("text 正在開啟檔案 ") + file,
        QStringLiteral("position 0"),
        QStringLiteral("events"),
        QStringLiteral("position 15"),
        QStringLiteral("text 正在排列字串..."),
        QStringLiteral("events"),
        QStringLiteral("position 40"),
        QStringLiteral("text 正在整理字典檔..."),
        QStringLiteral("events"),
        QStringLiteral("position 80"),
        QStringLiteral("text 正在加入字串至編輯器..."),
        QStringLiteral("events"),
        QStringLiteral("position 100"),
    };
    QCOMPARE(rec.steps, expected);

    // A file that cannot be read stops after the first stage.
    testutil::RecordingProgress failed;
    const QString missing = dir.filePath(QStringLiteral("missing.dic"));
    QVERIFY(!LoadDictionary(missing, t, failed).ok);
    QCOMPARE(failed.steps, (QStringList{QStringLiteral("text 正在開啟檔案 ") + missing,
                                        QStringLiteral("position 0")}));
}

// Events during grouping come at most every 15 ms, however many pairs.
void TestDictionaryLoad::groupingEventsAreThrottled()
{
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += "source " + std::to_string(i % 50000) + "\r\n" + std::to_string(i % 3) + "\r\n";
    QVERIFY(writeBytes(file, text));

    class Timing final : public LoadProgress {
    public:
        QElapsedTimer clock;
        qint64 groupingStart = -1, groupingEnd = -1;
        int groupingEvents = 0;
        void SetText(const QString &) override {}
        void SetPosition(int p) override
        {
            if (p == 40)
                groupingStart = clock.elapsed();
            if (p == 80)
                groupingEnd = clock.elapsed();
        }
        void ProcessEvents() override
        {
            if (groupingStart >= 0 && groupingEnd < 0)
                ++groupingEvents;
        }
    } timing;
    timing.clock.start();
    DictionaryTables t;
    QVERIFY(LoadDictionary(file, t, timing).ok);
    QCOMPARE(t.LastEntry, 49999);
    // One event right after the stage text, then one per full 15 ms.
    QVERIFY2(timing.groupingEvents <= 1 + (timing.groupingEnd - timing.groupingStart) / 15,
             qPrintable(QStringLiteral("%1 events in %2 ms").arg(timing.groupingEvents)
                            .arg(timing.groupingEnd - timing.groupingStart)));
}

void TestDictionaryLoad::failedLoadKeepsTables_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing") << QStringLiteral("missing file.dic");
    QTest::newRow("a folder") << QStringLiteral("folder");
    QTest::newRow("under a file") << QStringLiteral("plain/inside.dic");
}

void TestDictionaryLoad::failedLoadKeepsTables()
{
    QFETCH(QString, path);
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder")));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("plain")), "x"));
    DictionaryTables t = loadText("b\r\nB\r\na\r\nA\r\na\r\nA2\r\n");
    t.EntryTable[0].Chosen = 1;
    t.EntryTable[0].Reviewed = true;
    const QByteArray before = show(entriesOf(t));

    const QString full = dir.filePath(path);
    SilentLoadProgress silent;
    const FileResult r = LoadDictionary(full, t, silent);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QDir::toNativeSeparators(full)), qPrintable(r.error));
    QVERIFY2(r.error.startsWith(QStringLiteral("無法開啟檔案 ")) || r.error.startsWith(QStringLiteral("無法讀取檔案 ")),
             qPrintable(r.error));
    QCOMPARE(show(entriesOf(t)), before);
    QCOMPARE(t.LastEntry, 1);
    QCOMPARE(t.LastPair, 2);
    QCOMPARE(t.EntryTable[0].Chosen, 1);
    QVERIFY(t.EntryTable[0].Reviewed);
}

// Whatever the bytes, the load finishes and load + save keeps every byte of
// every source and of each first translation.
void TestDictionaryLoad::badBytesSurviveLoadAndSave_data()
{
    QTest::addColumn<QByteArray>("text");
    QRandomGenerator rng(950);
    QByteArray binary(1 << 16, '\0');
    for (char &c : binary)
        c = char(rng.bounded(256));
    QTest::newRow("binary") << binary;
    QTest::newRow("NUL bytes") << QByteArray("a\0b\r\n\0\r\n\0\0\r\nz\0\r\n", 16);
    QTest::newRow("not Big5") << QByteArray("\xA4\r\n\xFF\xFE\r\n\x80\x80\x80\r\n\xE4\xB8\xAD\xE6\x96\x87\r\n\xA3\xFE\r\n\x81\x30\r\n");
    QTest::newRow("Big5 trail bytes like backslash and @") << QByteArray("\xB3\x5C\r\n\xA5\x40\r\n");
    QByteArray huge(10 * 1024 * 1024, 'w');
    huge[12345] = '\xA4';
    QTest::newRow("a 10 MB line") << (huge + "\r\n" + huge.left(100) + "\r\nv\r\n" + huge + "\r\n");
}

void TestDictionaryLoad::badBytesSurviveLoadAndSave()
{
    QFETCH(QByteArray, text);
    const std::string bytes(text.constData(), std::size_t(text.size()));
    const DictionaryTables t = loadText(bytes);
    const std::vector<reference::Entry> expected = reference::load(bytes);
    QVERIFY(entriesOf(t).size() == expected.size());
    QVERIFY(show(entriesOf(t)) == show(expected));
    const QString out = dir.filePath(QStringLiteral("out.dic"));
    QVERIFY(SaveDictionary(out, t).ok);
    QVERIFY(readBytes(out) == reference::saved(expected));
}

void TestDictionaryLoad::millionLines()
{
    std::string text;
    text.reserve(9 * 1000000);
    for (int i = 0; i < 500000; ++i)
        text += std::to_string(999999 - i) + "\n" + (i % 2 ? "\xA4\xA4" : "") + "\n";
    const DictionaryTables t = loadText(text);
    QCOMPARE(t.LastPair, 499999);
    QCOMPARE(t.LastEntry, 499999);
    QCOMPARE(t.EntryTable.front().Source, std::string("500000"));
    QCOMPARE(t.EntryTable.back().Source, std::string("999999"));
    QCOMPARE(t.EntryTable.back().Translations.front(), std::string());
}

// A named pipe nobody writes is refused at once (opening it would wait for
// ever); a pipe with text in it, or with a writer still to come, loads.
void TestDictionaryLoad::pipesLoadOnlyWithSomethingToRead()
{
#ifndef Q_OS_LINUX
    QSKIP("named pipes and /proc/self/fd are Linux's");
#else
    SilentLoadProgress silent;
    DictionaryTables t;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    FileResult r = LoadDictionary(fifo, t, silent);
    QCOMPARE(r.error, QStringLiteral("無法開啟檔案 %1：沒有程式寫入這個管道").arg(fifo));

    int ends[2];
    QCOMPARE(::pipe(ends), 0);
    QCOMPARE(::write(ends[1], "b\r\nB\r\n", 6), ssize_t(6));
    ::close(ends[1]);
    r = LoadDictionary(QStringLiteral("/proc/self/fd/%1").arg(ends[0]), t, silent);
    ::close(ends[0]);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(show(entriesOf(t)), QByteArray("b=B;"));

    // The writer is there but writes only later: the load waits for it.
    QCOMPARE(::pipe(ends), 0);
    std::thread writer([&ends] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        (void)::write(ends[1], "a\r\nA\r\n", 6);
        ::close(ends[1]);
    });
    r = LoadDictionary(QStringLiteral("/proc/self/fd/%1").arg(ends[0]), t, silent);
    writer.join();
    ::close(ends[0]);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(show(entriesOf(t)), QByteArray("a=A;"));
#endif
}

QTEST_GUILESS_MAIN(TestDictionaryLoad)
#include "test_dictionary_load.moc"

// The file is read in pieces (or the whole of a smaller file):
// line breaks split between two pieces, lines longer than a piece and many
// translations of one source must load as if read at once.
void TestDictionaryLoad::linesAcrossReadPieces()
{
    constexpr std::size_t piece = dictload::LineReader::kReadChunk;
    std::string text = "pad\r\n";
    // A CR LF whose CR is the last byte of the first piece.
    text += std::string(piece - 1 - text.size(), 'x') + "\r\n" + "first\r\nsecond\r\n";
    // A lone CR as the last byte of the second piece.
    text += std::string(2 * piece - 1 - text.size(), 'y') + "\r" + "z\n";
    // A pair longer than two pieces.
    text += std::string(2 * piece + 7, 'L') + "\n" + std::string(piece + 3, '\xA4') + "\r\n";
    for (int i = 0; i < 60; ++i)
        text += (i % 2 ? "same\n" : "same\r") + std::to_string(i % 25) + "\r\n";
    text += "pad\r\nagain\r\nodd";

    const DictionaryTables t = loadText(text);
    const std::vector<reference::Entry> expected = reference::load(text);
    QCOMPARE(show(entriesOf(t)), show(expected));
    QCOMPARE(t.LastPair, std::int32_t(reference::pairLines(reference::splitLines(text)).size()) - 1);
    // "same" has 25 translations: past the short linear look-up.
    const auto same = std::find_if(t.EntryTable.begin(), t.EntryTable.end(),
                                   [](const DS &e) { return e.Source == "same"; });
    QVERIFY(same != t.EntryTable.end());
    QCOMPARE(same->LastTranslation, 24);
}
