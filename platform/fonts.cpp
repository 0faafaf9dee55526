#include "platform/fonts.h"

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
    const QStringList families = QFontDatabase::families();
    auto present = [&](const QString &family) { return families.contains(family, Qt::CaseInsensitive); };

    const QString ming = QStringLiteral("新細明體");
    if (!present(ming) && !present(QStringLiteral("PMingLiU"))) {
        QFont::insertSubstitutions(ming, {QStringLiteral("AR PL UMing TW"), QStringLiteral("AR PL UMing HK"),
                                          QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK TC"),
                                          QStringLiteral("Noto Sans CJK TC"), QStringLiteral("WenQuanYi Zen Hei")});
    }
    const QString sans = QStringLiteral("MS Sans Serif");
    if (!present(sans)) {
        QFont::insertSubstitutions(sans, {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                                          QStringLiteral("AR PL UMing TW")});
    }
}
