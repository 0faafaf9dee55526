#include "widgets/twiatile.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr QRgb White = 0xFFFFFFFFu;
constexpr QRgb Black = 0xFF000000u;

bool SameColour(QRgb pixel, QRgb colour)
{
    return (pixel & 0x00FFFFFFu) == (colour & 0x00FFFFFFu);
}

} // namespace

TwiaTile::TwiaTile(QWidget *parent)
    : QWidget(parent)
    , fadeColor(QApplication::palette().color(QPalette::Light))
{
    resize(64, 64);
    if (parent) {
        setGeometry(parent->rect());
        parent->installEventFilter(this);
        lower();
    }
}

void TwiaTile::setImage(const QImage &picture)
{
    if (picture.isNull()) {
        image = QImage();
    } else {
        tranColor = QColor::fromRgb(picture.pixel(0, picture.height() - 1));
        image = picture.copy();
    }
    RebuildTiles();
}

void TwiaTile::setTranColor(const QColor &color)
{
    tranColor = color;
    RebuildTiles();
}

void TwiaTile::setFadeColor(const QColor &color)
{
    fadeColor = color;
    RebuildTiles();
}

void TwiaTile::setTileMode(TwiaTileMode mode)
{
    if (mode == tileMode)
        return;
    tileMode = mode;
    RebuildTiles();
}

void TwiaTile::setTransparent(bool transparent)
{
    setTileMode(transparent ? tmTransparent : tmNormal);
}

void TwiaTile::setFaded(bool faded)
{
    if (faded)
        setTileMode(tmFaded);
    else if (tileMode == tmFaded)
        setTileMode(tmTransparent);
}

QColor TwiaTile::parentBackground() const
{
    const QWidget *owner = parentWidget() ? parentWidget() : this;
    return owner->palette().color(owner->backgroundRole());
}

void TwiaTile::RebuildTiles()
{
    ++rebuilds;
    tileBitmap = image.convertToFormat(QImage::Format_RGB32);
    maskBitmap = QImage(tileBitmap.size(), QImage::Format_RGB32);
    if (tileMode != tmNormal && !tileBitmap.isNull()) {
        const QRgb transparent = tranColor.rgb();
        for (int y = 0; y < tileBitmap.height(); ++y) {
            const QRgb *pixels = reinterpret_cast<const QRgb *>(tileBitmap.constScanLine(y));
            QRgb *mask = reinterpret_cast<QRgb *>(maskBitmap.scanLine(y));
            for (int x = 0; x < tileBitmap.width(); ++x)
                mask[x] = SameColour(pixels[x], transparent) ? White : Black;
        }
        if (tileMode == tmTransparent) {
            // Transparent pixels turn black so that OR-ing the tile over the
            // AND-ed mask leaves what lies underneath: the tile is AND-ed
            // with the mask's negative.
            QImage negative = maskBitmap;
            negative.invertPixels();
            QPainter painter(&tileBitmap);
            painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
            painter.drawImage(0, 0, negative);
        } else {
            const QRgb background = parentBackground().rgb() | Black;
            const QRgb silhouette = fadeColor.rgb() | Black;
            for (int y = 0; y < tileBitmap.height(); ++y) {
                const QRgb *mask = reinterpret_cast<const QRgb *>(maskBitmap.constScanLine(y));
                QRgb *pixels = reinterpret_cast<QRgb *>(tileBitmap.scanLine(y));
                for (int x = 0; x < tileBitmap.width(); ++x)
                    pixels[x] = mask[x] == White ? background : silhouette;
            }
        }
    }
    update();
}

void TwiaTile::paintEvent(QPaintEvent *)
{
    if (tileBitmap.isNull() || tileBitmap.width() <= 0 || tileBitmap.height() <= 0)
        return;
    QPainter painter(this);
    painter.setClipRect(rect());
    const int tileWidth = tileBitmap.width();
    const int tileHeight = tileBitmap.height();
    for (int top = 0; top < height(); top += tileHeight) {
        for (int left = 0; left < width(); left += tileWidth) {
            switch (tileMode) {
            case tmNormal:
                painter.drawImage(left, top, image);
                break;
            case tmFaded:
                painter.drawImage(left, top, tileBitmap);
                break;
            case tmTransparent:
                painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
                painter.drawImage(left, top, maskBitmap);
                painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
                painter.drawImage(left, top, tileBitmap);
                break;
            }
        }
    }
}

bool TwiaTile::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void TwiaTile::mousePressEvent(QMouseEvent *event)
{
    pressed = event->button() == Qt::LeftButton;
    emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void TwiaTile::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMove(event->modifiers(), event->position().toPoint());
}

void TwiaTile::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseUp(event->button(), event->modifiers(), event->position().toPoint());
    if (pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    pressed = false;
}

void TwiaTile::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}
