#pragma once
// Carrying the keyboard markup of a source string over into the translation
// being edited in the choice box.
//
// A source string of a resource script marks its hot key with "&" before the
// letter ("&&" is a literal ampersand) and appends a shortcut key name after
// the two-character escape "\t" (backslash, t). The commands insert the
// hot-key letter as a marker such as " (&O)" and the shortcut as "\tCtrl+O" at
// the caret of the choice box's edit text.
//
// The source is Big5 bytes; it is read as decoded text, so a double-byte
// character whose second byte is a backslash is never taken for an escape and
// a hot-key letter may be a Chinese character. Positions count the edit
// control's characters (UTF-16 units of the QString).

#include <QString>

#include <optional>
#include <string_view>

class QLineEdit;

// The hot-key letter of a Big5 source: the character after the first "&"
// that is not part of "&&", upper-cased if it is a-z. None when there is no
// such "&" or it ends the source.
std::optional<QString> HotKeyLetter(std::string_view source);
std::optional<QString> HotKeyLetter(const QString &source);

// The shortcut text of a Big5 source: everything after its last "\t"
// (possibly empty). None when the source holds no "\t".
std::optional<QString> ShortcutText(std::string_view source);
std::optional<QString> ShortcutText(const QString &source);

// " (&L)" with InsertSpace, "(&L)" without.
QString HotKeyMarker(const QString &letter, bool insertSpace);
// "\t" followed by the shortcut text.
QString ShortcutSuffix(const QString &shortcut);

// The choice box's edit text with its selection; with nothing selected
// SelLength is 0 and SelStart is the caret.
struct ChoiceEdit {
    QString Text;
    qsizetype SelStart = 0;
    qsizetype SelLength = 0;
};

// Replaces the selection with inserted; the caret ends right after it and
// nothing is selected. A selection reaching outside the text is cut to it.
void ReplaceSelection(ChoiceEdit &edit, const QString &inserted);

// The three commands. Each inserts what the source offers (nothing when it
// offers nothing) and sets Modified to true in every case. Return whether the
// text changed. A translation keeps one hot key and one shortcut: the hot
// keys it holds ("(&X)", "&x") and the source's shortcut already in it are
// taken out first, so that using a tool twice never doubles them.
bool InsertHotKey(ChoiceEdit &edit, std::string_view source, bool insertSpace, bool &Modified);
bool InsertShortcut(ChoiceEdit &edit, std::string_view source, bool &Modified);
// Hot key, then shortcut at the caret the first left.
bool InsertHotKeyAndShortcut(ChoiceEdit &edit, std::string_view source, bool insertSpace, bool &Modified);

// Reads the edit text, caret and selection of the choice box's edit field,
// and writes a result back (text, caret, no selection).
ChoiceEdit ReadChoiceEdit(const QLineEdit &field);
void ApplyChoiceEdit(QLineEdit &field, const ChoiceEdit &edit);
