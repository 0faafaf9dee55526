#pragma once
// A run's handling of statements over several lines and of pairs the
// scripts' positions get wrong, around the interpreter:
//
// - before it starts, a resource script with joined statements is handed
//   to it as a joined copy in the run's folder;
// - an extraction's pairing is read once beforehand; where the pairs the
//   script would write are not the right ones, the script writes into the
//   run's folder and the program writes the right pairs as the dictionary;
// - a translation of a joined copy gets the file's own lines back where
//   nothing was translated.

#include "convert/conversion.h"
#include "convert/rcaccount.h"
#include "convert/rcjoin.h"
#include "convert/rcpairing.h"

struct ExtractionStatements {
    JoinedScript English;
    JoinedScript Chinese;
    // Of the copies, lines those of the files; its texts are views into the
    // run's copies, which live as long as the run.
    ExtractionReading Reading;
    SoundPairing Sound;        // lines those of the files
    StringAccount Strings;     // of the English file, lines those of the file
};

struct TranslationStatements {
    JoinedScript Source; // its bytes are the run's copy of the script (not held twice)
    // The copy the interpreter would have read without joining; empty when
    // that is the script's own bytes.
    std::string Unjoined;
    std::string_view unjoined(const TranslationRun &run) const;
};

std::optional<Refusal> PrepareStatements(ExtractionRun &run, const QString &folder);
std::optional<Refusal> PrepareStatements(TranslationRun &run, const QString &folder);

// The lines of a reading of joined copies, as lines of the files.
void MapLines(ExtractionReading &reading, const JoinedScript &english, const JoinedScript &chinese);
void MapLines(TranslationReading &reading, const JoinedScript &source);

// The texts of a translation's script and those the rules reached, for a
// reading of `copy` (lines not yet mapped).
StringAccount AccountTranslation(const TranslationReading &reading, std::string_view copy);
void AddStrings(StringsAccounted &out, const StringAccount &account, const JoinedScript *join,
                const TextDecoder &decode);

// The report's account of the pairing the program wrote.
void AddPairing(ExtractionReport &report, const ExtractionStatements &statements, const TextDecoder &decode);
