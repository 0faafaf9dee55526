#pragma once
// What the settings dialog needs of the maintenance window's string area:
// its font, a way to show a new font at once, and the re-arrangement of the
// string box and grid. The maintenance window implements it; the settings
// dialog does not know that window otherwise.

#include <QFont>

class StringAreaHost {
public:
    virtual ~StringAreaHost() = default;
    // The font of the string box Strs.
    virtual QFont StringFont() const = 0;
    // Gives the font to Strs and to the window as a whole.
    virtual void ApplyStringFont(const QFont &font) = 0;
    // Sizes the string box and grid for the current font and NoOfLines.
    virtual void ArrangeStringArea() = 0;
};
