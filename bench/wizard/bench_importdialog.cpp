// The mapping dialog of an import on a 10,000-row spreadsheet CSV of which one row in ten has no
// civility: opening it (reading, mapping, the preview, the flagged rows listed) and choosing
// another column (the rows mapped and shown again) must feel immediate, well under 300 ms.
#include "app/Translations.h"
#include "core/Cp1252.h"
#include "dialogs/FrmImport.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 10000;

QByteArray spreadsheetCsv()
{
    QString text = u"Civilité;Prénom;Nom;Adresse;Code postal;Ville;Fonction\r\n"_s;
    for (int i = 0; i < kRows; ++i) {
        text += u"%1;Hélène;Dupré n°%2;%3 rue de l'Église;%4;Besançon;Directrice\r\n"_s
                    .arg(i % 10 == 0 ? QString() : u"Mme"_s)
                    .arg(i)
                    .arg(i % 200 + 1)
                    .arg(10000 + i * 7 % 85000, 5, 10, QChar(u'0'));
    }
    return Cp1252::encode(text);
}

void BM_OpenMappingDialog(benchmark::State &state)
{
    const QByteArray bytes = spreadsheetCsv();
    int flagged = 0;
    for (auto _ : state) {
        FrmImport dialog(bytes, u"contacts.csv"_s);
        flagged = dialog.flaggedList->count();
    }
    if (flagged != kRows / 10)
        state.SkipWithError("one row in ten must be flagged");
    state.counters["flagged"] = flagged;
}
BENCHMARK(BM_OpenMappingDialog)->Unit(benchmark::kMillisecond);

void BM_ChooseAnotherColumn(benchmark::State &state)
{
    FrmImport dialog(spreadsheetCsv(), u"contacts.csv"_s);
    QComboBox *function = dialog.columnBoxes[size_t(ColumnRole::Function)];
    int column = 0;
    for (auto _ : state) {
        column = column == 7 ? 0 : 7; // "Fonction", then none
        function->setCurrentIndex(column);
    }
    state.counters["rows"] = double(dialog.rows().size());
}
BENCHMARK(BM_ChooseAnotherColumn)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFrench(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
