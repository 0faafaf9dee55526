#include "dictionary/dicttext.h"
#include "dictionary/textpages.h"

#include <QTest>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// Bytes of every kind, NUL and 0xFF included, so that no length or end is
// taken from a terminator.
std::string bytes(std::size_t n, unsigned seed)
{
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = char((i * 131 + seed * 7) % 256);
    return s;
}

} // namespace

// The texts of a dictionary: kept inside up to 15 bytes, in shared pages
// beyond, in a block of their own when long; a page lives exactly as long as
// a text in it.
class TestDictText : public QObject {
    Q_OBJECT
private slots:
    void keepsEveryByteAtEveryLength_data();
    void keepsEveryByteAtEveryLength();
    void copiesOutliveTheirPage();
    void storageIsGivenBackWhenTheLastTextGoes();
    void textsMayDieOnAnotherThread();
};

void TestDictText::keepsEveryByteAtEveryLength_data()
{
    QTest::addColumn<int>("length");
    for (int n : {0, 1, 15, 16, 17, 4096, 4097, 200000})
        QTest::addRow("%d bytes", n) << n;
}

void TestDictText::keepsEveryByteAtEveryLength()
{
    QFETCH(int, length);
    const std::string want = bytes(std::size_t(length), unsigned(length));
    DictText text(want);
    QCOMPARE(text.size(), want.size());
    QVERIFY(text == want);

    DictText copy = text;
    DictText assigned("x");
    assigned = copy;
    text = "replaced";
    QVERIFY(copy == want);
    QVERIFY(assigned == want);

    DictText moved = std::move(copy);
    QVERIFY(moved == want);
    QVERIFY(copy.empty());
    copy = moved; // a moved-from text takes a value again
    QVERIFY(copy == want);

    // A part of itself: the new text is made before the old one goes.
    if (length > 2) {
        moved = std::string_view(moved).substr(1, want.size() - 2);
        QVERIFY(moved == std::string_view(want).substr(1, want.size() - 2));
    }
    assigned = assigned;
    QVERIFY(assigned == want);
}

void TestDictText::copiesOutliveTheirPage()
{
    // Take one text out of a page, let everything else in that page die
    // and fill pages well past it: a freed page is unmapped, so reading the
    // copy would crash or show other bytes.
    std::unique_ptr<DictText> kept;
    {
        std::vector<DictText> neighbours;
        for (unsigned i = 0; i < 200; ++i)
            neighbours.emplace_back(bytes(40, i));
        kept = std::make_unique<DictText>(neighbours[117]);
    }
    std::vector<DictText> later;
    for (unsigned i = 0; i < 20000; ++i)
        later.emplace_back(bytes(30, i));
    later.clear();
    QVERIFY(*kept == bytes(40, 117));
}

void TestDictText::storageIsGivenBackWhenTheLastTextGoes()
{
    const std::size_t before = textpages::blocksInUse();
    {
        std::vector<DictText> texts;
        for (unsigned i = 0; i < 30000; ++i)
            texts.emplace_back(bytes(16 + i % 50, i)); // about 20 pages
        texts.emplace_back(bytes(100000, 1));          // a block of its own
        std::vector<DictText> copies(texts.begin(), texts.end());
        for (std::size_t i = 0; i < copies.size(); i += 3)
            copies[i] = texts[texts.size() - 1 - i];
        QVERIFY(textpages::blocksInUse() > before + 15);
    }
    // At most the page being filled stays.
    QVERIFY2(textpages::blocksInUse() <= before + 1, QByteArray::number(qulonglong(textpages::blocksInUse())));
}

void TestDictText::textsMayDieOnAnotherThread()
{
    const std::size_t before = textpages::blocksInUse();
    std::vector<DictText> made;
    std::thread maker([&made] {
        for (unsigned i = 0; i < 5000; ++i)
            made.emplace_back(bytes(24, i));
    });
    maker.join(); // its page being filled is given up with the thread
    QVERIFY(made[4321] == bytes(24, 4321));
    made.clear();
    QCOMPARE(textpages::blocksInUse(), before);
}

QTEST_GUILESS_MAIN(TestDictText)
#include "test_dicttext.moc"
