#include "convert/script.h"

#include "files/savefile.h"
#include "platform/codepage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

std::string ScriptTemplate::bytes() const
{
    std::string out;
    std::size_t total = 0;
    for (const std::string &line : Lines)
        total += line.size() + 2;
    out.reserve(total);
    for (const std::string &line : Lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::string EscapeBackslashes(std::string_view path)
{
    std::string out;
    out.reserve(path.size() + path.size() / 4);
    for (const char byte : path) {
        // Inside a double-quoted Perl literal these four would either vanish
        // (a backslash escapes the next byte), end the literal, or expand a
        // variable; the backslash before each keeps the byte as it is.
        if (byte == '\\' || byte == '"' || byte == '$' || byte == '@')
            out += '\\';
        out += byte;
    }
    return out;
}

std::string PatchLine(std::string_view name, std::string_view path)
{
    std::string line(name);
    line += "=\"";
    line += EscapeBackslashes(path);
    line += "\";";
    return line;
}

std::string DelimiterLine(std::string_view name, std::string_view word)
{
    static const std::string chosen =
        cp950::encode(QStringLiteral("  # 檔案沒有 Microsoft、Borland 或 INPRISE 字樣，依檔案中的區塊選定")).value();
    std::string line(name);
    line += "='";
    line += word;
    line += "';";
    if (!word.empty())
        line += chosen;
    return line;
}

std::string ChangeFontLine(bool ticked)
{
    static const std::string yes = cp950::encode(QStringLiteral("$ChangeFont=-1;  # 是:-1 , 否:0")).value();
    static const std::string no = cp950::encode(QStringLiteral("$ChangeFont=0;  # 是:-1 , 否:0")).value();
    return ticked ? yes : no;
}

std::string ExtractionScript(const ExtractionPaths &paths)
{
    ScriptTemplate pl = ExtractionTemplate();
    pl.replaceLine(ExtractionLineF1, PatchLine("$f1", paths.E1));
    pl.replaceLine(ExtractionLineF2, PatchLine("$f2", paths.E2));
    pl.replaceLine(ExtractionLineF3, PatchLine("$f3", paths.E3));
    return pl.bytes();
}

std::string TranslationScript(const TranslationPaths &paths)
{
    ScriptTemplate pl = TranslationTemplate();
    pl.replaceLine(TranslationLineChangeFont, ChangeFontLine(paths.SizeChange));
    pl.replaceLine(TranslationLineF1, PatchLine("$f1", paths.T1));
    pl.replaceLine(TranslationLineF2, PatchLine("$f2", paths.T2));
    pl.replaceLine(TranslationLineF3, PatchLine("$f3", paths.T3));
    return pl.bytes();
}

QString RefusalCaption() { return QStringLiteral("錯誤"); }
QString EmptyFieldsMessage() { return QStringLiteral("資料未輸入妥當"); }

QString EmptyFieldsMessage(const QStringList &fields)
{
    if (fields.isEmpty())
        return EmptyFieldsMessage();
    QStringList named;
    for (const QString &field : fields)
        named << QStringLiteral("「%1」").arg(field);
    return EmptyFieldsMessage() + QStringLiteral("：%1沒有填。").arg(named.join(QStringLiteral("、")));
}
QString SameRcPathsMessage() { return QStringLiteral("新版本RC檔及翻譯後RC檔的路徑不能相同。"); }

namespace {

fs::path toPath(const std::string &bytes)
{
    // On Windows a narrow path is read in the ANSI code page, as the bytes were made.
    return fs::path(bytes);
}

fs::path normalForm(const std::string &bytes)
{
    std::error_code ec;
    fs::path p = fs::absolute(toPath(bytes), ec);
    if (ec)
        p = toPath(bytes);
    fs::path canonical = fs::weakly_canonical(p, ec);
    if (ec)
        canonical = p.lexically_normal();
    return canonical;
}

bool samePathText(const fs::path &a, const fs::path &b)
{
#ifdef Q_OS_WIN
    return QString::fromStdWString(a.native()).compare(QString::fromStdWString(b.native()), Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

bool isBlank(unsigned char c) { return c == ' ' || c == '\t'; }

Refusal refusal(const QString &text) { return {text, RefusalCaption()}; }

QString shownPath(const std::string &path)
{
    return FileName::fromNative(QByteArray(path.data(), qsizetype(path.size()))).shown();
}

std::optional<Refusal> unsafePath(const std::string &path)
{
    if (PathSafeForScript(path))
        return std::nullopt;
    return refusal(QStringLiteral("檔案路徑不能以空白或 < > | & + - 開頭，不能以空白或 | 結尾，也不能含有控制字元：\n%1")
                       .arg(PathFromBytes(path)));
}

} // namespace

bool NameTheSameFile(const std::string &a, const std::string &b)
{
    if (a == b)
        return true;
    std::error_code ec;
    const bool aExists = fs::exists(toPath(a), ec);
    const bool bExists = fs::exists(toPath(b), ec);
    if (aExists && bExists) {
        const bool same = fs::equivalent(toPath(a), toPath(b), ec);
        return !ec && same;
    }
    if (aExists != bExists)
        return false;
    return samePathText(normalForm(a), normalForm(b));
}

bool PathSafeForScript(std::string_view path)
{
    if (path.empty())
        return false;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    const auto first = static_cast<unsigned char>(path.front());
    const auto last = static_cast<unsigned char>(path.back());
    if (isBlank(first) || std::string_view("<>|&+-").find(char(first)) != std::string_view::npos)
        return false;
    if (isBlank(last) || last == '|')
        return false;
    return true;
}

std::optional<Refusal> CheckExtractionFiles(const ExtractionPaths &paths)
{
    for (const std::string *path : {&paths.E1, &paths.E2, &paths.E3}) {
        if (auto r = unsafePath(*path))
            return r;
    }
    if (NameTheSameFile(paths.E3, paths.E1) || NameTheSameFile(paths.E3, paths.E2))
        return refusal(QStringLiteral("輸出的字典檔不能是來源Resource檔或翻譯後Resource檔，請另選字典檔的檔案名稱。"));
    return std::nullopt;
}

std::optional<Refusal> CheckTranslationFiles(const TranslationPaths &paths)
{
    if (paths.T2 == paths.T3)
        return refusal(SameRcPathsMessage());
    for (const std::string *path : {&paths.T1, &paths.T2, &paths.T3}) {
        if (auto r = unsafePath(*path))
            return r;
    }
    if (NameTheSameFile(paths.T3, paths.T2))
        return refusal(SameRcPathsMessage());
    if (NameTheSameFile(paths.T3, paths.T1))
        return refusal(QStringLiteral("翻譯後的RC檔不能是字典檔，請另選輸出的檔案名稱。"));
    return std::nullopt;
}

namespace {

// The names of the fields left empty, as the file checks name them.
QStringList emptyFields(std::initializer_list<std::pair<const std::string *, const char16_t *>> fields)
{
    QStringList empty;
    for (const auto &[path, name] : fields)
        if (path->empty())
            empty << QString::fromUtf16(name);
    return empty;
}

} // namespace

std::optional<Refusal> ExtractionPathRefusal(const ExtractionPaths &paths)
{
    if (const QStringList empty = emptyFields({{&paths.E1, u"來源Resource檔"}, {&paths.E2, u"翻譯後Resource檔"},
                                               {&paths.E3, u"輸出的字典檔"}});
        !empty.isEmpty())
        return refusal(EmptyFieldsMessage(empty));
    return CheckExtractionFiles(paths);
}

std::optional<Refusal> TranslationPathRefusal(const TranslationPaths &paths)
{
    if (const QStringList empty = emptyFields({{&paths.T1, u"字典檔"}, {&paths.T2, u"新版本來源Resource檔"},
                                               {&paths.T3, u"翻譯後的RC檔"}});
        !empty.isEmpty())
        return refusal(EmptyFieldsMessage(empty));
    return CheckTranslationFiles(paths);
}

std::optional<Refusal> CheckInputFile(const std::string &path, const QString &what)
{
    const QString shown = shownPath(path);
#ifdef Q_OS_WIN
    const QFileInfo info(shown);
    if (!info.exists())
        return refusal(QStringLiteral("找不到%1「%2」。").arg(what, shown));
    if (info.isDir())
        return refusal(QStringLiteral("%1「%2」是資料夾，不是檔案。").arg(what, shown));
    QFile file(shown);
    if (!file.open(QIODevice::ReadOnly))
        return refusal(QStringLiteral("無法讀取%1「%2」：%3。").arg(what, shown, file.errorString()));
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return refusal(QStringLiteral("找不到%1「%2」。").arg(what, shown));
        return refusal(QStringLiteral("無法讀取%1「%2」：%3。").arg(what, shown, SystemReason(errno)));
    }
    if (S_ISDIR(st.st_mode))
        return refusal(QStringLiteral("%1「%2」是資料夾，不是檔案。").arg(what, shown));
    // The program reads an input for its report before the interpreter
    // reads it again: a pipe or a device would give each of them something else.
    if (!S_ISREG(st.st_mode))
        return refusal(QStringLiteral("%1「%2」不是一般的檔案。").arg(what, shown));
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refusal(QStringLiteral("無法讀取%1「%2」：%3。").arg(what, shown, SystemReason(errno)));
    ::close(fd);
#endif
    return std::nullopt;
}

bool IsStreamOutput(const std::string &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return false;
#else
    // The process's own descriptors (/dev/stdout, /dev/fd/1) are streams even
    // when the shell sent them into a file.
    if (path.rfind("/dev/", 0) == 0 || path.rfind("/proc/", 0) == 0)
        return true;
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
#endif
}

std::optional<Refusal> CheckOutputFile(const std::string &path, const QString &what)
{
    const QString shown = shownPath(path);
    std::error_code ec;
    fs::path target = fs::absolute(toPath(path), ec);
    if (ec)
        target = toPath(path);
    const std::string folder = target.parent_path().empty() ? std::string(".") : target.parent_path().string();
#ifdef Q_OS_WIN
    const QFileInfo info(shown);
    if (info.isDir())
        return refusal(QStringLiteral("%1「%2」是資料夾，不是檔案。").arg(what, shown));
    if (!info.dir().exists())
        return refusal(QStringLiteral("%1「%2」所在的資料夾不存在。").arg(what, shown));
    if (info.exists() && !info.isWritable())
        return refusal(QStringLiteral("%1「%2」是唯讀檔，無法寫入。").arg(what, shown));
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return refusal(QStringLiteral("%1「%2」是資料夾，不是檔案。").arg(what, shown));
        if (::access(path.c_str(), W_OK) != 0)
            return refusal(QStringLiteral("%1「%2」無法寫入：%3。").arg(what, shown, SystemReason(errno)));
        // A stream (a pipe, a terminal, /dev/stdout) is written straight
        // into: nothing new is made in its folder.
        if (IsStreamOutput(path))
            return std::nullopt;
    }
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0 || !S_ISDIR(dir.st_mode))
        return refusal(QStringLiteral("%1「%2」所在的資料夾不存在。").arg(what, shown));
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return refusal(QStringLiteral("無法在%1「%2」所在的資料夾中寫入檔案：%3。").arg(what, shown, SystemReason(errno)));
#endif
    return std::nullopt;
}

std::optional<Refusal> CheckExtractionAccess(const ExtractionPaths &paths)
{
    if (auto r = CheckInputFile(paths.E1, QStringLiteral("來源Resource檔")))
        return r;
    if (auto r = CheckInputFile(paths.E2, QStringLiteral("翻譯後Resource檔")))
        return r;
    return CheckOutputFile(paths.E3, QStringLiteral("輸出的字典檔"));
}

std::optional<Refusal> CheckTranslationAccess(const TranslationPaths &paths)
{
    if (auto r = CheckInputFile(paths.T1, QStringLiteral("字典檔")))
        return r;
    if (auto r = CheckInputFile(paths.T2, QStringLiteral("新版本來源Resource檔")))
        return r;
    return CheckOutputFile(paths.T3, QStringLiteral("翻譯後的RC檔"));
}

std::optional<Refusal> ExtractionRefusal(const ExtractionPaths &paths)
{
    if (auto r = ExtractionPathRefusal(paths))
        return r;
    return CheckExtractionAccess(paths);
}

std::optional<Refusal> TranslationRefusal(const TranslationPaths &paths)
{
    if (auto r = TranslationPathRefusal(paths))
        return r;
    return CheckTranslationAccess(paths);
}

WriteResult WriteScriptFile(const QString &path, const std::string &bytes)
{
    // A full disk or a failed write never leaves a half-written script for
    // the interpreter: the old script stays, and nothing is started.
    if (SaveBytes(path, bytes).ok)
        return {};
    return {false, QStringLiteral("Cannot create file %1").arg(QDir::toNativeSeparators(path))};
}

QString TypedPath(const QString &text)
{
    QString path = text.trimmed();
    if (path.size() >= 2 && (path.front() == QLatin1Char('"') || path.front() == QLatin1Char('\''))
        && path.back() == path.front())
        path = path.mid(1, path.size() - 2);
    if (path.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) {
        const QUrl url(path);
        if (url.isValid() && url.isLocalFile())
            path = url.toLocalFile();
    }
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    return path;
}

std::string PathBytes(const QString &path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

QString PathFromBytes(const std::string &bytes)
{
    return QFile::decodeName(QByteArray(bytes.data(), qsizetype(bytes.size())));
}
