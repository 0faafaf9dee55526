// The check report on its own: the counts and problem rows it keeps up to
// date one entry at a time must always be those a report made afresh finds,
// whatever the filter, through commits, undo and a new load.

#include "document/checkreport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Everything the check window shows: the counts, then one line per row.
QStringList shown(const CheckReport &report)
{
    const CheckReport::Counts &c = report.Totals();
    QStringList out{QStringLiteral("%1 %2 %3 %4 %5").arg(c.Entries).arg(c.Several).arg(c.Untranslated).arg(c.Reviewed).arg(c.WithProblems)};
    for (const CheckKind kind : CheckReport::EntryKinds())
        out.last() += QLatin1Char(' ') + QString::number(c.PerKind[std::size_t(kind)]);
    for (int r = 0; r < report.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < report.columnCount(); ++c)
            cells << report.data(report.index(r, c), Qt::DisplayRole).toString();
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

// A report made afresh on the same document with the same filter.
QStringList fresh(DictionaryDocument &doc, std::optional<CheckKind> filter)
{
    CheckReport report(doc);
    report.SetFilter(filter);
    report.Build();
    return shown(report);
}

} // namespace

class TestCheckReport : public QObject {
    Q_OBJECT
private slots:
    void followsCommitsUndoAndLoads();
    void suggestedTranslationsFilter();
};

void TestCheckReport::followsCommitsUndoAndLoads()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("d.txt"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        // &Open... (fine), &Save (hot key missing, twice translated),
        // Name: (ending lost), zoom (untranslated)
        f.write("&Open...\r\n\xB6\x7D\xB1\xD2(&O)...\r\n"
                "&Save\r\n\xC0\x78\xA6\x73\r\n&Save\r\n\xC0\x78\xA6\x73(&S)\r\n"
                "Name:\r\n\xA6\x57\xBA\xD9\r\n"
                "zoom\r\nzoom\r\n");
    }
    DictionaryDocument doc;
    QVERIFY(doc.Open(path, false));
    CheckReport report(doc);
    QCOMPARE(report.rowCount(), 0); // made only when it is needed
    QCOMPARE(report.NextProblem(1), 1);
    QCOMPARE(shown(report), (QStringList{
        QStringLiteral("4 1 1 0 3 1 0 0 0 0 0 0 1 0 1 0"),
        QStringLiteral("2|缺少熱鍵|&Save|儲存"),
        QStringLiteral("3|結尾符號不同|Name:|名稱"),
        QStringLiteral("4|未翻譯|zoom|zoom"),
    }));

    // Fixing entry 1 takes its row out; a typed text that adds two problems
    // to entry 2 puts two rows in; each time as a fresh report sees it.
    doc.CommitChoice(1, QStringLiteral("儲存(&S)"));
    QCOMPARE(shown(report), fresh(doc, std::nullopt));
    QCOMPARE(report.Totals().Reviewed, 1);
    doc.CommitChoice(2, QStringLiteral(" 名稱(&N)"));
    QCOMPARE(shown(report), fresh(doc, std::nullopt));
    QCOMPARE(report.RowOfEntry(2), 0);
    QCOMPARE(report.rowCount(), 4);

    // One kind only: the list and the jump visit that kind alone.
    report.SetFilter(CheckKind::Untranslated);
    QCOMPARE(report.NextProblem(1), 3);
    QCOMPARE(report.NextProblem(5), -1);
    QVERIFY(report.NoMoreProblemsMessage().contains(QStringLiteral("未翻譯")));
    doc.CommitChoice(3, QStringLiteral("甲"));
    QCOMPARE(report.rowCount(), 0);
    QCOMPARE(doc.Undo(), 3);
    QCOMPARE(shown(report), fresh(doc, CheckKind::Untranslated));
    report.SetFilter(std::nullopt);
    while (doc.Undo() >= 0) {
    }
    QCOMPARE(shown(report), fresh(doc, std::nullopt));
    QCOMPARE(report.Totals().PerKind[std::size_t(CheckKind::HotkeyMissing)], 1);

    // A new load: the old rows go, and the report is made again on demand.
    QVERIFY(doc.Open(path, false));
    QCOMPARE(report.rowCount(), 0);
    QCOMPARE(report.NextProblem(3), 3);
    QCOMPARE(shown(report), fresh(doc, std::nullopt));

    QCOMPARE(ProblemTip(CheckTranslation("&Save", "\xC0\x78\xA6\x73")), QStringLiteral("可能有問題：缺少熱鍵"));
    QVERIFY(ProblemTip({}).isEmpty());
}

void TestCheckReport::suggestedTranslationsFilter()
{
    // As a translation adds new texts: the text itself first, then its
    // suggestions. "Zoom" has one, "Open" none, "Close" is translated.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("d.txt"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Zoom\r\nZoom\r\nZoom\r\n\xB0\xCA\xAA\xAB\xB6\xE9\r\n"
                "Open\r\nOpen\r\n"
                "Close\r\n\xC3\xF6\xB3\xAC\r\n");
    }
    DictionaryDocument doc;
    QVERIFY(doc.Open(path, false));
    CheckReport report(doc);
    report.SetFilter(std::nullopt, true);
    report.Build();
    QCOMPARE(report.Totals().Suggested, 1);
    QCOMPARE(report.rowCount(), 1);
    QCOMPARE(report.EntryAt(0), 2); // entries in source order: Close, Open, Zoom
    QCOMPARE(report.NextProblem(0), 2);
    QVERIFY(report.NoMoreProblemsMessage().contains(QStringLiteral("有建議譯文")));
    // Picking the suggestion takes the entry out; undone, it is back.
    doc.CommitChoice(2, QStringLiteral("動物園"));
    QCOMPARE(report.rowCount(), 0);
    QCOMPARE(report.Totals().Suggested, 0);
    QCOMPARE(doc.Undo(), 2);
    QCOMPARE(report.rowCount(), 1);
    QCOMPARE(shown(report), [&] {
        CheckReport again(doc);
        again.SetFilter(std::nullopt, true);
        again.Build();
        return shown(again);
    }());
    // Every untranslated entry again without the filter.
    report.SetFilter(CheckKind::Untranslated);
    QCOMPARE(report.rowCount(), 2);
}

QTEST_GUILESS_MAIN(TestCheckReport)
#include "test_checkreport.moc"
