#include "dictionary/dictionary.h"

#include <QTest>

#include <stdexcept>
#include <string>
#include <vector>

namespace {
const std::string kLong1 = "a translation longer than a short string";
const std::string kLong2 = "another translation that needs its own block";
} // namespace

// The slots of an entry: the first kept inside the list, more in a block.
class TestTranslationList : public QObject {
    Q_OBJECT
private slots:
    void growsFromOneSlotKeepingOrder();
    void copiesAndMovesAreIndependent();
    void assignmentReplacesSlots();
    void checkedAccess();
};

void TestTranslationList::growsFromOneSlotKeepingOrder()
{
    TranslationList list;
    QVERIFY(list.empty());
    QCOMPARE(list.begin(), list.end());
    std::vector<std::string> expected;
    for (int i = 0; i < 40; ++i) {
        const std::string t = (i % 2 ? kLong1 : std::string("t")) + std::to_string(i);
        list.push_back(t);
        expected.push_back(t);
        QVERIFY(list == expected);
        QCOMPARE(list.back(), t);
        QCOMPARE(std::size_t(list.end() - list.begin()), list.size());
    }
    QCOMPARE(list.front(), std::string("t0"));
    list.emplace_back(kLong2.data(), std::size_t(7));
    QCOMPARE(list[40], kLong2.substr(0, 7));
    list.clear();
    QVERIFY(list.empty());
    list.push_back("again");
    QVERIFY(list == std::vector<std::string>{"again"});
}

void TestTranslationList::copiesAndMovesAreIndependent()
{
    for (const std::vector<std::string> &items :
         {std::vector<std::string>{}, std::vector<std::string>{kLong1},
          std::vector<std::string>{kLong1, "b", kLong2}}) {
        TranslationList original(items);
        TranslationList copy(original);
        copy.push_back("extra");
        QVERIFY(original == items);
        QCOMPARE(copy.size(), items.size() + 1);

        TranslationList moved(std::move(copy));
        QVERIFY(copy.empty());
        copy.push_back("reused");
        QVERIFY(copy == std::vector<std::string>{"reused"});
        QCOMPARE(moved.back(), std::string("extra"));

        TranslationList target{"old", kLong2};
        target = std::move(moved);
        QCOMPARE(target.size(), items.size() + 1);
        target = original;
        QVERIFY(target == original);
        target = target; // self-assignment keeps the slots
        QVERIFY(target == items);
    }

    // Entries in a growing table keep their translations.
    std::vector<DS> table;
    for (int i = 0; i < 100; ++i)
        table.push_back(DS{std::to_string(i), {kLong1, std::to_string(i)}, 1, 1, false});
    QCOMPARE(table[57].ChosenTranslation(), std::string("57"));
    QCOMPARE(table[3].Translations[0], kLong1);
}

void TestTranslationList::assignmentReplacesSlots()
{
    DS entry{std::string(), {std::string()}, 0, 0, false};
    QCOMPARE(entry.Translations.size(), std::size_t(1));
    QCOMPARE(entry.ChosenTranslation(), std::string());
    entry.Translations = {kLong1, kLong2, "c"};
    QCOMPARE(entry.Translations.size(), std::size_t(3));
    entry.Translations = {"only"};
    QVERIFY(entry.Translations == std::vector<std::string>{"only"});
    QCOMPARE(entry.AppendTranslation(kLong2), 1);
    QCOMPARE(entry.LastTranslation, 1);
    entry.Translations = {};
    QVERIFY(entry.Translations.empty());
    QCOMPARE(entry.ChosenTranslation(), std::string());
}

void TestTranslationList::checkedAccess()
{
    TranslationList list{"x"};
    QCOMPARE(list.at(0), std::string("x"));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.at(1));
    list.push_back("y");
    QCOMPARE(std::as_const(list).at(1), std::string("y"));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.at(2));
}

QTEST_GUILESS_MAIN(TestTranslationList)
#include "test_translation_list.moc"
