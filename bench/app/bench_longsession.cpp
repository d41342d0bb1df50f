// A long working session in one process, as an office worker's day runs it: a hundred rounds of
// ten letters opened in the editor and closed, one preview opened and closed, and two batches of
// five recipients assembled into the editor from the wizard. The resident memory after the last
// round must stay within 10 % of what it was after the first: what a round leaves behind it
// leaves a hundred times.
//
// Usage: bench_longsession [ROUNDS]   (100 by default; the exit status is 1 past the 10 %)
// The letters opened are a letter assembled by the wizard and the RTF files of the shared corpus
// under 128 KB, when it lies beside the clone.
#include "app/Translations.h"
#include "app/Wiring.h"
#include "core/DataPaths.h"
#include "core/Folders.h"
#include "core/ProgramFolder.h"
#include "dialogs/Dialogs.h"
#include "dialogs/WindowRegistry.h"
#include "editor/FrmEditeur.h"
#include "editor/LetterEdit.h"
#include "printing/CurrentPrinter.h"
#include "printing/FrmPage.h"
#include "richtext/RichText.h"
#include "wizard/Finalisation.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"
#include <QTextDocument>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPageSize>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

constexpr int kLettersPerRound = 10;
constexpr int kBatchesPerRound = 2;
constexpr int kBatchRecipients = 5;

// The user's answers: the file dialog names the letter to open; a question is answered "Non"
// (nothing is saved on closing), any other message "OK". Messages are counted, so a run that
// met errors says so.
class SessionAnswers final : public Dialogs::Backend
{
public:
    QString file;
    int messages = 0;
    Dialogs::Answer ask(QWidget *, const Dialogs::Request &request, QPrinter *) override
    {
        Dialogs::Answer answer;
        answer.accepted = true;
        if (request.kind == Dialogs::Request::Kind::Message) {
            ++messages;
            if (qEnvironmentVariableIsSet("QUILLO_BENCH_VERBOSE"))
                QTextStream(stderr) << request.text << Qt::endl;
            answer.button = request.buttons.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
        } else {
            answer.text = file;
        }
        return answer;
    }
};

qint64 residentKilobytes()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// What the event loop does between two clicks: pending events, then the windows closed since.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void fillWizard(FrmMenu *menu)
{
    menu->senderName->setEditText(u"Jean Martin"_s);
    menu->senderFields[0]->setText(u"12 rue des Lilas"_s);
    menu->senderFields[2]->setText(u"69001 Lyon"_s);
    menu->senderQualifier->setEditText(u"Monsieur"_s);
    menu->senderFunction->setEditText(u"Chef de service"_s);
    menu->recipientName->setEditText(u"Paul Durand"_s);
    menu->recipientFields[2]->setText(u"75001 Paris"_s);
    menu->recipientQualifier->setEditText(u"Monsieur"_s);
    menu->recipientFunction->setEditText(u"Maire"_s);
    menu->town->setEditText(u"Lyon"_s);
    menu->object->setEditText(u"Réclamation"_s);
    menu->signature->setEditText(u"Jean Martin"_s);
    menu->formulaFirst->setEditText(u"Je vous prie d'agréer"_s);
    menu->formulaSecond->setEditText(u"l'expression de ma considération distinguée."_s);
    menu->body->setPlainText(QString(u"Je me permets de vous écrire au sujet de notre dossier, resté sans réponse "
                                     u"malgré nos relances successives. "_s)
                                 .repeated(10) +
                             u"\n\nJe reste à votre disposition pour tout renseignement."_s);
}

QStringList lettersToOpen(const QString &workFolder)
{
    // The wizard's own letter, assembled and written as its RTF export would write it.
    Genere_Lettres(false);
    const QString assembled = QDir(workFolder).filePath(u"lettre.rtf"_s);
    RichText::saveRtfFile(assembled, FrmMenu::existing()->workingDocument);
    QStringList letters{assembled};
    const QDir corpus(QStringLiteral(QUILLO_SHARED_DIR) + u"/rtf-corpus"_s);
    for (const QFileInfo &file : corpus.entryInfoList({u"*.rtf"_s}, QDir::Files, QDir::Name)) {
        if (letters.size() == kLettersPerRound)
            break;
        if (file.size() < 128 * 1024)
            letters.append(file.filePath());
    }
    return letters;
}

// The offscreen platform says at every editor window that it cannot pass size hints on: twelve
// lines a round would bury the figures.
QtMessageHandler defaultHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message != u"This plugin does not support propagateSizeHints()"_s)
        defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    defaultHandler = qInstallMessageHandler(quietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFrench(app);
    const int rounds = argc > 1 ? QByteArray(argv[1]).toInt() : 100;
    if (rounds < 1) {
        QTextStream(stderr) << "Usage : bench_longsession [TOURS]" << Qt::endl;
        return 2;
    }

    QTemporaryDir root;
    ProgramFolder::seed(QStringLiteral(QUILLO_DATA_DIR), root.path());
    ProgramFolder::setOverride(root.path());
    auto answers = std::make_shared<SessionAnswers>();
    Dialogs::setBackend(answers);
    // Previews are measured on an A4 sheet; no job ever reaches a printer queue.
    Printing::currentPrinter().setPageSize(QPageSize(QPageSize::A4));
    Printing::currentPrinter().setOutputFormat(QPrinter::PdfFormat);
    Printing::currentPrinter().setOutputFileName(QDir(root.path()).filePath(u"aperçu.pdf"_s));

    Init_Dossiers();
    const QDir cards(DataPaths::recipientsFolder());
    for (int i = 1; i <= kBatchRecipients; ++i) {
        QFile card(cards.filePath(u"Destinataire %1.ini"_s.arg(i)));
        card.open(QIODevice::WriteOnly);
        card.write(
            "Destinataire " + QByteArray::number(i) +
            "\r\n12 rue de la R\xE9publique\r\nB\xE2timent C\r\n75002 Paris\r\nFrance\r\nMadame\r\nDirectrice\r\n");
    }
    wireWindows();
    Main();
    FrmMenu *menu = FrmMenu::existing();
    fillWizard(menu);
    const QStringList letters = lettersToOpen(root.path());

    // The windows the session waits on are closed as soon as they show, as the user closes them:
    // the preview by its "Fermer" button once its page is drawn, the editor the wizard opened.
    // What was shown is counted there, so that the figures say what the session really did.
    int previews = 0, assembled = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (FrmPage *preview = FrmPage::existing(); preview && preview->isVisible()) {
            (void)preview->grab();
            ++previews;
            preview->buttons[size_t(FrmPage::Button::Close)]->click();
        } else if (FrmEditeur *editor = FrmEditeur::existing();
                   editor && editor->isVisible() && editor->windowModality() == Qt::ApplicationModal) {
            assembled += editor->letterCount() - 1; // the first tab is the empty "Lettre n°1"
            editor->close();
        }
    });
    closer.start(5);

    QTextStream out(stdout);
    QElapsedTimer timer;
    timer.start();
    qint64 afterFirst = 0;
    int opened = 0, batches = 0;
    for (int round = 1; round <= rounds; ++round) {
        for (int i = 0; i < kLettersPerRound; ++i) {
            FrmEditeur *editor = FrmEditeur::instance();
            editor->show();
            answers->file = letters.at(i % letters.size());
            if (editor->Ouvrir())
                ++opened;
            settle();
            if (i == 0) // the wizard's letter
                editor->Toolbar1_ButtonClick(FrmEditeur::ToolButton::Preview);
            editor->close();
            settle();
        }
        menu->recipientMode->setCurrentIndex(1);
        menu->Tab1_Click();
        for (int i = 0; i < kBatchesPerRound; ++i) {
            menu->recipientList->selectAll();
            runFinalAction(int(FinalAction::ToEditor));
            ++batches;
            settle();
        }
        menu->recipientMode->setCurrentIndex(0);
        menu->Tab1_Click();
        settle();
        const qint64 resident = residentKilobytes();
        if (round == 1)
            afterFirst = resident;
        if (round == 1 || round % 10 == 0 || round == rounds)
            out << "Tour " << round << " : " << resident << " Ko résidents" << Qt::endl;
    }
    const qint64 afterLast = residentKilobytes();
    const double growth = afterFirst ? 100.0 * double(afterLast - afterFirst) / double(afterFirst) : 0.0;
    out << "Lettres ouvertes : " << opened << ", aperçus : " << previews << ", lots assemblés : " << batches << " ("
        << assembled << " lettres), messages : " << answers->messages << Qt::endl;
    out << "Durée : " << timer.elapsed() / 1000.0 << " s" << Qt::endl;
    out << "Mémoire résidente après le premier tour : " << afterFirst << " Ko, après le dernier : " << afterLast
        << " Ko (" << (growth >= 0 ? "+" : "") << QString::number(growth, 'f', 1) << " %)" << Qt::endl;
    closer.stop();
    WindowRegistry::unloadAll();
    ProgramFolder::setOverride(QString());
    return growth <= 10.0 ? 0 : 1;
}
