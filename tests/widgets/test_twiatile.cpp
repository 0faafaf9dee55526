#include "widgets/twiatile.h"

#include <QPainter>
#include <QTest>

namespace {

const QRgb Tan = qRgb(0xED, 0xDE, 0xC6);    // the background colour of the program's pictures
const QRgb Red = qRgb(0xC0, 0x10, 0x20);
const QRgb Blue = qRgb(0x10, 0x30, 0xA0);
const QRgb Ground = qRgb(0x20, 0x80, 0x40); // the window under the control
const QRgb Fade = qRgb(0xFF, 0xFF, 0xF0);

// A 4 x 3 picture: column 0 tan, columns 1 and 2 red, column 3 blue; the
// bottom-left pixel is tan.
QImage Picture()
{
    QImage image(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y) {
        image.setPixel(0, y, Tan);
        image.setPixel(1, y, Red);
        image.setPixel(2, y, Red);
        image.setPixel(3, y, Blue);
    }
    return image;
}

struct Window {
    QWidget parent;
    TwiaTile *tile;
    explicit Window(QSize size)
    {
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, QColor(Ground));
        parent.setPalette(palette);
        parent.setAutoFillBackground(true);
        parent.resize(size);
        tile = new TwiaTile(&parent);
    }
    QImage render()
    {
        QImage image(parent.size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        parent.render(&image);
        return image;
    }
};

} // namespace

class TestTwiaTile : public QObject {
    Q_OBJECT
private slots:
    void defaults();
    void fillsParentAndFollowsIt();
    void normalTilesFromTopLeftCutAtEdges();
    void transparentShowsWhatLiesUnder();
    void fadedIsTwoColourSilhouette();
    void emptyImageDrawsNothing();
    void rebuildsOncePerChange();
    void compatibilityFlags();
    void clicks();
};

void TestTwiaTile::defaults()
{
    TwiaTile tile;
    QCOMPARE(tile.size(), QSize(64, 64));
    QCOMPARE(tile.TileMode(), tmFaded);
    QVERIFY(tile.Faded());
    QVERIFY(!tile.Transparent());
    QVERIFY(tile.Image().isNull());
    tile.setImage(Picture());
    QCOMPARE(tile.TranColor().rgb(), Tan);
}

void TestTwiaTile::fillsParentAndFollowsIt()
{
    Window window(QSize(30, 20));
    window.parent.show();
    QCOMPARE(window.tile->geometry(), QRect(0, 0, 30, 20));
    window.parent.resize(50, 45);
    QCOMPARE(window.tile->geometry(), QRect(0, 0, 50, 45));
}

void TestTwiaTile::normalTilesFromTopLeftCutAtEdges()
{
    // 10 x 7 holds two whole tiles and a cut one across, two and a cut one down.
    Window window(QSize(10, 7));
    window.tile->setImage(Picture());
    window.tile->setTileMode(tmNormal);
    const QImage image = window.render();
    const QImage picture = Picture();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 10; ++x)
            QCOMPARE(image.pixel(x, y), picture.pixel(x % 4, y % 3));
}

void TestTwiaTile::transparentShowsWhatLiesUnder()
{
    Window window(QSize(9, 4));
    window.tile->setImage(Picture());
    window.tile->setTileMode(tmTransparent);
    const QImage image = window.render();
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 9; ++x) {
            const QRgb expected = (x % 4 == 0) ? Ground : (x % 4 == 3) ? Blue : Red;
            QCOMPARE(image.pixel(x, y), expected);
        }
    }

    // Another see-through colour: now the tan pixels show and the blue ones do not.
    window.tile->setTranColor(QColor(Blue));
    const QImage second = window.render();
    QCOMPARE(second.pixel(0, 0), Tan);
    QCOMPARE(second.pixel(3, 0), Ground);
    QCOMPARE(second.pixel(7, 3), Ground);
}

void TestTwiaTile::fadedIsTwoColourSilhouette()
{
    Window window(QSize(6, 5));
    window.tile->setFadeColor(QColor(Fade));
    window.tile->setImage(Picture()); // tmFaded is the starting mode
    QCOMPARE(window.tile->TileMode(), tmFaded);
    const QImage image = window.render();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            QCOMPARE(image.pixel(x, y), x % 4 == 0 ? Ground : Fade);
}

void TestTwiaTile::emptyImageDrawsNothing()
{
    for (TwiaTileMode mode : {tmFaded, tmTransparent, tmNormal}) {
        Window window(QSize(8, 8));
        window.tile->setTileMode(mode);
        QImage image = window.render();
        QCOMPARE(image.pixel(0, 0), Ground);
        QCOMPARE(image.pixel(7, 7), Ground);

        // Taking the picture away again leaves nothing to draw.
        window.tile->setImage(Picture());
        QVERIFY(window.render().pixel(1, 0) != Ground);
        window.tile->setImage(QImage());
        image = window.render();
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                QCOMPARE(image.pixel(x, y), Ground);
    }
}

void TestTwiaTile::rebuildsOncePerChange()
{
    Window window(QSize(16, 16));
    TwiaTile &tile = *window.tile;
    tile.setImage(Picture());
    int count = tile.rebuildCount();

    tile.setTileMode(tmFaded);
    QCOMPARE(tile.rebuildCount(), count);
    tile.setTileMode(tmNormal);
    QCOMPARE(tile.rebuildCount(), ++count);
    tile.setTranColor(tile.TranColor());
    QCOMPARE(tile.rebuildCount(), ++count);
    tile.setFadeColor(tile.FadeColor());
    QCOMPARE(tile.rebuildCount(), ++count);
    tile.setImage(Picture());
    QCOMPARE(tile.rebuildCount(), ++count);

    // Painting uses what was prepared.
    window.render();
    window.render();
    QCOMPARE(tile.rebuildCount(), count);
}

void TestTwiaTile::compatibilityFlags()
{
    TwiaTile tile;
    tile.setTransparent(false); // tmFaded -> tmNormal
    QCOMPARE(tile.TileMode(), tmNormal);
    tile.setFaded(false);       // tmNormal stays
    QCOMPARE(tile.TileMode(), tmNormal);
    tile.setTransparent(true);
    QCOMPARE(tile.TileMode(), tmTransparent);
    QVERIFY(tile.Transparent() && !tile.Faded());
    tile.setFaded(true);
    QCOMPARE(tile.TileMode(), tmFaded);
    tile.setFaded(false);       // tmFaded -> tmTransparent
    QCOMPARE(tile.TileMode(), tmTransparent);
}

void TestTwiaTile::clicks()
{
    Window window(QSize(40, 40));
    int clicks = 0;
    int downs = 0;
    QObject::connect(window.tile, &TwiaTile::clicked, [&] { ++clicks; });
    QObject::connect(window.tile, &TwiaTile::mouseDown, [&](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint pos) {
        ++downs;
        QCOMPARE(button, Qt::LeftButton);
        QCOMPARE(pos, QPoint(5, 6));
    });
    QTest::mouseClick(window.tile, Qt::LeftButton, {}, QPoint(5, 6));
    QCOMPARE(downs, 1);
    QCOMPARE(clicks, 1);
}

QTEST_MAIN(TestTwiaTile)
#include "test_twiatile.moc"
