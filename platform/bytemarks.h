#pragma once
// Marks for the bytes of a dictionary text that code page 950 cannot read.
//
// Such bytes decode to code points reserved for them (see codepage.h). No
// font has pictures for those code points, so they showed as empty boxes.
// The program brings a small font of its own whose picture for each of them
// is the byte's value in two hexadecimal digits in a thin frame. Being a
// font, it changes only what is drawn: the texts keep their code points, and
// so their bytes, through every edit, copy and save.

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QSyntaxHighlighter>

class QPainter;
class QRect;
class QTextDocument;

// The font's family name.
QString ByteMarkFamily();

// The font as a TrueType file: one picture for each reserved code point.
QByteArray ByteMarkFontData();

// Registers the font with the application (once); false when the platform
// refused it.
bool InstallByteMarkFont();

// Whether the character at index i of a display text is the mark of an
// unreadable byte.
bool IsByteMarkAt(const QString &text, qsizetype i);

// The colour marks are drawn in: halfway between the text and its
// background, so that they stand apart from the text around them.
QColor ByteMarkColour(const QColor &text, const QColor &background);

// Draws one line of text from the top left of rect, the marks in markColour
// and the rest in the painter's pen.
void DrawTextWithByteMarks(QPainter &painter, const QRect &rect, const QString &text, const QColor &markColour);

// Shows the marks of a document's text in the mark colour; the text itself
// stays as it is.
class ByteMarkHighlighter : public QSyntaxHighlighter {
public:
    ByteMarkHighlighter(QTextDocument *document, const QColor &markColour);

protected:
    void highlightBlock(const QString &text) override;

private:
    QColor Colour;
};
