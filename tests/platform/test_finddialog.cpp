#include "platform/finddialog.h"

#include "platform/fonts.h"
#include "support/shots.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

class TestFindDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void options();
    void emitsTextAndDirection();
    void keepsStateBetweenUses();
    void keys();
    void picture();
};

void TestFindDialog::options()
{
    FindDialog dialog;
    QVERIFY(!dialog.isModal());
    QVERIFY(dialog.downButton()->isChecked());
    QVERIFY(dialog.isDown());
    QVERIFY(dialog.matchCaseBox()->isChecked());
    QVERIFY(!dialog.matchCaseBox()->isEnabled());
    QCOMPARE(dialog.text(), QString());
    QCOMPARE(dialog.findNextButton()->text(), QStringLiteral("找下一個(&F)"));
    QCOMPARE(dialog.cancelButton()->text(), QStringLiteral("取消"));
    QCOMPARE(dialog.upButton()->text(), QStringLiteral("向上(&U)"));
    QCOMPARE(dialog.downButton()->text(), QStringLiteral("向下(&D)"));
    QCOMPARE(dialog.matchCaseBox()->text(), QStringLiteral("大小寫須相符(&C)"));
    // No whole-word option: the match-case box is the only check box.
    QCOMPARE(dialog.findChildren<QCheckBox *>().size(), qsizetype(1));
    // Nothing to look for yet.
    QVERIFY(!dialog.findNextButton()->isEnabled());
}

void TestFindDialog::emitsTextAndDirection()
{
    FindDialog dialog;
    QSignalSpy spy(&dialog, &FindDialog::findNext);
    dialog.Execute(QStringLiteral("尋找"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("尋找"));
    QTest::keyClicks(dialog.findField(), QStringLiteral("Open"));
    QTest::mouseClick(dialog.findNextButton(), Qt::LeftButton);
    dialog.upButton()->click();
    dialog.findField()->setText(QStringLiteral("開啟"));
    QTest::mouseClick(dialog.findNextButton(), Qt::LeftButton);
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("Open"));
    QCOMPARE(spy.at(0).at(1).toBool(), true);
    QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("開啟"));
    QCOMPARE(spy.at(1).at(1).toBool(), false);
    // The dialog itself stays open: the window decides when it closes.
    QVERIFY(dialog.isVisible());
}

void TestFindDialog::keepsStateBetweenUses()
{
    FindDialog dialog;
    dialog.Execute(QStringLiteral("尋找"));
    dialog.findField()->setText(QStringLiteral("Cancel"));
    dialog.upButton()->click();
    dialog.close();
    QVERIFY(!dialog.isVisible());
    dialog.Execute(QStringLiteral("尋找翻譯"));
    QCOMPARE(dialog.text(), QStringLiteral("Cancel"));
    QVERIFY(!dialog.isDown());
    QVERIFY(dialog.upButton()->isChecked());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("尋找翻譯"));
    dialog.setDown(true);
    QVERIFY(dialog.isDown());
}

void TestFindDialog::keys()
{
    FindDialog dialog;
    QSignalSpy spy(&dialog, &FindDialog::findNext);
    dialog.Execute(QStringLiteral("尋找"));
    // Enter in an empty field finds nothing and emits nothing.
    QTest::keyClick(dialog.findField(), Qt::Key_Return);
    QCOMPARE(spy.size(), 0);
    QTest::keyClicks(dialog.findField(), QStringLiteral("abc"));
    QTest::keyClick(dialog.findField(), Qt::Key_Return);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("abc"));
    QVERIFY(dialog.isVisible());
    QTest::keyClick(dialog.findField(), Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(spy.size(), 1);
    // Cancel hides it too and keeps the text.
    dialog.Execute(QStringLiteral("尋找"));
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.text(), QStringLiteral("abc"));
}

void TestFindDialog::picture()
{
    FindDialog dialog;
    dialog.findField()->setText(QStringLiteral("開啟舊檔"));
    dialog.Execute(QStringLiteral("尋找"));
    const QPixmap shot = dialog.grab();
    QVERIFY(!shot.isNull());
    QVERIFY(shot.width() > 200 && shot.height() > 60);
    QVERIFY(KeepShot(shot.toImage(), QStringLiteral("finddialog.png")));
}

QTEST_MAIN(TestFindDialog)
#include "test_finddialog.moc"
