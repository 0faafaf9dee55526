#include "editor/hotkeys.h"

#include "platform/codepage.h"

#include <QLineEdit>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

const QString Escape = QStringLiteral("\\t");

// The whole character starting at i (a surrogate pair counts as one).
QString characterAt(const QString &s, qsizetype i)
{
    if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
        return s.mid(i, 2);
    return s.mid(i, 1);
}

// Takes the pieces [from, to) out of the edit text; the caret and the
// selection keep their place in what is left.
void removePieces(ChoiceEdit &edit, const std::vector<std::pair<qsizetype, qsizetype>> &pieces)
{
    qsizetype start = std::clamp<qsizetype>(edit.SelStart, 0, edit.Text.size());
    qsizetype end = std::clamp<qsizetype>(edit.SelStart + edit.SelLength, start, edit.Text.size());
    const auto moved = [](qsizetype at, qsizetype from, qsizetype to) {
        return at <= from ? at : at >= to ? at - (to - from) : from;
    };
    for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) {
        edit.Text.remove(piece->first, piece->second - piece->first);
        start = moved(start, piece->first, piece->second);
        end = moved(end, piece->first, piece->second);
    }
    edit.SelStart = start;
    edit.SelLength = end - start;
}

// The hot keys of the edit text: "(&X)" markers with the blanks before
// them, and the "&" of "&x" ("&&" is a literal ampersand and stays).
void removeHotKeys(ChoiceEdit &edit)
{
    std::vector<std::pair<qsizetype, qsizetype>> pieces;
    const QString &t = edit.Text;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t.at(i) != QLatin1Char('&') || i + 1 >= t.size())
            continue;
        if (t.at(i + 1) == QLatin1Char('&')) {
            ++i;
            continue;
        }
        const qsizetype letter = characterAt(t, i + 1).size();
        if (i > 0 && t.at(i - 1) == QLatin1Char('(') && i + 1 + letter < t.size()
            && t.at(i + 1 + letter) == QLatin1Char(')')) {
            qsizetype from = i - 1;
            while (from > 0 && t.at(from - 1) == QLatin1Char(' '))
                --from;
            pieces.emplace_back(from, i + 2 + letter);
            i += letter + 1;
        } else {
            pieces.emplace_back(i, i + 1);
        }
    }
    removePieces(edit, pieces);
}

} // namespace

std::optional<QString> HotKeyLetter(const QString &source)
{
    qsizetype from = 0;
    for (;;) {
        const qsizetype amp = source.indexOf(QLatin1Char('&'), from);
        if (amp < 0 || amp + 1 >= source.size())
            return std::nullopt;
        if (source.at(amp + 1) == QLatin1Char('&')) {
            from = amp + 2; // a literal ampersand
            continue;
        }
        QString letter = characterAt(source, amp + 1);
        const QChar c = letter.at(0);
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            letter = QChar(c.unicode() - 'a' + 'A');
        return letter;
    }
}

std::optional<QString> HotKeyLetter(std::string_view source)
{
    return HotKeyLetter(cp950::decode(source));
}

std::optional<QString> ShortcutText(const QString &source)
{
    const qsizetype at = source.lastIndexOf(Escape);
    if (at < 0)
        return std::nullopt;
    return source.mid(at + Escape.size());
}

std::optional<QString> ShortcutText(std::string_view source)
{
    return ShortcutText(cp950::decode(source));
}

QString HotKeyMarker(const QString &letter, bool insertSpace)
{
    return (insertSpace ? QStringLiteral(" (&") : QStringLiteral("(&")) + letter + QLatin1Char(')');
}

QString ShortcutSuffix(const QString &shortcut)
{
    return Escape + shortcut;
}

void ReplaceSelection(ChoiceEdit &edit, const QString &inserted)
{
    const qsizetype start = std::clamp<qsizetype>(edit.SelStart, 0, edit.Text.size());
    const qsizetype length = std::clamp<qsizetype>(edit.SelLength, 0, edit.Text.size() - start);
    edit.Text.replace(start, length, inserted);
    edit.SelStart = start + inserted.size();
    edit.SelLength = 0;
}

bool InsertHotKey(ChoiceEdit &edit, std::string_view source, bool insertSpace, bool &Modified)
{
    Modified = true;
    const std::optional<QString> letter = HotKeyLetter(source);
    if (!letter)
        return false;
    // The translation gets one hot key: one it has already gives way.
    removeHotKeys(edit);
    ReplaceSelection(edit, HotKeyMarker(*letter, insertSpace));
    return true;
}

bool InsertShortcut(ChoiceEdit &edit, std::string_view source, bool &Modified)
{
    Modified = true;
    const std::optional<QString> shortcut = ShortcutText(source);
    if (!shortcut)
        return false;
    // Nor a second shortcut: the one already there gives way.
    const QString suffix = ShortcutSuffix(*shortcut);
    std::vector<std::pair<qsizetype, qsizetype>> pieces;
    for (qsizetype at = edit.Text.indexOf(suffix); at >= 0; at = edit.Text.indexOf(suffix, at + suffix.size()))
        pieces.emplace_back(at, at + suffix.size());
    removePieces(edit, pieces);
    ReplaceSelection(edit, suffix);
    return true;
}

bool InsertHotKeyAndShortcut(ChoiceEdit &edit, std::string_view source, bool insertSpace, bool &Modified)
{
    const bool hotKey = InsertHotKey(edit, source, insertSpace, Modified);
    const bool shortcut = InsertShortcut(edit, source, Modified);
    return hotKey || shortcut;
}

ChoiceEdit ReadChoiceEdit(const QLineEdit &field)
{
    ChoiceEdit edit;
    edit.Text = field.text();
    if (field.hasSelectedText()) {
        edit.SelStart = field.selectionStart();
        edit.SelLength = field.selectionLength();
    } else {
        edit.SelStart = field.cursorPosition();
    }
    return edit;
}

void ApplyChoiceEdit(QLineEdit &field, const ChoiceEdit &edit)
{
    // Through the field's own editing, not setText: Ctrl+Z in the box then
    // takes an inserted hot key or shortcut back like typed text.
    if (field.text() != edit.Text) {
        field.selectAll();
        field.insert(edit.Text);
    }
    field.deselect();
    field.setCursorPosition(int(edit.SelStart));
}
