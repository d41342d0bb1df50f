// A letter of a hundred pages, cut into the preview's pages and printed to a PDF file.
// Targets: the preview's pagination under 1 s, the print under 2 s. A letter of 5,000 pages,
// past the point where one layout of the whole letter never ends, previews in seconds.
#include "dialogs/WindowRegistry.h"
#include "printing/CurrentPrinter.h"
#include "printing/FrmPage.h"
#include "printing/ImprimeRtf.h"
#include "printing/Imprimer.h"
#include "printing/PageGeometry.h"
#include "printing/RangeFormatter.h"

#include <QApplication>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Justified paragraphs of an ordinary letter, in Liberation Serif 12, as many as fill pages.
std::unique_ptr<QTextDocument> letterOf(int paragraphs)
{
    auto document = std::make_unique<QTextDocument>();
    QFont font(u"Liberation Serif"_s);
    font.setPointSize(12);
    document->setDefaultFont(font);
    QTextCursor cursor(document.get());
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    justified.setBottomMargin(8);
    for (int i = 1; i <= paragraphs; ++i) {
        if (i > 1)
            cursor.insertBlock();
        cursor.setBlockFormat(justified);
        cursor.insertText(u"Paragraphe %1. Nous avons l'honneur de vous informer que votre demande a bien été "
                          u"reçue par nos services, qui l'examineront dans les meilleurs délais ; une réponse "
                          u"vous parviendra par courrier dès que l'instruction de votre dossier sera achevée. "
                          u"Nous vous prions d'agréer l'expression de nos salutations distinguées."_s.arg(i));
    }
    return document;
}

int pagesOf(const QTextDocument &document)
{
    const PageGeometry geometry = printerGeometry(Printing::currentPrinter(), Margins());
    return int(RangeFormatter(document, geometry.area.width()).pages(geometry).size());
}

// The hundred-page letter: the fewest paragraphs that make 100 pages.
const QTextDocument &hundredPages()
{
    static std::unique_ptr<QTextDocument> letter = [] {
        int low = 100, high = 2000;
        while (low < high) {
            const int middle = (low + high) / 2;
            if (pagesOf(*letterOf(middle)) < 100)
                low = middle + 1;
            else
                high = middle;
        }
        return letterOf(low);
    }();
    return *letter;
}

// The letter laid out into the preview's pages, the window made afresh each time.
void paginateIntoPreview(benchmark::State &state, const QTextDocument &letter)
{
    int pages = 0;
    for (auto _ : state) {
        PPreview().Initialise();
        Paginate_RTF(letter, LetterMargin, LetterMargin, LetterMargin, LetterMargin);
        state.PauseTiming();
        pages = FrmPage::existing()->pageCount();
        WindowRegistry::unload(u"frmPage"_s);
        state.ResumeTiming();
    }
    state.counters["pages"] = pages;
}

void BM_PaginateIntoPreview(benchmark::State &state)
{
    paginateIntoPreview(state, hundredPages());
}
BENCHMARK(BM_PaginateIntoPreview)->Unit(benchmark::kMillisecond)->Iterations(5);

const QTextDocument &fiveThousandPages()
{
    static const std::unique_ptr<QTextDocument> letter = letterOf(int(hundredPages().blockCount()) * 50);
    return *letter;
}

// The cut alone, without the preview window (whose row of page tabs grows with each page).
void BM_CutFiveThousandPages(benchmark::State &state)
{
    for (auto _ : state)
        state.counters["pages"] = pagesOf(fiveThousandPages());
}
BENCHMARK(BM_CutFiveThousandPages)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PaginateFiveThousandPages(benchmark::State &state)
{
    paginateIntoPreview(state, fiveThousandPages());
}
BENCHMARK(BM_PaginateFiveThousandPages)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PrintToPdf(benchmark::State &state)
{
    const QTextDocument &letter = hundredPages();
    QTemporaryDir folder;
    QPrinter &printer = Printing::currentPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath(u"cent-pages.pdf"_s));
    for (auto _ : state)
        Print_RTF(letter, LetterMargin, LetterMargin, LetterMargin, LetterMargin);
    state.counters["pages"] = pagesOf(letter);
}
BENCHMARK(BM_PrintToPdf)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The letters are measured on A4, as the preview and the printer use it.
    Printing::currentPrinter().setPageSize(QPageSize(QPageSize::A4));
    Printing::currentPrinter().setOutputFormat(QPrinter::PdfFormat);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
