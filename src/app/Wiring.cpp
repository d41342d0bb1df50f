#include "app/Wiring.h"

#include "wizard/Finalisation.h"
#include "composition/ui/FrmAssistant.h"
#include "editor/FrmEditeur.h"
#include "wizard/FrmMenu.h"
#include "composition/ui/FrmOptions.h"
#include "printing/FrmPage.h"
#include "printing/ImprimeRtf.h"
#include "printing/Imprimer.h"
#include "editor/PrintHooks.h"
#include "dialogs/WindowRegistry.h"

#include <QTextEdit>

using namespace Qt::StringLiterals;

void wireWindows()
{
    WindowRegistry::setFactory(u"frmAssistant"_s, [] { return FrmAssistant::instance(); });
    WindowRegistry::setFactory(u"frmOptions"_s, [] { return FrmOptions::instance(); });
    WindowRegistry::setFactory(u"frmEditeur"_s, [] { return FrmEditeur::instance(); });
    WindowRegistry::setFactory(u"frmPage"_s, [] { return FrmPage::instance(); });

    FinalisationHooks::preview = [](QTextDocument *letter, int margin) {
        Preview_RTF(PPreview(), *letter, margin, false);
    };
    PrintHooks::preview = [](QTextEdit *letter, int margin) {
        Preview_RTF(PPreview(), *letter->document(), margin, true);
    };
    // The wizard confirms a print in its status line, wherever the print was started from.
    Printing::jobSent = [](const QString &confirmation) {
        if (FrmMenu *menu = FrmMenu::existing())
            menu->showConfirmation(confirmation);
    };
    PrintHooks::setUpPrinter = [](QWidget *parent) { configurePrinter(parent); };
    PrintHooks::print = [](const QList<QTextEdit *> &letters, int left, int top, int right, int bottom) {
        QList<const QTextDocument *> documents;
        for (const QTextEdit *letter : letters)
            documents.append(letter->document());
        if (!letters.isEmpty())
            printLetters(letters.first()->window(), documents, Margins{left, top, right, bottom});
    };
}
