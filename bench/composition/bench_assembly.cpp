// One letter assembled into the working document: the template read, then the thirteen
// placeholders replaced.
#include "composition/LetterAssembly.h"
#include "core/DataPaths.h"
#include "core/ProgramFolder.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

LetterFields typicalLetter()
{
    WizardValues w;
    w.senderName = u"Jean Martin"_s;
    w.senderAddress = u"12 rue des Lilas"_s;
    w.senderTown = u"69001 Lyon"_s;
    w.senderPhone = u"04 78 00 00 00"_s;
    w.senderQualifier = u"Monsieur"_s;
    w.senderFunction = u"Chef de service"_s;
    w.recipientName = u"Paul Durand"_s;
    w.recipientAddress = u"1 place de la Mairie"_s;
    w.recipientTown = u"75001 Paris"_s;
    w.recipientQualifier = u"Monsieur"_s;
    w.recipientFunction = u"Maire"_s;
    w.dateText = u"lundi 3 mars 2025"_s;
    w.town = u"Lyon"_s;
    w.object = u"Demande de rendez-vous"_s;
    w.signature = u"Jean Martin"_s;
    w.formulaFirst = u"Je vous prie d'agréer"_s;
    w.formulaSecond = u"l'expression de mes salutations distinguées."_s;
    w.body = QString(u"Je me permets de vous écrire au sujet de la réunion du conseil municipal. "_s).repeated(6) +
             u"\r\n\r\n"_s + QString(u"Je reste à votre disposition pour tout renseignement. "_s).repeated(4);
    return composeLetterFields(w, false);
}

void BM_AssembleOneLetter(benchmark::State &state)
{
    QTemporaryDir root;
    ProgramFolder::seed(QStringLiteral(QUILLO_DATA_DIR), root.path());
    ProgramFolder::setOverride(root.path());
    const LetterFields fields = typicalLetter();
    QTextDocument working;
    for (auto _ : state) {
        Build_Lettre(&working, fields);
        benchmark::DoNotOptimize(working.characterCount());
    }
    ProgramFolder::setOverride(QString());
}
BENCHMARK(BM_AssembleOneLetter)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
