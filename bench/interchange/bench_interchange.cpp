// Times export and import of each format on a dictionary of 200,000 pairs
// (about 12 MB, every source distinct, texts that need quoting), against
// the load and save of the same dictionary (what normalize does), run in
// turn so that both see the same machine; each figure is the median of
// five rounds' ratios, with the milliseconds of the last round.

#include "interchange/exchange.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kPairs = 200000;
constexpr int kRounds = 5;

std::string dictionaryBytes()
{
    const char *const words[] = {"\xB6\x7D\xB1\xD2", "\xC0\xC9\xAE\xD7", "\xBD\x73\xBF\xE8", "\xBB\xA1\xA9\xFA", "\xBD\xC6\xBB\x73"};
    std::mt19937 random(1);
    std::string out;
    for (int i = 0; i < kPairs; ++i) {
        out += "Item " + std::to_string(i) + " of the \"menu\", & more <" + std::to_string(i % 97) + ">\r\n";
        for (int w = 0; w < 3; ++w)
            out += words[random() % 5];
        out += " " + std::to_string(i) + "\r\n";
    }
    return out;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString dict = dir.filePath(QStringLiteral("big.dic"));
    {
        QFile f(dict);
        const std::string bytes = dictionaryBytes();
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
            return 1;
    }
    std::printf("%d pairs; export and import as multiples of one load and save (median of %d rounds)\n", kPairs, kRounds);
    std::printf("%-10s %8s %10s %8s %10s %10s\n", "format", "export", "ms", "import", "ms", "file MB");
    for (const ExchangeFormat format : {ExchangeFormat::Tmx, ExchangeFormat::Po, ExchangeFormat::Xliff, ExchangeFormat::Csv}) {
        std::vector<double> exports, imports;
        qint64 exportMs = 0, importMs = 0, size = 0;
        const QString out = dir.filePath(QStringLiteral("out.") + ExchangeFormatExtension(format));
        const QString back = dir.filePath(QStringLiteral("back.dic"));
        for (int round = 0; round < kRounds; ++round) {
            QElapsedTimer t;
            t.start();
            DictionaryTables tables;
            SilentLoadProgress silent;
            if (!LoadDictionary(dict, tables, silent).ok || !SaveDictionary(dir.filePath(QStringLiteral("n.dic")), tables).ok)
                return 1;
            const double normalize = double(std::max<qint64>(t.nsecsElapsed(), 1));

            t.restart();
            DictionaryTables loaded;
            if (!LoadDictionary(dict, loaded, silent).ok || !ExportExchange(ExchangeEntries(loaded), format, out, ExportOptions()).ok)
                return 1;
            exportMs = t.elapsed();
            exports.push_back(double(t.nsecsElapsed()) / normalize);

            QFile::remove(back);
            t.restart();
            if (!ImportExchange(out, format, back, ImportOptions()).Ok)
                return 1;
            importMs = t.elapsed();
            imports.push_back(double(t.nsecsElapsed()) / normalize);
            size = QFile(out).size();
        }
        std::printf("%-10s %7.1fx %10lld %7.1fx %10lld %10.1f\n", qPrintable(ExchangeFormatLabel(format)), median(exports),
                    exportMs, median(imports), importMs, double(size) / 1e6);
    }
    return 0;
}
