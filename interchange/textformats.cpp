// PO and CSV: a reader and a writer of our own each. Both formats are a few
// rules of quoting; a library would bring a dependency for less code than
// its glue, and would not tell the line of a fault in our words.

#include "interchange/formats.h"

#include <QStringDecoder>

namespace exchange {

namespace {

const QString kAlternative = QStringLiteral("# 另譯：");
const QString kEmptyTranslation = QStringLiteral("# 空白翻譯");

void append(std::string &out, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    out.append(utf8.constData(), std::size_t(utf8.size()));
}

// A PO string literal of the text: "..." with C escapes.
QString poQuoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QStringLiteral("\\\""); break;
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\%1").arg(c.unicode(), 3, 8, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

// Reads a PO string literal starting at text[at] == '"'; false on a fault,
// with `error` saying which.
bool poUnquote(const QString &line, qsizetype at, QString &out, QString &error)
{
    if (at >= line.size() || line[at] != QLatin1Char('"')) {
        error = QStringLiteral("這裡應該是以 \" 開始的字串。");
        return false;
    }
    qsizetype i = at + 1;
    for (; i < line.size() && line[i] != QLatin1Char('"'); ++i) {
        if (line[i] != QLatin1Char('\\')) {
            out += line[i];
            continue;
        }
        if (++i == line.size())
            break;
        const char16_t e = line[i].unicode();
        switch (e) {
        case 'n': out += QLatin1Char('\n'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 'a': out += QChar(7); break;
        case 'b': out += QChar(8); break;
        case 'f': out += QChar(12); break;
        case 'v': out += QChar(11); break;
        case '"': case '\\': case '\'': case '?': out += QChar(e); break;
        default:
            if (e >= '0' && e <= '7') {
                int value = 0, digits = 0;
                for (; digits < 3 && i < line.size() && line[i] >= QLatin1Char('0') && line[i] <= QLatin1Char('7');
                     ++digits, ++i)
                    value = value * 8 + (line[i].unicode() - '0');
                --i;
                out += QChar(char16_t(value));
            } else {
                error = QStringLiteral("不認得的跳脫字元 \\%1。").arg(line[i]);
                return false;
            }
        }
    }
    if (i >= line.size()) {
        error = QStringLiteral("字串沒有結束的引號。");
        return false;
    }
    // Several strings on one line are one, as gettext reads them.
    const QString rest = line.mid(i + 1).trimmed();
    if (rest.startsWith(QLatin1Char('"')))
        return poUnquote(rest, 0, out, error);
    if (!rest.isEmpty()) {
        error = QStringLiteral("字串後面多了「%1」。").arg(rest);
        return false;
    }
    return true;
}

// Every field quoted: RFC 4180 allows it, and tools that guess the
// delimiter from the text (Python's csv sniffer) cannot mistake a blank in
// an English text for it.
QString csvField(const QString &text)
{
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString AtLine(qint64 line, const QString &text)
{
    return QStringLiteral("第 %1 行：%2").arg(line).arg(text);
}

QString ShownCharacter(char32_t c)
{
    const QString code = QStringLiteral("U+%1").arg(qulonglong(c), 4, 16, QLatin1Char('0')).toUpper();
    if (c < 0x20)
        return QStringLiteral("（%1）").arg(code);
    return QStringLiteral("「%1」（%2）").arg(QString::fromUcs4(&c, 1), code);
}

std::optional<QString> DecodeUtf8File(std::string_view bytes, QString &error)
{
    if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
        error = QStringLiteral("檔案是 UTF-16；請存成 UTF-8 再匯入。");
        return std::nullopt;
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    // Checks the bytes first so that a fault is told with its line.
    qint64 line = 1;
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b == '\n')
            ++line;
        if (b == 0) {
            error = AtLine(line, QStringLiteral("有 NUL 位元組；這不是文字檔。"));
            return std::nullopt;
        }
        std::size_t n = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
        bool fine = n != 0 && i + n <= bytes.size();
        for (std::size_t k = 1; fine && k < n; ++k)
            fine = (static_cast<unsigned char>(bytes[i + k]) & 0xC0) == 0x80;
        if (fine && n >= 3) {
            const unsigned char c = static_cast<unsigned char>(bytes[i + 1]);
            fine = !(b == 0xE0 && c < 0xA0) && !(b == 0xED && c >= 0xA0) && !(b == 0xF0 && c < 0x90) && !(b == 0xF4 && c >= 0x90);
        }
        if (!fine) {
            error = AtLine(line, QStringLiteral("不是 UTF-8 文字（位元組 0x%1）；請存成 UTF-8 再匯入。")
                                     .arg(QString::number(b, 16).toUpper()));
            return std::nullopt;
        }
        i += n;
    }
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

std::string WritePo(const std::vector<ExchangeEntry> &entries, const ExportOptions &options, QStringList &problems)
{
    std::string out;
    append(out, QStringLiteral("# Tavisorn 字典檔 %1\n"
                               "msgid \"\"\n"
                               "msgstr \"\"\n"
                               "%2\n")
                    .arg(options.Name,
                         QStringList{poQuoted(QStringLiteral("Project-Id-Version: %1\n").arg(options.Name.isEmpty() ? QStringLiteral("dictionary") : options.Name)),
                                     poQuoted(QStringLiteral("PO-Revision-Date: %1\n").arg(options.Time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm+0000")))),
                                     poQuoted(QStringLiteral("Last-Translator: \n")),
                                     poQuoted(QStringLiteral("Language-Team: \n")),
                                     poQuoted(QStringLiteral("Language: zh_TW\n")),
                                     poQuoted(QStringLiteral("MIME-Version: 1.0\n")),
                                     poQuoted(QStringLiteral("Content-Type: text/plain; charset=UTF-8\n")),
                                     poQuoted(QStringLiteral("Content-Transfer-Encoding: 8bit\n")),
                                     poQuoted(QStringLiteral("Plural-Forms: nplurals=1; plural=0;\n")),
                                     poQuoted(QStringLiteral("X-Generator: Tavisorn 2.0\n"))}
                             .join(QLatin1Char('\n'))));
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const ExchangeEntry &entry = entries[k];
        if (entry.Source.isEmpty())
            problems << QStringLiteral("第 %1 個條目的原文是空字串；PO 檔的空白 msgid 是檔頭，放不下它。").arg(k + 1);
        const QString &chosen = entry.Translations.front();
        QString text = QStringLiteral("\n");
        for (std::size_t t = 1; t < entry.Translations.size(); ++t)
            text += kAlternative + poQuoted(entry.Translations[t]) + QLatin1Char('\n');
        if (chosen.isEmpty() && !entry.Source.isEmpty())
            text += kEmptyTranslation + QLatin1Char('\n');
        text += QStringLiteral("msgid ") + poQuoted(entry.Source) + QLatin1Char('\n');
        text += QStringLiteral("msgstr ") + poQuoted(chosen == entry.Source ? QString() : chosen) + QLatin1Char('\n');
        append(out, text);
    }
    return out;
}

ParseOutcome ReadPo(std::string_view bytes)
{
    ParseOutcome result;
    const std::optional<QString> text = DecodeUtf8File(bytes, result.Error);
    if (!text)
        return result;

    // The entry being read.
    struct Entry {
        QStringList alternatives;
        bool emptyTranslation = false, fuzzy = false, hasContext = false, hasId = false, hasString = false;
        QString context, id, string;
        qint64 line = 0;
    } entry;
    QString *continued = nullptr; // the string a "..." line adds to
    const auto finish = [&]() {
        if (entry.hasId && !(entry.id.isEmpty() && !entry.hasContext)) { // the header is no pair
            QString translation = entry.string;
            if (translation.isEmpty() && !entry.emptyTranslation)
                translation = entry.id;
            if (entry.fuzzy && translation != entry.id) {
                // A draft: the entry stays untranslated, the draft at hand.
                result.Pairs.push_back({entry.id, entry.id, entry.line});
            }
            result.Pairs.push_back({entry.id, translation, entry.line});
            for (const QString &alternative : entry.alternatives)
                result.Pairs.push_back({entry.id, alternative, entry.line});
        }
        entry = Entry();
        continued = nullptr;
    };

    const QStringList lines = text->split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const qint64 number = n + 1;
        const QString trimmed = line.trimmed();
        QString error;
        if (trimmed.isEmpty())
            continue;
        if (trimmed.startsWith(QLatin1Char('#'))) {
            if (entry.hasString)
                finish();
            continued = nullptr;
            if (trimmed.startsWith(QStringLiteral("#,"))) {
                for (const QString &flag : trimmed.mid(2).split(QLatin1Char(',')))
                    entry.fuzzy = entry.fuzzy || flag.trimmed() == QStringLiteral("fuzzy");
            } else if (trimmed.startsWith(kAlternative)) {
                QString alternative;
                if (!poUnquote(trimmed, kAlternative.size(), alternative, error)) {
                    result.Error = AtLine(number, error);
                    result.Pairs.clear();
                    return result;
                }
                entry.alternatives << alternative;
            } else if (trimmed == kEmptyTranslation) {
                entry.emptyTranslation = true;
            }
            continue;
        }
        if (trimmed.startsWith(QLatin1Char('"'))) {
            QString more;
            if (!continued) {
                result.Error = AtLine(number, QStringLiteral("這個字串不接在 msgid 或 msgstr 之後。"));
                result.Pairs.clear();
                return result;
            }
            if (!poUnquote(trimmed, 0, more, error)) {
                result.Error = AtLine(number, error);
                result.Pairs.clear();
                return result;
            }
            *continued += more;
            continue;
        }
        const qsizetype space = trimmed.indexOf(QLatin1Char(' '));
        const QString keyword = trimmed.left(space < 0 ? trimmed.size() : space);
        QString value;
        if (space < 0 || !poUnquote(trimmed.mid(space + 1).trimmed(), 0, value, error)) {
            result.Error = AtLine(number, space < 0 ? QStringLiteral("「%1」後面沒有字串。").arg(keyword) : error);
            result.Pairs.clear();
            return result;
        }
        if (keyword == QStringLiteral("msgctxt") || keyword == QStringLiteral("msgid")) {
            if (entry.hasId && !entry.hasString) {
                result.Error = AtLine(number, QStringLiteral("前一個 msgid 沒有 msgstr。"));
                result.Pairs.clear();
                return result;
            }
            if (entry.hasString)
                finish();
        }
        if (keyword == QStringLiteral("msgctxt")) {
            entry.hasContext = true;
            entry.context = value; // read, not kept: the dictionary has no contexts
            continued = &entry.context;
        } else if (keyword == QStringLiteral("msgid")) {
            entry.hasId = true;
            entry.id = value;
            entry.line = number;
            continued = &entry.id;
        } else if (keyword == QStringLiteral("msgid_plural")) {
            continued = nullptr;
        } else if (keyword == QStringLiteral("msgstr") || keyword == QStringLiteral("msgstr[0]")) {
            if (!entry.hasId) {
                result.Error = AtLine(number, QStringLiteral("msgstr 前面沒有 msgid。"));
                result.Pairs.clear();
                return result;
            }
            entry.hasString = true;
            entry.string = value;
            continued = &entry.string;
        } else if (keyword.startsWith(QStringLiteral("msgstr["))) {
            continued = nullptr; // further plural forms: the dictionary has one
        } else {
            result.Error = AtLine(number, QStringLiteral("不認得的「%1」。").arg(keyword));
            result.Pairs.clear();
            return result;
        }
    }
    if (entry.hasId && !entry.hasString) {
        result.Error = AtLine(entry.line, QStringLiteral("這個 msgid 沒有 msgstr。"));
        result.Pairs.clear();
        return result;
    }
    finish();
    return result;
}

std::string WriteCsv(const std::vector<ExchangeEntry> &entries, QStringList &problems)
{
    std::string out = "\"source\",\"target\"\r\n";
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const ExchangeEntry &entry = entries[k];
        for (const QString &translation : entry.Translations) {
            if (translation.isEmpty() && !entry.Source.isEmpty())
                problems << QStringLiteral("第 %1 個條目「%2」有空白的翻譯；CSV 的空白翻譯欄是「未翻譯」，分辨不出來。")
                                .arg(k + 1)
                                .arg(entry.Source);
            append(out, csvField(entry.Source) + QLatin1Char(',')
                            + csvField(translation == entry.Source ? QString() : translation) + QStringLiteral("\r\n"));
        }
    }
    return out;
}

ParseOutcome ReadCsv(std::string_view bytes)
{
    ParseOutcome result;
    const std::optional<QString> decoded = DecodeUtf8File(bytes, result.Error);
    if (!decoded)
        return result;
    const QString &text = *decoded;

    // Records of fields, each with the line it starts on.
    std::vector<std::pair<QStringList, qint64>> records;
    QStringList fields;
    QString field;
    qint64 line = 1, recordLine = 1;
    bool atFieldStart = true, anything = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (atFieldStart && c == QLatin1Char('"')) {
            const qint64 opened = line;
            for (++i;; ++i) {
                if (i >= text.size()) {
                    result.Error = AtLine(opened, QStringLiteral("引號開始的欄位到檔案結尾都沒有結束的引號。"));
                    return result;
                }
                if (text[i] == QLatin1Char('\n'))
                    ++line;
                if (text[i] != QLatin1Char('"')) {
                    field += text[i];
                } else if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += QLatin1Char('"');
                    ++i;
                } else {
                    break;
                }
            }
            atFieldStart = false;
            anything = true;
            const QChar next = i + 1 < text.size() ? text[i + 1] : QLatin1Char('\n');
            if (next != QLatin1Char(',') && next != QLatin1Char('\r') && next != QLatin1Char('\n')) {
                result.Error = AtLine(line, QStringLiteral("結束的引號後面應該是逗號或換行，卻是「%1」。").arg(next));
                return result;
            }
            continue;
        }
        if (c == QLatin1Char(',')) {
            fields << field;
            field.clear();
            atFieldStart = true;
            anything = true;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            if (anything || !field.isEmpty()) {
                fields << field;
                records.emplace_back(fields, recordLine);
            }
            fields.clear();
            field.clear();
            atFieldStart = true;
            anything = false;
            ++line;
            recordLine = line;
        } else {
            field += c;
            atFieldStart = false;
            anything = true;
        }
    }
    if (anything || !field.isEmpty()) {
        fields << field;
        records.emplace_back(fields, recordLine);
    }
    if (records.empty())
        return result;

    // The header names the columns; without the names "source" and
    // "target" the two columns are source and translation in this order.
    const QStringList &header = records.front().first;
    const auto column = [&header](const QString &name) {
        for (qsizetype c = 0; c < header.size(); ++c)
            if (header[c].trimmed().compare(name, Qt::CaseInsensitive) == 0)
                return c;
        return qsizetype(-1);
    };
    qsizetype sourceColumn = column(QStringLiteral("source"));
    qsizetype targetColumn = column(QStringLiteral("target"));
    if (sourceColumn < 0 || targetColumn < 0) {
        if (header.size() != 2) {
            result.Error = AtLine(records.front().second,
                                  QStringLiteral("標題列有 %1 欄；應為兩欄（原文、翻譯），或有 source 與 target 兩欄。")
                                      .arg(header.size()));
            return result;
        }
        sourceColumn = 0;
        targetColumn = 1;
    }
    for (std::size_t r = 1; r < records.size(); ++r) {
        const auto &[row, at] = records[r];
        if (row.size() != header.size()) {
            result.Error = AtLine(at, QStringLiteral("這一列有 %1 欄，標題列有 %2 欄。").arg(row.size()).arg(header.size()));
            result.Pairs.clear();
            return result;
        }
        const QString &source = row[sourceColumn];
        const QString &target = row[targetColumn];
        result.Pairs.push_back({source, target.isEmpty() ? source : target, at});
    }
    return result;
}

} // namespace exchange
