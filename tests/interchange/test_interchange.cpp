// The four formats in and out without the command line: what goes out comes
// back pair for pair, what other tools write is read, and a broken file is
// refused with its line.

#include "interchange/exchange.h"
#include "platform/codepage.h"

#include <QTest>

namespace {

// Tables as a load leaves them, from (source, translations...) in UTF-8;
// "\\x.." escapes are written as raw bytes by the caller.
DictionaryTables tablesOf(const std::vector<std::vector<std::string>> &entries)
{
    DictionaryTables t;
    t.EntryTable.clear();
    for (const auto &e : entries) {
        DS ds;
        ds.Source = e[0];
        for (std::size_t k = 1; k < e.size(); ++k)
            ds.Translations.push_back(e[k]);
        ds.LastTranslation = std::int32_t(e.size() - 2);
        t.EntryTable.push_back(std::move(ds));
    }
    t.LastEntry = std::int32_t(entries.size()) - 1;
    return t;
}

std::string big5(const char *utf8)
{
    return cp950::encode(QString::fromUtf8(utf8)).value();
}

// The pairs that a dictionary written from the entries holds, in order.
std::vector<std::pair<QString, QString>> pairsOf(const std::vector<ExchangeEntry> &entries)
{
    std::vector<std::pair<QString, QString>> out;
    for (const ExchangeEntry &e : entries)
        for (const QString &t : e.Translations)
            out.emplace_back(e.Source, t);
    return out;
}

std::vector<std::pair<QString, QString>> pairsOf(const ParseOutcome &parsed)
{
    std::vector<std::pair<QString, QString>> out;
    for (const ExchangePair &p : parsed.Pairs)
        out.emplace_back(p.Source, p.Translation);
    return out;
}

ParseOutcome parse(const char *text, ExchangeFormat format)
{
    return ParseExchange(std::string_view(text), format);
}

} // namespace

class TestInterchange : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void chosenTranslationGoesFirst();
    void whatEachFormatWrites();
    void entriesAFormatCannotCarry();
    void brokenFiles_data();
    void brokenFiles();
    void otherToolsDialects();
};

void TestInterchange::roundTrip_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("tmx") << int(ExchangeFormat::Tmx);
    QTest::newRow("po") << int(ExchangeFormat::Po);
    QTest::newRow("xliff") << int(ExchangeFormat::Xliff);
    QTest::newRow("csv") << int(ExchangeFormat::Csv);
}

// Texts that each format must quote or escape, untranslated entries,
// several translations, user-defined Big5 codes and bytes that make no
// Big5 character: all come back as they went.
void TestInterchange::roundTrip()
{
    QFETCH(int, format);
    const DictionaryTables tables = tablesOf({
        {" lead, \"q\" <&> ]]> \\t tab\there ", big5("前導")},
        {"%d of %s", "%d/%s"},
        {"&Open\\tCtrl+O", big5("開啟(&O)\\tCtrl+O"), big5("打開(&O)"), "&Open\\tCtrl+O"},
        {"a,b", "\"x\",y"},
        {"backslash \\ \\\\ \\\" end\\", big5("反斜線 \\ 許功蓋")},
        {"bad", "\x80\xA1"},
        {"same", "same"},
        {"user", "\xFA\x40\xFE\xFE"},
        {"#, fuzzy", "msgid \"x\""},
    });
    const std::vector<ExchangeEntry> entries = ExchangeEntries(tables);
    const ExportOutcome out = ExportEntries(entries, ExchangeFormat(format), ExportOptions());
    QVERIFY2(out.Problems.isEmpty(), qPrintable(out.Problems.join(QLatin1Char('\n'))));
    QCOMPARE(out.Pairs, 11);
    const ParseOutcome back = ParseExchange(out.Bytes, ExchangeFormat(format));
    QCOMPARE(back.Error, QString());
    QCOMPARE(pairsOf(back), pairsOf(entries));
    // And into Big5 again, byte for byte.
    for (std::size_t k = 0; k < back.Pairs.size(); ++k)
        QVERIFY(cp950::encode(back.Pairs[k].Translation).has_value());
    QCOMPARE(cp950::encode(back.Pairs[7].Translation).value(), std::string("\x80\xA1"));
    QCOMPARE(cp950::encode(back.Pairs.back().Translation).value(), std::string("msgid \"x\""));
    QCOMPARE(cp950::encode(back.Pairs[9].Translation).value(), std::string("\xFA\x40\xFE\xFE"));
}

// The window exports an entry whose chosen translation is not slot 0: it
// comes first, so that a load of the result chooses it again.
void TestInterchange::chosenTranslationGoesFirst()
{
    DictionaryTables tables = tablesOf({{"Open", "a", "b", "c"}});
    tables.EntryTable[0].Chosen = 2;
    const std::vector<ExchangeEntry> entries = ExchangeEntries(tables);
    QCOMPARE(entries.size(), std::size_t(1));
    QCOMPARE(entries[0].Translations, (std::vector<QString>{QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")}));
}

void TestInterchange::whatEachFormatWrites()
{
    const DictionaryTables tables = tablesOf({{"Open", big5("開啟"), big5("打開")}, {"Cut", "Cut"}, {"a,\"b\"", big5("乙")}});
    ExportOptions options;
    options.Time = QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC);
    options.Name = QStringLiteral("my.dic");
    const std::vector<ExchangeEntry> entries = ExchangeEntries(tables);
    const auto text = [&](ExchangeFormat f) { return QString::fromStdString(ExportEntries(entries, f, options).Bytes); };

    const QString tmx = text(ExchangeFormat::Tmx);
    QVERIFY(tmx.contains(QStringLiteral("creationtool=\"Tavisorn\"")));
    QVERIFY(tmx.contains(QStringLiteral("srclang=\"en-US\"")));
    QVERIFY(tmx.contains(QStringLiteral("creationdate=\"20260102T030405Z\"")));
    QCOMPARE(tmx.count(QStringLiteral("<tu>")), 4); // one per translation
    QCOMPARE(tmx.count(QStringLiteral("xml:lang=\"zh-TW\"")), 3); // none for the untranslated Cut
    QVERIFY(tmx.contains(QStringLiteral("<seg>打開</seg>")));

    const QString po = text(ExchangeFormat::Po);
    QVERIFY(po.contains(QStringLiteral("\"Content-Type: text/plain; charset=UTF-8\\n\"")));
    QVERIFY(po.contains(QStringLiteral("\"PO-Revision-Date: 2026-01-02 03:04+0000\\n\"")));
    QVERIFY(po.contains(QStringLiteral("\n# 另譯：\"打開\"\nmsgid \"Open\"\nmsgstr \"開啟\"\n")));
    QVERIFY(po.contains(QStringLiteral("\nmsgid \"Cut\"\nmsgstr \"\"\n")));
    QVERIFY(po.contains(QStringLiteral("\nmsgid \"a,\\\"b\\\"\"\nmsgstr \"乙\"\n")));

    const QString xliff = text(ExchangeFormat::Xliff);
    QVERIFY(xliff.contains(QStringLiteral("<xliff xmlns=\"urn:oasis:names:tc:xliff:document:1.2\" version=\"1.2\">")));
    QCOMPARE(xliff.count(QStringLiteral("<trans-unit ")), 3); // one per entry
    QVERIFY(xliff.contains(QStringLiteral("<source>Cut</source>\n        <target state=\"needs-translation\"/>")));
    QVERIFY(xliff.contains(QStringLiteral("<alt-trans>\n          <target>打開</target>")));

    QCOMPARE(text(ExchangeFormat::Csv), QStringLiteral("\"source\",\"target\"\r\n"
                                                       "\"Open\",\"開啟\"\r\n"
                                                       "\"Open\",\"打開\"\r\n"
                                                       "\"Cut\",\"\"\r\n"
                                                       "\"a,\"\"b\"\"\",\"乙\"\r\n"));
}

// What a format cannot say is refused with the entry, and nothing written,
// instead of a file that reads back as something else.
void TestInterchange::entriesAFormatCannotCarry()
{
    const std::vector<ExchangeEntry> control = ExchangeEntries(tablesOf({{"ok", "ok"}, {"bell\x07", "x"}}));
    for (const ExchangeFormat f : {ExchangeFormat::Tmx, ExchangeFormat::Xliff}) {
        const ExportOutcome out = ExportEntries(control, f, ExportOptions());
        QCOMPARE(out.Problems.size(), 1);
        QVERIFY2(out.Problems[0].contains(QStringLiteral("第 2 個條目")) && out.Problems[0].contains(QStringLiteral("U+0007")),
                 qPrintable(out.Problems[0]));
        QVERIFY(out.Bytes.empty());
    }
    // PO and CSV carry control characters.
    const ExportOutcome po = ExportEntries(control, ExchangeFormat::Po, ExportOptions());
    QVERIFY(po.Problems.isEmpty());
    QCOMPARE(pairsOf(ParseExchange(po.Bytes, ExchangeFormat::Po)), pairsOf(control));

    const std::vector<ExchangeEntry> emptySource = ExchangeEntries(tablesOf({{"", "x"}}));
    QCOMPARE(ExportEntries(emptySource, ExchangeFormat::Po, ExportOptions()).Problems.size(), 1);
    const std::vector<ExchangeEntry> emptyTranslation = ExchangeEntries(tablesOf({{"Open", ""}}));
    QCOMPARE(ExportEntries(emptyTranslation, ExchangeFormat::Csv, ExportOptions()).Problems.size(), 1);
    // PO marks an empty translation so that it is not read as untranslated.
    const ExportOutcome marked = ExportEntries(emptyTranslation, ExchangeFormat::Po, ExportOptions());
    QCOMPARE(pairsOf(ParseExchange(marked.Bytes, ExchangeFormat::Po)), pairsOf(emptyTranslation));
    for (const ExchangeFormat f : {ExchangeFormat::Tmx, ExchangeFormat::Xliff, ExchangeFormat::Csv}) {
        const ExportOutcome out = ExportEntries(emptySource, f, ExportOptions());
        QCOMPARE(pairsOf(ParseExchange(out.Bytes, f)), pairsOf(emptySource));
    }
    for (const ExchangeFormat f : {ExchangeFormat::Tmx, ExchangeFormat::Xliff}) {
        const ExportOutcome out = ExportEntries(emptyTranslation, f, ExportOptions());
        QCOMPARE(pairsOf(ParseExchange(out.Bytes, f)), pairsOf(emptyTranslation));
    }
}

void TestInterchange::brokenFiles_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const int tmx = int(ExchangeFormat::Tmx), po = int(ExchangeFormat::Po), xliff = int(ExchangeFormat::Xliff),
              csv = int(ExchangeFormat::Csv);
    QTest::newRow("tmx tags crossed") << tmx << QByteArray("<tmx>\n<body>\n<tu><tuv xml:lang=\"en-US\"><seg>a</tuv></seg></tu>\n</body></tmx>")
                                      << QStringLiteral("第 3 行：XML 格式錯誤");
    QTest::newRow("tmx cut off") << tmx << QByteArray("<tmx version=\"1.4\">\n<body>\n<tu>") << QStringLiteral("第 3 行：XML 格式錯誤");
    QTest::newRow("tmx no source") << tmx << QByteArray("<tmx><header srclang=\"en-US\"/><body>\n\n<tu><tuv xml:lang=\"zh-TW\"><seg>x</seg></tuv></tu></body></tmx>")
                                   << QStringLiteral("第 3 行：這個 <tu> 沒有 en-US 的原文。");
    QTest::newRow("tmx given as xliff") << xliff << QByteArray("<?xml version=\"1.0\"?>\n<tmx/>")
                                        << QStringLiteral("第 2 行：這不是 XLIFF 檔");
    QTest::newRow("xliff 2") << xliff << QByteArray("<xliff version=\"2.0\"/>") << QStringLiteral("XLIFF 2.0");
    QTest::newRow("not xml") << tmx << QByteArray("source,target\r\n") << QStringLiteral("第 1 行：XML 格式錯誤");
    QTest::newRow("po open string") << po << QByteArray("msgid \"a\"\nmsgstr \"b\n") << QStringLiteral("第 2 行：字串沒有結束的引號。");
    QTest::newRow("po unknown keyword") << po << QByteArray("msgid \"a\"\nmsgstr \"b\"\n\nmsgfoo \"c\"\n") << QStringLiteral("第 4 行：不認得的「msgfoo」。");
    QTest::newRow("po msgid without msgstr") << po << QByteArray("msgid \"a\"\nmsgid \"b\"\nmsgstr \"\"\n") << QStringLiteral("第 2 行：前一個 msgid 沒有 msgstr。");
    QTest::newRow("po last msgid without msgstr") << po << QByteArray("msgid \"a\"\nmsgstr \"\"\n\nmsgid \"b\"\n") << QStringLiteral("第 4 行：這個 msgid 沒有 msgstr。");
    QTest::newRow("po bad escape") << po << QByteArray("msgid \"a\\q\"\nmsgstr \"\"\n") << QStringLiteral("第 1 行：不認得的跳脫字元 \\q。");
    QTest::newRow("po stray string") << po << QByteArray("\"a\"\n") << QStringLiteral("第 1 行：這個字串不接在");
    QTest::newRow("po big5") << po << QByteArray("msgid \"a\"\nmsgstr \"\xB6\x7D\"\n") << QStringLiteral("第 2 行：不是 UTF-8 文字（位元組 0xB6）");
    QTest::newRow("csv open quote") << csv << QByteArray("source,target\r\na,b\r\n\"c,d\r\ne,f\r\n") << QStringLiteral("第 3 行：引號開始的欄位到檔案結尾都沒有結束的引號。");
    QTest::newRow("csv text after quote") << csv << QByteArray("source,target\r\n\"a\"b,c\r\n") << QStringLiteral("第 2 行：結束的引號後面");
    QTest::newRow("csv three columns") << csv << QByteArray("a,b,c\r\n") << QStringLiteral("第 1 行：標題列有 3 欄");
    QTest::newRow("csv short row") << csv << QByteArray("source,target\nx,y\nlonely\n") << QStringLiteral("第 3 行：這一列有 1 欄，標題列有 2 欄。");
    QTest::newRow("csv utf-16") << csv << QByteArray("\xFF\xFEs\0o\0", 6) << QStringLiteral("檔案是 UTF-16");
    QTest::newRow("csv binary") << csv << QByteArray("source,target\nx,\0y\n", 17) << QStringLiteral("第 2 行：有 NUL 位元組");
}

void TestInterchange::brokenFiles()
{
    QFETCH(int, format);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const ParseOutcome parsed = ParseExchange(std::string_view(bytes.constData(), std::size_t(bytes.size())), ExchangeFormat(format));
    QVERIFY2(parsed.Error.startsWith(expected) || parsed.Error.contains(expected), qPrintable(parsed.Error));
    QVERIFY(parsed.Pairs.empty());
}

// Files as other tools write them: what a dictionary can use is taken.
void TestInterchange::otherToolsDialects()
{
    // PO: header, multi-line strings, context, a draft, plural forms,
    // obsolete entries, escapes.
    const ParseOutcome po = parse("# comment\n"
                                  "msgid \"\"\n"
                                  "msgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                                  "\n"
                                  "#: main.c:12\n"
                                  "msgctxt \"menu\"\n"
                                  "msgid \"\"\n"
                                  "\"&File\"\n"
                                  "msgstr \"檔案\" \"(&F)\"\n"
                                  "#, fuzzy, c-format\n"
                                  "msgid \"%d files\"\n"
                                  "msgid_plural \"%d file(s)\"\n"
                                  "msgstr[0] \"%d 個檔案\"\n"
                                  "\n"
                                  "msgid \"tab\\there\\101\"\n"
                                  "msgstr \"\"\n"
                                  "#~ msgid \"old\"\n"
                                  "#~ msgstr \"舊\"\n",
                                  ExchangeFormat::Po);
    QCOMPARE(po.Error, QString());
    using Pairs = std::vector<std::pair<QString, QString>>;
    QCOMPARE(pairsOf(po), (Pairs{{QStringLiteral("&File"), QStringLiteral("檔案(&F)")},
                                 {QStringLiteral("%d files"), QStringLiteral("%d files")},
                                 {QStringLiteral("%d files"), QStringLiteral("%d 個檔案")},
                                 {QStringLiteral("tab\thereA"), QStringLiteral("tab\thereA")}}));
    QCOMPARE(po.Pairs[0].Line, 7); // the line of its msgid

    // TMX as TMX 1.1 and other tools write it: lang without xml:, srclang
    // "en", several Chinese variants, inline codes.
    const ParseOutcome tmx = parse("<?xml version=\"1.0\"?>\n<!DOCTYPE tmx SYSTEM \"tmx14.dtd\">\n"
                                   "<tmx version=\"1.1\"><header srclang=\"en\"/><body>\n"
                                   "<tu><tuv lang=\"en\"><seg>Open <ph>&amp;</ph>x</seg></tuv>"
                                   "<tuv lang=\"ZH-TW\"><seg>開啟</seg></tuv><tuv lang=\"zh-Hant\"><seg>打開</seg></tuv>"
                                   "<tuv lang=\"de\"><seg>Öffnen</seg></tuv></tu>\n"
                                   "<tu><tuv xml:lang=\"en-GB\"><seg>Cut</seg></tuv></tu></body></tmx>",
                                   ExchangeFormat::Tmx);
    QCOMPARE(tmx.Error, QString());
    QCOMPARE(pairsOf(tmx), (Pairs{{QStringLiteral("Open &x"), QStringLiteral("開啟")},
                                  {QStringLiteral("Open &x"), QStringLiteral("打開")},
                                  {QStringLiteral("Cut"), QStringLiteral("Cut")}}));
    QCOMPARE(tmx.Pairs[2].Line, 5);

    // XLIFF: a PO header kept by a converter, groups, a draft in a unit
    // that needs translation, a missing target.
    const ParseOutcome xliff = parse("<xliff version=\"1.2\" xmlns=\"urn:oasis:names:tc:xliff:document:1.2\"><file><body>\n"
                                     "<trans-unit id=\"0\" restype=\"x-gettext-domain-header\"><source>Project-Id-Version: x\n</source></trans-unit>\n"
                                     "<group><trans-unit id=\"1\"><source>Open</source><target state=\"needs-translation\">開啟?</target></trans-unit></group>\n"
                                     "<trans-unit id=\"2\"><source>Cut</source></trans-unit>\n"
                                     "<trans-unit id=\"4\"><source>Paste</source><target></target></trans-unit>\n"
                                     "<trans-unit id=\"3\"><source>Copy</source><target state=\"needs-review-translation\">複製</target>"
                                     "<alt-trans><source>Copy</source><target>拷貝</target></alt-trans></trans-unit>\n"
                                     "</body></file></xliff>",
                                     ExchangeFormat::Xliff);
    QCOMPARE(xliff.Error, QString());
    QCOMPARE(pairsOf(xliff), (Pairs{{QStringLiteral("Open"), QStringLiteral("Open")},
                                    {QStringLiteral("Open"), QStringLiteral("開啟?")},
                                    {QStringLiteral("Cut"), QStringLiteral("Cut")},
                                    {QStringLiteral("Paste"), QStringLiteral("Paste")},
                                    {QStringLiteral("Copy"), QStringLiteral("複製")},
                                    {QStringLiteral("Copy"), QStringLiteral("拷貝")}}));

    // CSV with a byte order mark, named columns in another order, LF line
    // ends, a quoted line break (kept: the import refuses it with its line).
    const ParseOutcome csv = parse("\xEF\xBB\xBFlocation,target,source\nm.c:1,開啟,Open\n,,Cut\n,\"a\nb\",Two\n", ExchangeFormat::Csv);
    QCOMPARE(csv.Error, QString());
    QCOMPARE(pairsOf(csv), (Pairs{{QStringLiteral("Open"), QStringLiteral("開啟")},
                                  {QStringLiteral("Cut"), QStringLiteral("Cut")},
                                  {QStringLiteral("Two"), QStringLiteral("a\nb")}}));
    QCOMPARE(csv.Pairs[2].Line, 4);
}

QTEST_GUILESS_MAIN(TestInterchange)
#include "test_interchange.moc"
