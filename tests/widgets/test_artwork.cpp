#include "widgets/artwork.h"
#include "widgets/artwork_kept.h"

#include <QSet>
#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(QPixmap)

namespace {

QImage argb(const QPixmap &pm) { return pm.toImage().convertToFormat(QImage::Format_ARGB32); }

// Relative luminance as used for text contrast, 0 (black) to 1 (white).
double relativeLuminance(QRgb px)
{
    auto lin = [](int c) {
        const double s = c / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(qRed(px)) + 0.7152 * lin(qGreen(px)) + 0.0722 * lin(qBlue(px));
}

double luma(QRgb px) { return 0.299 * qRed(px) + 0.587 * qGreen(px) + 0.114 * qBlue(px); }

// Mean channel difference between two columns (or rows) of a tile.
double lineDifference(const QImage &img, bool columns, int a, int b)
{
    double sum = 0;
    const int n = columns ? img.height() : img.width();
    for (int i = 0; i < n; ++i) {
        const QRgb p = columns ? img.pixel(a, i) : img.pixel(i, a);
        const QRgb q = columns ? img.pixel(b, i) : img.pixel(i, b);
        sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
    return sum / (3.0 * n);
}

// The seam between the last and the first line must be no rougher than the
// tile's own line-to-line changes.
void checkSeamless(const QImage &img, bool columns)
{
    const int n = columns ? img.width() : img.height();
    double inner = 0;
    for (int i = 0; i + 1 < n; ++i)
        inner += lineDifference(img, columns, i, i + 1);
    inner /= n - 1;
    const double seam = lineDifference(img, columns, n - 1, 0);
    QVERIFY2(seam <= inner * 1.6 + 0.5, qPrintable(QStringLiteral("seam %1, inner %2").arg(seam).arg(inner)));
}

} // namespace

class TestArtwork : public QObject {
    Q_OBJECT
private slots:
    void sizeAndContent_data();
    void sizeAndContent();
    void keptPicturesAreTheDrawnOnes();
    void toolbarForms();
    void outOfRangeIndices();
    void statusMarksDiffer();
    void tilesKeepTextReadable_data();
    void tilesKeepTextReadable();
    void tilesDifferPerWindow();
    void logoIsTransparentAroundDrawing();
};

void TestArtwork::sizeAndContent_data()
{
    QTest::addColumn<QPixmap>("picture");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("opaque");
    QTest::newRow("PointingHand") << Artwork::PointingHand() << QSize(20, 20) << false;
    QTest::newRow("SmilingFace") << Artwork::SmilingFace() << QSize(20, 20) << false;
    for (int i = 0; i < Artwork::ToolbarImageCount; ++i) {
        QTest::addRow("ToolbarImage %d grey", i) << Artwork::ToolbarImage(i, false) << QSize(16, 16) << false;
        QTest::addRow("ToolbarImage %d hot", i) << Artwork::ToolbarImage(i, true) << QSize(16, 16) << false;
    }
    QTest::newRow("Binoculars") << Artwork::Binoculars() << QSize(18, 18) << false;
    QTest::newRow("BinocularsUp") << Artwork::BinocularsUp() << QSize(18, 18) << false;
    QTest::newRow("BinocularsDown") << Artwork::BinocularsDown() << QSize(18, 18) << false;
    QTest::newRow("NextMultiGlyph") << Artwork::NextMultiGlyph() << QSize(18, 18) << false;
    QTest::newRow("UntranslatedGlyph") << Artwork::UntranslatedGlyph() << QSize(18, 18) << false;
    QTest::newRow("CheckGlyph") << Artwork::CheckGlyph() << QSize(16, 18) << false;
    QTest::newRow("CoolBarTile") << Artwork::CoolBarTile() << QSize(64, 38) << true;
    QTest::newRow("MenuTitle") << Artwork::MenuTitle() << QSize(348, 35) << true;
    for (int i = 0; i < Artwork::MenuIconCount; ++i)
        QTest::addRow("MenuIcon %d", i) << Artwork::MenuIcon(i) << QSize(32, 32) << false;
    QTest::newRow("BrowseIcon") << Artwork::BrowseIcon() << QSize(16, 16) << false;
    QTest::newRow("EditDictIcon") << Artwork::EditDictIcon() << QSize(16, 16) << false;
    QTest::newRow("StartIcon") << Artwork::StartIcon() << QSize(24, 24) << false;
    QTest::newRow("AboutLogo") << Artwork::AboutLogo() << QSize(153, 52) << false;
    QTest::newRow("AppIcon") << Artwork::AppIcon() << QSize(64, 64) << false;
}

// Every picture has its size, is drawn (not blank, not one flat colour) and
// covers a fair share of its box so that it reads at its size.
void TestArtwork::sizeAndContent()
{
    QFETCH(QPixmap, picture);
    QFETCH(QSize, size);
    QFETCH(bool, opaque);
    QCOMPARE(picture.size(), size);
    const QImage img = argb(picture);
    QSet<QRgb> colours;
    int covered = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = img.pixel(x, y);
            colours.insert(px);
            covered += qAlpha(px) >= 128;
        }
    QVERIFY2(colours.size() >= 8, qPrintable(QStringLiteral("%1 colours").arg(colours.size())));
    const int area = size.width() * size.height();
    if (opaque)
        QCOMPARE(covered, area);
    else
        QVERIFY2(covered >= area / 5 && covered < area, qPrintable(QStringLiteral("%1 of %2").arg(covered).arg(area)));
}

// The pictures written into the program when it was built are, pixel for
// pixel, what the drawing gives now: none is missing, none is stale.
void TestArtwork::keptPicturesAreTheDrawnOnes()
{
#ifndef TAVISORN_KEEP_PICTURES
    QSKIP("built without kept pictures");
#else
    QVERIFY(Artwork::Kept::everyPicture().size() >= 40);
    for (const Artwork::Kept::Drawing &d : Artwork::Kept::everyPicture()) {
        const QImage kept = Artwork::Kept::stored(d.key);
        QVERIFY2(!kept.isNull(), qPrintable(d.key));
        QImage drawn = d.draw().toImage();
        if (drawn.format() != kept.format())
            drawn = drawn.convertToFormat(kept.format());
        QVERIFY2(kept == drawn, qPrintable(d.key));
    }
    QVERIFY(Artwork::Kept::stored(QStringLiteral("no such picture")).isNull());
#endif
}

// The grey form is the same drawing as the hot form, in greys only; the hot
// form is coloured; no two tool-bar images are the same.
void TestArtwork::toolbarForms()
{
    QList<QImage> hotImages;
    for (int i = 0; i < Artwork::ToolbarImageCount; ++i) {
        const QImage grey = argb(Artwork::ToolbarImage(i, false));
        const QImage hot = argb(Artwork::ToolbarImage(i, true));
        int coloured = 0, differing = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QRgb g = grey.pixel(x, y), h = hot.pixel(x, y);
                QVERIFY2(qRed(g) == qGreen(g) && qGreen(g) == qBlue(g),
                         qPrintable(QStringLiteral("image %1 pixel %2,%3 not grey").arg(i).arg(x).arg(y)));
                QCOMPARE(qAlpha(g), qAlpha(h));
                const int chroma = std::max({qRed(h), qGreen(h), qBlue(h)}) - std::min({qRed(h), qGreen(h), qBlue(h)});
                coloured += qAlpha(h) > 200 && chroma > 40;
                differing += g != h;
            }
        QVERIFY2(coloured >= 6, qPrintable(QStringLiteral("hot image %1 has %2 coloured pixels").arg(i).arg(coloured)));
        QVERIFY(differing > 20);
        for (int j = 0; j < hotImages.size(); ++j)
            QVERIFY2(hotImages[j] != hot, qPrintable(QStringLiteral("images %1 and %2 equal").arg(j).arg(i)));
        hotImages.append(hot);
    }
}

void TestArtwork::outOfRangeIndices()
{
    QVERIFY(Artwork::ToolbarImage(-1, true).isNull());
    QVERIFY(Artwork::ToolbarImage(Artwork::ToolbarImageCount, false).isNull());
    QVERIFY(Artwork::MenuIcon(-1).isNull());
    QVERIFY(Artwork::MenuIcon(Artwork::MenuIconCount).isNull());
}

// The marker column must tell the two states apart at a glance: the hand is
// mostly red, the face mostly green.
void TestArtwork::statusMarksDiffer()
{
    auto sums = [](const QPixmap &pm) {
        const QImage img = argb(pm);
        double r = 0, g = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb px = img.pixel(x, y);
                if (qAlpha(px) > 128) {
                    r += qRed(px);
                    g += qGreen(px);
                }
            }
        return std::pair(r, g);
    };
    const auto [handRed, handGreen] = sums(Artwork::PointingHand());
    const auto [faceRed, faceGreen] = sums(Artwork::SmilingFace());
    QVERIFY2(handRed > 1.5 * handGreen, qPrintable(QStringLiteral("hand r %1 g %2").arg(handRed).arg(handGreen)));
    QVERIFY2(faceGreen > 1.3 * faceRed, qPrintable(QStringLiteral("face r %1 g %2").arg(faceRed).arg(faceGreen)));
}

void TestArtwork::tilesKeepTextReadable_data()
{
    QTest::addColumn<QPixmap>("tile");
    QTest::addColumn<bool>("vertical");
    QTest::newRow("MainMenu") << Artwork::BackgroundTile(Artwork::Background::MainMenu) << true;
    QTest::newRow("Maintenance") << Artwork::BackgroundTile(Artwork::Background::Maintenance) << true;
    QTest::newRow("Conversion") << Artwork::BackgroundTile(Artwork::Background::Conversion) << true;
    QTest::newRow("About") << Artwork::BackgroundTile(Artwork::Background::About) << true;
    QTest::newRow("CoolBar") << Artwork::CoolBarTile() << false;
}

// Tiles are light and quiet: black text keeps a high contrast on their
// darkest pixel, and they repeat without a visible seam.
void TestArtwork::tilesKeepTextReadable()
{
    QFETCH(QPixmap, tile);
    QFETCH(bool, vertical);
    const QImage img = argb(tile);
    QVERIFY(img.width() >= 32 && img.height() >= 32);
    double sum = 0, sumSq = 0, darkest = 1;
    const int n = img.width() * img.height();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb px = img.pixel(x, y);
            QCOMPARE(qAlpha(px), 255);
            const double l = luma(px);
            sum += l;
            sumSq += l * l;
            darkest = std::min(darkest, relativeLuminance(px));
        }
    const double mean = sum / n, deviation = std::sqrt(sumSq / n - mean * mean);
    QVERIFY2(mean > 215, qPrintable(QStringLiteral("mean %1").arg(mean)));
    QVERIFY2(deviation > 0.3 && deviation < 8, qPrintable(QStringLiteral("deviation %1").arg(deviation)));
    const double contrastWithBlack = (darkest + 0.05) / 0.05;
    QVERIFY2(contrastWithBlack >= 12, qPrintable(QStringLiteral("contrast %1").arg(contrastWithBlack)));
    checkSeamless(img, true);
    if (vertical)
        checkSeamless(img, false);
}

void TestArtwork::tilesDifferPerWindow()
{
    const Artwork::Background kinds[] = {Artwork::Background::MainMenu, Artwork::Background::Maintenance,
                                         Artwork::Background::Conversion, Artwork::Background::About};
    QList<QImage> seen;
    for (auto kind : kinds) {
        const QImage img = argb(Artwork::BackgroundTile(kind));
        QVERIFY(!seen.contains(img));
        seen.append(img);
    }
}

// The logo lies over the About window's background: its corners show the
// background through, its drawing is solid.
void TestArtwork::logoIsTransparentAroundDrawing()
{
    const QImage logo = argb(Artwork::AboutLogo());
    QCOMPARE(qAlpha(logo.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(logo.pixel(logo.width() - 1, 0)), 0);
    QCOMPARE(qAlpha(logo.pixel(logo.width() - 1, logo.height() - 1)), 0);
    int solid = 0, clear = 0;
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x) {
            solid += qAlpha(logo.pixel(x, y)) == 255;
            clear += qAlpha(logo.pixel(x, y)) == 0;
        }
    QVERIFY(solid > logo.width() * logo.height() / 6);
    QVERIFY(clear > logo.width() * logo.height() / 3);
}

QTEST_MAIN(TestArtwork)
#include "test_artwork.moc"
