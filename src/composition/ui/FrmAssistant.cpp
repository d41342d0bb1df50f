#include "composition/ui/FrmAssistant.h"

#include "composition/PhraseComposition.h"
#include "composition/ui/PhraseList.h"
#include "composition/ui/WizardHooks.h"
#include "core/Clock.h"
#include "core/DataPaths.h"
#include "core/DateForms.h"
#include "core/PhraseFile.h"
#include "dialogs/Buttons.h"
#include "dialogs/Dialogs.h"
#include "dialogs/WindowRegistry.h"
#include "spelling/SpellChecker.h"
#include "spelling/SpellHighlighter.h"
#include "spelling/ui/SpellingMenu.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString kFormName = u"frmAssistant"_s;
const QString kObjectFallback = u"le problème défini en objet"_s;

QPlainTextEdit *makeText(const QString &objectName, const QString &accessibleName)
{
    auto *text = new QPlainTextEdit;
    text->setObjectName(objectName);
    text->setAccessibleName(accessibleName);
    text->setTabChangesFocus(true);
    return text;
}

} // namespace

FrmAssistant *FrmAssistant::instance()
{
    if (auto *window = existing())
        return window;
    auto *window = new FrmAssistant;
    WindowRegistry::add(kFormName, window);
    window->load();
    return window;
}

FrmAssistant *FrmAssistant::existing()
{
    return qobject_cast<FrmAssistant *>(WindowRegistry::find(kFormName));
}

FrmAssistant::FrmAssistant()
{
    setObjectName(kFormName);
    setWindowTitle(u"Assistant rédaction"_s);
    introductionPhrases.fileName = u"Introduction.ini"_s;
    simplePhrases.fileName = u"Conclusion1.ini"_s;
    evolvedPhrases.fileName = u"Conclusion2.ini"_s;
    build();
    connectEditing(introductionPhrases);
    connectEditing(simplePhrases);
    connectEditing(evolvedPhrases);
}

FrmAssistant::~FrmAssistant() = default;

void FrmAssistant::build()
{
    const QString tip = u"Entrée pour ajouter un item / Backspace pour le supprimer"_s;
    const auto makeList = [&](const QString &objectName, const QString &accessibleName) {
        auto *list = new PhraseList;
        list->setObjectName(objectName);
        list->setAccessibleName(accessibleName);
        list->setToolTip(tip);
        return list;
    };
    // A page of lists laid out as the rows of a sentence, its "Appliquer" button at the bottom.
    const auto sentencePage = [](const QString &objectName,
                                 std::initializer_list<std::initializer_list<QWidget *>> rows, QPushButton *apply) {
        auto *page = new QWidget;
        page->setObjectName(objectName);
        auto *layout = new QVBoxLayout(page);
        for (const auto &words : rows) {
            auto *row = new QHBoxLayout;
            for (QWidget *word : words)
                row->addWidget(word, 1);
            layout->addLayout(row);
        }
        layout->addStretch(1);
        auto *buttonRow = new QHBoxLayout;
        buttonRow->addStretch(1);
        buttonRow->addWidget(apply);
        layout->addLayout(buttonRow);
        return page;
    };

    // The introduction reads as one sentence over three rows.
    for (int i = 0; i < 8; ++i)
        introductionLists[i] = makeList(u"List1_%1"_s.arg(i), u"Introduction, partie %1"_s.arg(i + 1));
    dateField = new QLineEdit(u"Date"_s);
    dateField->setObjectName(u"Jjour"_s);
    dateField->setAccessibleName(u"Date"_s);
    objectField = new QLineEdit(u"le problème défini en objet "_s);
    objectField->setObjectName(u"Objet"_s);
    objectField->setAccessibleName(u"Objet"_s);
    composeButtons[0] = makeButton(u"Outils_0"_s, u"Appliquer"_s);

    QWidget *introductionPage =
        sentencePage(u"Fond1_0"_s,
                     {{introductionLists[0], introductionLists[1], introductionLists[2], dateField},
                      {introductionLists[3], objectField, introductionLists[4]},
                      {introductionLists[5], introductionLists[6], introductionLists[7]}},
                     composeButtons[0]);

    introductionText = makeText(u"Text1_0"_s, u"Introduction"_s);
    auto *introductionPreview = new QWidget;
    introductionPreview->setObjectName(u"Fond1_1"_s);
    (new QVBoxLayout(introductionPreview))->addWidget(introductionText);

    introductionTabs = new QTabWidget;
    introductionTabs->setObjectName(u"Tab1"_s);
    introductionTabs->setAccessibleName(u"Introduction"_s);
    introductionTabs->addTab(introductionPage, u" Introduction "_s);
    introductionTabs->addTab(introductionPreview, u" Aperçu du texte "_s);

    // The middle part, the user's own.
    auto *middleCaption = new QLabel(u"Développement personnel :"_s);
    middleText = makeText(u"Text1_1"_s, u"Développement personnel :"_s);
    // The user's own words: checked as they are typed (the phrase lists are checked text already).
    new SpellHighlighter(middleText->document(), SpellChecker::shared());
    SpellingMenu::install(middleText);
    middleCaption->setBuddy(middleText);

    // The two conclusions.
    for (int i = 0; i < 4; ++i)
        simpleConclusionLists[i] = makeList(u"List2_%1"_s.arg(i), u"Conclusion simple, partie %1"_s.arg(i + 1));
    composeButtons[1] = makeButton(u"Outils_1"_s, u"Appliquer"_s);
    QWidget *simplePage = sentencePage(
        u"Fond2_0"_s,
        {{simpleConclusionLists[0], simpleConclusionLists[1]}, {simpleConclusionLists[2], simpleConclusionLists[3]}},
        composeButtons[1]);

    for (int i = 0; i < 5; ++i)
        evolvedConclusionLists[i] = makeList(u"List3_%1"_s.arg(i), u"Conclusion évoluée, partie %1"_s.arg(i + 1));
    composeButtons[2] = makeButton(u"Outils_2"_s, u"Appliquer"_s);
    QWidget *evolvedPage =
        sentencePage(u"Fond2_1"_s,
                     {{evolvedConclusionLists[0], evolvedConclusionLists[1], evolvedConclusionLists[2]},
                      {evolvedConclusionLists[3], evolvedConclusionLists[4]}},
                     composeButtons[2]);

    conclusionText = makeText(u"Text1_2"_s, u"Conclusion"_s);
    auto *conclusionPreview = new QWidget;
    conclusionPreview->setObjectName(u"Fond2_2"_s);
    (new QVBoxLayout(conclusionPreview))->addWidget(conclusionText);

    conclusionTabs = new QTabWidget;
    conclusionTabs->setObjectName(u"Tab2"_s);
    conclusionTabs->setAccessibleName(u"Conclusion"_s);
    conclusionTabs->addTab(simplePage, u" Conclusion simple "_s);
    conclusionTabs->addTab(evolvedPage, u" Conclusion évoluée "_s);
    conclusionTabs->addTab(conclusionPreview, u" Aperçu du texte "_s);

    buttons[0] = makeButton(u"Bouton_0"_s, u"Appliquer"_s);
    buttons[1] = makeButton(u"Bouton_1"_s, u"Annuler"_s);
    buttons[2] = makeButton(u"Bouton_2"_s, u"Récupérer le contenu du corps"_s);
    buttons[3] = makeButton(u"Bouton_3"_s, u"Tout effacer"_s);
    auto *buttonLayout = new QHBoxLayout;
    buttonLayout->addWidget(buttons[2]);
    buttonLayout->addWidget(buttons[3]);
    buttonLayout->addStretch(1);
    buttonLayout->addWidget(buttons[0]);
    buttonLayout->addWidget(buttons[1]);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(introductionTabs);
    layout->addWidget(middleCaption);
    layout->addWidget(middleText);
    layout->addWidget(conclusionTabs);
    layout->addLayout(buttonLayout);
    resize(760, 620);

    simplePhrases.lists.assign(simpleConclusionLists.begin(), simpleConclusionLists.end());
    evolvedPhrases.lists.assign(evolvedConclusionLists.begin(), evolvedConclusionLists.end());
    introductionPhrases.lists.assign(introductionLists.begin(), introductionLists.end());

    connect(composeButtons[0], &QPushButton::clicked, this, &FrmAssistant::composeIntroduction);
    connect(composeButtons[1], &QPushButton::clicked, this, [this] { composeConclusion(simplePhrases); });
    connect(composeButtons[2], &QPushButton::clicked, this, [this] { composeConclusion(evolvedPhrases); });
    connect(buttons[0], &QPushButton::clicked, this, &FrmAssistant::applyToBody);
    connect(buttons[1], &QPushButton::clicked, this, &QDialog::reject);
    connect(buttons[2], &QPushButton::clicked, this, &FrmAssistant::fetchBody);
    connect(buttons[3], &QPushButton::clicked, this, &FrmAssistant::clearTexts);
}

void FrmAssistant::load()
{
    // Centred on the screen, once: later openings show the window where the user left it.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - frameGeometry().width()) / 2,
             area.top() + (area.height() - frameGeometry().height()) / 2);
    }

    // The introduction's sentence reads "… du 2 décembre 2026, …".
    const std::optional<QDate> letterDate = WizardHooks::letterDate ? WizardHooks::letterDate() : std::nullopt;
    dateField->setText(DateForms::inWords(letterDate.value_or(Clock::today())));

    loadPhrases(introductionPhrases);
    loadPhrases(simplePhrases);
    loadPhrases(evolvedPhrases);

    const QString object = WizardHooks::object ? WizardHooks::object().trimmed() : QString();
    objectField->setText(object.isEmpty() ? kObjectFallback : PhraseComposition::objectInSentence(object));
}

QString FrmAssistant::filePath(const PhraseArray &array) const
{
    return QDir(DataPaths::assistantFolder()).filePath(array.fileName);
}

void FrmAssistant::loadPhrases(PhraseArray &array)
{
    // A missing or unreadable file leaves its lists empty, without a word: the assistant still
    // helps with the other files.
    const QString path = filePath(array);
    QList<QStringList> blocks;
    const bool read = PhraseFile::read(path, int(array.lists.size()), &blocks);
    array.rewritable = read || !QFileInfo(path).isFile();
    for (size_t i = 0; i < array.lists.size(); ++i)
        array.lists[i]->setFragments(blocks.value(qsizetype(i)));
}

void FrmAssistant::connectEditing(PhraseArray &array)
{
    for (PhraseList *list : array.lists) {
        connect(list, &PhraseList::addRequested, this, [this, &array, list] { addFragment(array, list); });
        connect(list, &PhraseList::removeRequested, this, [this, &array, list] { removeFragment(array, list); });
    }
}

void FrmAssistant::addFragment(PhraseArray &array, PhraseList *list)
{
    const QString fragment = list->currentText();
    // An empty fragment cannot be stored: its empty line would end the block and move every
    // later fragment of the file to the next list.
    if (PhraseComposition::trimSpaces(fragment).isEmpty())
        return;
    // Enter is pressed for many reasons: only a new phrase is stored, and only when the user
    // says so.
    for (const QString &stored : list->fragments()) {
        if (stored.compare(fragment, Qt::CaseInsensitive) == 0)
            return;
    }
    if (Dialogs::message(this, u"Ajouter « %1 » à la liste ?"_s.arg(fragment), QMessageBox::Yes | QMessageBox::No,
                         Dialogs::Icon::Question) != QMessageBox::Yes)
        return;
    const int index = list->addFragment(fragment);
    if (!rewrite(array, true)) {
        list->removeFragment(index);
        list->setEditText(fragment);
    }
}

void FrmAssistant::removeFragment(PhraseArray &array, PhraseList *list)
{
    const int index = list->chosenIndex();
    if (index < 0) {
        // Nothing to take away; the file is still rewritten as the lists hold it (a block
        // beyond the last list goes), and a failure loses nothing the user did.
        if (array.rewritable)
            rewrite(array, false);
        return;
    }
    const QString fragment = list->itemText(index);
    // Backspace also corrects a word: the stored phrase goes only when the text is still that
    // phrase and the user confirms it; otherwise the key only erases in the text.
    if (list->currentText() != fragment ||
        Dialogs::message(this, u"Supprimer « %1 » de la liste ?"_s.arg(fragment), QMessageBox::Yes | QMessageBox::No,
                         Dialogs::Icon::Question) != QMessageBox::Yes)
        return;
    list->removeFragment(index);
    if (!rewrite(array, true))
        list->restoreFragment(index, fragment);
}

bool FrmAssistant::rewrite(const PhraseArray &array, bool report)
{
    const QString path = filePath(array);
    QString error;
    if (!array.rewritable) {
        error = u"Le fichier « %1 » n'a pas pu être lu à l'ouverture de l'assistant : il n'est pas réécrit, "
                u"pour ne pas perdre les phrases qu'il contient. Son contenu précédent est conservé."_s.arg(
                    QDir::toNativeSeparators(path));
    } else {
        QList<QStringList> blocks;
        for (const PhraseList *list : array.lists)
            blocks.append(list->fragments());
        if (PhraseFile::write(path, blocks, &error))
            return true;
    }
    if (report)
        Dialogs::message(this, error, QMessageBox::Ok, Dialogs::Icon::Warning);
    return false;
}

void FrmAssistant::composeIntroduction()
{
    QStringList texts;
    for (const PhraseList *list : introductionLists)
        texts.append(list->currentText());
    introductionText->setPlainText(PhraseComposition::introduction(texts, dateField->text(), objectField->text()));
    introductionTabs->setCurrentIndex(1);
}

void FrmAssistant::composeConclusion(const PhraseArray &array)
{
    QStringList texts;
    for (const PhraseList *list : array.lists)
        texts.append(list->currentText());
    conclusionText->setPlainText(PhraseComposition::conclusion(texts));
    conclusionTabs->setCurrentIndex(2);
}

void FrmAssistant::applyToBody()
{
    const std::optional<QString> letterBody = WizardHooks::body ? WizardHooks::body() : std::nullopt;
    if (!letterBody || !WizardHooks::setBody) {
        accept();
        return;
    }
    const QString composed = PhraseComposition::body(introductionText->toPlainText(), middleText->toPlainText(),
                                                     conclusionText->toPlainText());
    // A body the user wrote in the wizard is not lost silently: replacing it is asked, and
    // otherwise it can come into the middle part to be applied with the rest.
    if (!PhraseComposition::keepsText(composed, *letterBody)) {
        if (Dialogs::message(this, u"Le corps de la lettre contient déjà du texte. Le remplacer ?"_s,
                             QMessageBox::Yes | QMessageBox::No, Dialogs::Icon::Question) != QMessageBox::Yes) {
            if (Dialogs::message(this,
                                 u"Voulez-vous reprendre ce texte dans « Développement personnel » pour "
                                 u"l'appliquer avec le reste ?"_s,
                                 QMessageBox::Yes | QMessageBox::No, Dialogs::Icon::Question) == QMessageBox::Yes) {
                fetchBody();
                middleText->setFocus();
            }
            return;
        }
    }
    WizardHooks::setBody(composed);
    accept();
}

void FrmAssistant::fetchBody()
{
    const std::optional<QString> letterBody = WizardHooks::body ? WizardHooks::body() : std::nullopt;
    if (!letterBody)
        return;
    const QString middle = middleText->toPlainText();
    middleText->setPlainText(middle.isEmpty() ? *letterBody : middle + u"\n\n"_s + *letterBody);
}

void FrmAssistant::clearTexts()
{
    introductionText->clear();
    middleText->clear();
    conclusionText->clear();
}
