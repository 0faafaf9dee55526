#include "platform/filedialog.h"

#include <QTest>

class TestFileDialogFilters : public QObject {
    Q_OBJECT
private slots:
    void dictionaryFilter();
    void customPatternMap();
    void defaultSuffix();
};

void TestFileDialogFilters::dictionaryFilter()
{
    const QStringList filters = toQtNameFilters(QStringLiteral("文字檔 (*.txt)|*.txt|所有檔案 (*.*)|*.*"));
    QCOMPARE(filters, QStringList({QStringLiteral("文字檔 (*.txt) (*.txt)"), QStringLiteral("所有檔案 (*.*) (*)")}));
    // A filter whose extension is empty still offers its entry.
    QCOMPARE(toQtNameFilters(QStringLiteral("|*.|所有檔案 (*.*)|*.*")).size(), qsizetype(2));
    QVERIFY(toQtNameFilters(QString()).isEmpty());
}

void TestFileDialogFilters::customPatternMap()
{
    const auto filters = toQtNameFilters(QStringLiteral("Perl程式檔 (Perl.exe)|Perl.exe|執行檔 (*.exe)|*.exe"),
                                         [](const QString &p) {
                                             return p == QStringLiteral("Perl.exe") ? QStringLiteral("perl perl5*")
                                                                                    : QStringLiteral("*");
                                         });
    QCOMPARE(filters.at(0), QStringLiteral("Perl程式檔 (Perl.exe) (perl perl5*)"));
    QCOMPARE(filters.at(1), QStringLiteral("執行檔 (*.exe) (*)"));
}

void TestFileDialogFilters::defaultSuffix()
{
    QCOMPARE(defaultSuffixOf(QStringLiteral("*.txt")), QStringLiteral("txt"));
    QCOMPARE(defaultSuffixOf(QStringLiteral("*.rc")), QStringLiteral("rc"));
    QCOMPARE(defaultSuffixOf(QStringLiteral("*.")), QString());
    QCOMPARE(defaultSuffixOf(QStringLiteral("*.*")), QString());
}

QTEST_GUILESS_MAIN(TestFileDialogFilters)
#include "test_filedialog.moc"
