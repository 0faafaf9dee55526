#include "convert/conversion.h"

#include "convert/rcchecks.h"
#include "convert/rcjoin.h"
#include "convert/rcreader.h"
#include "convert/script.h"
#include "convert/suggest.h"
#include "convert/runstatements.h"
#include "files/filename.h"
#include "files/readfile.h"
#include "files/savefile.h"
#include "platform/codepage.h"

#include <QDir>

#include <set>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

FileName nameOf(const std::string &bytes)
{
    return FileName::fromNative(QByteArray(bytes.data(), qsizetype(bytes.size())));
}

Refusal refusal(const QString &text)
{
    return {text, RefusalCaption()};
}

QString outputPath(const QString &folder, const char *name)
{
    return QDir(folder).filePath(QLatin1String(name));
}

// Reads a whole file; an empty reason means success.
QString readWhole(const std::string &path, std::string &out)
{
    return ReadWholeFile(nameOf(path), out, RunFileLimit);
}

std::optional<Refusal> readInput(RunInput &input, const std::string &path, const QString &what,
                                 EncodingChoice encoding)
{
    input.Path = path;
    if (const QString reason = readWhole(path, input.Bytes); !reason.isEmpty())
        return refusal(QStringLiteral("無法讀取%1「%2」：%3。").arg(what, nameOf(path).shown(), reason));
    input.Decoded = DecodeScript(input.Bytes, encoding);
    if (!input.Decoded.Problem.isEmpty())
        return refusal(QStringLiteral("%1「%2」：%3").arg(what, nameOf(path).shown(), input.Decoded.Problem));
    return std::nullopt;
}

// The Big5 copy of a converted script, ending in a line end: the scripts
// remove the last byte of every line, which on a last line without a line
// end would be a byte of its last character.
std::optional<Refusal> writeCopy(RunInput &input, const Cp950StandIns &standIns, const QString &folder,
                                 const char *name, std::string &scriptPath)
{
    QString text = input.Decoded.Text;
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QStringLiteral("\r\n");
    input.Copy = standIns.Copy(text);
    const QString path = QDir(folder).filePath(QLatin1String(name));
    if (const FileResult saved = WriteScratchFile(FileName(path), input.Copy); !saved.ok)
        return refusal(saved.error);
    scriptPath = PathBytes(path);
    return std::nullopt;
}

Refusal tooManyCharacters()
{
    return refusal(QStringLiteral("RC檔中Big5沒有的字元太多，超過可以暫代它們的使用者造字碼，無法轉換。"));
}

QString perlOutputUnreadable(const QString &reason)
{
    return QStringLiteral("無法讀取Perl程式寫出的檔案：%1。").arg(reason);
}

// The scripts remove the last byte of every line they read, which on a last
// line without a line end is a byte of its text. Such a Big5 file reaches the
// interpreter as a copy with a line end; the file itself is left alone.
// `keep`: the file's bytes are needed after (else they move into the copy).
std::optional<Refusal> endLastLine(std::string &bytes, std::string &copy, const QString &folder,
                                   const char *name, std::string &scriptPath, bool keep = true)
{
    if (keep)
        copy = bytes;
    else
        copy = std::move(bytes);
    if (copy.empty() || copy.back() == '\n')
        return std::nullopt;
    // The line end the file's other lines have.
    const std::size_t lf = copy.rfind('\n');
    copy += lf == std::string::npos || (lf > 0 && copy[lf - 1] == '\r') ? "\r\n" : "\n";
    const QString path = outputPath(folder, name);
    if (const FileResult saved = WriteScratchFile(FileName(path), copy); !saved.ok)
        return refusal(saved.error);
    scriptPath = PathBytes(path);
    return std::nullopt;
}

// A line that ends in a line feed alone: the interpreter would end it in
// CR LF, so the program writes the file back with the ends it came with.
bool hasLfLineEnd(std::string_view bytes)
{
    for (std::size_t lf = bytes.find('\n'); lf != std::string_view::npos; lf = bytes.find('\n', lf + 1))
        if (lf == 0 || bytes[lf - 1] != '\r')
            return true;
    return false;
}

std::size_t LastLineEndSize(std::string_view bytes)
{
    if (bytes.empty() || bytes.back() != '\n')
        return 0;
    return bytes.size() >= 2 && bytes[bytes.size() - 2] == '\r' ? 2 : 1;
}

} // namespace

ReadFile RunInput::shown() const
{
    return {nameOf(Path).shown(), EncodingLabel(Decoded.Encoding), Decoded.Note};
}

std::optional<Refusal> PrepareExtraction(const ExtractionPaths &paths, const QString &folder, ExtractionRun &run)
{
    run.Paths = paths;
    run.Script = paths;
    if (auto r = readInput(run.English, paths.E1, QStringLiteral("來源Resource檔"), run.Options.Encoding))
        return r;
    if (auto r = readInput(run.Chinese, paths.E2, QStringLiteral("翻譯後Resource檔"), run.Options.Encoding))
        return r;
    // The interpreter writes into the run's folder; the program puts the
    // dictionary in place once the interpreter has ended well.
    run.Script.E3 = PathBytes(outputPath(folder, "dictionary.txt"));
    // The files themselves are not needed once their copies are made.
    if (!run.English.converted())
        if (auto r = endLastLine(run.English.Bytes, run.English.Copy, folder, "english.rc", run.Script.E1, false))
            return r;
    if (!run.Chinese.converted())
        if (auto r = endLastLine(run.Chinese.Bytes, run.Chinese.Copy, folder, "chinese.rc", run.Script.E2, false))
            return r;
    if (!run.English.converted() && !run.Chinese.converted())
        return std::nullopt;

    for (const RunInput *input : {&run.English, &run.Chinese}) {
        if (input->converted())
            run.StandIns.NoteText(input->Decoded.Text);
        else
            run.StandIns.NoteBytes(input->Copy);
    }
    if (!run.StandIns.Assign())
        return tooManyCharacters();
    if (run.English.converted())
        if (auto r = writeCopy(run.English, run.StandIns, folder, "english.rc", run.Script.E1))
            return r;
    if (run.Chinese.converted())
        if (auto r = writeCopy(run.Chinese, run.StandIns, folder, "chinese.rc", run.Script.E2))
            return r;
    return std::nullopt;
}

std::optional<Refusal> PrepareTranslation(const TranslationPaths &paths, const TranslationOptions &options,
                                          const QString &folder, TranslationRun &run)
{
    run.Paths = paths;
    run.Script = paths;
    run.Options = options;
    if (const QString reason = readWhole(paths.T1, run.Dictionary); !reason.isEmpty())
        return refusal(QStringLiteral("無法讀取字典檔「%1」：%2。").arg(nameOf(paths.T1).shown(), reason));
    const DecodedScript dictionary = DecodeScript(run.Dictionary);
    if (!dictionary.Problem.isEmpty())
        return refusal(QStringLiteral("字典檔「%1」：%2").arg(nameOf(paths.T1).shown(), dictionary.Problem));
    // Only a byte order mark tells a dictionary's encoding: a source text
    // may well read "#pragma code_page(65001)".
    if (dictionary.Encoding.Bom)
        return refusal(QStringLiteral("字典檔「%1」是%2，字典檔必須是Big5（code page 950）。")
                           .arg(nameOf(paths.T1).shown(), EncodingLabel(dictionary.Encoding)));
    run.DictionaryFile = {nameOf(paths.T1).shown(), EncodingLabel({}), QString()};
    // From here on the dictionary is what the interpreter reads.
    std::string dictionaryFile = std::move(run.Dictionary);
    if (auto r = endLastLine(dictionaryFile, run.Dictionary, folder, "dictionary.txt", run.Script.T1, false))
        return r;
    if (auto r = readInput(run.Source, paths.T2, QStringLiteral("新版本來源Resource檔"), options.Encoding))
        return r;
    if (!options.OldEnglish.empty())
        if (auto r = ReadOldVersion(options.OldEnglish, run.OldEnglish))
            return r;
    // The interpreter writes into the run's folder; the program puts the
    // translated script in place once the interpreter has ended well.
    run.Script.T3 = PathBytes(outputPath(folder, "translated.rc"));
    if (!run.Source.converted()) {
        // A file whose last line ends is its own copy; PrepareStatements
        // makes the copy, joined or not, from the file itself.
        const bool ended = !run.Source.Bytes.empty() && run.Source.Bytes.back() == '\n';
        if (!ended)
            if (auto r = endLastLine(run.Source.Bytes, run.Source.Copy, folder, "source.rc", run.Script.T2))
                return r;
    } else {
        run.StandIns.NoteBytes(run.Dictionary);
        run.StandIns.NoteText(run.Source.Decoded.Text);
        if (!run.StandIns.Assign())
            return tooManyCharacters();
        if (auto r = writeCopy(run.Source, run.StandIns, folder, "source.rc", run.Script.T2))
            return r;
    }
    run.Delimiters = ChooseDelimiters(run.Source.copyOrFile());
    return PrepareStatements(run, folder);
}

std::optional<Refusal> PrepareExtraction(const ExtractionPaths &paths, const ExtractionOptions &options,
                                         const QString &folder, ExtractionRun &run)
{
    run.Options = options;
    if (auto r = PrepareExtraction(paths, folder, run))
        return r;
    // From here on the copies are what is read; the files as read and their
    // decoded text are not needed again.
    for (RunInput *input : {&run.English, &run.Chinese}) {
        std::string().swap(input->Bytes);
        input->Decoded.Text = QString();
    }
    run.Delimiters = ChooseDelimiters(run.English.Copy);
    return PrepareStatements(run, folder);
}

void FillDelimiters(ScriptTemplate &pl, const ExtractionRun &run)
{
    pl.replaceLine(ExtractionLineBeginStr, DelimiterLine("$BeginStr", run.Delimiters.Begin));
    pl.replaceLine(ExtractionLineEndStr, DelimiterLine("$EndStr", run.Delimiters.End));
}

void FillDelimiters(ScriptTemplate &pl, const TranslationRun &run)
{
    pl.replaceLine(TranslationLineBeginStr, DelimiterLine("$BeginStr", run.Delimiters.Begin));
    pl.replaceLine(TranslationLineEndStr, DelimiterLine("$EndStr", run.Delimiters.End));
}

std::string RunScript(const ExtractionRun &run)
{
    ScriptTemplate pl = ExtractionTemplate();
    pl.replaceLine(ExtractionLineF1, PatchLine("$f1", run.Script.E1));
    pl.replaceLine(ExtractionLineF2, PatchLine("$f2", run.Script.E2));
    pl.replaceLine(ExtractionLineF3, PatchLine("$f3", run.Script.E3));
    FillDelimiters(pl, run);
    return pl.bytes();
}

std::string RunScript(const TranslationRun &run)
{
    ScriptTemplate pl = TranslationTemplate();
    pl.replaceLine(TranslationLineChangeFont, ChangeFontLine(run.Script.SizeChange));
    pl.replaceLine(TranslationLineF1, PatchLine("$f1", run.Script.T1));
    pl.replaceLine(TranslationLineF2, PatchLine("$f2", run.Script.T2));
    pl.replaceLine(TranslationLineF3, PatchLine("$f3", run.Script.T3));
    FillDelimiters(pl, run);
    return pl.bytes();
}

std::optional<Refusal> ReadOldVersion(const std::string &path, std::string &bytes)
{
    const QString what = QStringLiteral("舊版本的英文RC檔");
    if (auto r = CheckInputFile(path, what))
        return r;
    const FileName name = FileName::fromNative(QByteArray(path.data(), qsizetype(path.size())));
    std::string raw;
    if (const QString reason = ReadWholeFile(name, raw, RunFileLimit); !reason.isEmpty())
        return Refusal{QStringLiteral("無法讀取%1「%2」：%3。").arg(what, name.shown(), reason), RefusalCaption()};
    const DecodedScript decoded = DecodeScript(raw);
    if (!decoded.Problem.isEmpty())
        return Refusal{QStringLiteral("%1「%2」：%3").arg(what, name.shown(), decoded.Problem), RefusalCaption()};
    if (decoded.Encoding.Encoding == TextEncoding::Cp950) {
        bytes = std::move(raw);
        return std::nullopt;
    }
    const std::optional<std::string> big5 = cp950::encode(decoded.Text);
    if (!big5)
        return Refusal{QStringLiteral("%1「%2」含有Big5沒有的字元，無法與新版本比較。").arg(what, name.shown()),
                       RefusalCaption()};
    bytes = *big5;
    return std::nullopt;
}

RunOutcome<ExtractionReport> FinishExtraction(const ExtractionRun &run)
{
    RunOutcome<ExtractionReport> outcome;
    std::string written;
    if (const QString reason = readWhole(run.Script.E3, written); !reason.isEmpty())
        return {false, perlOutputUnreadable(reason), {}};

    // The pairing read before the run, or, for a run prepared without it, now.
    ExtractionReading own;
    if (!run.Statements)
        own = ReadExtraction(run.English.Copy, run.Chinese.Copy, run.Delimiters);
    const ExtractionReading &reading = run.Statements ? run.Statements->Reading : own;
    const TextDecoder decode = [&run](std::string_view bytes) { return run.StandIns.Restore(bytes); };
    ExtractionReport &report = outcome.report;
    report = BuildExtractionReport(reading, decode);
    if (run.Statements)
        AddPairing(report, *run.Statements, decode);
    report.English = run.English.shown();
    report.Chinese = run.Chinese.shown();
    report.WrittenAsRead = reading.DictionaryIs(written);
    report.TextLines = reading.TextLines;

    // The pairs as the file holds them; a pair with a stand-in in either
    // text cannot be written in code page 950 and is left out.
    const std::string programPairs = report.PairedByProgram ? run.Statements->Sound.DictionaryBytes() : std::string();
    const std::string_view pairs = report.PairedByProgram ? std::string_view(programPairs) : std::string_view(written);
    const auto forEachPair = [&pairs](const auto &take) {
        ScriptLineReader lines(pairs);
        for (std::string_view en, zh; lines.next(en);) {
            if (!lines.next(zh))
                zh = {};
            take(en, zh);
        }
    };
    report.PairsWritten = 0;
    report.PairsWithEmptyEnglish = 0;
    forEachPair([&](std::string_view en, std::string_view zh) {
        if (run.StandIns.Holds(en) || run.StandIns.Holds(zh)) {
            report.LeftOut.emplace_back(decode(en), decode(zh));
            return;
        }
        ++report.PairsWritten;
        if (en.empty())
            ++report.PairsWithEmptyEnglish;
    });
    // With nothing left out and the script's own pairing the dictionary is
    // what the interpreter wrote, byte for byte.
    if (report.LeftOut.empty() && !report.PairedByProgram) {
        outcome.Output = std::move(written);
    } else {
        std::string kept;
        kept.reserve(pairs.size());
        forEachPair([&](std::string_view en, std::string_view zh) {
            if (run.StandIns.Holds(en) || run.StandIns.Holds(zh))
                return;
            kept += en;
            kept += "\r\n";
            kept += zh;
            kept += "\r\n";
        });
        outcome.Output = std::move(kept);
    }
    outcome.OutputPath = run.Paths.E3;
    return outcome;
}

QString PutOutputInPlace(const std::string &path, const std::string &bytes)
{
    const FileResult saved = SaveBytes(nameOf(path), bytes);
    return saved.ok ? QString() : saved.error;
}

namespace {

// A reading of one line, from its start: blanks, words and single characters.
class LineParse {
public:
    explicit LineParse(QStringView line) : line_(line) {}
    qsizetype at() const { return at_; }
    // Blanks and tabs; how many.
    qsizetype blanks()
    {
        const qsizetype from = at_;
        while (at_ < line_.size() && (line_[at_] == QLatin1Char(' ') || line_[at_] == QLatin1Char('\t')))
            ++at_;
        return at_ - from;
    }
    bool word(QLatin1StringView w, Qt::CaseSensitivity cs = Qt::CaseSensitive)
    {
        if (line_.mid(at_).startsWith(w, cs)) {
            at_ += w.size();
            return true;
        }
        return false;
    }
    bool character(char c) { return word(QLatin1StringView(&c, 1)); }
    // Characters while `take` holds; how many.
    template <typename Take>
    qsizetype run(Take take)
    {
        const qsizetype from = at_;
        while (at_ < line_.size() && take(line_[at_]))
            ++at_;
        return at_ - from;
    }

private:
    QStringView line_;
    qsizetype at_ = 0;
};

} // namespace

std::optional<QString> RetargetedLine(const QString &line, const ScriptEncoding &written)
{
    // LANGUAGE LANG_ENGLISH, SUBLANG_...: the Chinese one instead.
    {
        LineParse p(line);
        const qsizetype indent = p.blanks();
        if (p.word(QLatin1StringView("LANGUAGE")) && p.blanks() > 0 && p.word(QLatin1StringView("LANG_ENGLISH"))) {
            p.blanks();
            if (p.character(',')) {
                p.blanks();
                const auto sublanguage = [](QChar c) {
                    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                           || c == QLatin1Char('_');
                };
                if (p.word(QLatin1StringView("SUBLANG_")) && p.run(sublanguage) > 0)
                    return line.left(indent) + QStringLiteral("LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL")
                           + line.mid(p.at());
            }
        }
    }
    // #pragma code_page(N), any case: the code page of the bytes written.
    LineParse p(line);
    p.blanks();
    if (!p.character('#'))
        return std::nullopt;
    p.blanks();
    if (!p.word(QLatin1StringView("pragma"), Qt::CaseInsensitive) || p.blanks() == 0
        || !p.word(QLatin1StringView("code_page"), Qt::CaseInsensitive))
        return std::nullopt;
    p.blanks();
    if (!p.character('('))
        return std::nullopt;
    p.blanks();
    const qsizetype pageStart = p.at();
    const qsizetype pageSize = p.run([](QChar c) { return c != QLatin1Char(')') && c != QLatin1Char(' ') && c != QLatin1Char('\t'); });
    p.blanks();
    if (!p.character(')'))
        return std::nullopt;
    QString wanted;
    if (written.Encoding == TextEncoding::Cp950)
        wanted = QStringLiteral("950");
    else if (written.Encoding == TextEncoding::Utf8)
        wanted = QStringLiteral("65001");
    const QStringView page = QStringView(line).mid(pageStart, pageSize);
    if (wanted.isEmpty() || page == wanted)
        return std::nullopt;
    return line.left(pageStart) + wanted + line.mid(pageStart + pageSize);
}

RunOutcome<TranslationReport> FinishTranslation(const TranslationRun &run)
{
    RunOutcome<TranslationReport> outcome;
    // What the interpreter wrote into the run's folder, where it is; a
    // joined script's lines given back are a text of their own.
    MappedFile written;
    if (const QString reason = written.open(nameOf(run.Script.T3), RunFileLimit); !reason.isEmpty())
        return {false, perlOutputUnreadable(reason), {}};
    std::string_view output = written.bytes();
    std::string unjoined;

    const TextDecoder decode = [&run](std::string_view bytes) { return run.StandIns.Restore(bytes); };
    TranslationReport &report = outcome.report;
    {
        // The reading is done with once the report holds what it found.
        TranslationReading reading = ReadTranslation(ReadScriptDictionary(run.Dictionary), run.Source.copyOrFile(),
                                                     run.Paths.SizeChange, run.Delimiters, output);
        report.WrittenAsRead = reading.MatchesWritten;
        const StringAccount strings = AccountTranslation(reading, run.Source.copyOrFile());
        if (run.Statements)
            MapLines(reading, run.Statements->Source);
        const bool writtenAsRead = report.WrittenAsRead;
        report = BuildTranslationReport(reading, decode);
        report.WrittenAsRead = writtenAsRead;
        AddStrings(report.Strings, strings, run.Statements ? &run.Statements->Source : nullptr, decode);
    }
    report.Dictionary = run.DictionaryFile;
    report.Script = run.Source.shown();
    if (run.Statements) {
        unjoined = UnjoinTranslation(output, run.Statements->Source, run.Source.copyOrFile(),
                                     run.Statements->unjoined(run));
        output = unjoined;
    }
    report.Retargeted = run.Options.Retarget;
    report.FontSwitch = run.Paths.SizeChange;
    for (EnglishText &t : report.Left)
        t.HoldsStandIn = run.StandIns.Holds(t.Bytes);
    SuggestTranslations(report, run.Dictionary);
    // The checks read the Big5 bytes the interpreter wrote: the lines are
    // those of the file written, stand-ins measured as any double-byte character.
    report.Checked = true;
    // A clash's fix takes the English letter where it is free: the English
    // text stands on the same line of the script translated.
    // The checks read the output with the file's lines given back; the
    // English texts of a joined copy are put on the lines of the file too.
    // The English texts are read only for a script with findings.
    const std::vector<RcFinding> findings = CheckResourceScript(output);
    std::map<int, std::string> english;
    if (!findings.empty()) {
        std::set<int> findingLines;
        for (const RcFinding &f : findings)
            findingLines.insert(f.Line);
        // The copy's lines are the file's, or lead back to them (the
        // statements come in order).
        std::optional<LineMapper> fileLines;
        if (run.Statements)
            fileLines.emplace(run.Statements->Source);
        english = ResourceTextsByLine(run.Source.copyOrFile(), [&](int line) {
            return findingLines.count(fileLines ? (*fileLines)(line - 1) + 1 : line) > 0;
        });
    }
    if (run.Statements && !english.empty()) {
        std::map<int, std::string> mapped;
        for (auto &[line, text] : english)
            mapped.emplace(run.Statements->Source.OriginalLine(line - 1) + 1, std::move(text));
        english = std::move(mapped);
    }
    for (const RcFinding &f : findings) {
        const auto source = english.find(f.Line);
        const std::optional<std::string> fix
            = SuggestedFix(f.Kind, source != english.end() ? source->second : f.Text, f.Text, f.Taken);
        report.Findings.push_back({f.Kind, decode(f.Block), decode(f.Text), f.Line, f.Width, f.Room,
                                   RcFindingDetail(f), fix ? decode(*fix) : QString(),
                                   source != english.end() ? source->second : std::string()});
    }

    const ScriptEncoding encoding = run.Source.Decoded.Encoding;
    const bool converted = run.Source.converted();
    std::map<std::size_t, std::string> retargetedLines; // Big5 lines that change, by index
    std::vector<QString> texts; // the lines of a converted script, back in its characters
    if (converted) {
        ScriptLineReader reader(output);
        for (std::string_view line; reader.next(line);)
            texts.push_back(run.StandIns.Restore(line, &report.Undecodable));
    }
    // Only a line holding LANGUAGE or a # can be one to retarget.
    const auto lookAt = [&](std::size_t i, const QString &line) {
        const std::optional<QString> retargeted = RetargetedLine(line, encoding);
        if (!retargeted)
            return;
        const auto shown = [&](const QString &l) { return converted ? l : cp950::decode(l.toLatin1().toStdString()); };
        report.Language.push_back({int(i) + 1, shown(line), run.Options.Retarget ? shown(*retargeted) : QString()});
        if (!run.Options.Retarget)
            return;
        if (converted)
            texts[i] = *retargeted;
        else
            retargetedLines[i] = retargeted->toLatin1().toStdString();
    };
    if (converted) {
        for (std::size_t i = 0; i < texts.size(); ++i)
            if (texts[i].contains(QLatin1String("LANGUAGE")) || texts[i].contains(QLatin1Char('#')))
                lookAt(i, texts[i]);
    } else {
        // A Big5 line is looked at byte for byte: the patterns are ASCII,
        // and every other byte stays as it is. Only the lines holding a #
        // or LANGUAGE are found and read, as the interpreter's lines.
        const std::string_view all(output);
        std::size_t lineNo = 0;
        std::size_t counted = 0; // line feeds before here are in lineNo
        // The next of each, looked for again only once the reading is past it.
        std::size_t hash = all.find('#');
        std::size_t language = all.find("LANGUAGE");
        for (std::size_t pos = 0; pos < all.size();) {
            if (hash != std::string_view::npos && hash < pos)
                hash = all.find('#', pos);
            if (language != std::string_view::npos && language < pos)
                language = all.find("LANGUAGE", pos);
            const std::size_t at = std::min(hash, language);
            if (at == std::string_view::npos)
                break;
            const std::size_t before = all.rfind('\n', at);
            const std::size_t start = before == std::string_view::npos ? 0 : before + 1;
            lineNo += LineFeeds(all.substr(counted, start - counted));
            counted = start;
            const std::string_view line = ScriptLineAt(all, start, pos);
            if (line.find("LANGUAGE") != std::string_view::npos || line.find('#') != std::string_view::npos)
                lookAt(lineNo, QString::fromLatin1(line.data(), qsizetype(line.size())));
        }
    }
    std::string bytes;
    if (converted) {
        // Each line gets the line end it had in the script; the interpreter
        // ended every one in CR LF.
        const std::vector<QString> ends = LineEnds(run.Source.Decoded.Text);
        QString text;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            text += texts[i];
            text += i < ends.size() ? ends[i] : QStringLiteral("\r\n");
        }
        bytes = EncodeText(text, encoding);
    } else if (!run.Options.Retarget && !hasLfLineEnd(run.Source.Bytes)) {
        // What the interpreter wrote, byte for byte.
        bytes = unjoined.empty() ? std::string(output) : std::move(unjoined);
    } else {
        // The line ends the script came with, as for a converted one.
        const std::vector<QString> ends =
            LineEnds(QString::fromLatin1(run.Source.Bytes.data(), qsizetype(run.Source.Bytes.size())));
        bytes.reserve(output.size());
        ScriptLineReader reader(output);
        std::size_t i = 0;
        for (std::string_view line; reader.next(line); ++i) {
            const auto changed = retargetedLines.find(i);
            bytes += changed != retargetedLines.end() ? std::string_view(changed->second) : line;
            bytes += i < ends.size() && ends[i] == QLatin1String("\n") ? "\n" : "\r\n";
        }
    }
    if (run.Options.Adapt)
        bytes = WriteAdaptedMatches(bytes, report);
    // The interpreter read a copy whose last line has a line end; the output
    // ends as the script did.
    if (!converted && !run.Source.Bytes.empty() && run.Source.Bytes.back() != '\n')
        bytes.resize(bytes.size() - LastLineEndSize(bytes));
    outcome.Output = std::move(bytes);
    outcome.OutputPath = run.Paths.T3;
    return outcome;
}
