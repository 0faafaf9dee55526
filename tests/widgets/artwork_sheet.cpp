// Renders every picture of the program on one contact sheet, enlarged four
// times, with the tiles shown at their own size under black sample text.
// Usage: artwork_sheet [output.png]   (default /tmp/artwork.png; the enlarged
// pictures alone also go to output-icons.png)
#include "platform/fonts.h"
#include "widgets/artwork.h"

#include <QApplication>
#include <QPainter>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/artwork.png");

    QList<QPair<QString, QPixmap>> items;
    items.append({QStringLiteral("I1"), Artwork::PointingHand()});
    items.append({QStringLiteral("I3"), Artwork::SmilingFace()});
    for (int i = 0; i < Artwork::ToolbarImageCount; ++i)
        items.append({QStringLiteral("gray %1").arg(i), Artwork::ToolbarImage(i, false)});
    for (int i = 0; i < Artwork::ToolbarImageCount; ++i)
        items.append({QStringLiteral("hot %1").arg(i), Artwork::ToolbarImage(i, true)});
    items.append({QStringLiteral("find"), Artwork::Binoculars()});
    items.append({QStringLiteral("up"), Artwork::BinocularsUp()});
    items.append({QStringLiteral("down"), Artwork::BinocularsDown()});
    items.append({QStringLiteral("multi"), Artwork::NextMultiGlyph()});
    items.append({QStringLiteral("untr"), Artwork::UntranslatedGlyph()});
    items.append({QStringLiteral("check"), Artwork::CheckGlyph()});
    for (int i = 0; i < Artwork::MenuIconCount; ++i)
        items.append({QStringLiteral("menu %1").arg(i), Artwork::MenuIcon(i)});
    items.append({QStringLiteral("browse"), Artwork::BrowseIcon()});
    items.append({QStringLiteral("editdict"), Artwork::EditDictIcon()});
    items.append({QStringLiteral("start"), Artwork::StartIcon()});
    items.append({QStringLiteral("app"), Artwork::AppIcon()});

    const int cell = 32 * 4 + 48, cols = 7;
    const int rows = int((items.size() + cols - 1) / cols);
    const QPixmap title = Artwork::MenuTitle(), logo = Artwork::AboutLogo();
    const int gridH = rows * (cell + 14);
    const int menuTop = 10 + gridH;
    const int width = cols * cell + 20;
    const int height = 10 + gridH + 233 * 2 + 10 + title.height() * 2 + 20 + logo.height() * 2 + 20 + 4 * 90 + 80;
    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(QColor(200, 200, 200));
    QPainter p(&sheet);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    for (int i = 0; i < items.size(); ++i) {
        const int x = 10 + int(i % cols) * cell, y = 10 + int(i / cols) * (cell + 14);
        const QPixmap &pm = items[i].second;
        const int scale = pm.width() > 32 ? 2 : 4;
        p.fillRect(QRect(x, y, pm.width() * scale, pm.height() * scale), QColor(240, 240, 240));
        p.drawPixmap(QRect(x, y, pm.width() * scale, pm.height() * scale), pm);
        p.drawPixmap(x + pm.width() * scale + 4, y, pm);
        p.setPen(Qt::black);
        p.drawText(x, y + pm.height() * scale + 12, items[i].first);
    }
    // The main menu as laid out: icons centred over the six 89 x 22 buttons.
    {
        QImage menu(348, 233, QImage::Format_RGB32);
        QPainter m(&menu);
        m.drawTiledPixmap(menu.rect(), Artwork::BackgroundTile(Artwork::Background::MainMenu));
        m.drawPixmap(0, 0, title);
        QFont f(QStringLiteral("新細明體"));
        f.setPixelSize(16);
        m.setFont(f);
        const char *captions[] = {"製作字典檔", "字典檔維護", "翻譯新版本", "設定", "關於", "離開"};
        for (int i = 0; i < 6; ++i) {
            const int bx = 16 + (i % 3) * 112, by = i < 3 ? 104 : 200;
            m.drawPixmap(bx + (89 - 32) / 2, by - 38, Artwork::MenuIcon(i));
            m.setPen(QColor(150, 150, 150));
            m.drawRect(bx, by, 88, 21);
            m.setPen(Qt::black);
            m.drawText(QRect(bx, by, 89, 22), Qt::AlignCenter, QString::fromUtf8(captions[i]));
        }
        m.setPen(QColor(52, 84, 122));
        m.drawRect(0, 0, 347, 232);
        m.end();
        p.drawImage(QRect(width - 10 - 348 * 2, menuTop, 348 * 2, 233 * 2), menu);
    }
    int y = menuTop + 233 * 2 + 10;
    p.drawPixmap(QRect(10, y, title.width() * 2, title.height() * 2), title);
    y += title.height() * 2 + 10;
    p.drawPixmap(10, y, title);
    y += title.height() + 10;
    p.drawTiledPixmap(QRect(10, y, logo.width() * 2, logo.height() * 2),
                      Artwork::BackgroundTile(Artwork::Background::About));
    p.drawPixmap(QRect(10, y, logo.width() * 2, logo.height() * 2), logo);
    p.drawTiledPixmap(QRect(340, y, logo.width(), logo.height()), Artwork::BackgroundTile(Artwork::Background::About));
    p.drawPixmap(340, y, logo);
    y += logo.height() * 2 + 10;
    const Artwork::Background kinds[] = {Artwork::Background::MainMenu, Artwork::Background::Maintenance,
                                         Artwork::Background::Conversion, Artwork::Background::About};
    QFont ming(QStringLiteral("新細明體"));
    ming.setPixelSize(16);
    for (auto kind : kinds) {
        p.drawTiledPixmap(QRect(10, y, width - 20, 80), Artwork::BackgroundTile(kind));
        p.setFont(ming);
        p.setPen(Qt::black);
        p.drawText(QRect(20, y + 10, width - 40, 60), Qt::AlignLeft,
                   QStringLiteral("製作字典檔選項可以將由Visual C++或Borland C++所建立的Resource檔案 (*.RC)，擷取其字串部份。"));
        y += 90;
    }
    p.drawTiledPixmap(QRect(10, y, width - 20, 38), Artwork::CoolBarTile());
    for (int i = 0; i < Artwork::ToolbarImageCount; ++i)
        p.drawPixmap(20 + i * 40, y + 4, Artwork::ToolbarImage(i, i % 2 == 1));
    p.end();
    // The enlarged pictures alone, for a closer look.
    QString iconsOut = out;
    iconsOut.insert(out.endsWith(QStringLiteral(".png")) ? out.size() - 4 : out.size(), QStringLiteral("-icons"));
    if (!sheet.save(out) || !sheet.copy(0, 0, width, menuTop).save(iconsOut)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}
