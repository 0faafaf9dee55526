// Dialogs and menus laid out for their pictures: dialog units to pixels for
// two fonts, what each control is, the problems marked on it, and the names
// of the picture files.

#include "convert/rclayout.h"

#include "convert/rcchecks.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <QTest>

class TestRcLayout : public QObject {
    Q_OBJECT
private slots:
    void geometry();
    void dialog();
    void menu();
    void fileNames();
    void unicodeScripts();
    void corpus();
};

namespace {

const char *const Ming = "\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9"; // 新細明體

const LaidControl &at(const LaidDialog &d, int line)
{
    for (const LaidControl &c : d.Controls)
        if (c.Line == line)
            return c;
    qFatal("no control on line %d", line);
}

} // namespace

void TestRcLayout::geometry()
{
    const BaseUnits ming = BaseUnitsOf(Ming, 9);
    const BaseUnits shell = BaseUnitsOf("MS Shell Dlg", 8);
    QCOMPARE(ming, (BaseUnits{6, 12}));
    QCOMPARE(shell, (BaseUnits{6, 13}));
    QCOMPARE(BaseUnitsOf("PMingLiU", 12), (BaseUnits{8, 16}));
    QCOMPARE(BaseUnitsOf("Tahoma", 0), SystemFontUnits);

    // Edges are turned one by one: x 7 -> 10.5 rounds up to 11, the right
    // edge 44 -> 66, so 37 units are 55 pixels here and not 56.
    QCOMPARE(ToPixels(QRect(7, 8, 37, 10), ming), QRect(11, 12, 55, 15));
    QCOMPARE(ToPixels(QRect(7, 8, 37, 10), shell), QRect(11, 13, 55, 16));
    // Neighbours meet: the second starts where the first ends.
    QCOMPARE(ToPixels(QRect(0, 0, 5, 5), ming).right() + 1, ToPixels(QRect(5, 0, 5, 5), ming).left());

    // The dialog's own FONT decides; the font switch turns FONT 8 into
    // 新細明體 9; no FONT means the system font.
    const QByteArray rc = "IDD_A DIALOGEX 0, 0, 100, 40\r\n"
                          "FONT 8, \"MS Shell Dlg\", 400, 0, 0x1\r\n"
                          "BEGIN\r\n    LTEXT \"x\", -1, 0, 0, 40, 8\r\nEND\r\n"
                          "IDD_B DIALOG DISCARDABLE 0, 0, 100, 40\r\n"
                          "BEGIN\r\n    LTEXT \"x\", -1, 0, 0, 40, 8\r\nEND\r\n";
    const LaidResources plain = LayOutResources(rc.toStdString());
    QCOMPARE(plain.Dialogs.size(), std::size_t(2));
    QCOMPARE(plain.Dialogs[0].Units, shell);
    QCOMPARE(plain.Dialogs[0].Client, QSize(150, 65));
    QVERIFY(!plain.Dialogs[0].FontSwitched);
    QCOMPARE(plain.Dialogs[1].Units, SystemFontUnits);
    QVERIFY(!plain.Dialogs[0].HasCaption); // neither CAPTION nor WS_CAPTION
    QCOMPARE(plain.Dialogs[1].Client, QSize(200, 80));
    const LaidResources switched = LayOutResources(rc.toStdString(), true);
    QCOMPARE(switched.Dialogs[0].Units, ming);
    QCOMPARE(switched.Dialogs[0].FontFace, std::string(Ming));
    QCOMPARE(switched.Dialogs[0].Client, QSize(150, 60));
    QCOMPARE(switched.Dialogs[0].Controls[0].Pixels, QRect(0, 0, 60, 12));
    QCOMPARE(switched.Dialogs[1].Units, SystemFontUnits);
}

void TestRcLayout::dialog()
{
    // Line 5: 尋找目標(&N)： is 52 units wide in 37 (too wide) and clashes
    // with line 9's &N; lines 7 and 8 overlap; the combo box's list reaches
    // over line 10 but its closed box does not; the group box holds line 11
    // without overlapping it; the ICON needs no size.
    const QByteArray rc = "IDD_FIND DIALOGEX 0, 0, 200, 100\r\n"
                          "CAPTION \"\xB4\x4D\xA7\xE4\"\r\n"
                          "FONT 9, \"\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9\"\r\n"
                          "BEGIN\r\n"
                          "    LTEXT \"\xB4\x4D\xA7\xE4\xA5\xD8\xBC\xD0(&N)\xA1\x47\", -1, 7, 8, 37, 10\r\n"
                          "    EDITTEXT 10, 47, 7, 100, 13, ES_AUTOHSCROLL\r\n"
                          "    CONTROL \"&Keys\", 11, \"Button\", BS_AUTOCHECKBOX |\r\n"
                          "            WS_TABSTOP, 14, 36, 40, 8\r\n"
                          "    AUTORADIOBUTTON \"&Values\", 12, 50, 36, 40, 8\r\n"
                          "    DEFPUSHBUTTON \"&Next\", 1, 150, 8, 45, 14\r\n"
                          "    COMBOBOX 13, 47, 50, 100, 60, CBS_DROPDOWNLIST\r\n"
                          "    CTEXT \"ok\", -1, 47, 64, 20, 8\r\n"
                          "    GROUPBOX \"Look\", -1, 7, 60, 30, 30\r\n"
                          "    RTEXT \"in\", -1, 10, 70, 20, 8\r\n"
                          "    ICON IDI_APP, -1, 160, 60\r\n"
                          "    CONTROL \"\", 14, \"SysListView32\", WS_BORDER, 100+10, 80, 40, 10\r\n"
                          "END\r\n";
    const LaidResources laid = LayOutResources(rc.toStdString());
    QCOMPARE(laid.Dialogs.size(), std::size_t(1));
    const LaidDialog &d = laid.Dialogs[0];
    QCOMPARE(d.Name, std::string("IDD_FIND"));
    QCOMPARE(d.Caption, std::string("\xB4\x4D\xA7\xE4"));
    QVERIFY(d.HasCaption);
    QCOMPARE(d.Units, (BaseUnits{6, 12}));
    QCOMPARE(d.Controls.size(), std::size_t(11));
    QCOMPARE(d.Unreadable, 0);

    const LaidControl &label = at(d, 5);
    QCOMPARE(label.Shape, ControlShape::Text);
    QVERIFY(label.TooWide);
    QCOMPARE(label.TextWidth, 52);
    QCOMPARE(label.Room, 37);
    QCOMPARE(label.OverflowPixels, 23); // 15 units at 6 pixels per 4, rounded
    QCOMPARE(label.Clash, std::string("N"));
    QVERIFY(!label.Overlaps);

    QCOMPARE(at(d, 6).Shape, ControlShape::Edit);
    QVERIFY(at(d, 6).Text.empty());
    QCOMPARE(at(d, 7).Shape, ControlShape::CheckBox);
    QCOMPARE(at(d, 7).Units, QRect(14, 36, 40, 8));
    QVERIFY(at(d, 7).Overlaps);
    QCOMPARE(at(d, 9).Shape, ControlShape::RadioButton);
    QVERIFY(at(d, 9).Overlaps);
    QCOMPARE(at(d, 10).Shape, ControlShape::DefaultButton);
    QCOMPARE(at(d, 10).Align, TextAlign::Center);
    QCOMPARE(at(d, 10).Clash, std::string("N"));
    QVERIFY(!at(d, 10).TooWide);
    QCOMPARE(at(d, 11).Shape, ControlShape::ComboBox);
    QVERIFY(!at(d, 11).Overlaps);
    QCOMPARE(at(d, 12).Align, TextAlign::Center);
    QVERIFY(!at(d, 12).Overlaps);
    QCOMPARE(at(d, 13).Shape, ControlShape::GroupBox);
    QVERIFY(!at(d, 13).Overlaps);
    QCOMPARE(at(d, 14).Align, TextAlign::Right);
    QVERIFY(!at(d, 14).Overlaps);
    QCOMPARE(at(d, 15).Shape, ControlShape::Icon);
    QCOMPARE(at(d, 15).Units.topLeft(), QPoint(160, 60));
    QCOMPARE(at(d, 16).Shape, ControlShape::Other);
    QCOMPARE(at(d, 16).Class, std::string("SysListView32"));
    QCOMPARE(at(d, 16).Units.x(), 110);

    const ProblemCount n = ProblemsOf(d);
    QCOMPARE(n.TooWide, 1);
    QCOMPARE(n.Clashes, 2);
    QCOMPARE(n.Overlaps, 2);

    // "" is a quote, \t a tab; the 0x5C second byte of 功 (A5 5C) escapes nothing.
    QCOMPARE(ShownText("say \"\"hi\"\"\\tnow \xA5\x5C\\n"), std::string("say \"hi\"\tnow \xA5\x5C\n"));
}

void TestRcLayout::menu()
{
    const QByteArray rc = "IDR_MAIN MENU\r\n"
                          "BEGIN\r\n"
                          "    POPUP \"&File\"\r\n"
                          "    BEGIN\r\n"
                          "        MENUITEM \"&Open...\\tCtrl+O\", 1\r\n"
                          "        MENUITEM SEPARATOR\r\n"
                          "        POPUP \"&Recent\"\r\n"
                          "        BEGIN\r\n"
                          "            MENUITEM \"One\", 2\r\n"
                          "        END\r\n"
                          "        MENUITEM \"E&xit\", 3\r\n"
                          "        MENUITEM \"&Oops\", 4\r\n"
                          "    END\r\n"
                          "    MENUITEM \"&Help\", 5\r\n"
                          "END\r\n"
                          "IDR_EX MENUEX\r\n"
                          "BEGIN\r\n"
                          "    POPUP \"&View\", 0, 0, 0\r\n"
                          "    BEGIN\r\n"
                          "        MENUITEM \"\", 0, MFT_SEPARATOR\r\n"
                          "    END\r\n"
                          "END\r\n";
    const LaidResources laid = LayOutResources(rc.toStdString());
    QCOMPARE(laid.Menus.size(), std::size_t(2));
    const LaidMenu &m = laid.Menus[0];
    QCOMPARE(m.Name, std::string("IDR_MAIN"));
    QCOMPARE(m.Bar.size(), std::size_t(2));
    const MenuItem &file = m.Bar[0];
    QVERIFY(file.isPopup());
    QCOMPARE(file.Items.size(), std::size_t(5));
    QCOMPARE(file.Items[0].Text, std::string("&Open..."));
    QCOMPARE(file.Items[0].Shortcut, std::string("Ctrl+O"));
    QCOMPARE(file.Items[0].Clash, std::string("O"));
    QVERIFY(file.Items[1].Separator);
    QCOMPARE(file.Items[2].Items.size(), std::size_t(1));
    QVERIFY(file.Items[3].Clash.empty());
    QCOMPARE(file.Items[4].Clash, std::string("O"));
    QCOMPARE(m.Bar[1].Text, std::string("&Help"));
    QVERIFY(!m.Bar[1].isPopup());
    QCOMPARE(ProblemsOf(m).Clashes, 2);
    QCOMPARE(laid.Menus[1].Bar.size(), std::size_t(1));
    QVERIFY(laid.Menus[1].Bar[0].Items.at(0).Separator);
}

void TestRcLayout::fileNames()
{
    std::set<std::string> used;
    QCOMPARE(PictureFileName("IDD_FIND", used), std::string("IDD_FIND.png"));
    QCOMPARE(PictureFileName("idd_find", used), std::string("idd_find~2.png"));
    QCOMPARE(PictureFileName("IDD_FIND", used), std::string("IDD_FIND~3.png"));
    QCOMPARE(PictureFileName("../a b", used), std::string("%2E%2E%2Fa%20b.png"));
    QCOMPARE(PictureFileName("\"x\\y\"", used), std::string("%22x%5Cy%22.png"));
    QCOMPARE(PictureFileName("100", used), std::string("100.png"));
    QCOMPARE(PictureFileName("con", used), std::string("%con.png"));
    QCOMPARE(PictureFileName("", used), std::string("%.png"));
    QCOMPARE(PictureFileName("%41", used), std::string("%2541.png"));
    QCOMPARE(PictureFileName("\xA4\xA4", used), std::string("%A4%A4.png"));
}

void TestRcLayout::unicodeScripts()
{
    // A UTF-8 script is measured in Big5; a character Big5 cannot hold
    // counts as one full-width character, not as its UTF-8 bytes.
    QString problem;
    const std::string utf8 = "\xEF\xBB\xBFIDD_A DIALOG 0, 0, 50, 20\r\nBEGIN\r\n"
                             "    LTEXT \"\xE5\xB0\x8B\xF0\x9F\x98\x80\", -1, 0, 0, 15, 8\r\nEND\r\n";
    const std::optional<std::string> big5 = Big5OfScript(utf8, problem);
    QVERIFY2(big5, qPrintable(problem));
    const LaidResources laid = LayOutResources(*big5);
    QCOMPARE(laid.Dialogs.at(0).Controls.at(0).Text, std::string("\xB4\x4D\xA1\x40"));
    QCOMPARE(laid.Dialogs.at(0).Controls.at(0).TextWidth, 16);
    QVERIFY(laid.Dialogs.at(0).Controls.at(0).TooWide);
    // Big5 stays as it is, bytes the code page cannot read included.
    QCOMPARE(Big5OfScript("A\xFF\x30", problem), std::optional<std::string>("A\xFF\x30"));
}

void TestRcLayout::corpus()
{
    // Every Chinese script of the corpus: one layout per DIALOG, DIALOGEX,
    // MENU and MENUEX header, every control's rectangle read, and every
    // finding of the checks on a control or item of its own.
    const QDir dir(QStringLiteral(TAVISORN_CORPUS_DIR));
    if (!dir.exists())
        QSKIP("no corpus beside the project");
    const QRegularExpression header(QStringLiteral("^\\w+\\s+(DIALOG|DIALOGEX|MENU|MENUEX)\\b"),
                                    QRegularExpression::MultilineOption);
    int scripts = 0;
    for (const QString &app : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(dir.filePath(app + QStringLiteral("/zh-TW.rc")));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        ++scripts;
        const QByteArray bytes = f.readAll();
        const LaidResources laid = LayOutResources(bytes.toStdString());
        qsizetype headers = 0;
        for (auto it = header.globalMatch(QString::fromLatin1(bytes)); it.hasNext(); it.next())
            ++headers;
        QCOMPARE(qsizetype(laid.Dialogs.size() + laid.Menus.size()), headers);
        int wide = 0, clashes = 0;
        for (const LaidDialog &d : laid.Dialogs) {
            QVERIFY2(d.Unreadable == 0, d.Name.c_str());
            QVERIFY(!d.Controls.empty());
            wide += ProblemsOf(d).TooWide;
            clashes += ProblemsOf(d).Clashes;
        }
        for (const LaidMenu &m : laid.Menus)
            clashes += ProblemsOf(m).Clashes;
        int foundWide = 0, foundClashes = 0;
        for (const RcFinding &finding : CheckResourceScript(bytes.toStdString())) {
            foundWide += finding.Kind == CheckKind::TooWide;
            foundClashes += finding.Kind == CheckKind::HotkeyClash;
        }
        QCOMPARE(wide, foundWide);
        QCOMPARE(clashes, foundClashes);
    }
    QCOMPARE(scripts, 6);
}

QTEST_GUILESS_MAIN(TestRcLayout)
#include "test_rclayout.moc"
