#include "printing/ImprimeRtf.h"

#include "core/QuilloError.h"
#include "dialogs/Dialogs.h"
#include "printing/CurrentPrinter.h"
#include "printing/FrmPage.h"
#include "printing/Imprimer.h"
#include "printing/PageSurface.h"
#include "printing/RangeFormatter.h"

#include <QCoreApplication>
#include <QPrinter>
#include <QTextDocument>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

void showError(QWidget *parent, const QuilloError &error)
{
    Dialogs::message(parent, error.description, QMessageBox::Ok, Dialogs::Icon::Warning,
                     u"Erreur n°%1"_s.arg(error.number));
}

Margins roundedMargins(double left, double top, double right, double bottom)
{
    return Margins{roundTwips(left), roundTwips(top), roundTwips(right), roundTwips(bottom)};
}

} // namespace

void Paginate_RTF(const QTextDocument &document, double left, double top, double right, double bottom)
{
    Paginate_RTF(document, left, top, right, bottom, PPreview());
}

void Paginate_RTF(const QTextDocument &document, double left, double top, double right, double bottom,
                  Imprimer &manager)
{
    FrmPage *window = FrmPage::instance();
    try {
        const Printing::BusyScope busy;
        if (!busy.started())
            throw QuilloError(u"Une impression est déjà en cours : attendez qu'elle soit terminée."_s,
                              PrinterErrorNumber);
        // The printer's geometry, so that the preview's lines are exactly the paper's; the
        // preview sheet shows the whole sheet, so the area is drawn from the sheet's corner.
        const PageGeometry geometry =
            printerGeometry(Printing::currentPrinter(), roundedMargins(left, top, right, bottom));
        const auto formatter = std::make_shared<const RangeFormatter>(document, geometry.area.width());
        const TwipRect area = geometry.areaOnSheet();
        // The pages start where the printer's and the PDF's pages start (the formatter's one page
        // loop); each sheet of the preview draws its page from there when it is shown.
        const QList<int> starts = formatter->pageStarts(area);
        for (qsizetype page = 0; page < starts.size(); ++page) {
            if (page > 0) {
                manager.NewPage();
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            }
            const int from = starts[page];
            window->lastPage()->setLetterStart(from);
            window->lastPage()->addOperation(
                [formatter, from, area](QPainter &painter) { formatter->formatRange(&painter, from, area); });
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } catch (const QuilloError &error) {
        showError(window, error);
    }
}

void Preview_RTF(Imprimer &manager, const QTextDocument &document, double margin, bool fromEditor)
{
    if (Printing::isBusy())
        return;
    manager.Initialise();
    Paginate_RTF(document, margin, margin, margin, margin, manager);
    FrmPage *window = FrmPage::instance();
    window->DepuisEditeur = fromEditor;
    int whole = LetterMargin;
    try {
        whole = roundTwips(margin);
    } catch (const QuilloError &) {
        // Already reported by the pagination; "Imprimer" then uses the letter margin.
    }
    window->setPreviewedLetter(&document, Margins::all(whole));
    manager.Show();
}

bool confirmPrinting(QWidget *parent)
{
    return Dialogs::message(parent,
                            u"L'imprimante doit être active avant l'impression.\nÊtes-vous sûr de vouloir imprimer ?"_s,
                            QMessageBox::Yes | QMessageBox::No, Dialogs::Icon::Question) == QMessageBox::Yes;
}

bool printLetter(QWidget *parent, const QTextDocument &letter, const Margins &margins)
{
    try {
        Print_RTF(letter, margins.left, margins.top, margins.right, margins.bottom);
        return true;
    } catch (const QuilloError &error) {
        showError(parent, error);
        return false;
    }
}

bool printLetterCommand(QWidget *parent, const QTextDocument &letter)
{
    if (Printing::isBusy() || !confirmPrinting(parent) || isBlankLetter(letter))
        return false;
    return printLetter(parent, letter);
}

QList<int> printLetters(QWidget *parent, const QList<const QTextDocument *> &letters, const Margins &margins)
{
    QList<int> printable;
    for (int index = 0; index < letters.size(); ++index) {
        if (letters[index] && !isBlankLetter(*letters[index]))
            printable.append(index);
    }
    QPrinter &printer = Printing::currentPrinter();
    if (!printer.outputFileName().isEmpty() && printable.size() > 1) {
        // One file holds every letter: a job per letter would write each over the one before.
        QList<const QTextDocument *> documents;
        for (const int index : std::as_const(printable))
            documents.append(letters[index]);
        try {
            Print_RTF(printer, documents, margins.left, margins.top, margins.right, margins.bottom);
            return printable;
        } catch (const QuilloError &error) {
            showError(parent, error);
            return {};
        }
    }
    QList<int> printed;
    for (const int index : std::as_const(printable)) {
        if (!printLetter(parent, *letters[index], margins))
            break;
        printed.append(index);
    }
    return printed;
}

QList<int> printAllLettersCommand(QWidget *parent, const QList<const QTextDocument *> &letters)
{
    if (Printing::isBusy() || !confirmPrinting(parent))
        return {};
    return printLetters(parent, letters);
}

bool configurePrinter(QWidget *parent)
{
    if (Printing::isBusy())
        return false;
    return Dialogs::setUpPrinter(parent, &Printing::currentPrinter());
}
