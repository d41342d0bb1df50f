#include "wizard/Finalisation.h"

#include "batch/LetterBatch.h"
#include "batch/ui/BatchProgress.h"
#include "batch/ui/PdfExport.h"
#include "composition/LetterAssembly.h"
#include "core/BodyFile.h"
#include "core/Clock.h"
#include "core/DataPaths.h"
#include "core/DateForms.h"
#include "core/LetterModel.h"
#include "core/Product.h"
#include "core/QuilloError.h"
#include "dialogs/Dialogs.h"
#include "editor/FrmEditeur.h"
#include "printing/ImprimeRtf.h"
#include "printing/Imprimer.h"
#include "richtext/RichText.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeWidget>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace FinalisationHooks {
std::function<bool(const QUrl &file)> openFile = [](const QUrl &file) { return QDesktopServices::openUrl(file); };
} // namespace FinalisationHooks

namespace {

// The folder the last model or export dialog ended in: the export opens there, as the wizard's
// one file dialog always did.
QString &lastDialogFolder()
{
    static QString folder;
    return folder;
}

QString bodyText(const FrmMenu *menu)
{
    // The body's lines are separated by CR LF, as in the files.
    return menu->body->toPlainText().replace(u'\n', u"\r\n"_s);
}

[[noreturn]] void cancelled()
{
    throw QuilloError(u"L'opération a été annulée."_s, QuilloError::Cancelled);
}

// After a model was saved or opened: the caption names it, and the fields as they stand are
// the ones "Quitter" compares with.
void modelChosen(FrmMenu *menu, const QString &path)
{
    const QString title = QFileInfo(path).fileName();
    menu->setWindowTitle(Product::name() + u" - "_s + title);
    CurrentModelName = title;
    lastDialogFolder() = QFileInfo(path).absolutePath();
    QCoreApplication::processEvents();
}

// Every value a model stores, in the order it stores them.
QStringList valuesOf(const LetterModel &model)
{
    return model.sender + model.recipient + model.references + QStringList{model.body};
}

void showFailure(FrmMenu *menu, const QuilloError &failure)
{
    Dialogs::message(menu, failure.description + u"\nErreur n°"_s + QString::number(failure.number), QMessageBox::Ok,
                     Dialogs::Icon::Critical);
}

// A reused model would send its old date: offer today's, in the form the model's date has. A
// date text the program cannot read back (typed by hand) is left alone.
void offerTodaysDate(FrmMenu *menu)
{
    int form = -1;
    const QDate stored = DateForms::recognise(menu->dateFormats->currentText(), &form);
    const QDate today = Clock::today();
    if (!stored.isValid() || stored == today)
        return;
    const QString todayText = DateForms::worded(today, DateForms::shortText(today)).value(form);
    const QString question =
        u"La date de ce modèle, « %1 », n'est pas celle du jour.\n"
        u"Voulez-vous la remplacer par la date du jour, « %2 » ?"_s.arg(menu->dateFormats->currentText(), todayText);
    if (Dialogs::message(menu, question, QMessageBox::Yes | QMessageBox::No, Dialogs::Icon::Question) !=
        QMessageBox::Yes)
        return;
    menu->Liste_Formats_Date(DateForms::shortText(today));
    menu->dateFormats->setCurrentIndex(form);
}

LetterModel modelOf(const FrmMenu *menu)
{
    LetterModel model;
    model.sender.append(menu->senderName->currentText());
    for (const QLineEdit *field : menu->senderFields)
        model.sender.append(field->text());
    model.sender << menu->senderQualifier->currentText() << menu->senderFunction->currentText();
    model.recipient.append(menu->recipientName->currentText());
    for (const QLineEdit *field : menu->recipientFields)
        model.recipient.append(field->text());
    model.recipient << menu->recipientQualifier->currentText() << menu->recipientFunction->currentText();
    for (const QComboBox *box :
         {menu->dateFormats, menu->town, menu->object, menu->signature, menu->formulaFirst, menu->formulaSecond})
        model.references.append(box->currentText());
    model.body = bodyText(menu);
    return model;
}

void showModel(FrmMenu *menu, const LetterModel &model)
{
    menu->body->clear();
    menu->senderName->setEditText(model.sender.value(0));
    for (int i = 0; i < 6; ++i)
        menu->senderFields[size_t(i)]->setText(model.sender.value(i + 1));
    menu->senderQualifier->setEditText(model.sender.value(7));
    menu->senderFunction->setEditText(model.sender.value(8));
    menu->recipientName->setEditText(model.recipient.value(0));
    for (int i = 0; i < 4; ++i)
        menu->recipientFields[size_t(i)]->setText(model.recipient.value(i + 1));
    menu->recipientQualifier->setEditText(model.recipient.value(5));
    menu->recipientFunction->setEditText(model.recipient.value(6));
    const std::array<QComboBox *, 6> references = {menu->dateFormats, menu->town,         menu->object,
                                                   menu->signature,   menu->formulaFirst, menu->formulaSecond};
    for (size_t i = 0; i < references.size(); ++i)
        references[i]->setEditText(model.references.value(int(i)));
    QString body = model.body;
    menu->body->setPlainText(body.replace(u"\r\n"_s, u"\n"_s));
}

// Places the working document's letter in the editor: tab 1 for the single letter, a new tab
// named after the recipient for each letter of a batch (tab 1 then emptied).
void placeInEditor(FrmMenu *menu, bool batch, const LetterFields &fields)
{
    FrmEditeur *editor = FrmEditeur::instance();
    const QByteArray letter = RichText::writeRtf(menu->workingDocument);
    if (!batch) {
        editor->setCaption(1, u"Lettre n°1"_s);
        editor->setLetterRtf(1, letter);
        return;
    }
    editor->Nouveau();
    const int tab = editor->letterCount();
    editor->setCaption(tab, fields.value(u"#dst2"_s));
    editor->setLetterRtf(tab, letter);
    editor->setCaption(1, u"Lettre n°1"_s);
    QTextDocument empty;
    editor->setLetterRtf(1, RichText::writeRtf(&empty));
}

// The rows of the batch list that are selected, 1-based, in the list's order.
QList<int> selectedRows(const FrmMenu *menu)
{
    QList<int> rows;
    for (int k = 1; k <= menu->recipientList->topLevelItemCount(); ++k) {
        if (menu->recipientList->topLevelItem(k - 1)->isSelected())
            rows.append(k);
    }
    return rows;
}

} // namespace

WizardValues wizardValues(const FrmMenu *menu, const QTreeWidgetItem *row)
{
    WizardValues w;
    w.senderName = menu->senderName->currentText();
    w.senderAddress = menu->senderFields[0]->text();
    w.senderResidence = menu->senderFields[1]->text();
    w.senderTown = menu->senderFields[2]->text();
    w.senderProvince = menu->senderFields[3]->text();
    w.senderPhone = menu->senderFields[4]->text();
    w.senderMobile = menu->senderFields[5]->text();
    w.senderQualifier = menu->senderQualifier->currentText();
    w.senderFunction = menu->senderFunction->currentText();
    if (row) {
        w.recipientName = row->text(0);
        w.recipientAddress = row->text(1);
        w.recipientResidence = row->text(2);
        w.recipientTown = row->text(3);
        w.recipientProvince = row->text(4);
        w.recipientQualifier = row->text(5);
        w.recipientFunction = row->text(6);
    } else {
        w.recipientName = menu->recipientName->currentText();
        w.recipientAddress = menu->recipientFields[0]->text();
        w.recipientResidence = menu->recipientFields[1]->text();
        w.recipientTown = menu->recipientFields[2]->text();
        w.recipientProvince = menu->recipientFields[3]->text();
        w.recipientQualifier = menu->recipientQualifier->currentText();
        w.recipientFunction = menu->recipientFunction->currentText();
    }
    w.dateText = menu->dateFormats->currentText();
    w.town = menu->town->currentText();
    w.object = menu->object->currentText();
    w.signature = menu->signature->currentText();
    w.formulaFirst = menu->formulaFirst->currentText();
    w.formulaSecond = menu->formulaSecond->currentText();
    w.noObject = menu->noObject && menu->noObject->isChecked();
    w.body = bodyText(menu);
    // A field of spaces only (or a body of blank lines) was not filled in: the letter treats it
    // as empty, so it adds no comma, line or brackets of its own.
    for (QString *value : {&w.senderName,
                           &w.senderAddress,
                           &w.senderResidence,
                           &w.senderTown,
                           &w.senderProvince,
                           &w.senderPhone,
                           &w.senderMobile,
                           &w.senderQualifier,
                           &w.senderFunction,
                           &w.recipientName,
                           &w.recipientAddress,
                           &w.recipientResidence,
                           &w.recipientTown,
                           &w.recipientProvince,
                           &w.recipientQualifier,
                           &w.recipientFunction,
                           &w.dateText,
                           &w.town,
                           &w.object,
                           &w.signature,
                           &w.formulaFirst,
                           &w.formulaSecond,
                           &w.body}) {
        if (value->trimmed().isEmpty())
            value->clear();
    }
    return w;
}

void Fichier_Contenu(bool import)
{
    FrmMenu *menu = FrmMenu::instance();
    const QString filter = u"Fichier texte (*.TXT) (*.txt *.TXT)"_s;
    if (import) {
        const QString path = Dialogs::openFileName(menu, u"Importer un contenu"_s, DataPaths::contentsFolder(), filter);
        if (path.isEmpty())
            return;
        menu->body->clear();
        QString text;
        if (BodyFile::read(path, &text))
            menu->body->setPlainText(text.replace(u"\r\n"_s, u"\n"_s));
        return;
    }
    const QString path =
        Dialogs::saveFileName(menu, u"Exporter un contenu"_s, DataPaths::contentsFolder(), filter, QString(), u"txt"_s);
    if (path.isEmpty())
        return;
    QString error;
    if (!BodyFile::write(path, bodyText(menu), &error))
        Dialogs::message(menu, error, QMessageBox::Ok, Dialogs::Icon::Warning);
}

void Get_Valeurs(bool batch, int row, bool toEditor)
{
    FrmMenu *menu = FrmMenu::instance();
    const QTreeWidgetItem *item = batch ? menu->recipientList->topLevelItem(row - 1) : nullptr;
    if (batch && !item)
        throw QuilloError(u"La ligne %1 de la liste des destinataires n'existe pas."_s.arg(row),
                          QuilloError::SubscriptOutOfRange);
    LetterFields &fields = currentLetterFields();
    fields = composeLetterFields(wizardValues(menu, item), batch);
    Build_Lettre(menu->workingDocument, fields);
    if (toEditor)
        placeInEditor(menu, batch, fields);
    QCoreApplication::processEvents();
}

void Genere_Lettres(bool toEditor)
{
    FrmMenu *menu = FrmMenu::instance();
    if (!menu->isBatchMode()) {
        Get_Valeurs(false, 0, toEditor);
        return;
    }
    const QList<int> rows = selectedRows(menu);
    BatchProgress progress(menu, u"Création des lettres en cours..."_s, int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        progress.setValue(i);
        if (progress.cancelled())
            break;
        Get_Valeurs(true, rows.at(i), true);
    }
}

void Fichier_Modele(bool save)
{
    FrmMenu *menu = FrmMenu::instance();
    const QString filter = u"Fichier de type texte (*.txt)"_s;
    const QString folder = DataPaths::modelsFolder();
    if (save) {
        const QString path =
            Dialogs::saveFileName(menu, u"Enregistrer un modèle"_s, folder, filter, CurrentModelName, u"txt"_s);
        if (path.isEmpty())
            cancelled();
        QString error;
        const LetterModel model = modelOf(menu);
        if (!model.write(path, &error))
            throw QuilloError(error, QuilloError::PermissionDenied);
        menu->lastModelValues = valuesOf(model);
        modelChosen(menu, path);
        menu->showConfirmation(u"Modèle « %1 » enregistré."_s.arg(CurrentModelName));
        return;
    }
    const QString path = Dialogs::openFileName(menu, u"Ouvrir un modèle"_s, folder, filter);
    if (path.isEmpty())
        cancelled();
    LetterModel model;
    QString error;
    // The whole model is checked before any field changes.
    if (!LetterModel::read(path, &model, &error))
        throw QuilloError(error,
                          QFileInfo::exists(path) ? QuilloError::SubscriptOutOfRange : QuilloError::FileNotFound);
    showModel(menu, model);
    // The model as opened is what "Quitter" compares with: a date brought up to today is a change.
    rememberLetterAsSaved(menu);
    offerTodaysDate(menu);
    Get_Valeurs(false, 0, false);
    modelChosen(menu, path);
}

void Export_RTF(bool modify)
{
    FrmMenu *menu = FrmMenu::instance();
    // The letter as the wizard's fields make it now: the working document may hold an older letter,
    // or none at all right after a model was saved.
    Get_Valeurs(false, 0, false);
    QString proposed = CurrentModelName;
    if (proposed.endsWith(u".txt"_s, Qt::CaseInsensitive))
        proposed.chop(4);
    const QString title = modify ? u"Exporter et modifier"_s : u"Exporter un modèle"_s;
    const QString path =
        Dialogs::saveFileName(menu, title, lastDialogFolder(), u"Fichier de type RTF (*.rtf)"_s, proposed, u"rtf"_s);
    if (path.isEmpty())
        cancelled();
    QString error;
    if (!RichText::saveRtfFile(path, menu->workingDocument, &error))
        throw QuilloError(error, QuilloError::PermissionDenied);
    lastDialogFolder() = QFileInfo(path).absolutePath();
    QString done = u"Exportation du fichier terminé."_s;
    if (modify)
        done += u"\nCelui-ci va maintenant être édité."_s;
    Dialogs::message(menu, done, QMessageBox::Ok, Dialogs::Icon::Information);
    QCoreApplication::processEvents();
    if (modify && FinalisationHooks::openFile && !FinalisationHooks::openFile(QUrl::fromLocalFile(path))) {
        Dialogs::message(menu,
                         u"Le fichier « %1 » a été exporté, mais il n'a pas pu être ouvert : aucun programme "
                         u"n'a accepté de l'ouvrir."_s.arg(QDir::toNativeSeparators(path)),
                         QMessageBox::Ok, Dialogs::Icon::Warning);
    }
}

void Export_PDF()
{
    FrmMenu *menu = FrmMenu::instance();
    if (!menu->isBatchMode()) {
        // The letter as the fields make it now, as the RTF export writes it.
        QString model = CurrentModelName;
        if (model.endsWith(u".txt"_s, Qt::CaseInsensitive))
            model.chop(4);
        const QString path = PdfExport::exportLetter(menu, LetterBatch::fromValues(wizardValues(menu), false, model),
                                                     lastDialogFolder());
        if (!path.isEmpty())
            lastDialogFolder() = QFileInfo(path).absolutePath();
        return;
    }
    QList<LetterBatch::Letter> letters;
    for (const int row : selectedRows(menu))
        letters.append(LetterBatch::fromValues(wizardValues(menu, menu->recipientList->topLevelItem(row - 1)), true));
    if (letters.isEmpty()) {
        Dialogs::message(menu, u"Sélectionnez dans la liste les destinataires des lettres à exporter."_s,
                         QMessageBox::Ok, Dialogs::Icon::Information);
        return;
    }
    PdfExport::exportLetters(menu, letters);
}

void runFinalAction(int index)
{
    FrmMenu *menu = FrmMenu::instance();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        using enum FinalAction;
        switch (FinalAction(index)) {
        case SaveModel:
            Fichier_Modele(true);
            break;
        case OpenModel:
            Fichier_Modele(false);
            break;
        case PreviewModel:
            Genere_Lettres(false);
            QApplication::restoreOverrideCursor();
            // The preview lays the letter out with the margins printing uses, so what it shows is
            // what the paper gets.
            Preview_RTF(PPreview(), *menu->workingDocument, LetterMargin, false);
            return;
        case ToEditor:
            Genere_Lettres(true);
            QApplication::restoreOverrideCursor();
            menu->showModal(FrmEditeur::instance());
            return;
        case ExportRtf:
            Export_RTF(false);
            break;
        case ExportAndEdit:
            Export_RTF(true);
            break;
        case ExportPdf:
            QApplication::restoreOverrideCursor();
            // Its dialogs and messages are its own; the export shows its own hourglass.
            Export_PDF();
            return;
        default:
            break;
        }
        QApplication::restoreOverrideCursor();
    } catch (const QuilloError &failure) {
        QApplication::restoreOverrideCursor();
        // A cancelled dialog is the user's choice, not a failure: nothing was done, nothing to say.
        if (failure.number != QuilloError::Cancelled)
            showFailure(menu, failure);
    }
}

void rememberLetterAsSaved(FrmMenu *menu)
{
    menu->lastModelValues = valuesOf(modelOf(menu));
}

bool letterChangedSinceModel(const FrmMenu *menu)
{
    return valuesOf(modelOf(menu)) != menu->lastModelValues;
}

bool confirmQuit(FrmMenu *menu)
{
    if (!letterChangedSinceModel(menu))
        return true;
    const QMessageBox::StandardButton answer = Dialogs::message(
        menu,
        u"Les informations de la lettre ont été modifiées.\nVoulez-vous enregistrer le modèle avant de quitter ?"_s,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, Dialogs::Icon::Question, QString(), QMessageBox::Yes);
    if (answer == QMessageBox::No)
        return true;
    if (answer != QMessageBox::Yes)
        return false;
    try {
        Fichier_Modele(true);
        return true;
    } catch (const QuilloError &failure) {
        if (failure.number != QuilloError::Cancelled)
            showFailure(menu, failure);
        return false;
    }
}
