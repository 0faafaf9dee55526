// The pictures of dialogs and menus, checked on their pixels: the red
// outline of a text too wide where the check finds one and nowhere else,
// the clash letters and overlap outlines on the controls concerned; and the
// command that writes them, through tavisorn-cli.

#include "convert/rcpicture.h"
#include "platform/fonts.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestRcPicture : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void dialogMarks();
    void menuMarks();
    void command();
};

namespace {

int count(const QImage &image, const QRect &area, const QColor &colour)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

// Pixels of ink: text is drawn smoothed, so its pixels are dark, seldom black.
int ink(const QImage &image, const QRect &area)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += qGray(image.pixel(x, y)) < 100;
    return n;
}

const LaidControl &at(const LaidDialog &d, int line)
{
    for (const LaidControl &c : d.Controls)
        if (c.Line == line)
            return c;
    qFatal("no control on line %d", line);
}

// A dialog with one text too wide (line 5: 尋找目標 is 32 units in 20), a
// clash of &N (lines 6 and 7), two edits that overlap (8, 9) and a text
// that fits (10).
const QByteArray Dialog = "IDD_T DIALOGEX 0, 0, 200, 100\r\n"
                          "CAPTION \"T\"\r\n"
                          "FONT 9, \"\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9\"\r\n"
                          "BEGIN\r\n"
                          "    LTEXT \"\xB4\x4D\xA7\xE4\xA5\xD8\xBC\xD0\", -1, 10, 10, 20, 10\r\n"
                          "    PUSHBUTTON \"&Next\", 1, 140, 10, 50, 14\r\n"
                          "    AUTOCHECKBOX \"&New\", 2, 140, 40, 50, 10\r\n"
                          "    EDITTEXT 3, 10, 40, 60, 12\r\n"
                          "    EDITTEXT 4, 40, 46, 60, 12\r\n"
                          "    LTEXT \"ok\", -1, 10, 80, 40, 10\r\n"
                          "END\r\n";

} // namespace

void TestRcPicture::dialogMarks()
{
    const LaidResources laid = LayOutResources(Dialog.toStdString());
    QCOMPARE(laid.Dialogs.size(), std::size_t(1));
    const LaidDialog &d = laid.Dialogs[0];
    const Picture pic = DrawDialog(d);
    const QImage &image = pic.Image;
    const auto inPicture = [&](const QRect &r) { return r.translated(pic.ClientOrigin); };

    // Red: on the too-wide text's outline and in its overflow strip, nowhere else.
    const LaidControl &wide = at(d, 5);
    QVERIFY(wide.TooWide);
    const QRect outline = inPicture(wide.Pixels);
    const QRect strip = inPicture(QRect(wide.Pixels.right() + 1, wide.Pixels.top(), wide.OverflowPixels, wide.Pixels.height()));
    QCOMPARE(image.pixelColor(outline.center().x(), outline.top()), TooWideColour);
    QCOMPARE(image.pixelColor(outline.left(), outline.center().y()), TooWideColour);
    const QRect marked = outline.united(strip).adjusted(-1, -1, 1, 1);
    QVERIFY(count(image, strip, QColor(255, 215, 215)) > 0); // what does not fit, shown beside
    const int red = count(image, image.rect(), TooWideColour);
    QVERIFY(red > 0);
    QCOMPARE(count(image, marked, TooWideColour), red);

    // Orange clash marks by the two &N controls, none by the others.
    const auto near = [&](int line) { return inPicture(at(d, line).Pixels).adjusted(-8, -8, 8, 8); };
    QVERIFY(count(image, near(6), ClashColour) > 0);
    QVERIFY(count(image, near(7), ClashColour) > 0);
    QCOMPARE(count(image, near(5), ClashColour), 0);
    QCOMPARE(count(image, near(10), ClashColour), 0);

    // Violet outlines on the two edits that overlap, not on the text that fits.
    QVERIFY(count(image, inPicture(at(d, 8).Pixels), OverlapColour) > 0);
    QVERIFY(count(image, inPicture(at(d, 9).Pixels), OverlapColour) > 0);
    QCOMPARE(count(image, near(10), OverlapColour), 0);
    QCOMPARE(count(image, near(6), OverlapColour), 0);

    // The text that fits is drawn (in black, inside its rectangle) and can be clicked.
    QVERIFY(ink(image, inPicture(at(d, 10).Pixels)) > 0);
    bool spot = false;
    for (const PictureSpot &s : pic.Spots)
        spot = spot || (s.Line == 10 && s.Text == "ok" && s.Area == inPicture(at(d, 10).Pixels));
    QVERIFY(spot);

    // A dialog without problems carries no mark at all.
    const LaidResources fine = LayOutResources("IDD_F DIALOG 0, 0, 60, 30\r\nFONT 8, \"MS Shell Dlg\"\r\nBEGIN\r\n"
                                               "    LTEXT \"ok\", -1, 5, 5, 40, 10\r\nEND\r\n");
    const QImage plain = DrawDialog(fine.Dialogs.at(0)).Image;
    QCOMPARE(count(plain, plain.rect(), TooWideColour) + count(plain, plain.rect(), ClashColour)
                 + count(plain, plain.rect(), OverlapColour),
             0);
}

void TestRcPicture::menuMarks()
{
    const QByteArray rc = "IDR_M MENU\r\nBEGIN\r\n"
                          "    POPUP \"&File\"\r\n    BEGIN\r\n"
                          "        MENUITEM \"&Open\\tCtrl+O\", 1\r\n"
                          "        MENUITEM \"&Other\", 2\r\n"
                          "        MENUITEM \"E&xit\", 3\r\n"
                          "    END\r\n"
                          "    POPUP \"&Edit\"\r\n    BEGIN\r\n"
                          "        MENUITEM \"&Copy\", 4\r\n"
                          "    END\r\n"
                          "END\r\n";
    const LaidResources laid = LayOutResources(rc.toStdString());
    const Picture pic = DrawMenu(laid.Menus.at(0));
    const auto spot = [&](int line) {
        for (const PictureSpot &s : pic.Spots)
            if (s.Line == line)
                return s;
        qFatal("no spot on line %d", line);
    };
    // The two popups side by side; the clashing items marked, the others not.
    QVERIFY(spot(11).Area.left() > spot(5).Area.right());
    QCOMPARE(spot(5).Text, std::string("&Open\\tCtrl+O"));
    const auto badge = [&](int line) { return QRect(0, spot(line).Area.top(), spot(line).Area.left(), spot(line).Area.height()); };
    QVERIFY(count(pic.Image, badge(5), ClashColour) > 0);
    QVERIFY(count(pic.Image, badge(6), ClashColour) > 0);
    QCOMPARE(count(pic.Image, badge(7), ClashColour), 0);
    // The shortcut stands at the right end of its row.
    const QRect row = spot(5).Area;
    QVERIFY(ink(pic.Image, QRect(row.right() - 8, row.top(), 9, row.height())) > 0);
    QCOMPARE(ink(pic.Image, QRect(row.right() - 8, spot(6).Area.top(), 9, row.height())), 0);
}

void TestRcPicture::command()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString script = dir.filePath(QStringLiteral("a $b.rc"));
    QFile f(script);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(Dialog + "100 DIALOG 0, 0, 50, 20\r\nBEGIN\r\nEND\r\nidd_t MENU\r\nBEGIN\r\n    MENUITEM \"&A\", 1\r\nEND\r\n");
    f.close();
    const QString out = dir.filePath(QStringLiteral("pictures/new"));

    QProcess cli;
    cli.start(QStringLiteral(TAVISORN_CLI), {QStringLiteral("preview"), QStringLiteral("--rc"), script, out});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 3);
    QCOMPARE(QString::fromUtf8(cli.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
             (QStringList{QStringLiteral("IDD_T.png：文字過寬 1、熱鍵衝突 2、重疊 2"), QStringLiteral("100.png：沒有問題"),
                          QStringLiteral("idd_t~2.png：沒有問題")}));
    const QImage written(out + QStringLiteral("/IDD_T.png"));
    const LaidResources laid = LayOutResources(Dialog.toStdString());
    QCOMPARE(written.size(), DrawDialog(laid.Dialogs.at(0)).Image.size());
    QVERIFY(QFile::exists(out + QStringLiteral("/idd_t~2.png")));

    // With the English script beside it, the picture holds both.
    cli.start(QStringLiteral(TAVISORN_CLI),
              {QStringLiteral("preview"), QStringLiteral("--english"), script, QStringLiteral("--rc"), script, out});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 3);
    QVERIFY(QImage(out + QStringLiteral("/IDD_T.png")).width() > 2 * written.width());

    // A missing script is refused with its name; no arguments is wrong use.
    cli.start(QStringLiteral(TAVISORN_CLI),
              {QStringLiteral("preview"), QStringLiteral("--rc"), dir.filePath(QStringLiteral("none.rc")), out});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 1);
    QVERIFY(QString::fromUtf8(cli.readAllStandardError()).contains(QStringLiteral("none.rc")));
    cli.start(QStringLiteral(TAVISORN_CLI), {QStringLiteral("preview")});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 2);
}

QTEST_MAIN(TestRcPicture)
#include "test_rcpicture.moc"
