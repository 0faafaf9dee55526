#include "editor/blink.h"

#include <QLineEdit>
#include <QTest>

class TestBlink : public QObject {
    Q_OBJECT
private slots:
    void sequence();
    void restart();
    void cueColoursWidget();
};

void TestBlink::sequence()
{
    BlinkSequence s;
    QVERIFY(!s.Running());
    QCOMPARE(s.BlinkStep(), 0);
    s.StartBlink();
    QVERIFY(s.Running());

    const bool alerts[] = {true, false, true, false};
    const int steps[] = {1, 2, 3, 0};
    for (int i = 0; i < 4; ++i) {
        const BlinkSequence::Tick t = s.BlinkingTimerTimer();
        QCOMPARE(t.Alert, alerts[i]);
        QCOMPARE(t.StepAfter, steps[i]);
        QCOMPARE(t.Running, i < 3);
        QCOMPARE(s.BlinkStep(), steps[i]);
    }
    QVERIFY(!s.Running());
    // A stray tick after the end changes nothing.
    const BlinkSequence::Tick stray = s.BlinkingTimerTimer();
    QVERIFY(!stray.Alert && !stray.Running);
    QCOMPARE(s.BlinkStep(), 0);

    QCOMPARE(AlertColours().Text, QColor(255, 0, 0));
    QCOMPARE(AlertColours().Background, QColor(255, 255, 0));
    QCOMPARE(BlinkSequence::Interval, 100);
}

void TestBlink::restart()
{
    // A second hit during a sequence starts it over; it still ends normal after four ticks.
    BlinkSequence s;
    s.StartBlink();
    s.BlinkingTimerTimer();
    s.BlinkingTimerTimer();
    s.BlinkingTimerTimer();
    QCOMPARE(s.BlinkStep(), 3);
    s.StartBlink();
    QCOMPARE(s.BlinkStep(), 0);
    BlinkSequence::Tick t;
    int ticks = 0;
    do {
        t = s.BlinkingTimerTimer();
        ++ticks;
    } while (t.Running);
    QCOMPARE(ticks, 4);
    QVERIFY(!t.Alert);
}

void TestBlink::cueColoursWidget()
{
    QLineEdit box;
    const QPalette design = box.palette();
    const BlinkColours normal = NormalColours(design);
    BlinkingCue cue(&box);
    // Like the window's timer, one sequence runs from the start.
    QVERIFY(cue.timerActive());

    cue.StartBlink();
    cue.BlinkingTimerTimer();
    QCOMPARE(box.palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(box.palette().color(QPalette::Base), QColor(255, 255, 0));
    cue.BlinkingTimerTimer();
    QCOMPARE(box.palette().color(QPalette::Text), normal.Text);
    QCOMPARE(box.palette().color(QPalette::Base), normal.Background);
    cue.BlinkingTimerTimer();
    QCOMPARE(box.palette().color(QPalette::Base), QColor(255, 255, 0));
    cue.BlinkingTimerTimer();
    QCOMPARE(box.palette().color(QPalette::Base), normal.Background);
    QVERIFY(!cue.timerActive());

    // Driven by the real timer: four ticks, then it stops in the normal colours.
    cue.StartBlink();
    QVERIFY(cue.timerActive());
    QTRY_VERIFY_WITH_TIMEOUT(!cue.timerActive(), 5000);
    QCOMPARE(box.palette().color(QPalette::Text), normal.Text);
    QCOMPARE(box.palette().color(QPalette::Base), normal.Background);
    QCOMPARE(cue.sequence().BlinkStep(), 0);
}

QTEST_MAIN(TestBlink)
#include "test_blink.moc"
