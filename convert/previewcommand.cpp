#include "convert/previewcommand.h"

#include "convert/rclayout.h"
#include "convert/rcpicture.h"
#include "files/filename.h"
#include "files/savefile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <map>
#include <optional>

namespace {

const char *const PreviewHelp =
    "用法：tavisorn-cli preview --rc FILE OUTDIR [--font] [--english EN.rc]\n"
    "\n"
    "把RC檔 FILE 的每個對話框（DIALOG、DIALOGEX）與選單（MENU、MENUEX）畫成一張\n"
    "PNG 圖，寫到資料夾 OUTDIR（不存在時建立），並在標準輸出為每張圖印一行它的問題：\n"
    "文字過寬（與 check --rc 的判斷相同，紅框標出，淡紅色是放不下的部分）、\n"
    "熱鍵衝突（橘色圓點標出字母）、控制項重疊（紫色虛線框）。\n"
    "圖檔以資源名稱命名（IDD_FIND.png）：英文字母、數字、_ 與 - 以外的位元組寫成\n"
    "%與兩位十六進位數字，Windows 的裝置名稱（CON、NUL...）前面加 %，\n"
    "同名（不分大小寫）的第二張起加上 ~2、~3...。\n"
    "對話框單位依對話框的 FONT 換算成像素（新細明體 9 點：寬 6、高 12 像素），\n"
    "文字以程式的明體字型畫出；每張圖下方註明所用的字型。\n"
    "\n"
    "選項：\n"
    "  --font          把 FONT 8 當成翻譯時轉換成的新細明體 9 點\n"
    "  --english EN.rc 同名的英文對話框與選單畫在左邊，以便比較\n"
    "  --help          顯示這段說明\n"
    "\n"
    "結束狀態：\n"
    "  0  沒有問題\n"
    "  1  無法讀取RC檔或寫出圖檔\n"
    "  2  用法錯誤\n"
    "  3  找到問題\n";

void printError(const QString &text)
{
    std::fprintf(stderr, "tavisorn-cli：%s\n", text.toUtf8().constData());
}

FileName pathOf(const std::string &bytes)
{
    return FileName::fromNative(QByteArray(bytes.data(), qsizetype(bytes.size())));
}

std::optional<LaidResources> readScript(const FileName &name, bool fontSwitch)
{
    QString problem;
    std::optional<LaidResources> laid = LayOutScriptFile(name, fontSwitch, problem);
    if (!laid)
        printError(problem);
    return laid;
}

} // namespace

int RunPreviewCommand(const std::vector<std::string> &args)
{
    std::optional<std::string> script, english, folder;
    bool fontSwitch = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(PreviewHelp, stdout);
            return 0;
        } else if (a == "--font") {
            fontSwitch = true;
        } else if ((a == "--rc" || a == "--english") && i + 1 < args.size()) {
            (a == "--rc" ? script : english) = args[++i];
        } else if (!a.empty() && a[0] != '-' && !folder) {
            folder = a;
        } else {
            std::fputs(PreviewHelp, stderr);
            return 2;
        }
    }
    if (!script || !folder) {
        std::fputs(PreviewHelp, stderr);
        return 2;
    }

    const std::optional<LaidResources> laid = readScript(pathOf(*script), fontSwitch);
    if (!laid)
        return 1;
    std::optional<LaidResources> before;
    if (english) {
        before = readScript(pathOf(*english), false);
        if (!before)
            return 1;
        // The widths are those of 新細明體 9, which an English dialog does
        // not have: its side shows clashes and overlaps only.
        for (LaidDialog &d : before->Dialogs)
            for (LaidControl &c : d.Controls)
                c.TooWide = false;
    }
    const QString out = pathOf(*folder).toQString();
    if (!QDir().mkpath(out)) {
        printError(QStringLiteral("無法建立資料夾 %1。").arg(pathOf(*folder).shown()));
        return 1;
    }

    std::set<std::string> used;
    int withProblems = 0;
    const auto write = [&](const std::string &name, const QImage &picture, const QImage *englishPicture,
                           const ProblemCount &count) {
        const std::string file = PictureFileName(name, used);
        const QImage image = englishPicture
            ? SideBySide(*englishPicture, QStringLiteral("英文"), picture, QStringLiteral("翻譯後"))
            : picture;
        const QString path = QDir(out).filePath(QString::fromStdString(file));
        // Saved as every file is: a failed write leaves the old picture.
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
            printError(QStringLiteral("無法寫出圖檔 %1。").arg(QDir::toNativeSeparators(path)));
            return false;
        }
        if (const FileResult saved = SaveBytes(FileName(path), std::string_view(png.constData(), std::size_t(png.size())));
            !saved.ok) {
            printError(saved.error);
            return false;
        }
        withProblems += count.total() > 0;
        std::printf("%s\n", ProblemLine(QString::fromStdString(file), count).toUtf8().constData());
        return true;
    };
    // The English resource of the same name, if any (the first of them).
    const auto find = [](const auto &list, const std::string &name) -> decltype(&list[0]) {
        for (const auto &r : list)
            if (r.Name == name)
                return &r;
        return nullptr;
    };
    for (const LaidDialog &d : laid->Dialogs) {
        const LaidDialog *e = before ? find(before->Dialogs, d.Name) : nullptr;
        const QImage englishPicture = e ? DrawDialog(*e).Image : QImage();
        if (!write(d.Name, DrawDialog(d).Image, e ? &englishPicture : nullptr, ProblemsOf(d)))
            return 1;
    }
    for (const LaidMenu &m : laid->Menus) {
        const LaidMenu *e = before ? find(before->Menus, m.Name) : nullptr;
        const QImage englishPicture = e ? DrawMenu(*e).Image : QImage();
        if (!write(m.Name, DrawMenu(m).Image, e ? &englishPicture : nullptr, ProblemsOf(m)))
            return 1;
    }
    std::fflush(stdout);
    return withProblems > 0 ? 3 : 0;
}
