#include "widgets/artwork.h"
#include "widgets/artwork_kept.h"

#include "platform/fonts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace Artwork {
namespace {

// One palette for every picture: soft inks, muted primaries.
const QColor Ink(48, 56, 72);
const QColor SlateBlue(52, 84, 122);
const QColor CalmRed(196, 72, 58);
const QColor DeepRed(122, 36, 28);
const QColor Leaf(68, 160, 78);
const QColor DeepLeaf(32, 100, 44);
const QColor Sky(70, 120, 190);
const QColor DeepSky(30, 60, 115);
const QColor Paper(252, 249, 240);
const QColor PaperEdge(128, 118, 100);

// A transparent image with an antialiasing painter on it.
struct Canvas {
    QImage image;
    QPainter p;
    Canvas(int w, int h) : image(w, h, QImage::Format_ARGB32_Premultiplied)
    {
        image.fill(Qt::transparent);
        p.begin(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
    }
    QImage take()
    {
        p.end();
        return image;
    }
    QPixmap pixmap() { return QPixmap::fromImage(take()); }
};

QPen pen(const QColor &c, qreal w = 1.0)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Fill with a soft top-to-bottom gradient and outline in a darker tone.
void shape(QPainter &p, const QPainterPath &path, const QColor &fill, const QColor &edge, qreal w = 1.0)
{
    const QRectF b = path.boundingRect();
    QLinearGradient g(b.topLeft(), b.bottomLeft());
    g.setColorAt(0, fill.lighter(115));
    g.setColorAt(1, fill);
    p.setBrush(g);
    p.setPen(pen(edge, w));
    p.drawPath(path);
}

void roundRect(QPainter &p, const QRectF &r, qreal radius, const QColor &fill, const QColor &edge, qreal w = 1.0)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    shape(p, path, fill, edge, w);
}

void polygon(QPainter &p, std::initializer_list<QPointF> pts, const QColor &fill, const QColor &edge, qreal w = 1.0)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(pts)));
    path.closeSubpath();
    shape(p, path, fill, edge, w);
}

// A solid arrow from `from` to `to`: shaft of the given width, head twice as
// wide and as long as it is wide.
void arrow(QPainter &p, QPointF from, QPointF to, qreal width, const QColor &fill, const QColor &edge)
{
    const QPointF d = to - from;
    const qreal len = std::hypot(d.x(), d.y());
    if (len <= 0)
        return;
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    const qreal head = std::min(len * 0.6, width * 2.2);
    const QPointF base = to - u * head;
    const qreal hw = width / 2, hh = width * 1.25;
    polygon(p, {from + n * hw, base + n * hw, base + n * hh, to, base - n * hh, base - n * hw, from - n * hw}, fill,
            edge, 0.8);
}

// The letter A drawn as strokes inside `r`.
void letterA(QPainter &p, const QRectF &r, const QColor &c, qreal w)
{
    p.setPen(pen(c, w));
    p.setBrush(Qt::NoBrush);
    const QPointF top(r.center().x(), r.top());
    p.drawPolyline(QPolygonF({r.bottomLeft(), top, r.bottomRight()}));
    const qreal y = r.top() + r.height() * 0.64;
    const qreal dx = r.width() / 2 * 0.64;
    p.drawLine(QPointF(top.x() - dx, y), QPointF(top.x() + dx, y));
}

// The character 中 drawn as strokes inside `r`: a flat box crossed by one
// vertical stroke.
void letterZhong(QPainter &p, const QRectF &r, const QColor &c, qreal w)
{
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    const qreal boxTop = r.top() + r.height() * 0.24, boxBottom = r.top() + r.height() * 0.70;
    p.drawRect(QRectF(QPointF(r.left(), boxTop), QPointF(r.right(), boxBottom)));
    p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
}

// A sheet of paper with a folded top-right corner.
void page(QPainter &p, const QRectF &r, const QColor &fill, const QColor &edge, qreal fold, qreal w = 1.0)
{
    polygon(p, {r.topLeft(), QPointF(r.right() - fold, r.top()), QPointF(r.right(), r.top() + fold), r.bottomRight(),
                r.bottomLeft()},
            fill, edge, w);
    polygon(p, {QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                QPointF(r.right(), r.top() + fold)},
            fill.darker(112), edge, w);
}

// ---- shared motifs, each drawn in its own unit box ----

// Folder, opened, in a 16 x 16 box.
void drawFolder(QPainter &p)
{
    const QColor back(214, 166, 62), front(246, 206, 104), edge(132, 94, 30);
    polygon(p, {{1.5, 3.5}, {5.5, 3.5}, {7, 5}, {13.5, 5}, {13.5, 13.5}, {1.5, 13.5}}, back, edge);
    polygon(p, {{4, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}}, front, edge);
}

// Floppy disk in a 16 x 16 box.
void drawDisk(QPainter &p)
{
    roundRect(p, QRectF(1.5, 1.5, 13, 13), 1.5, Sky, DeepSky);
    p.setPen(pen(DeepSky));
    p.setBrush(QColor(214, 220, 230));
    p.drawRect(QRectF(4.5, 1.5, 7, 4.5));
    p.setPen(Qt::NoPen);
    p.setBrush(DeepSky);
    p.drawRect(QRectF(9, 2.5, 1.5, 2.5));
    p.setPen(pen(DeepSky));
    p.setBrush(Paper);
    p.drawRect(QRectF(3.5, 8.5, 9, 6));
    p.setPen(pen(QColor(150, 170, 200)));
    p.drawLine(QPointF(5, 10.5), QPointF(11, 10.5));
    p.drawLine(QPointF(5, 12.5), QPointF(11, 12.5));
}

// Pencil whose tip is at `tip`, lying at `angle` degrees (0 = tip pointing
// down), `length` long.
void drawPencil(QPainter &p, QPointF tip, qreal angle, qreal length, qreal width)
{
    p.save();
    p.translate(tip);
    p.rotate(angle);
    const qreal hw = width / 2, tipLen = width * 1.3;
    const QColor wood(244, 222, 170), body(236, 160, 52), edge(120, 70, 20);
    polygon(p, {{-hw, -length}, {hw, -length}, {hw, -tipLen}, {-hw, -tipLen}}, body, edge, 0.8);
    polygon(p, {{-hw, -length - width * 0.9}, {hw, -length - width * 0.9}, {hw, -length}, {-hw, -length}},
            QColor(220, 130, 140), edge, 0.8);
    polygon(p, {{-hw, -tipLen}, {hw, -tipLen}, {0, 0}}, wood, edge, 0.8);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawPolygon(QPolygonF({QPointF(-hw * 0.35, -tipLen * 0.35), QPointF(hw * 0.35, -tipLen * 0.35), QPointF(0, 0)}));
    p.restore();
}

// Closed book in a 16 x 16 box.
void drawBook(QPainter &p)
{
    const QColor cover(170, 72, 58), edge(96, 34, 26);
    polygon(p, {{4, 12}, {13.5, 12}, {13.5, 14.5}, {4, 14.5}}, Paper, PaperEdge);
    roundRect(p, QRectF(2.5, 1.5, 11, 11.5), 1.2, cover, edge);
    p.setPen(pen(edge));
    p.drawLine(QPointF(4.5, 2), QPointF(4.5, 12.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(244, 226, 190));
    p.drawRect(QRectF(6.5, 4, 5, 2));
    p.setPen(pen(edge, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(2.5, 13), QPointF(4, 14.5));
}

// Key cap in box r.
void drawKeyCap(QPainter &p, const QRectF &r)
{
    roundRect(p, r, 2.2, QColor(214, 218, 226), QColor(100, 106, 122));
    const QRectF face = r.adjusted(1.5, 1, -1.5, -2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 251, 253));
    p.drawRoundedRect(face, 1.5, 1.5);
}

// "A" with its hot-key underline on a key cap in box r.
void drawHotKeyCap(QPainter &p, const QRectF &r)
{
    drawKeyCap(p, r);
    const qreal s = r.width() / 13;
    const QRectF a(r.left() + 3.8 * s, r.top() + 2.4 * s, 5.4 * s, 5.8 * s);
    letterA(p, a, DeepSky, 1.45 * s);
    p.setPen(pen(CalmRed, 1.4 * s));
    p.drawLine(QPointF(a.left() - 0.3 * s, r.top() + 10.2 * s), QPointF(a.right() + 0.3 * s, r.top() + 10.2 * s));
}

// Key cap labelled "Ctrl" in box r.
void drawCtrlKeyCap(QPainter &p, const QRectF &r)
{
    drawKeyCap(p, r);
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Tahoma"), QStringLiteral("Arial")});
    f.setPixelSize(qMax(5, qRound(r.height() * 0.42)));
    f.setBold(true);
    f.setStretch(QFont::Condensed);
    f.setHintingPreference(QFont::PreferFullHinting);
    p.setFont(f);
    p.setPen(DeepSky);
    p.drawText(r.adjusted(0, -1.2, 0, -1.2), Qt::AlignCenter, QStringLiteral("Ctrl"));
}

// Two sheets, English "A" behind and Chinese 中 in front, in a 16 x 16 box.
void drawTranslatePages(QPainter &p)
{
    page(p, QRectF(1.5, 0.5, 9, 11), Paper, PaperEdge, 2.5);
    letterA(p, QRectF(3.4, 2.8, 4.6, 5.2), Ink, 1.3);
    page(p, QRectF(6.5, 4.5, 9, 11), QColor(255, 242, 232), DeepRed, 2.5);
    letterZhong(p, QRectF(8.8, 7, 4.4, 6.6), CalmRed, 1.3);
}

// Gear with a hole, centred in box r.
void drawGear(QPainter &p, const QRectF &r, const QColor &metal, const QColor &edge, qreal w)
{
    const QPointF c = r.center();
    const qreal outer = r.width() / 2, inner = outer * 0.76;
    const int teeth = 8;
    QPainterPath path;
    for (int i = 0; i < teeth * 4; ++i) {
        const qreal a = (i - 0.5) * M_PI * 2 / (teeth * 4);
        const qreal rad = (i % 4 == 1 || i % 4 == 2) ? outer : inner;
        const QPointF pt = c + QPointF(std::cos(a), std::sin(a)) * rad;
        i == 0 ? path.moveTo(pt) : path.lineTo(pt);
    }
    path.closeSubpath();
    path.addEllipse(c, outer * 0.3, outer * 0.3);
    path.setFillRule(Qt::OddEvenFill);
    QRadialGradient g(c - QPointF(outer * 0.3, outer * 0.3), outer * 1.4);
    g.setColorAt(0, metal.lighter(140));
    g.setColorAt(1, metal);
    p.setBrush(g);
    p.setPen(pen(edge, w));
    p.drawPath(path);
}

// Binoculars in an 18 x 18 box.
void drawBinoculars(QPainter &p)
{
    const QColor body(72, 78, 96), edge(30, 34, 46);
    roundRect(p, QRectF(2.5, 1.5, 4, 4), 1, body.lighter(130), edge);
    roundRect(p, QRectF(11.5, 1.5, 4, 4), 1, body.lighter(130), edge);
    roundRect(p, QRectF(6, 6, 6, 4), 1, body, edge);
    roundRect(p, QRectF(1.5, 4.5, 6, 10.5), 2, body, edge);
    roundRect(p, QRectF(10.5, 4.5, 6, 10.5), 2, body, edge);
    for (qreal x : {4.5, 13.5}) {
        QRadialGradient g(QPointF(x - 0.8, 12.6), 3);
        g.setColorAt(0, QColor(200, 230, 255));
        g.setColorAt(1, Sky);
        p.setBrush(g);
        p.setPen(pen(edge));
        p.drawEllipse(QPointF(x, 13.5), 2.5, 2.5);
    }
}

// The program's mark in a 64 x 64 box: an English sheet with "A" behind a
// red card with 中.
void drawMark(QPainter &p, const QRectF &r)
{
    p.save();
    p.translate(r.topLeft());
    p.scale(r.width() / 64, r.height() / 64);
    roundRect(p, QRectF(4, 3, 36, 44), 5, Paper, PaperEdge, 2);
    letterA(p, QRectF(11, 11, 20, 24), SlateBlue, 5);
    roundRect(p, QRectF(24, 18, 36, 43), 5, CalmRed, DeepRed, 2);
    letterZhong(p, QRectF(32, 25, 20, 29), QColor(255, 250, 244), 4.6);
    p.restore();
}

// Latin title face: the system's serif, else a common Windows serif.
QStringList titleFamilies()
{
    return {QStringLiteral("DejaVu Serif"), QStringLiteral("Georgia"), QStringLiteral("Times New Roman")};
}

// ---- background texture ----

// A hash of a lattice point, in 0..1, wrapping every `period` points so that
// the texture built from it tiles without a seam.
qreal lattice(int x, int y, int period, quint32 seed)
{
    x = ((x % period) + period) % period;
    y = ((y % period) + period) % period;
    quint32 h = quint32(x) * 374761393u + quint32(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffff) / 65535.0;
}

qreal smooth(qreal t) { return t * t * (3 - 2 * t); }

// Smooth value noise over a tile of `size` pixels with `cells` lattice cells
// a side; periodic over the tile.
qreal noise(qreal x, qreal y, int size, int cells, quint32 seed)
{
    const qreal fx = x * cells / size, fy = y * cells / size;
    const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    const qreal tx = smooth(fx - x0), ty = smooth(fy - y0);
    const qreal a = lattice(x0, y0, cells, seed), b = lattice(x0 + 1, y0, cells, seed);
    const qreal c = lattice(x0, y0 + 1, cells, seed), d = lattice(x0 + 1, y0 + 1, cells, seed);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

// Fibrous paper: three octaves of noise, centred on 0, range about -1..1.
qreal paper(qreal x, qreal y, int size, quint32 seed)
{
    return (noise(x, y, size, 4, seed) * 0.5 + noise(x, y, size, 8, seed + 1) * 0.3 +
            noise(x, y, size, 32, seed + 2) * 0.2 - 0.5) *
           2;
}

int clampByte(qreal v) { return std::clamp(int(std::lround(v)), 0, 255); }

} // namespace

// How each picture is drawn; the program asks for them through picture().
namespace Drawn {

QPixmap PointingHand()
{
    Canvas c(20, 20);
    QPainter &p = c.p;
    const QColor hand(214, 58, 46);
    roundRect(p, QRectF(1, 7, 3.5, 10), 0.8, QColor(246, 238, 236), DeepRed);
    roundRect(p, QRectF(9.5, 6.5, 9.5, 3.6), 1.8, hand, DeepRed);
    roundRect(p, QRectF(4.5, 6, 7.5, 11.5), 2.6, hand, DeepRed);
    for (qreal y : {10.1, 12.5, 14.9})
        roundRect(p, QRectF(9, y, 4.2, 2.6), 1.3, hand, DeepRed);
    p.setPen(pen(DeepRed));
    p.drawLine(QPointF(5.8, 8.8), QPointF(9.6, 9.6));
    return c.pixmap();
}

QPixmap SmilingFace()
{
    Canvas c(20, 20);
    QPainter &p = c.p;
    QRadialGradient g(QPointF(7.5, 7), 11);
    g.setColorAt(0, QColor(170, 228, 150));
    g.setColorAt(1, QColor(56, 156, 66));
    p.setBrush(g);
    p.setPen(pen(DeepLeaf));
    p.drawEllipse(QPointF(10, 10), 8.6, 8.6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 64, 30));
    p.drawEllipse(QPointF(7.2, 8), 1.2, 1.6);
    p.drawEllipse(QPointF(12.8, 8), 1.2, 1.6);
    QPainterPath smile;
    smile.moveTo(5.8, 11.6);
    smile.quadTo(10, 16.6, 14.2, 11.6);
    p.setPen(pen(QColor(24, 64, 30), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(smile);
    return c.pixmap();
}

QPixmap ToolbarImage(int index, bool hot)
{
    Canvas c(16, 16);
    QPainter &p = c.p;
    switch (index) {
    case 0:
        drawFolder(p);
        break;
    case 1:
        drawDisk(p);
        break;
    case 2:
        p.save();
        p.scale(0.8, 0.8);
        drawDisk(p);
        p.restore();
        drawPencil(p, QPointF(7, 14.8), 45, 8, 3.2);
        break;
    case 3:
        drawHotKeyCap(p, QRectF(1.5, 1.5, 13, 13));
        break;
    case 4:
        drawCtrlKeyCap(p, QRectF(0.5, 2.5, 15, 11));
        break;
    case 5:
        drawHotKeyCap(p, QRectF(0.5, 0.5, 9.5, 9.5));
        drawCtrlKeyCap(p, QRectF(4.5, 8.5, 11, 7));
        break;
    case 6:
        drawBook(p);
        p.setBrush(Leaf);
        p.setPen(pen(DeepLeaf));
        p.drawEllipse(QPointF(11.8, 11.8), 3.8, 3.8);
        p.setPen(pen(Qt::white, 1.5));
        p.drawLine(QPointF(11.8, 9.8), QPointF(11.8, 13.8));
        p.drawLine(QPointF(9.8, 11.8), QPointF(13.8, 11.8));
        break;
    case 7:
        drawTranslatePages(p);
        break;
    case 8: {
        roundRect(p, QRectF(4.5, 5, 7, 6), 0.8, QColor(200, 222, 246), DeepSky);
        p.setPen(QPen(DeepSky, 1.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        const qreal lo = 1.25, hi = 14.75, leg = 3.5;
        p.drawPolyline(QPolygonF({QPointF(lo, lo + leg), QPointF(lo, lo), QPointF(lo + leg, lo)}));
        p.drawPolyline(QPolygonF({QPointF(hi - leg, lo), QPointF(hi, lo), QPointF(hi, lo + leg)}));
        p.drawPolyline(QPolygonF({QPointF(hi, hi - leg), QPointF(hi, hi), QPointF(hi - leg, hi)}));
        p.drawPolyline(QPolygonF({QPointF(lo + leg, hi), QPointF(lo, hi), QPointF(lo, hi - leg)}));
        break;
    }
    }
    QImage img = c.take();
    if (!hot) {
        // Grey form: luminance, lifted a little towards white so that the
        // images at rest stay quieter than the coloured ones under the pointer.
        for (int y = 0; y < img.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                const QRgb px = line[x];
                const int a = qAlpha(px);
                const qreal lum = 0.299 * qRed(px) + 0.587 * qGreen(px) + 0.114 * qBlue(px);
                const int v = std::min(a, clampByte(lum + (a - lum) * 0.08));
                line[x] = qRgba(v, v, v, a);
            }
        }
    }
    return QPixmap::fromImage(img);
}

QPixmap Binoculars()
{
    Canvas c(18, 18);
    drawBinoculars(c.p);
    return c.pixmap();
}

namespace {
// Small binoculars on the left with an arrow up or down on the right.
QPixmap binocularsWithArrow(bool up)
{
    Canvas c(18, 18);
    QPainter &p = c.p;
    p.save();
    p.translate(0, 4.5);
    p.scale(0.75, 0.75);
    drawBinoculars(p);
    p.restore();
    const QPointF top(15.2, 1), bottom(15.2, 15.5);
    arrow(p, up ? bottom : top, up ? top : bottom, 2.4, Leaf, DeepLeaf);
    return c.pixmap();
}
} // namespace

QPixmap BinocularsUp() { return binocularsWithArrow(true); }
QPixmap BinocularsDown() { return binocularsWithArrow(false); }

QPixmap NextMultiGlyph()
{
    Canvas c(18, 18);
    QPainter &p = c.p;
    roundRect(p, QRectF(0.5, 0.5, 10, 7), 1, QColor(236, 230, 214), PaperEdge);
    roundRect(p, QRectF(2.5, 3, 10, 7), 1, QColor(244, 240, 228), PaperEdge);
    roundRect(p, QRectF(4.5, 5.5, 10, 7), 1, Paper, PaperEdge);
    p.setPen(pen(QColor(150, 140, 125)));
    p.drawLine(QPointF(6.5, 8), QPointF(12.5, 8));
    p.drawLine(QPointF(6.5, 10), QPointF(10.5, 10));
    arrow(p, QPointF(15, 7), QPointF(15, 17.5), 2.4, CalmRed, DeepRed);
    return c.pixmap();
}

QPixmap UntranslatedGlyph()
{
    Canvas c(18, 18);
    QPainter &p = c.p;
    page(p, QRectF(0.5, 0.5, 11, 14), Paper, PaperEdge, 3);
    letterA(p, QRectF(2.8, 3.8, 6.4, 8), SlateBlue, 1.7);
    arrow(p, QPointF(15, 7), QPointF(15, 17.5), 2.4, Leaf, DeepLeaf);
    return c.pixmap();
}

QPixmap CheckGlyph()
{
    // A page of text under a red tick: the translations checked. Narrower
    // than the other glyphs: its button sits at the end of the header row.
    Canvas c(16, 18);
    QPainter &p = c.p;
    page(p, QRectF(0.5, 0.5, 11, 15), Paper, PaperEdge, 3);
    p.setPen(pen(QColor(150, 140, 125)));
    for (const qreal y : {4.5, 7.0, 9.5})
        p.drawLine(QPointF(2.5, y), QPointF(7.5, y));
    const QPolygonF tick({QPointF(6.5, 12), QPointF(9.5, 15.5), QPointF(14.8, 7.5)});
    p.setPen(QPen(DeepRed, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(tick);
    p.setPen(QPen(CalmRed, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(tick);
    return c.pixmap();
}

QPixmap BackgroundTile(Background kind)
{
    const int n = 64;
    QImage img(n, n, QImage::Format_RGB32);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            QColor base;
            qreal v = 0;
            switch (kind) {
            case Background::MainMenu:
                // Warm paper with soft fibres.
                base = QColor(246, 241, 230);
                v = paper(x, y, n, 11) * 4.5;
                break;
            case Background::Maintenance: {
                // Cool linen: a faint weave over light noise.
                base = QColor(238, 241, 245);
                const qreal weave = std::sin(2 * M_PI * x * 16 / n) * std::sin(2 * M_PI * y * 16 / n);
                v = paper(x, y, n, 23) * 3 + weave * 1.5;
                break;
            }
            case Background::Conversion: {
                // Pale sage with gentle diagonal ribs.
                base = QColor(238, 242, 233);
                const qreal rib = std::sin(2 * M_PI * (x + y) * 8 / n);
                v = paper(x, y, n, 37) * 3 + rib * 1.6;
                break;
            }
            case Background::About: {
                // Cream with a faint diamond lattice.
                base = QColor(249, 244, 232);
                const qreal d = std::cos(2 * M_PI * (x + y) * 4 / n) * std::cos(2 * M_PI * (x - y) * 4 / n);
                v = paper(x, y, n, 53) * 3 + d * 2;
                break;
            }
            }
            img.setPixel(x, y, qRgb(clampByte(base.red() + v), clampByte(base.green() + v), clampByte(base.blue() + v)));
        }
    }
    return QPixmap::fromImage(img);
}

QPixmap CoolBarTile()
{
    const int w = 64, h = 38;
    QImage img(w, h, QImage::Format_RGB32);
    const QColor top(249, 250, 252), bottom(228, 232, 238);
    for (int y = 0; y < h; ++y) {
        const qreal t = qreal(y) / (h - 1);
        for (int x = 0; x < w; ++x) {
            const qreal v = paper(x, y * 0.5, w, 71) * 1.5;
            int r = clampByte(top.red() + (bottom.red() - top.red()) * t + v);
            int g = clampByte(top.green() + (bottom.green() - top.green()) * t + v);
            int b = clampByte(top.blue() + (bottom.blue() - top.blue()) * t + v);
            if (y == 0)
                r = g = b = 255;
            else if (y == h - 1)
                r = 212, g = 217, b = 226;
            img.setPixel(x, y, qRgb(r, g, b));
        }
    }
    return QPixmap::fromImage(img);
}

QPixmap MenuTitle()
{
    InstallFontSubstitutions();
    Canvas c(348, 35);
    QPainter &p = c.p;
    QLinearGradient g(0, 0, 348, 0);
    g.setColorAt(0, SlateBlue);
    g.setColorAt(1, QColor(104, 138, 168));
    p.fillRect(QRect(0, 0, 348, 35), g);
    QLinearGradient sheen(0, 0, 0, 35);
    sheen.setColorAt(0, QColor(255, 255, 255, 46));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    p.fillRect(QRect(0, 0, 348, 35), sheen);
    p.fillRect(QRect(0, 34, 348, 1), QColor(34, 56, 84));
    drawMark(p, QRectF(6, 3, 29, 29));

    QFont name;
    name.setFamilies(titleFamilies());
    name.setPixelSize(20);
    name.setBold(true);
    p.setFont(name);
    p.setPen(QColor(20, 34, 54, 110));
    p.drawText(QRectF(43, 1, 200, 35), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Tavisorn"));
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRectF(42, 0, 200, 35), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Tavisorn"));

    p.setFont(MingFont(16));
    p.setPen(QColor(232, 238, 246));
    p.drawText(QRectF(0, 0, 336, 35), Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("中文化工具"));
    return c.pixmap();
}

QPixmap MenuIcon(int n)
{
    Canvas c(32, 32);
    QPainter &p = c.p;
    switch (n) {
    case 0: // make dictionary: book with a plus
        p.scale(2, 2);
        drawBook(p);
        p.setBrush(Leaf);
        p.setPen(pen(DeepLeaf, 0.7));
        p.drawEllipse(QPointF(12, 11.8), 3.6, 3.6);
        p.setPen(pen(Qt::white, 1.1));
        p.drawLine(QPointF(12, 9.8), QPointF(12, 13.8));
        p.drawLine(QPointF(10, 11.8), QPointF(14, 11.8));
        break;
    case 1: { // maintain dictionary: open book with a pencil
        const QColor cover(170, 72, 58), edge(96, 34, 26);
        polygon(p, {{2, 9}, {16, 12}, {30, 9}, {30, 27}, {16, 30}, {2, 27}}, cover, edge, 1.2);
        QPainterPath left, right;
        left.moveTo(16, 10);
        left.cubicTo(12, 6.5, 7, 6.5, 4, 7.5);
        left.lineTo(4, 25.5);
        left.cubicTo(7, 24.5, 12, 24.5, 16, 28);
        left.closeSubpath();
        right.moveTo(16, 10);
        right.cubicTo(20, 6.5, 25, 6.5, 28, 7.5);
        right.lineTo(28, 25.5);
        right.cubicTo(25, 24.5, 20, 24.5, 16, 28);
        right.closeSubpath();
        shape(p, left, Paper, PaperEdge);
        shape(p, right, Paper, PaperEdge);
        p.setPen(pen(QColor(170, 160, 145)));
        for (int i = 0; i < 4; ++i) {
            p.drawLine(QPointF(6.5, 12 + i * 3), QPointF(13.5, 12.8 + i * 3));
        }
        drawPencil(p, QPointF(17.5, 24), 40, 14, 4.6);
        break;
    }
    case 2: // translate new version: "A" sheet and 中 sheet
        p.scale(2, 2);
        page(p, QRectF(1, 0.5, 9, 11), Paper, PaperEdge, 2.5, 0.6);
        letterA(p, QRectF(3, 2.8, 4.6, 5.6), SlateBlue, 1.0);
        page(p, QRectF(6.5, 4.5, 9, 11), QColor(255, 242, 232), DeepRed, 2.5, 0.6);
        letterZhong(p, QRectF(8.8, 7, 4.4, 6.6), CalmRed, 1.0);
        break;
    case 3: // settings: gear
        drawGear(p, QRectF(2, 2, 28, 28), QColor(118, 132, 152), QColor(56, 66, 84), 1.2);
        break;
    case 4: { // about: i in a circle
        QRadialGradient g(QPointF(12, 10), 20);
        g.setColorAt(0, Sky.lighter(140));
        g.setColorAt(1, Sky);
        p.setBrush(g);
        p.setPen(pen(DeepSky, 1.2));
        p.drawEllipse(QPointF(16, 16), 14, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 9.5), 2.3, 2.3);
        p.drawRoundedRect(QRectF(14, 13.5, 4, 11.5), 1.2, 1.2);
        p.drawRoundedRect(QRectF(12, 23.5, 8, 2.2), 1, 1);
        p.drawRoundedRect(QRectF(12.5, 13.5, 4, 2), 1, 1);
        break;
    }
    case 5: { // exit: open door with an arrow going out
        const QColor wood(176, 124, 76), edge(96, 62, 32);
        p.setBrush(QColor(60, 52, 46));
        p.setPen(pen(edge, 1.2));
        p.drawRect(QRectF(6, 3, 14, 26));
        polygon(p, {{6, 3}, {14, 6}, {14, 31}, {6, 29}}, wood, edge, 1.2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(240, 210, 120));
        p.drawEllipse(QPointF(12, 18), 1.2, 1.2);
        arrow(p, QPointF(15, 16), QPointF(31, 16), 4.5, Leaf, DeepLeaf);
        break;
    }
    }
    return c.pixmap();
}

QPixmap BrowseIcon()
{
    Canvas c(16, 16);
    drawFolder(c.p);
    return c.pixmap();
}

QPixmap EditDictIcon()
{
    Canvas c(16, 16);
    QPainter &p = c.p;
    drawBook(p);
    drawPencil(p, QPointF(8, 15), 40, 8, 3.2);
    return c.pixmap();
}

QPixmap StartIcon()
{
    Canvas c(24, 24);
    QPainter &p = c.p;
    QRadialGradient g(QPointF(9, 8), 16);
    g.setColorAt(0, Leaf.lighter(150));
    g.setColorAt(1, Leaf);
    p.setBrush(g);
    p.setPen(pen(DeepLeaf, 1.2));
    p.drawEllipse(QPointF(12, 12), 10.8, 10.8);
    p.setBrush(Qt::white);
    p.setPen(pen(QColor(235, 245, 235), 1));
    p.drawPolygon(QPolygonF({QPointF(9.2, 6.8), QPointF(17.6, 12), QPointF(9.2, 17.2)}));
    return c.pixmap();
}

QPixmap AboutLogo()
{
    InstallFontSubstitutions();
    Canvas c(153, 52);
    QPainter &p = c.p;
    drawMark(p, QRectF(2, 3, 46, 46));

    QFont name;
    name.setFamilies(titleFamilies());
    name.setBold(true);
    name.setPixelSize(24);
    while (QFontMetricsF(name).horizontalAdvance(QStringLiteral("Tavisorn")) > 98 && name.pixelSize() > 10)
        name.setPixelSize(name.pixelSize() - 1);
    p.setFont(name);
    p.setPen(SlateBlue);
    p.drawText(QPointF(53, 27), QStringLiteral("Tavisorn"));

    p.setPen(pen(QColor(196, 72, 58, 180), 1));
    p.drawLine(QPointF(54, 32.5), QPointF(150, 32.5));

    p.setFont(MingFont(14));
    p.setPen(QColor(96, 104, 118));
    p.drawText(QRectF(53, 34, 98, 17), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("中文化工具"));
    return c.pixmap();
}

QPixmap AppIcon()
{
    return QPixmap::fromImage(AppIconImage(64));
}

} // namespace Drawn

// Drawn at any size, for the icons an install puts in the desktop's theme.
QImage AppIconImage(int size)
{
    Canvas c(size, size);
    drawMark(c.p, QRectF(0, 0, size, size));
    return c.take();
}

namespace {

QString keyOf(const char *name, int a = -1, int b = -1)
{
    QString key = QLatin1String(name);
    if (a >= 0)
        key += QLatin1Char('/') + QString::number(a);
    if (b >= 0)
        key += QLatin1Char('/') + QString::number(b);
    return key;
}

// A picture once made is kept for the run: the windows ask for some of
// them several times.
QPixmap picture(const QString &key)
{
    QPixmap made;
    if (QPixmapCache::find(QStringLiteral("Artwork:") + key, &made))
        return made;
    const QImage kept = Kept::stored(key);
    if (!kept.isNull()) {
        made = QPixmap::fromImage(kept);
    } else {
        for (const Kept::Drawing &d : Kept::everyPicture()) {
            if (d.key == key) {
                made = d.draw();
                break;
            }
        }
    }
    QPixmapCache::insert(QStringLiteral("Artwork:") + key, made);
    return made;
}

} // namespace

namespace Kept {

const std::vector<Drawing> &everyPicture()
{
    static const std::vector<Drawing> all = [] {
        std::vector<Drawing> d{
            {keyOf("PointingHand"), Drawn::PointingHand},
            {keyOf("SmilingFace"), Drawn::SmilingFace},
            {keyOf("Binoculars"), Drawn::Binoculars},
            {keyOf("BinocularsUp"), Drawn::BinocularsUp},
            {keyOf("BinocularsDown"), Drawn::BinocularsDown},
            {keyOf("NextMultiGlyph"), Drawn::NextMultiGlyph},
            {keyOf("UntranslatedGlyph"), Drawn::UntranslatedGlyph},
            {keyOf("CheckGlyph"), Drawn::CheckGlyph},
            {keyOf("CoolBarTile"), Drawn::CoolBarTile},
            {keyOf("MenuTitle"), Drawn::MenuTitle},
            {keyOf("BrowseIcon"), Drawn::BrowseIcon},
            {keyOf("EditDictIcon"), Drawn::EditDictIcon},
            {keyOf("StartIcon"), Drawn::StartIcon},
            {keyOf("AboutLogo"), Drawn::AboutLogo},
            {keyOf("AppIcon"), Drawn::AppIcon},
        };
        for (int i = 0; i < ToolbarImageCount; ++i) {
            d.push_back({keyOf("ToolbarImage", i, 0), [i] { return Drawn::ToolbarImage(i, false); }});
            d.push_back({keyOf("ToolbarImage", i, 1), [i] { return Drawn::ToolbarImage(i, true); }});
        }
        for (int n = 0; n < MenuIconCount; ++n)
            d.push_back({keyOf("MenuIcon", n), [n] { return Drawn::MenuIcon(n); }});
        for (Background kind : {Background::MainMenu, Background::Maintenance, Background::Conversion, Background::About})
            d.push_back({keyOf("BackgroundTile", int(kind)), [kind] { return Drawn::BackgroundTile(kind); }});
        return d;
    }();
    return all;
}

} // namespace Kept

QPixmap PointingHand() { return picture(keyOf("PointingHand")); }
QPixmap SmilingFace() { return picture(keyOf("SmilingFace")); }

QPixmap ToolbarImage(int index, bool hot)
{
    if (index < 0 || index >= ToolbarImageCount)
        return QPixmap();
    return picture(keyOf("ToolbarImage", index, hot ? 1 : 0));
}

QPixmap Binoculars() { return picture(keyOf("Binoculars")); }
QPixmap BinocularsUp() { return picture(keyOf("BinocularsUp")); }
QPixmap BinocularsDown() { return picture(keyOf("BinocularsDown")); }
QPixmap NextMultiGlyph() { return picture(keyOf("NextMultiGlyph")); }
QPixmap UntranslatedGlyph() { return picture(keyOf("UntranslatedGlyph")); }
QPixmap CheckGlyph() { return picture(keyOf("CheckGlyph")); }
QPixmap BackgroundTile(Background kind) { return picture(keyOf("BackgroundTile", int(kind))); }
QPixmap CoolBarTile() { return picture(keyOf("CoolBarTile")); }
QPixmap MenuTitle() { return picture(keyOf("MenuTitle")); }

QPixmap MenuIcon(int n)
{
    if (n < 0 || n >= MenuIconCount)
        return QPixmap();
    return picture(keyOf("MenuIcon", n));
}

QPixmap BrowseIcon() { return picture(keyOf("BrowseIcon")); }
QPixmap EditDictIcon() { return picture(keyOf("EditDictIcon")); }
QPixmap StartIcon() { return picture(keyOf("StartIcon")); }
QPixmap AboutLogo() { return picture(keyOf("AboutLogo")); }
QPixmap AppIcon() { return picture(keyOf("AppIcon")); }

} // namespace Artwork
