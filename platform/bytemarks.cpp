#include "platform/bytemarks.h"

#include "platform/codepage.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QTextCharFormat>
#include <QtEndian>

#include <array>
#include <vector>

namespace {

// Design units of the font; a mark spans the height of a Chinese character.
constexpr int UnitsPerEm = 1000;
constexpr int Ascent = 880;
constexpr int Descent = 120;
constexpr int Advance = 1000;

// The escapes of code page 950 run from this code point to U+10FFFF.
constexpr char32_t FirstMark = cp950::escapeFor(0x40);
constexpr int MarkCount = 0x100 - 0x40;

// Hexadecimal digits drawn on a grid of 3 x 5 squares, top row first.
constexpr std::array<const char *, 16> Digits = {
    "111101101101111", "010110010010111", "111001111100111", "111001111001111",
    "101101111001001", "111100111001111", "111100111101111", "111001001001001",
    "111101111101111", "111101111001111", "010101111101101", "110101110101110",
    "011100100100011", "110101101101110", "111100110100111", "111100110100100",
};

struct Contour {
    std::vector<std::array<int, 2>> points; // all on the outline
};

// A rectangle as one closed outline, clockwise (filled) or not (a hole).
Contour rectangle(int x0, int y0, int x1, int y1, bool filled)
{
    if (filled)
        return {{{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}}};
    return {{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}};
}

std::vector<Contour> markOutline(int byte)
{
    std::vector<Contour> contours;
    // The frame: an outer rectangle with a hole.
    const int left = 40, right = Advance - 40, bottom = -80, top = 840, stroke = 30;
    contours.push_back(rectangle(left, bottom, right, top, true));
    contours.push_back(rectangle(left + stroke, bottom + stroke, right - stroke, top - stroke, false));
    // Two digits, each square of the grid a filled rectangle.
    const int cell = 120, gap = 70;
    const int digitsWidth = 3 * cell * 2 + gap;
    const int x0 = (Advance - digitsWidth) / 2;
    const int y0 = (bottom + top) / 2 - 5 * cell / 2;
    const int nibbles[2] = {byte >> 4, byte & 0xF};
    for (int d = 0; d < 2; ++d) {
        const char *pattern = Digits[std::size_t(nibbles[d])];
        const int dx = x0 + d * (3 * cell + gap);
        for (int row = 0; row < 5; ++row) {
            for (int col = 0; col < 3; ++col) {
                if (pattern[row * 3 + col] != '1')
                    continue;
                const int x = dx + col * cell;
                const int y = y0 + (4 - row) * cell;
                contours.push_back(rectangle(x, y, x + cell, y + cell, true));
            }
        }
    }
    return contours;
}

class Writer {
public:
    QByteArray bytes;
    void u8(int v) { bytes.append(char(v & 0xFF)); }
    void u16(int v)
    {
        u8(v >> 8);
        u8(v);
    }
    void u32(quint32 v)
    {
        u16(int(v >> 16));
        u16(int(v & 0xFFFF));
    }
    void pad4()
    {
        while (bytes.size() % 4)
            u8(0);
    }
};

quint32 checksum(const QByteArray &table)
{
    QByteArray padded = table;
    while (padded.size() % 4)
        padded.append('\0');
    quint32 sum = 0;
    for (qsizetype i = 0; i < padded.size(); i += 4)
        sum += qFromBigEndian<quint32>(padded.constData() + i);
    return sum;
}

QByteArray glyphData(const std::vector<Contour> &contours)
{
    Writer w;
    if (contours.empty())
        return {};
    int xMin = 1 << 15, yMin = 1 << 15, xMax = -(1 << 15), yMax = -(1 << 15);
    for (const Contour &c : contours) {
        for (const auto &p : c.points) {
            xMin = qMin(xMin, p[0]);
            xMax = qMax(xMax, p[0]);
            yMin = qMin(yMin, p[1]);
            yMax = qMax(yMax, p[1]);
        }
    }
    w.u16(int(contours.size()));
    w.u16(xMin);
    w.u16(yMin);
    w.u16(xMax);
    w.u16(yMax);
    int end = -1;
    for (const Contour &c : contours) {
        end += int(c.points.size());
        w.u16(end);
    }
    w.u16(0); // no instructions
    for (const Contour &c : contours)
        for (std::size_t i = 0; i < c.points.size(); ++i)
            w.u8(0x01); // on the outline, both coordinates as 16-bit steps
    for (int axis = 0; axis < 2; ++axis) {
        int last = 0;
        for (const Contour &c : contours) {
            for (const auto &p : c.points) {
                w.u16(p[std::size_t(axis)] - last);
                last = p[std::size_t(axis)];
            }
        }
    }
    w.pad4();
    return w.bytes;
}

QByteArray nameTable()
{
    const QString values[] = {QString(), ByteMarkFamily(), QStringLiteral("Regular"),
                              ByteMarkFamily() + QStringLiteral(" Regular"), ByteMarkFamily(),
                              QStringLiteral("Version 1.0"), QStringLiteral("TavisornByteMarks-Regular")};
    Writer strings;
    Writer w;
    const int count = 6;
    w.u16(0);
    w.u16(count);
    w.u16(6 + count * 12);
    for (int id = 1; id <= count; ++id) {
        const QString &text = values[id];
        w.u16(3);      // Windows
        w.u16(1);      // Unicode BMP
        w.u16(0x409);  // English
        w.u16(id);
        w.u16(int(text.size() * 2));
        w.u16(int(strings.bytes.size()));
        for (QChar c : text)
            strings.u16(c.unicode());
    }
    w.bytes += strings.bytes;
    return w.bytes;
}

} // namespace

QString ByteMarkFamily()
{
    return QStringLiteral("Tavisorn Byte Marks");
}

QByteArray ByteMarkFontData()
{
    const int glyphCount = MarkCount + 1; // .notdef first, empty
    std::vector<QByteArray> glyphs;
    glyphs.emplace_back();
    int maxPoints = 0, maxContours = 0;
    for (int b = 0x40; b < 0x100; ++b) {
        const std::vector<Contour> outline = markOutline(b);
        int points = 0;
        for (const Contour &c : outline)
            points += int(c.points.size());
        maxPoints = qMax(maxPoints, points);
        maxContours = qMax(maxContours, int(outline.size()));
        glyphs.push_back(glyphData(outline));
    }

    Writer glyf, loca;
    for (const QByteArray &g : glyphs) {
        loca.u32(quint32(glyf.bytes.size()));
        glyf.bytes += g;
    }
    loca.u32(quint32(glyf.bytes.size()));

    Writer head;
    head.u32(0x00010000);
    head.u32(0x00010000);
    head.u32(0); // checkSumAdjustment, filled in below
    head.u32(0x5F0F3CF5);
    head.u16(0x000B);
    head.u16(UnitsPerEm);
    head.u32(0);
    head.u32(0); // created
    head.u32(0);
    head.u32(0); // modified
    head.u16(40);
    head.u16(-80);
    head.u16(Advance - 40);
    head.u16(840);
    head.u16(0);  // regular
    head.u16(8);  // smallest readable size in pixels
    head.u16(2);
    head.u16(1);  // long offsets in loca
    head.u16(0);

    Writer hhea;
    hhea.u32(0x00010000);
    hhea.u16(Ascent);
    hhea.u16(-Descent);
    hhea.u16(0);
    hhea.u16(Advance);
    hhea.u16(0);
    hhea.u16(0);
    hhea.u16(Advance - 40);
    hhea.u16(1);
    hhea.u16(0);
    hhea.u16(0);
    for (int i = 0; i < 5; ++i)
        hhea.u16(0);
    hhea.u16(glyphCount);

    Writer hmtx;
    for (int g = 0; g < glyphCount; ++g) {
        hmtx.u16(Advance);
        hmtx.u16(g == 0 ? 0 : 40);
    }

    Writer maxp;
    maxp.u32(0x00010000);
    maxp.u16(glyphCount);
    maxp.u16(maxPoints);
    maxp.u16(maxContours);
    maxp.u16(0); // composite points
    maxp.u16(0); // composite contours
    maxp.u16(1); // zones: no twilight zone
    for (int i = 0; i < 8; ++i)
        maxp.u16(0); // no hinting programs, no components

    Writer os2;
    os2.u16(4);
    os2.u16(Advance);
    os2.u16(400);
    os2.u16(5);
    os2.u16(0);
    for (int i = 0; i < 10; ++i)
        os2.u16(0); // sub- and superscript, strikeout
    os2.u16(0);     // family class
    for (int i = 0; i < 10; ++i)
        os2.u8(0);  // panose
    for (int i = 0; i < 4; ++i)
        os2.u32(0); // unicode ranges
    os2.u32(0x5442534D); // vendor "TBSM"
    os2.u16(0x40);       // regular
    os2.u16(0xFFFF);     // first character (beyond the BMP)
    os2.u16(0xFFFF);
    os2.u16(Ascent);
    os2.u16(-Descent);
    os2.u16(0);
    os2.u16(Ascent);
    os2.u16(Descent);
    os2.u32(0);
    os2.u32(0);
    os2.u16(500);
    os2.u16(700);
    os2.u16(0);
    os2.u16(0x20);
    os2.u16(0);

    Writer post;
    post.u32(0x00030000);
    for (int i = 0; i < 7; ++i)
        post.u32(0);

    // Unicode mappings: an empty one for the basic plane, and the marks.
    Writer cmap;
    cmap.u16(0);
    cmap.u16(2);
    cmap.u16(3);
    cmap.u16(1);
    cmap.u32(20);
    cmap.u16(3);
    cmap.u16(10);
    cmap.u32(20 + 24);
    cmap.u16(4); // format 4: only the closing segment
    cmap.u16(24);
    cmap.u16(0);
    cmap.u16(2);
    cmap.u16(2);
    cmap.u16(0);
    cmap.u16(0);
    cmap.u16(0xFFFF);
    cmap.u16(0);
    cmap.u16(0xFFFF);
    cmap.u16(1);
    cmap.u16(0);
    cmap.u16(12); // format 12: one group for every mark
    cmap.u16(0);
    cmap.u32(16 + 12);
    cmap.u32(0);
    cmap.u32(1);
    cmap.u32(FirstMark);
    cmap.u32(FirstMark + MarkCount - 1);
    cmap.u32(1);

    struct Table {
        const char *tag;
        QByteArray data;
    };
    std::vector<Table> tables = {
        {"OS/2", os2.bytes}, {"cmap", cmap.bytes}, {"glyf", glyf.bytes}, {"head", head.bytes},
        {"hhea", hhea.bytes}, {"hmtx", hmtx.bytes}, {"loca", loca.bytes}, {"maxp", maxp.bytes},
        {"name", nameTable()}, {"post", post.bytes},
    };

    Writer file;
    const int n = int(tables.size());
    int power = 1, log2 = 0;
    while (power * 2 <= n) {
        power *= 2;
        ++log2;
    }
    file.u32(0x00010000);
    file.u16(n);
    file.u16(power * 16);
    file.u16(log2);
    file.u16(n * 16 - power * 16);
    quint32 offset = quint32(12 + n * 16);
    std::vector<quint32> offsets;
    for (const Table &t : tables) {
        file.bytes.append(t.tag, 4);
        file.u32(checksum(t.data));
        file.u32(offset);
        file.u32(quint32(t.data.size()));
        offsets.push_back(offset);
        offset += quint32((t.data.size() + 3) / 4 * 4);
    }
    qsizetype headAt = 0;
    for (const Table &t : tables) {
        if (qstrcmp(t.tag, "head") == 0)
            headAt = file.bytes.size();
        file.bytes += t.data;
        file.pad4();
    }
    const quint32 adjustment = 0xB1B0AFBAu - checksum(file.bytes);
    qToBigEndian(adjustment, file.bytes.data() + headAt + 8);
    return file.bytes;
}

bool InstallByteMarkFont()
{
    static const bool installed = QFontDatabase::addApplicationFontFromData(ByteMarkFontData()) >= 0;
    return installed;
}

bool IsByteMarkAt(const QString &text, qsizetype i)
{
    return i + 1 < text.size() && text.at(i).isHighSurrogate() && text.at(i + 1).isLowSurrogate()
           && cp950::isEscape(QChar::surrogateToUcs4(text.at(i), text.at(i + 1)));
}

QColor ByteMarkColour(const QColor &text, const QColor &background)
{
    return QColor((text.red() + background.red()) / 2, (text.green() + background.green()) / 2,
                  (text.blue() + background.blue()) / 2);
}

void DrawTextWithByteMarks(QPainter &painter, const QRect &rect, const QString &text, const QColor &markColour)
{
    constexpr int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    bool anyMark = false;
    for (qsizetype i = 0; i < text.size() && !anyMark; ++i)
        anyMark = IsByteMarkAt(text, i);
    if (!anyMark) {
        painter.drawText(rect, flags, text);
        return;
    }
    const QPen textPen = painter.pen();
    const QFontMetrics metrics(painter.font());
    int x = rect.left();
    qsizetype i = 0;
    while (i < text.size() && x <= rect.right()) {
        const bool mark = IsByteMarkAt(text, i);
        qsizetype end = i;
        while (end < text.size() && IsByteMarkAt(text, end) == mark)
            end += mark ? 2 : 1;
        const QString run = text.mid(i, end - i);
        painter.setPen(mark ? QPen(markColour) : textPen);
        painter.drawText(QRect(x, rect.top(), rect.right() - x + 1, rect.height()), flags, run);
        x += metrics.horizontalAdvance(run);
        i = end;
    }
    painter.setPen(textPen);
}

ByteMarkHighlighter::ByteMarkHighlighter(QTextDocument *document, const QColor &markColour)
    : QSyntaxHighlighter(document), Colour(markColour)
{
}

void ByteMarkHighlighter::highlightBlock(const QString &text)
{
    QTextCharFormat mark;
    mark.setForeground(Colour);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsByteMarkAt(text, i)) {
            setFormat(int(i), 2, mark);
            ++i;
        }
    }
}
