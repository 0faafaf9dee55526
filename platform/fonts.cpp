#include "platform/fonts.h"

#include "platform/bytemarks.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

QFont MingFont(int pixels)
{
    QFont f(QStringLiteral("新細明體"));
    f.setPixelSize(pixels);
    return f;
}

void InstallFontSubstitutions()
{
    // Unreadable bytes of dictionary texts show as marks in every font.
    const bool marks = InstallByteMarkFont();
    const QStringList families = QFontDatabase::families();
    auto present = [&](const QString &family) { return families.contains(family, Qt::CaseInsensitive); };
    auto withMarks = [&](QStringList substitutes) {
        if (marks)
            substitutes << ByteMarkFamily();
        return substitutes;
    };

    // 新細明體 stands for a Ming face whose Latin letters read well (an "l" is
    // no "1" in it) and whose line height is that of 新細明體, so that texts
    // fit where the windows give them room; AR PL UMing covers what it lacks.
    const QString ming = QStringLiteral("新細明體");
    if (!present(ming) && !present(QStringLiteral("PMingLiU"))) {
        QFont::insertSubstitutions(ming, withMarks({QStringLiteral("cwTeXMing"), QStringLiteral("AR PL UMing TW"),
                                                    QStringLiteral("AR PL UMing HK"), QStringLiteral("AR PL UMing CN"),
                                                    QStringLiteral("Noto Serif CJK TC"),
                                                    QStringLiteral("Noto Sans CJK TC"),
                                                    QStringLiteral("WenQuanYi Zen Hei")}));
    } else {
        QFont::insertSubstitutions(ming, withMarks({}));
    }
    const QString sans = QStringLiteral("MS Sans Serif");
    if (!present(sans)) {
        QFont::insertSubstitutions(sans, withMarks({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                                                    QStringLiteral("AR PL UMing TW")}));
    }
}
