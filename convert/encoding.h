#pragma once
// The encodings in which resource scripts come today, and the code page 950
// copy the interpreter reads instead.
//
// The two scripts work on Big5 bytes. A script in UTF-8 (with a byte order
// mark, declared by `#pragma code_page(65001)`, or plainly so: valid UTF-8
// with characters beyond ASCII that is no valid Big5) or in UTF-16 with a
// byte order mark is decoded, and the interpreter gets a copy in code page 950;
// a translation is written back in the script's own encoding. A character
// that code page 950 cannot hold travels through the copy as a stand-in: a
// user-defined Big5 code that no file of the run uses, turned back into the
// character afterwards.

#include <QString>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

enum class TextEncoding { Cp950, Utf8, Utf16LE, Utf16BE };

struct ScriptEncoding {
    TextEncoding Encoding = TextEncoding::Cp950;
    bool Bom = false;
    friend bool operator==(const ScriptEncoding &, const ScriptEncoding &) = default;
};

// "Big5（code page 950）", "UTF-8", "UTF-8（含BOM）", "UTF-16 LE（含BOM）" ...
QString EncodingLabel(const ScriptEncoding &encoding);

// A resource script's bytes, read as the run will use them.
struct DecodedScript {
    ScriptEncoding Encoding;
    // The text, for every encoding but code page 950.
    QString Text;
    // Set when the file is not fit to be converted; the run is refused.
    QString Problem;
    // Something the user should know about how the file was read.
    QString Note;
};

// How a resource script is to be read: as its bytes tell, or as the user
// says. A file that starts with a byte order mark is read by it under
// Utf8 and Utf16 too; Utf16 without one is little-endian, as Windows
// writes it.
enum class EncodingChoice { Guess, Big5, Utf8, Utf16 };

// "big5", "utf-8", "utf-16" (as the command line spells them); nothing
// for another text.
std::optional<EncodingChoice> EncodingChoiceNamed(std::string_view name);

DecodedScript DecodeScript(std::string_view bytes, EncodingChoice choice = EncodingChoice::Guess);

// The Problem of a UTF-8 file that ends inside its last character.
QString CutUtf8Problem();

// The text in the given encoding, byte order mark included when asked for.
// Code page 950 is not one of them: Big5 files are never re-encoded.
std::string EncodeText(const QString &text, const ScriptEncoding &encoding);

// The stand-ins of one run. Every byte string the interpreter will read
// (copies, Big5 inputs, the dictionary) is noted first, so that no stand-in
// is a code that already means something; then the copies are made.
class Cp950StandIns {
public:
    // Codes used by bytes the interpreter reads as they are.
    void NoteBytes(std::string_view cp950Bytes);
    // Codes used by the Big5 form of a text, and its characters without one.
    void NoteText(QStringView text);
    // Gives each character without a Big5 code its stand-in. False when
    // there are more such characters than free user-defined codes.
    bool Assign();

    std::size_t size() const { return ByCharacter.size(); }

    // The Big5 copy of a text (after Assign).
    std::string Copy(QStringView text) const;
    // Big5 bytes back to text, stand-ins becoming their characters again.
    // Bytes that make no Big5 character become U+FFFD when `undecodable` is
    // given (and are counted there), else they keep the code page module's
    // reversible form.
    QString Restore(std::string_view bytes, int *undecodable = nullptr) const;
    // True when the bytes hold a stand-in.
    bool Holds(std::string_view bytes) const;

private:
    std::set<unsigned> Used;                 // two-byte codes taken
    std::map<QString, unsigned> ByCharacter; // character -> stand-in code
    std::map<unsigned, QString> ByCode;
};

// How each line of a text ends: "\r\n", "\n" or nothing (a last line
// without a line end). A carriage return alone belongs to its line, as the
// interpreter reads it.
std::vector<QString> LineEnds(const QString &text);
