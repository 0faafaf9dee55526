// Renders every window of the program offscreen to PNG files, for the
// README and for looking at the windows without a screen:
//   tavisorn-screenshots FOLDER [DICTIONARY]
// With a dictionary, the maintenance window shows it with the choice box
// standing on a row that has several translations (or the first row).

#include "app/program.h"
#include "app/tprogress.h"
#include "app/ttoolmenu.h"
#include "editor/entrygrid.h"
#include "editor/opendictionaryeditor.h"
#include "editor/tdict2.h"
#include "editor/tsaving.h"
#include "platform/finddialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QTableView>
#include <QTest>

#include <cstdio>

namespace {

bool save(QWidget *window, const QString &folder, const QString &name)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        std::fprintf(stderr, "視窗未顯示：%s\n", qPrintable(name));
    // Window managers apply sizes and states asynchronously.
    QTest::qWait(200);
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!window->grab().save(path)) {
        std::fprintf(stderr, "無法寫入 %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("用法：tavisorn-screenshots 資料夾 [字典檔]\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "無法建立資料夾 %s\n", argv[1]);
        return 1;
    }
    std::unique_ptr<Program> program = CreateProgram();
    bool ok = save(program->ToolMenu, folder, QStringLiteral("main-menu"));

    TDict2 *editor = program->Dict2;
    if (argc > 2) {
        OpenDictionaryEditor(*editor, QString::fromLocal8Bit(argv[2]));
        editor->resize(editor->width(), 600);
        // Stand on the first row with several translations, or the first row.
        int row = 1;
        for (int e = 0; e <= program->Document.Tables.LastEntry; ++e) {
            if (program->Document.Tables.EntryTable[std::size_t(e)].LastTranslation > 0) {
                row = e + 1;
                break;
            }
        }
        editor->SG->setFocus();
        editor->SetCurrentCell(2, row);
        editor->SG->scrollTo(editor->SG->currentIndex(), QAbstractItemView::PositionAtCenter);
    }
    ok &= save(editor, folder, QStringLiteral("maintenance"));
    editor->FullClick();
    ok &= save(editor, folder, QStringLiteral("maintenance-full-screen"));
    editor->FullClick();
    editor->FD->Execute(QStringLiteral("搜尋來源字串"));
    ok &= save(editor->FD, folder, QStringLiteral("find-dialog"));
    editor->FD->hide();
    editor->hide();

    ok &= save(program->Dict1, folder, QStringLiteral("make-dictionary"));
    program->Dict1->hide();
    ok &= save(program->Dict3, folder, QStringLiteral("translate-new-version"));
    program->Dict3->hide();
    ok &= save(program->Settings, folder, QStringLiteral("settings"));
    program->Settings->hide();
    ok &= save(program->AbtBox, folder, QStringLiteral("about"));
    program->AbtBox->hide();

    program->Progress->SetProgressText(QStringLiteral("正在整理字典檔..."));
    program->Progress->SetProgressPosition(40);
    ok &= save(program->Progress, folder, QStringLiteral("progress"));
    program->Progress->hide();

    program->Saving->Label1->setText(QStringLiteral("檔案 /home/translator/calc.txt 的內文已經變更。"));
    program->Saving->Label1->adjustSize();
    program->Saving->Label2->setText(QStringLiteral("要儲存檔案?"));
    program->Saving->Label2->adjustSize();
    ok &= save(program->Saving, folder, QStringLiteral("save-prompt"));
    return ok ? 0 : 1;
}
