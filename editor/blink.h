#pragma once
// The blinking cue: after a search has jumped to a row, the choice box flashes
// twice (alert, normal, alert, normal; one 100 ms tick each) so that the eye
// finds the hit.

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QTimer>

class QWidget;

struct BlinkColours {
    QColor Text;
    QColor Background;
};

// Red text on yellow.
BlinkColours AlertColours();
// The system's window-text colour on its window background (the colours of
// an edit field) as a palette holds them.
BlinkColours NormalColours(const QPalette &palette);

// The blink sequence without a timer: BlinkStep 0..3 and whether the timer
// runs. Every tick says which colours to show.
class BlinkSequence {
public:
    struct Tick {
        bool Alert = false;   // show the alert colours, else the normal ones
        int StepAfter = 0;    // BlinkStep after the tick
        bool Running = false; // whether the timer stays enabled
    };

    // Starts the sequence over from step 0 and enables the timer.
    void StartBlink();
    // One tick of the timer. A tick while stopped changes nothing and
    // shows the normal colours.
    Tick BlinkingTimerTimer();

    int BlinkStep() const { return Step; }
    bool Running() const { return Enabled; }

    static constexpr int Interval = 100; // milliseconds

private:
    int Step = 0;
    bool Enabled = false;
};

// The sequence driven by a timer, colouring a widget (the choice box). The
// widget's palette at construction gives the normal colours; the alert
// colours replace its text and base colours for one tick at a time.
class BlinkingCue : public QObject {
    Q_OBJECT
public:
    // Like the window's timer, the cue runs one sequence as soon as it exists.
    explicit BlinkingCue(QWidget *target, QObject *parent = nullptr);

    void StartBlink();
    const BlinkSequence &sequence() const { return Sequence; }
    bool timerActive() const { return BlinkingTimer.isActive(); }

    // The timer's handler; public so that tests can tick without waiting.
    void BlinkingTimerTimer();

private:
    void applyColours(const BlinkColours &colours);
    void restoreColours();

    QWidget *Target;
    QPalette NormalPalette;
    BlinkSequence Sequence;
    QTimer BlinkingTimer;
};
