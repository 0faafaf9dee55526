// 匯出 and 匯入 in the maintenance window, from the keyboard as a user
// reaches them: the files written, the dictionary merged and opened again,
// and the messages.

#include "editor/exchangecommands.h"
#include "editor/opendictionaryeditor.h"
#include "editor/tdict2.h"
#include "editor/tsaving.h"
#include "platform/codepage.h"
#include "settings/settings.h"
#include "support/recorders.h"

#include <QAction>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

class PromptAnswers final : public SavePrompt {
public:
    unsigned char Ask(const QString &line1, const QString &) override
    {
        asked << line1;
        SaveAnswer = answer;
        return SaveAnswer;
    }
    unsigned char answer = 2; // Cancel
    QStringList asked;

private:
    const ScopedOverride<SavePrompt> answering{savePromptSeam(), *this};
};

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray big5(const char *utf8)
{
    return QByteArray::fromStdString(cp950::encode(QString::fromUtf8(utf8)).value());
}

} // namespace

class TestExchangeWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void exportWritesWhatTheWindowShows();
    void importMergesAndOpens();
    void importWithoutADictionaryMakesOne();
    void refusedImportChangesNothing();

private:
    void open(const QString &path);
    void press(Qt::Key key);
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<FileDialogAnswers> dialogs;
    std::unique_ptr<PromptAnswers> prompt;
    std::unique_ptr<DictionaryDocument> document;
    std::unique_ptr<TDict2> w;
    const QByteArray dictionary = "Open\r\n" + big5("開啟") + "\r\nOpen\r\n" + big5("打開") + "\r\nCut\r\nCut\r\n";
};

void TestExchangeWindow::initTestCase()
{
    QVERIFY(dir.isValid());
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
}

void TestExchangeWindow::init()
{
    RegDat = TRegDat();
    DictionaryFilter = BuildDictionaryFilter();
    messages = std::make_unique<MessageRecorder>();
    dialogs = std::make_unique<FileDialogAnswers>();
    prompt = std::make_unique<PromptAnswers>();
    document = std::make_unique<DictionaryDocument>();
    w = std::make_unique<TDict2>(*document);
}

void TestExchangeWindow::cleanup()
{
    w.reset();
    document.reset();
    prompt.reset();
    dialogs.reset();
    messages.reset();
}

void TestExchangeWindow::open(const QString &file)
{
    if (file.isEmpty())
        w->show();
    else
        QVERIFY(OpenDictionaryEditor(*w, file));
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
}

void TestExchangeWindow::press(Qt::Key key)
{
    QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : w.get();
    QTest::keyClick(focus, key, Qt::ControlModifier | Qt::ShiftModifier);
}

// The export takes the open dictionary as it stands, a choice not yet saved
// included, and the format from the name's extension.
void TestExchangeWindow::exportWritesWhatTheWindowShows()
{
    const QString dict = path(QStringLiteral("shown.dic"));
    QVERIFY(writeFile(dict, dictionary));
    open(dict);
    QVERIFY(document->CommitChoice(1, QStringLiteral("打開")).Committed); // entry 1 is Open
    QVERIFY(document->Modified);

    // From the grid's context menu (the menu key opens it).
    const QString out = path(QStringLiteral("shown.po"));
    dialogs->answers = {out};
    QCOMPARE(w->SG->contextMenuPolicy(), Qt::ActionsContextMenu);
    const QList<QAction *> menu = w->SG->actions();
    const auto exportItem = std::find_if(menu.begin(), menu.end(), [](QAction *a) { return a->text().startsWith(QStringLiteral("匯出")); });
    QVERIFY(exportItem != menu.end());
    (*exportItem)->trigger();
    QCOMPARE(dialogs->shown.size(), 1);
    QCOMPARE(dialogs->shown[0].Title, QStringLiteral("匯出字典檔"));
    QCOMPARE(dialogs->shown[0].FileName, QStringLiteral("shown.tmx")); // offered after the dictionary
    const QByteArray po = readFile(out);
    QVERIFY2(po.contains("# 另譯：\"開啟\"\nmsgid \"Open\"\nmsgstr \"打開\"\n"), po.constData());
    QVERIFY2(po.contains("msgid \"Cut\"\nmsgstr \"\"\n"), po.constData());
    QCOMPARE(messages->messages.size(), 1);
    QCOMPARE(messages->messages[0].caption, QStringLiteral("匯出"));
    QVERIFY2(messages->messages[0].text.contains(QStringLiteral("2 個條目、3 個字串對匯出為 PO")), qPrintable(messages->messages[0].text));
    // Exporting is no save: the dictionary file and the flag stay.
    QCOMPARE(readFile(dict), dictionary);
    QVERIFY(document->Modified);

    // A failure says why and writes nothing; Ctrl+Shift+E anywhere in the window.
    dialogs->answers = {path(QStringLiteral("no such folder/x.tmx"))};
    press(Qt::Key_E);
    QCOMPARE(messages->messages.size(), 2);
    QVERIFY2(messages->messages[1].text.contains(QStringLiteral("資料夾不存在")), qPrintable(messages->messages[1].text));
}

void TestExchangeWindow::importMergesAndOpens()
{
    const QString dict = path(QStringLiteral("merged.dic"));
    QVERIFY(writeFile(dict, dictionary));
    open(dict);
    QVERIFY(document->CommitChoice(0, QStringLiteral("剪下")).Committed);
    const QString in = path(QStringLiteral("in.xlf"));
    QVERIFY(writeFile(in, "<xliff version=\"1.2\"><file><body>\n"
                          "<trans-unit id=\"1\"><source>Open</source><target>開新</target></trans-unit>\n"
                          "<trans-unit id=\"2\"><source>Paste</source><target>貼上</target></trans-unit>\n"
                          "</body></file></xliff>"));

    // Unsaved edits are asked about first; Cancel stops before any dialog.
    prompt->answer = 2;
    press(Qt::Key_I);
    QCOMPARE(prompt->asked.size(), 1);
    QVERIFY(dialogs->shown.isEmpty());
    QCOMPARE(readFile(dict), dictionary);

    // Yes saves, then the file chosen is merged and the dictionary opened again.
    prompt->answer = 0;
    dialogs->answers = {in};
    press(Qt::Key_I);
    QCOMPARE(dialogs->shown.size(), 1);
    QCOMPARE(dialogs->shown[0].Title, QStringLiteral("匯入到字典檔"));
    const QByteArray saved = "Cut\r\n" + big5("剪下") + "\r\nOpen\r\n" + big5("開啟") + "\r\n";
    QCOMPARE(readFile(dict), saved + "Open\r\n" + big5("開新") + "\r\nPaste\r\n" + big5("貼上") + "\r\n");
    QCOMPARE(messages->messages.size(), 1);
    QCOMPARE(messages->messages[0].caption, QStringLiteral("匯入"));
    QVERIFY2(messages->messages[0].text.contains(QStringLiteral("讀入 2 個字串對，寫入 2 個，拒絕 0 個。")), qPrintable(messages->messages[0].text));
    QCOMPARE(document->Tables.LastEntry, 2);
    const DS &open = document->Tables.EntryTable[1];
    QCOMPARE(open.Source.str(), std::string("Open"));
    QCOMPARE(open.ChosenTranslation().str(), big5("開啟").toStdString()); // the dictionary's choice stays
    QCOMPARE(open.LastTranslation, 1);
    QVERIFY(!document->Modified);
}

void TestExchangeWindow::importWithoutADictionaryMakesOne()
{
    open(QString());
    const QString in = path(QStringLiteral("memory.tmx"));
    QVERIFY(writeFile(in, "<tmx version=\"1.4\"><header srclang=\"en-US\"/><body>"
                          "<tu><tuv xml:lang=\"en-US\"><seg>Help</seg></tuv><tuv xml:lang=\"zh-TW\"><seg>說明</seg></tuv></tu>"
                          "</body></tmx>"));
    const QString made = path(QStringLiteral("made.dic"));
    dialogs->answers = {in, made};
    press(Qt::Key_I);
    QCOMPARE(dialogs->shown.size(), 2);
    QCOMPARE(dialogs->shown[1].FileName, QStringLiteral("memory.") + RegDat.DicExt);
    QCOMPARE(readFile(made), "Help\r\n" + big5("說明") + "\r\n");
    QCOMPARE(document->DictionaryFileName, made);
    QCOMPARE(document->Tables.LastEntry, 0);
}

void TestExchangeWindow::refusedImportChangesNothing()
{
    const QString dict = path(QStringLiteral("kept.dic"));
    QVERIFY(writeFile(dict, dictionary));
    open(dict);
    const QString in = path(QStringLiteral("emoji.csv"));
    QVERIFY(writeFile(in, "source,target\nok,好\nSmile,😀\n"));
    // The window offers the stand-ins; No leaves everything as it was.
    messages->questionAnswer = false;
    dialogs->answers = {in};
    press(Qt::Key_I);
    QCOMPARE(messages->messages.size(), 1);
    QCOMPARE(messages->messages[0].kind, QStringLiteral("question"));
    const QString text = messages->messages[0].text;
    QVERIFY2(text.contains(QStringLiteral("第 3 行：「😀」（U+1F600）無法以 Big5")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("沒有寫入任何字串對")), qPrintable(text));
    QCOMPARE(readFile(dict), dictionary);
    QCOMPARE(document->Tables.LastEntry, 1);

    // Hundreds of refusals: the box shows the first of them and the count.
    QByteArray many = "source,target\n";
    for (int k = 0; k < 300; ++k)
        many += "Smile " + QByteArray::number(k) + ",😀\n";
    QVERIFY(writeFile(in, many));
    dialogs->answers = {in};
    press(Qt::Key_I);
    QCOMPARE(messages->messages.size(), 2);
    const QStringList lines = messages->messages[1].text.split(QLatin1Char('\n'));
    QVERIFY2(lines.size() <= 24, qPrintable(messages->messages[1].text));
    QVERIFY(lines.contains(QStringLiteral("……（還有 281 行）")));
    QVERIFY(lines.contains(QStringLiteral("有 300 個字串對無法放進字典檔，沒有寫入任何字串對。")));
    QCOMPARE(readFile(dict), dictionary);

    // Yes: written with a user-defined code, and the dictionary opened again.
    messages->questionAnswer = true;
    dialogs->answers = {in};
    press(Qt::Key_I);
    QCOMPARE(messages->messages.size(), 4);
    QVERIFY2(messages->messages[3].text.contains(QStringLiteral("寫入 300 個")), qPrintable(messages->messages[3].text));
    QVERIFY2(messages->messages[3].text.contains(QStringLiteral("「😀」（U+1F600）寫成 Big5 造字區的代碼 0x")), qPrintable(messages->messages[3].text));
    QVERIFY(readFile(dict).startsWith(dictionary));
    QCOMPARE(document->Tables.LastEntry, 301);
}

QTEST_MAIN(TestExchangeWindow)
#include "test_exchange_window.moc"
