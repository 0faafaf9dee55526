#include "editor/hotkeys.h"

#include "platform/codepage.h"

#include <QLineEdit>

#include <algorithm>

namespace {

const QString Escape = QStringLiteral("\\t");

// The whole character starting at i (a surrogate pair counts as one).
QString characterAt(const QString &s, qsizetype i)
{
    if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
        return s.mid(i, 2);
    return s.mid(i, 1);
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
    ReplaceSelection(edit, HotKeyMarker(*letter, insertSpace));
    return true;
}

bool InsertShortcut(ChoiceEdit &edit, std::string_view source, bool &Modified)
{
    Modified = true;
    const std::optional<QString> shortcut = ShortcutText(source);
    if (!shortcut)
        return false;
    ReplaceSelection(edit, ShortcutSuffix(*shortcut));
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
