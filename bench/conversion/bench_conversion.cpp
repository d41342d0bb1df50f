// Converting a well-filled old folder: 5,000 cards (2,500 senders, 2,500 recipients) and the six
// reference lists of 1,000 entries each, plus the phrase files and a few saved bodies.
// BM_ImportAndConvert measures the reading and the writing alone; BM_ConversionWindow the whole
// path the user waits for, the lists on screen included.
#include "conversion/ConvertFiles.h"
#include "conversion/FrmConvert.h"
#include "conversion/OldVersionFiles.h"
#include "core/ProgramFolder.h"
#include "dialogs/Dialogs.h"
#include "dialogs/WindowRegistry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kCardsPerKind = 2500;
constexpr int kListEntries = 1000;

void writeOld(const QDir &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(folder.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

void fillOldFolder(const QString &root)
{
    const QDir folder(root);
    for (int i = 0; i < kCardsPerKind; ++i) {
        const QByteArray name = "\"R\xE9\xE9metteur n\xB0" + QByteArray::number(i) + "\"";
        writeOld(folder, u"exp%1.exp"_s.arg(i),
                 name + "\r\nB\xE2t. A\r\n12 rue de l'\xC9glise\r\n75001 Paris\r\n"
                        "France\r\n01 02 03 04 05\r\n06 07 08 09 10\r\n\r\n"
                        "Monsieur\r\nDirecteur\r\n");
        writeOld(folder, u"dst%1.dst"_s.arg(i),
                 name + "\r\nR\xE9sidence\r\n3 all\xE9"
                        "e Verte\r\n69001 Lyon\r\n"
                        "\r\nMadame\r\nMaire\r\n");
    }
    QByteArray entries;
    for (int i = 0; i < kListEntries; ++i)
        entries += "\"Entr\xE9"
                   "e de r\xE9"
                   "f\xE9rence num\xE9ro " +
                   QByteArray::number(i) + "\"\r\n";
    for (const QString &name :
         {u"Ville.lst"_s, u"Objets.lst"_s, u"Fonction.lst"_s, u"Signature.lst"_s, u"FormuleD.lst"_s, u"FormuleF.lst"_s})
        writeOld(folder, name, entries);
    for (const QString &name :
         {u"Introduction.lst"_s, u"Conclusion simple.lst"_s, u"Conclusion \u00E9volu\u00E9e.lst"_s})
        writeOld(folder, name, "Suite \xE0\r\n\r\nvotre lettre\r\n\r\n");
    for (int i = 0; i < 20; ++i)
        writeOld(folder, u"Corps %1.txt"_s.arg(i), "Madame,\r\n\r\nSuite \xE0 votre appel.\r\n");
}

// Every message is acknowledged at once.
class Acknowledge final : public Dialogs::Backend
{
public:
    Dialogs::Answer ask(QWidget *, const Dialogs::Request &, QPrinter *) override
    {
        Dialogs::Answer answer;
        answer.accepted = true;
        answer.button = QMessageBox::Ok;
        return answer;
    }
};

void BM_Import(benchmark::State &state)
{
    QTemporaryDir old;
    fillOldFolder(old.path());
    const QString source = old.path() + u'/';
    for (auto _ : state) {
        const OldVersion::ImportResult imported = OldVersion::importFolder(source);
        if (imported.data.senders.size() != kCardsPerKind)
            state.SkipWithError("the import did not read every card");
    }
}
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond);

void BM_ImportAndConvert(benchmark::State &state)
{
    QTemporaryDir old;
    QTemporaryDir program;
    fillOldFolder(old.path());
    ProgramFolder::setOverride(program.path());
    const QString source = old.path() + u'/';
    for (auto _ : state) {
        const OldVersion::ImportResult imported = OldVersion::importFolder(source);
        const ConvertFiles::Report report = ConvertFiles::convert(imported.data, source);
        if (report.cardsWritten != 2 * kCardsPerKind || !report.failures.isEmpty())
            state.SkipWithError("the conversion did not write every card");
    }
    ProgramFolder::setOverride(QString());
}
BENCHMARK(BM_ImportAndConvert)->Unit(benchmark::kMillisecond);

void BM_ConversionWindow(benchmark::State &state)
{
    QTemporaryDir old;
    QTemporaryDir program;
    fillOldFolder(old.path());
    ProgramFolder::setOverride(program.path());
    Dialogs::setBackend(std::make_shared<Acknowledge>());
    const QString source = old.path() + u'/';
    for (auto _ : state) {
        state.PauseTiming();
        WindowRegistry::unloadAll(); // a fresh window: each import appends to the lists
        FrmConvert *window = FrmConvert::instance();
        state.ResumeTiming();
        window->importFolder(source);
        window->convert();
    }
    WindowRegistry::unloadAll();
    Dialogs::setBackend(nullptr);
    ProgramFolder::setOverride(QString());
}
BENCHMARK(BM_ConversionWindow)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
