#include "app/cli/commands.h"
#include "files/savefile.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {

void usage(std::FILE *to)
{
    std::fputs("用法：tavisorn-cli 命令 參數...（各命令以 --help 查看說明）\n"
               "  stats DICT                         字典檔的統計\n"
               "  normalize DICT OUT                 以編輯器的方式讀入並儲存字典檔\n"
               "  normalize --in-place DICT          同上，覆寫字典檔本身\n"
               "  check DICT                         檢查翻譯（熱鍵、快速鍵、參數、結尾符號...）\n"
               "  make-dictionary EN.rc ZH.rc OUT [--strict] [--perl PATH]\n"
               "                                     由英文及中文 RC 檔製作字典檔\n"
               "  translate DICT NEW.rc OUT [--font] [--missing FILE] [--retarget] [--adapt] [--old OLD.rc] [--perl PATH]\n"
               "                                     以字典檔翻譯新版本 RC 檔\n"
               "  export --format tmx|po|xliff|csv DICT OUT\n"
               "                                     把字典檔匯出為其他翻譯工具的格式\n"
               "  import --format tmx|po|xliff|csv [--stand-ins] IN DICT\n"
               "                                     匯入其他翻譯工具的檔案，建立或併入字典檔\n"
               "  script extraction EN.rc ZH.rc OUT  印出製作字典檔的 Perl 程式\n"
               "  script translation DICT NEW.rc OUT [--font]\n"
               "                                     印出翻譯新版本的 Perl 程式\n"
               "  preview --rc FILE OUTDIR [--font] [--english EN.rc]\n"
               "                                     每個對話框與選單畫成 PNG 圖，標出問題\n"
               "結束狀態：0 完成，1 拒絕執行或失敗，2 用法錯誤，3 check 找到問題或 make-dictionary --strict 發現對不上；\n"
               "Perl程式傳回錯誤碼時，以它為結束狀態。\n",
               to);
}

} // namespace

int main(int argc, char *argv[])
{
    IgnoreWriteSignals();
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        usage(stderr);
        return CliWrongUse;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        usage(stdout);
        return CliOk;
    }
    const CliArgs args(argv + 2, argv + argc);
    if (command == "stats")
        return runStats(args);
    if (command == "normalize")
        return runNormalize(args);
    if (command == "check")
        return runCheck(args);
    if (command == "make-dictionary")
        return runMakeDictionary(args);
    if (command == "translate")
        return runTranslate(args);
    if (command == "script")
        return runScript(args);
    if (command == "export")
        return runExport(args);
    if (command == "import")
        return runImport(args);
    if (command == "preview")
        return runPreview(args);
    std::fprintf(stderr, "tavisorn-cli：不明的命令「%s」。\n", command.c_str());
    usage(stderr);
    return CliWrongUse;
}
