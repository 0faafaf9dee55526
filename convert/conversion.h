#pragma once
// The steps of a conversion run around the interpreter, without windows.
//
// Before the interpreter starts, Prepare reads the run's files, tells their
// encodings apart and, for a resource script that is not code page 950,
// writes the Big5 copy the interpreter reads instead; it also says which
// paths the script is to name. After the interpreter has ended with status
// 0, Finish reads what it wrote, writes the run's real output where that is
// the program's job (a dictionary cleaned of stand-ins, a translation in the
// script's own encoding, retargeted lines) and makes the report.
//
// A run whose files are all code page 950, that rewrites nothing and whose
// output is a plain file names the user's own paths in its script, and the
// interpreter writes the output itself: script and output stay byte for
// byte what they have always been.

#include "convert/encoding.h"
#include "convert/report.h"
#include "convert/script.h"

#include <QString>

#include <optional>
#include <string>

// A resource script as a run reads it.
struct RunInput {
    std::string Path;  // as the user named it
    std::string Bytes; // the file
    DecodedScript Decoded;
    std::string Copy;  // what the interpreter reads: the file itself, or its Big5 copy
    bool converted() const { return Decoded.Encoding.Encoding != TextEncoding::Cp950; }
    ReadFile shown() const;
};

struct ExtractionRun {
    ExtractionPaths Paths;  // as the user named them
    ExtractionPaths Script; // as the script names them
    RunInput English;
    RunInput Chinese;
    Cp950StandIns StandIns;
    // The interpreter writes into the run's folder and the program writes
    // the dictionary afterwards.
    bool WritesBack = false;
};

struct TranslationOptions {
    // Rewrite the LANGUAGE lines naming English and the code page pragmas
    // that do not fit the bytes written.
    bool Retarget = false;
    // Write each text's adapted match (score 100) into the script as well.
    bool Adapt = false;
};

struct TranslationRun {
    TranslationPaths Paths;
    TranslationPaths Script;
    TranslationOptions Options;
    std::string Dictionary; // the dictionary's bytes
    ReadFile DictionaryFile;
    RunInput Source;
    Cp950StandIns StandIns;
    bool WritesBack = false;
};

// Files larger than this are not taken for resource scripts or dictionaries.
constexpr qint64 RunFileLimit = qint64(256) << 20;

// `folder` is the run's own temporary folder, where copies and the
// interpreter's output go when needed. The paths must have passed the
// run's refusal checks.
std::optional<Refusal> PrepareExtraction(const ExtractionPaths &paths, const QString &folder, ExtractionRun &run);
std::optional<Refusal> PrepareTranslation(const TranslationPaths &paths, const TranslationOptions &options,
                                          const QString &folder, TranslationRun &run);

template <class Report>
struct RunOutcome {
    bool ok = true;
    QString error; // why the output could not be read or written
    Report report;
};

RunOutcome<ExtractionReport> FinishExtraction(const ExtractionRun &run);
RunOutcome<TranslationReport> FinishTranslation(const TranslationRun &run);

// A LANGUAGE line naming English, or a code page pragma that does not name
// the code page of the bytes written: the line as it should read instead,
// or nothing when it fits (UTF-16 files have no pragma to fit).
std::optional<QString> RetargetedLine(const QString &line, const ScriptEncoding &written);
