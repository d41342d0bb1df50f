// Recipients from a spreadsheet: a 10,000-row semicolon CSV in Windows-1252, as a spreadsheet
// saves it, is read and mapped to card fields with its checks (goal: under 200 ms), then
// imported as 10,000 recipient cards into an empty card folder (goal: under 5 s).
#include "core/Cp1252.h"
#include "core/DataPaths.h"
#include "core/Folders.h"
#include "core/ProgramFolder.h"
#include "core/RecipientCards.h"
#include "core/RecipientFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 10000;

QByteArray spreadsheetCsv()
{
    QString text = u"Civilité;Prénom;Nom;Adresse;Adresse 2;Code postal;Ville;Pays;Fonction\r\n"_s;
    for (int i = 0; i < kRows; ++i) {
        text += u"%1;Hélène;Dupré n°%2;\"%3 rue de l'Église; escalier B\";Bâtiment C;%4;Besançon;France;"
                u"Directrice des ressources humaines\r\n"_s.arg(i % 2 ? u"M."_s : u"Mme"_s)
                    .arg(i)
                    .arg(i % 200 + 1)
                    .arg(10000 + i * 7 % 85000, 5, 10, QChar(u'0'));
    }
    return Cp1252::encode(text);
}

Recipients::Mapped readAndMap(const QByteArray &bytes)
{
    const RecipientTable table = RecipientFile::read(bytes);
    return Recipients::map(table, Recipients::guessMapping(table));
}

void BM_ReadAndMapCsv(benchmark::State &state)
{
    const QByteArray bytes = spreadsheetCsv();
    int kept = 0;
    for (auto _ : state) {
        const Recipients::Mapped mapped = readAndMap(bytes);
        kept = mapped.keptCount();
        benchmark::DoNotOptimize(kept);
    }
    if (kept != kRows)
        state.SkipWithError("every row must be kept");
    state.counters["rows"] = kept;
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(BM_ReadAndMapCsv)->Unit(benchmark::kMillisecond);

void BM_ImportAsCards(benchmark::State &state)
{
    const Recipients::Mapped mapped = readAndMap(spreadsheetCsv());
    int written = 0;
    std::optional<QTemporaryDir> root;
    for (auto _ : state) {
        state.PauseTiming();
        root.reset(); // removing the previous cards is not part of the import
        root.emplace();
        ProgramFolder::setOverride(root->path());
        Init_Dossiers();
        state.ResumeTiming();
        const RecipientCards::Result result =
            RecipientCards::importRows(mapped.rows, RecipientCards::ExistingCard::KeepBoth);
        state.PauseTiming();
        written = int(result.written.size());
        if (!result.ok() || QDir(DataPaths::recipientsFolder()).entryList(QDir::Files).size() != kRows)
            state.SkipWithError("every row must become a card");
        state.ResumeTiming();
    }
    root.reset();
    ProgramFolder::setOverride(QString());
    state.counters["cards"] = written;
}
BENCHMARK(BM_ImportAsCards)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
