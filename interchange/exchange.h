#pragma once
// The dictionary in the formats of other translation tools: TMX 1.4b, PO,
// XLIFF 1.2 and CSV, out and in.
//
// These formats are UTF-8 (or whatever their XML declaration says); the
// dictionary stays code page 950. Going out, each entry's texts are decoded
// as for a Unicode file (user-defined Big5 codes become the private-use
// characters Windows gives them). Coming in, a character code page 950
// cannot hold refuses the whole import with its line, unless the stand-ins
// are asked for: then each such character gets a user-defined Big5 code that
// no text of the dictionary uses, as the conversions do for resource scripts.
//
// How an entry with several translations travels: the chosen translation
// first, then the others in slot order, so that a load of what comes back
// chooses the same one.
// - TMX: one <tu> per translation (tools match a <tu> as one source with one
//   target per language; a second <tuv> of the same language is often
//   dropped). An untranslated pair is a <tu> with the English <tuv> only, so
//   that no memory learns "Open" as the translation of "Open".
// - PO: one entry per source (msgid must be unique); the others in
//   translator comments `# 另譯："..."`, so that msgfmt compiles the chosen
//   one and every tool shows the alternatives to the translator. Untranslated
//   is an empty msgstr; an empty translation is marked `# 空白翻譯`.
// - XLIFF: one <trans-unit> per source, the others as <alt-trans>;
//   untranslated is state="needs-translation" with an empty target.
// - CSV: a row per translation, "source,target"; untranslated is an empty
//   target cell.

#include "dictionary/dictionary.h"
#include "files/filename.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ExchangeFormat { Tmx, Po, Xliff, Csv };

// "tmx", "po", "xliff" (or "xlf"), "csv".
std::optional<ExchangeFormat> ExchangeFormatByName(std::string_view name);
// "TMX 1.4b", "PO", "XLIFF 1.2", "CSV".
QString ExchangeFormatLabel(ExchangeFormat format);
// The usual file name extension, without the dot.
QString ExchangeFormatExtension(ExchangeFormat format);

// One entry going out: its source and its translations, the chosen one
// first.
struct ExchangeEntry {
    QString Source;
    std::vector<QString> Translations;
};

// One pair coming in, with the line of the file it was read on.
struct ExchangePair {
    QString Source;
    QString Translation;
    qint64 Line = 0;
};

struct ExportOptions {
    QDateTime Time = QDateTime::currentDateTimeUtc(); // PO header, TMX creationdate
    QString Name;                                     // the dictionary's file name, for the headers
};

struct ExportOutcome {
    std::string Bytes;
    // Entries this format cannot carry; nothing is written when any.
    QStringList Problems;
    std::int64_t Entries = 0;
    std::int64_t Pairs = 0;
};

// The entries 0 .. LastEntry of the tables, each with its chosen translation
// first.
std::vector<ExchangeEntry> ExchangeEntries(const DictionaryTables &tables);
ExportOutcome ExportEntries(const std::vector<ExchangeEntry> &entries, ExchangeFormat format,
                            const ExportOptions &options);

struct ParseOutcome {
    std::vector<ExchangePair> Pairs;
    // Set when the file cannot be read as this format: nothing of it is used.
    QString Error;
};

// Reads a file of the format. The pairs come in file order; the
// untranslated ones as a translation equal to the source.
ParseOutcome ParseExchange(std::string_view bytes, ExchangeFormat format);

struct ImportOptions {
    bool StandIns = false; // map characters code page 950 lacks to stand-ins
};

struct ImportReport {
    bool Ok = false;
    QString Error;              // why nothing was written, when !Ok
    QStringList Refusals;       // one line per refused pair
    QStringList StandIns;       // "U+XXXX「c」→ Big5 0xFA40", when mapped
    bool Created = false;       // the dictionary did not exist before
    std::int64_t Read = 0;      // pairs in the input
    std::int64_t Written = 0;   // pairs appended (the rest the dictionary already held)
    std::int64_t Refused = 0;
    // Every refusal is a character code page 950 lacks: the import would go
    // through with the stand-ins.
    bool StandInsWouldDo = false;
};

// Reads `input` and makes the dictionary `dictionary` of its pairs, or
// merges them into it when it exists: its bytes stay as they are and the
// pairs it does not hold yet are appended, so that a source it knows gets a
// new translation as an alternative and keeps its chosen one. One atomic
// rewrite; nothing at all is written when any pair is refused.
ImportReport ImportExchange(const FileName &input, ExchangeFormat format, const FileName &dictionary,
                            const ImportOptions &options);

// The report as lines for a person: the counts, then refusals and stand-ins.
QStringList ImportReportLines(const ImportReport &report);

// Writes the entries to `output` in the format, through SaveFile.
FileResult ExportExchange(const std::vector<ExchangeEntry> &entries, ExchangeFormat format, const FileName &output,
                          const ExportOptions &options, std::int64_t *pairs = nullptr);
