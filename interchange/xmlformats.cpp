// TMX 1.4b and XLIFF 1.2 through Qt Core's XML stream classes.

#include "interchange/formats.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace exchange {

namespace {

const QString kSourceLanguage = QStringLiteral("en-US");
const QString kTargetLanguage = QStringLiteral("zh-TW");
const QString kXliffNamespace = QStringLiteral("urn:oasis:names:tc:xliff:document:1.2");
const QString kXmlNamespace = QStringLiteral("http://www.w3.org/XML/1998/namespace");

class XmlOut {
public:
    XmlOut() : writer(&buffer)
    {
        writer.setAutoFormatting(true);
        writer.setAutoFormattingIndent(2);
        writer.writeStartDocument();
    }
    std::string finish()
    {
        writer.writeEndDocument();
        return std::string(buffer.constData(), std::size_t(buffer.size()));
    }
    QByteArray buffer;
    QXmlStreamWriter writer;
};

void noteUnfit(const std::vector<ExchangeEntry> &entries, QStringList &problems)
{
    for (std::size_t k = 0; k < entries.size(); ++k) {
        QString bad = UnfitForXml(entries[k].Source);
        for (const QString &t : entries[k].Translations)
            if (bad.isEmpty())
                bad = UnfitForXml(t);
        if (!bad.isEmpty())
            problems << QStringLiteral("第 %1 個條目「%2」含有 XML 容不下的控制字元 %3。")
                            .arg(k + 1)
                            .arg(entries[k].Source, bad);
    }
}

QString xmlError(const QXmlStreamReader &reader)
{
    return AtLine(reader.lineNumber(), QStringLiteral("XML 格式錯誤（%1）。").arg(reader.errorString()));
}

// The language of a <tuv> or <file>: xml:lang, or lang as TMX 1.1 wrote it.
QString languageOf(const QXmlStreamAttributes &attributes)
{
    QString lang = attributes.value(kXmlNamespace, QStringLiteral("lang")).toString();
    if (lang.isEmpty())
        lang = attributes.value(QStringLiteral("lang")).toString();
    return lang;
}

// Languages are matched by their first subtag: "en" and "en-US" are both
// the source of a memory whose source language is "en-US".
bool sameLanguage(const QString &a, const QString &b)
{
    return a.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).compare(
               b.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0), Qt::CaseInsensitive) == 0;
}

bool isChinese(const QString &lang)
{
    return lang.startsWith(QStringLiteral("zh"), Qt::CaseInsensitive);
}

// The element's text with the text of its inline elements.
QString elementText(QXmlStreamReader &reader)
{
    return reader.readElementText(QXmlStreamReader::IncludeChildElements);
}

bool rootIs(QXmlStreamReader &reader, const QString &name, const QString &label, QString &error)
{
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (reader.name() == name)
                return true;
            error = AtLine(reader.lineNumber(), QStringLiteral("這不是 %1 檔：最外層的元素是 <%2>，不是 <%3>。")
                                                    .arg(label, reader.name().toString(), name));
            return false;
        }
    }
    error = reader.hasError() ? xmlError(reader) : QStringLiteral("檔案裡沒有任何 XML 元素。");
    return false;
}

} // namespace

QString UnfitForXml(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
            return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return {};
}

std::string WriteTmx(const std::vector<ExchangeEntry> &entries, const ExportOptions &options, QStringList &problems)
{
    noteUnfit(entries, problems);
    XmlOut out;
    QXmlStreamWriter &w = out.writer;
    w.writeStartElement(QStringLiteral("tmx"));
    w.writeAttribute(QStringLiteral("version"), QStringLiteral("1.4"));
    w.writeStartElement(QStringLiteral("header"));
    w.writeAttribute(QStringLiteral("creationtool"), QStringLiteral("Tavisorn"));
    w.writeAttribute(QStringLiteral("creationtoolversion"), QStringLiteral("2.0"));
    w.writeAttribute(QStringLiteral("datatype"), QStringLiteral("plaintext"));
    w.writeAttribute(QStringLiteral("segtype"), QStringLiteral("phrase"));
    w.writeAttribute(QStringLiteral("adminlang"), kSourceLanguage);
    w.writeAttribute(QStringLiteral("srclang"), kSourceLanguage);
    w.writeAttribute(QStringLiteral("o-tmf"), QStringLiteral("Tavisorn dictionary"));
    w.writeAttribute(QStringLiteral("creationdate"),
                     options.Time.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")));
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("body"));
    const auto tuv = [&w](const QString &lang, const QString &text) {
        w.writeStartElement(QStringLiteral("tuv"));
        w.writeAttribute(kXmlNamespace, QStringLiteral("lang"), lang);
        w.writeTextElement(QStringLiteral("seg"), text);
        w.writeEndElement();
    };
    for (const ExchangeEntry &entry : entries) {
        for (const QString &translation : entry.Translations) {
            w.writeStartElement(QStringLiteral("tu"));
            tuv(kSourceLanguage, entry.Source);
            if (translation != entry.Source)
                tuv(kTargetLanguage, translation);
            w.writeEndElement();
        }
    }
    w.writeEndElement();
    w.writeEndElement();
    return out.finish();
}

std::string WriteXliff(const std::vector<ExchangeEntry> &entries, const ExportOptions &options, QStringList &problems)
{
    noteUnfit(entries, problems);
    XmlOut out;
    QXmlStreamWriter &w = out.writer;
    w.writeDefaultNamespace(kXliffNamespace);
    w.writeStartElement(kXliffNamespace, QStringLiteral("xliff"));
    w.writeAttribute(QStringLiteral("version"), QStringLiteral("1.2"));
    w.writeStartElement(kXliffNamespace, QStringLiteral("file"));
    w.writeAttribute(QStringLiteral("original"), options.Name.isEmpty() ? QStringLiteral("dictionary") : options.Name);
    w.writeAttribute(QStringLiteral("source-language"), kSourceLanguage);
    w.writeAttribute(QStringLiteral("target-language"), kTargetLanguage);
    w.writeAttribute(QStringLiteral("datatype"), QStringLiteral("plaintext"));
    w.writeAttribute(QStringLiteral("tool-id"), QStringLiteral("Tavisorn"));
    w.writeStartElement(kXliffNamespace, QStringLiteral("header"));
    w.writeEmptyElement(kXliffNamespace, QStringLiteral("tool"));
    w.writeAttribute(QStringLiteral("tool-id"), QStringLiteral("Tavisorn"));
    w.writeAttribute(QStringLiteral("tool-name"), QStringLiteral("Tavisorn"));
    w.writeAttribute(QStringLiteral("tool-version"), QStringLiteral("2.0"));
    w.writeEndElement();
    w.writeStartElement(kXliffNamespace, QStringLiteral("body"));
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const ExchangeEntry &entry = entries[k];
        w.writeStartElement(kXliffNamespace, QStringLiteral("trans-unit"));
        w.writeAttribute(QStringLiteral("id"), QString::number(k + 1));
        // Leading and trailing blanks belong to the texts.
        w.writeAttribute(kXmlNamespace, QStringLiteral("space"), QStringLiteral("preserve"));
        const QString &chosen = entry.Translations.front();
        // The dictionary's translations are the translator's own choice.
        if (chosen != entry.Source)
            w.writeAttribute(QStringLiteral("approved"), QStringLiteral("yes"));
        w.writeTextElement(kXliffNamespace, QStringLiteral("source"), entry.Source);
        w.writeStartElement(kXliffNamespace, QStringLiteral("target"));
        if (chosen == entry.Source) {
            w.writeAttribute(QStringLiteral("state"), QStringLiteral("needs-translation"));
        } else {
            w.writeAttribute(QStringLiteral("state"), QStringLiteral("translated"));
            w.writeCharacters(chosen);
        }
        w.writeEndElement();
        for (std::size_t t = 1; t < entry.Translations.size(); ++t) {
            w.writeStartElement(kXliffNamespace, QStringLiteral("alt-trans"));
            w.writeTextElement(kXliffNamespace, QStringLiteral("target"), entry.Translations[t]);
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    return out.finish();
}

ParseOutcome ReadTmx(std::string_view bytes)
{
    ParseOutcome result;
    QXmlStreamReader reader(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())));
    if (!rootIs(reader, QStringLiteral("tmx"), QStringLiteral("TMX"), result.Error))
        return result;
    QString sourceLanguage = kSourceLanguage;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.name() == QStringLiteral("header")) {
            const QString lang = reader.attributes().value(QStringLiteral("srclang")).toString();
            if (!lang.isEmpty() && lang != QStringLiteral("*all*"))
                sourceLanguage = lang;
            continue;
        }
        if (reader.name() != QStringLiteral("tu"))
            continue;
        const qint64 tuLine = reader.lineNumber();
        QString source;
        bool hasSource = false;
        std::vector<std::pair<QString, qint64>> targets;
        while (reader.readNextStartElement()) {
            if (reader.name() != QStringLiteral("tuv")) {
                reader.skipCurrentElement();
                continue;
            }
            const QString lang = languageOf(reader.attributes());
            QString seg;
            qint64 segLine = reader.lineNumber();
            bool hasSeg = false;
            while (reader.readNextStartElement()) {
                if (reader.name() == QStringLiteral("seg")) {
                    segLine = reader.lineNumber();
                    seg = elementText(reader);
                    hasSeg = true;
                } else {
                    reader.skipCurrentElement();
                }
            }
            if (!hasSeg)
                continue;
            if (!hasSource && sameLanguage(lang, sourceLanguage)) {
                source = seg;
                hasSource = true;
            } else if (isChinese(lang)) {
                targets.emplace_back(seg, segLine);
            }
        }
        if (reader.hasError())
            break;
        if (!hasSource) {
            result.Error = AtLine(tuLine, QStringLiteral("這個 <tu> 沒有 %1 的原文。").arg(sourceLanguage));
            return result;
        }
        if (targets.empty())
            result.Pairs.push_back({source, source, tuLine});
        for (const auto &[text, line] : targets)
            result.Pairs.push_back({source, text, line});
    }
    if (reader.hasError()) {
        result.Error = xmlError(reader);
        result.Pairs.clear();
    }
    return result;
}

ParseOutcome ReadXliff(std::string_view bytes)
{
    ParseOutcome result;
    QXmlStreamReader reader(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())));
    if (!rootIs(reader, QStringLiteral("xliff"), QStringLiteral("XLIFF"), result.Error))
        return result;
    const QString version = reader.attributes().value(QStringLiteral("version")).toString();
    if (!version.isEmpty() && !version.startsWith(QStringLiteral("1."))) {
        result.Error = AtLine(reader.lineNumber(),
                              QStringLiteral("這是 XLIFF %1 檔；只讀得了 XLIFF 1.2（及 1.x）。").arg(version));
        return result;
    }
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement() || reader.name() != QStringLiteral("trans-unit"))
            continue;
        const qint64 unitLine = reader.lineNumber();
        // A PO file's header, as PO converters keep it: no text of a program.
        if (reader.attributes().value(QStringLiteral("restype")) == QStringLiteral("x-gettext-domain-header")) {
            reader.skipCurrentElement();
            continue;
        }
        QString source, target, state;
        qint64 targetLine = unitLine;
        bool hasSource = false, hasTarget = false;
        std::vector<std::pair<QString, qint64>> alternatives;
        while (reader.readNextStartElement()) {
            if (reader.name() == QStringLiteral("source")) {
                source = elementText(reader);
                hasSource = true;
            } else if (reader.name() == QStringLiteral("target")) {
                state = reader.attributes().value(QStringLiteral("state")).toString();
                targetLine = reader.lineNumber();
                target = elementText(reader);
                hasTarget = true;
            } else if (reader.name() == QStringLiteral("alt-trans")) {
                while (reader.readNextStartElement()) {
                    if (reader.name() == QStringLiteral("target")) {
                        const qint64 line = reader.lineNumber();
                        alternatives.emplace_back(elementText(reader), line);
                    } else {
                        reader.skipCurrentElement();
                    }
                }
            } else {
                reader.skipCurrentElement();
            }
        }
        if (reader.hasError())
            break;
        if (!hasSource) {
            result.Error = AtLine(unitLine, QStringLiteral("這個 <trans-unit> 沒有 <source>。"));
            return result;
        }
        // Not translated yet: the text stays its own translation, and a
        // draft in the target is kept as an alternative. An empty target
        // with no state is what converters write for an untranslated text;
        // only a state that says so makes an empty translation.
        if (!hasTarget || state == QStringLiteral("new") || state == QStringLiteral("needs-translation")
            || (target.isEmpty() && state.isEmpty())) {
            result.Pairs.push_back({source, source, unitLine});
            if (hasTarget && !target.isEmpty() && target != source)
                result.Pairs.push_back({source, target, targetLine});
        } else {
            result.Pairs.push_back({source, target, targetLine});
        }
        for (const auto &[text, line] : alternatives)
            result.Pairs.push_back({source, text, line});
    }
    if (reader.hasError()) {
        result.Error = xmlError(reader);
        result.Pairs.clear();
    }
    return result;
}

} // namespace exchange
