// The letter assistant's windows tied together as the program starts them: the wizard's buttons
// reach the other windows, and letters travel from the wizard to the preview and the editor.
#include "ScriptedDialogs.h"
#include "TestSupport.h"
#include "app/Wiring.h"
#include "composition/ui/FrmAssistant.h"
#include "composition/ui/FrmOptions.h"
#include "dialogs/WindowRegistry.h"
#include "editor/FrmEditeur.h"
#include "editor/LetterEdit.h"
#include "printing/CurrentPrinter.h"
#include "printing/FrmPage.h"
#include "printing/PrintRtf.h"
#include "richtext/RichText.h"
#include "spelling/SpellChecker.h"
#include "spelling/SpellDictionary.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
// Runs look on the named window once it shows, then closes it; returns whether it showed.
bool whenShown(const QString &formName, const std::function<void(QWidget *)> &look, const std::function<void()> &open)
{
    bool shown = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *window = WindowRegistry::find(formName);
        if (!window || !window->isVisible())
            return;
        poll.stop();
        shown = true;
        look(window);
        window->close();
    });
    poll.start(10);
    open();
    return shown;
}
} // namespace

class TestWiring : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;
    std::shared_ptr<ScriptedDialogs> dialogs;

private slots:
    void initTestCase() { wireWindows(); }

    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>(true);
        dialogs = ScriptedDialogs::install();
        EtapeCourante = 0;
        CurrentModelName.clear();
        Main();
    }

    void cleanup()
    {
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
        ScriptedDialogs::uninstall();
        folder.reset();
    }

    // The same red waves wherever the user writes sentences of the letter.
    void unknownWordsAreUnderlined_inTheBodyTheAssistantAndTheLetters_data()
    {
        using Control = std::function<QTextDocument *()>;
        QTest::addColumn<Control>("control");
        QTest::newRow("body") << Control([] { return FrmMenu::existing()->body->document(); });
        QTest::newRow("assistant") << Control([] { return FrmAssistant::instance()->middleText->document(); });
        QTest::newRow("letter") << Control([] { return FrmEditeur::instance()->letterEdit(1)->document(); });
        // An opened letter is a new document in the same tab.
        QTest::newRow("opened letter") << Control([this] {
            QTextDocument letter(u"Madame,"_s);
            const QString file = folder->filePath(u"ouverte.rtf"_s);
            RichText::saveRtfFile(file, &letter);
            dialogs->answerText(file);
            FrmEditeur *editor = FrmEditeur::instance();
            editor->Ouvrir();
            return editor->letterEdit(editor->letterCount())->document();
        });
    }

    void unknownWordsAreUnderlined_inTheBodyTheAssistantAndTheLetters()
    {
        QFETCH(std::function<QTextDocument *()>, control);
        SpellChecker *checker = SpellChecker::shared();
        checker->waitForDictionary();
        checker->setDictionary(SpellDictionary::load(QStringLiteral(QUILLO_TEST_DATA_DIR "/spelling/petit_FR.aff")));
        QTextDocument *document = control();
        QTextCursor(document).insertText(u"Bonjour madamme "_s);
        const QList<QTextLayout::FormatRange> underlined = document->firstBlock().layout()->formats();
        QCOMPARE(underlined.size(), 1);
        QCOMPARE(underlined.at(0).start, 8);
        QCOMPARE(underlined.at(0).format.underlineStyle(), QTextCharFormat::SpellCheckUnderline);
        QCOMPARE(dialogs->unexpected, 0);
    }

    void referencesButtonOpensTheReferenceListsDialog()
    {
        FrmMenu *menu = FrmMenu::existing();
        QString caption;
        QVERIFY(whenShown(
            u"frmOptions"_s, [&](QWidget *w) { caption = w->windowTitle(); },
            [&] { menu->referencesButton->click(); }));
        QCOMPARE(caption, u"Références pour chaque lettre"_s);
    }

    void modelPreviewShowsTheAssembledLetter()
    {
        FrmMenu *menu = FrmMenu::existing();
        menu->senderName->setEditText(u"Jean Martin"_s);
        menu->body->setPlainText(QString(u"Une phrase du corps de la lettre. "_s).repeated(400));
        QVERIFY(menu->finalButtons[2]->isEnabled()); // no model needed first
        int pages = 0;
        QVERIFY(whenShown(
            u"frmPage"_s, [&](QWidget *w) { pages = qobject_cast<FrmPage *>(w)->pageCount(); },
            [&] { menu->finalButtons[2]->click(); }));
        QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
        QCOMPARE(dialogs->unexpected, 0);
    }

    void aPrintIsConfirmedInTheWizardsStatusLine()
    {
        // To a PDF file: a test never sends a job to a printer queue.
        FrmMenu *menu = FrmMenu::existing();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = folder->filePath(u"lettre.pdf"_s);
        printer.setOutputFileName(pdf);
        QTextDocument letter(u"Bonjour"_s);
        Print_RTF(printer, letter, 1400, 1400, 1400, 1400);
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(menu->statusBar()->currentMessage(),
                 u"Lettre imprimée dans le fichier « %1 »."_s.arg(QDir::toNativeSeparators(pdf)));
        QCOMPARE(dialogs->requests.size(), 0);
    }

    // "Imprimer tout" from the editor to a printer that writes a file: every letter in the file.
    void editorPrintAllToAFileKeepsEveryLetter()
    {
        const QString pdf = folder->filePath(u"lettres.pdf"_s);
        QPrinter &printer = Printing::currentPrinter();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        FrmEditeur *editor = FrmEditeur::instance();
        editor->letterEdit(1)->setPlainText(u"Premièrelettre"_s);
        editor->Nouveau();
        editor->Nouveau();
        editor->letterEdit(3)->setPlainText(u"Troisièmelettre"_s);
        dialogs->answerButton(QMessageBox::Yes);
        editor->Mnu_OutFichier[11]->trigger();
        // One job for all the letters, confirmed once, in the plural.
        QCOMPARE(FrmMenu::existing()->statusBar()->currentMessage(),
                 u"Lettres imprimées dans le fichier « %1 »."_s.arg(QDir::toNativeSeparators(pdf)));
        const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QProcess text;
        text.start(pdftotext, {pdf, u"-"_s});
        QVERIFY(text.waitForFinished(30000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains(u"Premièrelettre"_s) && printed.contains(u"Troisièmelettre"_s), qPrintable(printed));
        QVERIFY(printed.indexOf(u"Premièrelettre"_s) < printed.indexOf(u"Troisièmelettre"_s));
        QCOMPARE(dialogs->unexpected, 0);
    }

    void editorPreviewUsesThePrintedMargins()
    {
        FrmEditeur *editor = FrmEditeur::instance();
        editor->letterEdit(1)->setPlainText(u"Bonjour"_s);
        QVERIFY(whenShown(
            u"frmPage"_s, [](QWidget *) {}, [&] { editor->Mnu_OutFichier[7]->trigger(); }));
    }
};

QUILLO_TEST_MAIN(TestWiring)
#include "tst_wiring.moc"
