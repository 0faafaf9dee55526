#include "interchange/exchange.h"

#include "convert/encoding.h"
#include "files/readfile.h"
#include "interchange/formats.h"
#include "platform/codepage.h"

#include <QFileInfo>

#include <filesystem>
#include <limits>
#include <set>

namespace {

// Larger inputs are refused: no dictionary comes near this.
constexpr qint64 kInputLimit = qint64(256) << 20;

bool fileExists(const FileName &name)
{
#ifdef Q_OS_WIN
    return QFileInfo::exists(name.toQString());
#else
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(name.native().toStdString()), ec) && !ec;
#endif
}

// The first character of the text code page 950 cannot hold, or 0.
char32_t firstUnencodable(const QString &text)
{
    qsizetype bad = -1;
    if (cp950::encode(text, &bad))
        return 0;
    const QChar c = text.at(bad);
    if (c.isHighSurrogate() && bad + 1 < text.size())
        return QChar::surrogateToUcs4(c, text.at(bad + 1));
    return c.unicode();
}

// The Big5 bytes of a text; the characters code page 950 lacks become their
// stand-ins (after Cp950StandIns::Assign).
std::string big5Of(const QString &text, const Cp950StandIns &standIns)
{
    if (std::optional<std::string> bytes = cp950::encode(text))
        return std::move(*bytes);
    std::string out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QStringView character = QStringView(text).mid(i, n);
        const std::optional<std::string> bytes = cp950::encode(character);
        out += bytes ? *bytes : standIns.Copy(character);
        i += n;
    }
    return out;
}

// Lines as a load splits them: CR LF, LF or CR end a line.
std::size_t lineCount(std::string_view bytes, bool &endsInLineEnd)
{
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        ++lines;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
    }
    endsInLineEnd = bytes.empty() || bytes.back() == '\r' || bytes.back() == '\n';
    return lines + (endsInLineEnd ? 0 : 1);
}

} // namespace

std::optional<ExchangeFormat> ExchangeFormatByName(std::string_view name)
{
    if (name == "tmx")
        return ExchangeFormat::Tmx;
    if (name == "po")
        return ExchangeFormat::Po;
    if (name == "xliff" || name == "xlf")
        return ExchangeFormat::Xliff;
    if (name == "csv")
        return ExchangeFormat::Csv;
    return std::nullopt;
}

QString ExchangeFormatLabel(ExchangeFormat format)
{
    switch (format) {
    case ExchangeFormat::Tmx: return QStringLiteral("TMX 1.4b");
    case ExchangeFormat::Po: return QStringLiteral("PO");
    case ExchangeFormat::Xliff: return QStringLiteral("XLIFF 1.2");
    case ExchangeFormat::Csv: return QStringLiteral("CSV");
    }
    return {};
}

QString ExchangeFormatExtension(ExchangeFormat format)
{
    switch (format) {
    case ExchangeFormat::Tmx: return QStringLiteral("tmx");
    case ExchangeFormat::Po: return QStringLiteral("po");
    case ExchangeFormat::Xliff: return QStringLiteral("xlf");
    case ExchangeFormat::Csv: return QStringLiteral("csv");
    }
    return {};
}

std::vector<ExchangeEntry> ExchangeEntries(const DictionaryTables &tables)
{
    std::vector<ExchangeEntry> entries;
    const std::size_t count = std::min(tables.EntryTable.size(), std::size_t(std::max(tables.LastEntry + 1, 0)));
    entries.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        const DS &ds = tables.EntryTable[k];
        ExchangeEntry entry;
        entry.Source = cp950::decodeForUnicodeFile(ds.Source);
        entry.Translations.push_back(cp950::decodeForUnicodeFile(ds.ChosenTranslation()));
        const std::size_t used = std::min(ds.Translations.size(), std::size_t(std::max(ds.LastTranslation + 1, 1)));
        for (std::size_t t = 0; t < used; ++t)
            if (std::int32_t(t) != ds.Chosen)
                entry.Translations.push_back(cp950::decodeForUnicodeFile(ds.Translations[t]));
        entries.push_back(std::move(entry));
    }
    return entries;
}

ExportOutcome ExportEntries(const std::vector<ExchangeEntry> &entries, ExchangeFormat format, const ExportOptions &options)
{
    ExportOutcome out;
    switch (format) {
    case ExchangeFormat::Tmx: out.Bytes = exchange::WriteTmx(entries, options, out.Problems); break;
    case ExchangeFormat::Po: out.Bytes = exchange::WritePo(entries, options, out.Problems); break;
    case ExchangeFormat::Xliff: out.Bytes = exchange::WriteXliff(entries, options, out.Problems); break;
    case ExchangeFormat::Csv: out.Bytes = exchange::WriteCsv(entries, out.Problems); break;
    }
    if (!out.Problems.isEmpty())
        out.Bytes.clear();
    out.Entries = std::int64_t(entries.size());
    for (const ExchangeEntry &e : entries)
        out.Pairs += std::int64_t(e.Translations.size());
    return out;
}

FileResult ExportExchange(const std::vector<ExchangeEntry> &entries, ExchangeFormat format, const FileName &output,
                          const ExportOptions &options, std::int64_t *pairs)
{
    const ExportOutcome out = ExportEntries(entries, format, options);
    if (!out.Problems.isEmpty())
        return FileResult{false, QStringLiteral("無法匯出為 %1，沒有寫入 %2：\n%3")
                                     .arg(ExchangeFormatLabel(format), output.shown(), out.Problems.join(QLatin1Char('\n')))};
    if (pairs)
        *pairs = out.Pairs;
    return SaveBytes(output, out.Bytes);
}

ParseOutcome ParseExchange(std::string_view bytes, ExchangeFormat format)
{
    switch (format) {
    case ExchangeFormat::Tmx: return exchange::ReadTmx(bytes);
    case ExchangeFormat::Po: return exchange::ReadPo(bytes);
    case ExchangeFormat::Xliff: return exchange::ReadXliff(bytes);
    case ExchangeFormat::Csv: return exchange::ReadCsv(bytes);
    }
    return {};
}

ImportReport ImportExchange(const FileName &input, ExchangeFormat format, const FileName &dictionary,
                            const ImportOptions &options)
{
    ImportReport report;
    std::string bytes;
    if (const QString reason = ReadWholeFile(input, bytes, kInputLimit); !reason.isEmpty()) {
        report.Error = QStringLiteral("無法讀取檔案 %1：%2。").arg(input.shown(), reason);
        return report;
    }
    const ParseOutcome parsed = ParseExchange(bytes, format);
    if (!parsed.Error.isEmpty()) {
        report.Error = QStringLiteral("%1 不是可讀的 %2 檔。%3").arg(input.shown(), ExchangeFormatLabel(format), parsed.Error);
        return report;
    }
    bytes.clear();
    report.Read = std::int64_t(parsed.Pairs.size());

    // The dictionary as it is: its bytes stay in front of the new pairs.
    std::string existing;
    DictionaryTables tables;
    report.Created = !fileExists(dictionary);
    if (!report.Created) {
        SilentLoadProgress silent;
        if (const FileResult loaded = LoadDictionary(dictionary, tables, silent); !loaded.ok) {
            report.Error = loaded.error;
            return report;
        }
        if (const QString reason = ReadWholeFile(dictionary, existing, std::numeric_limits<qint64>::max());
            !reason.isEmpty()) {
            report.Error = QStringLiteral("無法讀取字典檔 %1：%2。").arg(dictionary.shown(), reason);
            return report;
        }
    }

    // Every text must be a dictionary line in code page 950.
    Cp950StandIns standIns;
    std::set<char32_t> lacking;
    bool brokenLines = false;
    for (const ExchangePair &pair : parsed.Pairs) {
        bool refused = false;
        for (const QString *text : {&pair.Source, &pair.Translation}) {
            if (refused)
                break;
            if (text->contains(QLatin1Char('\n')) || text->contains(QLatin1Char('\r'))) {
                report.Refusals << exchange::AtLine(pair.Line, QStringLiteral("「%1」含有換行；字典檔的一行放不下。")
                                                                   .arg(QString(*text).replace(QStringLiteral("\r\n"), QStringLiteral("↵")).replace(QLatin1Char('\n'), QStringLiteral("↵"))
                                                                            .replace(QLatin1Char('\r'), QStringLiteral("↵"))));
                refused = true;
                brokenLines = true;
            } else if (const char32_t bad = firstUnencodable(*text); bad != 0) {
                if (options.StandIns) {
                    for (const char32_t c : text->toUcs4())
                        if (firstUnencodable(QString::fromUcs4(&c, 1)) != 0)
                            lacking.insert(c);
                } else {
                    report.Refusals << exchange::AtLine(pair.Line, QStringLiteral("%1無法以 Big5（code page 950）儲存：「%2」。")
                                                                       .arg(exchange::ShownCharacter(bad), *text));
                    refused = true;
                }
            }
        }
        if (refused)
            ++report.Refused;
    }
    if (report.Refused > 0) {
        report.StandInsWouldDo = !brokenLines;
        report.Error = QStringLiteral("有 %1 個字串對無法放進字典檔，沒有寫入任何字串對。").arg(report.Refused);
        return report;
    }
    // The stand-ins are codes that no text of the dictionary, old or new, uses.
    if (!lacking.empty()) {
        standIns.NoteBytes(existing);
        for (const ExchangePair &pair : parsed.Pairs) {
            standIns.NoteText(pair.Source);
            standIns.NoteText(pair.Translation);
        }
    }
    if (!standIns.Assign()) {
        report.Error = QStringLiteral("無法以 Big5 儲存的字元太多，造字區的代碼不夠用；沒有寫入任何字串對。");
        return report;
    }

    // The pairs the dictionary holds already are not written again.
    std::set<std::pair<std::string, std::string>> known;
    for (std::int32_t k = 0; k <= tables.LastEntry && !report.Created; ++k) {
        const DS &ds = tables.EntryTable[std::size_t(k)];
        for (const DictText &t : ds.Translations)
            known.emplace(ds.Source.str(), t.str());
    }
    std::string pairs;
    for (const ExchangePair &pair : parsed.Pairs) {
        std::string source = big5Of(pair.Source, standIns);
        std::string translation = big5Of(pair.Translation, standIns);
        if (!known.emplace(source, translation).second)
            continue;
        pairs += source;
        pairs += "\r\n";
        pairs += translation;
        pairs += "\r\n";
        ++report.Written;
    }
    for (const char32_t c : lacking) {
        const std::string code = standIns.Copy(QString::fromUcs4(&c, 1));
        report.StandIns << QStringLiteral("%1寫成 Big5 造字區的代碼 0x%2。")
                               .arg(exchange::ShownCharacter(c), QString::fromLatin1(QByteArray(code.data(), qsizetype(code.size())).toHex().toUpper()));
    }
    if (!report.Created && report.Written == 0) {
        report.Ok = true;
        return report;
    }
    std::string rewritten = std::move(existing);
    bool endsInLineEnd = true;
    if (lineCount(rewritten, endsInLineEnd) % 2 == 1) {
        // A last source without its translation line gets an empty one, so
        // that the new pairs stay pairs.
        rewritten += endsInLineEnd ? "\r\n" : "\r\n\r\n";
    } else if (!endsInLineEnd) {
        rewritten += "\r\n";
    }
    rewritten += pairs;
    if (const FileResult saved = SaveBytes(dictionary, rewritten); !saved.ok) {
        report.Error = saved.error;
        report.Written = 0;
        return report;
    }
    report.Ok = true;
    return report;
}

QStringList ImportReportLines(const ImportReport &report)
{
    QStringList lines;
    // A file that could not be read has no counts to tell.
    if (!report.Ok && report.Read == 0 && report.Refusals.isEmpty())
        return {report.Error};
    lines << QStringLiteral("讀入 %1 個字串對，寫入 %2 個，拒絕 %3 個。").arg(report.Read).arg(report.Written).arg(report.Refused);
    if (report.Ok && report.Read > report.Written)
        lines << QStringLiteral("其餘 %1 個字串對字典檔裡已經有了（或在檔案裡重複），沒有再寫入。").arg(report.Read - report.Written);
    lines << report.Refusals;
    lines << report.StandIns;
    if (!report.Error.isEmpty())
        lines << report.Error;
    return lines;
}
