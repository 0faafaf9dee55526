#include "platform/codepage.h"
#include "platform/cp950_probe.h"
#include "platform/cp950_tables.h"

#include <QRandomGenerator>
#include <QTest>

class TestCodePage : public QObject {
    Q_OBJECT
private slots:
    void generatedTablesAreWhatIcuSays();
    void knownCharacters();
    void invalidBytesRoundTrip_data();
    void invalidBytesRoundTrip();
    void randomBytesRoundTrip();
    void unencodableTextFails();
    void escapesAreNotCodePageCharacters();
};

// The tables were generated when the program was built; this Qt's ICU must
// still say the same about every byte and every character.
void TestCodePage::generatedTablesAreWhatIcuSays()
{
    const cp950::probe::Tables icu = cp950::probe::askIcu();
    QVERIFY2(icu.icuKnowsCodePage, "this Qt has no windows-950 converter");
    for (int b = 0x80; b <= 0xFF; ++b)
        QVERIFY2(cp950::tables::single[b - 0x80] == icu.single[std::size_t(b - 0x80)], QByteArray::number(b, 16));
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (!cp950::probe::isTrail(static_cast<unsigned char>(trail)))
                continue;
            const char16_t generated = cp950::tables::twoByte[lead - 0x81][cp950::tables::trailIndex(static_cast<unsigned char>(trail))];
            QVERIFY2(generated == icu.twoByte[std::size_t(lead << 8 | trail)], QByteArray::number(lead << 8 | trail, 16));
            characters += generated != 0;
        }
    }
    QVERIFY(characters > 13000); // Big5 with the Microsoft additions
    for (std::size_t c = 0; c < 65536; ++c)
        QVERIFY2(cp950::tables::toCode[c] == icu.toCode[c], QByteArray::number(qulonglong(c), 16));
}

void TestCodePage::knownCharacters()
{
    const std::string ming("\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9"); // 新細明體
    QCOMPARE(cp950::decode(ming), QStringLiteral("新細明體"));
    QCOMPARE(cp950::encode(QStringLiteral("新細明體")).value(), ming);
    // 許 and 功: second bytes that look like a backslash and like "@".
    QCOMPARE(cp950::decode(std::string("\xB3\x5C")), QStringLiteral("許"));
    QCOMPARE(cp950::decode(std::string("\xA5\x5C")), QStringLiteral("功"));
    QCOMPARE(cp950::encode(QStringLiteral("a許b")).value(), std::string("a\xB3\x5C" "b"));
    QCOMPARE(cp950::decode(std::string("&File\\tCtrl+O")), QStringLiteral("&File\\tCtrl+O"));
    QCOMPARE(cp950::encode(QStringLiteral("°")).value(), std::string("\xA2\x58"));
}

void TestCodePage::invalidBytesRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("lone lead byte at end") << QByteArray("abc\xA4");
    QTest::newRow("lead byte before newline") << QByteArray("\xA4\nx");
    QTest::newRow("lead byte before NUL") << QByteArray("\xA4\0x", 3);
    QTest::newRow("unassigned pair") << QByteArray("\xA3\xFE\xA4\x40");
    QTest::newRow("0x80 and 0xFF") << QByteArray("\x80\xFF");
    QTest::newRow("UTF-8 text") << QByteArray("\xE4\xB8\xAD\xE6\x96\x87");
    // Each byte two units: the decoded text outgrows the room it started with.
    QTest::newRow("escapes only") << QByteArray(4096, '\x80');
    QTest::newRow("text, then escapes") << (QByteArray(100, 'a') + QByteArray(300, '\xFF') + QByteArray("\xA4\x40"));
}

void TestCodePage::invalidBytesRoundTrip()
{
    QFETCH(QByteArray, bytes);
    const std::string original(bytes.constData(), std::size_t(bytes.size()));
    const QString shown = cp950::decode(original);
    const auto back = cp950::encode(shown);
    QVERIFY(back.has_value());
    QCOMPARE(*back, original);
}

void TestCodePage::randomBytesRoundTrip()
{
    QRandomGenerator rng(950);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(rng.bounded(1, 64), '\0');
        for (char &c : bytes) {
            // Mostly high bytes, so that lead/trail combinations of every kind occur.
            const quint32 r = rng.bounded(256);
            c = char(r < 64 ? rng.bounded(0x20, 0x80) : rng.bounded(0x80, 0x100));
        }
        const auto back = cp950::encode(cp950::decode(bytes));
        QVERIFY2(back.has_value() && *back == bytes, "random bytes did not survive the round trip");
    }
}

void TestCodePage::unencodableTextFails()
{
    qsizetype bad = -1;
    QVERIFY(!cp950::encode(QStringLiteral("ab\u00E9"), &bad).has_value()); // é: not in code page 950
    QCOMPARE(bad, qsizetype(2));
    QVERIFY(!cp950::encode(QStringLiteral("\U0001F600")).has_value()); // an emoji
    QVERIFY(!cp950::encode(QStringLiteral("说")).has_value());          // a simplified form
}

void TestCodePage::escapesAreNotCodePageCharacters()
{
    const QString shown = cp950::decode(std::string("\x81"));
    QCOMPARE(shown.size(), qsizetype(2)); // one supplementary code point
    QVERIFY(cp950::isEscape(shown.toUcs4().at(0)));
    // Bytes that are no Big5 text read as unreadable bytes, each its own:
    // the user-defined area (the converter gives private-use characters)
    // and the single byte 0x80 (a control character).
    const auto escapes = [](const char *bytes) {
        QList<uint> expected;
        for (const char *b = bytes; *b; ++b)
            expected << cp950::escapeFor(static_cast<unsigned char>(*b));
        return expected;
    };
    QCOMPARE(cp950::decode(std::string("\x81\x40")).toUcs4(), escapes("\x81\x40"));
    QCOMPARE(cp950::decode(std::string("\xFA\xA1")).toUcs4(), escapes("\xFA\xA1"));
    QCOMPARE(cp950::decode(std::string("\x80")).toUcs4(), escapes("\x80"));
    QCOMPARE(cp950::encode(cp950::decode(std::string("\x81\x40z"))).value(), std::string("\x81\x40z"));
    // A typed private-use character still has its bytes.
    QCOMPARE(cp950::encode(QString(QChar(0xE000))).value(), std::string("\xFA\x40"));
}

QTEST_GUILESS_MAIN(TestCodePage)
#include "test_codepage.moc"
