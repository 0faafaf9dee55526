// The checks of one translation against its source, at the edges of each
// rule. Texts are Big5 bytes as they stand in a resource script.

#include "dictionary/checks.h"

#include <QTest>

class TestChecks : public QObject {
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
    void hotkeyLetter();
};

void TestChecks::rules_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("translation");
    QTest::addColumn<QByteArray>("found"); // keys in kind order, a blank between

    const auto row = [](const char *name, const char *source, const char *translation, const char *keys) {
        QTest::newRow(name) << QByteArray(source) << QByteArray(translation) << QByteArray(keys);
    };
    // 開啟 (&O) ... 版面設定
    row("same hot key in (&X) form", "&Open...", "\xB6\x7D\xB1\xD2(&O)...", "");
    row("hot key letters differ in case only", "&open", "\xB6\x7D\xB1\xD2(&O)", "");
    row("hot key letter differs", "Page Set&up...", "\xAA\xA9\xAD\xB1\xB3\x5D\xA9\x77(&T)...", "hotkey-letter");
    row("hot key missing", "&Save", "\xC0\x78\xA6\x73", "hotkey-missing");
    row("&& is no hot key", "Tom && Jerry", "Tom && Jerry (&T)", "hotkey-extra");
    row("a trailing & is no hot key", "Save &", "\xC0\x78\xA6\x73", "");
    // 許 ends in 0x5C and 功 ends in 0x5C: neither starts an escape.
    row("Big5 second byte 0x5C before t", "Permit", "\xB3\x5Ct", "");
    row("shortcut kept", "&Copy\\tCtrl+C", "\xBD\xC6\xBB\x73(&C)\\tCtrl+C", "");
    row("shortcut changed", "&Copy\\tCtrl+C", "\xBD\xC6\xBB\x73(&C)\\tCtrl+X", "shortcut");
    row("shortcut dropped", "&Copy\\tCtrl+C", "\xBD\xC6\xBB\x73(&C)", "shortcut");
    row("escaped backslash then t is no shortcut", "C:\\\\temp", "C:\\\\temp\\tX", "shortcut");
    row("%% is no placeholder", "100%% done", "\xA7\xB9\xA6\xA8 100%%", "");
    row("prose percent is no placeholder", "50% of it", "\xA4\x40\xA5\x62 50%", "");
    row("flags and widths", "%-5d of %08lX", "%-5d / %08lX", "");
    row("width changed", "%-5d items", "%d \xB6\xB5", "placeholder");
    // A plain width is no numbered placeholder: the printf order still counts.
    row("width without flag, order changed", "%5d of %s", "%s \xAA\xBA %5d", "placeholder");
    row("printf order counts", "%s in %d", "%d \xA4\xA4\xAA\xBA %s", "placeholder");
    row("numbered order does not", "%1 in %2", "%2 \xA4\xA4\xAA\xBA %1", "");
    row("numbered one lost", "%1 in %2", "%2", "placeholder");
    row("newline lost", "Line one\\nLine two", "\xB2\xC4\xA4\x40\xA6\xE6", "escape");
    row("doubled quotes kept", "Say \"\"hi\"\"", "\xBB\xA1 \"\"hi\"\"", "");
    row("three dots against the Big5 ellipsis", "Find...", "\xB4\x4D\xA7\xE4\xA1\x4B", "");
    row("colon against full-width colon", "Name:", "\xA6\x57\xBA\xD9\xA1\x47", "");
    row("ellipsis before the marker", "Save &As...", "\xA5\x74\xA6\x73\xB7\x73\xC0\xC9...(&A)", "");
    row("ellipsis lost", "Save &As...", "\xA5\x74\xA6\x73\xB7\x73\xC0\xC9(&A)", "ending");
    row("ellipsis added", "Options", "\xBF\xEF\xB6\xB5...", "ending");
    // 丑 (A4 A1) then K: the bytes A1 4B end the text, but no 「…」 does.
    row("a character's second byte is no ellipsis", "Block", "\xA4\xA1K", "");
    row("ellipsis before the shortcut", "&Find...\\tCtrl+F", "\xB4\x4D\xA7\xE4(&F)\\tCtrl+F", "ending");
    row("trailing blank lost", "Name: ", "\xA6\x57\xBA\xD9\xA1\x47", "spaces");
    row("untranslated only", "&File", "&File", "untranslated");
}

void TestChecks::rules()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, translation);
    QFETCH(QByteArray, found);
    QByteArrayList keys;
    for (const CheckKind kind : CheckTranslation(source.toStdString(), translation.toStdString()).kinds())
        keys << CheckKey(kind);
    QCOMPARE(keys.join(' '), found);
}

void TestChecks::hotkeyLetter()
{
    QCOMPARE(HotkeyLetterOf("E&xit"), std::string("X"));
    QCOMPARE(HotkeyLetterOf("a && b &c"), std::string("C"));
    // A Chinese hot-key letter is read whole, also when its second byte is "&".
    QCOMPARE(HotkeyLetterOf("&\xA4\x26x"), std::string("\xA4\x26"));
    QCOMPARE(HotkeyLetterOf("\xA4\x26x"), std::string());
    QCOMPARE(HotkeyLetterOf("end&"), std::string());
}

QTEST_GUILESS_MAIN(TestChecks)
#include "test_checks.moc"
