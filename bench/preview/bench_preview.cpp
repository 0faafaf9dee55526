// Times the preview of each corpus Chinese script: reading and laying out
// its dialogs and menus, painting them, and encoding the PNG files (in
// memory); then the whole command, `tavisorn-cli preview`, on the largest
// script and on the one with the most pictures, programs started and files
// written included. Each figure is the best of five runs: the machine is
// shared.

#include "convert/rclayout.h"
#include "convert/rcpicture.h"
#include "platform/fonts.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

double bestOf(int runs, const std::function<void()> &work)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    InstallFontSubstitutions();
    const QDir corpus(QStringLiteral(TAVISORN_CORPUS_DIR));
    if (!corpus.exists()) {
        std::fprintf(stderr, "bench_preview: no corpus at %s (set TAVISORN_CORPUS_DIR)\n", TAVISORN_CORPUS_DIR);
        return 1;
    }
    QString largest, most;
    qint64 largestSize = 0;
    std::size_t mostPictures = 0;
    for (const QString &name : corpus.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = corpus.filePath(name + QStringLiteral("/zh-TW.rc"));
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const std::string bytes = f.readAll().toStdString();
        std::size_t pictures = 0;
        std::size_t pngBytes = 0;
        const double ms = bestOf(5, [&] {
            const LaidResources laid = LayOutResources(bytes);
            pictures = laid.Dialogs.size() + laid.Menus.size();
            pngBytes = 0;
            const auto encode = [&](const QImage &image) {
                QBuffer buffer;
                buffer.open(QIODevice::WriteOnly);
                image.save(&buffer, "PNG");
                pngBytes += std::size_t(buffer.size());
            };
            for (const LaidDialog &d : laid.Dialogs)
                encode(DrawDialog(d).Image);
            for (const LaidMenu &m : laid.Menus)
                encode(DrawMenu(m).Image);
        });
        std::printf("%-10s %6zu bytes  %2zu pictures  %7.1f ms  (%zu bytes of PNG)\n", qPrintable(name), bytes.size(),
                    pictures, ms, pngBytes);
        if (qint64(bytes.size()) > largestSize) {
            largestSize = qint64(bytes.size());
            largest = path;
        }
        if (pictures > mostPictures) {
            mostPictures = pictures;
            most = path;
        }
    }
    for (const QString &script : {largest, most}) {
        if (script.isEmpty())
            continue;
        QTemporaryDir out;
        const double ms = bestOf(5, [&] {
            QProcess cli;
            cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            cli.start(QStringLiteral(TAVISORN_CLI), {QStringLiteral("preview"), QStringLiteral("--rc"), script, out.path()});
            cli.waitForFinished(-1);
            cli.readAllStandardOutput();
        });
        std::printf("tavisorn-cli preview %s: %.1f ms\n", qPrintable(QDir(corpus).relativeFilePath(script)), ms);
    }
    return 0;
}
