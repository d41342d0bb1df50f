#include "composition/ui/FrmOptions.h"

#include "composition/ui/AjouteMot.h"
#include "composition/ui/WizardHooks.h"
#include "core/AlphabeticalOrder.h"
#include "core/AtomicFile.h"
#include "core/DataPaths.h"
#include "core/LineListFile.h"
#include "dialogs/Buttons.h"
#include "dialogs/Dialogs.h"
#include "dialogs/WindowRegistry.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString kFormName = u"frmOptions"_s;

// The files of the four first tabs, in the tabs' order.
const QStringList &referenceFiles()
{
    static const QStringList files = {u"Fonctions.ini"_s, u"Communes.ini"_s, u"Objets.ini"_s, u"Signatures.ini"_s};
    return files;
}

} // namespace

FrmOptions *FrmOptions::instance()
{
    if (auto *window = existing())
        return window;
    auto *window = new FrmOptions;
    WindowRegistry::add(kFormName, window);
    window->load();
    return window;
}

FrmOptions *FrmOptions::existing()
{
    return qobject_cast<FrmOptions *>(WindowRegistry::find(kFormName));
}

FrmOptions::FrmOptions()
{
    setObjectName(kFormName);
    setWindowTitle(u"Références pour chaque lettre"_s);
    // Unloaded at each closing: the next opening starts afresh from the files.
    setAttribute(Qt::WA_DeleteOnClose);
    build();
}

FrmOptions::~FrmOptions() = default;

void FrmOptions::build()
{
    listTabs = new QTabBar;
    listTabs->setObjectName(u"Tab1"_s);
    for (const QString &caption :
         {u" Fonctions "_s, u" Communes / Villes"_s, u" Objets "_s, u" Signatures "_s, u" Formules "_s})
        listTabs->addTab(caption);
    listTabs->setAccessibleName(u"Listes de références"_s);

    formulaPart = new QComboBox;
    formulaPart->setObjectName(u"Combo1"_s);
    formulaPart->addItems(
        {u"Première partie de la formule de politesse"_s, u"Deuxième partie de la formule de politesse"_s});
    formulaPart->setAccessibleName(u"Partie de la formule de politesse"_s);

    word = new QLineEdit;
    word->setObjectName(u"Text1"_s);
    word->setAccessibleName(u"Mot"_s);
    word->setPlaceholderText(u"Mot à ajouter ou nouveau texte de l'entrée choisie"_s);
    // A longer entry would be left out of the list at its next reading.
    word->setMaxLength(int(ListLimits::kMaxEntryLength));

    entries = new QListWidget;
    entries->setObjectName(u"List1"_s);
    entries->setAccessibleName(u"Entrées de la liste"_s);
    entries->setSelectionMode(QAbstractItemView::SingleSelection);

    editButtons[0] = makeButton(u"Outils_0"_s, u"Ajouter"_s, u"Ajouter un item"_s);
    editButtons[1] = makeButton(u"Outils_1"_s, u"Modifier"_s, u"Modifier un item"_s);
    editButtons[2] = makeButton(u"Outils_2"_s, u"Supprimer"_s, u"Supprimer un item"_s);
    buttons[0] = makeButton(u"Bouton_0"_s, u"Ok"_s);
    buttons[1] = makeButton(u"Bouton_1"_s, u"Annuler"_s);

    auto *editColumn = new QVBoxLayout;
    for (QPushButton *button : editButtons)
        editColumn->addWidget(button);
    editColumn->addStretch(1);
    auto *listRow = new QHBoxLayout;
    listRow->addWidget(entries, 1);
    listRow->addLayout(editColumn);

    auto *closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(buttons[0]);
    closeRow->addWidget(buttons[1]);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(listTabs);
    layout->addWidget(formulaPart);
    layout->addWidget(word);
    layout->addLayout(listRow, 1);
    layout->addLayout(closeRow);
    resize(520, 420);

    connect(listTabs, &QTabBar::currentChanged, this, &FrmOptions::selectTab);
    connect(formulaPart, &QComboBox::currentIndexChanged, this, [this](int part) {
        loadList(QDir(DataPaths::formulasFolder()).filePath(part == 1 ? u"Formules2.ini"_s : u"Formules1.ini"_s));
    });
    connect(entries, &QListWidget::itemSelectionChanged, this, &FrmOptions::copySelectedEntry);
    connect(entries, &QListWidget::itemClicked, this, &FrmOptions::copySelectedEntry);
    connect(editButtons[0], &QPushButton::clicked, this, &FrmOptions::addWord);
    connect(editButtons[1], &QPushButton::clicked, this, &FrmOptions::modifyEntry);
    connect(editButtons[2], &QPushButton::clicked, this, &FrmOptions::deleteEntry);
    connect(buttons[0], &QPushButton::clicked, this, [this] {
        if (WizardHooks::reloadReferenceLists)
            WizardHooks::reloadReferenceLists();
        accept();
    });
    connect(buttons[1], &QPushButton::clicked, this, &QDialog::reject);
}

void FrmOptions::load()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - frameGeometry().width()) / 2,
             area.top() + (area.height() - frameGeometry().height()) / 2);
    }
    selectTab(listTabs->currentIndex());
}

void FrmOptions::selectTab(int index)
{
    {
        const QSignalBlocker quiet(formulaPart);
        formulaPart->setEnabled(false);
        formulaPart->setCurrentIndex(0);
    }
    if (index >= 0 && index < referenceFiles().size()) {
        loadList(QDir(DataPaths::referencesFolder()).filePath(referenceFiles().at(index)));
    } else {
        formulaPart->setEnabled(true);
        loadList(QDir(DataPaths::formulasFolder()).filePath(u"Formules1.ini"_s));
    }
}

void FrmOptions::loadList(const QString &path)
{
    QStringList read;
    QString error;
    ListLimits::Cut cut;
    // A missing file gives an empty list, and the first change creates it.
    const bool readable = LineListFile::read(path, &read, &error, &cut);
    AlphabeticalOrder::sort(&read);
    updating = true;
    entries->clear();
    entries->addItems(read);
    word->clear();
    updating = false;
    listFile = path;
    listLocked = !readable && QFileInfo(path).isFile();
    if (listLocked) {
        Dialogs::message(this,
                         error + u" Cette liste ne peut pas être modifiée tant que son fichier ne peut pas être lu."_s,
                         QMessageBox::Ok, Dialogs::Icon::Warning);
    } else if (cut.any()) {
        // Each change writes the list as shown: what was left out would go with it. Only the
        // user may choose that; otherwise the file stays as it is.
        const QString question =
            u"La liste « %1 » n'est affichée qu'en partie. Ce qui n'est pas affiché : %2.\n"
            u"Si vous la modifiez, ces entrées seront retirées du fichier. Voulez-vous pouvoir la modifier ?"_s.arg(
                QFileInfo(path).fileName(), ListLimits::describe(cut));
        listLocked = Dialogs::message(this, question, QMessageBox::Yes | QMessageBox::No, Dialogs::Icon::Warning,
                                      QString(), QMessageBox::No) != QMessageBox::Yes;
    }
    for (QPushButton *button : editButtons)
        button->setEnabled(!listLocked);
}

int FrmOptions::selectedRow() const
{
    const QList<QListWidgetItem *> selected = entries->selectedItems();
    return selected.isEmpty() ? -1 : entries->row(selected.first());
}

FrmOptions::Snapshot FrmOptions::snapshot() const
{
    Snapshot state;
    for (int row = 0; row < entries->count(); ++row)
        state.entries.append(entries->item(row)->text());
    state.selectedRow = selectedRow();
    state.word = word->text();
    return state;
}

void FrmOptions::restore(const Snapshot &before)
{
    updating = true;
    entries->clear();
    entries->addItems(before.entries);
    if (before.selectedRow >= 0)
        entries->setCurrentRow(before.selectedRow);
    word->setText(before.word);
    updating = false;
}

bool FrmOptions::saveList(const Snapshot &before)
{
    word->clear();
    QStringList written;
    for (int row = 0; row < entries->count(); ++row) {
        const QString entry = entries->item(row)->text();
        if (!entry.isEmpty())
            written.append(entry);
    }
    keepOriginal(listFile);
    QString error;
    if (LineListFile::write(listFile, written, &error))
        return true;
    restore(before);
    Dialogs::message(this, error, QMessageBox::Ok, Dialogs::Icon::Warning);
    return false;
}

void FrmOptions::keepOriginal(const QString &path)
{
    if (originals.count(path))
        return;
    QFile file(path);
    if (!file.exists()) {
        originals[path] = std::nullopt;
        return;
    }
    // A list that could not be read is locked: no change reaches it, nothing to keep.
    if (file.open(QIODevice::ReadOnly))
        originals[path] = file.readAll();
}

void FrmOptions::reject()
{
    QStringList failures;
    for (const auto &[path, content] : originals) {
        if (!content) {
            if (QFile::exists(path) && !QFile::remove(path))
                failures.append(QDir::toNativeSeparators(path));
            continue;
        }
        // Put back byte for byte, and whole: a failure leaves the changed file, never half of one.
        QString reason;
        if (!AtomicFile::replace(path, *content, &reason))
            failures.append(QDir::toNativeSeparators(path) + u" : "_s + reason);
    }
    originals.clear();
    if (!failures.isEmpty()) {
        Dialogs::message(this,
                         u"Ces listes n'ont pas pu être rétablies telles qu'elles étaient et gardent vos "
                         u"modifications :\n"_s +
                             failures.join(u'\n'),
                         QMessageBox::Ok, Dialogs::Icon::Warning);
    }
    QDialog::reject();
}

void FrmOptions::copySelectedEntry()
{
    if (updating)
        return;
    const int row = selectedRow();
    if (row >= 0)
        word->setText(entries->item(row)->text());
}

void FrmOptions::addWord()
{
    // A word of spaces only is no word.
    if (word->text().trimmed().isEmpty()) {
        Dialogs::message(this, u"Veuillez taper votre mot dans le champ avant de l'ajouter."_s, QMessageBox::Ok,
                         Dialogs::Icon::Warning);
        return;
    }
    if (entries->count() >= ListLimits::kMaxEntries) {
        Dialogs::message(this,
                         u"Cette liste compte déjà %1 entrées, le plus qu'une liste puisse afficher. "
                         u"Supprimez-en une avant d'en ajouter une autre."_s.arg(
                             QLocale(QLocale::French).toString(ListLimits::kMaxEntries)),
                         QMessageBox::Ok, Dialogs::Icon::Warning);
        return;
    }
    const Snapshot before = snapshot();
    updating = true;
    const int existingRow = Ajoute_Mot(entries, word->text(), true);
    updating = false;
    if (existingRow >= 0)
        return;
    for (int row = 0; row < entries->count(); ++row) {
        if (entries->item(row)->text() == before.word) {
            entries->scrollToItem(entries->item(row));
            break;
        }
    }
    saveList(before);
}

void FrmOptions::modifyEntry()
{
    const int row = selectedRow();
    if (word->text().trimmed().isEmpty() || row < 0) {
        Dialogs::message(this, u"Pour modifier un mot vous devez d'abord le sélectionner."_s, QMessageBox::Ok,
                         Dialogs::Icon::Warning);
        return;
    }
    const QString text = word->text();
    // Two entries that differ only by their letter case would be one in the wizard's eyes.
    for (int other = 0; other < entries->count(); ++other) {
        if (other != row && entries->item(other)->text().compare(text, Qt::CaseInsensitive) == 0) {
            showDuplicateMessage(entries, text);
            return;
        }
    }
    const Snapshot before = snapshot();
    updating = true;
    delete entries->takeItem(row);
    QStringList others;
    for (int other = 0; other < entries->count(); ++other)
        others.append(entries->item(other)->text());
    // The modified entry moves to its alphabetical place and stays selected there.
    const int newRow = int(AlphabeticalOrder::insertPosition(others, text));
    entries->insertItem(newRow, text);
    entries->setCurrentRow(newRow);
    updating = false;
    saveList(before);
}

void FrmOptions::deleteEntry()
{
    const int row = selectedRow();
    if (word->text().trimmed().isEmpty() || row < 0) {
        Dialogs::message(this, u"Pour Supprimer un mot vous devez d'abord le sélectionner."_s, QMessageBox::Ok,
                         Dialogs::Icon::Warning);
        return;
    }
    const Snapshot before = snapshot();
    updating = true;
    delete entries->takeItem(row);
    entries->clearSelection();
    entries->setCurrentRow(-1);
    updating = false;
    saveList(before);
}
