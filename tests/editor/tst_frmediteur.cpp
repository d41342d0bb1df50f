#include "EditorTestSupport.h"
#include "core/Clock.h"
#include "core/DataPaths.h"
#include "richtext/RichText.h"
#include "richtext/Twips.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolBar>

using namespace Qt::StringLiterals;
using EditorTest::trigger;

class TestFrmEditeur : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;
    std::shared_ptr<ScriptedDialogs> dialogs;

    static QString ini() { return DataPaths::editorSettingsFile(); }
    static QString iniValue(const QString &key)
    {
        const QRegularExpression line(u"^"_s + key + u"=(.*)$"_s, QRegularExpression::MultilineOption);
        return line.match(QString::fromLatin1(QuilloTest::readBytes(ini())).remove(u'\r')).captured(1);
    }
    QString path(const QString &name) const { return folder->filePath(name); }
    static void writeLetter(const QString &file, const QString &text)
    {
        QTextDocument document;
        document.setPlainText(text);
        QVERIFY(RichText::saveRtfFile(file, &document));
    }
    static QRect screenArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }
    QList<Dialogs::Request> requestsOf(Dialogs::Request::Kind kind) const
    {
        QList<Dialogs::Request> found;
        for (const Dialogs::Request &request : dialogs->requests)
            if (request.kind == kind)
                found.append(request);
        return found;
    }

private slots:
    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>();
        dialogs = ScriptedDialogs::install();
    }

    void cleanup()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // closed editors
        QVERIFY(QuilloTest::closeAllWindows().isEmpty());
        QCOMPARE(dialogs->unexpected, 0);
        ScriptedDialogs::uninstall();
        folder.reset();
    }

    void firstStart_centredShowingAPrintedLineAndTheToolBar_thenAllFiveKeysAfterANormalClose()
    {
        FrmEditeur *editor = FrmEditeur::instance();
        QCOMPARE(FrmEditeur::instance(), editor);
        QCOMPARE(editor->letterCount(), 1);
        QCOMPARE(editor->caption(1), u"Lettre n°1"_s);
        QCOMPARE(editor->letterEdit(1)->objectName(), u"RTF_1"_s);
        QVERIFY(editor->letterEdit(1)->document()->isEmpty());
        QVERIFY(editor->width() >= Twips::toPixels(9150));
        QCOMPARE(editor->x(), screenArea().left() + (screenArea().width() - editor->width()) / 2);
        QCOMPARE(editor->y(), screenArea().top() + (screenArea().height() - editor->height()) / 2);
        QVERIFY(!QFile::exists(ini()));

        // A letter longer than the window: its whole printed line shows beside the scroll bar.
        LetterEdit *edit = editor->letterEdit(1);
        edit->setPlainText(u"Ligne\n"_s.repeated(80));
        edit->document()->setModified(false);
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        QVERIFY(edit->verticalScrollBar()->isVisible());
        QVERIFY(edit->viewport()->width() >= edit->lineWrapColumnOrWidth());
        QVERIFY(editor->toolBar->width() >= editor->toolBar->sizeHint().width());
        const QRect shown(editor->pos(), editor->size());
        editor->close();
        QVERIFY(!FrmEditeur::existing());
        QCOMPARE(iniValue(u"Windows"_s), u"0"_s);
        for (const QString &key : {u"Hauteur"_s, u"Largeur"_s, u"PositionX"_s, u"PositionY"_s}) {
            bool number = false;
            iniValue(key).toInt(&number);
            QVERIFY2(number, qPrintable(key));
        }
        // The next opening is where the last one closed.
        FrmEditeur *again = FrmEditeur::instance();
        QVERIFY(again != editor);
        QCOMPARE(QRect(again->pos(), again->size()), shown);
    }

    // Each opening of the editor is a new window: it takes the same icons as the one before, not
    // new ones, whose pictures would pile up in Qt's pixmap cache over a day's letters.
    void aReopenedEditor_sharesItsToolBarPictures()
    {
        FrmEditeur *editor = FrmEditeur::instance();
        const qint64 bold = editor->toolButton(FrmEditeur::ToolButton::Bold)->icon().cacheKey();
        editor->show();
        QVERIFY(editor->close());
        editor = FrmEditeur::instance();
        QCOMPARE(editor->toolButton(FrmEditeur::ToolButton::Bold)->icon().cacheKey(), bold);
    }

    void statusBar_showsItsSixPanels()
    {
        Clock::setFixed(QDateTime(QDate(2005, 10, 11), QTime(13, 54, 30)));
        FrmEditeur *editor = FrmEditeur::instance();
        Clock::reset();
        QCOMPARE(editor->statusPanels[4]->text(), u"INS"_s);
        QCOMPARE(editor->statusPanels[5]->text(), u"13:54"_s);
        QCOMPARE(editor->statusPanels[6]->text(), u"11/10/2005"_s);
        // The Insert key switches to overwriting, and the panel says so.
        QTest::keyClick(editor->letterEdit(1), Qt::Key_Insert);
        QVERIFY(editor->letterEdit(1)->overwriteMode());
        QVERIFY(!editor->statusPanels[4]->isEnabled());
    }

    void maximisedAndMinimisedCloses_keepTheLastNormalGeometry()
    {
        QuilloTest::writeBytes(ini(), "[EDITEUR]\r\nWindows=0\r\nHauteur=4500\r\nLargeur=7500\r\nPositionX=300\r\n"
                                      "PositionY=450\r\n");
        FrmEditeur *editor = FrmEditeur::instance();
        QCOMPARE(editor->size(), QSize(Twips::toPixels(7500), Twips::toPixels(4500)));
        QCOMPARE(editor->pos(), QPoint(Twips::toPixels(300), Twips::toPixels(450)));
        editor->showMaximized();
        editor->close();
        QCOMPARE(iniValue(u"Windows"_s), u"2"_s);
        QCOMPARE(iniValue(u"Hauteur"_s), u"4500"_s);

        editor = FrmEditeur::instance();
        QVERIFY(editor->windowState() & Qt::WindowMaximized);
        editor->show();
        editor->showMinimized();
        editor->close();
        QCOMPARE(iniValue(u"Windows"_s), u"1"_s);
        QCOMPARE(iniValue(u"Largeur"_s), u"7500"_s);

        // Minimised last time: the window comes back normal, at the stored geometry.
        editor = FrmEditeur::instance();
        QVERIFY(!(editor->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)));
        QCOMPARE(editor->size(), QSize(Twips::toPixels(7500), Twips::toPixels(4500)));
    }

    void nonNumericWidth_appliesTheHeightAndStops()
    {
        QuilloTest::writeBytes(ini(), "[EDITEUR]\r\nWindows=0\r\nHauteur=4500\r\nLargeur=large\r\nPositionX=15\r\n"
                                      "PositionY=15\r\n");
        FrmEditeur *editor = FrmEditeur::instance();
        QCOMPARE(editor->height(), Twips::toPixels(4500));
        QVERIFY(editor->width() >= Twips::toPixels(9150)); // as when nothing is stored
        QCOMPARE(editor->x(), screenArea().left() + (screenArea().width() - editor->width()) / 2);
    }

    void geometryOffEveryScreen_isPulledBackOntoTheNearestOne()
    {
        QuilloTest::writeBytes(ini(), "[EDITEUR]\r\nWindows=0\r\nHauteur=4500\r\nLargeur=999999\r\n"
                                      "PositionX=500000\r\nPositionY=-300000\r\n");
        FrmEditeur *editor = FrmEditeur::instance();
        QVERIFY2(
            screenArea().contains(QRect(editor->pos(), editor->size())),
            qPrintable(u"%1,%2 %3x%4"_s.arg(editor->x()).arg(editor->y()).arg(editor->width()).arg(editor->height())));
    }

    void nouveau_addsTheNextNumberedTabSelectedAndEmpty()
    {
        FrmEditeur *editor = FrmEditeur::instance();
        trigger(editor->Mnu_OutFichier[0]);
        trigger(editor->toolButtons[1]);
        QCOMPARE(editor->letterCount(), 3);
        QCOMPARE(editor->caption(3), u"Lettre n°3"_s);
        QCOMPARE(editor->currentLetter(), 3);
        QCOMPARE(editor->letterTabs->currentWidget(), editor->letterEdit(3));
        QCOMPARE(editor->letterEdit(3)->objectName(), u"RTF_3"_s);
        QVERIFY(editor->letterEdit(3)->document()->isEmpty());
        // Lines break at the printed width: A4 less two margins of 1400 twips.
        QCOMPARE(editor->letterEdit(3)->lineWrapMode(), QTextEdit::FixedPixelWidth);
        const QTextDocument *text = editor->letterEdit(3)->document();
        QCOMPARE(editor->letterEdit(3)->lineWrapColumnOrWidth() - 2 * text->documentMargin(),
                 (11906 - 2800) * QGuiApplication::primaryScreen()->logicalDotsPerInchX() / 1440);
        QCOMPARE(FrmEditeur::Ajuste_Page(editor->letterEdit(3), 1300, 1300, true), 9306);
    }

    void linesBreakOnScreenWhereTheyBreakOnPaper()
    {
        FrmEditeur *editor = FrmEditeur::instance();
        LetterEdit *edit = editor->letterEdit(1);
        const QStringList sentences{
            u"Nous accusons réception de votre courrier du 12 mars dernier, "_s,
            u"par lequel vous nous faites part de vos observations sur l'exécution du contrat. "_s,
            u"Après examen attentif, il apparaît que les délais convenus ont été respectés. "_s,
            u"Veuillez agréer, Madame, l'expression de nos salutations distinguées. "_s};
        QTextCursor cursor(edit->document());
        QTextCharFormat serif;
        serif.setFontFamilies({u"Liberation Serif"_s});
        serif.setFontPointSize(12);
        for (int paragraph = 0; paragraph < 24; ++paragraph) {
            QTextBlockFormat block;
            block.setAlignment(paragraph % 2 ? Qt::AlignJustify : Qt::AlignLeft);
            if (paragraph)
                cursor.insertBlock(block);
            else
                cursor.setBlockFormat(block);
            for (int i = 0; i <= paragraph % 7; ++i)
                cursor.insertText(sentences.at((paragraph + i) % 4), serif);
        }
        editor->resize(1000, 600); // whatever the window's width
        editor->show();
        edit->document()->documentLayout()->documentSize();

        // The paper's layout, as printing makes it: 1440 dots an inch, the printed line width.
        std::unique_ptr<QTextDocument> paper(edit->document()->clone());
        QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
        device.setDotsPerMeterX(56693);
        device.setDotsPerMeterY(56693);
        paper->setUseDesignMetrics(true);
        paper->documentLayout()->setPaintDevice(&device);
        paper->setDocumentMargin(0);
        paper->setTextWidth(11906 - 2800);
        paper->documentLayout()->documentSize();

        const auto lineStarts = [](const QTextDocument *document) {
            QList<int> starts;
            for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
                for (int line = 0; line < block.layout()->lineCount(); ++line)
                    starts.append(block.position() + block.layout()->lineAt(line).textStart());
            return starts;
        };
        const QList<int> screen = lineStarts(edit->document());
        const QList<int> printed = lineStarts(paper.get());
        QVERIFY(screen.size() > 48); // most paragraphs take several lines
        // Glyph widths rounded at screen size may move a word that ends right at the margin; any
        // other line breaks at the same character as on paper.
        int same = 0;
        for (const int start : screen)
            same += printed.contains(start) ? 1 : 0;
        QVERIFY2(same >= screen.size() * 9 / 10, qPrintable(u"%1 of %2 lines"_s.arg(same).arg(screen.size())));
        QVERIFY(qAbs(screen.size() - printed.size()) <= 2);
    }

    void ouvrir_reusesAnEmptyUnsavedTab_andOpensBesideALetterWithAFileOrText()
    {
        writeLetter(path(u"a.rtf"_s), u"Première lettre"_s);
        writeLetter(path(u"b.rtf"_s), u"Deuxième lettre"_s);
        FrmEditeur *editor = FrmEditeur::instance();
        dialogs->answerText(path(u"a.rtf"_s));
        trigger(editor->Mnu_OutFichier[1]);
        QCOMPARE(editor->letterCount(), 1);
        QCOMPARE(editor->caption(1), u"a.rtf"_s);
        QCOMPARE(editor->filePath(1), path(u"a.rtf"_s));
        QCOMPARE(editor->letterEdit(1)->toPlainText(), u"Première lettre"_s);
        QVERIFY(dialogs->requests.constLast().filter.contains(u"*.rtf"_s));

        dialogs->answerText(path(u"b.rtf"_s));
        trigger(editor->toolButtons[2]);
        QCOMPARE(editor->letterCount(), 2);
        QCOMPARE(editor->caption(2), u"b.rtf"_s);
        QCOMPARE(editor->currentLetter(), 2);
        QCOMPARE(editor->letterEdit(1)->toPlainText(), u"Première lettre"_s);

        // A letter typed but never saved is not overwritten: the file gets a tab of its own.
        editor->Nouveau();
        EditorTest::typeText(editor->letterEdit(3), u"Brouillon"_s);
        dialogs->answerText(path(u"a.rtf"_s));
        QVERIFY(editor->Ouvrir());
        QCOMPARE(editor->letterCount(), 4);
        QCOMPARE(editor->letterEdit(3)->toPlainText(), u"Brouillon"_s);
        QCOMPARE(editor->caption(3), u"Lettre n°3"_s);

        // A cancelled dialog and an unreadable file change nothing; the latter says why.
        dialogs->answerCancel();
        QVERIFY(!editor->Ouvrir());
        QuilloTest::writeBytes(path(u"abime.rtf"_s), "ceci n'est pas une lettre");
        dialogs->answerText(path(u"abime.rtf"_s));
        dialogs->answerButton(QMessageBox::Ok);
        editor->selectLetter(3);
        QVERIFY(!editor->Ouvrir());
        QCOMPARE(editor->letterCount(), 4);
        QCOMPARE(editor->caption(3), u"Lettre n°3"_s);
        QVERIFY(editor->filePath(3).isEmpty());
        QCOMPARE(dialogs->requests.constLast().kind, Dialogs::Request::Kind::Message);
        QVERIFY(dialogs->requests.constLast().text.contains(u"abime.rtf"_s));
    }

    void enregistrer_writesBackToItsFile_orOffersTheCaptionAsName()
    {
        writeLetter(path(u"a.rtf"_s), u"Texte"_s);
        FrmEditeur *editor = FrmEditeur::instance();
        dialogs->answerText(path(u"a.rtf"_s));
        editor->Ouvrir();
        EditorTest::typeText(editor->letterEdit(1), u" modifié"_s);
        trigger(editor->toolButtons[3]); // "Sauver"
        QVERIFY(requestsOf(Dialogs::Request::Kind::SaveFile).isEmpty());
        QTextDocument reread;
        QVERIFY(RichText::loadRtfFile(path(u"a.rtf"_s), &reread));
        QCOMPARE(reread.toPlainText(), u"Texte modifié"_s);

        editor->Nouveau();
        EditorTest::typeText(editor->letterEdit(2), u"Madame,"_s);
        dialogs->answerText(path(u"madame"_s)); // typed without ".rtf"
        trigger(editor->Mnu_OutFichier[3]);
        const auto saves = requestsOf(Dialogs::Request::Kind::SaveFile);
        QCOMPARE(saves.size(), 1);
        QCOMPARE(saves.at(0).initialText, u"Lettre n°2.rtf"_s);
        QCOMPARE(editor->caption(2), u"madame.rtf"_s);
        QCOMPARE(editor->filePath(2), path(u"madame.rtf"_s));
        QVERIFY(QFile::exists(path(u"madame.rtf"_s)));

        // "Enregistrer sous..." asks again even with a file.
        dialogs->answerText(path(u"copie.rtf"_s));
        trigger(editor->Mnu_OutFichier[4]);
        QCOMPARE(editor->filePath(2), path(u"copie.rtf"_s));
    }

    // The proposed name is taken as it stands: the file gets ".rtf" before the question whether to
    // replace the one already there, and "Ouvrir" lists it.
    void enregistrerSous_asksAboutTheFileReallyWritten_whichOuvrirFinds()
    {
        FrmEditeur *editor = FrmEditeur::instance();
        EditorTest::typeText(editor->letterEdit(1), u"Nouvelle lettre"_s);
        writeLetter(path(u"Lettre n°1.rtf"_s), u"Ancienne lettre"_s);
        dialogs->answerText(path(u"Lettre n°1"_s));
        dialogs->answerButton(QMessageBox::No);
        dialogs->answerCancel();
        QVERIFY(!editor->Enregistrer_Sous(1, editor->caption(1)));
        QCOMPARE(dialogs->requests.at(1).text,
                 u"Le fichier « Lettre n°1.rtf » existe déjà.\nVoulez-vous le remplacer ?"_s);
        QCOMPARE(dialogs->requests.at(2).initialText, u"Lettre n°1.rtf"_s);
        QTextDocument reread;
        QVERIFY(RichText::loadRtfFile(path(u"Lettre n°1.rtf"_s), &reread));
        QCOMPARE(reread.toPlainText(), u"Ancienne lettre"_s);

        dialogs->answerText(path(u"Lettre n°1"_s));
        dialogs->answerButton(QMessageBox::Yes);
        QVERIFY(editor->Enregistrer_Sous(1, editor->caption(1)));
        QVERIFY(RichText::loadRtfFile(path(u"Lettre n°1.rtf"_s), &reread));
        QCOMPARE(reread.toPlainText(), u"Nouvelle lettre"_s);
        QVERIFY(!QFile::exists(path(u"Lettre n°1"_s)));

        dialogs->answerCancel();
        editor->Ouvrir();
        const QString filter = dialogs->requests.constLast().filter;
        const QString patterns = filter.section(u'(', -1).chopped(1);
        QVERIFY(QDir(folder->path()).entryList(patterns.split(u' '), QDir::Files).contains(u"Lettre n°1.rtf"_s));
        QCOMPARE(dialogs->unexpected, 0);
    }

    void enregistrerTout_overThreeTabs_skipsOnlyTheCancelledOne()
    {
        writeLetter(path(u"deux.rtf"_s), u"Deux"_s);
        FrmEditeur *editor = FrmEditeur::instance();
        EditorTest::typeText(editor->letterEdit(1), u"Un"_s);
        editor->Nouveau();
        dialogs->answerText(path(u"deux.rtf"_s));
        editor->Ouvrir(); // tab 2 is empty and never saved: reused
        EditorTest::typeText(editor->letterEdit(2), u" bis"_s);
        editor->Nouveau();
        EditorTest::typeText(editor->letterEdit(3), u"Trois"_s);
        dialogs->requests.clear();

        dialogs->answerCancel();
        dialogs->answerText(path(u"trois.rtf"_s));
        trigger(editor->Mnu_OutFichier[5]);
        const auto saves = requestsOf(Dialogs::Request::Kind::SaveFile);
        QCOMPARE(saves.size(), 2);
        QCOMPARE(saves.at(0).initialText, u"Lettre n°1.rtf"_s);
        QCOMPARE(saves.at(1).initialText, u"Lettre n°3.rtf"_s);
        QVERIFY(editor->filePath(1).isEmpty());
        QTextDocument reread;
        QVERIFY(RichText::loadRtfFile(path(u"deux.rtf"_s), &reread));
        QCOMPARE(reread.toPlainText(), u"Deux bis"_s);
        QVERIFY(RichText::loadRtfFile(path(u"trois.rtf"_s), &reread));
        QCOMPARE(reread.toPlainText(), u"Trois"_s);
    }

    void aFileThatCannotBeWritten_isReported_andStopsEnregistrerTout()
    {
        QDir(folder->path()).mkdir(u"parti"_s);
        writeLetter(path(u"parti/a.rtf"_s), u"Texte"_s);
        FrmEditeur *editor = FrmEditeur::instance();
        dialogs->answerText(path(u"parti/a.rtf"_s));
        editor->Ouvrir();
        EditorTest::typeText(editor->letterEdit(1), u" changé"_s);
        editor->Nouveau();
        EditorTest::typeText(editor->letterEdit(2), u"Autre"_s);
        QVERIFY(QDir(path(u"parti"_s)).removeRecursively()); // the folder went away meanwhile
        dialogs->answerButton(QMessageBox::Ok);
        trigger(editor->Mnu_OutFichier[5]);
        QCOMPARE(dialogs->requests.size(), 2); // the message, and no save-as for letter 2
        QCOMPARE(dialogs->requests.at(1).kind, Dialogs::Request::Kind::Message);
        QVERIFY(dialogs->requests.at(1).text.contains(u"a.rtf"_s));
        QVERIFY(editor->letterEdit(1)->document()->isModified()); // still to be saved
    }

    void blankLetters_areNeverSaved()
    {
        FrmEditeur *editor = FrmEditeur::instance();
        EditorTest::typeText(editor->letterEdit(1), u"   \n\t  "_s);
        editor->Nouveau();
        trigger(editor->Mnu_OutFichier[3]);
        trigger(editor->Mnu_OutFichier[4]);
        trigger(editor->Mnu_OutFichier[5]);
        QVERIFY(dialogs->requests.isEmpty());
        QCOMPARE(editor->saveLetter(1), FrmEditeur::SaveResult::Blank);
        QVERIFY(QDir(folder->path()).entryList({u"*.rtf"_s}).isEmpty());
    }

    void aCorpusLetterSavedAgain_readsTheSameInLibreOffice_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("word") << u"word-2003-french-small"_s;
        QTest::newRow("textedit") << u"textedit-10.15-french-changelog"_s;
    }

    void aCorpusLetterSavedAgain_readsTheSameInLibreOffice()
    {
        QFETCH(QString, name);
        if (QuilloTest::soffice().isEmpty())
            QSKIP("LibreOffice is not installed");
        const QString corpus = QStringLiteral(QUILLO_SHARED_DIR) + u"/rtf-corpus/"_s;
        const QString expectedText = corpus + u"lo-text/"_s + name + u".txt"_s;
        if (!QFile::exists(expectedText))
            QSKIP("corpus not present");
        FrmEditeur *editor = FrmEditeur::instance();
        dialogs->answerText(corpus + name + u".rtf"_s);
        QVERIFY(editor->Ouvrir());
        dialogs->answerText(path(name + u".rtf"_s));
        trigger(editor->Mnu_OutFichier[4]);
        QCOMPARE(editor->filePath(1), path(name + u".rtf"_s));
        const auto normalised = [](QByteArray bytes) {
            if (bytes.startsWith("\xEF\xBB\xBF"))
                bytes.remove(0, 3);
            return QString::fromUtf8(bytes).simplified();
        };
        const QString ours = normalised(QuilloTest::convertWithOffice(QuilloTest::readBytes(path(name + u".rtf"_s)),
                                                                      u"txt:Text (encoded):UTF8"_s, u"txt"_s));
        QVERIFY(!ours.isEmpty());
        QCOMPARE(ours, normalised(QuilloTest::readBytes(expectedText)));
    }

    void closingWithAChangedLetter_asksOnce_andCancelKeepsTheEditorOpen()
    {
        FrmEditeur *editor = FrmEditeur::instance();
        // Assembled and opened letters count as unchanged, with nothing to undo: no question for
        // them, though laying them out at the printed width changes the documents' margins.
        QVERIFY(editor->setLetterRtf(1, "{\\rtf1\\ansi Lettre assembl\\'e9e\\par}"));
        writeLetter(path(u"ouverte.rtf"_s), u"Lettre ouverte"_s);
        dialogs->answerText(path(u"ouverte.rtf"_s));
        QVERIFY(editor->Ouvrir());
        editor->show();
        for (int letter = 1; letter <= 2; ++letter)
            QVERIFY(!editor->letterEdit(letter)->document()->isUndoAvailable());
        dialogs->requests.clear();
        QVERIFY(editor->close());
        QVERIFY(dialogs->requests.isEmpty());

        editor = FrmEditeur::instance();
        editor->show();
        EditorTest::typeText(editor->letterEdit(1), u"Changée"_s);
        QVERIFY(QFile::remove(ini()));
        dialogs->answerButton(QMessageBox::Cancel);
        trigger(editor->Mnu_OutFichier[13]);
        QCOMPARE(FrmEditeur::existing(), editor);
        QVERIFY(editor->isVisible());
        QCOMPARE(dialogs->requests.size(), 1);
        QCOMPARE(dialogs->requests.at(0).buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QVERIFY(!QFile::exists(ini())); // a cancelled close writes nothing

        // "Oui" saves by the saving rule; a refused save-as keeps the editor open.
        dialogs->answerButton(QMessageBox::Yes);
        dialogs->answerCancel();
        QVERIFY(!editor->close());
        dialogs->answerButton(QMessageBox::Yes);
        dialogs->answerText(path(u"gardee.rtf"_s));
        QVERIFY(editor->close());
        QVERIFY(QFile::exists(path(u"gardee.rtf"_s)));
        QVERIFY(!FrmEditeur::existing());

        editor = FrmEditeur::instance();
        QCOMPARE(editor->letterCount(), 1); // a new editor starts from its design state
        EditorTest::typeText(editor->letterEdit(1), u"Oubliée"_s);
        dialogs->answerButton(QMessageBox::No);
        trigger(editor->toolButtons[28]);
        QVERIFY(!FrmEditeur::existing());
    }
};

QUILLO_TEST_MAIN(TestFrmEditeur)
#include "tst_frmediteur.moc"
