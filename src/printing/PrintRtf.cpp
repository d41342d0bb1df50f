#include "printing/PrintRtf.h"

#include "core/QuilloError.h"
#include "printing/CurrentPrinter.h"
#include "printing/PageGeometry.h"
#include "printing/RangeFormatter.h"

#include <QCoreApplication>
#include <QDir>
#include <QList>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

QString printerLabel(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return u"le fichier « %1 »"_s.arg(QDir::toNativeSeparators(printer.outputFileName()));
    return u"l'imprimante « %1 »"_s.arg(printer.printerName());
}

QuilloError refused(const QPrinter &printer)
{
    return QuilloError(u"L'impression n'a pas abouti : %1 n'a pas accepté le document."_s.arg(printerLabel(printer)),
                       PrinterErrorNumber);
}

} // namespace

void Print_RTF(const QTextDocument &document, int left, int top, int right, int bottom)
{
    Print_RTF(Printing::currentPrinter(), document, left, top, right, bottom);
}

void Print_RTF(QPrinter &printer, const QTextDocument &document, int left, int top, int right, int bottom)
{
    Print_RTF(printer, QList<const QTextDocument *>{&document}, left, top, right, bottom);
}

void Print_RTF(QPrinter &printer, const QList<const QTextDocument *> &letters, int left, int top, int right, int bottom)
{
    const Printing::BusyScope busy;
    if (!busy.started())
        throw QuilloError(u"Une impression est déjà en cours : attendez qu'elle soit terminée."_s, PrinterErrorNumber);
    // Without any printer installed the print system hands out a PDF printer without a file.
    if (!printer.isValid() || (printer.outputFormat() == QPrinter::NativeFormat && printer.printerName().isEmpty()) ||
        (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()))
        throw QuilloError(u"Aucune imprimante n'est disponible : installez une imprimante, puis recommencez."_s,
                          PrinterErrorNumber);

    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    const PageGeometry geometry = printerGeometry(printer, Margins{left, top, right, bottom});

    QPainter painter;
    if (!painter.begin(&printer))
        throw refused(printer);
    // The formatter draws in twips.
    const double scale = printer.resolution() / 1440.0;
    painter.scale(scale, scale);

    const auto nextPage = [&] {
        if (!printer.newPage()) {
            printer.abort();
            painter.end();
            throw refused(printer);
        }
        // Let the windows repaint; the user's clicks and keys wait until the job is sent.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    for (qsizetype letter = 0; letter < letters.size(); ++letter) {
        // Each letter starts on a sheet of its own.
        if (letter > 0)
            nextPage();
        const RangeFormatter formatter(*letters.at(letter), geometry.area.width());
        formatter.drawPages(&painter, geometry, [&] {
            nextPage();
            return true;
        });
    }
    if (!painter.end())
        throw refused(printer);
    if (Printing::jobSent) {
        // "Imprimer tout" sends its letters as one job: the confirmation speaks of all of them.
        const bool several = letters.size() > 1;
        const QString sentence = printer.outputFormat() == QPrinter::PdfFormat
                                     ? (several ? u"Lettres imprimées dans %1."_s : u"Lettre imprimée dans %1."_s)
                                     : (several ? u"Lettres envoyées à %1."_s : u"Lettre envoyée à %1."_s);
        Printing::jobSent(sentence.arg(printerLabel(printer)));
    }
}

bool isBlankLetter(const QTextDocument &document)
{
    return document.toPlainText().trimmed().isEmpty();
}
