#pragma once
// The writers and readers of each format, behind exchange.h.

#include "interchange/exchange.h"

namespace exchange {

// Writers append a problem to `problems` for an entry the format cannot
// carry (the entry numbered from 1) and write it nonetheless; the caller
// drops the bytes then.
std::string WriteTmx(const std::vector<ExchangeEntry> &entries, const ExportOptions &options, QStringList &problems);
std::string WriteXliff(const std::vector<ExchangeEntry> &entries, const ExportOptions &options, QStringList &problems);
std::string WritePo(const std::vector<ExchangeEntry> &entries, const ExportOptions &options, QStringList &problems);
std::string WriteCsv(const std::vector<ExchangeEntry> &entries, QStringList &problems);

ParseOutcome ReadTmx(std::string_view bytes);
ParseOutcome ReadXliff(std::string_view bytes);
ParseOutcome ReadPo(std::string_view bytes);
ParseOutcome ReadCsv(std::string_view bytes);

// For the text formats (PO, CSV): the text of a UTF-8 file without its byte
// order mark, or why it is not one ("第 3 行：…"), NUL bytes and UTF-16
// included.
std::optional<QString> DecodeUtf8File(std::string_view bytes, QString &error);

// A character that XML 1.0 cannot hold (the C0 controls but tab), for the
// XML writers' problem list; empty when the text is fit.
QString UnfitForXml(const QString &text);

// "第 12 行：" + text.
QString AtLine(qint64 line, const QString &text);
// A character for a message: 「c」（U+XXXX）.
QString ShownCharacter(char32_t c);

} // namespace exchange
