#include "convert/runstatements.h"

#include "files/filename.h"
#include "files/savefile.h"

#include <QDir>

namespace {

// Writes a joined copy into the run's folder and points the script at it.
// The copy is the input's (an extraction joins it in place) or moves into
// the input; it is joined from the copy prepared before (its last line
// ended, another encoding in Big5) and takes that copy's name, so the
// interpreter and the program's own reading see one and the same bytes.
std::optional<Refusal> writeJoined(RunInput &input, JoinedScript &join, const QString &folder, const char *name,
                                   std::string &scriptPath)
{
    if (!join.Bytes.empty()) {
        input.Copy = std::move(join.Bytes);
        join.Bytes.clear();
    }
    const QString path = QDir(folder).filePath(QLatin1String(name));
    if (const FileResult saved = WriteScratchFile(FileName(path), input.Copy); !saved.ok)
        return Refusal{saved.error, RefusalCaption()};
    scriptPath = PathBytes(path);
    return std::nullopt;
}

} // namespace

std::optional<Refusal> PrepareStatements(ExtractionRun &run, const QString &folder)
{
    auto s = std::make_shared<ExtractionStatements>();
    // The copies are joined where they are: the files as read are not
    // needed again.
    s->English = JoinStatementsInPlace(run.English.Copy);
    s->Chinese = JoinStatementsInPlace(run.Chinese.Copy);
    if (s->English.joined())
        if (auto r = writeJoined(run.English, s->English, folder, "english.rc", run.Script.E1))
            return r;
    if (s->Chinese.joined())
        if (auto r = writeJoined(run.Chinese, s->Chinese, folder, "chinese.rc", run.Script.E2))
            return r;
    s->Reading = ReadExtraction(run.English.Copy, run.Chinese.Copy, run.Delimiters);
    std::vector<int> taken;
    for (const RcBlockPairing &b : s->Reading.Blocks)
        for (const auto &t : b.English)
            if (t)
                taken.push_back(t->Line);
    for (const RcStringText &t : s->Reading.EnglishStrings)
        taken.push_back(t.Line);
    s->Strings = AccountStrings(run.English.Copy, LinesOf(taken));
    for (UnreachedString &u : s->Strings.NotReached)
        u.Line = s->English.OriginalLine(u.Line);
    for (CommentedString &c : s->Strings.TakenFromComments)
        c.Line = s->English.OriginalLine(c.Line);
    MapLines(s->Reading, s->English, s->Chinese);
    // Where the pairs the script writes are not the right ones, FinishExtraction
    // gives the program's pairs as the run's output instead.
    s->Sound = PairSoundly(s->Reading);
    run.Statements = std::move(s);
    return std::nullopt;
}

std::optional<Refusal> PrepareStatements(TranslationRun &run, const QString &folder)
{
    // An empty copy is the file itself (its last line ends): it is joined
    // from the file, and stays the file when nothing joins.
    const bool copyIsFile = run.Source.copyIsFile();
    JoinedScript join = JoinStatements(run.Source.copyOrFile(), false);
    if (!join.joined())
        return std::nullopt;
    auto s = std::make_shared<TranslationStatements>();
    if (!copyIsFile && run.Source.Copy != run.Source.Bytes)
        s->Unjoined = run.Source.Copy;
    // The translation's lines are given back against the joined copy, which
    // is the run's copy from here on.
    if (auto r = writeJoined(run.Source, join, folder, "source.rc", run.Script.T2))
        return r;
    s->Source = std::move(join);
    run.Statements = std::move(s);
    return std::nullopt;
}

std::string_view TranslationStatements::unjoined(const TranslationRun &run) const
{
    return Unjoined.empty() ? std::string_view(run.Source.Bytes) : std::string_view(Unjoined);
}

void MapLines(ExtractionReading &reading, const JoinedScript &english, const JoinedScript &chinese)
{
    if (!english.joined() && !chinese.joined())
        return;
    // The texts come in the files' order, nearly: each file's lines are
    // given back from where the last one was.
    LineMapper englishLines(english);
    LineMapper chineseLines(chinese);
    for (RcBlockPairing &b : reading.Blocks) {
        if (b.EnglishHeaderLine >= 0)
            b.EnglishHeaderLine = englishLines(b.EnglishHeaderLine);
        if (b.ChineseHeaderLine >= 0)
            b.ChineseHeaderLine = chineseLines(b.ChineseHeaderLine);
        for (auto &t : b.English)
            if (t)
                t->Line = englishLines(t->Line);
        for (auto &[at, t] : b.Chinese)
            t.Line = chineseLines(t.Line);
    }
    for (RcStringText &t : reading.EnglishStrings)
        t.Line = englishLines(t.Line);
    for (RcStringText &t : reading.ChineseStrings)
        t.Line = chineseLines(t.Line);
    if (reading.Delimiters.Line >= 0)
        reading.Delimiters.Line = english.OriginalLine(reading.Delimiters.Line);
}

void MapLines(TranslationReading &reading, const JoinedScript &source)
{
    LineMapper lines(source);
    for (FoundText &t : reading.Texts)
        t.Line = lines(t.Line);
    for (int &line : reading.FontLines)
        line = source.OriginalLine(line);
    if (reading.Delimiters.Line >= 0)
        reading.Delimiters.Line = source.OriginalLine(reading.Delimiters.Line);
}

StringAccount AccountTranslation(const TranslationReading &reading, std::string_view copy)
{
    std::vector<int> taken;
    taken.reserve(reading.Texts.size());
    for (const FoundText &t : reading.Texts)
        taken.push_back(t.Line);
    return AccountStrings(copy, LinesOf(taken));
}

void AddStrings(StringsAccounted &out, const StringAccount &account, const JoinedScript *join,
                const TextDecoder &decode)
{
    out.Counted = true;
    out.InFile = account.InFile;
    out.Taken = account.Taken;
    for (const UnreachedString &u : account.NotReached)
        out.NotReached.push_back({(join ? join->OriginalLine(u.Line) : u.Line) + 1, decode(u.Text), u.Why});
    for (const CommentedString &c : account.TakenFromComments)
        out.FromComments.emplace_back((join ? join->OriginalLine(c.Line) : c.Line) + 1, decode(c.Text));
}

void AddPairing(ExtractionReport &report, const ExtractionStatements &s, const TextDecoder &decode)
{
    AddStrings(report.Strings, s.Strings, nullptr, decode);
    report.Joined = s.English.Continuations + s.Chinese.Continuations;
    report.JoinedStatements = s.English.SplitStatements + s.Chinese.SplitStatements;
    report.PairedByProgram = !s.Sound.SameAsScript;
    for (const std::size_t bi : s.Sound.ByIdentifier)
        if (bi < report.Blocks.size())
            report.Blocks[bi].ById = true;
    // Texts of blanks count on neither side: a block that differed only by
    // them now pairs by position without a shift.
    for (std::size_t bi = 0; bi < report.Blocks.size() && bi < s.Sound.EnglishTexts.size(); ++bi) {
        BlockCount &b = report.Blocks[bi];
        b.English = s.Sound.EnglishTexts[bi];
        if (b.English == b.Chinese && b.Shift && b.Shift->EnglishBlankOnly)
            b.Shift.reset();
    }
    for (const UnpairedText &u : s.Sound.Unpaired)
        report.Unpaired.push_back({u.English, decode(u.Block), decode(u.Text), u.Line + 1});
    for (const DuplicateString &d : s.Sound.Duplicates) {
        DuplicateId out;
        out.Id = decode(d.Id);
        for (const RcStringText &t : d.English)
            out.English.emplace_back(t.Line + 1, decode(t.Text));
        for (const RcStringText &t : d.Chinese)
            out.Chinese.emplace_back(t.Line + 1, decode(t.Text));
        report.Duplicates.push_back(std::move(out));
    }
}
