#include "editor/blink.h"

#include <QWidget>

BlinkColours AlertColours()
{
    return {QColor(255, 0, 0), QColor(255, 255, 0)};
}

BlinkColours NormalColours(const QPalette &palette)
{
    return {palette.color(QPalette::Active, QPalette::Text), palette.color(QPalette::Active, QPalette::Base)};
}

void BlinkSequence::StartBlink()
{
    Step = 0;
    Enabled = true;
}

BlinkSequence::Tick BlinkSequence::BlinkingTimerTimer()
{
    if (!Enabled)
        return {false, Step, false};
    // Steps 0 and 2 show the alert colours, 1 and 3 the normal ones; after
    // step 3 the sequence is over.
    const bool alert = Step == 0 || Step == 2;
    if (Step == 3) {
        Step = 0;
        Enabled = false;
    } else {
        ++Step;
    }
    return {alert, Step, Enabled};
}

BlinkingCue::BlinkingCue(QWidget *target, QObject *parent)
    : QObject(parent), Target(target), NormalPalette(target->palette())
{
    BlinkingTimer.setInterval(BlinkSequence::Interval);
    connect(&BlinkingTimer, &QTimer::timeout, this, &BlinkingCue::BlinkingTimerTimer);
    StartBlink();
}

void BlinkingCue::StartBlink()
{
    Sequence.StartBlink();
    BlinkingTimer.start();
}

void BlinkingCue::BlinkingTimerTimer()
{
    const BlinkSequence::Tick tick = Sequence.BlinkingTimerTimer();
    if (tick.Alert)
        applyColours(AlertColours());
    else
        restoreColours();
    if (!tick.Running)
        BlinkingTimer.stop();
}

void BlinkingCue::applyColours(const BlinkColours &colours)
{
    QPalette palette = Target->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, colours.Text);
        palette.setColor(group, QPalette::Base, colours.Background);
    }
    Target->setPalette(palette);
}

void BlinkingCue::restoreColours()
{
    QPalette palette = Target->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, NormalPalette.color(group, QPalette::Text));
        palette.setColor(group, QPalette::Base, NormalPalette.color(group, QPalette::Base));
    }
    Target->setPalette(palette);
}
