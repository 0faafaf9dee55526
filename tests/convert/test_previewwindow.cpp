// The preview window driven as the user would: the list with problems
// first, the English version beside the translated one, a click on a text
// that finds its English source, and the maintenance window on its entry.

#include "convert/previewwindow.h"
#include "editor/showentry.h"
#include "files/filename.h"
#include "support/shots.h"
#include "window_recorders.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>

class TestPreviewWindow : public QObject {
    Q_OBJECT
private slots:
    void listAndComparison();
    void clickFindsTheEntry();
    void unreadableScript();
};

namespace {

// The translation keeps every line where it was: line 5 holds &Find and 尋找(&F).
const QByteArray English = "IDD_OK DIALOGEX 0, 0, 100, 40\r\nCAPTION \"Ok\"\r\nFONT 8, \"MS Shell Dlg\"\r\nBEGIN\r\n"
                           "    LTEXT \"Fine\", -1, 5, 5, 40, 10\r\nEND\r\n"
                           "IDD_FIND DIALOGEX 0, 0, 100, 40\r\nCAPTION \"Find\"\r\nFONT 8, \"MS Shell Dlg\"\r\nBEGIN\r\n"
                           "    LTEXT \"&Find what:\", -1, 5, 5, 20, 10\r\nEND\r\n"
                           "IDR_M MENU\r\nBEGIN\r\n    MENUITEM \"&Open\", 1\r\nEND\r\n";
const QByteArray Chinese = "IDD_OK DIALOGEX 0, 0, 100, 40\r\nCAPTION \"Ok\"\r\nFONT 9, \"\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9\"\r\nBEGIN\r\n"
                           "    LTEXT \"\xA6\x6E\", -1, 5, 5, 40, 10\r\nEND\r\n"
                           "IDD_FIND DIALOGEX 0, 0, 100, 40\r\nCAPTION \"Find\"\r\nFONT 9, \"\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9\"\r\nBEGIN\r\n"
                           "    LTEXT \"\xB4\x4D\xA7\xE4\xA5\xD8\xBC\xD0(&N)\", -1, 5, 5, 20, 10\r\nEND\r\n"
                           "IDR_M MENU\r\nBEGIN\r\n    MENUITEM \"\xB6\x7D\xB1\xD2(&O)\", 1\r\nEND\r\n";

} // namespace

void TestPreviewWindow::listAndComparison()
{
    WindowTestSetting setting;
    setting.write(QStringLiteral("en.rc"), English);
    setting.write(QStringLiteral("zh.rc"), Chinese);
    PreviewWindow window(nullptr);
    QVERIFY(window.ShowScripts(FileName(setting.path(QStringLiteral("zh.rc"))),
                               FileName(setting.path(QStringLiteral("en.rc")))));
    QVERIFY(window.isVisible());
    // The dialog with a problem comes first, the others in the script's order.
    QCOMPARE(window.List->count(), 3);
    QCOMPARE(window.List->item(0)->text(), QStringLiteral("IDD_FIND　過寬 1"));
    QCOMPARE(window.List->item(1)->text(), QStringLiteral("IDD_OK"));
    QCOMPARE(window.List->item(2)->text(), QStringLiteral("IDR_M（選單）"));
    QCOMPARE(window.List->currentRow(), 0);

    const int alone = window.Picture->pixmap().width();
    QVERIFY(alone > 0);
    QVERIFY(window.English->isEnabled());
    window.English->click();
    QVERIFY(window.Picture->pixmap().width() > alone + 100);
    QVERIFY(KeepShot(window.grab().toImage(), QStringLiteral("preview-window.png")));
    window.List->setCurrentRow(2);
    const int menus = window.Picture->pixmap().width();
    window.English->click();
    QVERIFY(window.Picture->pixmap().width() < menus);

    // Without an English script there is nothing to compare with.
    QVERIFY(window.ShowScripts(FileName(setting.path(QStringLiteral("zh.rc"))), std::nullopt));
    QVERIFY(!window.English->isEnabled());
}

void TestPreviewWindow::clickFindsTheEntry()
{
    WindowTestSetting setting;
    setting.write(QStringLiteral("en.rc"), English);
    setting.write(QStringLiteral("zh.rc"), Chinese);
    const QString dictionary = setting.path(QStringLiteral("app.txt"));
    setting.write(QStringLiteral("app.txt"), "&Find what:\r\n\xB4\x4D\xA7\xE4\xA5\xD8\xBC\xD0(&N)\r\n&Open\r\nOpen\r\n");

    PreviewWindow window(nullptr);
    std::vector<std::string> asked;
    window.OpenEntry = [&](const std::string &source) {
        asked.push_back(source);
        ShowDictionaryEntry(*setting.editor, dictionary, source);
    };
    QVERIFY(window.ShowScripts(FileName(setting.path(QStringLiteral("zh.rc"))),
                               FileName(setting.path(QStringLiteral("en.rc")))));
    window.English->click(); // the translated picture now stands on the right
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Where the translated text stands in the picture shown.
    const LaidResources laid = LayOutResources(Chinese.toStdString());
    const Picture alone = DrawDialog(laid.Dialogs.at(1));
    QPoint origin;
    const LaidResources english = LayOutResources(English.toStdString());
    SideBySide(DrawDialog(english.Dialogs.at(1)).Image, QString(), alone.Image, QString(), &origin);
    const QPoint text = alone.Spots.at(0).Area.center() + origin;

    QTest::mouseClick(window.Picture, Qt::LeftButton, {}, QPoint(2, 2)); // on no text
    QVERIFY(asked.empty());
    QTest::mouseClick(window.Picture, Qt::LeftButton, {}, text);
    QCOMPARE(asked, std::vector<std::string>{"&Find what:"});
    // The dictionary was not open: it is opened, on that entry.
    QVERIFY(setting.editor->isVisible());
    QCOMPARE(setting.document.DictionaryFileName, dictionary);
    QCOMPARE(setting.editor->CurrentRow(), 1);
    // Open already: straight to the entry; a text it does not hold moves nothing.
    QVERIFY(ShowDictionaryEntry(*setting.editor, dictionary, "&Open"));
    QCOMPARE(setting.editor->CurrentRow(), 2);
    QVERIFY(!ShowDictionaryEntry(*setting.editor, dictionary, "&Close"));
    QCOMPARE(setting.editor->CurrentRow(), 2);
}

void TestPreviewWindow::unreadableScript()
{
    WindowTestSetting setting;
    PreviewWindow window(nullptr);
    const QString missing = setting.path(QStringLiteral("no such.rc"));
    QVERIFY(!window.ShowScripts(FileName(missing), std::nullopt));
    QVERIFY(window.Status->text().contains(QStringLiteral("no such.rc")));
    QCOMPARE(window.List->count(), 0);
}

QTEST_MAIN(TestPreviewWindow)
#include "test_previewwindow.moc"
