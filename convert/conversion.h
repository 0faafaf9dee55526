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
// The interpreter never writes the user's output: its script names a file in
// the run's folder, and Finish puts the output in place with the checked,
// synced save of files/savefile.h, so that a run that fails anywhere leaves
// the old output byte for byte. For a run whose files are all code page 950
// and that rewrites nothing, the output is what the interpreter wrote, byte
// for byte. A script whose last line has no line end reaches the
// interpreter as a copy with one (the scripts remove the last byte of every
// line), and the output again ends without one.

#include "convert/encoding.h"
#include "convert/rcreader.h"
#include "convert/report.h"
#include "convert/script.h"

#include <QString>

#include <memory>
#include <optional>
#include <string>

struct ExtractionStatements;
struct TranslationStatements;

// A resource script as a run reads it.
struct RunInput {
    std::string Path;  // as the user named it
    std::string Bytes; // the file
    DecodedScript Decoded;
    std::string Copy;  // what the interpreter reads: the file itself, or its Big5 copy
    bool converted() const { return Decoded.Encoding.Encoding != TextEncoding::Cp950; }
    // A Big5 file that needs no copy has none yet (Copy empty): the
    // interpreter reads the file itself.
    bool copyIsFile() const { return !converted() && Copy.empty(); }
    const std::string &copyOrFile() const { return copyIsFile() ? Bytes : Copy; }
    ReadFile shown() const;
};

struct ExtractionOptions {
    // How the two resource scripts are read (the dictionary is Big5).
    EncodingChoice Encoding = EncodingChoice::Guess;
};

struct ExtractionRun {
    ExtractionOptions Options;
    ExtractionPaths Paths;  // as the user named them
    ExtractionPaths Script; // as the script names them
    RunInput English;
    RunInput Chinese;
    Cp950StandIns StandIns;
    // Block words chosen from the English file, which names no resource
    // tool, and handed to the script; empty when the script finds them.
    RcDelimiters Delimiters;
    // Joined statements and the pairing read before the run.
    std::shared_ptr<const ExtractionStatements> Statements;
};

struct TranslationOptions {
    // Rewrite the LANGUAGE lines naming English and the code page pragmas
    // that do not fit the bytes written.
    bool Retarget = false;
    // How the new resource script is read, and its translation written.
    EncodingChoice Encoding = EncodingChoice::Guess;
    // Write each text's adapted match (score 100) into the script as well.
    bool Adapt = false;
    // The old English version (path bytes) to compare the new one with by
    // identifier; empty: none.
    std::string OldEnglish;
};

// The old English version of a translation, as Big5 bytes.
std::optional<Refusal> ReadOldVersion(const std::string &path, std::string &bytes);

struct TranslationRun {
    TranslationPaths Paths;
    TranslationPaths Script;
    TranslationOptions Options;
    std::string Dictionary; // the dictionary's bytes as the interpreter reads them
    std::string OldEnglish; // the old English version's Big5 bytes, if one was given
    ReadFile DictionaryFile;
    RunInput Source;
    Cp950StandIns StandIns;
    RcDelimiters Delimiters; // as for an extraction, from the new script
    std::shared_ptr<const TranslationStatements> Statements; // when statements were joined
};

// Files larger than this are not taken for resource scripts or dictionaries.
constexpr qint64 RunFileLimit = qint64(256) << 20;

// `folder` is the run's own temporary folder, where copies and the
// interpreter's output go when needed. The paths must have passed the
// run's refusal checks.
std::optional<Refusal> PrepareExtraction(const ExtractionPaths &paths, const QString &folder, ExtractionRun &run);
std::optional<Refusal> PrepareExtraction(const ExtractionPaths &paths, const ExtractionOptions &options,
                                         const QString &folder, ExtractionRun &run);
std::optional<Refusal> PrepareTranslation(const TranslationPaths &paths, const TranslationOptions &options,
                                          const QString &folder, TranslationRun &run);

// The lines of a filled-in template that set the block words: the run's
// chosen words, or the template's empty ones for the script to find.
void FillDelimiters(ScriptTemplate &pl, const ExtractionRun &run);
void FillDelimiters(ScriptTemplate &pl, const TranslationRun &run);

// The whole script of a prepared run, as the windows write it.
std::string RunScript(const ExtractionRun &run);
std::string RunScript(const TranslationRun &run);

template <class Report>
struct RunOutcome {
    bool ok = true;
    QString error; // why the interpreter's output could not be read
    Report report;
    // The run's output and where PutOutputInPlace is to write it.
    std::string Output;
    std::string OutputPath;
};

// Read what the interpreter wrote and make the report and the output; the
// user's files are not touched.
RunOutcome<ExtractionReport> FinishExtraction(const ExtractionRun &run);
RunOutcome<TranslationReport> FinishTranslation(const TranslationRun &run);

// Replaces the output with the checked, synced save; the reason it failed
// (the old file then stays byte for byte), else empty.
QString PutOutputInPlace(const std::string &path, const std::string &bytes);

// A LANGUAGE line naming English, or a code page pragma that does not name
// the code page of the bytes written: the line as it should read instead,
// or nothing when it fits (UTF-16 files have no pragma to fit).
std::optional<QString> RetargetedLine(const QString &line, const ScriptEncoding &written);
