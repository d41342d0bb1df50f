// Entering batch mode on a well-filled installation: 2,000 recipient cards are read and listed,
// one row each, in the recipient step's list. Must stay well under 300 ms.
#include "app/Translations.h"
#include "core/DataPaths.h"
#include "core/Folders.h"
#include "core/ProgramFolder.h"
#include "dialogs/WindowRegistry.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kCards = 2000;

void fillRecipients(const QString &root)
{
    ProgramFolder::setOverride(root);
    Init_Dossiers();
    const QDir folder(DataPaths::recipientsFolder());
    for (int i = 0; i < kCards; ++i) {
        // Names in no particular order, with accents, so the sort by name does real work.
        const QString name = u"Destinataire n°%1 Hélène"_s.arg(7919 * i % kCards, 4, 10, QChar(u'0'));
        QFile card(folder.filePath(name + u".ini"_s));
        if (!card.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(card.fileName()));
        card.write(name.toLatin1() + "\r\n12 rue de la R\xE9publique\r\nB\xE2timent C\r\n75002 Paris\r\nFrance\r\n"
                                     "Madame\r\nDirectrice des ressources humaines\r\n");
    }
}

void BM_EnterBatchMode(benchmark::State &state)
{
    QTemporaryDir root;
    fillRecipients(root.path());
    Main();
    FrmMenu *menu = FrmMenu::existing();
    menu->Affiche_Etape(1);
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        menu->recipientMode->setCurrentIndex(0);
        QApplication::processEvents();
        state.ResumeTiming();
        menu->recipientMode->setCurrentIndex(1); // reads every card and fills the list
        QApplication::processEvents();           // and the list is drawn
    }
    if (menu->recipientList->topLevelItemCount() != kCards)
        state.SkipWithError("the list does not hold every card");
    state.counters["rows"] = menu->recipientList->topLevelItemCount();
    WindowRegistry::unloadAll();
    ProgramFolder::setOverride(QString());
}
BENCHMARK(BM_EnterBatchMode)->Unit(benchmark::kMillisecond);

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
