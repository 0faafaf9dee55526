#include "convert/report.h"

#include "platform/codepage.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace {

// Texts of resource scripts hold %1 and the like: every message takes all
// its values in one arg() call, so that no value is read as a marker.
QString n(qint64 number)
{
    return QString::number(number);
}

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

bool blankOnly(std::string_view text)
{
    return !text.empty() && text.find_first_not_of(" \t\n\x0B\f\r") == std::string_view::npos;
}

// The first item from which the two blocks do not line up: a translated
// text with no English text at its place, or one whose statement or
// identifier differs from the English one there; else, when the English
// block holds more, the first English text without a partner.
std::optional<PairingShift> shiftOf(const RcBlockPairing &b, const TextDecoder &decode)
{
    for (std::size_t k = 0; k < b.Chinese.size(); ++k) {
        const auto &[at, zh] = b.Chinese[k];
        const std::optional<RcText> *en = at < b.English.size() ? &b.English[at] : nullptr;
        const bool lined = en && en->has_value() && at == k && (*en)->keyword() == zh.keyword() && (*en)->id() == zh.id();
        if (lined)
            continue;
        PairingShift s;
        s.Item = int(k) + 1;
        s.ChineseLine = zh.Line + 1;
        s.ChineseText = decode(zh.Text);
        if (en && en->has_value()) {
            s.EnglishLine = (*en)->Line + 1;
            s.EnglishText = decode((*en)->Text);
            s.EnglishBlankOnly = blankOnly((*en)->Text);
        }
        return s;
    }
    if (b.English.size() > b.Chinese.size()) {
        for (std::size_t k = b.Chinese.size(); k < b.English.size(); ++k) {
            if (!b.English[k])
                continue;
            PairingShift s;
            s.Item = int(k) + 1;
            s.EnglishLine = b.English[k]->Line + 1;
            s.EnglishText = decode(b.English[k]->Text);
            s.EnglishBlankOnly = blankOnly(b.English[k]->Text);
            return s;
        }
    }
    return std::nullopt;
}

QStringList onlyIn(const std::vector<RcStringText> &these, const std::vector<RcStringText> &others,
                   const TextDecoder &decode)
{
    // Two string tables of the same identifiers in the same order, the
    // usual case, have none apart without a set of either.
    if (these.size() == others.size()
        && std::equal(these.begin(), these.end(), others.begin(),
                      [](const RcStringText &a, const RcStringText &b) { return a.Id == b.Id; }))
        return {};
    std::unordered_set<std::string_view> other;
    other.reserve(others.size());
    for (const RcStringText &t : others)
        other.insert(t.Id);
    std::unordered_set<std::string_view> listed;
    QStringList ids;
    for (const RcStringText &t : these)
        if (!other.count(t.Id) && listed.insert(t.Id).second)
            ids << decode(t.Id);
    return ids;
}

QString fileLine(const QString &label, const ReadFile &file)
{
    QString line = QStringLiteral("  %1：%2（%3）\n").arg(label, file.Path, file.Encoding);
    if (!file.Note.isEmpty())
        line += QStringLiteral("    %1\n").arg(file.Note);
    return line;
}

QString delimiterLine(const RcDelimiters &d, const QString &file)
{
    if (d.FromBlocks) {
        const bool braces = d.Begin == "{";
        const qint64 words = braces ? d.OtherLines : d.ChosenLines;
        const qint64 braceLines = braces ? d.ChosenLines : d.OtherLines;
        return QStringLiteral("  區塊分隔字：%1 與 %2（%3沒有 Microsoft、Borland 或 INPRISE 字樣，依檔案中的區塊選定："
                              "%4 行只有 BEGIN 或 END，%5 行只有大括號）\n")
            .arg(QString::fromLatin1(d.Begin), QString::fromLatin1(d.End), file, n(words), n(braceLines));
    }
    if (d.Line < 0)
        return QStringLiteral("  區塊分隔字：沒有找到（%1沒有 Microsoft、Borland 或 INPRISE 字樣）\n").arg(file);
    return QStringLiteral("  區塊分隔字：%1 與 %2（%3第 %4 行）\n")
        .arg(QString::fromLatin1(d.Begin), QString::fromLatin1(d.End), file, n(d.Line + 1));
}

QString noDelimiterWarning(const RcDelimiters &d)
{
    if (d.found())
        return {};
    return QStringLiteral("注意：區塊分隔字是空的，每一個空行都被當成 BEGIN 也當成 END，選單和字串表可能讀錯。\n");
}

QString whyLeft(TextOutcome why)
{
    switch (why) {
    case TextOutcome::NotInDictionary:
        return QStringLiteral("字典檔沒有這個文字");
    case TextOutcome::EmptyTranslation:
        return QStringLiteral("字典檔的譯文是空的或 0");
    case TextOutcome::SameAsSource:
        return QStringLiteral("字典檔的譯文與原文相同");
    case TextOutcome::Translated:
        break;
    }
    return {};
}

// The checks of the translated script in short: a count per kind, then
// each finding with its block and text.
QString findingsText(const TranslationReport &r)
{
    if (!r.Checked)
        return {};
    if (r.Findings.empty())
        return QStringLiteral("翻譯後RC檔的檢查：沒有熱鍵重複或文字太寬的地方\n");
    QStringList counts;
    for (const CheckKind kind : {CheckKind::HotkeyClash, CheckKind::TooWide, CheckKind::TooTight}) {
        qint64 count = 0;
        for (const ScriptFinding &f : r.Findings)
            count += f.Kind == kind ? 1 : 0;
        if (count > 0)
            counts << QStringLiteral("%1 %2 處").arg(CheckName(kind), n(count));
    }
    QString out = QStringLiteral("翻譯後RC檔的檢查：%1\n").arg(counts.join(QStringLiteral("、")));
    for (const ScriptFinding &f : r.Findings) {
        out += QStringLiteral("  %1：%2 第 %3 行 %4").arg(CheckName(f.Kind), f.Block, n(f.Line), quoted(f.Text));
        if (!f.Detail.isEmpty())
            out += QStringLiteral("（%1）").arg(f.Detail);
        if (!f.Fix.isEmpty())
            out += QStringLiteral("，可改為 %1").arg(quoted(f.Fix));
        out += QLatin1Char('\n');
    }
    return out;
}

} // namespace

bool ExtractionReport::BlocksDiffer() const
{
    for (const BlockCount &b : Blocks)
        if (b.differs())
            return true;
    return false;
}

ExtractionReport BuildExtractionReport(const ExtractionReading &reading, const TextDecoder &decode)
{
    ExtractionReport r;
    r.Delimiters = reading.Delimiters;
    r.PairsWritten = qint64(reading.Pairs.size());
    for (const auto &pair : reading.Pairs)
        if (pair.first.empty())
            ++r.PairsWithEmptyEnglish;
    for (const RcBlockPairing &b : reading.Blocks) {
        BlockCount c;
        c.HeaderWord = QString::fromLatin1(b.HeaderWord);
        c.Name = decode(b.Name);
        c.EnglishHeaderLine = b.EnglishHeaderLine + 1;
        c.ChineseHeaderLine = b.ChineseHeaderLine + 1;
        for (const auto &en : b.English)
            if (en)
                ++c.English;
        c.Chinese = int(b.Chinese.size());
        c.Shift = shiftOf(b, decode);
        r.Blocks.push_back(std::move(c));
    }
    r.StringIdsOnlyInEnglish = onlyIn(reading.EnglishStrings, reading.ChineseStrings, decode);
    r.StringIdsOnlyInChinese = onlyIn(reading.ChineseStrings, reading.EnglishStrings, decode);
    return r;
}

namespace {

// The texts the pairing found no partner for, and the string identifiers
// that stand twice, each with its lines and texts.
QString unpairedText(const ExtractionReport &r)
{
    QString out;
    if (!r.Unpaired.empty()) {
        out += QStringLiteral("沒有配對的文字：%1 個（英文的沒有寫入字典檔，中文的寫成英文是空的字串對）\n")
                   .arg(n(qint64(r.Unpaired.size())));
        for (const UnpairedLine &u : r.Unpaired)
            out += QStringLiteral("  %1第 %2 行（%3）%4\n")
                       .arg(u.English ? QStringLiteral("英文") : QStringLiteral("中文"), n(u.Line), u.Block,
                            quoted(u.Text));
    }
    if (!r.Duplicates.empty()) {
        out += QStringLiteral("字串表中重複的識別字：%1 個（英文用最後一個文字和每一個中文配對）\n")
                   .arg(n(qint64(r.Duplicates.size())));
        for (const DuplicateId &d : r.Duplicates) {
            QStringList places;
            for (const auto &[line, text] : d.English)
                places << QStringLiteral("英文第 %1 行 %2").arg(n(line), quoted(text));
            for (const auto &[line, text] : d.Chinese)
                places << QStringLiteral("中文第 %1 行 %2").arg(n(line), quoted(text));
            out += QStringLiteral("  %1：%2\n").arg(d.Id, places.join(QStringLiteral("、")));
        }
    }
    return out;
}

QString whyUnreached(Unreached why)
{
    switch (why) {
    case Unreached::VersionValue:
        return QStringLiteral("版本資訊（VERSIONINFO）的值，兩個Perl程式都不處理版本資訊");
    case Unreached::BlockUnseen:
        return QStringLiteral("區塊標頭的寫法規則認不出（要在行首：名稱、一個空白和 MENU、DIALOG 或 DIALOGEX，或 STRINGTABLE）");
    case Unreached::LineShape:
        return QStringLiteral("這一行的寫法不合規則的樣式");
    case Unreached::SecondText:
        return QStringLiteral("同一行的第二個文字，規則只取每行的第一個");
    case Unreached::PerlFalse:
        return QStringLiteral("文字是 0，翻譯的Perl程式把它當成沒有文字，不查字典");
    }
    return {};
}

} // namespace

QString StringsAccountedText(const StringsAccounted &a, const QString &file)
{
    if (!a.Counted)
        return {};
    QString out = QStringLiteral("%1的文字字串：%2 個，規則取到 %3 個，沒有取到 %4 個\n")
                      .arg(file, n(a.InFile), n(a.Taken), n(qint64(a.NotReached.size())));
    for (const NotReachedLine &l : a.NotReached)
        out += QStringLiteral("  第 %1 行 %2（%3）\n").arg(n(l.Line), quoted(l.Text), whyUnreached(l.Why));
    if (!a.FromComments.empty())
        out += QStringLiteral("  註解中的字串，規則不分註解照樣取到：%1 個\n").arg(n(qint64(a.FromComments.size())));
    for (const auto &[line, text] : a.FromComments)
        out += QStringLiteral("    第 %1 行：%2\n").arg(n(line), text);
    return out;
}

namespace {

QString lowPairingWarning(const ExtractionReport &r)
{
    const qint64 found = r.PairsFound();
    return QStringLiteral("警告：只配對到 %1 個有英文的字串對，中文RC檔有 %2 行帶有文字（%3%），字典檔缺了很多文字。")
        .arg(n(found), n(r.TextLines), n(r.TextLines > 0 ? found * 100 / r.TextLines : 0));
}

} // namespace

bool ExtractionReport::LowPairing() const
{
    return TextLines > 0 && PairsFound() * 5 < TextLines * 4;
}

QString RenderExtractionReport(const ExtractionReport &r)
{
    QString out;
    if (r.LowPairing())
        out += lowPairingWarning(r) + QLatin1Char('\n');
    out += QStringLiteral("製作字典檔的結果\n");
    out += fileLine(QStringLiteral("英文RC檔"), r.English);
    out += fileLine(QStringLiteral("中文RC檔"), r.Chinese);
    out += delimiterLine(r.Delimiters, QStringLiteral("英文RC檔"));
    out += QStringLiteral("  寫出的字串對：%1\n").arg(r.PairsWritten);
    if (r.TextLines > 0)
        out += QStringLiteral("  中文RC檔帶有文字的行：%1\n").arg(r.TextLines);
    if (r.PairsWithEmptyEnglish > 0)
        out += QStringLiteral("  其中英文是空的：%1\n").arg(r.PairsWithEmptyEnglish);
    if (r.Joined > 0)
        out += QStringLiteral("  在行尾以反斜線接到下一行的字串：%1 處（接成一行，去掉反斜線和行尾）\n").arg(n(r.Joined));
    if (r.JoinedStatements > 0)
        out += QStringLiteral("  識別字和字串分在兩行的字串表項目：%1 個（當成一行讀）\n").arg(n(r.JoinedStatements));

    if (!r.Blocks.empty()) {
        out += QStringLiteral("選單與對話框的文字數（英文 / 中文）：\n");
        for (const BlockCount &b : r.Blocks) {
            out += QStringLiteral("  %1 %2：%3 / %4").arg(b.HeaderWord, b.Name, n(b.English), n(b.Chinese));
            if (b.ChineseHeaderLine == 0)
                out += QStringLiteral("　只在英文RC檔（第 %1 行），它的文字都沒有配對").arg(b.EnglishHeaderLine);
            else if (b.EnglishHeaderLine == 0)
                out += QStringLiteral("　只在中文RC檔（第 %1 行），它的字串對英文都是空的").arg(b.ChineseHeaderLine);
            else if (b.English != b.Chinese)
                out += b.ById ? QStringLiteral("　數目不同，依命令或控制項的識別字配對") : QStringLiteral("　數目不同");
            out += QLatin1Char('\n');
            if (!b.Shift || b.ChineseHeaderLine == 0 || b.EnglishHeaderLine == 0)
                continue;
            const PairingShift &s = *b.Shift;
            if (s.ChineseLine == 0) {
                out += QStringLiteral("    從第 %1 個文字起英文RC檔多出的文字沒有配對：英文第 %2 行 %3\n")
                           .arg(n(s.Item), n(s.EnglishLine), quoted(s.EnglishText));
            } else if (s.EnglishLine == 0) {
                out += QStringLiteral("    從第 %1 個文字起中文RC檔多出的文字英文是空的：中文第 %2 行 %3\n")
                           .arg(n(s.Item), n(s.ChineseLine), quoted(s.ChineseText));
            } else {
                out += QStringLiteral("    從第 %1 個文字起配對錯開：英文第 %2 行 %3 配上中文第 %4 行 %5\n")
                           .arg(n(s.Item), n(s.EnglishLine), quoted(s.EnglishText), n(s.ChineseLine),
                                quoted(s.ChineseText));
            }
            if (s.EnglishBlankOnly)
                out += QStringLiteral("    （英文的這個文字只有空白：英文RC檔算它一個位置，中文RC檔略過它）\n");
            if (r.PairedByProgram)
                out += QStringLiteral("    （這是Perl程式依位置的配對；字典檔是本程式重新配對寫出的，沒有錯開）\n");
        }
    }
    out += unpairedText(r);
    out += StringsAccountedText(r.Strings, QStringLiteral("英文RC檔"));
    if (!r.StringIdsOnlyInEnglish.isEmpty())
        out += QStringLiteral("字串表中只在英文RC檔的識別字（它們的文字沒有寫入字典檔）：%1\n")
                   .arg(r.StringIdsOnlyInEnglish.join(QStringLiteral("、")));
    if (!r.StringIdsOnlyInChinese.isEmpty())
        out += QStringLiteral("字串表中只在中文RC檔的識別字（它們的字串對英文是空的）：%1\n")
                   .arg(r.StringIdsOnlyInChinese.join(QStringLiteral("、")));
    if (!r.LeftOut.empty()) {
        out += QStringLiteral("沒有寫入字典檔的字串對（含有Big5沒有的字元）：%1\n").arg(r.LeftOut.size());
        for (const auto &[en, zh] : r.LeftOut)
            out += QStringLiteral("  %1 → %2\n").arg(quoted(en), quoted(zh));
    }

    out += noDelimiterWarning(r.Delimiters);
    if (!r.WrittenAsRead)
        out += QStringLiteral("注意：寫出的字典檔與本程式依相同規則讀出的結果不同，以上的數字可能不準。\n");
    if (r.BlocksDiffer()) {
        int differing = 0;
        for (const BlockCount &b : r.Blocks)
            differing += b.differs() ? 1 : 0;
        if (r.PairedByProgram)
            out += QStringLiteral("注意：有 %1 個選單或對話框兩邊的文字對不上；字典檔依識別字重新配對，"
                                  "配不上的文字列在上面，沒有寫成錯的字串對。\n")
                       .arg(differing);
        else
            out += QStringLiteral("注意：有 %1 個選單或對話框兩邊的文字對不上，錯開之後的字串對是錯的。\n").arg(differing);
    }
    if (r.NoPairs())
        out += QStringLiteral("警告：沒有寫出任何字串對，字典檔是空的。\n");
    return out;
}

TranslationReport BuildTranslationReport(const TranslationReading &reading, const TextDecoder &decode)
{
    TranslationReport r;
    r.Delimiters = reading.Delimiters;
    r.FontLines = int(reading.FontLines.size());
    for (const TranslationReading::KeptFont &k : reading.FontsKept)
        r.FontsKept.push_back({k.Line + 1, decode(k.Dialog), decode(k.Text)});
    std::unordered_map<std::string_view, std::size_t> leftAt;
    // Counted by the reading where it could; else here.
    const bool count = reading.DistinctTexts < 0;
    std::unordered_set<std::string_view> distinct;
    if (count)
        distinct.reserve(reading.Texts.size());
    for (const FoundText &t : reading.Texts) {
        ++r.TextsFound;
        if (count)
            distinct.insert(t.Text);
        if (!t.leftInEnglish()) {
            ++r.Translated;
            continue;
        }
        ++r.LeftInEnglish;
        const auto [it, fresh] = leftAt.emplace(t.Text, r.Left.size());
        if (fresh) {
            EnglishText left;
            left.Text = decode(t.Text);
            left.Bytes = t.Text;
            left.Line = t.Line + 1;
            left.Why = t.Outcome;
            r.Left.push_back(std::move(left));
        }
        ++r.Left[it->second].Count;
        r.Left[it->second].Lines.push_back(t.Line + 1);
    }
    r.DistinctTexts = count ? qint64(distinct.size()) : reading.DistinctTexts;
    return r;
}

namespace {

// What the font switch left: the dialogs whose FONT line is not one it
// changes, or that it found no FONT line at all.
QString fontSwitchText(const TranslationReport &r)
{
    if (!r.FontSwitch)
        return {};
    if (r.FontsKept.empty())
        return r.FontLines > 0 ? QString()
                               : QStringLiteral("字體轉為細明體 9：對話框中沒有 FONT 行，沒有改任何一行。\n");
    QString out = QStringLiteral("字體轉為細明體 9：只改行首為「FONT 8, 」的行，以下 %1 個對話框保留原來的字體：\n")
                      .arg(r.FontsKept.size());
    for (const TranslationReport::KeptFont &k : r.FontsKept)
        out += QStringLiteral("  %1（第 %2 行：%3）\n").arg(k.Dialog, n(k.Line), k.Text.trimmed());
    return out;
}

// Whether the LANGUAGE switch changed anything.
QString retargetText(const TranslationReport &r)
{
    if (!r.Retargeted)
        return {};
    if (r.Language.empty())
        return QStringLiteral("LANGUAGE 改為繁體中文：沒有找到宣告英文的 LANGUAGE 行或不符的 #pragma code_page，"
                              "沒有改任何一行。\n");
    return QStringLiteral("LANGUAGE 改為繁體中文：改了 %1 行。\n").arg(n(qint64(r.Language.size())));
}

} // namespace

QString RenderTranslationReport(const TranslationReport &r)
{
    QString out = QStringLiteral("翻譯新版本的結果\n");
    out += fileLine(QStringLiteral("字典檔"), r.Dictionary);
    out += fileLine(QStringLiteral("新版本RC檔"), r.Script);
    out += delimiterLine(r.Delimiters, QStringLiteral("新版本RC檔"));
    out += QStringLiteral("  找到的文字：%1 處（%2 個不同的文字）\n").arg(n(r.TextsFound), n(r.DistinctTexts));
    out += QStringLiteral("  已翻譯：%1 處\n").arg(r.Translated);
    out += QStringLiteral("  仍是英文：%1 處（%2 個不同的文字）\n").arg(n(r.LeftInEnglish), n(qint64(r.Left.size())));
    if (r.Suggested && r.LeftInEnglish > 0)
        out += QStringLiteral("  ") + SuggestionCounts(r) + QLatin1Char('\n');
    if (r.AdaptedWritten > 0)
        out += QStringLiteral("  寫入調整後的譯文：%1 處（字典檔仍沒有這些文字）\n").arg(n(r.AdaptedWritten));
    if (r.FontSwitch || r.FontLines > 0)
        out += QStringLiteral("  字體改為新細明體 9 的 FONT 行：%1\n").arg(r.FontLines);
    if (!r.Left.empty()) {
        out += QStringLiteral("仍是英文的文字（依第一次出現的順序）：\n");
        for (const EnglishText &t : r.Left) {
            out += QStringLiteral("  第 %1 行：%2（%3）").arg(n(t.Line), quoted(t.Text), whyLeft(t.Why));
            if (t.Count > 1)
                out += QStringLiteral("，共 %1 處").arg(t.Count);
            out += QLatin1Char('\n');
            if (!t.Suggestions.empty())
                out += QStringLiteral("    ") + SuggestionLine(t.Suggestions.front())
                       + (t.AdaptedWritten > 0 ? QStringLiteral("，已寫入RC檔 %1 處").arg(t.AdaptedWritten) : QString())
                       + QLatin1Char('\n');
        }
    }
    if (r.ComparedWithOld) {
        out += QStringLiteral("與舊版本比較（依識別字）：新增 %1，刪除 %2，改變 %3，不變 %4\n")
                   .arg(n(r.Added.size()), n(r.Removed.size()), n(qint64(r.Changed.size())), n(r.Unchanged));
        const auto list = [](const QStringList &texts) {
            QStringList q;
            for (const QString &t : texts)
                q << quoted(t);
            return q.join(QStringLiteral("、"));
        };
        if (!r.Added.isEmpty())
            out += QStringLiteral("  新增：%1\n").arg(list(r.Added));
        if (!r.Removed.isEmpty())
            out += QStringLiteral("  刪除：%1\n").arg(list(r.Removed));
        for (const auto &[before, after] : r.Changed)
            out += QStringLiteral("  改變：%1 → %2\n").arg(quoted(before), quoted(after));
    }
    out += StringsAccountedText(r.Strings, QStringLiteral("新版本RC檔"));
    out += findingsText(r);
    out += fontSwitchText(r);
    out += retargetText(r);
    for (const LanguageLine &l : r.Language) {
        if (l.After.isEmpty())
            out += QStringLiteral("注意：翻譯後的RC檔第 %1 行仍是「%2」，與寫出的中文不符。\n").arg(n(l.Line), l.Before);
        else
            out += QStringLiteral("翻譯後的RC檔第 %1 行由「%2」改為「%3」。\n").arg(n(l.Line), l.Before, l.After);
    }
    out += noDelimiterWarning(r.Delimiters);
    if (r.Undecodable > 0)
        out += QStringLiteral("注意：字典檔的譯文中有 %1 個位元組不是Big5字元，寫成了 U+FFFD。\n").arg(r.Undecodable);
    if (!r.WrittenAsRead)
        out += QStringLiteral("注意：寫出的RC檔與本程式依相同規則讀出的結果不同，以上的數字可能不準。\n");
    return out;
}

QString ExtractionSummary(const ExtractionReport &r)
{
    if (r.NoPairs())
        return QStringLiteral("警告：沒有寫出任何字串對，字典檔是空的。");
    if (r.LowPairing())
        return lowPairingWarning(r);
    QString line = QStringLiteral("寫出 %1 個字串對").arg(n(r.PairsWritten));
    int differing = 0;
    for (const BlockCount &b : r.Blocks)
        differing += b.differs() ? 1 : 0;
    if (differing > 0)
        line += QStringLiteral("；注意：有 %1 個選單或對話框兩邊的文字對不上").arg(n(differing));
    if (!r.WrittenAsRead)
        line += QStringLiteral("；注意：字典檔與預期的不同");
    return line + QStringLiteral("。");
}

bool ExtractionWarns(const ExtractionReport &r)
{
    return r.NoPairs() || r.LowPairing() || r.BlocksDiffer() || !r.WrittenAsRead || !r.Duplicates.empty();
}

QString TranslationSummary(const TranslationReport &r)
{
    QString line = QStringLiteral("找到 %1 處文字，已翻譯 %2 處，仍是英文 %3 處（%4 個不同的文字）")
                       .arg(n(r.TextsFound), n(r.Translated), n(r.LeftInEnglish), n(qint64(r.Left.size())));
    if (r.Suggested && (r.WithAdapted > 0 || r.WithNear > 0))
        line += QStringLiteral("；%1 處有調整後的譯文，%2 處有近似譯文").arg(n(r.WithAdapted), n(r.WithNear));
    if (r.AdaptedWritten > 0)
        line += QStringLiteral("，其中 %1 處已寫入").arg(n(r.AdaptedWritten));
    if (!r.Findings.empty())
        line += QStringLiteral("；RC檔的檢查有 %1 個發現").arg(n(qint64(r.Findings.size())));
    if (!r.WrittenAsRead)
        line += QStringLiteral("；注意：RC檔與預期的不同");
    return line + QStringLiteral("。");
}

bool TranslationWarns(const TranslationReport &r)
{
    return !r.WrittenAsRead;
}

QString SuggestionCounts(const TranslationReport &r)
{
    return QStringLiteral("仍是英文 %1 處：%2 處有調整後的譯文，%3 處有近似譯文")
        .arg(n(r.LeftInEnglish), n(r.WithAdapted), n(r.WithNear));
}

QString SuggestionLine(const Suggestion &s)
{
    const QString translation = cp950::decode(s.Translation);
    const QString source = cp950::decode(s.Source);
    if (s.SameIdentifier)
        return QStringLiteral("同識別字的舊譯文：%1（相似度 %2，舊版本是 %3）").arg(quoted(translation), n(s.Score), quoted(source));
    if (s.Score == 100)
        return QStringLiteral("調整後的譯文：%1（來自 %2）").arg(quoted(translation), quoted(source));
    return QStringLiteral("近似譯文：%1（相似度 %2，來自 %3）").arg(quoted(translation), n(s.Score), quoted(source));
}

std::vector<std::string> TextsForDictionary(const TranslationReport &r)
{
    std::vector<std::string> texts;
    for (const EnglishText &t : r.Left)
        if (t.Why == TextOutcome::NotInDictionary && !t.HoldsStandIn)
            texts.push_back(t.Bytes);
    return texts;
}

std::string MissingPairs(const TranslationReport &report, const std::function<bool(std::string_view)> &holdsStandIn,
                         QStringList *leftOut)
{
    std::string out;
    for (const EnglishText &t : report.Left) {
        if (holdsStandIn && holdsStandIn(t.Bytes)) {
            if (leftOut)
                *leftOut << t.Text;
            continue;
        }
        out += t.Bytes;
        out += "\r\n";
        out += t.Bytes;
        out += "\r\n";
        for (const Suggestion &s : t.Suggestions) {
            out += t.Bytes;
            out += "\r\n";
            out += s.Translation;
            out += "\r\n";
        }
    }
    return out;
}
