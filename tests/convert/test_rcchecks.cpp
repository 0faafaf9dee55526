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
    void whereAndHowWide();
    void hostileNumbers();
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

// What a reviewer needs to act: the letter and the menu path or the
// dialog's caption of a clash; the width, the room and the font of a text
// too wide; a softer too-tight within 2 units of the room; no-wrap statics
// measured on one line; owner-drawn buttons, whose text is never drawn,
// not measured at all.
void TestRcChecks::whereAndHowWide()
{
    // 檔案(&F) > 匯出(&E) > 圖片(&P), 頁面(&P)
    const QByteArray rc = "IDR_MAIN MENU\r\n"
                          "BEGIN\r\n"
                          "    POPUP \"\xC0\xC9\xAE\xD7(&F)\"\r\n"
                          "    BEGIN\r\n"
                          "        POPUP \"\xB6\xD7\xA5\x58(&E)\"\r\n"
                          "        BEGIN\r\n"
                          "            MENUITEM \"\xB9\xCF\xA4\xF9(&P)\", 1\r\n"
                          "            MENUITEM \"\xAD\xB6\xAD\xB1(&P)\", 2\r\n"
                          "        END\r\n"
                          "    END\r\n"
                          "END\r\n"
                          "IDD_OPTS DIALOGEX 0, 0, 200, 60\r\n"
                          "CAPTION \"&Options\"\r\n"
                          "BEGIN\r\n"
                          "    LTEXT \"&Name\", -1, 7, 8, 17, 20, SS_LEFTNOWORDWRAP\r\n"
                          "    LTEXT \"&Next\", -1, 7, 30, 18, 10\r\n"
                          "    PUSHBUTTON \"Graph of all\", 3, 7, 40, 10, 10, BS_OWNERDRAW\r\n"
                          "    CONTROL \"Graph of all\", 4, \"Button\", BS_OWNERDRAW | WS_TABSTOP, 7, 50, 10, 10\r\n"
                          "    PUSHBUTTON \"Graph of all\", 5, 7, 40, 10, 37, NOT WS_TABSTOP, WS_EX_CLIENTEDGE\r\n"
                          "    LTEXT \"Wraps onto two\", -1, 7, 20, 30, 16\r\n"
                          "END\r\n";
    const std::vector<RcFinding> found = CheckResourceScript(rc.toStdString());
    QStringList shownFindings;
    for (const RcFinding &f : found)
        shownFindings << QStringLiteral("%1 %2 %3").arg(QLatin1String(CheckKey(f.Kind)), QString::number(f.Line),
                                                        RcFindingDetail(f));
    QCOMPARE(shownFindings, (QStringList{
        QStringLiteral("hotkey-clash 7 熱鍵 P，在 檔案 > 匯出"),
        QStringLiteral("hotkey-clash 8 熱鍵 P，在 檔案 > 匯出"),
        // 16 units of text: one line of 17, though the static is 20 high.
        QStringLiteral("too-tight 15 寬 16，控制項容得下 17（以 新細明體 9 點 計）"),
        QStringLiteral("hotkey-clash 15 熱鍵 N，在 Options"),
        QStringLiteral("too-tight 16 寬 16，控制項容得下 18（以 新細明體 9 點 計）"),
        QStringLiteral("hotkey-clash 16 熱鍵 N，在 Options"),
    }));
    QCOMPARE(found[0].Taken, std::vector<std::string>{"P"});
    // The English script of the same lines gives the letter: 頁面 was "Pa&ge".
    std::string english = rc.toStdString();
    english.replace(english.find("\xAD\xB6\xAD\xB1(&P)"), 8, "Pa&ge");
    const std::map<int, std::string> texts = ResourceTextsByLine(english);
    QCOMPARE(texts.at(8), std::string("Pa&ge"));
    QCOMPARE(texts.at(13), std::string("&Options"));
    // Only the lines asked for, each as the whole reading has it.
    const std::map<int, std::string> two = ResourceTextsByLine(english, [](int line) { return line == 8 || line == 13; });
    QCOMPARE(two, (std::map<int, std::string>{{8, texts.at(8)}, {13, texts.at(13)}}));
    QCOMPARE(SuggestedFix(CheckKind::HotkeyClash, texts.at(8), found[1].Text, found[1].Taken),
             std::optional<std::string>("\xAD\xB6\xAD\xB1(&G)"));
    // The one clash's fix: a free letter as its one hot key.
    QCOMPARE(SuggestedFix(CheckKind::HotkeyClash, found[1].Text, found[1].Text, found[1].Taken),
             std::optional<std::string>("\xAD\xB6\xAD\xB1(&A)"));
}

// Sizes of two billion units and more, and a text far wider than any control:
// every sum stays in range and the finding says what it found.
void TestRcChecks::hostileNumbers()
{
    const std::string rc = "IDD_X DIALOGEX 0, 0, 10, 10\r\nBEGIN\r\n"
                           "    LTEXT \"Fits easily\", -1, 0, 0, 2000000000, 2000000000\r\n"
                           "    LTEXT \"Fits too\", -1, 0, 0, 99999999999999999999, 16\r\n"
                           "    PUSHBUTTON \"Tiny\", 1, 0, 0, -2000000000, 14\r\n"
                           "END\r\n";
    const std::vector<RcFinding> found = CheckResourceScript(rc);
    QCOMPARE(found.size(), std::size_t(1));
    QCOMPARE(found[0].Kind, CheckKind::TooWide);
    QCOMPARE(found[0].Line, 5);
    QCOMPARE(found[0].Room, -kMaxUnits);

    const std::string wide(300'000, 'W');
    QCOMPARE(DialogTextWidth(wide), kMaxUnits);
    const std::string script = "IDD_Y DIALOGEX 0, 0, 10, 10\r\nBEGIN\r\n    LTEXT \"" + wide
                               + "\", -1, 0, 0, 2000000000, 8\r\nEND\r\n";
    const std::vector<RcFinding> wideFound = CheckResourceScript(script);
    QCOMPARE(wideFound.size(), std::size_t(1));
    QCOMPARE(wideFound[0].Kind, CheckKind::TooTight);
    QCOMPARE(wideFound[0].Width, kMaxUnits);
}

QTEST_GUILESS_MAIN(TestRcChecks)
#include "test_rcchecks.moc"
