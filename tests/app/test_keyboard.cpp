// The small windows from the keyboard: the settings dialog, the About
// window, the main menu and the unsaved-changes prompt answer Tab, Enter,
// Escape and their letters as their buttons do, and the main menu's buttons
// are the whole of picture and caption.

#include "app/tabtbox.h"
#include "app/ttoolmenu.h"
#include "document/document.h"
#include "editor/tsaving.h"
#include "platform/fonts.h"
#include "settings/settings.h"
#include "settings/tsettings.h"
#include "support/recorders.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

// A dialog that records being opened instead of running its own loop.
class OpenedDialog final : public QDialog {
public:
    int exec() override
    {
        ++opened;
        return QDialog::Rejected;
    }
    int opened = 0;
};

// The widgets Tab visits from `start` until it comes back.
QList<QWidget *> tabChain(QWidget *start)
{
    QList<QWidget *> visited;
    start->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 100; ++i) {
        QWidget *focus = QApplication::focusWidget();
        if (!focus || visited.contains(focus))
            break;
        visited << focus;
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return visited;
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void settingsEnterIsOk();
    void aboutClosesOnEnter();
    void menuButtonsFromTheKeyboard();
    void menuButtonIsPictureAndCaption();
    void savePromptLetters_data();
    void savePromptLetters();

private:
    QTemporaryDir dir;
};

void TestKeyboard::initTestCase()
{
    QVERIFY(dir.isValid());
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    InstallFontSubstitutions();
}

void TestKeyboard::init()
{
    RegDat = TRegDat();
}

void TestKeyboard::settingsEnterIsOk()
{
    TSettings dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    // Tab reaches both closing buttons and the tab bar.
    const QList<QWidget *> chain = tabChain(dialog.PC->tabBar());
    QVERIFY(chain.contains(dialog.Button7));
    QVERIFY(chain.contains(dialog.Button8));
    QVERIFY(chain.contains(dialog.Button1));

    // Enter in a field confirms: what was typed is stored.
    dialog.PC->setCurrentWidget(dialog.TabSheet3);
    dialog.ExtDesc->setFocus(Qt::TabFocusReason);
    dialog.ExtDesc->selectAll();
    QTest::keyClicks(dialog.ExtDesc, QStringLiteral("dictionary"));
    QTest::keyClick(dialog.ExtDesc, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(RegDat.DicExtDescription, QStringLiteral("dictionary"));

    // Enter on the focused 取消 is 取消, not 確定.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.PC->setCurrentWidget(dialog.TabSheet3);
    dialog.ExtDesc->setText(QStringLiteral("changed"));
    dialog.Button8->setFocus(Qt::TabFocusReason);
    QTest::keyClick(dialog.Button8, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(RegDat.DicExtDescription, QStringLiteral("dictionary"));
}

void TestKeyboard::aboutClosesOnEnter()
{
    TAbtBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    QVERIFY(box.SpeedButton1->isDefault());
    QVERIFY(tabChain(box.SpeedButton1).contains(box.SpeedButton1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!box.isVisible());
}

void TestKeyboard::menuButtonsFromTheKeyboard()
{
    DictionaryDocument document;
    TToolMenu menu(document);
    OpenedDialog settings, about;
    menu.SettingsDialog = &settings;
    menu.AboutWindow = &about;
    menu.show();
    QVERIFY(QTest::qWaitForWindowActive(&menu));

    // Tab walks the six buttons in their order on the screen.
    const QList<QWidget *> chain = tabChain(menu.SpeedButton1);
    const QList<QWidget *> buttons{menu.SpeedButton1, menu.SpeedButton2, menu.SpeedButton3,
                                   menu.SpeedButton4, menu.SpeedButton5, menu.SpeedButton6};
    QCOMPARE(chain, buttons);

    // Enter, Return and Space press the button with the focus, and only it.
    menu.SpeedButton4->setFocus(Qt::TabFocusReason);
    QTest::keyClick(menu.SpeedButton4, Qt::Key_Return);
    QCOMPARE(settings.opened, 1);
    QCOMPARE(about.opened, 0);
    menu.SpeedButton5->setFocus(Qt::TabFocusReason);
    QTest::keyClick(menu.SpeedButton5, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(about.opened, 1);
    QTest::keyClick(menu.SpeedButton5, Qt::Key_Space);
    QCOMPARE(about.opened, 2);
    QCOMPARE(settings.opened, 1);
}

void TestKeyboard::menuButtonIsPictureAndCaption()
{
    MessageRecorder messages;
    DictionaryDocument document;
    TToolMenu menu(document);
    OpenedDialog about;
    menu.AboutWindow = &about;
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));

    const QList<QPushButton *> buttons{menu.SpeedButton1, menu.SpeedButton2, menu.SpeedButton3,
                                       menu.SpeedButton4, menu.SpeedButton5, menu.SpeedButton6};
    const QList<QLabel *> pictures{menu.Image5, menu.Image6, menu.Image7, menu.Image10, menu.Image11, menu.Image12};
    for (int i = 0; i < 6; ++i) {
        // The pointer on the picture is on its button, which lies over the
        // picture and the caption below it.
        const QPoint picture = pictures[i]->mapToGlobal(pictures[i]->rect().center());
        QCOMPARE(QApplication::widgetAt(picture), buttons[i]);
        const QRect onMenu(buttons[i]->mapTo(&menu, QPoint()), buttons[i]->size());
        QVERIFY(onMenu.contains(pictures[i]->mapTo(&menu, pictures[i]->rect().topLeft())));
        QVERIFY(onMenu.bottom() >= (i < 3 ? 104 : 200) + 21);
    }
    // A click on the picture presses the button.
    QTest::mouseClick(buttons[4], Qt::LeftButton, {}, pictures[4]->geometry().center());
    QCOMPARE(about.opened, 1);
    QTest::mouseClick(buttons[0], Qt::LeftButton, {}, pictures[0]->geometry().center());
    QCOMPARE(messages.messages.size(), qsizetype(1)); // no Perl path set yet

    // Hover and focus each show on the whole button, picture included.
    QPushButton *b = buttons[1];
    const QRect pictureArea = pictures[1]->geometry().adjusted(-4, -2, 4, 2) & b->rect();
    const auto looks = [b] { return b->grab().toImage(); };
    menu.setFocus(Qt::OtherFocusReason);
    b->clearFocus();
    QTest::mouseMove(&menu, QPoint(2, 40));
    QVERIFY(!b->underMouse());
    const QImage plain = looks();
    QTest::mouseMove(&menu, pictures[1]->mapTo(&menu, pictures[1]->rect().center()));
    QTRY_VERIFY(b->underMouse());
    const QImage hovered = looks();
    QTest::mouseMove(&menu, QPoint(2, 40));
    QTRY_VERIFY(!b->underMouse());
    b->setFocus(Qt::TabFocusReason);
    const QImage focused = looks();
    QVERIFY(b->hasFocus());
    QVERIFY(hovered != plain);
    QVERIFY(focused != plain);
    QVERIFY(hovered.copy(pictureArea) != plain.copy(pictureArea));
}

void TestKeyboard::savePromptLetters_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("answer");
    QTest::newRow("y") << int(Qt::Key_Y) << int(Qt::NoModifier) << 0;
    QTest::newRow("Y") << int(Qt::Key_Y) << int(Qt::ShiftModifier) << 0;
    QTest::newRow("n") << int(Qt::Key_N) << int(Qt::NoModifier) << 1;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << 2;
    QTest::newRow("Enter on 是") << int(Qt::Key_Return) << int(Qt::NoModifier) << 0;
}

void TestKeyboard::savePromptLetters()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, answer);
    TSaving prompt;
    // Starts from an answer none of the keys gives, and the opposite of
    // what is expected where it could be left over.
    SaveAnswer = answer == 0 ? 1 : 0;
    prompt.show();
    QVERIFY(QTest::qWaitForWindowActive(&prompt));
    QCOMPARE(QApplication::focusWidget(), prompt.SpeedButton1);
    // Through the window, as the keyboard sends it.
    QTest::keyClick(prompt.windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(!prompt.isVisible());
    QCOMPARE(int(SaveAnswer), answer);

    // Other letters answer nothing.
    prompt.show();
    QVERIFY(QTest::qWaitForWindowActive(&prompt));
    QTest::keyClick(prompt.windowHandle(), Qt::Key_X);
    QVERIFY(prompt.isVisible());
    prompt.SpeedButton3->click();
}

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
