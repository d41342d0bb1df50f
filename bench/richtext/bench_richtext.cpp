// Speed of the RTF engine: the tokenizer alone, reading into a QTextDocument, and writing, on the
// large justified document and on the corpus of real files.
#include "richtext/RichText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfTokenizer.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray &bigDocument()
{
    static const QByteArray bytes = readFile(QStringLiteral(QUILLO_SHARED_DIR "/bench/big-justified.rtf"));
    return bytes;
}

const QList<QByteArray> &corpus()
{
    static const QList<QByteArray> files = [] {
        QList<QByteArray> list;
        const QDir dir(QStringLiteral(QUILLO_SHARED_DIR "/rtf-corpus"));
        for (const QString &name : dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name))
            list << readFile(dir.filePath(name));
        return list;
    }();
    return files;
}

qint64 tokenize(const QByteArray &bytes)
{
    RtfTokenizer tokenizer(bytes);
    qint64 count = 0;
    for (auto token = tokenizer.next(); token.type != RtfTokenizer::Type::End; token = tokenizer.next())
        ++count;
    return count;
}

void BM_TokenizeBig(benchmark::State &state)
{
    const QByteArray &bytes = bigDocument();
    if (bytes.isEmpty()) {
        state.SkipWithError("big-justified.rtf is missing");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(tokenize(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_TokenizeBig)->Unit(benchmark::kMillisecond);

void BM_TokenizeCorpus(benchmark::State &state)
{
    qint64 size = 0;
    for (const QByteArray &file : corpus())
        size += file.size();
    for (auto _ : state)
        for (const QByteArray &file : corpus())
            benchmark::DoNotOptimize(tokenize(file));
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_TokenizeCorpus)->Unit(benchmark::kMillisecond);

void BM_ReadBig(benchmark::State &state)
{
    const QByteArray &bytes = bigDocument();
    if (bytes.isEmpty()) {
        state.SkipWithError("big-justified.rtf is missing");
        return;
    }
    for (auto _ : state) {
        QTextDocument document;
        RtfReader reader(&document);
        benchmark::DoNotOptimize(reader.read(bytes).ok);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ReadBig)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadCorpus(benchmark::State &state)
{
    qint64 size = 0;
    for (const QByteArray &file : corpus())
        size += file.size();
    for (auto _ : state) {
        for (const QByteArray &file : corpus()) {
            QTextDocument document;
            RtfReader reader(&document);
            benchmark::DoNotOptimize(reader.read(file).ok);
        }
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_ReadCorpus)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteBig(benchmark::State &state)
{
    const QByteArray &bytes = bigDocument();
    if (bytes.isEmpty()) {
        state.SkipWithError("big-justified.rtf is missing");
        return;
    }
    QTextDocument document;
    RichText::readRtf(bytes, &document);
    qint64 written = 0;
    for (auto _ : state) {
        const QByteArray out = RichText::writeRtf(&document);
        written += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(written);
}
BENCHMARK(BM_WriteBig)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteCorpus(benchmark::State &state)
{
    std::vector<std::unique_ptr<QTextDocument>> documents;
    for (const QByteArray &file : corpus()) {
        documents.push_back(std::make_unique<QTextDocument>());
        RichText::readRtf(file, documents.back().get());
    }
    qint64 written = 0;
    for (auto _ : state) {
        for (const auto &document : documents) {
            const QByteArray out = RichText::writeRtf(document.get());
            written += out.size();
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed(written);
}
BENCHMARK(BM_WriteCorpus)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
