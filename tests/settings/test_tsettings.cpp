#include "settings/tsettings.h"

#include "platform/fontdialog.h"
#include "platform/fonts.h"
#include "settings/settings.h"
#include "settings/stringarea.h"
#include "support/folder_answers.h"
#include "support/recorders.h"
#include "support/shots.h"
#include "widgets/browseforfolder.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <optional>

namespace {

// The maintenance window's string area as the dialog sees it.
class FakeHost final : public StringAreaHost {
public:
    QFont StringFont() const override { return font; }
    void ApplyStringFont(const QFont &f) override
    {
        font = f;
        applied.append(f);
    }
    void ArrangeStringArea() override { ++arrangements; }

    QFont font;
    QList<QFont> applied;
    int arrangements = 0;
};

// Answers the font dialog: a font chooses it, nothing cancels.
class FontAnswers final : public FontDialogService {
public:
    bool run(QFont &font, QWidget *) override
    {
        offered.append(font);
        if (!answer)
            return false;
        font = *answer;
        return true;
    }
    std::optional<QFont> answer;
    QList<QFont> offered;

private:
    const ScopedOverride<FontDialogService> answering{fontDialogSeam(), *this};
};

QFont pointFont(const QString &family, int points)
{
    QFont f(family);
    f.setPointSize(points);
    return f;
}

// Every label shows its whole text and every control lies inside its parent.
void verifyNothingCutOff(QWidget *window)
{
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisible() || !w->parentWidget())
            continue;
        const QString name = QLatin1String(w->metaObject()->className()) + QStringLiteral(" ")
                             + (qobject_cast<QLabel *>(w) ? qobject_cast<QLabel *>(w)->text()
                                : qobject_cast<QAbstractButton *>(w) ? qobject_cast<QAbstractButton *>(w)->text()
                                                                      : QString());
        if (auto *label = qobject_cast<QLabel *>(w); label && !label->text().isEmpty()) {
            if (label->wordWrap())
                QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(name));
            else
                QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(name));
        }
        if (auto *button = qobject_cast<QAbstractButton *>(w); button && !button->text().isEmpty()) {
            const int textWidth = button->fontMetrics().horizontalAdvance(button->text());
            QVERIFY2(textWidth <= button->width(), qPrintable(name));
        }
        const QWidget *parent = w->parentWidget();
        if (parent->inherits("QStackedWidget") || parent->inherits("QTabWidget")
            || parent->inherits("QTabBar") || parent->inherits("QAbstractScrollArea")
            || parent->inherits("QLineEdit") || parent->inherits("QAbstractSpinBox")
            || w->inherits("QStackedWidget") || w->inherits("QTabBar"))
            continue;
        QVERIFY2(parent->rect().contains(w->geometry()),
                 qPrintable(name + QStringLiteral(" in ") + QLatin1String(parent->metaObject()->className())));
    }
}

} // namespace

class TestTSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void showFillsEveryControl();
    void okStoresEveryValue();
    void okWithoutChangesStoresTheSameValues();
    void cancelStoresNothing();
    void cancelledPickersChangeNothing();
    void fontAppliedThenCancelledStaysOnScreenOnly();
    void cancelledFontDialogAppliesNothing();
    void fontDialogConfirmedKeepsTheSubstitutedName();
    void customFoldersKeptWithLastUsed();
    void lineCountSteppedBetweenOneAndFour();
    void perlFilterMatchesThisSystemsInterpreter();
    void typedPerlPathIsTakenAsItIs();
    void failedSaveIsReported();
    void drawsEveryTabWhole();

private:
    void showDialog();
    void click(QAbstractButton *button);

    std::unique_ptr<QTemporaryDir> configDir;
    std::unique_ptr<TSettings> dialog;
    FakeHost host;
};

void TestTSettings::initTestCase()
{
    InstallFontSubstitutions();
}

void TestTSettings::init()
{
    configDir = std::make_unique<QTemporaryDir>();
    QVERIFY(configDir->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configDir->path()));
    RegDat = TRegDat{};
    DictionaryFilter = QStringLiteral("unchanged");
    host = FakeHost{};
    host.font = pointFont(QStringLiteral("新細明體"), 9);
    dialog = std::make_unique<TSettings>();
    dialog->SetStringAreaHost(&host);
}

void TestTSettings::cleanup()
{
    dialog.reset();
    configDir.reset();
}

void TestTSettings::showDialog()
{
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
}

void TestTSettings::click(QAbstractButton *button)
{
    // Bring the button's tab to the front, as the user would.
    for (QWidget *page : {dialog->TabSheet1, dialog->TabSheet2, dialog->TabSheet3}) {
        if (page->isAncestorOf(button))
            dialog->PC->setCurrentWidget(page);
    }
    QVERIFY2(button->isVisible(), qPrintable(button->text()));
    // Check boxes and radio buttons take clicks on their mark and text only.
    const bool marked = qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, marked ? QPoint(6, button->height() / 2) : QPoint());
}

void TestTSettings::showFillsEveryControl()
{
    RegDat.PerlPath = QStringLiteral("/opt/perl 5/bin/perl");
    RegDat.SourceRCDefPath = QStringLiteral("/src");
    RegDat.DestRCDefPath = QStringLiteral("/dest");
    RegDat.DictDefPath = QStringLiteral("/dict $x");
    RegDat.NewVerRCDefPath = QStringLiteral("/new");
    RegDat.NewVerTranlatedRCDefPath = QStringLiteral("/new-zh");
    RegDat.DicExt = QStringLiteral("dic");
    RegDat.DicExtDescription = QStringLiteral("字典檔");
    RegDat.NoOfLines = 2;
    RegDat.UseCustomDefaultPath = true;
    RegDat.InsertSpace = true;
    RegDat.UserFont = QStringLiteral("DejaVu Sans");
    RegDat.UserSize = 14;

    dialog->PC->setCurrentIndex(2);
    showDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("設定"));
    QCOMPARE(dialog->PC->currentWidget(), dialog->TabSheet1);
    QCOMPARE(dialog->PerlTxt->text(), RegDat.PerlPath);
    QCOMPARE(dialog->P1->text(), QStringLiteral("/src"));
    QCOMPARE(dialog->P2->text(), QStringLiteral("/dest"));
    QCOMPARE(dialog->P3->text(), QStringLiteral("/dict $x"));
    QCOMPARE(dialog->P4->text(), QStringLiteral("/new"));
    QCOMPARE(dialog->P5->text(), QStringLiteral("/new-zh"));
    QCOMPARE(dialog->Ext->text(), QStringLiteral("dic"));
    QCOMPARE(dialog->ExtDesc->text(), QStringLiteral("字典檔"));
    QCOMPARE(dialog->StrLineNo->text(), QStringLiteral("2"));
    QVERIFY(dialog->Custom->isChecked());
    QVERIFY(!dialog->LastUse->isChecked());
    QVERIFY(!dialog->Panel2->isHidden());
    QVERIFY(dialog->AddSpace->isChecked());
    QCOMPARE(dialog->FD.family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(dialog->FD.pointSize(), 14);
    // Only the buttons change the path edits.
    for (QLineEdit *e : {dialog->PerlTxt, dialog->P1, dialog->P2, dialog->P3, dialog->P4, dialog->P5,
                         dialog->StrLineNo})
        QVERIFY(e->isReadOnly());
    // ... and they do not look like fields that take typing.
    for (QLineEdit *e : {dialog->PerlTxt, dialog->P1, dialog->P5})
        QVERIFY(e->palette().color(QPalette::Base) != dialog->Ext->palette().color(QPalette::Base));
    QCOMPARE(dialog->Ext->maxLength(), 3);

    // Edits of a cancelled visit do not survive the next show.
    dialog->Ext->setText(QStringLiteral("xyz"));
    dialog->AddSpace->setChecked(false);
    click(dialog->Button8);
    RegDat.UseCustomDefaultPath = false;
    RegDat.InsertSpace = false;
    RegDat.UserFont.clear();
    showDialog();
    QCOMPARE(dialog->Ext->text(), QStringLiteral("dic"));
    QVERIFY(dialog->LastUse->isChecked());
    QVERIFY(dialog->Panel2->isHidden());
    QVERIFY(!dialog->AddSpace->isChecked());
    // An empty font name leaves the dialog's font name as it was.
    QCOMPARE(dialog->FD.family(), QStringLiteral("DejaVu Sans"));
}

void TestTSettings::okStoresEveryValue()
{
    FileDialogAnswers files;
    files.answers = {QStringLiteral("/usr/bin/perl")};
    FolderAnswers folders;
    const QString base = configDir->path();
    for (int i = 1; i <= 5; ++i) {
        const QString folder = base + QStringLiteral("/folder %1 $@'").arg(i);
        QVERIFY(QDir().mkpath(folder));
        folders.answers.push_back(folder + QLatin1Char('/'));
    }
    FontAnswers fonts;
    fonts.answer = pointFont(QStringLiteral("DejaVu Serif"), 12);
    RegDat.SourceRCLUPath = QStringLiteral("/last/used");

    showDialog();
    click(dialog->Button1);
    QCOMPARE(files.shown.size(), 1);
    QCOMPARE(files.shown[0].Title, QStringLiteral("Perl軟體位置"));
    QCOMPARE(files.shown[0].Filter,
             QStringLiteral("Perl程式檔 (Perl.exe)|Perl.exe|執行檔 (*.exe)|*.exe|所有檔案 (*.*)|*.*"));
    QCOMPARE(files.shown[0].DefaultExt, QStringLiteral("*.exe"));
    QVERIFY(files.shown[0].Options & FileDialog::FileMustExist);
    QCOMPARE(dialog->PerlTxt->text(), QStringLiteral("/usr/bin/perl"));

    click(dialog->Custom);
    QVERIFY(!dialog->Panel2->isHidden());
    for (QPushButton *b : {dialog->L1, dialog->L2, dialog->L3, dialog->L4, dialog->L5})
        click(b);
    QCOMPARE(folders.prompts,
             QStringList({QStringLiteral("請選擇來源 Resource 檔資料夾:"), QStringLiteral("請選擇翻譯後 Resource 檔資料夾:"),
                          QStringLiteral("請選擇字典檔資料夾:"), QStringLiteral("請選擇新版英文 Resource 檔資料夾:"),
                          QStringLiteral("請選擇新版中文 Resource 檔資料夾:")}));

    dialog->PC->setCurrentWidget(dialog->TabSheet3);
    dialog->Ext->setText(QStringLiteral("dic"));
    dialog->ExtDesc->setText(QStringLiteral("字典檔"));
    click(dialog->AddSpace);
    click(dialog->UpDown1->Up);
    click(dialog->Button2);
    QCOMPARE(host.applied.size(), 1);

    click(dialog->Button7);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(DictionaryFilter, QStringLiteral("字典檔|*.dic|所有檔案 (*.*)|*.*"));
    QVERIFY(host.arrangements >= 1);

    // What reached the store comes back on the next start.
    RegDat = TRegDat{};
    QVERIFY(LoadSettings().ok);
    QCOMPARE(RegDat.PerlPath, QStringLiteral("/usr/bin/perl"));
    QCOMPARE(RegDat.SourceRCDefPath, QDir::toNativeSeparators(base + QStringLiteral("/folder 1 $@'")));
    QCOMPARE(RegDat.DestRCDefPath, QDir::toNativeSeparators(base + QStringLiteral("/folder 2 $@'")));
    QCOMPARE(RegDat.DictDefPath, QDir::toNativeSeparators(base + QStringLiteral("/folder 3 $@'")));
    QCOMPARE(RegDat.NewVerRCDefPath, QDir::toNativeSeparators(base + QStringLiteral("/folder 4 $@'")));
    QCOMPARE(RegDat.NewVerTranlatedRCDefPath, QDir::toNativeSeparators(base + QStringLiteral("/folder 5 $@'")));
    QCOMPARE(RegDat.SourceRCLUPath, QStringLiteral("/last/used"));
    QCOMPARE(RegDat.DicExt, QStringLiteral("dic"));
    QCOMPARE(RegDat.DicExtDescription, QStringLiteral("字典檔"));
    QCOMPARE(RegDat.NoOfLines, std::uint8_t(4));
    QCOMPARE(RegDat.UserFont, QStringLiteral("DejaVu Serif"));
    QCOMPARE(RegDat.UserSize, 12);
    QCOMPARE(RegDat.UseCustomDefaultPath, true);
    QCOMPARE(RegDat.InsertSpace, true);
}

void TestTSettings::okWithoutChangesStoresTheSameValues()
{
    RegDat.PerlPath = QStringLiteral("C:\\Perl\\bin\\Perl.exe");
    RegDat.DictDefPath = QStringLiteral("D:\\");
    RegDat.UserFont = QStringLiteral("DejaVu Sans");
    RegDat.UserSize = 11;
    RegDat.NoOfLines = 1;
    RegDat.ChangeFontFace = false;
    const TRegDat before = RegDat;

    showDialog();
    click(dialog->Button7);
    RegDat = TRegDat{};
    QVERIFY(LoadSettings().ok);
    QCOMPARE(RegDat.PerlPath, before.PerlPath);
    QCOMPARE(RegDat.DictDefPath, before.DictDefPath);
    QCOMPARE(RegDat.UserFont, before.UserFont);
    QCOMPARE(RegDat.UserSize, before.UserSize);
    QCOMPARE(RegDat.NoOfLines, before.NoOfLines);
    QCOMPARE(RegDat.ChangeFontFace, false);
    QCOMPARE(RegDat.DicExt, QStringLiteral("txt"));
    QCOMPARE(DictionaryFilter, QStringLiteral("文字檔 (*.txt)|*.txt|所有檔案 (*.*)|*.*"));

    // An empty font name comes back as the dialog's own font name.
    RegDat.UserFont.clear();
    TSettings fresh;
    fresh.show();
    QTest::mouseClick(fresh.Button7, Qt::LeftButton);
    QCOMPARE(RegDat.UserFont, QStringLiteral("新細明體"));
}

void TestTSettings::cancelStoresNothing()
{
    RegDat.PerlPath = QStringLiteral("/usr/bin/perl");
    FolderAnswers folders;
    folders.answers = {QStringLiteral("/")};
    showDialog();
    dialog->Ext->setText(QStringLiteral("abc"));
    click(dialog->Custom);
    click(dialog->L3);
    QCOMPARE(dialog->P3->text(), QDir::toNativeSeparators(QStringLiteral("/")));
    click(dialog->UpDown1->Down);
    click(dialog->Button8);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));

    // The close box discards as well.
    showDialog();
    dialog->ExtDesc->setText(QStringLiteral("other"));
    dialog->close();
    QVERIFY(!dialog->isVisible());

    QCOMPARE(RegDat.DicExt, QStringLiteral("txt"));
    QCOMPARE(RegDat.DicExtDescription, QStringLiteral("文字檔 (*.txt)"));
    QCOMPARE(RegDat.DictDefPath, QString());
    QCOMPARE(RegDat.UseCustomDefaultPath, false);
    QCOMPARE(RegDat.NoOfLines, std::uint8_t(3));
    QCOMPARE(DictionaryFilter, QStringLiteral("unchanged"));
    QVERIFY(!QFileInfo::exists(configDir->path() + QStringLiteral("/Tavisorn")));
    QCOMPARE(host.arrangements, 0);
}

void TestTSettings::cancelledPickersChangeNothing()
{
    RegDat.PerlPath = QStringLiteral("/usr/bin/perl");
    RegDat.NewVerRCDefPath = QStringLiteral("/kept");
    RegDat.UseCustomDefaultPath = true;
    FileDialogAnswers files; // no answer: cancelled
    FolderAnswers folders;   // no answer: cancelled
    showDialog();
    click(dialog->Button1);
    click(dialog->L4);
    QCOMPARE(files.shown.size(), 1);
    QCOMPARE(folders.prompts.size(), 1);
    QCOMPARE(dialog->PerlTxt->text(), QStringLiteral("/usr/bin/perl"));
    QCOMPARE(dialog->P4->text(), QStringLiteral("/kept"));
}

void TestTSettings::fontAppliedThenCancelledStaysOnScreenOnly()
{
    RegDat.UserFont = QStringLiteral("新細明體");
    RegDat.UserSize = 9;
    host.font = pointFont(QStringLiteral("DejaVu Sans"), 10);
    FontAnswers fonts;
    fonts.answer = pointFont(QStringLiteral("DejaVu Serif"), 16);
    showDialog();

    QElapsedTimer clock;
    clock.start();
    click(dialog->Button2);
    // The dialog starts from the string box's own font.
    QCOMPARE(fonts.offered.size(), 1);
    QCOMPARE(fonts.offered[0].family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(fonts.offered[0].pointSize(), 10);
    // Shown at once, fitted later, and the click came back before that.
    QCOMPARE(host.applied.size(), 1);
    QCOMPARE(host.font.family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(host.arrangements, 0);
    QTRY_COMPARE(host.arrangements, 1);
    QVERIFY(clock.elapsed() >= 350);

    click(dialog->Button8);
    QCOMPARE(RegDat.UserFont, QStringLiteral("新細明體"));
    QCOMPARE(RegDat.UserSize, 9);
    QCOMPARE(host.font.family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(host.font.pointSize(), 16);
}

void TestTSettings::cancelledFontDialogAppliesNothing()
{
    FontAnswers fonts; // no answer: cancelled
    showDialog();
    click(dialog->Button2);
    QCOMPARE(fonts.offered.size(), 1);
    // A fitting scheduled by the click would come before this timer, which
    // starts later with the same delay.
    bool fittingWouldBeDone = false;
    QTimer::singleShot(TSettings::ArrangeDelayMs, this, [&] { fittingWouldBeDone = true; });
    QTRY_VERIFY(fittingWouldBeDone);
    QVERIFY(host.applied.isEmpty());
    QCOMPARE(host.arrangements, 0);
}

void TestTSettings::fontDialogConfirmedKeepsTheSubstitutedName()
{
    const QString ming = QStringLiteral("新細明體");
    const QString drawnBy = QFontInfo(QFont(ming)).family();
    if (drawnBy == ming)
        QSKIP("新細明體 is installed here; nothing stands in for it.");
    RegDat.UserFont = ming;
    RegDat.UserSize = 9;
    host.font = pointFont(ming, 9);
    showDialog();

    // Qt's own font dialog, confirmed as it opened.
    QString shownFamily;
    QTimer driver;
    driver.setInterval(20);
    connect(&driver, &QTimer::timeout, this, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *fd = qobject_cast<QFontDialog *>(top);
            if (fd && fd->isVisible() && shownFamily.isEmpty()) {
                shownFamily = fd->currentFont().family();
                QTimer::singleShot(0, fd, &QFontDialog::accept);
            }
        }
    });
    driver.start();
    click(dialog->Button2);
    QCOMPARE(shownFamily, drawnBy);
    QCOMPARE(host.font.family(), ming);
    click(dialog->Button7);
    QCOMPARE(RegDat.UserFont, ming);
    QCOMPARE(RegDat.UserSize, 9);
}

void TestTSettings::customFoldersKeptWithLastUsed()
{
    RegDat.UseCustomDefaultPath = true;
    RegDat.SourceRCDefPath = QStringLiteral("/a");
    RegDat.DestRCDefPath = QStringLiteral("/b");
    RegDat.DictDefPath = QStringLiteral("/c");
    RegDat.NewVerRCDefPath = QStringLiteral("/d");
    RegDat.NewVerTranlatedRCDefPath = QStringLiteral("/e");
    showDialog();
    click(dialog->LastUse);
    QVERIFY(dialog->Panel2->isHidden());
    click(dialog->Button7);

    RegDat = TRegDat{};
    QVERIFY(LoadSettings().ok);
    QCOMPARE(RegDat.UseCustomDefaultPath, false);
    QCOMPARE(RegDat.SourceRCDefPath, QStringLiteral("/a"));
    QCOMPARE(RegDat.DestRCDefPath, QStringLiteral("/b"));
    QCOMPARE(RegDat.DictDefPath, QStringLiteral("/c"));
    QCOMPARE(RegDat.NewVerRCDefPath, QStringLiteral("/d"));
    QCOMPARE(RegDat.NewVerTranlatedRCDefPath, QStringLiteral("/e"));
}

void TestTSettings::lineCountSteppedBetweenOneAndFour()
{
    RegDat.NoOfLines = 3;
    showDialog();
    for (int i = 0; i < 3; ++i)
        click(dialog->UpDown1->Up);
    QCOMPARE(dialog->StrLineNo->text(), QStringLiteral("4"));
    for (int i = 0; i < 5; ++i)
        click(dialog->UpDown1->Down);
    QCOMPARE(dialog->StrLineNo->text(), QStringLiteral("1"));
    // The arrow keys in the edit step it too, within the same limits.
    QTest::keyClick(dialog->StrLineNo, Qt::Key_Down);
    QCOMPARE(dialog->StrLineNo->text(), QStringLiteral("1"));
    QTest::keyClick(dialog->StrLineNo, Qt::Key_Up);
    QCOMPARE(dialog->StrLineNo->text(), QStringLiteral("2"));
    click(dialog->Button7);
    QCOMPARE(RegDat.NoOfLines, std::uint8_t(2));

    // A stored count outside the range shows as it is until stepped into it.
    RegDat.NoOfLines = 7;
    showDialog();
    QCOMPARE(dialog->StrLineNo->text(), QStringLiteral("7"));
    click(dialog->UpDown1->Up);
    QCOMPARE(dialog->StrLineNo->text(), QStringLiteral("4"));
}

void TestTSettings::perlFilterMatchesThisSystemsInterpreter()
{
    const QStringList filters = toQtNameFilters(dialog->OD.Filter, dialog->OD.PatternMap);
    QCOMPARE(filters.size(), 3);
    QVERIFY(filters[0].startsWith(QStringLiteral("Perl程式檔 (Perl.exe) (")));
    QVERIFY(filters[1].startsWith(QStringLiteral("執行檔 (*.exe) (")));
    QVERIFY(filters[2].startsWith(QStringLiteral("所有檔案 (*.*) (")));

    auto patternsOf = [](const QString &filter) {
        const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
        return filter.mid(open + 1, filter.size() - open - 2).split(QLatin1Char(' '));
    };
    auto matches = [&](const QString &filter, const QString &name) {
        for (const QString &p : patternsOf(filter)) {
            if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(p)).match(name).hasMatch())
                return true;
        }
        return false;
    };
#ifdef Q_OS_WIN
    QVERIFY(matches(filters[0], QStringLiteral("Perl.exe")));
    QVERIFY(matches(filters[1], QStringLiteral("wperl.exe")));
#else
    QVERIFY(matches(filters[0], QStringLiteral("perl")));
    QVERIFY(matches(filters[0], QStringLiteral("perl5.36.0")));
    QVERIFY(!matches(filters[0], QStringLiteral("perldoc")));
    QVERIFY(matches(filters[1], QStringLiteral("perl")));
    if (QFileInfo::exists(QStringLiteral("/usr/bin/perl"))) {
        const QStringList listed = QDir(QStringLiteral("/usr/bin")).entryList(patternsOf(filters[0]), QDir::Files);
        QVERIFY(listed.contains(QStringLiteral("perl")));
    }
#endif
    QVERIFY(matches(filters[2], QStringLiteral("anything.txt")));
}

void TestTSettings::typedPerlPathIsTakenAsItIs()
{
#ifdef Q_OS_WIN
    QSKIP("On Windows the interpreter's name ends in .exe.");
#endif
    QTemporaryDir bin;
    QVERIFY(bin.isValid());
    const QString perl = bin.filePath(QStringLiteral("perl"));
    QFile file(perl);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
    showDialog();

    // The real file dialog, driven as a user drives it: the first time the
    // path is typed and Enter pressed; the second time the dialog opens on
    // the chosen file and its open button is pressed. What the dialog
    // refuses is recorded and the dialog cancelled, so the test goes on.
    enum { Type, Confirm } step = Type;
    bool acted = false;
    QStringList refusals;
    QList<bool> openEnabled;
    QTimer driver;
    driver.setInterval(20);
    connect(&driver, &QTimer::timeout, this, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (!top->isVisible())
                continue;
            if (auto *box = qobject_cast<QMessageBox *>(top)) {
                refusals << box->text();
                box->reject();
                return;
            }
        }
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *fd = qobject_cast<QFileDialog *>(top);
            if (!fd || !fd->isVisible())
                continue;
            if (acted) {
                fd->reject();
                return;
            }
            acted = true;
            QPushButton *open = fd->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open);
            if (step == Type)
                fd->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(perl);
            else
                openEnabled << open->isEnabled();
            // Pressed once this tick is over: a message box the dialog may
            // raise runs an event loop of its own, in which the driver must tick.
            QTimer::singleShot(0, fd, [fd, open, typed = step == Type] {
                if (typed)
                    QTest::keyClick(fd->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
                else if (open->isEnabled())
                    QTest::mouseClick(open, Qt::LeftButton);
            });
            return;
        }
    });
    driver.start();
    click(dialog->Button1);
    QCOMPARE(refusals, QStringList());
    QCOMPARE(dialog->PerlTxt->text(), perl);

    step = Confirm;
    acted = false;
    click(dialog->Button1);
    QCOMPARE(openEnabled, QList<bool>({true}));
    QCOMPARE(dialog->PerlTxt->text(), perl);
    QCOMPARE(refusals, QStringList());

    // The dictionary dialogs keep their default extension.
    FileDialog dictionary;
    dictionary.DefaultExt = QStringLiteral("*.txt");
    QCOMPARE(dictionary.DefaultSuffix(), QStringLiteral("txt"));
    QCOMPARE(dialog->OD.DefaultSuffix(), QString());
}

void TestTSettings::failedSaveIsReported()
{
    MessageRecorder boxes;
    // A config folder below a plain file cannot be made.
    QFile blocker(configDir->path() + QStringLiteral("/plain"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker.fileName() + QStringLiteral("/config")));

    showDialog();
    dialog->Ext->setText(QStringLiteral("dic"));
    click(dialog->Button7);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(boxes.messages.size(), 1);
    QCOMPARE(boxes.messages[0].kind, QStringLiteral("error"));
    QCOMPARE(boxes.messages[0].text, QStringLiteral("無法建立登錄: \"\\Software\\Tavisorn\""));
    // The record holds the new values; what follows the save did not run.
    QCOMPARE(RegDat.DicExt, QStringLiteral("dic"));
    QCOMPARE(DictionaryFilter, QStringLiteral("unchanged"));
    QCOMPARE(host.arrangements, 0);
}

void TestTSettings::drawsEveryTabWhole()
{
    RegDat.UseCustomDefaultPath = true;
    RegDat.PerlPath = QStringLiteral("/usr/bin/perl");
    RegDat.DictDefPath = QStringLiteral("/home/user/字典");
    showDialog();
    QCOMPARE(dialog->size(), QSize(387, 295));
    for (int tab = 0; tab < 3; ++tab) {
        dialog->PC->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        verifyNothingCutOff(dialog.get());
        const QImage shot = dialog->grab().toImage();
        QCOMPARE(shot.size(), QSize(387, 295));
        QVERIFY(KeepShot(shot, QStringLiteral("settings-%1.png").arg(tab + 1)));
    }
    // The group boxes of the environment tab fit inside the page.
    for (QGroupBox *g : {dialog->GroupBox1, dialog->GroupBox2, dialog->GroupBox3})
        QVERIFY(dialog->TabSheet3->rect().contains(g->geometry()));
    QVERIFY(dialog->TabSheet2->rect().contains(dialog->Panel2->geometry()));
}

QTEST_MAIN(TestTSettings)
#include "test_tsettings.moc"
