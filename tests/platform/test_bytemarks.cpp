// The marks of unreadable bytes: the program's own font has one readable
// picture per byte, and it is what a dictionary text's marks are drawn with,
// whatever font the text is shown in.

#include "platform/bytemarks.h"
#include "platform/codepage.h"
#include "platform/fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTest>

namespace {

// The text drawn black on white, cropped to what was drawn.
QImage drawn(const QString &text, const QFont &font, const QColor &markColour = Qt::black)
{
    QImage image(200, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    DrawTextWithByteMarks(painter, QRect(2, 2, 196, 36), text, markColour);
    return image;
}

// How many pixels are darker than white, and the darkest grey among them.
std::pair<int, int> inkOf(const QImage &image)
{
    int count = 0, darkest = 255;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            count += grey < 250;
            darkest = qMin(darkest, grey);
        }
    }
    return {count, darkest};
}

} // namespace

class TestByteMarks : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fontHasOnePictureForEachByte();
    void marksShowInTheProgramsFonts();
};

void TestByteMarks::initTestCase()
{
    InstallFontSubstitutions();
    QVERIFY(InstallByteMarkFont());
    QVERIFY(QFontDatabase::families().contains(ByteMarkFamily()));
}

void TestByteMarks::fontHasOnePictureForEachByte()
{
    const QRawFont font(ByteMarkFontData(), 30);
    QVERIFY(font.isValid());
    QCOMPARE(font.familyName(), ByteMarkFamily());
    QList<QPainterPath> pictures;
    for (int b = 0x40; b <= 0xFF; ++b) {
        const char32_t mark = cp950::escapeFor(static_cast<unsigned char>(b));
        QVERIFY2(font.supportsCharacter(mark), qPrintable(QString::number(b, 16)));
        const QList<quint32> glyph = font.glyphIndexesForString(QString::fromUcs4(&mark, 1));
        QCOMPARE(glyph.size(), qsizetype(1));
        const QPainterPath path = font.pathForGlyph(glyph.first());
        QVERIFY(!path.isEmpty());
        QVERIFY2(!pictures.contains(path), qPrintable(QString::number(b, 16))); // each byte its own picture
        pictures << path;
    }
    // Nothing else: text of the code page keeps its own fonts.
    QVERIFY(!font.supportsCharacter(QChar(u'A')));
    QVERIFY(!font.supportsCharacter(cp950::escapeFor(0x3F)));
}

void TestByteMarks::marksShowInTheProgramsFonts()
{
    const QString a5 = cp950::decode(std::string("\xA5"));
    const QString b7 = cp950::decode(std::string("\xB7"));
    QVERIFY(IsByteMarkAt(a5, 0) && !IsByteMarkAt(a5, 1) && !IsByteMarkAt(QStringLiteral("ab"), 0));
    for (const QFont &font : {MingFont(15), MingFont(12), QFont(QStringLiteral("MS Sans Serif")), QFont()}) {
        const QString name = font.family();
        // A mark is drawn where an empty box would be, and in the mark colour.
        const auto [ink, darkest] = inkOf(drawn(a5, font, QColor(128, 128, 128)));
        QVERIFY2(ink > 30, qPrintable(name));
        QVERIFY2(darkest >= 120, qPrintable(name));
        // Two bytes show differently.
        QVERIFY2(drawn(a5, font) != drawn(b7, font), qPrintable(name));
        // The text around a mark keeps the pen's colour.
        const QImage mixed = drawn(QStringLiteral("x") + a5 + QStringLiteral("y"), font, QColor(128, 128, 128));
        QVERIFY2(inkOf(mixed).second < 90, qPrintable(name));
    }
}

QTEST_MAIN(TestByteMarks)
#include "test_bytemarks.moc"
