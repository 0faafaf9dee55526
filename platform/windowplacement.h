#pragma once
class QWidget;
// Places a top-level window in the centre of the screen it is on (the
// primary screen before it was first shown).
void CentreOnScreen(QWidget *window);
