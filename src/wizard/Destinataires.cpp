#include "wizard/Destinataires.h"

#include "core/DataPaths.h"
#include "core/Folders.h"
#include "core/RecipientCards.h"
#include "dialogs/Dialogs.h"
#include "dialogs/FrmImport.h"
#include "wizard/Fiches.h"
#include "wizard/FrmMenu.h"
#include "wizard/SortedCombo.h"

#include <QComboBox>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStandardPaths>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using RecipientCards::ExistingCard;

namespace {

const QString kImportTitle = u"Importer des destinataires"_s;
const QString kExportTitle = u"Exporter les destinataires"_s;

// Imports of more rows than this show their progress and can be stopped.
constexpr int kProgressThreshold = 100;
// Names and refused rows quoted in a message; the rest are counted.
constexpr int kNamesShown = 5;
constexpr int kRefusalsShown = 10;

// Where the file dialogs open: where the last import or export went, else the documents.
QString &lastFolder()
{
    static QString folder;
    return folder;
}

QString startFolder()
{
    return lastFolder().isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) : lastFolder();
}

QString noun(qsizetype count, const QString &one, const QString &several)
{
    return QString::number(count) + u' ' + (count > 1 ? several : one);
}

// « A », « B », « C » et 4 autres
QString someNames(const QStringList &names)
{
    QStringList quoted;
    for (const QString &name : names.mid(0, kNamesShown))
        quoted.append(u"« %1 »"_s.arg(name));
    QString text = quoted.join(u", "_s);
    if (names.size() > kNamesShown)
        text += u" et "_s + noun(names.size() - kNamesShown, u"autre"_s, u"autres"_s);
    return text;
}

// The one question for every row whose name a card bears already; nothing when the user
// cancels the import.
std::optional<ExistingCard> askAboutExistingCards(FrmMenu *menu, const QStringList &names)
{
    QString text =
        names.size() == 1
            ? u"Le destinataire %1 porte le nom d'une fiche existante ou d'une autre ligne du fichier."_s.arg(
                  someNames(names))
            : u"%1 destinataires portent le nom d'une fiche existante ou d'une autre ligne du fichier : %2."_s
                  .arg(names.size())
                  .arg(someNames(names));
    text += u"\n\nRemplacer : ces fiches prennent les valeurs du fichier.\n"
            u"Garder les deux : ces destinataires deviennent des fiches numérotées (« %1 (2) »).\n"
            u"Ignorer : ces destinataires ne sont pas importés, les fiches restent telles quelles.\n\n"
            u"Ce choix vaut pour tous ces destinataires."_s.arg(names.first());
    const QMessageBox::StandardButton answer =
        Dialogs::choose(menu, text,
                        {{QMessageBox::Yes, u"Remplacer"_s},
                         {QMessageBox::Save, u"Garder les deux"_s},
                         {QMessageBox::Ignore, u"Ignorer"_s},
                         {QMessageBox::Cancel, u"Annuler"_s}},
                        Dialogs::Icon::Question, kImportTitle, QMessageBox::Save);
    switch (answer) {
    case QMessageBox::Yes:
        return ExistingCard::Replace;
    case QMessageBox::Save:
        return ExistingCard::KeepBoth;
    case QMessageBox::Ignore:
        return ExistingCard::Skip;
    default:
        return std::nullopt;
    }
}

// The recipient name box offers the new cards too; what it shows stays.
void refreshRecipientNames(FrmMenu *menu)
{
    QComboBox *box = menu->recipientName;
    const QString shown = box->currentText();
    box->clear();
    SortedCombo::addItems(box, cardNamesIn(DataPaths::recipientsFolder()));
    box->setEditText(shown);
}

void reportImport(FrmMenu *menu, const RecipientCards::Result &result)
{
    QString summary =
        noun(result.written.size(), u"fiche destinataire importée"_s, u"fiches destinataires importées"_s);
    if (!result.replaced.isEmpty())
        summary += u" (dont %1)"_s.arg(noun(result.replaced.size(), u"remplacée"_s, u"remplacées"_s));
    if (!result.skipped.isEmpty())
        summary += u", "_s + noun(result.skipped.size(), u"ligne ignorée"_s, u"lignes ignorées"_s);
    summary += u'.';
    if (!result.error.isEmpty()) {
        Dialogs::message(menu, result.error + u"\n\nImportation arrêtée : "_s + summary, QMessageBox::Ok,
                         Dialogs::Icon::Critical, kImportTitle);
    } else if (!result.refused.isEmpty()) {
        QString text =
            summary + u"\n\n"_s +
            (result.refused.size() == 1 ? u"Une ligne n'a pas pu devenir une fiche :"_s
                                        : u"%1 lignes n'ont pas pu devenir des fiches :"_s.arg(result.refused.size()));
        for (const QString &refusal : result.refused.mid(0, kRefusalsShown))
            text += u"\n"_s + refusal;
        if (result.refused.size() > kRefusalsShown)
            text += u"\n… et "_s + noun(result.refused.size() - kRefusalsShown, u"autre"_s, u"autres"_s) + u'.';
        Dialogs::message(menu, text, QMessageBox::Ok, Dialogs::Icon::Warning, kImportTitle);
    } else {
        menu->showConfirmation(result.cancelled ? u"Importation interrompue : "_s + summary : summary);
    }
}

} // namespace

void Importe_Destinataires()
{
    FrmMenu *menu = FrmMenu::instance();
    const QString path = Dialogs::openFileName(
        menu, kImportTitle, startFolder(),
        u"Tableurs et carnets d'adresses (*.csv *.txt *.tsv *.vcf *.vcard);;Tous les fichiers (*)"_s);
    if (path.isEmpty())
        return;
    lastFolder() = QFileInfo(path).absolutePath();
    QByteArray bytes;
    QString error;
    if (!RecipientFile::load(path, &bytes, &error)) {
        Dialogs::message(menu, error, QMessageBox::Ok, Dialogs::Icon::Warning, kImportTitle);
        return;
    }
    QList<RecipientRow> rows;
    {
        FrmImport mapping(bytes, QFileInfo(path).fileName(), menu);
        if (const QString problem = mapping.fileProblem(); !problem.isEmpty()) {
            Dialogs::message(menu, problem, QMessageBox::Ok, Dialogs::Icon::Warning, kImportTitle);
            return;
        }
        if (mapping.exec() != QDialog::Accepted)
            return;
        rows = mapping.rows();
    }

    ExistingCard policy = ExistingCard::KeepBoth;
    if (const QStringList existing = RecipientCards::existingNames(rows); !existing.isEmpty()) {
        const std::optional<ExistingCard> answer = askAboutExistingCards(menu, existing);
        if (!answer)
            return;
        policy = *answer;
    }

    // Every card is written whole before the next one is begun, so "Annuler" leaves whole cards.
    const int total = int(std::count_if(rows.cbegin(), rows.cend(), [](const RecipientRow &r) { return r.keep; }));
    std::unique_ptr<QProgressDialog> progress;
    RecipientCards::Callbacks callbacks;
    if (total > kProgressThreshold) {
        progress = std::make_unique<QProgressDialog>(u"Importation des destinataires en cours..."_s, u"Annuler"_s, 0,
                                                     total, menu);
        progress->setWindowTitle(kImportTitle);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setValue(0);
        callbacks.progress = [&progress](int done, int) { progress->setValue(done); };
        callbacks.cancelRequested = [&progress] { return progress->wasCanceled(); };
    }
    const RecipientCards::Result result = RecipientCards::importRows(rows, policy, callbacks);
    progress.reset();

    refreshRecipientNames(menu);
    Liste_Destinataires();
    if (!result.written.isEmpty())
        selectRecipientCards(result.written);
    reportImport(menu, result);
}

void Exporte_Destinataires()
{
    FrmMenu *menu = FrmMenu::instance();
    const QStringList names = selectedRecipientCards();
    if (names.isEmpty()) {
        Dialogs::message(menu, u"Sélectionnez dans la liste les fiches à exporter."_s, QMessageBox::Ok,
                         Dialogs::Icon::Information, kExportTitle);
        return;
    }
    const QString path = Dialogs::saveFileName(menu, kExportTitle, startFolder(), u"Fichier CSV pour tableur (*.csv)"_s,
                                               u"Destinataires.csv"_s, u"csv"_s);
    if (path.isEmpty())
        return;
    lastFolder() = QFileInfo(path).absolutePath();
    QString error;
    if (!RecipientCards::exportCards(path, names, &error)) {
        Dialogs::message(menu, error, QMessageBox::Ok, Dialogs::Icon::Critical, kExportTitle);
        return;
    }
    menu->showConfirmation(u"%1 dans « %2 »."_s.arg(noun(names.size(), u"fiche exportée"_s, u"fiches exportées"_s),
                                                    QFileInfo(path).fileName()));
}
