// The maintenance window on a real X display, with a window manager and
// without one (run by on-display.sh): full-screen mode puts the frame back
// where it was, and the window returned to after a dialog, a message box or
// the find dialog has the keyboard again.

#include "app/program.h"
#include "editor/opendictionaryeditor.h"
#include "editor/tdict2.h"
#include "platform/finddialog.h"
#include "platform/messages.h"
#include "settings/settings.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include <xcb/xcb.h>

namespace {

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, false, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return a;
}

// Waits until the window manager has handled everything asked of it for the
// window so far: it handles requests in turn, and shows that it handled a
// change of the window's states (here one that no window of the program
// uses: left out of pagers) by rewriting the window's _NET_WM_STATE.
bool windowManagerCaughtUp(QWidget *window)
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return false;
    xcb_connection_t *c = x11->connection();
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t states = atom(c, "_NET_WM_STATE");
    const xcb_atom_t skipPager = atom(c, "_NET_WM_STATE_SKIP_PAGER");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto hasState = [&] {
        bool found = false;
        xcb_get_property_reply_t *reply =
            xcb_get_property_reply(c, xcb_get_property(c, false, id, states, XCB_ATOM_ATOM, 0, 64), nullptr);
        if (reply) {
            const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
            for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
                found = found || atoms[i] == skipPager;
        }
        free(reply);
        return found;
    };
    const auto ask = [&](bool add) {
        xcb_client_message_event_t request{};
        request.response_type = XCB_CLIENT_MESSAGE;
        request.format = 32;
        request.window = id;
        request.type = states;
        request.data.data32[0] = add ? 1 : 0;
        request.data.data32[1] = skipPager;
        request.data.data32[3] = 1; // from an application
        xcb_send_event(c, false, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&request));
        xcb_flush(c);
    };
    ask(true);
    if (!QTest::qWaitFor(hasState))
        return false;
    ask(false);
    return QTest::qWaitFor([&] { return !hasState(); });
}

// Acts on the next window of type T once it is on the screen and has the
// keyboard (or after two seconds without it), outside the tick that found it.
template <class T>
void whenShown(std::function<void(T *)> act, bool *hadKeyboard = nullptr)
{
    auto *timer = new QTimer(qApp);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, ticks, act, hadKeyboard] {
        ++*ticks;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<T *>(top);
            if (!window || !window->isVisible() || (!window->isActiveWindow() && *ticks < 100))
                continue;
            if (hadKeyboard)
                *hadKeyboard = window->isActiveWindow();
            timer->stop();
            timer->deleteLater();
            QTimer::singleShot(0, window, [window, act] { act(window); });
            return;
        }
    });
    timer->start(20);
}

// True once the window manager has put the window into a frame of its own.
// (Qt's frame geometry is no witness: it may have measured the frame
// before the window manager placed it, and then keeps a frame of nothing.)
bool framed(QWidget *window)
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11->connection();
    xcb_query_tree_reply_t *r = xcb_query_tree_reply(c, xcb_query_tree(c, xcb_window_t(window->winId())), nullptr);
    const bool reparented = r && r->parent != r->root;
    free(r);
    return reparented;
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void fullScreenPutsTheFrameBack();
    void theWindowReturnedToHasTheKeyboard();
    void closedInFullScreenOpensFramed();
    void typingAfterASearchLandsInTheBox();

private:
    QTemporaryDir dir;
    bool managed = false;
    std::unique_ptr<Program> program;
    TDict2 *w = nullptr;
};

void TestDesktop::initTestCase()
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        QSKIP("needs an X display; run through on-display.sh");
    managed = qEnvironmentVariable("TAVISORN_WINDOW_MANAGER") != QStringLiteral("none");
    QVERIFY(dir.isValid());
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    program = CreateProgram();
    w = program->Dict2;

    const QString path = dir.filePath(QStringLiteral("d.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("apple\r\nA\r\nberry\r\nB\r\n");
    file.close();
    QVERIFY(OpenDictionaryEditor(*w, path));
    QVERIFY(QTest::qWaitForWindowExposed(w));
    if (managed) {
        // A loaded machine may take a while to frame the first window.
        QVERIFY(windowManagerCaughtUp(w));
        QTRY_VERIFY_WITH_TIMEOUT(framed(w), 20000);
    }
    QTRY_VERIFY_WITH_TIMEOUT(w->isActiveWindow(), 20000);
}

void TestDesktop::cleanupTestCase()
{
    program.reset();
}

void TestDesktop::fullScreenPutsTheFrameBack()
{
    // Qt may not know the first frame yet (see framed()); it knows it once
    // the window has been framed again, so the frame of the first trip is
    // what the later ones must keep.
    const QRect client = w->geometry();
    QRect frame;
    for (int trip = 1; trip <= 4; ++trip) {
        w->FullClick();
        QTRY_COMPARE(w->geometry(), w->screen()->geometry());
        w->FullClick();
        // What the window shows once the window manager has done its part.
        if (managed)
            QVERIFY(windowManagerCaughtUp(w));
        QTRY_COMPARE(w->geometry(), client);
        if (managed) // Qt knows the frame again once it has measured one
            QTRY_VERIFY_WITH_TIMEOUT(w->frameGeometry().top() < w->geometry().top(), 20000);
        if (trip == 1)
            frame = w->frameGeometry();
        QTRY_COMPARE(w->frameGeometry(), frame);
    }
    QTRY_VERIFY(w->isActiveWindow());
}

void TestDesktop::theWindowReturnedToHasTheKeyboard()
{
    bool dialogHadKeyboard = false;
    whenShown<QMessageBox>([](QMessageBox *box) { box->accept(); }, &dialogHadKeyboard);
    messageBoxes().message(w, QStringLiteral("訊息"), QStringLiteral("字典檔維護"));
    QVERIFY(dialogHadKeyboard);
    QTRY_VERIFY(w->isActiveWindow());

    dialogHadKeyboard = false;
    whenShown<QFileDialog>([](QFileDialog *dialog) { dialog->reject(); }, &dialogHadKeyboard);
    w->OpenBtnClick();
    QVERIFY(dialogHadKeyboard);
    QTRY_VERIFY(w->isActiveWindow());

    w->EFindClick();
    QTRY_VERIFY(w->FD->isActiveWindow());
    w->FD->close();
    QTRY_VERIFY(w->isActiveWindow());
}

void TestDesktop::closedInFullScreenOpensFramed()
{
    const QRect client = w->geometry();
    w->FullClick();
    QTRY_COMPARE(w->geometry(), w->screen()->geometry());
    QVERIFY(w->close());
    QVERIFY(!w->isVisible());

    QVERIFY(OpenDictionaryEditor(*w, dir.filePath(QStringLiteral("d.txt"))));
    QVERIFY(QTest::qWaitForWindowExposed(w));
    if (managed)
        QVERIFY(windowManagerCaughtUp(w));
    QVERIFY(!w->isFullScreen());
    QTRY_COMPARE(w->geometry(), client);
    if (managed) { // with its title bar again
        QTRY_VERIFY_WITH_TIMEOUT(framed(w), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(w->frameGeometry().top() < w->geometry().top(), 20000);
    }
    QTRY_VERIFY(w->isActiveWindow());
}

void TestDesktop::typingAfterASearchLandsInTheBox()
{
    // The find dialog closes on a hit; the grid, back with the keyboard,
    // hands the first key typed to the choice box on the hit's translation.
    w->EFindClick();
    QTRY_VERIFY(w->FD->isActiveWindow());
    w->FDFind(QStringLiteral("berr"), true);
    QTRY_VERIFY(w->isActiveWindow());
    QTRY_COMPARE(w->CurrentEntry, 1);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w->SG));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::NoModifier);
    QVERIFY(w->CB->lineEdit()->hasFocus());
    QCOMPARE(w->CB->currentText(), QStringLiteral("x"));
}

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
