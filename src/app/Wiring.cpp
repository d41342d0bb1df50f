#include "app/Wiring.h"

#include "composition/ui/WizardHooks.h"
#include "printing/PrintRtf.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPlainTextEdit>

void wireWindows()
{
    // The writing assistant and the reference lists work on the letter the wizard holds.
    WizardHooks::letterDate = []() -> std::optional<QDate> {
        const FrmMenu *menu = FrmMenu::existing();
        if (!menu || !menu->letterDate)
            return std::nullopt;
        return menu->letterDate->date();
    };
    WizardHooks::object = [] {
        const FrmMenu *menu = FrmMenu::existing();
        return menu ? menu->object->currentText() : QString();
    };
    WizardHooks::body = []() -> std::optional<QString> {
        const FrmMenu *menu = FrmMenu::existing();
        if (!menu)
            return std::nullopt;
        return menu->body->toPlainText();
    };
    WizardHooks::setBody = [](const QString &body) {
        if (FrmMenu *menu = FrmMenu::existing())
            menu->body->setPlainText(body);
    };
    WizardHooks::reloadReferenceLists = [] { Charge_Listes(); };
    // The wizard confirms a print in its status line, wherever the print was started from.
    Printing::jobSent = [](const QString &confirmation) {
        if (FrmMenu *menu = FrmMenu::existing())
            menu->showConfirmation(confirmation);
    };
}
