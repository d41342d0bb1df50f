#include "EditorTestSupport.h"
#include "about/FrmAbout.h"
#include "core/Clock.h"
#include "core/Product.h"
#include "editor/CharacterTable.h"
#include "editor/RichEditing.h"
#include "printing/CurrentPrinter.h"
#include "printing/LetterPdf.h"
#include "printing/PrintRtf.h"
#include "richtext/RichText.h"
#include "spelling/SpellChecker.h"
#include "spelling/SpellDictionary.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTextBlock>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;
using EditorTest::trigger;

class TestEditorMenus : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;
    std::shared_ptr<ScriptedDialogs> dialogs;
    FrmEditeur *editor = nullptr;
    LetterEdit *edit = nullptr;

private slots:
    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>();
        dialogs = ScriptedDialogs::install();
        editor = FrmEditeur::instance();
        edit = editor->letterEdit(1);
    }

    void cleanup()
    {
        Clock::reset();
        Printing::jobSent = nullptr;
        SpellChecker::shared()->setEnabled(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
        QCOMPARE(dialogs->unexpected, 0);
        ScriptedDialogs::uninstall();
        folder.reset();
    }

    void rechercher_findsAWordTypedInCapitals_fromTheStart()
    {
        trigger(editor->Mnu_OutEdition[7]); // an empty letter: no prompt
        QVERIFY(dialogs->requests.isEmpty());

        EditorTest::typeText(edit, u"Chère Madame, votre Lettre du 3 mai et ma lettre"_s);
        dialogs->answerText(u"LETTRE"_s);
        trigger(editor->Mnu_OutEdition[7]);
        QCOMPARE(dialogs->requests.at(0).kind, Dialogs::Request::Kind::Input);
        QVERIFY(dialogs->requests.at(0).text.startsWith(
            u"Veuillez indiquer un mot (ou expression) à rechercher.\n\n1. La recherche peut s'effectuer par "
            u"n'importe quelle occurence de mot."_s));
        QCOMPARE(edit->textCursor().selectionStart(), 20);
        QCOMPARE(edit->textCursor().selectedText(), u"Lettre"_s);

        // An absent word leaves the selection as it was.
        dialogs->answerText(u"facture"_s);
        trigger(editor->Mnu_OutEdition[7]);
        QCOMPARE(edit->textCursor().selectedText(), u"Lettre"_s);
    }

    void rechercher_findsWordsBeyondThe16BitPositions()
    {
        EditorTest::typeText(edit, QString(40000, u'x') + u" signature"_s);
        dialogs->answerText(u"Signature"_s);
        trigger(editor->Mnu_OutEdition[7]);
        QCOMPARE(edit->textCursor().selectionStart(), 40001);
    }

    void everyCommand_isOneUndoStep_andTheAssembledLetterIsWhereUndoStops_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("bold") << u"Toolbar1_8"_s;
        QTest::newRow("centre") << u"Toolbar1_14"_s;
        QTest::newRow("bullet") << u"Toolbar1_17"_s;
        QTest::newRow("indent") << u"Toolbar1_19"_s;
        QTest::newRow("font") << u"Toolbar1_21"_s;
        QTest::newRow("picture") << u"Toolbar1_24"_s;
        QTest::newRow("date") << u"Toolbar1_25"_s;
        QTest::newRow("upper case") << u"Mnu_OutOutils_2"_s;
        QTest::newRow("paste") << u"Mnu_OutEdition_2"_s;
        QTest::newRow("cut") << u"Mnu_OutEdition_0"_s;
    }

    void everyCommand_isOneUndoStep_andTheAssembledLetterIsWhereUndoStops()
    {
        QFETCH(QString, item);
        QAction *undo = editor->Mnu_OutEdition[11];
        QAction *redo = editor->Mnu_OutEdition[12];
        EditorTest::typeText(edit, u"Tapé avant la lettre"_s);
        QTextDocument assembled;
        assembled.setPlainText(u"Madame,\nNous avons bien reçu votre courrier du 3 mai."_s);
        QVERIFY(editor->setLetterRtf(1, RichText::writeRtf(&assembled)));
        QVERIFY(!undo->isEnabled() && !editor->toolButtons[30]->isEnabled());
        // What the font and picture dialogs answer, and the clipboard for "Coller".
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        Dialogs::Answer answer{
            true, QMessageBox::Ok, folder->filePath(u"image.png"_s), {}, QFont(u"DejaVu Serif"_s, 14), {}};
        QVERIFY(picture.save(answer.text));
        dialogs->answer(answer);
        QGuiApplication::clipboard()->setText(u"notre"_s);
        // From "Madame," to "votre" of the second paragraph.
        EditorTest::select(edit, 3, 34);
        const QString before = edit->toHtml();

        trigger(editor->findChild<QAction *>(item));
        const QString after = edit->toHtml();
        QVERIFY(after != before);
        QVERIFY(undo->isEnabled() && editor->toolButtons[30]->isEnabled());
        trigger(undo);
        QCOMPARE(edit->toHtml(), before);
        QVERIFY(!undo->isEnabled()); // one step, and nothing from before the letter
        QVERIFY(redo->isEnabled() && editor->toolButtons[31]->isEnabled());
        trigger(editor->toolButtons[31]);
        QCOMPARE(edit->toHtml(), after);
        QVERIFY(!redo->isEnabled());
    }

    void rechercherLeSuivant_andRemplacerTout_goOnFromTheLastSearch()
    {
        EditorTest::typeText(edit, u"Le devis, le Devis signé et les devis anciens ; devisé."_s);
        const QString original = edit->toPlainText();
        dialogs->answerText(u"devis"_s);
        trigger(editor->Mnu_OutEdition[8]); // no search yet: the prompt of "Rechercher..."
        QCOMPARE(edit->textCursor().selectionStart(), 3);
        trigger(editor->Mnu_OutEdition[8]);
        QCOMPARE(edit->textCursor().selectionStart(), 13);

        trigger(editor->Mnu_OutEdition[9]);
        auto *dialog = editor->findChild<QDialog *>(u"frmRemplacer"_s);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->findChild<QLineEdit *>(u"Text1_0"_s)->text(), u"Devis"_s); // the selection
        dialog->findChild<QLineEdit *>(u"Text1_0"_s)->setText(u"devis"_s);
        dialog->findChild<QLineEdit *>(u"Text1_1"_s)->setText(u"bon de commande"_s);
        dialog->findChild<QCheckBox *>(u"Check1_1"_s)->setChecked(true); // "devisé" stays
        dialogs->answerButton(QMessageBox::Ok);
        dialog->findChild<QPushButton *>(u"Bouton_2"_s)->click();
        QCOMPARE(dialogs->requests.constLast().text, u"3 remplacements effectués."_s);
        QCOMPARE(edit->toPlainText(), u"Le bon de commande, le bon de commande signé et les bon de commande anciens ; "
                                      u"devisé."_s);
        trigger(editor->Mnu_OutEdition[11]);
        QCOMPARE(edit->toPlainText(), original);

        // The editor's next search goes on with the dialog's text and options, round to the start.
        dialog->findChild<QCheckBox *>(u"Check1_0"_s)->setChecked(true);
        EditorTest::select(edit, 0, 0);
        dialog->findChild<QPushButton *>(u"Bouton_0"_s)->click();
        QCOMPARE(edit->textCursor().selectionStart(), 3);
        for (const int start : {32, 3}) {
            trigger(editor->Mnu_OutEdition[8]); // "Devis" and "devisé" are passed
            QCOMPARE(edit->textCursor().selectionStart(), start);
        }
        QCOMPARE(dialogs->requests.size(), 2);
    }

    void spellCheckingEntry_isRemembered_andDisabledWithoutADictionary()
    {
        SpellChecker *checker = SpellChecker::shared();
        checker->waitForDictionary();
        checker->setDictionary(SpellDictionary::load(QStringLiteral(QUILLO_TEST_DATA_DIR "/spelling/petit_FR.aff")));
        QAction *entry = editor->Mnu_OutOutils[8];
        QVERIFY(entry->isCheckable() && entry->isChecked() && entry->isEnabled());
        trigger(entry);
        QVERIFY(!checker->isEnabled());
        editor->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        checker->setEnabled(true); // as another start of the program
        editor = FrmEditeur::instance();
        QVERIFY(!editor->Mnu_OutOutils[8]->isChecked() && !checker->isEnabled());

        checker->setDictionary(nullptr);
        QVERIFY(!editor->Mnu_OutOutils[8]->isEnabled());
        QCOMPARE(editor->Mnu_OutOutils[8]->toolTip(), checker->unavailableText());
    }

    void copyThenPaste_keepsBoldAndItalicBetweenLetters_andOffersPlainText()
    {
        QTextCharFormat both = EditorTest::boldFormat();
        both.setFontItalic(true);
        EditorTest::typeText(edit, u"Très "_s);
        EditorTest::typeText(edit, u"important"_s, both);
        EditorTest::select(edit, 0, 14);
        trigger(editor->Mnu_OutEdition[1]);
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data->hasFormat(u"text/rtf"_s));
        QCOMPARE(data->text(), u"Très important"_s);

        editor->Nouveau();
        LetterEdit *other = editor->letterEdit(2);
        EditorTest::typeText(other, u"> "_s);
        trigger(editor->Mnu_OutEdition[2]);
        QCOMPARE(other->toPlainText(), u"> Très important"_s);
        QVERIFY(EditorTest::charFormatAt(other, 8).fontItalic());
        QCOMPARE(EditorTest::charFormatAt(other, 8).fontWeight(), int(QFont::Bold));
        QVERIFY(!EditorTest::charFormatAt(other, 3).fontItalic());

        // Plain text from another program takes the format at the caret.
        QGuiApplication::clipboard()->setText(u" et urgent"_s);
        EditorTest::select(other, 16, 16);
        trigger(editor->Mnu_OutEdition[2]);
        QCOMPARE(other->toPlainText(), u"> Très important et urgent"_s);
        QVERIFY(EditorTest::charFormatAt(other, 20).fontItalic());
    }

    void pastingAPicture_leavesTheLetterOwnPicturesAlone()
    {
        const auto letterWithPicture = [](const QColor &colour) {
            QTextDocument document;
            QImage picture(4, 4, QImage::Format_RGB32);
            picture.fill(colour);
            QTextCursor cursor(&document);
            RichEditing::insertImage(cursor, picture, 0);
            return RichText::writeRtf(&document);
        };
        QVERIFY(editor->setLetterRtf(1, letterWithPicture(Qt::green)));
        auto *data = new QMimeData;
        data->setData(u"text/rtf"_s, letterWithPicture(Qt::blue));
        QGuiApplication::clipboard()->setMimeData(data);
        edit->moveCursor(QTextCursor::End);
        trigger(editor->Mnu_OutEdition[2]);

        QList<QColor> colours;
        for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                if (!it.fragment().charFormat().isImageFormat())
                    continue;
                const QVariant image = edit->document()->resource(
                    QTextDocument::ImageResource, QUrl(it.fragment().charFormat().toImageFormat().name()));
                colours.append(image.value<QImage>().pixelColor(1, 1));
            }
        }
        QCOMPARE(colours, QList<QColor>({QColor(Qt::green), QColor(Qt::blue)}));
    }

    void cut_movesTheSelection_andDoesNothingWithoutOne()
    {
        EditorTest::typeText(edit, u"Garder couper"_s);
        QGuiApplication::clipboard()->setText(u"avant"_s);
        EditorTest::select(edit, 6, 6);
        trigger(editor->Mnu_OutEdition[0]);
        QCOMPARE(edit->toPlainText(), u"Garder couper"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"avant"_s);
        EditorTest::select(edit, 6, 13);
        trigger(editor->Mnu_OutEdition[0]);
        QCOMPARE(edit->toPlainText(), u"Garder"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u" couper"_s);
        trigger(editor->Mnu_OutEdition[5]);
        trigger(editor->Mnu_OutEdition[3]);
        QVERIFY(edit->document()->isEmpty());
    }

    void caseConversion_ofASelection_orOfTheWholeLetter_keepsTheFormatting()
    {
        EditorTest::typeText(edit, u"élève "_s);
        EditorTest::typeText(edit, u"œuvre"_s, EditorTest::boldFormat());
        EditorTest::typeText(edit, u" à Noël"_s);
        EditorTest::select(edit, 6, 11);
        trigger(editor->Mnu_OutOutils[2]);
        QCOMPARE(edit->toPlainText(), u"élève ŒUVRE à Noël"_s);
        QCOMPARE(edit->textCursor().selectedText(), u"ŒUVRE"_s);
        QCOMPARE(EditorTest::charFormatAt(edit, 8).fontWeight(), int(QFont::Bold));

        EditorTest::select(edit, 0, 0);
        trigger(editor->Mnu_OutOutils[2]);
        QCOMPARE(edit->toPlainText(), u"ÉLÈVE ŒUVRE À NOËL"_s);
        QCOMPARE(EditorTest::charFormatAt(edit, 8).fontWeight(), int(QFont::Bold));
        QCOMPARE(EditorTest::charFormatAt(edit, 2).fontWeight(), int(QFont::Normal));
        trigger(editor->Mnu_OutOutils[3]);
        QCOMPARE(edit->toPlainText(), u"élève œuvre à noël"_s);
    }

    void dateAndTime_replaceTheSelection_andLeaveTheClipboardAlone()
    {
        Clock::setFixed(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7)));
        QGuiApplication::clipboard()->setText(u"presse-papiers"_s);
        EditorTest::typeText(edit, u"Le JOUR, à HEURE."_s);
        EditorTest::select(edit, 3, 7);
        trigger(editor->Mnu_OutOutils[5]);
        QCOMPARE(edit->toPlainText(), u"Le dimanche 6 décembre 2026, à HEURE."_s);
        EditorTest::select(edit, 31, 36);
        trigger(editor->toolButtons[26]);
        QCOMPARE(edit->toPlainText(), u"Le dimanche 6 décembre 2026, à 09:05:07."_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"presse-papiers"_s);
    }

    void printing_asksOnce_andSkipsBlankLetters()
    {
        // The letters go to a PDF file; each job the printer accepts is told, and each letter
        // starts a page of its own.
        const QString pdf = folder->filePath(u"lettres.pdf"_s);
        const QString file = QDir::toNativeSeparators(pdf);
        QPrinter &printer = Printing::currentPrinter();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QStringList jobs;
        Printing::jobSent = [&](const QString &sentence) { jobs.append(sentence); };
        const auto pagesPrinted = [&] {
            return QString::fromLatin1(QuilloTest::readBytes(pdf)).count(QRegularExpression(u"/Type\\s*/Page\\b"_s));
        };
        EditorTest::typeText(edit, u"Une"_s);
        editor->Nouveau();
        editor->Nouveau();
        EditorTest::typeText(editor->letterEdit(3), u"Trois"_s);
        dialogs->answerButton(QMessageBox::Yes);
        trigger(editor->Mnu_OutFichier[11]);
        QCOMPARE(jobs, QStringList{u"Lettres imprimées dans le fichier « %1 »."_s.arg(file)});
        QCOMPARE(pagesPrinted(), 2); // the blank letter 2 is left out
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests.at(0).text,
                 u"L'imprimante doit être active avant l'impression.\nÊtes-vous sûr de vouloir imprimer ?"_s);
        QCOMPARE(dialogs->requests.at(0).buttons, QMessageBox::Yes | QMessageBox::No);

        dialogs->answerButton(QMessageBox::No);
        trigger(editor->toolButtons[6]);
        QCOMPARE(jobs.size(), 1);
        dialogs->answerButton(QMessageBox::Yes);
        trigger(editor->Mnu_OutFichier[10]); // letter 3 is the current one
        QCOMPARE(jobs.constLast(), u"Lettre imprimée dans le fichier « %1 »."_s.arg(file));
        QCOMPARE(pagesPrinted(), 1);

        // Only blank letters: nothing to print.
        editor->selectLetter(2);
        dialogs->answerButton(QMessageBox::Yes);
        trigger(editor->Mnu_OutFichier[10]);
        QCOMPARE(jobs.size(), 2);
    }

    // "Exporter en PDF…" proposes the tab's caption; "Exporter tout en PDF…" writes every letter
    // that is not blank, named from its tab, and names the one that could not be written.
    void pdfExports_ofTheCurrentLetterAndOfEveryTab()
    {
        const QList<QAction *> shown = editor->Mnu_Fichier->actions();
        QCOMPARE(shown.indexOf(editor->Mnu_OutFichier[15]), shown.indexOf(editor->Mnu_OutFichier[11]) + 2);
        trigger(editor->Mnu_OutFichier[15]); // a blank letter: nothing to export, nothing asked
        QVERIFY(dialogs->requests.isEmpty());

        const QDir target(folder->filePath(u"Lettres"_s));
        const QStringList names{u"Alice"_s, u"Vide"_s, u"Bruno"_s, u"Chloé"_s};
        for (int i = 1; i <= names.size(); ++i) {
            if (i > 1)
                editor->Nouveau();
            editor->setCaption(i, names[i - 1]);
            if (names[i - 1] != u"Vide"_s)
                EditorTest::typeText(editor->letterEdit(i), u"Lettre pour "_s + names[i - 1]);
        }
        QVERIFY(target.mkpath(u"."_s));
        dialogs->answerText(target.filePath(u"seule"_s));
        dialogs->answerButton(QMessageBox::Ok);
        trigger(editor->Mnu_OutFichier[15]); // Chloé's, the current one
        QCOMPARE(dialogs->requests.at(0).initialText, u"Chloé.pdf"_s);
        QVERIFY(LetterPdf::isCompleteFile(target.filePath(u"seule.pdf"_s)));

        // A folder in the way of Bruno's file: his letter fails, the others are written.
        QVERIFY(target.mkpath(u"Bruno.pdf"_s));
        dialogs->answerText(target.path());
        dialogs->answerButton(QMessageBox::Yes); // replace "Bruno.pdf"
        dialogs->answerButton(QMessageBox::No);  // do not open the folder
        trigger(editor->Mnu_OutFichier[16]);
        for (const QString &name : {u"Alice.pdf"_s, u"Chloé.pdf"_s})
            QVERIFY2(LetterPdf::isCompleteFile(target.filePath(name)), qPrintable(name));
        QVERIFY(!QFile::exists(target.filePath(u"Vide.pdf"_s)));
        QVERIFY(QFile::exists(target.filePath(u"journal.csv"_s)));
        const Dialogs::Request &report = dialogs->requests.last();
        QVERIFY2(report.text.startsWith(u"2 lettres ont été exportées"_s), qPrintable(report.text));
        QVERIFY2(report.text.contains(u"Cette lettre n'a pas pu être écrite :\n   Bruno : "_s),
                 qPrintable(report.text));
        QCOMPARE(report.icon, Dialogs::Icon::Warning);
    }

    void characterTable_insertsTheDoubleClickedCharacterAtTheCaret()
    {
        EditorTest::typeText(edit, u"Ecole"_s);
        EditorTest::select(edit, 0, 1);
        trigger(editor->Mnu_OutOutils[0]);
        CharacterTable *table = editor->characterTable;
        QVERIFY(table && table->isVisible());
        const QStringList characters = CharacterTable::characters();
        const int index = int(characters.indexOf(u"É"_s));
        table->grid->setCurrentCell(index / 16, index % 16);
        emit table->grid->cellDoubleClicked(index / 16, index % 16);
        QCOMPARE(edit->toPlainText(), u"École"_s);
        // Entrée does the same from the keyboard.
        const int euro = int(characters.indexOf(u"€"_s));
        table->grid->setCurrentCell(euro / 16, euro % 16);
        QTest::keyClick(table->grid, Qt::Key_Return);
        QCOMPARE(edit->toPlainText(), u"É€cole"_s); // at the caret, after the É
    }

    void helpMenu_opensTheWebPage_andTheAboutBox()
    {
        QUrl opened;
        const auto previous = FrmEditeur::openUrl;
        FrmEditeur::openUrl = [&](const QUrl &url) { opened = url; };
        trigger(editor->Mnu_OutAide[0]);
        FrmEditeur::openUrl = previous;
        QCOMPARE(opened, QUrl(Product::webPage()));

        bool shownModally = false;
        QTimer::singleShot(0, [&] {
            FrmAbout *about = FrmAbout::existing();
            shownModally = about && about->isVisible() && about->isModal();
            if (about)
                about->accept();
        });
        trigger(editor->Mnu_OutAide[2]);
        QVERIFY(shownModally);
    }
};

QUILLO_TEST_MAIN(TestEditorMenus)
#include "tst_editormenus.moc"
