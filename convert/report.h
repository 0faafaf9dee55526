#pragma once
// What a conversion did, told to the user after the interpreter has ended:
// the report of an extraction (the dictionary made) and of a translation
// (the texts the dictionary knew and those it did not). Both are values that
// the command line and the windows render the same way.
//
// Line numbers here count from 1, as an editor shows them.

#include "convert/rcaccount.h"
#include "convert/rcreader.h"
#include "dictionary/checks.h"
#include "dictionary/matching.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// A file a run read, and how.
struct ReadFile {
    QString Path;
    QString Encoding; // EncodingLabel of the file
    QString Note;     // how it was read, when the user should know
};

// Where the pairing of a block goes wrong: from this item on, an English
// text is paired with a translated text that does not stand in its place.
struct PairingShift {
    int Item = 0;        // 1-based position in the block
    int EnglishLine = 0; // 0: the English block has no text there
    int ChineseLine = 0; // 0: the translated block has no text there
    QString EnglishText;
    QString ChineseText;
    // The English text there is blanks only: the first pass counts it, the
    // second skips it, so the translated texts after it move up one place.
    bool EnglishBlankOnly = false;
};

struct BlockCount {
    QString HeaderWord; // "MENU", "DIALOG", "DIALOGEX"
    QString Name;
    int EnglishHeaderLine = 0; // 0: only in the translated file
    int ChineseHeaderLine = 0; // 0: only in the English file
    int English = 0;           // texts stored for the block by the first pass
    int Chinese = 0;           // texts paired in the translated block
    std::optional<PairingShift> Shift;
    // The counts differ and the program paired the texts by identifier.
    bool ById = false;
    bool differs() const { return English != Chinese || Shift.has_value(); }
};

// A text of a block found in both files that the program paired with
// nothing; a translated one is written with an empty English line.
struct UnpairedLine {
    bool English = false;
    QString Block;
    QString Text;
    int Line = 0;
};

// A string identifier standing more than once in a file, with each text.
struct DuplicateId {
    QString Id;
    std::vector<std::pair<int, QString>> English; // line, text
    std::vector<std::pair<int, QString>> Chinese;
};

// The texts of a resource script and whether the rules reached them.
struct NotReachedLine {
    int Line = 0;
    QString Text;
    Unreached Why = Unreached::LineShape;
};

struct StringsAccounted {
    bool Counted = false;
    int InFile = 0;
    int Taken = 0;
    std::vector<NotReachedLine> NotReached;
    // Strings in comments that the rules take all the same: line (from 1)
    // and the line's text.
    std::vector<std::pair<int, QString>> FromComments;
};

struct ExtractionReport {
    ReadFile English;
    ReadFile Chinese;
    RcDelimiters Delimiters; // lines counted from 0, as read
    qint64 PairsWritten = 0;
    qint64 PairsWithEmptyEnglish = 0;
    std::vector<BlockCount> Blocks;
    QStringList StringIdsOnlyInEnglish;
    QStringList StringIdsOnlyInChinese;
    // Pairs left out of the dictionary because a text holds a character
    // that code page 950 cannot hold.
    std::vector<std::pair<QString, QString>> LeftOut;
    // False when the dictionary written is not the one the program's own
    // reading of the two files expects.
    bool WrittenAsRead = true;
    // Lines of the translated file that hold a text where a menu item, a
    // control or a string-table entry would (0: not counted).
    qint64 TextLines = 0;
    // Line ends removed after a backslash inside a string, and string-table
    // entries whose string stood on the next line, in both files.
    int Joined = 0;
    int JoinedStatements = 0;
    // The dictionary holds the program's pairing, not the script's
    // positions, which went wrong in a block.
    bool PairedByProgram = false;
    std::vector<UnpairedLine> Unpaired;
    std::vector<DuplicateId> Duplicates;
    StringsAccounted Strings; // of the English file

    bool BlocksDiffer() const;
    // The pairs with an English text, those left out included.
    qint64 PairsFound() const { return PairsWritten - PairsWithEmptyEnglish + qint64(LeftOut.size()); }
    // They come to less than four in five of the translated file's text lines.
    bool LowPairing() const;
    bool NoPairs() const { return PairsWritten == 0; }
};

// Texts are Big5 bytes of the interpreter's copies; `decode` turns them
// into display text (stand-ins included).
using TextDecoder = std::function<QString(std::string_view)>;

ExtractionReport BuildExtractionReport(const ExtractionReading &reading, const TextDecoder &decode);

QString RenderExtractionReport(const ExtractionReport &report);

// How many texts a file holds, how many the rules took, and each one they
// did not reach with its line and why; empty when they were not counted.
QString StringsAccountedText(const StringsAccounted &strings, const QString &file);

// A text the translation left in English, once, where it first stood.
struct EnglishText {
    QString Text;
    std::string Bytes; // as the interpreter's copy holds it
    int Line = 0;
    int Count = 0; // lines holding it
    TextOutcome Why = TextOutcome::NotInDictionary;
    // The text holds a character that code page 950 cannot hold: no
    // dictionary can take it.
    bool HoldsStandIn = false;
    std::vector<int> Lines; // every line holding it, in order
    // Translations of the dictionary's sources that are the same or nearly
    // the same text, best first (Big5 bytes).
    std::vector<Suggestion> Suggestions;
    // The adapted match was written into the translated script (on this
    // many of its lines).
    int AdaptedWritten = 0;
};

// A finding of the checks of the translated script: two items of one menu
// level or two controls of one dialog with the same hot key, or a control
// text too wide for its control.
struct ScriptFinding {
    CheckKind Kind = CheckKind::HotkeyClash;
    QString Block;
    QString Text;
    int Line = 0;
    int Width = 0; // too-wide: the text's width and the control's room,
    int Room = 0;  // in horizontal dialog units
    // The letter and the menu path or dialog of a clash, the widths and the
    // font of a text too wide or too tight.
    QString Detail;
    // hotkey-clash: the translated text with a free letter, when there is one.
    QString Fix;
    // The English text on the same line of the script translated (Big5):
    // the dictionary source whose translation the fix mends.
    std::string Source;
};

struct LanguageLine {
    int Line = 0;
    QString Before;
    QString After; // empty: left as it was
};

struct TranslationReport {
    ReadFile Dictionary;
    ReadFile Script;
    RcDelimiters Delimiters;
    qint64 TextsFound = 0;     // lines with a text the script looks up
    qint64 DistinctTexts = 0;
    qint64 Translated = 0;     // of TextsFound
    qint64 LeftInEnglish = 0;  // of TextsFound
    std::vector<EnglishText> Left; // in order of first appearance
    // Places left in English with an adapted (score 100) and with a near
    // match as their best suggestion, once suggestions were made.
    bool Suggested = false;
    qint64 WithAdapted = 0;
    qint64 WithNear = 0;
    qint64 AdaptedWritten = 0; // places given their adapted match in the script
    // With the old English version: texts by identifier (display text).
    bool ComparedWithOld = false;
    QStringList Added, Removed;
    std::vector<std::pair<QString, QString>> Changed; // old, new
    qint64 Unchanged = 0;
    int FontLines = 0;
    bool FontSwitch = false; // the dialogs' FONT 8 lines were to become 9
    // The dialogs' FONT lines the switch left as they were.
    struct KeptFont {
        int Line = 0; // from 1
        QString Dialog;
        QString Text;
    };
    std::vector<KeptFont> FontsKept;
    // LANGUAGE lines naming English and code page pragmas that do not fit
    // the bytes written; After is set when they were rewritten.
    std::vector<LanguageLine> Language;
    bool Retargeted = false;
    // Characters of translations that code page 950 cannot decode,
    // written as U+FFFD into a script that is not Big5.
    int Undecodable = 0;
    bool WrittenAsRead = true;
    // The checks of the translated script, once they were made.
    bool Checked = false;
    std::vector<ScriptFinding> Findings;
    StringsAccounted Strings;
};

TranslationReport BuildTranslationReport(const TranslationReading &reading, const TextDecoder &decode);

QString RenderTranslationReport(const TranslationReport &report);

// One line that says how a run went, for the top of the report window, and
// whether it calls for the user's attention (no pairs, blocks whose
// pairing shifts, an output that is not what the reading expects).
QString ExtractionSummary(const ExtractionReport &report);
bool ExtractionWarns(const ExtractionReport &report);
QString TranslationSummary(const TranslationReport &report);
bool TranslationWarns(const TranslationReport &report);

// "仍是英文 N 處：A 處有調整後的譯文，F 處有近似譯文", and how one suggestion
// is told: its translation, its score and the source it comes from.
QString SuggestionCounts(const TranslationReport &report);
QString SuggestionLine(const Suggestion &suggestion);

// The texts left in English that a dictionary can take as new untranslated
// pairs: those it does not hold at all, in order of first appearance,
// without those holding a character code page 950 cannot hold. Texts it
// holds as empty, "0" or themselves already have their pair.
std::vector<std::string> TextsForDictionary(const TranslationReport &report);

// The texts left in English as a dictionary of untranslated pairs (each
// text its own translation), CR LF, code page 950, in order of first
// appearance. Texts whose copy holds a stand-in cannot be written in code
// page 950 and are returned in `leftOut`.
// After each text's pair come its suggestions, one pair each, best first:
// the dictionary made from them offers them in the choice box and picks
// none.
std::string MissingPairs(const TranslationReport &report, const std::function<bool(std::string_view)> &holdsStandIn,
                         QStringList *leftOut = nullptr);
