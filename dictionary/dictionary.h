#pragma once
// The dictionary file and the entry table.
//
// A dictionary file is a text of lines: odd lines (counting from 1) are
// source strings, each even line the translation of the line before it.
// Texts are code page 950 (Big5) bytes and stay bytes here: they are held,
// compared, sorted and written back unchanged.
//
// This library uses no user-interface code; a load reports its stages
// through LoadProgress so that it runs, and is tested, without a screen.

#include "dictionary/fileshape.h"
#include "dictionary/translationlist.h"
#include "files/savefile.h"

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One source/translation pair as read from the file.
struct Dictinit {
    std::string Source;
    std::string Translation;
};

// One dictionary entry: a distinct source string with its distinct
// translations in order of first appearance.
struct DS {
    DictText Source;
    TranslationList Translations;          // slots 0 .. LastTranslation
    std::int32_t LastTranslation = 0;      // > 0: several translations
    std::int32_t Chosen = 0;               // slot shown in the grid and saved
    bool Reviewed = false;                 // the user left the choice box on it

    const DictText &ChosenTranslation() const;
    // Appends t as a new slot and returns its index.
    std::int32_t AppendTranslation(std::string_view t);
};

// The tables of one dictionary. Before the first load the entry table reads
// as one entry with an empty source and one empty translation.
//
// The tables grow as needed: there is no limit on pairs, entries or
// translations per entry. After a load EntryTable holds exactly
// LastEntry + 1 entries (none for an empty dictionary), and PairTable, the
// pair work area of the load, is empty again; LastPair still tells how many
// pairs the file gave (number of pairs minus 1).
struct DictionaryTables {
    std::vector<Dictinit> PairTable; // work area of a load only
    std::int32_t LastPair = 0;       // -1 when the file gave no pair
    std::vector<DS> EntryTable;      // ascending byte order of Source after a load
    std::int32_t LastEntry = 0;      // -1 for an empty dictionary

    DictionaryTables();
};

// What a load tells the user interface: the progress window's text and bar,
// and the chance to let pending events run.
class LoadProgress {
public:
    virtual ~LoadProgress() = default;
    virtual void SetText(const QString &text) = 0;
    virtual void SetPosition(int position) = 0;
    virtual void ProcessEvents() = 0;
};

// A load that reports to nobody (command-line tools, background work).
class SilentLoadProgress final : public LoadProgress {
public:
    void SetText(const QString &) override {}
    void SetPosition(int) override {}
    void ProcessEvents() override {}
};

// A dictionary file larger than this is refused, and so is an endless
// input (/dev/zero, a pipe that never ends) once it has given this much.
constexpr qint64 DictionaryFileLimit = qint64(256) << 20;

// Reads the dictionary file at path into tables. The file is loaded into
// fresh tables that replace those of `tables` only when the load succeeded;
// on failure `tables` is untouched and the result carries the message.
// Every line read goes to `shape` when one is given.
FileResult LoadDictionary(const FileName &path, DictionaryTables &tables, LoadProgress &progress,
                          FileShape *shape = nullptr);

// Writes entries 0 .. LastEntry: Source and the chosen translation, each line
// ending with CR LF, through SaveFile: a failed save leaves the old file
// byte for byte and says why.
FileResult SaveDictionary(const FileName &path, const DictionaryTables &tables);

// Byte-wise unsigned comparison; a prefix sorts before the longer string.
bool SourceLess(std::string_view a, std::string_view b);
