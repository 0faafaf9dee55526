#include "convert/rclayout.h"

#include "convert/encoding.h"
#include "convert/rcchecks.h"
#include "dictionary/checks.h"
#include "files/filename.h"
#include "files/readfile.h"
#include "platform/codepage.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>

namespace {

bool isLeadByte(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE;
}

std::string upper(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return out;
}

// Words of a statement up to the first quote, split at blanks and commas.
std::vector<std::string> wordsOf(std::string_view s)
{
    std::vector<std::string> out;
    std::string word;
    for (const char c : s) {
        if (c == '"')
            break;
        if (c == ' ' || c == '\t' || c == ',') {
            if (!word.empty())
                out.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        out.push_back(std::move(word));
    return out;
}

// A number as the resource compiler writes coordinates: decimal or hex,
// possibly a sum or difference of such ("7+10").
std::optional<int> number(std::string_view s)
{
    s = RcTrimmed(s);
    if (s.empty())
        return std::nullopt;
    const std::string text(s);
    const char *at = text.c_str();
    int total = 0;
    int sign = 1;
    for (;;) {
        while (*at == ' ')
            ++at;
        char *end = nullptr;
        const long v = std::strtol(at, &end, 0);
        if (end == at)
            return std::nullopt;
        total += sign * int(v);
        at = end;
        while (*at == ' ')
            ++at;
        if (*at == '\0')
            return total;
        if (*at != '+' && *at != '-')
            return std::nullopt;
        sign = *at == '+' ? 1 : -1;
        ++at;
    }
}

bool isBegin(const std::string &word)
{
    return word == "BEGIN" || word == "{";
}

bool isEnd(const std::string &word)
{
    return word == "END" || word == "}";
}

bool has(const std::string &style, const char *flag)
{
    return style.find(flag) != std::string::npos;
}

std::optional<QRect> rectAt(const std::vector<std::string> &args, std::size_t at)
{
    if (args.size() < at + 4)
        return std::nullopt;
    const auto x = number(args[at]), y = number(args[at + 1]), w = number(args[at + 2]), h = number(args[at + 3]);
    if (!x || !y || !w || !h)
        return std::nullopt;
    return QRect(*x, *y, *w, *h);
}

// A control statement of a dialog; nullopt when it names no rectangle that
// can be read.
std::optional<LaidControl> controlOf(const RcStatement &st)
{
    LaidControl c;
    c.Line = st.Line;
    c.Text = st.Text.value_or(std::string());
    const std::string &k = st.Keyword;
    static const std::map<std::string, ControlShape> texted{
        {"LTEXT", ControlShape::Text},          {"RTEXT", ControlShape::Text},
        {"CTEXT", ControlShape::Text},          {"PUSHBUTTON", ControlShape::PushButton},
        {"PUSHBOX", ControlShape::PushButton},  {"DEFPUSHBUTTON", ControlShape::DefaultButton},
        {"CHECKBOX", ControlShape::CheckBox},   {"AUTOCHECKBOX", ControlShape::CheckBox},
        {"STATE3", ControlShape::CheckBox},     {"AUTO3STATE", ControlShape::CheckBox},
        {"RADIOBUTTON", ControlShape::RadioButton}, {"AUTORADIOBUTTON", ControlShape::RadioButton},
        {"GROUPBOX", ControlShape::GroupBox},
    };
    static const std::map<std::string, ControlShape> plain{
        {"EDITTEXT", ControlShape::Edit},   {"LISTBOX", ControlShape::ListBox},
        {"COMBOBOX", ControlShape::ComboBox}, {"SCROLLBAR", ControlShape::Other},
    };
    std::optional<QRect> rect;
    std::string style;
    if (const auto it = texted.find(k); it != texted.end()) {
        // "text", id, x, y, width, height [, style ...]
        c.Shape = it->second;
        rect = rectAt(st.Args, 1);
        style = st.Args.size() > 5 ? upper(st.Args[5]) : std::string();
        c.Align = k == "CTEXT" ? TextAlign::Center : k == "RTEXT" ? TextAlign::Right : TextAlign::Left;
        if (c.Shape == ControlShape::PushButton || c.Shape == ControlShape::DefaultButton)
            c.Align = TextAlign::Center;
        c.Wraps = c.Shape == ControlShape::Text ? !has(style, "SS_LEFTNOWORDWRAP") : has(style, "BS_MULTILINE");
    } else if (const auto it = plain.find(k); it != plain.end()) {
        // id, x, y, width, height [, style ...]
        c.Shape = it->second;
        c.Class = k == "SCROLLBAR" ? "ScrollBar" : std::string();
        rect = rectAt(st.Args, st.Text ? 0 : 1);
    } else if (k == "ICON") {
        // text or name, id, x, y [, width, height]
        c.Shape = ControlShape::Icon;
        const std::size_t at = st.Text ? 1 : 2;
        if (const auto x = st.Args.size() > at + 1 ? number(st.Args[at]) : std::nullopt,
            y = st.Args.size() > at + 1 ? number(st.Args[at + 1]) : std::nullopt;
            x && y) {
            rect = rectAt(st.Args, at).value_or(QRect(*x, *y, 0, 0));
            if (rect->width() <= 0 || rect->height() <= 0)
                rect = QRect(*x, *y, 21, 20); // an icon's 32 pixels in MS Shell Dlg 8's units
        }
        c.Text.clear();
    } else if (k == "CONTROL") {
        // "text", id, class, style, x, y, width, height [, extended style]
        const std::size_t at = st.Text ? 0 : 1;
        if (st.Args.size() < at + 7)
            return std::nullopt;
        std::string cls(RcTrimmed(st.Args[at + 1]));
        if (cls.size() >= 2 && cls.front() == '"' && cls.back() == '"')
            cls = cls.substr(1, cls.size() - 2);
        c.Class = cls;
        const std::string type = upper(cls);
        style = upper(st.Args[at + 2]);
        rect = rectAt(st.Args, at + 3);
        if (type == "STATIC") {
            if (has(style, "SS_ICON") || has(style, "SS_BITMAP"))
                c.Shape = ControlShape::Icon;
            else if (has(style, "SS_ETCHED") || has(style, "RECT") || has(style, "FRAME"))
                c.Shape = ControlShape::Frame;
            else
                c.Shape = ControlShape::Text;
            c.Align = has(style, "SS_CENTER") ? TextAlign::Center : has(style, "SS_RIGHT") ? TextAlign::Right
                                                                                           : TextAlign::Left;
            c.Wraps = !has(style, "SS_LEFTNOWORDWRAP") && !has(style, "SS_SIMPLE");
        } else if (type == "BUTTON") {
            if (has(style, "GROUPBOX"))
                c.Shape = ControlShape::GroupBox;
            else if (has(style, "RADIOBUTTON"))
                c.Shape = ControlShape::RadioButton;
            else if (has(style, "CHECKBOX") || has(style, "3STATE"))
                c.Shape = ControlShape::CheckBox;
            else if (has(style, "DEFPUSHBUTTON"))
                c.Shape = ControlShape::DefaultButton;
            else
                c.Shape = ControlShape::PushButton;
            c.Align = c.Shape == ControlShape::PushButton || c.Shape == ControlShape::DefaultButton
                          || has(style, "BS_CENTER")
                ? TextAlign::Center
                : TextAlign::Left;
            c.Wraps = has(style, "BS_MULTILINE");
        } else if (type == "EDIT" || type.rfind("RICHEDIT", 0) == 0) {
            c.Shape = ControlShape::Edit;
        } else if (type == "LISTBOX") {
            c.Shape = ControlShape::ListBox;
        } else if (type == "COMBOBOX" || type == "COMBOBOXEX32") {
            c.Shape = ControlShape::ComboBox;
        } else {
            c.Shape = ControlShape::Other;
        }
        if (c.Shape != ControlShape::Text && c.Shape != ControlShape::Other && type != "BUTTON")
            c.Text.clear(); // the text of an edit or list is no caption
    } else {
        return std::nullopt;
    }
    if (!rect)
        return std::nullopt;
    c.Units = *rect;
    return c;
}

// The part of a control that shows: a combo box's rectangle includes its
// dropped-down list, of which the closed box shows one line.
QRect shownUnits(const LaidControl &c)
{
    QRect r = c.Units;
    if (c.Shape == ControlShape::ComboBox)
        r.setHeight(std::min(r.height(), 12));
    return r;
}

void markOverlaps(std::vector<LaidControl> &controls)
{
    const auto counts = [](const LaidControl &c) {
        return c.Shape != ControlShape::GroupBox && c.Shape != ControlShape::Frame && c.Units.width() > 0
            && c.Units.height() > 0;
    };
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (!counts(controls[i]))
            continue;
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            if (counts(controls[j]) && shownUnits(controls[i]).intersects(shownUnits(controls[j]))) {
                controls[i].Overlaps = true;
                controls[j].Overlaps = true;
            }
        }
    }
}

std::string quotedArg(std::string_view arg)
{
    arg = RcTrimmed(arg);
    if (arg.size() >= 2 && arg.front() == '"' && arg.back() == '"')
        return std::string(arg.substr(1, arg.size() - 2));
    return std::string(arg);
}

void splitShortcut(MenuItem &item)
{
    const std::string shown = item.Text;
    // The tab stands as "\t" (or "\a" for right alignment) between the quotes.
    for (std::size_t i = 0; i + 1 < shown.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(shown[i]))) {
            ++i;
            continue;
        }
        if (shown[i] == '\\' && (shown[i + 1] == 't' || shown[i + 1] == 'a')) {
            item.Text = shown.substr(0, i);
            item.Shortcut = shown.substr(i + 2);
            return;
        }
        if (shown[i] == '\\')
            ++i;
    }
}

} // namespace

BaseUnits BaseUnitsOf(std::string_view face, int points)
{
    if (points <= 0)
        return SystemFontUnits;
    static const std::string ming[] = {cp950::encode(QStringLiteral("新細明體")).value(),
                                       cp950::encode(QStringLiteral("細明體")).value(), "PMingLiU", "MingLiU"};
    const std::string name = upper(RcTrimmed(face));
    const int em = (points * 96 + 36) / 72; // pixels of the em at 96 per inch
    for (const std::string &m : ming) {
        if (name == upper(m))
            return {std::max(1, em / 2), em};
    }
    const int height = (points * 96 + 71) / 72 + 2;
    return {std::max(1, (height * 6 + 6) / 13), height};
}

int HorizontalPixels(int dialogUnits, BaseUnits units)
{
    return (dialogUnits * units.X + (dialogUnits >= 0 ? 2 : -2)) / 4;
}

QRect ToPixels(const QRect &r, BaseUnits units)
{
    const auto vertical = [&](int v) { return (v * units.Y + (v >= 0 ? 4 : -4)) / 8; };
    const int left = HorizontalPixels(r.x(), units);
    const int top = vertical(r.y());
    // Edges are turned, not sizes, so that neighbours meet as they do on screen.
    return QRect(QPoint(left, top),
                 QPoint(HorizontalPixels(r.x() + r.width(), units) - 1, vertical(r.y() + r.height()) - 1));
}

std::string ShownText(std::string_view q)
{
    std::string out;
    out.reserve(q.size());
    for (std::size_t i = 0; i < q.size(); ++i) {
        const auto b = static_cast<unsigned char>(q[i]);
        if (isLeadByte(b) && i + 1 < q.size()) {
            out += q[i];
            out += q[++i];
        } else if (q[i] == '"' && i + 1 < q.size() && q[i + 1] == '"') {
            out += '"';
            ++i;
        } else if (q[i] == '\\' && i + 1 < q.size()) {
            const char e = q[++i];
            out += e == 't' || e == 'a' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e;
        } else {
            out += q[i];
        }
    }
    return out;
}

LaidResources LayOutResources(std::string_view bytes, bool fontSwitch)
{
    LaidResources out;
    const std::vector<RcStatement> statements = ResourceStatements(bytes);
    enum class In { Nothing, MenuHead, Menu, DialogHead, Dialog } in = In::Nothing;
    LaidDialog dialog;
    LaidMenu menu;
    std::vector<std::vector<MenuItem> *> levels;
    std::optional<MenuItem> popup; // a POPUP waiting for its BEGIN
    int depth = 0;
    static const std::string ming = cp950::encode(QStringLiteral("新細明體")).value();

    for (const RcStatement &st : statements) {
        const std::string &word = st.Keyword;
        switch (in) {
        case In::Nothing: {
            const std::vector<std::string> words = wordsOf(st.Source);
            if (words.size() < 2)
                break;
            const std::string second = upper(words[1]);
            if (second == "MENU" || second == "MENUEX") {
                in = In::MenuHead;
                menu = LaidMenu{words[0], st.Line, {}};
            } else if (second == "DIALOG" || second == "DIALOGEX") {
                in = In::DialogHead;
                dialog = LaidDialog{};
                dialog.Name = words[0];
                dialog.Line = st.Line;
                // Memory flags (DISCARDABLE ...) may stand before the numbers.
                std::vector<int> numbers;
                for (std::size_t i = 2; i < words.size(); ++i)
                    if (const auto v = number(words[i]))
                        numbers.push_back(*v);
                if (numbers.size() >= 4)
                    dialog.Client = QSize(numbers[2], numbers[3]); // in units until the font is known
            }
            break;
        }
        case In::DialogHead:
            if (word == "CAPTION" && st.Text) {
                dialog.Caption = *st.Text;
                dialog.HasCaption = true;
            } else if (word == "STYLE") {
                const std::string style = upper(st.Source);
                dialog.HasCaption = dialog.HasCaption || has(style, "WS_CAPTION") || has(style, "WS_OVERLAPPEDWINDOW");
            } else if (word == "FONT" && !st.Args.empty()) {
                dialog.FontPoints = number(st.Args[0]).value_or(0);
                dialog.FontFace = st.Args.size() > 1 ? quotedArg(st.Args[1]) : std::string();
            } else if (isBegin(word)) {
                if (fontSwitch && dialog.FontPoints == 8) {
                    dialog.FontPoints = 9;
                    dialog.FontFace = ming;
                    dialog.FontSwitched = true;
                }
                dialog.Units = dialog.FontPoints > 0 ? BaseUnitsOf(dialog.FontFace, dialog.FontPoints)
                                                     : SystemFontUnits;
                dialog.Client = ToPixels(QRect(QPoint(0, 0), dialog.Client), dialog.Units).size();
                in = In::Dialog;
                depth = 1;
            }
            break;
        case In::Dialog:
            if (isBegin(word)) {
                ++depth;
            } else if (isEnd(word)) {
                if (--depth == 0) {
                    markOverlaps(dialog.Controls);
                    out.Dialogs.push_back(std::move(dialog));
                    dialog = LaidDialog{};
                    in = In::Nothing;
                }
            } else if (auto c = controlOf(st)) {
                c->Pixels = ToPixels(c->Units, dialog.Units);
                dialog.Controls.push_back(std::move(*c));
            } else if (word != "FONT" && word != "CAPTION" && word != "STYLE" && word != "EXSTYLE") {
                ++dialog.Unreadable;
            }
            break;
        case In::MenuHead:
            if (isBegin(word)) {
                in = In::Menu;
                levels.assign(1, &menu.Bar);
            }
            break;
        case In::Menu:
            if (isBegin(word)) {
                if (popup && !levels.empty()) {
                    levels.back()->push_back(std::move(*popup));
                    popup.reset();
                    levels.push_back(&levels.back()->back().Items);
                } else {
                    levels.push_back(levels.back()); // a BEGIN of no popup opens no level
                }
            } else if (isEnd(word)) {
                levels.pop_back();
                if (levels.empty()) {
                    out.Menus.push_back(std::move(menu));
                    menu = LaidMenu{};
                    in = In::Nothing;
                }
            } else if (word == "POPUP" || word == "MENUITEM") {
                MenuItem item;
                item.Line = st.Line;
                const bool separator = (word == "MENUITEM" && !st.Text && !st.Args.empty()
                                        && upper(RcTrimmed(st.Args[0])) == "SEPARATOR")
                    || (st.Text && st.Text->empty() && has(upper(st.Source), "MFT_SEPARATOR"))
                    || (word == "MENUITEM" && !st.Text && st.Args.empty()
                        && has(upper(st.Source), "SEPARATOR"));
                item.Separator = separator;
                item.Quoted = st.Text.value_or(std::string());
                item.Text = item.Quoted;
                splitShortcut(item);
                if (word == "POPUP")
                    popup = std::move(item);
                else if (!levels.empty())
                    levels.back()->push_back(std::move(item));
            }
            break;
        }
    }

    // The checks' own findings, by block and line, so that the pictures and
    // the report agree.
    std::map<std::pair<std::string, int>, std::vector<const RcFinding *>> found;
    const std::vector<RcFinding> findings = CheckResourceScript(bytes);
    for (const RcFinding &f : findings)
        found[{f.Block, f.Line}].push_back(&f);
    for (LaidDialog &d : out.Dialogs) {
        for (LaidControl &c : d.Controls) {
            const auto it = found.find({d.Name, c.Line});
            if (it == found.end())
                continue;
            for (const RcFinding *f : it->second) {
                if (f->Kind == CheckKind::TooWide) {
                    c.TooWide = true;
                    c.TextWidth = f->Width;
                    c.Room = f->Room;
                    c.OverflowPixels = std::max(1, HorizontalPixels(f->Width - f->Room, d.Units));
                } else if (f->Kind == CheckKind::HotkeyClash) {
                    c.Clash = HotkeyLetterOf(c.Text);
                }
            }
        }
    }
    for (LaidMenu &m : out.Menus) {
        const auto mark = [&](auto &self, std::vector<MenuItem> &items) -> void {
            for (MenuItem &item : items) {
                const auto it = found.find({m.Name, item.Line});
                if (it != found.end())
                    for (const RcFinding *f : it->second)
                        if (f->Kind == CheckKind::HotkeyClash)
                            item.Clash = HotkeyLetterOf(item.Text);
                self(self, item.Items);
            }
        };
        mark(mark, m.Bar);
    }
    return out;
}

ProblemCount ProblemsOf(const LaidDialog &dialog)
{
    ProblemCount n;
    for (const LaidControl &c : dialog.Controls) {
        n.TooWide += c.TooWide;
        n.Clashes += !c.Clash.empty();
        n.Overlaps += c.Overlaps;
    }
    return n;
}

ProblemCount ProblemsOf(const LaidMenu &menu)
{
    ProblemCount n;
    const auto count = [&](auto &self, const std::vector<MenuItem> &items) -> void {
        for (const MenuItem &item : items) {
            n.Clashes += !item.Clash.empty();
            self(self, item.Items);
        }
    };
    count(count, menu.Bar);
    return n;
}

std::string PictureFileName(std::string_view name, std::set<std::string> &used)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string safe;
    for (const char ch : name) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '_' || b == '-') {
            safe += ch;
        } else {
            safe += '%';
            safe += hex[b >> 4];
            safe += hex[b & 15];
        }
    }
    if (safe.empty())
        safe = "%";
    static const std::set<std::string> devices{"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",
                                               "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                               "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    if (devices.count(upper(safe)))
        safe = "%" + safe;
    std::string chosen = safe;
    for (int n = 2; used.count(upper(chosen)); ++n)
        chosen = safe + "~" + std::to_string(n);
    used.insert(upper(chosen));
    return chosen + ".png";
}

std::optional<std::string> Big5OfScript(std::string bytes, QString &problem)
{
    const DecodedScript script = DecodeScript(bytes);
    if (!script.Problem.isEmpty()) {
        problem = script.Problem;
        return std::nullopt;
    }
    if (script.Encoding.Encoding == TextEncoding::Cp950)
        return bytes;
    std::string out;
    const QString &text = script.Text;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const std::optional<std::string> one = cp950::encode(QStringView(text).mid(i, n));
        out += one ? *one : std::string("\xA1\x40");
        i += n;
    }
    return out;
}

std::optional<LaidResources> LayOutScriptFile(const FileName &name, bool fontSwitch, QString &problem)
{
    std::string bytes;
    if (const QString reason = ReadWholeFile(name, bytes, qint64(256) << 20); !reason.isEmpty()) {
        problem = QStringLiteral("無法讀取RC檔 %1：%2。").arg(name.shown(), reason);
        return std::nullopt;
    }
    QString unfit;
    const std::optional<std::string> big5 = Big5OfScript(std::move(bytes), unfit);
    if (!big5) {
        problem = QStringLiteral("%1：%2").arg(name.shown(), unfit);
        return std::nullopt;
    }
    return LayOutResources(*big5, fontSwitch);
}
