#pragma once

#include <QFont>

// Fonts named by the program ("新細明體", "MS Sans Serif") are Windows fonts.
// Where they are missing, they stand for the closest fonts of this system:
// a Ming-style Traditional Chinese face for 新細明體, a plain sans face for
// MS Sans Serif.
void InstallFontSubstitutions();

// "新細明體" at a character height in pixels, as most windows of the program use it.
QFont MingFont(int pixels);
