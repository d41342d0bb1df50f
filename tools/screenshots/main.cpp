// Writes a PNG of each window the user sees, for a look at the program without a screen:
// the five wizard steps (step 2 in both modes), the import of recipients, the editor, the
// preview, the writing assistant, the reference-lists dialog and the about box.
#include "about/FrmAbout.h"
#include "app/Translations.h"
#include "app/Wiring.h"
#include "composition/ui/FrmAssistant.h"
#include "composition/ui/FrmOptions.h"
#include "core/ContactCard.h"
#include "core/ProgramFolder.h"
#include "dialogs/FrmImport.h"
#include "dialogs/WindowRegistry.h"
#include "editor/FrmEditeur.h"
#include "printing/FrmPage.h"
#include "printing/ImprimeRtf.h"
#include "printing/Imprimer.h"
#include "wizard/Finalisation.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
QString target;

void shoot(QWidget *window, const QString &name)
{
    window->show();
    QCoreApplication::processEvents();
    const QString file = QDir(target).filePath(name + u".png"_s);
    window->grab().save(file);
    QTextStream(stdout) << file << Qt::endl;
}

// Shoots a window that runs modally, once it shows, then closes it.
void shootModal(const QString &formName, const QString &name, const std::function<void()> &open)
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *window = WindowRegistry::find(formName);
        if (!window || !window->isVisible())
            return;
        poll.stop();
        QCoreApplication::processEvents();
        shoot(window, name);
        window->close();
    });
    poll.start(20);
    open();
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFrench(app);
    target = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"screenshots"_s;
    QDir().mkpath(target);

    // A scratch program folder with the installation content, so the shots show real lists.
    QTemporaryDir scratch;
    ProgramFolder::seed(QStringLiteral(QUILLO_DATA_DIR), scratch.path());
    ProgramFolder::setOverride(scratch.path());
    wireWindows();
    Main();
    FrmMenu *menu = FrmMenu::existing();
    menu->senderName->setEditText(u"Jean Martin"_s);
    menu->senderFields[0]->setText(u"12 rue des Lilas"_s);
    menu->senderFields[2]->setText(u"69001 Lyon"_s);
    menu->senderQualifier->setEditText(u"Monsieur"_s);
    menu->senderFunction->setEditText(u"Chef de service"_s);
    menu->recipientName->setEditText(u"Paul Durand"_s);
    menu->recipientFields[0]->setText(u"1 place de la Mairie"_s);
    menu->recipientFields[2]->setText(u"75001 Paris"_s);
    menu->recipientQualifier->setEditText(u"Monsieur"_s);
    menu->recipientFunction->setEditText(u"Maire"_s);
    menu->town->setEditText(u"Lyon"_s);
    menu->object->setEditText(u"Demande de rendez-vous"_s);
    menu->signature->setEditText(u"Jean Martin"_s);
    menu->formulaFirst->setEditText(u"Je vous prie d'agréer"_s);
    menu->formulaSecond->setEditText(u"l'expression de ma considération distinguée."_s);
    menu->body->setPlainText(u"Je me permets de vous solliciter afin d'obtenir un rendez-vous au sujet du projet "
                             u"d'aménagement de la place de la Mairie, dont les habitants du quartier souhaitent "
                             u"connaître le calendrier.\n\nJe vous remercie par avance de l'attention que vous "
                             u"porterez à ma demande."_s);
    for (int step = 1; step <= 5; ++step) {
        menu->Affiche_Etape(step - 1);
        shoot(menu, u"wizard-step%1"_s.arg(step));
    }

    // Step 2's batch list, and what an import from a spreadsheet shows.
    const QList<QStringList> cards = {
        {u"Claire Durand"_s, u"3 rue Haute"_s, QString(), u"75003 Paris"_s, QString(), u"Madame"_s, u"Directrice"_s},
        {u"Paul Martin"_s, u"8 quai Sud"_s, QString(), u"69002 Lyon"_s, QString(), u"Monsieur"_s, u"Maire"_s}};
    for (const QStringList &card : cards)
        ContactCard::write(ContactCard::filePath(ContactCard::Kind::Recipient, card.first()),
                           ContactCard::Kind::Recipient, card);
    menu->Affiche_Etape(1);
    menu->recipientMode->setCurrentIndex(1);
    shoot(menu, u"wizard-step2-batch"_s);
    {
        FrmImport import(QByteArrayLiteral("Civilit\xE9;Pr\xE9nom;Nom;Adresse;Code postal;Ville;Fonction\r\n"
                                           "Mme;Claire;Durand;3 rue Haute;75003;Paris;Directrice\r\n"
                                           "M.;Paul;Martin;8 quai Sud;69002;Lyon;Maire\r\n"
                                           "Mme;Anne;Roux;1 place Neuve;1000;Bourg-en-Bresse;\r\n"
                                           ";Luc;Petit;2 rue Basse;13001;Marseille;Adjoint\r\n"),
                         u"contacts.csv"_s, menu);
        shoot(&import, u"import"_s);
    }
    menu->recipientMode->setCurrentIndex(0);

    Genere_Lettres(true);
    FrmEditeur *editor = FrmEditeur::instance();
    editor->resize(900, 700);
    shoot(editor, u"editor"_s);
    editor->hide();

    shootModal(u"frmPage"_s, u"preview"_s, [&] { Preview_RTF(PPreview(), *menu->workingDocument, 1400, false); });
    shootModal(u"frmAssistant"_s, u"assistant"_s, [&] { menu->bodyButtons[0]->click(); });
    shootModal(u"frmOptions"_s, u"references"_s, [&] { menu->referencesButton->click(); });
    shoot(FrmAbout::instance(), u"about"_s);
    WindowRegistry::unloadAll();
    return 0;
}
