// Opening and saving a long letter through the editor window: a 200-page letter of justified
// paragraphs with bold and italic words (built here), and the large justified document of the
// shared benchmark material when it is present. Open = the file dialog's answer to a letter in
// its tab; "laid out" adds the layout of every page at the printed width.
#include "app/Translations.h"
#include "core/ProgramFolder.h"
#include "dialogs/Dialogs.h"
#include "dialogs/WindowRegistry.h"
#include "editor/FrmEditeur.h"
#include "editor/LetterEdit.h"
#include "richtext/RichText.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// Every file dialog answers the same path; nothing else is asked in these runs.
class FixedAnswer final : public Dialogs::Backend
{
public:
    QString path;
    Dialogs::Answer ask(QWidget *, const Dialogs::Request &, QPrinter *) override
    {
        Dialogs::Answer answer;
        answer.accepted = true;
        answer.button = QMessageBox::Ok;
        answer.text = path;
        return answer;
    }
};

std::shared_ptr<FixedAnswer> backend()
{
    static auto answer = [] {
        auto made = std::make_shared<FixedAnswer>();
        Dialogs::setBackend(made);
        return made;
    }();
    return answer;
}

QTemporaryDir &workFolder()
{
    static QTemporaryDir folder;
    return folder;
}

// About 200 A4 pages (some 660,000 characters): 1,100 justified paragraphs of some 600
// characters, a bold and an italic word in each.
QString longLetter()
{
    static const QString path = [] {
        QTextDocument document;
        QTextCursor cursor(&document);
        QTextBlockFormat justified;
        justified.setAlignment(Qt::AlignJustify);
        QTextCharFormat plain, bold, italic;
        bold.setFontWeight(QFont::Bold);
        italic.setFontItalic(true);
        const QString words = u"Nous vous prions de bien vouloir trouver ci-joint le relevé des sommes dues "
                              u"au titre de l'exercice écoulé, accompagné des pièces justificatives. "_s;
        for (int paragraph = 0; paragraph < 1100; ++paragraph) {
            if (paragraph)
                cursor.insertBlock(justified);
            else
                cursor.setBlockFormat(justified);
            cursor.insertText(u"Article %1 : "_s.arg(paragraph + 1), bold);
            cursor.insertText(words + words, plain);
            cursor.insertText(u"« œuvre » "_s, italic);
            cursor.insertText(words + words, plain);
        }
        const QString file = workFolder().filePath(u"lettre-200-pages.rtf"_s);
        RichText::saveRtfFile(file, &document);
        return file;
    }();
    return path;
}

QString sharedLetter()
{
    return QStringLiteral(QUILLO_SHARED_DIR) + u"/bench/big-justified.rtf"_s;
}

void open(benchmark::State &state, const QString &path, bool layOut)
{
    if (!QFile::exists(path)) {
        state.SkipWithError("letter not present");
        return;
    }
    backend()->path = path;
    qsizetype characters = 0;
    for (auto _ : state) {
        FrmEditeur *editor = FrmEditeur::instance();
        editor->Ouvrir();
        if (layOut) // asking for the page count finishes the layout of the whole letter
            benchmark::DoNotOptimize(editor->letterEdit(1)->document()->pageCount());
        state.PauseTiming();
        characters = editor->letterEdit(1)->document()->characterCount();
        WindowRegistry::unload(u"frmEditeur"_s);
        state.ResumeTiming();
    }
    state.counters["characters"] = double(characters);
}

void save(benchmark::State &state, const QString &path)
{
    if (!QFile::exists(path)) {
        state.SkipWithError("letter not present");
        return;
    }
    backend()->path = path;
    FrmEditeur *editor = FrmEditeur::instance();
    editor->Ouvrir();
    // Saved under a name of its own in the work folder ("Enregistrer sous..." then "Enregistrer").
    backend()->path = workFolder().filePath(u"copie.rtf"_s);
    editor->Enregistrer_Sous(1, editor->caption(1));
    for (auto _ : state)
        editor->saveLetter(1);
    state.counters["bytes"] = double(QFile(backend()->path).size());
    WindowRegistry::unload(u"frmEditeur"_s);
}

// "Convertir en majuscule" with nothing selected: the whole 200-page letter.
void BM_UpperCase200Pages(benchmark::State &state)
{
    backend()->path = longLetter();
    for (auto _ : state) {
        state.PauseTiming();
        FrmEditeur *editor = FrmEditeur::instance();
        editor->Ouvrir();
        state.ResumeTiming();
        editor->Mnu_OutOutils_Click(FrmEditeur::ToolsItem::UpperCase);
        state.PauseTiming();
        WindowRegistry::unload(u"frmEditeur"_s);
        state.ResumeTiming();
    }
}

void BM_Open200Pages(benchmark::State &state)
{
    open(state, longLetter(), false);
}
void BM_Open200PagesLaidOut(benchmark::State &state)
{
    open(state, longLetter(), true);
}
void BM_Save200Pages(benchmark::State &state)
{
    save(state, longLetter());
}
void BM_OpenSharedLetter(benchmark::State &state)
{
    open(state, sharedLetter(), false);
}
void BM_SaveSharedLetter(benchmark::State &state)
{
    save(state, sharedLetter());
}

BENCHMARK(BM_Open200Pages)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Open200PagesLaidOut)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Save200Pages)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UpperCase200Pages)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_OpenSharedLetter)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveSharedLetter)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFrench(app);
    // The editor keeps its geometry in the program folder: a scratch one here.
    ProgramFolder::setOverride(workFolder().path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    WindowRegistry::unloadAll();
    return 0;
}
