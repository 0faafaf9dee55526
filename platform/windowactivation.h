#pragma once
// Where no window manager runs (a bare virtual display), nobody gives the
// keyboard to a window when another one closes: after a dialog, a message
// box or the progress window, the window the user returns to would not be
// active, and its shortcuts would do nothing until it is clicked.

class QWidget;

// From now on, when a window of the program closes that had the keyboard (or
// nothing has it), the window shown or used most recently before it is
// raised and activated again.
void KeepReturnedWindowsActive();

