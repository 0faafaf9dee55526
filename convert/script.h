#pragma once
// The conversion scripts: their templates, the lines a run fills in, the
// checks a run makes on its paths, and the script file itself.
//
// Paths are byte strings: on Linux the file system's bytes (QFile::encodeName
// of a dialog's path, or the raw command-line bytes), on Windows the ANSI code
// page. They go into the script byte for byte, so that the interpreter opens
// exactly the file the user chose.

#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A script template: an ordered list of code page 950 lines whose number
// never changes. A run replaces some lines in place.
class ScriptTemplate {
public:
    explicit ScriptTemplate(std::vector<std::string> lines) : Lines(std::move(lines)) {}

    const std::vector<std::string> &lines() const { return Lines; }
    std::size_t size() const { return Lines.size(); }
    const std::string &line(std::size_t index) const { return Lines.at(index); }
    void replaceLine(std::size_t index, std::string text) { Lines.at(index) = std::move(text); }

    // The script file's bytes: every line followed by CR LF, the last one too.
    std::string bytes() const;

private:
    std::vector<std::string> Lines;
};

// Fresh copies of the two templates (186 and 134 lines).
ScriptTemplate ExtractionTemplate();
ScriptTemplate TranslationTemplate();

// Lines that a run replaces.
constexpr std::size_t ExtractionLineF1 = 11;
constexpr std::size_t ExtractionLineF2 = 12;
constexpr std::size_t ExtractionLineF3 = 13;
constexpr std::size_t TranslationLineChangeFont = 11;
constexpr std::size_t TranslationLineF1 = 15;
constexpr std::size_t TranslationLineF2 = 16;
constexpr std::size_t TranslationLineF3 = 17;
// The block words before the file is read: `$BeginStr='';` and
// `$EndStr='';`, which the scripts fill from the resource tool's name.
constexpr std::size_t ExtractionLineBeginStr = 30;
constexpr std::size_t ExtractionLineEndStr = 31;
constexpr std::size_t TranslationLineBeginStr = 41;
constexpr std::size_t TranslationLineEndStr = 42;

// Script file names, written into the working folder and named on the
// interpreter's command line in the same spelling.
inline constexpr char ExtractionScriptName[] = "Glossary.pl";
inline constexpr char TranslationScriptName[] = "TRANS.PL";

// Makes a path fit to stand between the double quotes of a Perl string
// literal: a backslash, a double quote, a dollar sign and an at sign each get
// a backslash before them. The walk is over bytes, so the second byte of a
// Big5 character (0x5C as in 許, 0x40 as in 一) is escaped too and reaches the
// script unchanged.
std::string EscapeBackslashes(std::string_view path);

// `$f1="<escaped path>";` for name "$f1".
std::string PatchLine(std::string_view name, std::string_view path);

// `$BeginStr='BEGIN';` for name "$BeginStr" and word "BEGIN"; an empty
// word gives the template's own line. The word is one of the block words
// (BEGIN, END or a brace), fit to stand between single quotes. A chosen
// word gets a comment that says where it came from.
std::string DelimiterLine(std::string_view name, std::string_view word);

// Line 11 of the translation script: "$ChangeFont=-1;  # 是:-1 , 否:0" when
// the font switch is ticked, "$ChangeFont=0;  # 是:-1 , 否:0" otherwise.
std::string ChangeFontLine(bool ticked);

struct ExtractionPaths {
    std::string E1; // English resource script
    std::string E2; // translated resource script
    std::string E3; // dictionary to write
};

struct TranslationPaths {
    std::string T1; // dictionary
    std::string T2; // new English resource script
    std::string T3; // translated resource script to write
    bool SizeChange = false;
};

// The whole script of a run with these paths, as the windows write it.
std::string ExtractionScript(const ExtractionPaths &paths);
std::string TranslationScript(const TranslationPaths &paths);

// Why a run may not go ahead, as the user is told.
struct Refusal {
    QString text;
    QString caption;
};

QString RefusalCaption(); // "錯誤"
QString EmptyFieldsMessage(); // "資料未輸入妥當"
// That message followed by the fields left empty, by their names:
// "資料未輸入妥當：「來源Resource檔」、「輸出的字典檔」沒有填。"
QString EmptyFieldsMessage(const QStringList &fields);
QString SameRcPathsMessage(); // "新版本RC檔及翻譯後RC檔的路徑不能相同。"

// True when the two paths name one file: the same text, or the same file
// reached through another spelling, letter case on a file system that ignores
// it, or a symbolic link. A path whose file does not exist yet is judged by
// its folder's real path and its name.
bool NameTheSameFile(const std::string &a, const std::string &b);

// A path that the scripts' two-argument open() would not take as a plain
// file name (leading or trailing blanks, a mode or pipe sign at either end,
// control characters), so that a path can never make the script run a
// command or open something else.
bool PathSafeForScript(std::string_view path);

// The checks a run makes after its fields are known to be filled: unsafe
// paths, and an output that names one of the run's inputs. For the
// translation run the byte-for-byte test of T2 against T3 comes first.
std::optional<Refusal> CheckExtractionFiles(const ExtractionPaths &paths);
std::optional<Refusal> CheckTranslationFiles(const TranslationPaths &paths);

// The checks on the path texts alone: all fields filled, then the checks
// above. Nothing is looked up on the disk.
std::optional<Refusal> ExtractionPathRefusal(const ExtractionPaths &paths);
std::optional<Refusal> TranslationPathRefusal(const TranslationPaths &paths);

// The checks on the files themselves, made just before a run so that the
// interpreter never starts on something it would quietly read as empty or
// fail to write: an input must be a plain file that can be read; an output
// must not be a folder, an existing output must take writing, and its
// folder must exist and take new files. `what` names the field in the
// message ("字典檔" ...).
std::optional<Refusal> CheckInputFile(const std::string &path, const QString &what);
std::optional<Refusal> CheckOutputFile(const std::string &path, const QString &what);
std::optional<Refusal> CheckExtractionAccess(const ExtractionPaths &paths);
std::optional<Refusal> CheckTranslationAccess(const TranslationPaths &paths);

// All checks of a run in the order the windows make them (empty fields
// first, then the path texts, then the files).
std::optional<Refusal> ExtractionRefusal(const ExtractionPaths &paths);
std::optional<Refusal> TranslationRefusal(const TranslationPaths &paths);

struct WriteResult {
    bool ok = true;
    QString error; // the text of the error report when !ok
};

// Writes a script file so that it is either complete or not there at all: a
// half-written script never replaces an earlier one. A failure gives
// "Cannot create file <path>".
WriteResult WriteScriptFile(const QString &path, const std::string &bytes);

// A path as typed or pasted into a field, as a dialog would have given it:
// surrounding blanks and line ends go, so do one pair of quotes around it;
// a file:// address becomes its local path and a leading "~/" the home
// folder. Anything else is kept as it stands.
QString TypedPath(const QString &text);

// Byte paths to and from Qt's file names.
std::string PathBytes(const QString &path);
QString PathFromBytes(const std::string &bytes);

// An output that is not a plain file (a terminal, a pipe, /dev/stdout) can
// be written only once and not read back: the interpreter writes into the
// run's folder instead, and the program passes the result on.
bool IsStreamOutput(const std::string &path);
