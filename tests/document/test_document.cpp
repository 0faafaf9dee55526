// The dictionary document on its own, without a screen or a window: the
// rules of Modified, the choice box's pending text, the guard before a
// command replaces or leaves the dictionary, the one busy state and the end
// of the program.

#include "document/document.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

// Answers the document's questions as the test says and records them.
class Answers final : public DocumentQuestions, public DocumentProgress {
public:
    SaveChoice AskToSave(const QString &line1, const QString &line2) override
    {
        asked << line1 + QLatin1Char('|') + line2;
        return answer;
    }
    QString ChooseSaveFile() override
    {
        ++saveDialogs;
        return saveFile;
    }
    void ReportError(const QString &text) override { errors << text; }
    void Tell(const QString &text, const QString &) override { told << text; }
    bool Confirm(const QString &text, const QString &) override
    {
        confirms << text;
        return confirmAnswer;
    }
    void SetText(const QString &text) override
    {
        texts << text;
        if (duringWork)
            std::exchange(duringWork, {})();
    }
    void SetPosition(int) override {}
    void ProcessEvents() override {}
    void Show() override {}
    void ShowPainted(const QString &text) override { SetText(text); }
    void Close() override {}

    SaveChoice answer = SaveChoice::Cancel;
    bool confirmAnswer = false;
    QString saveFile;
    QStringList asked, errors, told, texts, confirms;
    int saveDialogs = 0;
    // Runs once, inside the next load or save: the user acting meanwhile.
    std::function<void()> duringWork;
};

class Watch final : public ExtractionWatch {
public:
    bool Writes(const QString &path) const override { return path == writing; }
    void Wait(const QString &) override
    {
        ++waits;
        if (whileWaiting)
            whileWaiting();
        writing.clear();
    }
    void StopWaiting() override { ++stops; }

    QString writing;
    int waits = 0, stops = 0;
    std::function<void()> whileWaiting;
};

} // namespace

class TestDocument : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void commitsSetModifiedOnlyWhenTheEntryChanges();
    void textsOutsideBig5StayPending();
    void guardCommitsWhatIsPendingThenAsks();
    void openSaveAndSaveAsKeepWhatTheUserHas();
    void saveLeavesThePendingTextInTheBox();
    void fileThatIsNoDictionaryIsTakenOnlyWhenConfirmed();
    void nothingStartsWhileTheDocumentIsBusy();
    void openingWaitsForAnExtractionStillWritingTheFile();
    void theEndWaitsUntilTheDocumentIsFree();
    void undoAndRedoRestoreEntriesAndFollowTheFile();
    void undoTakesBackThePendingTextAndALoadForgets();

private:
    QString write(const QString &name, const QByteArray &bytes);
    QByteArray read(const QString &path) const;

    QTemporaryDir dir;
    std::unique_ptr<DictionaryDocument> doc;
    std::unique_ptr<Answers> answers;
    std::unique_ptr<Watch> watch;
};

void TestDocument::init()
{
    QVERIFY(dir.isValid());
    doc = std::make_unique<DictionaryDocument>();
    answers = std::make_unique<Answers>();
    watch = std::make_unique<Watch>();
    doc->SetQuestions(answers.get());
    doc->SetProgress(answers.get());
    doc->SetExtractionWatch(watch.get());
}

void TestDocument::cleanup()
{
    doc.reset();
    answers.reset();
    watch.reset();
}

QString TestDocument::write(const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

QByteArray TestDocument::read(const QString &path) const
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestDocument::commitsSetModifiedOnlyWhenTheEntryChanges()
{
    QVERIFY(doc->Open(write(QStringLiteral("d.txt"), "a\r\nA\r\nx\r\n1\r\nx\r\n2\r\n"), false));
    QVERIFY(!doc->Modified);
    // A commit that changes nothing leaves Modified as it was, false or true.
    QVERIFY(doc->CommitChoice(1, QStringLiteral("1")).Committed);
    QVERIFY(!doc->Modified);
    QVERIFY(doc->Tables.EntryTable[1].Reviewed);
    doc->Modified = true;
    QVERIFY(doc->CommitChoice(0, QStringLiteral("A")).Committed);
    QVERIFY(doc->Modified);

    // Another alternative, then the first one again: still unsaved.
    doc->Modified = false;
    doc->CommitChoice(1, QStringLiteral("2"));
    QCOMPARE(doc->Tables.EntryTable[1].Chosen, 1);
    QVERIFY(doc->Modified);
    doc->CommitChoice(1, QStringLiteral("1"));
    QCOMPARE(doc->Tables.EntryTable[1].Chosen, 0);
    QVERIFY(doc->Modified);

    // A typed text becomes a new alternative; letter case counts.
    doc->Modified = false;
    doc->CommitChoice(0, QStringLiteral("a"));
    QCOMPARE(doc->Tables.EntryTable[0].LastTranslation, 1);
    QCOMPARE(doc->Tables.EntryTable[0].Chosen, 1);
    QVERIFY(doc->Modified);
}

void TestDocument::textsOutsideBig5StayPending()
{
    QVERIFY(doc->Open(write(QStringLiteral("d.txt"), "a\r\nA\r\n"), false));
    QList<ChoiceCommit> refused;
    connect(doc.get(), &DictionaryDocument::ChoiceRefused, this,
            [&](std::int32_t, const ChoiceCommit &r) { refused << r; });
    doc->SetPendingChoice(0, QStringLiteral("caf\u00E9 \U0001F600!"));
    QVERIFY(!doc->CommitPendingChoice());
    QCOMPARE(refused.size(), qsizetype(1));
    // The span runs from the first to the last character Big5 cannot hold.
    QCOMPARE(refused.first().BadStart, qsizetype(3));
    QCOMPARE(refused.first().BadLength, qsizetype(4));
    QCOMPARE(refused.first().BadCharacters, QStringLiteral("\u00E9\U0001F600"));
    QVERIFY(doc->Pending());
    QCOMPARE(doc->Tables.EntryTable[0].LastTranslation, 0);
    QVERIFY(!doc->Tables.EntryTable[0].Reviewed);
    QVERIFY(!doc->Modified);
    QVERIFY(DictionaryDocument::UnencodableMessage(QStringLiteral("\u00E9")).contains(QStringLiteral("這個字")));
    QVERIFY(DictionaryDocument::UnencodableMessage(QStringLiteral("\u00E9\u00FC")).contains(QStringLiteral("這些字")));
}

void TestDocument::guardCommitsWhatIsPendingThenAsks()
{
    const QString path = write(QStringLiteral("d.txt"), "a\r\nA\r\n");
    QVERIFY(doc->Open(path, false));
    // Nothing pending, nothing changed: no question.
    QVERIFY(doc->AskToSave());
    QVERIFY(answers->asked.isEmpty());

    // The pending text becomes an edit first; Cancel stops the command.
    doc->SetPendingChoice(0, QStringLiteral("甲"));
    answers->answer = SaveChoice::Cancel;
    QVERIFY(!doc->AskToSave());
    QCOMPARE(answers->asked, QStringList{QStringLiteral("檔案 ") + path + QStringLiteral(" 的內文已經變更。|要儲存檔案?")});
    QVERIFY(!doc->Pending());
    QVERIFY(doc->Modified);
    QCOMPARE(doc->Tables.EntryTable[0].ChosenTranslation(), std::string("\xA5\xD2"));

    answers->answer = SaveChoice::No;
    QVERIFY(doc->AskToSave());
    QVERIFY(doc->Modified);
    QCOMPARE(read(path), QByteArray("a\r\nA\r\n"));
    answers->answer = SaveChoice::Yes;
    QVERIFY(doc->AskToSave());
    QVERIFY(!doc->Modified);
    QCOMPARE(read(path), QByteArray("a\r\n\xA5\xD2\r\n"));

    // A refused text stops the guard before anything is asked.
    answers->asked.clear();
    doc->SetPendingChoice(0, QStringLiteral("\u00E9"));
    QVERIFY(!doc->AskToSave());
    QVERIFY(answers->asked.isEmpty());
}

void TestDocument::openSaveAndSaveAsKeepWhatTheUserHas()
{
    const QString path = write(QStringLiteral("d.txt"), "b\r\nB\r\na\r\nA\r\n");
    QVERIFY(doc->Open(path, false));
    doc->CommitChoice(0, QStringLiteral("甲"));

    // A failed open keeps the dictionary, its name and its edits.
    QVERIFY(!doc->Open(dir.filePath(QStringLiteral("missing.txt")), false));
    QCOMPARE(answers->errors.size(), qsizetype(1));
    QCOMPARE(doc->DictionaryFileName, path);
    QVERIFY(doc->Modified);
    QCOMPARE(doc->Tables.LastEntry, 1);

    // A failed Save As goes back to the old name; nothing is marked saved.
    QVERIFY(!doc->SaveAs(dir.filePath(QStringLiteral("gone/d.txt"))));
    QCOMPARE(doc->DictionaryFileName, path);
    QVERIFY(doc->Modified);
    QCOMPARE(answers->errors.size(), qsizetype(2));
    const QString copy = dir.filePath(QStringLiteral("copy.txt"));
    QVERIFY(doc->SaveAs(copy));
    QCOMPARE(doc->DictionaryFileName, copy);
    QCOMPARE(read(copy), QByteArray("a\r\n\xA5\xD2\r\nb\r\nB\r\n"));
    QVERIFY(!doc->Modified);

    // Save with no file yet asks where; cancelled, the edits stay unsaved.
    DictionaryDocument fresh;
    fresh.SetQuestions(answers.get());
    fresh.Modified = true;
    QVERIFY(!fresh.Save());
    QCOMPARE(answers->saveDialogs, 1);
    QVERIFY(fresh.Modified);
    QVERIFY(fresh.DictionaryFileName.isEmpty());
}

void TestDocument::saveLeavesThePendingTextInTheBox()
{
    const QString path = write(QStringLiteral("d.txt"), "a\r\nA\r\n");
    QVERIFY(doc->Open(path, false));
    doc->Modified = true;
    doc->SetPendingChoice(0, QStringLiteral("甲"));
    QVERIFY(doc->Save());
    QCOMPARE(read(path), QByteArray("a\r\nA\r\n"));
    QVERIFY(doc->Pending());
    QCOMPARE(doc->Pending()->Entry, 0);
    QCOMPARE(doc->Pending()->Text, QStringLiteral("甲"));
    QVERIFY(answers->texts.contains(QStringLiteral("儲存檔案中，請稍候...")));
}

// A resource script opened by mistake: declined, nothing changes; taken, the
// first save over it asks once more, and a No leaves the script as it was.
void TestDocument::fileThatIsNoDictionaryIsTakenOnlyWhenConfirmed()
{
    const QString dictionary = write(QStringLiteral("d.txt"), "a\r\nA\r\n");
    const QByteArray script("#include \"resource.h\"\r\nIDR_MENU MENU\r\nBEGIN\r\n"
                            "    MENUITEM \"E&xit\", ID_EXIT\r\nEND\r\n");
    const QString rc = write(QStringLiteral("en.rc"), script);
    QVERIFY(doc->Open(dictionary, false));
    QVERIFY(answers->confirms.isEmpty());

    answers->confirmAnswer = false;
    QVERIFY(!doc->Open(rc, false));
    QCOMPARE(answers->confirms.size(), qsizetype(1));
    QVERIFY(answers->confirms.first().contains(rc));
    QVERIFY(answers->confirms.first().contains(QStringLiteral("資源檔")));
    QCOMPARE(doc->DictionaryFileName, dictionary);
    QCOMPARE(doc->Tables.LastEntry, 0);
    QVERIFY(answers->errors.isEmpty());

    answers->confirmAnswer = true;
    QVERIFY(doc->Open(rc, false));
    QCOMPARE(doc->DictionaryFileName, rc);
    answers->confirmAnswer = false;
    QVERIFY(!doc->Save());
    QCOMPARE(answers->confirms.size(), qsizetype(3));
    QCOMPARE(read(rc), script);
    QVERIFY(answers->errors.isEmpty());
    // Saved elsewhere, no question; saved over it once confirmed, no more.
    QVERIFY(doc->SaveAs(dir.filePath(QStringLiteral("pairs.txt"))));
    QCOMPARE(answers->confirms.size(), qsizetype(3));
    answers->confirmAnswer = true;
    QVERIFY(doc->SaveAs(rc));
    QVERIFY(doc->Save());
    QCOMPARE(answers->confirms.size(), qsizetype(4));
    QVERIFY(read(rc) != script);
}

void TestDocument::nothingStartsWhileTheDocumentIsBusy()
{
    const QString first = write(QStringLiteral("first.txt"), "a\r\nA\r\n");
    const QString second = write(QStringLiteral("second.txt"), "z\r\nZ\r\nzz\r\nZZ\r\n");
    QList<DocumentBusy> states;
    connect(doc.get(), &DictionaryDocument::BusyChanged, this, [&](DocumentBusy b) { states << b; });
    bool others[5] = {};
    answers->duringWork = [&] {
        others[0] = doc->Open(second, false);
        others[1] = doc->Save();
        others[2] = doc->AskToSave();
        others[3] = doc->WaitUntilWritten(second);
        others[4] = doc->Available();
    };
    QVERIFY(doc->Open(first, false));
    for (bool started : others)
        QVERIFY(!started);
    QCOMPARE(answers->told.size(), qsizetype(5));
    QCOMPARE(answers->told.first(), DictionaryDocument::BusyMessage(DocumentBusy::Loading));
    // The tables and the name are those of the one load that ran.
    QCOMPARE(doc->DictionaryFileName, first);
    QCOMPARE(doc->Tables.LastEntry, 0);
    QCOMPARE(states, (QList<DocumentBusy>{DocumentBusy::Loading, DocumentBusy::None}));

    // The same while a save writes.
    answers->told.clear();
    answers->duringWork = [&] { others[0] = doc->Open(second, false); };
    QVERIFY(doc->Save());
    QVERIFY(!others[0]);
    QCOMPARE(answers->told, QStringList{DictionaryDocument::BusyMessage(DocumentBusy::Saving)});
    QCOMPARE(doc->DictionaryFileName, first);
    QCOMPARE(doc->Busy(), DocumentBusy::None);
}

void TestDocument::openingWaitsForAnExtractionStillWritingTheFile()
{
    const QString path = write(QStringLiteral("growing.txt"), "a\r\n");
    watch->writing = path;
    DocumentBusy during = DocumentBusy::None;
    watch->whileWaiting = [&] {
        during = doc->Busy();
        write(QStringLiteral("growing.txt"), "a\r\nA\r\nb\r\nB\r\n");
    };
    QVERIFY(doc->Open(path, false));
    QCOMPARE(watch->waits, 1);
    QCOMPARE(during, DocumentBusy::WaitingForExtraction);
    QCOMPARE(doc->Tables.LastEntry, 1); // the whole dictionary
}

void TestDocument::theEndWaitsUntilTheDocumentIsFree()
{
    const QString path = write(QStringLiteral("d.txt"), "a\r\nA\r\n");
    int ended = 0;
    // Not busy: the end runs at once.
    doc->RequestEnd([&] { ++ended; });
    QCOMPARE(ended, 1);
    QVERIFY(doc->Ending());
    doc->CancelEnd();
    QVERIFY(!doc->Ending());

    // During a load: once the load has returned, and nothing else opens meanwhile.
    answers->duringWork = [&] { doc->RequestEnd([&] { ++ended; }); };
    QVERIFY(doc->Open(path, false));
    QCOMPARE(ended, 1);
    QTRY_COMPARE(ended, 2);
    QVERIFY(!doc->Open(path, false));
    doc->CancelEnd();

    // During the wait for an extraction: the wait is stopped, the file not opened.
    watch->writing = path;
    watch->whileWaiting = [&] { doc->RequestEnd([&] { ++ended; }); };
    doc->Modified = true;
    QVERIFY(!doc->Open(path, false));
    QCOMPARE(watch->stops, 1);
    QVERIFY(doc->Modified);
    QTRY_COMPARE(ended, 3);
}

void TestDocument::undoAndRedoRestoreEntriesAndFollowTheFile()
{
    const QString path = write(QStringLiteral("d.txt"), "a\r\nA\r\nx\r\n1\r\nx\r\n2\r\n");
    QVERIFY(doc->Open(path, false));
    QList<std::int32_t> restored;
    connect(doc.get(), &DictionaryDocument::EntryRestored, this, [&](std::int32_t e) { restored << e; });
    const DS &a = doc->Tables.EntryTable[0];
    const DS &x = doc->Tables.EntryTable[1];

    doc->CommitChoice(1, QStringLiteral("2"));
    doc->CommitChoice(0, QStringLiteral("甲"));
    // Committing what is chosen already changes nothing there is to undo.
    doc->CommitChoice(0, QStringLiteral("甲"));

    // The typed text's slot goes with its undo.
    QCOMPARE(doc->Undo(), 0);
    QCOMPARE(a.LastTranslation, 0);
    QCOMPARE(a.Translations.size(), std::size_t(1));
    QCOMPARE(a.Chosen, 0);
    QVERIFY(!a.Reviewed);
    QVERIFY(doc->Modified); // x still differs from the file
    // Back where the load left the tables: nothing is unsaved any more.
    QCOMPARE(doc->Undo(), 1);
    QCOMPARE(x.Chosen, 0);
    QVERIFY(!doc->Modified);
    QCOMPARE(doc->Undo(), -1);
    QCOMPARE(restored, (QList<std::int32_t>{0, 1}));

    // A redo away from the file's state is unsaved again.
    QCOMPARE(doc->Redo(), 1);
    QVERIFY(doc->Modified);
    QCOMPARE(doc->Redo(), 0);
    QCOMPARE(a.LastTranslation, 1);
    QCOMPARE(a.ChosenTranslation(), std::string("\xA5\xD2"));
    QCOMPARE(doc->Redo(), -1);

    // After a save, that state is the one undo comes back to.
    QVERIFY(doc->Save());
    doc->Undo();
    QVERIFY(doc->Modified);
    doc->Redo();
    QVERIFY(!doc->Modified);

    // A new commit after an undo drops the redo and with it the way back
    // to the saved state.
    doc->Undo();
    doc->CommitChoice(0, QStringLiteral("乙"));
    QVERIFY(!doc->CanRedo());
    while (doc->Undo() >= 0) {
    }
    QVERIFY(doc->Modified);
    QCOMPARE(read(path), QByteArray("a\r\n\xA5\xD2\r\nx\r\n2\r\n"));
}

void TestDocument::undoTakesBackThePendingTextAndALoadForgets()
{
    const QString path = write(QStringLiteral("d.txt"), "a\r\nA\r\nx\r\n1\r\nx\r\n2\r\n");
    QVERIFY(doc->Open(path, false));
    doc->CommitChoice(1, QStringLiteral("2"));
    // The text waiting in the choice box is what the user did last.
    doc->SetPendingChoice(0, QStringLiteral("甲"));
    QCOMPARE(doc->Undo(), 0);
    QVERIFY(!doc->Pending());
    QCOMPARE(doc->Tables.EntryTable[0].LastTranslation, 0);
    QCOMPARE(doc->Tables.EntryTable[1].Chosen, 1);
    QCOMPARE(doc->Redo(), 0);
    QCOMPARE(doc->Tables.EntryTable[0].ChosenTranslation(), std::string("\xA5\xD2"));

    // A refused pending text stops the undo; nothing is taken back.
    doc->SetPendingChoice(0, QStringLiteral("\u00E9"));
    QCOMPARE(doc->Undo(), -1);
    QCOMPARE(doc->Tables.EntryTable[0].LastTranslation, 1);
    doc->ClearPendingChoice();

    // A load starts a new history: the old steps would change the new entries.
    QVERIFY(doc->Open(path, false));
    QVERIFY(!doc->CanUndo());
    QCOMPARE(doc->Undo(), -1);
    QCOMPARE(doc->Tables.EntryTable[1].Chosen, 0);
}

QTEST_GUILESS_MAIN(TestDocument)
#include "test_document.moc"
