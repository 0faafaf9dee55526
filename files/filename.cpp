#include "files/filename.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

FileName::FileName(const QString &path)
#ifdef Q_OS_WIN
    : bytes_(path.toUtf8())
#else
    : bytes_(QFile::encodeName(path))
#endif
{
}

FileName FileName::fromNative(const QByteArray &bytes)
{
    FileName name;
    name.bytes_ = bytes;
    return name;
}

QString FileName::toQString() const
{
#ifdef Q_OS_WIN
    return QString::fromUtf8(bytes_);
#else
    return QFile::decodeName(bytes_);
#endif
}

QString FileName::shown() const
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes_);
    if (utf8.hasError()) {
        QStringDecoder big5("Big5");
        text = big5.isValid() ? big5(bytes_) : QString();
        if (!big5.isValid() || big5.hasError()) {
            text.clear();
            for (const char c : bytes_) {
                const auto b = static_cast<unsigned char>(c);
                if (b < 0x80)
                    text += QLatin1Char(c);
                else
                    text += QStringLiteral("\\x%1").arg(uint(b), 2, 16, QLatin1Char('0'));
            }
        }
    }
    return QDir::toNativeSeparators(text);
}
