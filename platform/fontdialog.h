#pragma once
// The font dialog, behind a seam that tests answer.

#include "platform/seam.h"

class QFont;
class QWidget;

class FontDialogService {
public:
    virtual ~FontDialogService() = default;
    // Shows the dialog modally over owner, starting from font; on OK font
    // holds the choice and the result is true. Cancel leaves font as it was.
    virtual bool run(QFont &font, QWidget *owner) = 0;
};

// The dialog in use: Qt's font dialog unless a test installed its own.
FontDialogService &fontDialogs();
// Where a test answers the font dialog (ScopedOverride in platform/seam.h).
Overridable<FontDialogService> &fontDialogSeam();

// Shows the font dialog starting from font; true and font changed on OK. A
// family that only stands for another here (新細明體 for the Ming face that
// draws it) is offered as the family that really draws it, so the dialog
// can show it chosen; confirmed without picking another family, the font
// keeps the name it had.
bool ChooseFont(QFont &font, QWidget *owner);
