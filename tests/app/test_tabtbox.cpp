#include "app/tabtbox.h"

#include "platform/fonts.h"
#include "support/shots.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

class UrlRecorder final : public UrlOpener {
public:
    void openUrl(const QUrl &url) override { opened.append(url); }
    QList<QUrl> opened;

private:
    const ScopedOverride<UrlOpener> recording{urlOpenerSeam(), *this};
};

QColor boxColor(const QFrame *box)
{
    return box->palette().color(QPalette::Window);
}

} // namespace

class TestTAbtBox : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void highlightFollowsThePointer();
    void clickOnNameAsksForItsAddress();
    void clickElsewhereDoesNothing();
    void closeButtonCloses();
    void drawsWhole();

private:
    // Moves the pointer to the centre of a widget of the window.
    void moveTo(QWidget *widget, QPoint offset = QPoint(-1, -1));
    QList<QColor> colours() const
    {
        return {boxColor(box->Fore1), boxColor(box->Fore2), boxColor(box->Fore3)};
    }

    std::unique_ptr<TAbtBox> box;
};

void TestTAbtBox::initTestCase()
{
    InstallFontSubstitutions();
}

void TestTAbtBox::init()
{
    box = std::make_unique<TAbtBox>();
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
}

void TestTAbtBox::cleanup()
{
    box.reset();
}

void TestTAbtBox::moveTo(QWidget *widget, QPoint offset)
{
    const QPoint local = offset == QPoint(-1, -1) ? widget->rect().center() : offset;
    QTest::mouseMove(box.get(), widget->mapTo(box.get(), local));
    QCoreApplication::processEvents();
}

void TestTAbtBox::highlightFollowsThePointer()
{
    const QColor white(Qt::white);
    const QColor light = TAbtBox::highlightColor();
    QCOMPARE(light, QColor(0xFB, 0xD1, 0x84));
    QCOMPARE(colours(), QList<QColor>({white, white, white}));

    moveTo(box->N1);
    QCOMPARE(colours(), QList<QColor>({light, white, white}));
    // From one name to the next: the highlight moves with it.
    moveTo(box->N2);
    QCOMPARE(colours(), QList<QColor>({white, light, white}));
    // The edge of the box, outside its name label, counts as the name.
    moveTo(box->Fore3, QPoint(1, 1));
    QCOMPARE(colours(), QList<QColor>({white, white, light}));

    // Anything else clears it.
    const QList<QWidget *> others = {box->Label3, box->Label6, box->Image1, box->Label1, box->Label13,
                                     box->SpeedButton1};
    for (QWidget *other : others) {
        moveTo(box->N1);
        QCOMPARE(boxColor(box->Fore1), light);
        moveTo(other);
        QVERIFY2(colours() == QList<QColor>({white, white, white}), other->metaObject()->className());
    }
    moveTo(box->N2);
    QTest::mouseMove(box.get(), QPoint(4, 270)); // the bare background
    QCoreApplication::processEvents();
    QCOMPARE(colours(), QList<QColor>({white, white, white}));
}

void TestTAbtBox::clickOnNameAsksForItsAddress()
{
    UrlRecorder mail;
    QTest::mouseClick(box->N2, Qt::LeftButton);
    QTest::mouseClick(box->Fore3, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseClick(box->N1, Qt::LeftButton);
    QCOMPARE(mail.opened, QList<QUrl>({QUrl(QStringLiteral("mailto:docs-team@example.org")),
                                       QUrl(QStringLiteral("mailto:dict-team@example.org")),
                                       QUrl(QStringLiteral("mailto:ui-team@example.org"))}));
    QVERIFY(box->isVisible());
    // Only the left button starts a message.
    QTest::mouseClick(box->N1, Qt::RightButton);
    QCOMPARE(mail.opened.size(), 3);
}

void TestTAbtBox::clickElsewhereDoesNothing()
{
    UrlRecorder mail;
    for (QWidget *w : QList<QWidget *>{box->Label3, box->Label5, box->Label9, box->Back1, box->Label6,
                                       box->Label12, box->Image1, box->Label13, box.get()})
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(3, 3));
    QVERIFY(mail.opened.isEmpty());
    QVERIFY(box->isVisible());
}

void TestTAbtBox::closeButtonCloses()
{
    QCOMPARE(box->SpeedButton1->text(), QStringLiteral("關閉"));
    QTest::mouseClick(box->SpeedButton1, Qt::LeftButton);
    QVERIFY(!box->isVisible());
}

void TestTAbtBox::drawsWhole()
{
    QCOMPARE(box->windowTitle(), QStringLiteral("關於..."));
    QCOMPARE(box->size(), QSize(260, 281));
    moveTo(box->N1);
    const QImage shot = box->grab().toImage();
    QVERIFY(KeepShot(shot, QStringLiteral("about.png")));
    QCOMPARE(shot.size(), QSize(260, 281));

    // Every text shows whole and stays inside the window.
    for (QLabel *label : box->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        if (label->wordWrap())
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(label->text()));
        else
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
        const QRect inWindow(label->mapTo(box.get(), QPoint(0, 0)), label->size());
        QVERIFY2(box->rect().contains(inWindow), qPrintable(label->text()));
    }
    // The version and date stay inside their frame.
    for (QLabel *label : {box->Label1, box->Label2})
        QVERIFY2(box->Bevel1->geometry().contains(label->geometry()), qPrintable(label->text()));
    // The bands are black, the highlighted name box is drawn in its colour.
    QCOMPARE(shot.pixelColor(box->Back1->geometry().topLeft() + QPoint(2, 2)), QColor(Qt::black));
    QCOMPARE(shot.pixelColor(box->Fore1->geometry().topLeft() + QPoint(2, 2)), TAbtBox::highlightColor());
    QCOMPARE(shot.pixelColor(box->Fore2->geometry().topLeft() + QPoint(2, 2)), QColor(Qt::white));
}

QTEST_MAIN(TestTAbtBox)
#include "test_tabtbox.moc"
