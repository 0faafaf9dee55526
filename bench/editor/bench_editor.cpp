// Times opening dictionaries of 5,001 and 100,000 entries in the maintenance
// window, from OpenDictionaryEditor until the window is shown and the entry
// grid has painted the loaded entries, and measures the memory of the program
// with the 100,000-entry dictionary open. The memory figures come from a
// child process that does nothing else, next to the same program with the
// empty window shown, so that the dictionary's share can be told apart.
//
//   bench_editor                  all measurements, a table on standard output
//   bench_editor --memory F       child: empty window, then F open; prints
//                                 baseline RSS, RSS and peak in kB and the entries
//   bench_editor --shot N PNG     opens a dictionary of N entries and saves a
//                                 picture of the window (to check what is timed)
//
// Runs on the offscreen platform whatever the environment says, with settings
// at their defaults in a throw-away config folder.

#include "editor/entrygrid.h"
#include "editor/opendictionaryeditor.h"
#include "editor/tdict2.h"
#include "platform/codepage.h"
#include "platform/fonts.h"
#include "settings/settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPixmap>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// A field of /proc/self/status in kB (VmRSS, VmHWM); -1 where unknown.
long long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray name = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(name.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Dictionaries as a make-dictionary run writes them from real programs:
// ASCII menu, dialog and message texts, Traditional Chinese translations in
// Big5, sources that recur with the same translation and some that recur
// with other translations (the entries the user has to choose for).
class Generator {
public:
    explicit Generator(unsigned seed) : rng(seed)
    {
        static const char *const phrases[] = {
            "檔案", "開啟", "儲存", "另存新檔", "列印", "預覽", "版面設定", "結束", "編輯", "復原", "剪下",
            "複製", "貼上", "刪除", "尋找", "下一個", "取代", "移至", "全選", "時間", "日期", "自動換行",
            "字型", "檢視", "狀態列", "說明", "主題", "關於", "無法", "文件", "已經變更", "是否要", "儲存變更",
            "新增", "視窗", "選項", "工具", "設定", "名稱", "數值", "機碼", "登錄", "匯出", "匯入", "連線",
            "網路", "音量", "控制", "平衡", "靜音", "進階", "處理程序", "記憶體", "使用量", "優先順序", "工作",
            "筆刷", "色彩", "影像", "屬性", "延展", "傾斜", "反轉", "縮放", "一般", "大小", "自訂", "格線",
            "縮圖", "小算盤", "工程型", "標準型", "數字", "分位", "確定", "取消", "套用", "重新整理"};
        for (const char *p : phrases)
            big5Phrases.push_back(cp950::encode(QString::fromUtf8(p)).value());
    }

    // The file text for exactly `entries` distinct sources, CR LF lines.
    std::string dictionary(int entries)
    {
        std::set<std::string> seen;
        std::vector<std::pair<std::string, std::string>> pairs;
        pairs.reserve(std::size_t(entries) * 13 / 10);
        while (int(seen.size()) < entries) {
            const std::string s = source();
            if (!seen.insert(s).second)
                continue;
            const std::string t = translationOf(s);
            pairs.emplace_back(s, t);
            // Recurring texts: a quarter appear again with the same
            // translation, one in twelve with one or two others.
            if (below(4) == 0)
                pairs.emplace_back(s, t);
            if (below(12) == 0) {
                const unsigned others = 1 + below(2);
                for (unsigned k = 0; k < others; ++k)
                    pairs.emplace_back(s, translationOf(s));
            }
        }
        std::shuffle(pairs.begin(), pairs.end(), rng);
        std::string text;
        text.reserve(pairs.size() * 40);
        for (const auto &[s, t] : pairs)
            text += s + "\r\n" + t + "\r\n";
        return text;
    }

private:
    unsigned below(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(rng); }

    std::string source()
    {
        static const char *const words[] = {
            "file", "open", "save", "as", "print", "preview", "page", "setup", "exit", "edit", "undo", "cut",
            "copy", "paste", "delete", "find", "next", "replace", "go", "to", "select", "all", "time", "date",
            "word", "wrap", "font", "view", "status", "bar", "help", "topics", "about", "cannot", "the",
            "document", "has", "changed", "do", "you", "want", "changes", "new", "window", "options", "tools",
            "settings", "name", "value", "key", "registry", "export", "import", "connect", "network", "volume",
            "control", "balance", "mute", "advanced", "process", "memory", "usage", "priority", "end", "task",
            "brush", "color", "image", "attributes", "stretch", "skew", "invert", "zoom", "normal", "size",
            "large", "custom", "grid", "thumbnail", "calculator", "scientific", "standard", "digit", "grouping"};
        const unsigned count = 1 + below(4) + (below(3) == 0 ? below(8) : 0);
        std::string s;
        for (unsigned w = 0; w < count; ++w) {
            if (w)
                s += ' ';
            s += words[below(unsigned(std::size(words)))];
        }
        s[0] = char(s[0] - 'a' + 'A');
        if (below(3) == 0)
            s.insert(below(unsigned(s.size())), 1, '&');
        switch (below(10)) {
        case 0: s += "..."; break;
        case 1: s += "\\tCtrl+"; s += char('A' + below(26)); break;
        case 2: s += " %s"; break;
        case 3: s += " %d"; break;
        default: break;
        }
        return s;
    }

    // About one Chinese phrase per source word, with the hot key, the
    // shortcut and the ellipsis carried over as a translator writes them.
    std::string translationOf(const std::string &source)
    {
        const long long words = std::count(source.begin(), source.end(), ' ') + 1;
        const long long n = std::max(1LL, words - 1 + below(3));
        std::string t;
        for (long long i = 0; i < n; ++i)
            t += big5Phrases[below(unsigned(big5Phrases.size()))];
        if (const auto amp = source.find('&'); amp != std::string::npos && amp + 1 < source.size())
            t += std::string("(&") + char(std::toupper((unsigned char)source[amp + 1])) + ")";
        if (const auto tab = source.find("\\t"); tab != std::string::npos)
            t += source.substr(tab);
        else if (source.size() > 3 && source.compare(source.size() - 3, 3, "...") == 0)
            t += "...";
        else if (source.size() > 3 && source[source.size() - 3] == ' ' && source[source.size() - 2] == '%')
            t += source.substr(source.size() - 3);
        return t;
    }

    std::mt19937 rng;
    std::vector<std::string> big5Phrases;
};

// Notes the first paint of the grid's viewport once armed.
class PaintWatch final : public QObject {
public:
    bool armed = false;
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (armed && event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// One maintenance window over its own document.
struct Window {
    DictionaryDocument document;
    std::unique_ptr<TDict2> dict2;
    PaintWatch watch;

    Window()
    {
        dict2 = std::make_unique<TDict2>(document);
        dict2->SG->viewport()->installEventFilter(&watch);
    }
    ~Window()
    {
        dict2->SG->viewport()->removeEventFilter(&watch);
        dict2.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    // Lets events run until the grid has painted (after arm()), at most 60 s.
    bool waitForPaint()
    {
        QElapsedTimer limit;
        limit.start();
        while (!watch.painted && limit.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        return watch.painted;
    }

    // Shows the window with no dictionary and waits until it is painted.
    bool showEmpty()
    {
        dict2->show();
        watch.armed = true;
        return waitForPaint();
    }
};

struct OpenTime {
    double untilReturn = 0; // OpenDictionaryEditor returned (load and grid set up)
    double untilPaint = 0;  // the grid has painted the loaded entries
    int entries = -1;
};

// Opens path in the window and waits for the grid's paint after the load.
// The watch is armed only once the open returned, so a paint of the empty
// grid while the load lets events run does not count.
bool openAndPaint(Window &w, const QString &path, OpenTime &time)
{
    w.watch.armed = false;
    w.watch.painted = false;
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    if (!OpenDictionaryEditor(*w.dict2, path))
        return false;
    time.untilReturn = double(clock.nsecsElapsed()) / 1e6;
    w.watch.armed = true;
    if (!w.waitForPaint())
        return false;
    time.untilPaint = double(clock.nsecsElapsed()) / 1e6;
    time.entries = w.dict2->Model()->DataRows();
    return w.dict2->isVisible();
}

struct Stats {
    double min = 0, median = 0;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2]};
}

void resetSettings()
{
    RegDat = TRegDat{};
    DictionaryFilter = BuildDictionaryFilter();
}

int memoryChild(const QString &path)
{
    Window w;
    if (!w.showEmpty())
        return 1;
    const long long baseRss = statusKb("VmRSS");
    const long long baseHwm = statusKb("VmHWM");
    OpenTime time;
    if (!openAndPaint(w, path, time))
        return 1;
    std::printf("%lld %lld %lld %lld %d\n", baseRss, baseHwm, statusKb("VmRSS"), statusKb("VmHWM"), time.entries);
    return 0;
}

bool writeFile(const QString &path, const std::string &text);

int shotChild(int entries, const QString &png, const QString &path)
{
    if (!writeFile(path, Generator(unsigned(entries)).dictionary(entries)))
        return 1;
    Window w;
    OpenTime time;
    if (!openAndPaint(w, path, time))
        return 1;
    return w.dict2->grab().save(png) ? 0 : 1;
}

bool writeFile(const QString &path, const std::string &text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.data(), qint64(text.size())) == qint64(text.size());
}

// The offscreen platform says that it cannot raise windows, once per open.
void dropPlatformNoise(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (message.contains(QLatin1String("does not support raise()"))
        || message.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    std::fprintf(stderr, "%s\n", qUtf8Printable(message));
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(dropPlatformNoise);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fputs("bench_editor: no temporary folder\n", stderr);
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    resetSettings();

    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--memory"))
        return memoryChild(args[2]);
    if (args.size() == 4 && args[1] == QLatin1String("--shot"))
        return shotChild(args[2].toInt(), args[3], dir.filePath(QStringLiteral("shot.txt")));

    std::printf("Maintenance window: OpenDictionaryEditor until the grid has painted (offscreen)\n");
    std::printf("(load: until OpenDictionaryEditor returns; paint: until the grid has painted the entries;\n"
                " first: paint time of the process's first open; reopen: the same file again in the shown window)\n");
    std::printf("%9s %9s %8s %5s %16s %16s %8s %16s\n", "entries", "pairs", "file MB", "runs", "load min/med ms",
                "paint min/med ms", "first ms", "reopen min/med");

    struct Size {
        int entries;
        int repetitions;
    };
    QString largest;
    int largestEntries = 0;
    bool failed = false;
    bool met = true;
    for (const Size size : {Size{5001, 15}, Size{100000, 7}}) {
        const std::string text = Generator(unsigned(size.entries)).dictionary(size.entries);
        const QString path = dir.filePath(QStringLiteral("dictionary %1.txt").arg(size.entries));
        if (!writeFile(path, text)) {
            std::fputs("bench_editor: cannot write the test dictionary\n", stderr);
            return 1;
        }
        const long long pairs = std::count(text.begin(), text.end(), '\n') / 2;

        // A fresh window each time (the first open of a run), then the same
        // file opened again in the window already showing it.
        std::vector<double> load, paint, reopen;
        int entries = -1;
        for (int i = 0; i < size.repetitions && !failed; ++i) {
            Window w;
            OpenTime first, again;
            if (!openAndPaint(w, path, first) || !openAndPaint(w, path, again)) {
                failed = true;
                break;
            }
            load.push_back(first.untilReturn);
            paint.push_back(first.untilPaint);
            reopen.push_back(again.untilPaint);
            entries = first.entries;
        }
        if (failed || entries != size.entries) {
            std::fprintf(stderr, "bench_editor: opening %d entries failed (grid shows %d rows)\n", size.entries,
                         entries);
            return 1;
        }
        const Stats l = stats(load), p = stats(paint), r = stats(reopen);
        std::printf("%9d %9lld %8.2f %5d %7.1f / %6.1f %7.1f / %6.1f %8.1f %7.1f / %6.1f\n", entries, pairs,
                    double(text.size()) / 1e6, size.repetitions, l.min, l.median, p.min, p.median, paint.front(),
                    r.min, r.median);
        const double target = size.entries <= 5001 ? 100 : 1000;
        met = met && p.median < target;
        std::fflush(stdout);
        largest = path;
        largestEntries = entries;
    }

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), largest});
    child.waitForFinished(-1);
    const QList<QByteArray> v = child.readAllStandardOutput().simplified().split(' ');
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0 || v.size() != 5) {
        std::fprintf(stderr, "bench_editor: the measuring child failed: %s\n", child.readAllStandardError().constData());
        return 1;
    }
    const auto mb = [&](int i) { return double(v[i].toLongLong()) / 1024.0; };
    std::printf("Memory (separate process): empty window shown RSS %.1f MB (peak %.1f MB); with %d entries open "
                "RSS %.1f MB, peak (VmHWM) %.1f MB; the dictionary adds %.1f MB\n",
                mb(0), mb(1), largestEntries, mb(2), mb(3), mb(2) - mb(0));
    met = met && mb(3) < 150;
    std::printf("Targets (median paint: 5,001 entries < 100 ms, 100,000 < 1 s; peak memory < 150 MB): %s\n",
                met ? "met" : "MISSED");
    return 0;
}
