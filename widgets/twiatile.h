#pragma once
// The tiled background control: fills its area with a picture repeated in
// rows and columns from the top-left corner, either unchanged (tmNormal),
// with one colour of the picture see-through (tmTransparent), or as a flat
// two-colour silhouette (tmFaded). Windows place it under their controls.

#include <QColor>
#include <QImage>
#include <QWidget>

enum TwiaTileMode { tmFaded, tmTransparent, tmNormal };

class TwiaTile : public QWidget {
    Q_OBJECT
public:
    // With a parent the control fills the parent's client area and follows
    // its size; without one it is 64 x 64.
    explicit TwiaTile(QWidget *parent = nullptr);

    QImage Image() const { return image; }
    // Takes a copy of picture; its transparent colour (the bottom-left
    // pixel) becomes TranColor. A null picture leaves nothing to draw.
    void setImage(const QImage &picture);

    QColor TranColor() const { return tranColor; }
    void setTranColor(const QColor &color);   // always rebuilds
    QColor FadeColor() const { return fadeColor; }
    void setFadeColor(const QColor &color);   // always rebuilds
    TwiaTileMode TileMode() const { return tileMode; }
    void setTileMode(TwiaTileMode mode);      // rebuilds only on a change

    // Older forms of TileMode.
    bool Transparent() const { return tileMode == tmTransparent; }
    void setTransparent(bool transparent);    // true: tmTransparent, false: tmNormal
    bool Faded() const { return tileMode == tmFaded; }
    void setFaded(bool faded);                // false turns only tmFaded into tmTransparent

    // How many times the drawn tiles were prepared; they are prepared once
    // per change of picture, colours or mode, never while painting.
    int rebuildCount() const { return rebuilds; }

signals:
    void clicked();
    void doubleClicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseMove(Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void RebuildTiles();
    QColor parentBackground() const;

    QImage image;
    QImage tileBitmap; // drawn per tile in tmFaded and tmTransparent
    QImage maskBitmap; // white where the picture has TranColor, black elsewhere
    QColor tranColor;
    QColor fadeColor;
    TwiaTileMode tileMode = tmFaded;
    int rebuilds = 0;
    bool pressed = false;
};
