#pragma once
// Pictures of a resource script's dialogs and menus, painted from their
// layout: the dialog's frame and caption, each control drawn as what it is
// with its text in the program's Ming face, hot keys underlined; a text
// too wide outlined in red with what does not fit shown beside it, the
// letters of hot-key clashes in orange marks, overlapping controls outlined
// in violet. A menu is its bar with every popup opened side by side.

#include "convert/rclayout.h"

#include <QColor>
#include <QImage>

#include <string>
#include <vector>

// Where a text stands on a picture, so that a click can find its entry.
struct PictureSpot {
    QRect Area;        // in the picture
    std::string Text;  // as between the quotes, Big5
    int Line = 0;
};

struct Picture {
    QImage Image;
    QPoint ClientOrigin; // of a dialog's client area in the picture
    std::vector<PictureSpot> Spots;
};

// The colours of the marks, so that a reader of the picture (or a test)
// knows them; none of them is used for anything else.
inline const QColor TooWideColour{255, 0, 0};
inline const QColor ClashColour{255, 128, 0};
inline const QColor OverlapColour{160, 0, 200};

Picture DrawDialog(const LaidDialog &dialog);
Picture DrawMenu(const LaidMenu &menu);

// Two pictures beside each other under their titles (the English script's
// and the translated one's), for comparison. `rightOrigin`, when given,
// receives where the right picture's top left corner lies.
QImage SideBySide(const QImage &left, const QString &leftTitle, const QImage &right, const QString &rightTitle,
                  QPoint *rightOrigin = nullptr);

// "IDD_FIND.png：文字過寬 1、熱鍵衝突 2、重疊 0" or "...：沒有問題".
QString ProblemLine(const QString &fileName, const ProblemCount &count);
