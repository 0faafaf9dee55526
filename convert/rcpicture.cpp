#include "convert/rcpicture.h"

#include "platform/codepage.h"
#include "platform/fonts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

const QColor Face(212, 208, 200);   // the classic 3D face of dialogs and buttons
const QColor Shadow(128, 128, 128);
const QColor DarkShadow(64, 64, 64);
const QColor Light(255, 255, 255);
const QColor Ink(0, 0, 0);
const QColor Paper(255, 255, 255);
const QColor Note(70, 70, 70);
const int Margin = 10;
const int Border = 3;
const int CaptionHeight = 19;

QString shown(const std::string &quoted)
{
    return cp950::decode(ShownText(quoted));
}

// The pixel height of the dialog's font: its em at 96 pixels per inch.
int fontPixels(const LaidDialog &d)
{
    return d.FontPoints > 0 ? std::max(8, (d.FontPoints * 96 + 36) / 72) : 13;
}

void raised(QPainter &p, const QRect &r, bool thick)
{
    p.fillRect(r, Face);
    p.setPen(Light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(thick ? DarkShadow : Shadow);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    if (thick && r.width() > 3 && r.height() > 3) {
        p.setPen(Shadow);
        const QRect in = r.adjusted(1, 1, -1, -1);
        p.drawLine(in.bottomLeft(), in.bottomRight());
        p.drawLine(in.topRight(), in.bottomRight());
    }
}

void sunken(QPainter &p, const QRect &r, const QColor &fill)
{
    p.fillRect(r, fill);
    p.setPen(Shadow);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(Light);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    if (r.width() > 3 && r.height() > 3) {
        const QRect in = r.adjusted(1, 1, -1, -1);
        p.setPen(DarkShadow);
        p.drawLine(in.topLeft(), in.topRight());
        p.drawLine(in.topLeft(), in.bottomLeft());
    }
}

int alignOf(TextAlign a)
{
    return a == TextAlign::Center ? Qt::AlignHCenter : a == TextAlign::Right ? Qt::AlignRight : Qt::AlignLeft;
}

// A control's text where it stands, cut at its rectangle as Windows cuts
// it; a text too wide goes on in the overflow strip beside it, in red.
void text(QPainter &p, const QRect &r, const LaidControl &c, int flags, const QRect &overflow)
{
    const QString t = shown(c.Text);
    flags |= Qt::TextShowMnemonic | (c.Wraps ? Qt::TextWordWrap : Qt::TextSingleLine);
    p.save();
    p.setClipRect(r);
    p.setPen(Ink);
    p.drawText(r, flags, t);
    p.restore();
    if (!overflow.isEmpty()) {
        p.save();
        p.setClipRect(overflow);
        p.setPen(TooWideColour.darker(150));
        p.drawText(r.united(overflow), flags & ~(Qt::AlignHCenter | Qt::AlignRight), t);
        p.restore();
    }
}

void drawControl(QPainter &p, const LaidControl &c, const LaidDialog &d, std::vector<PictureSpot> &spots,
                 const QPoint &origin)
{
    const QRect r = c.Pixels;
    const QFontMetrics fm(p.font());
    QRect textArea;
    int flags = alignOf(c.Align);
    const int box = std::min({13, std::max(1, r.height()), fm.height()});
    switch (c.Shape) {
    case ControlShape::Text:
        textArea = r;
        flags |= Qt::AlignTop;
        break;
    case ControlShape::PushButton:
    case ControlShape::DefaultButton:
        if (c.Shape == ControlShape::DefaultButton) {
            p.setPen(Ink);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            raised(p, r.adjusted(1, 1, -1, -1), true);
        } else {
            raised(p, r, true);
        }
        textArea = r.adjusted(HorizontalPixels(1, d.Units), 0, -HorizontalPixels(1, d.Units), 0);
        flags |= Qt::AlignVCenter;
        break;
    case ControlShape::CheckBox:
    case ControlShape::RadioButton: {
        const QRect mark(r.left(), r.top() + (r.height() - box) / 2, box, box);
        if (c.Shape == ControlShape::CheckBox) {
            sunken(p, mark, Paper);
        } else {
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Shadow);
            p.setBrush(Paper);
            p.drawEllipse(QRectF(mark).adjusted(0.5, 0.5, -0.5, -0.5));
            p.restore();
        }
        textArea = r.adjusted(HorizontalPixels(12, d.Units), 0, 0, 0);
        flags |= c.Wraps ? Qt::AlignVCenter : Qt::AlignVCenter;
        break;
    }
    case ControlShape::GroupBox: {
        const int half = fm.height() / 2;
        const QRect frame = r.adjusted(0, half, -1, -1);
        p.setPen(Shadow);
        p.drawRect(frame);
        p.setPen(Light);
        p.drawRect(frame.translated(1, 1));
        const int inset = HorizontalPixels(4, d.Units);
        const int room = std::max(0, r.width() - 2 * inset);
        const QString t = shown(c.Text);
        const int w = std::min(room, fm.horizontalAdvance(QString(t).remove(QLatin1Char('&'))) + 2);
        if (!t.isEmpty())
            p.fillRect(QRect(r.left() + inset, r.top(), w, fm.height()), Face);
        textArea = QRect(r.left() + inset + 1, r.top(), room, fm.height());
        flags = Qt::AlignLeft | Qt::AlignTop;
        break;
    }
    case ControlShape::Edit:
    case ControlShape::ListBox:
        sunken(p, r, Paper);
        break;
    case ControlShape::ComboBox: {
        const QRect field(r.topLeft(), QSize(r.width(), std::min(r.height(), ToPixels(QRect(0, 0, 1, 12), d.Units).height())));
        sunken(p, field, Paper);
        const int b = std::max(0, field.height() - 4);
        const QRect button(field.right() - 1 - b, field.top() + 2, b, b);
        raised(p, button, true);
        p.setPen(Ink);
        const QPoint tip = button.center() + QPoint(0, 2);
        p.setBrush(Ink);
        p.drawPolygon(QPolygon({tip, tip + QPoint(-3, -3), tip + QPoint(3, -3)}));
        p.setBrush(Qt::NoBrush);
        break;
    }
    case ControlShape::Icon: {
        const QRect icon(r.topLeft(), QSize(std::min(32, r.width()), std::min(32, r.height())));
        p.save();
        p.setPen(QPen(Shadow, 1, Qt::DashLine));
        p.drawRect(icon.adjusted(0, 0, -1, -1));
        p.drawLine(icon.topLeft(), icon.bottomRight());
        p.drawLine(icon.topRight(), icon.bottomLeft());
        p.restore();
        break;
    }
    case ControlShape::Frame:
        p.setPen(Shadow);
        if (r.height() <= 2)
            p.drawLine(r.topLeft(), r.topRight());
        else if (r.width() <= 2)
            p.drawLine(r.topLeft(), r.bottomLeft());
        else
            p.drawRect(r.adjusted(0, 0, -1, -1));
        break;
    case ControlShape::Other: {
        sunken(p, r, Face.lighter(108));
        p.save();
        QFont small = p.font();
        small.setPixelSize(std::max(8, small.pixelSize() - 2));
        p.setFont(small);
        p.setPen(Shadow);
        p.setClipRect(r);
        p.drawText(r.adjusted(3, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(c.Class));
        p.restore();
        break;
    }
    }

    QRect overflow;
    if (c.TooWide)
        overflow = QRect(r.right() + 1, r.top(), c.OverflowPixels, r.height());
    if (!textArea.isNull() && !c.Text.empty()) {
        if (!overflow.isEmpty())
            p.fillRect(overflow, QColor(255, 215, 215));
        text(p, textArea, c, flags, overflow);
        spots.push_back({textArea.translated(origin), c.Text, c.Line});
    }
}

// The marks go over every control, so that no later control hides them.
void drawMarks(QPainter &p, const LaidControl &c)
{
    const QRect r = c.Pixels;
    if (c.Overlaps) {
        p.setPen(QPen(OverlapColour, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    if (c.TooWide) {
        p.setPen(QPen(TooWideColour, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(r).adjusted(0, 0, -1, -1));
        const QRect overflow(r.right() + 1, r.top(), c.OverflowPixels, r.height());
        p.setPen(QPen(TooWideColour, 1, Qt::DotLine));
        p.drawRect(overflow.adjusted(0, 0, -1, -1));
    }
    if (!c.Clash.empty()) {
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(11);
        p.save();
        p.setFont(f);
        const QString letter = cp950::decode(c.Clash);
        const int side = 14;
        const QRect badge(r.right() - side + 4, r.top() - 6, side, side);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(ClashColour);
        p.drawEllipse(badge);
        p.setPen(Light);
        p.drawText(badge, Qt::AlignCenter, letter);
        p.restore();
    }
}

QStringList legendOf(const ProblemCount &n)
{
    QStringList out;
    if (n.TooWide)
        out << QStringLiteral("紅框：文字過寬，淡紅色是放不下的部分");
    if (n.Clashes)
        out << QStringLiteral("橘色圓點：熱鍵衝突的字母");
    if (n.Overlaps)
        out << QStringLiteral("紫色虛線框：與其他控制項重疊");
    return out;
}

// Notes under a picture, one a line, and the picture grown to hold them.
QImage withNotes(const QImage &picture, const QStringList &notes)
{
    const QFont f = MingFont(12);
    const QFontMetrics fm(f);
    int width = picture.width();
    for (const QString &n : notes)
        width = std::max(width, fm.horizontalAdvance(n) + 2 * Margin);
    QImage out(width, picture.height() + int(notes.size()) * (fm.height() + 2) + Margin, QImage::Format_RGB32);
    out.fill(Paper);
    QPainter p(&out);
    p.drawImage(0, 0, picture);
    p.setFont(f);
    p.setPen(Note);
    int y = picture.height();
    for (const QString &n : notes) {
        p.drawText(QRect(Margin, y, width - Margin, fm.height()), Qt::AlignLeft | Qt::AlignVCenter, n);
        y += fm.height() + 2;
    }
    return out;
}

} // namespace

Picture DrawDialog(const LaidDialog &d)
{
    Picture pic;
    const QSize client(std::max(1, d.Client.width()), std::max(1, d.Client.height()));
    // Texts that do not fit may reach past the dialog's right edge.
    int reach = client.width();
    for (const LaidControl &c : d.Controls)
        if (c.TooWide)
            reach = std::max(reach, c.Pixels.right() + 1 + c.OverflowPixels + 8);
    const int captionHeight = d.HasCaption ? CaptionHeight : 0;
    const QRect frame(Margin, Margin, client.width() + 2 * Border, client.height() + 2 * Border + captionHeight);
    const QSize size(std::max(frame.right() + 1, Margin + Border + reach) + Margin, frame.bottom() + 1 + Margin);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Paper);
    QPainter p(&image);
    raised(p, frame, true);
    if (d.HasCaption) {
        const QRect caption(frame.left() + Border, frame.top() + Border, client.width(), CaptionHeight - 1);
        p.fillRect(caption, QColor(10, 36, 106));
        QFont captionFont = MingFont(12);
        captionFont.setBold(true);
        p.setFont(captionFont);
        p.setPen(Light);
        p.drawText(caption.adjusted(4, 0, -20, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   shown(d.Caption).remove(QLatin1Char('&')));
        raised(p, QRect(caption.right() - 16, caption.top() + 2, 14, caption.height() - 4), false);
    }

    pic.ClientOrigin = QPoint(frame.left() + Border, frame.top() + Border + captionHeight);
    p.fillRect(QRect(pic.ClientOrigin, client), Face);
    p.translate(pic.ClientOrigin);
    p.setFont(MingFont(fontPixels(d)));
    for (const LaidControl &c : d.Controls)
        drawControl(p, c, d, pic.Spots, pic.ClientOrigin);
    for (const LaidControl &c : d.Controls)
        drawMarks(p, c);
    p.end();

    const QString face = d.FontPoints > 0 ? cp950::decode(d.FontFace) : QStringLiteral("系統字型");
    QStringList notes;
    notes << QStringLiteral("%1（第 %2 行）").arg(QString::fromStdString(d.Name)).arg(d.Line);
    notes << QStringLiteral("字型：%1%2%3")
                 .arg(face, d.FontPoints > 0 ? QStringLiteral(" %1 點").arg(d.FontPoints) : QString(),
                      d.FontSwitched ? QStringLiteral("（由 FONT 8 轉換）") : QString());
    notes << QStringLiteral("對話框單位：4 個 = 寬 %1 像素，8 個 = 高 %2 像素").arg(d.Units.X).arg(d.Units.Y);
    if (d.Unreadable > 0)
        notes << QStringLiteral("%1 個控制項讀不出種類或位置，沒有畫出").arg(d.Unreadable);
    notes << legendOf(ProblemsOf(d));
    pic.Image = withNotes(image, notes);
    return pic;
}

Picture DrawMenu(const LaidMenu &menu)
{
    Picture pic;
    const QFont f = MingFont(12);
    const QFontMetrics fm(f);
    const int itemHeight = fm.height() + 6;
    const int barHeight = fm.height() + 8;
    const auto plainWidth = [&](const std::string &t) { return fm.horizontalAdvance(shown(t).remove(QLatin1Char('&'))); };

    // A popup's rows: its items, a submenu's own items indented under it.
    struct Row {
        const MenuItem *Item;
        int Indent;
    };
    const auto rowsOf = [](const MenuItem &popup) {
        std::vector<Row> rows;
        const auto add = [&](auto &self, const std::vector<MenuItem> &items, int indent) -> void {
            for (const MenuItem &i : items) {
                rows.push_back({&i, indent});
                self(self, i.Items, indent + 1);
            }
        };
        add(add, popup.Items, 0);
        return rows;
    };

    // The bar's items from the left, each popup below and right of the one before.
    std::vector<QRect> barItems;
    int x = Margin + Border + 2;
    for (const MenuItem &i : menu.Bar) {
        const int w = plainWidth(i.Text) + 16;
        barItems.emplace_back(x, Margin + Border, w, barHeight);
        x += w;
    }
    std::vector<QRect> popups(menu.Bar.size());
    int popupRight = 0;
    int bottom = Margin + Border + barHeight;
    for (std::size_t k = 0; k < menu.Bar.size(); ++k) {
        if (!menu.Bar[k].isPopup())
            continue;
        int textWidth = 0, keyWidth = 0;
        const std::vector<Row> rows = rowsOf(menu.Bar[k]);
        int height = 6;
        for (const Row &row : rows) {
            textWidth = std::max(textWidth, plainWidth(row.Item->Text) + 14 * row.Indent);
            keyWidth = std::max(keyWidth, plainWidth(row.Item->Shortcut));
            height += row.Item->Separator ? 8 : itemHeight;
        }
        const int w = 22 + textWidth + (keyWidth > 0 ? 24 + keyWidth : 0) + 22;
        const int left = std::max(barItems[k].left(), popupRight + (popupRight ? 8 : 0));
        popups[k] = QRect(left, barItems[k].bottom() + 3, w, height);
        popupRight = popups[k].right();
        bottom = std::max(bottom, popups[k].bottom());
    }
    const int width = std::max(x, popupRight) + Border + Margin + 4;
    QImage image(width, bottom + Margin + 1, QImage::Format_RGB32);
    image.fill(Paper);
    QPainter p(&image);
    p.setFont(f);
    const QRect bar(Margin, Margin, width - 2 * Margin, barHeight + 2 * Border);
    raised(p, bar, false);
    const auto label = [&](const QRect &r, const std::string &t, int flags) {
        p.setPen(Ink);
        p.drawText(r, flags | Qt::TextShowMnemonic | Qt::TextSingleLine | Qt::AlignVCenter, shown(t));
    };
    const auto clash = [&](const MenuItem &i, const QPoint &at) {
        if (i.Clash.empty())
            return;
        p.save();
        QFont b = f;
        b.setBold(true);
        b.setPixelSize(11);
        p.setFont(b);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(ClashColour);
        const QRect badge(at, QSize(14, 14));
        p.drawEllipse(badge);
        p.setPen(Light);
        p.drawText(badge, Qt::AlignCenter, cp950::decode(i.Clash));
        p.restore();
    };
    for (std::size_t k = 0; k < menu.Bar.size(); ++k) {
        const MenuItem &top = menu.Bar[k];
        if (top.isPopup())
            sunken(p, barItems[k].adjusted(0, 1, 0, -1), Face);
        label(barItems[k], top.Text, Qt::AlignHCenter);
        pic.Spots.push_back({barItems[k], top.Quoted, top.Line});
        clash(top, barItems[k].topRight() + QPoint(-10, -2));
        if (!top.isPopup())
            continue;
        const QRect box = popups[k];
        raised(p, box, true);
        int y = box.top() + 3;
        for (const Row &row : rowsOf(top)) {
            const MenuItem &i = *row.Item;
            if (i.Separator) {
                p.setPen(Shadow);
                p.drawLine(box.left() + 3, y + 3, box.right() - 3, y + 3);
                p.setPen(Light);
                p.drawLine(box.left() + 3, y + 4, box.right() - 3, y + 4);
                y += 8;
                continue;
            }
            const QRect r(box.left() + 22 + 14 * row.Indent, y, box.width() - 44 - 14 * row.Indent, itemHeight);
            label(r, i.Text, Qt::AlignLeft);
            if (!i.Shortcut.empty())
                label(r, i.Shortcut, Qt::AlignRight);
            if (i.isPopup()) {
                p.setPen(Ink);
                p.setBrush(Ink);
                const QPoint tip(box.right() - 8, y + itemHeight / 2);
                p.drawPolygon(QPolygon({tip, tip + QPoint(-4, -4), tip + QPoint(-4, 4)}));
                p.setBrush(Qt::NoBrush);
            }
            pic.Spots.push_back({r, i.Quoted, i.Line});
            clash(i, QPoint(box.left() + 4, y + (itemHeight - 14) / 2));
            y += itemHeight;
        }
    }
    p.end();
    QStringList notes;
    notes << QStringLiteral("%1（第 %2 行）").arg(QString::fromStdString(menu.Name)).arg(menu.Line);
    notes << QStringLiteral("彈出選單並排展開，子選單縮排於其下");
    notes << legendOf(ProblemsOf(menu));
    pic.Image = withNotes(image, notes);
    return pic;
}

QImage SideBySide(const QImage &left, const QString &leftTitle, const QImage &right, const QString &rightTitle,
                  QPoint *rightOrigin)
{
    const QFont f = MingFont(14);
    const QFontMetrics fm(f);
    const int title = fm.height() + 8;
    QImage out(left.width() + right.width() + Margin, std::max(left.height(), right.height()) + title,
               QImage::Format_RGB32);
    out.fill(Paper);
    QPainter p(&out);
    p.setFont(f);
    p.setPen(Ink);
    p.drawText(QRect(Margin, 0, left.width(), title), Qt::AlignLeft | Qt::AlignVCenter, leftTitle);
    p.drawText(QRect(left.width() + Margin * 2, 0, right.width(), title), Qt::AlignLeft | Qt::AlignVCenter, rightTitle);
    p.drawImage(0, title, left);
    p.setPen(Shadow);
    p.drawLine(left.width() + Margin / 2, title, left.width() + Margin / 2, out.height() - 1);
    p.drawImage(left.width() + Margin, title, right);
    if (rightOrigin)
        *rightOrigin = QPoint(left.width() + Margin, title);
    return out;
}

QString ProblemLine(const QString &fileName, const ProblemCount &n)
{
    if (n.total() == 0)
        return QStringLiteral("%1：沒有問題").arg(fileName);
    return QStringLiteral("%1：文字過寬 %2、熱鍵衝突 %3、重疊 %4").arg(fileName).arg(n.TooWide).arg(n.Clashes).arg(n.Overlaps);
}
