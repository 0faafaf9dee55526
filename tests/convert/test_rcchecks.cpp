// The checks of a translated resource script: hot keys that clash within a
// menu level or a dialog, and texts wider than their control under the
// 9-point Ming font.

#include "convert/rcchecks.h"

#include <QTest>

class TestRcChecks : public QObject {
    Q_OBJECT
private slots:
    void findings();
    void widths();
};

namespace {

QByteArrayList shown(const std::vector<RcFinding> &findings)
{
    QByteArrayList out;
    for (const RcFinding &f : findings)
        out << QByteArray(CheckKey(f.Kind)) + ' ' + QByteArray::fromStdString(f.Block) + ' '
                   + QByteArray::fromStdString(f.Text) + ' ' + QByteArray::number(f.Line);
    return out;
}

} // namespace

void TestRcChecks::findings()
{
    // 剪下(&T) and 時間(&T) clash on one level; the popup's own &T one level
    // up does not. A commented-out header names no block; "&&" is no hot
    // key; 丑 (A4 26) ends in the byte of "&".
    const QByteArray rc = "/* Menu 'Main' */\r\n"
                          "IDR_MAIN MENU\r\n"
                          "BEGIN\r\n"
                          "    POPUP \"\xBD\x73\xBF\xE8(&T)\"\r\n"
                          "    BEGIN\r\n"
                          "        MENUITEM \"\xB0\xC5\xA4\x55(&T)\\tCtrl+X\", 1\r\n"
                          "        MENUITEM SEPARATOR\r\n"
                          "        MENUITEM \"\xAE\xC9\xB6\xA1(&T)\", 2 // time\r\n"
                          "        MENUITEM \"A && B\", 3\r\n"
                          "        MENUITEM \"\xA4\x26x\", 4\r\n"
                          "    END\r\n"
                          "END\r\n"
                          "\r\n"
                          "IDD_FIND DIALOGEX 0, 0, 200, 60\r\n"
                          "CAPTION \"&Find\"\r\n"
                          "BEGIN\r\n"
                          "    LTEXT \"\xB7\x6A\xB4\x4D\xA5\xD8\xBC\xD0(&N)\xA1\x47\", -1, 7, 8, 37, 10\r\n"
                          "    LTEXT \"Two lines of text\", -1, 7, 20, 40, 16\r\n"
                          "    CONTROL \"&Keys and values\", 5, \"Button\", BS_AUTOCHECKBOX |\r\n"
                          "            WS_TABSTOP, 7, 40, 70, 10\r\n"
                          "    DEFPUSHBUTTON \"&Next\", 1, 150, 8, 45, 14\r\n"
                          "END\r\n";
    QCOMPARE(shown(CheckResourceScript(rc.toStdString())),
             (QByteArrayList{"hotkey-clash IDR_MAIN \xB0\xC5\xA4\x55(&T)\\tCtrl+X 6",
                             "hotkey-clash IDR_MAIN \xAE\xC9\xB6\xA1(&T) 8",
                             "too-wide IDD_FIND \xB7\x6A\xB4\x4D\xA5\xD8\xBC\xD0(&N)\xA1\x47 17",
                             "hotkey-clash IDD_FIND \xB7\x6A\xB4\x4D\xA5\xD8\xBC\xD0(&N)\xA1\x47 17",
                             // The check box's continued statement: 60 units of text, 58 of room.
                             "too-wide IDD_FIND &Keys and values 19",
                             "hotkey-clash IDD_FIND &Next 21"}));
}

void TestRcChecks::widths()
{
    QCOMPARE(DialogTextWidth("&Open"), 16);
    QCOMPARE(DialogTextWidth("A && B"), 20);
    QCOMPARE(DialogTextWidth("\xB6\x7D\xB1\xD2(&O)"), 28);
    QCOMPARE(DialogTextWidth("Say \"\"hi\"\""), 32);
}

QTEST_GUILESS_MAIN(TestRcChecks)
#include "test_rcchecks.moc"
