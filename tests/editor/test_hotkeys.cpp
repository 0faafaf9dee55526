#include "editor/hotkeys.h"

#include "platform/codepage.h"

#include <QLineEdit>
#include <QTest>

namespace {

std::string B(const QString &text)
{
    return cp950::encode(text).value();
}

ChoiceEdit at(const QString &text, qsizetype start, qsizetype length = 0)
{
    return {text, start, length};
}

} // namespace

class TestHotKeys : public QObject {
    Q_OBJECT
private slots:
    void hotKeyLetter_data();
    void hotKeyLetter();
    void shortcutText();
    void insertion();
    void commandsSetModified();
    void workedExample();
    void lineEditRoundTrip();
};

void TestHotKeys::hotKeyLetter_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("letter"); // empty: none
    QTest::newRow("pair skipped") << QStringLiteral("Save && E&xit") << QStringLiteral("X");
    QTest::newRow("upper-cased") << QStringLiteral("&file") << QStringLiteral("F");
    QTest::newRow("capital kept") << QStringLiteral("&Open...\\tCtrl+O") << QStringLiteral("O");
    QTest::newRow("digit") << QStringLiteral("Item &1") << QStringLiteral("1");
    QTest::newRow("first of two") << QStringLiteral("&a&b") << QStringLiteral("A");
    QTest::newRow("Chinese letter") << QStringLiteral("檔案&開") << QStringLiteral("開");
    QTest::newRow("lone final") << QStringLiteral("Fish &") << QString();
    QTest::newRow("pair then final") << QStringLiteral("A && B &") << QString();
    QTest::newRow("only pairs") << QStringLiteral("R&&D") << QString();
    QTest::newRow("triple") << QStringLiteral("&&&x") << QStringLiteral("X");
    QTest::newRow("none") << QStringLiteral("Exit") << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestHotKeys::hotKeyLetter()
{
    QFETCH(QString, source);
    QFETCH(QString, letter);
    const std::optional<QString> got = HotKeyLetter(B(source));
    QCOMPARE(got.has_value(), !letter.isEmpty());
    if (got)
        QCOMPARE(*got, letter);
}

void TestHotKeys::shortcutText()
{
    QCOMPARE(ShortcutText(std::string("Print\\tCtrl+P\\tAlt+P")).value(), QStringLiteral("Alt+P"));
    QCOMPARE(ShortcutText(std::string("&Open...\\tCtrl+O")).value(), QStringLiteral("Ctrl+O"));
    QCOMPARE(ShortcutText(std::string("Trailing\\t")).value(), QString());
    QVERIFY(!ShortcutText(std::string("No shortcut")).has_value());
    QVERIFY(!ShortcutText(std::string("Tab\tchar")).has_value()); // a real tab is not the escape
    // 許 is B3 5C: its second byte followed by "t" is no escape.
    QVERIFY(!ShortcutText(std::string("\xB3\x5Ctest")).has_value());
    QCOMPARE(ShortcutText(std::string("\xB3\x5C\\tF1")).value(), QStringLiteral("F1"));

    QCOMPARE(ShortcutSuffix(QStringLiteral("Alt+P")), QStringLiteral("\\tAlt+P"));
    QCOMPARE(HotKeyMarker(QStringLiteral("L"), true), QStringLiteral(" (&L)"));
    QCOMPARE(HotKeyMarker(QStringLiteral("L"), false), QStringLiteral("(&L)"));
}

void TestHotKeys::insertion()
{
    bool modified = false;
    // At the caret in the middle; the caret ends after the marker.
    ChoiceEdit edit = at(QStringLiteral("開啟舊檔"), 2);
    QVERIFY(InsertHotKey(edit, "&Open", true, modified));
    QCOMPARE(edit.Text, QStringLiteral("開啟 (&O)舊檔"));
    QCOMPARE(edit.SelStart, qsizetype(7));
    QCOMPARE(edit.SelLength, qsizetype(0));

    // Over a selection, without the blank: exactly the selected characters go.
    edit = at(QStringLiteral("開啟舊檔"), 1, 2);
    QVERIFY(InsertHotKey(edit, "&Open", false, modified));
    QCOMPARE(edit.Text, QStringLiteral("開(&O)檔"));
    QCOMPARE(edit.SelStart, qsizetype(5));
    QCOMPARE(edit.SelLength, qsizetype(0));

    // Shortcut over a selection at the start.
    edit = at(QStringLiteral("列印XX"), 2, 2);
    QVERIFY(InsertShortcut(edit, "Print\\tCtrl+P\\tAlt+P", modified));
    QCOMPARE(edit.Text, QStringLiteral("列印\\tAlt+P"));
    QCOMPARE(edit.SelStart, qsizetype(2 + 2 + 5));

    // A selection reaching past the end is cut to the text.
    edit = at(QStringLiteral("ab"), 1, 40);
    ReplaceSelection(edit, QStringLiteral("Z"));
    QCOMPARE(edit.Text, QStringLiteral("aZ"));
    QCOMPARE(edit.SelStart, qsizetype(2));
    edit = at(QStringLiteral("ab"), 9);
    ReplaceSelection(edit, QStringLiteral("Z"));
    QCOMPARE(edit.Text, QStringLiteral("abZ"));

    // A Chinese hot-key letter is one character.
    edit = at(QString(), 0);
    QVERIFY(InsertHotKey(edit, B(QStringLiteral("檔案&開")), true, modified));
    QCOMPARE(edit.Text, QStringLiteral(" (&開)"));
    QCOMPARE(edit.SelStart, qsizetype(5));
}

void TestHotKeys::commandsSetModified()
{
    // Nothing to insert: the text and caret stay, Modified becomes true anyway.
    bool modified = false;
    ChoiceEdit edit = at(QStringLiteral("結束"), 1, 1);
    QVERIFY(!InsertHotKey(edit, "Exit", true, modified));
    QVERIFY(modified);
    QCOMPARE(edit.Text, QStringLiteral("結束"));
    QCOMPARE(edit.SelStart, qsizetype(1));
    QCOMPARE(edit.SelLength, qsizetype(1));

    modified = false;
    QVERIFY(!InsertHotKey(edit, "Fish &", true, modified));
    QVERIFY(modified);
    QCOMPARE(edit.Text, QStringLiteral("結束"));

    modified = false;
    QVERIFY(!InsertShortcut(edit, "E&xit", modified));
    QVERIFY(modified);
    QCOMPARE(edit.Text, QStringLiteral("結束"));

    modified = false;
    QVERIFY(!InsertHotKeyAndShortcut(edit, "Exit", false, modified));
    QVERIFY(modified);
    QCOMPARE(edit.Text, QStringLiteral("結束"));
}

void TestHotKeys::workedExample()
{
    bool modified = false;
    ChoiceEdit edit = at(QStringLiteral("開啟舊檔"), 4);
    QVERIFY(InsertHotKey(edit, "&Open...\\tCtrl+O", true, modified));
    QCOMPARE(edit.Text, QStringLiteral("開啟舊檔 (&O)"));
    QVERIFY(InsertShortcut(edit, "&Open...\\tCtrl+O", modified));
    QCOMPARE(edit.Text, QStringLiteral("開啟舊檔 (&O)\\tCtrl+O"));
    QCOMPARE(edit.SelStart, edit.Text.size());
    QVERIFY(modified);

    // Both at once, with the caret before existing text: the shortcut follows the marker.
    edit = at(QStringLiteral("開啟舊檔!"), 4);
    QVERIFY(InsertHotKeyAndShortcut(edit, "&Open...\\tCtrl+O", false, modified));
    QCOMPARE(edit.Text, QStringLiteral("開啟舊檔(&O)\\tCtrl+O!"));
    QCOMPARE(edit.SelStart, qsizetype(4 + 4 + 8));

    // Only a shortcut in the source: both-command still inserts it.
    edit = at(QStringLiteral("說明"), 2);
    QVERIFY(InsertHotKeyAndShortcut(edit, "Help\\tF1", true, modified));
    QCOMPARE(edit.Text, QStringLiteral("說明\\tF1"));

    // Used again on a translation that has them: one hot key and one
    // shortcut, never two; a different letter gives way too.
    edit = at(QStringLiteral("結束(&X)"), 4);
    QVERIFY(InsertHotKey(edit, "E&xit", false, modified));
    QCOMPARE(edit.Text, QStringLiteral("結束(&X)"));
    edit = at(QStringLiteral("結束 (&Q)"), 2);
    QVERIFY(InsertHotKey(edit, "E&xit", true, modified));
    QCOMPARE(edit.Text, QStringLiteral("結束 (&X)"));
    edit = at(QStringLiteral("開新檔案(&N)\\tCtrl+N"), 16);
    QVERIFY(InsertHotKeyAndShortcut(edit, "&New\\tCtrl+N", false, modified));
    QCOMPARE(edit.Text, QStringLiteral("開新檔案(&N)\\tCtrl+N"));
    edit = at(QStringLiteral("A && B"), 6);
    QVERIFY(InsertHotKey(edit, "&A and B", false, modified));
    QCOMPARE(edit.Text, QStringLiteral("A && B(&A)"));
}

void TestHotKeys::lineEditRoundTrip()
{
    QLineEdit field;
    field.setText(QStringLiteral("開啟舊檔"));
    field.setSelection(1, 2);
    ChoiceEdit edit = ReadChoiceEdit(field);
    QCOMPARE(edit.SelStart, qsizetype(1));
    QCOMPARE(edit.SelLength, qsizetype(2));
    bool modified = false;
    InsertHotKey(edit, "&Open", true, modified);
    ApplyChoiceEdit(field, edit);
    QCOMPARE(field.text(), QStringLiteral("開 (&O)檔"));
    QVERIFY(!field.hasSelectedText());
    QCOMPARE(field.cursorPosition(), 6);

    field.setCursorPosition(0);
    edit = ReadChoiceEdit(field);
    QCOMPARE(edit.SelStart, qsizetype(0));
    QCOMPARE(edit.SelLength, qsizetype(0));
}

QTEST_MAIN(TestHotKeys)
#include "test_hotkeys.moc"
