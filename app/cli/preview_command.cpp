#include "app/cli/commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>

// `preview` paints, which needs Qt Gui; the command line loads Qt Core only.
// So the pictures are made by the program tavisorn-preview, installed beside
// tavisorn-cli, which gets the arguments as they came and whose output and
// exit status are the command's own.

int runPreview(const CliArgs &args)
{
    const QString name = QStringLiteral("tavisorn-preview");
    QString program = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    if (!QFileInfo(program).isExecutable())
        program = QStandardPaths::findExecutable(name);
    if (program.isEmpty()) {
        std::fprintf(stderr, "tavisorn-cli：找不到畫圖的程式 tavisorn-preview（應與 tavisorn-cli 裝在同一個資料夾）。\n");
        return CliFailed;
    }
    QStringList arguments;
    for (const std::string &a : args)
        arguments << QFile::decodeName(QByteArray(a.data(), qsizetype(a.size())));
    std::fflush(stdout);
    QProcess painter;
    painter.setProcessChannelMode(QProcess::ForwardedChannels);
    painter.setInputChannelMode(QProcess::ForwardedInputChannel);
    painter.start(program, arguments);
    if (!painter.waitForStarted(-1)) {
        std::fprintf(stderr, "tavisorn-cli：無法執行 %s：%s\n", QFile::encodeName(program).constData(),
                     painter.errorString().toUtf8().constData());
        return CliFailed;
    }
    painter.waitForFinished(-1);
    if (painter.exitStatus() != QProcess::NormalExit) {
        std::fprintf(stderr, "tavisorn-cli：tavisorn-preview 異常結束。\n");
        return CliFailed;
    }
    return painter.exitCode();
}
