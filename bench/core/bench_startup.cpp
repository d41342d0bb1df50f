// Start-up work on a well-filled installation: 1,000 cards in each card folder and 1,000 entries
// in each reference list. Measures the folder creation, both card name lists and the six lists.
#include "app/Translations.h"
#include "core/DataPaths.h"
#include "core/Folders.h"
#include "core/LineListFile.h"
#include "core/ProgramFolder.h"
#include "dialogs/WindowRegistry.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

void fillInstallation(const QString &root)
{
    ProgramFolder::setOverride(root);
    Init_Dossiers();
    for (const QString &folder : {DataPaths::sendersFolder(), DataPaths::recipientsFolder()}) {
        for (int i = 0; i < 1000; ++i) {
            QFile card(QDir(folder).filePath(u"Réémetteur n°%1.ini"_s.arg(i, 4, 10, QChar(u'0'))));
            card.open(QIODevice::WriteOnly);
            card.write("Monsieur\r\nDirecteur\r\n12 rue de la Paix\r\n\r\n75002 Paris\r\nFrance\r\n\r\n");
        }
    }
    QStringList entries;
    for (int i = 0; i < 1000; ++i)
        entries.append(u"Entrée de référence numéro %1, élément « %2 »"_s.arg(i).arg(997 * i % 1000));
    const QDir references(DataPaths::referencesFolder());
    const QDir formulas(DataPaths::formulasFolder());
    for (const QString &name : {u"Fonctions.ini"_s, u"Communes.ini"_s, u"Objets.ini"_s, u"Signatures.ini"_s})
        LineListFile::write(references.filePath(name), entries);
    for (const QString &name : {u"Formules1.ini"_s, u"Formules2.ini"_s})
        LineListFile::write(formulas.filePath(name), entries);
}

void BM_StartupWork(benchmark::State &state)
{
    QTemporaryDir root;
    fillInstallation(root.path());
    FrmMenu::instance(); // the window itself is built once per run of the program
    for (auto _ : state) {
        Init_Dossiers();
        Liste_Fiches(1);
        Liste_Fiches(2);
        Charge_Listes();
    }
    WindowRegistry::unloadAll();
    ProgramFolder::setOverride(QString());
}
BENCHMARK(BM_StartupWork)->Unit(benchmark::kMillisecond);

void BM_StartupWorkWithWindow(benchmark::State &state)
{
    QTemporaryDir root;
    fillInstallation(root.path());
    for (auto _ : state) {
        Init_Dossiers();
        Liste_Fiches(1); // creates the window
        Liste_Fiches(2);
        Charge_Listes();
        state.PauseTiming();
        WindowRegistry::unloadAll();
        state.ResumeTiming();
    }
    ProgramFolder::setOverride(QString());
}
BENCHMARK(BM_StartupWorkWithWindow)->Unit(benchmark::kMillisecond);

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
