#include "conversion/FrmConvert.h"

#include "conversion/ConvertFiles.h"
#include "core/Folders.h"
#include "dialogs/Buttons.h"
#include "dialogs/Dialogs.h"
#include "dialogs/LegacyNames.h"
#include "dialogs/WindowRegistry.h"
#include "richtext/Twips.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString kFormName = u"frmConvert"_s;

FrmConvert::Starter &currentStarter()
{
    static FrmConvert::Starter starter;
    return starter;
}

bool startDetached(const QString &program)
{
    return QProcess::startDetached(program, {}, QFileInfo(program).path());
}

// A caption above its view; the view is named after the caption for screen readers.
void addCaptioned(QGridLayout *grid, int row, int column, const QString &caption, QWidget *view)
{
    auto *label = new QLabel(caption);
    label->setBuddy(view);
    view->setAccessibleName(caption);
    grid->addWidget(label, row, column);
    grid->addWidget(view, row + 1, column);
}

QTreeWidget *makeCardView(const QString &objectName, const QStringList &columns)
{
    auto *view = new QTreeWidget;
    view->setObjectName(objectName);
    view->setColumnCount(int(columns.size()));
    view->setHeaderLabels(columns);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->header()->setStretchLastSection(false);
    return view;
}

QWidget *makePage(QTabWidget *tabs, int index, const QString &title)
{
    auto *page = new QWidget;
    page->setObjectName(u"Fond_%1"_s.arg(index));
    tabs->addTab(page, title);
    return page;
}

} // namespace

FrmConvert *FrmConvert::instance()
{
    if (auto *window = existing())
        return window;
    auto *window = new FrmConvert;
    WindowRegistry::add(kFormName, window);
    window->load();
    return window;
}

FrmConvert *FrmConvert::existing()
{
    return qobject_cast<FrmConvert *>(WindowRegistry::find(kFormName));
}

void FrmConvert::setStarter(Starter starter)
{
    currentStarter() = std::move(starter);
}

QString FrmConvert::quilloExecutable()
{
#ifdef Q_OS_WIN
    const QString name = u"Quillo.exe"_s;
#else
    const QString name = u"Quillo"_s;
#endif
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

FrmConvert::FrmConvert()
{
    setObjectName(kFormName);
    setWindowTitle(u"Conversion des fichiers"_s);

    auto *central = new QWidget(this);
    setCentralWidget(central);
    auto *layout = new QVBoxLayout(central);

    tabs = new QTabWidget(central);
    tabs->setObjectName(u"Tab1"_s);
    tabs->setAccessibleName(u"Données importées"_s);
    layout->addWidget(tabs, 1);

    auto *sendersGrid = new QGridLayout(makePage(tabs, 1, u"Expéditeurs"_s));
    senderList =
        makeCardView(u"List1"_s, {u"Nom prénom"_s, u"Adresse"_s, u"Résidence"_s, u"CP + Ville"_s, u"Province / Pays"_s,
                                  u"Téléphone fixe"_s, u"Portable"_s, u"Qualificatif"_s, u"Fonction"_s});
    addCaptioned(sendersGrid, 0, 0, u"Liste des expéditeurs :"_s, senderList);

    auto *recipientsGrid = new QGridLayout(makePage(tabs, 2, u"Destinataires"_s));
    recipientList = makeCardView(u"List2"_s, {u"Nom prénom"_s, u"Adresse"_s, u"Résidence"_s, u"CP + Ville"_s,
                                              u"Province / Pays"_s, u"Qualificatif"_s, u"Fonction"_s});
    addCaptioned(recipientsGrid, 0, 0, u"Liste des destinataires :"_s, recipientList);

    static const char16_t *const captions[OldVersion::ListCount] = {
        u"Communes / Villes :", u"Objets :",          u"Fonctions :",
        u"Signatures :",        u"Première partie :", u"Deuxième partie :",
    };
    auto *referencesGrid = new QGridLayout(makePage(tabs, 3, u"Références"_s));
    auto *formulasGrid = new QGridLayout(makePage(tabs, 4, u"Formules"_s));
    for (int i = 0; i < OldVersion::ListCount; ++i) {
        auto *list = new QListWidget;
        list->setObjectName(u"List%1"_s.arg(i + 3));
        list->setUniformItemSizes(true);
        lists[i] = list;
        // Page 3 holds the four reference lists two by two, page 4 the formula halves side by side.
        if (i < OldVersion::FormulasFirst)
            addCaptioned(referencesGrid, (i / 2) * 2, i % 2, QString::fromUtf16(captions[i]), list);
        else
            addCaptioned(formulasGrid, 0, i - OldVersion::FormulasFirst, QString::fromUtf16(captions[i]), list);
    }

    startQuillo = new QCheckBox(u" Exécuter Quillane et quitter l'assistant à la fin de la conversion."_s, central);
    startQuillo->setObjectName(u"Check1"_s);
    layout->addWidget(startQuillo);

    auto *buttons = new QHBoxLayout;
    folderButton = makeButton(u"Bouton_0"_s, u"Dossier"_s, u"Sélection du dossier source"_s);
    convertButton = makeButton(u"Bouton_1"_s, u"Conversion"_s, u"Conversion des fichiers"_s);
    quitButton = makeButton(u"Bouton_2"_s, u"Quitter"_s);
    convertButton->setEnabled(false);
    buttons->addWidget(folderButton);
    buttons->addWidget(convertButton);
    buttons->addStretch(1);
    buttons->addWidget(quitButton);
    layout->addLayout(buttons);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(u"STB1"_s);
    bar->setSizeGripEnabled(false);
    statusText = new QLabel(u" En attente de conversion..."_s, bar);
    bar->addWidget(statusText, 1);
    setStatusBar(bar);

    connect(folderButton, &QPushButton::clicked, this, &FrmConvert::chooseFolder);
    connect(convertButton, &QPushButton::clicked, this, &FrmConvert::convert);
    connect(quitButton, &QPushButton::clicked, this, &QWidget::close);

    resize(Twips::toPixels(10800), Twips::toPixels(7200));
}

void FrmConvert::load()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - frameGeometry().width()) / 2,
             area.top() + (area.height() - frameGeometry().height()) / 2);
    }
    // The same folders as the letter assistant makes at its start: the conversion writes into them.
    Init_Dossiers();
    tabs->setCurrentIndex(0);
}

void FrmConvert::chooseFolder()
{
    const QString chosen = Dialogs::existingFolder(
        this, u"Veuillez sélectionner le dossier ''Fichiers'' de l'ancienne version de Quillane."_s, QDir::homePath());
    if (chosen.isEmpty())
        return;
    QString folder = QDir::toNativeSeparators(chosen);
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    statusText->setText(u" "_s + folder);
    source = folder;
    convertButton->setEnabled(true);
    importFolder(folder);
}

void FrmConvert::appendCards(QTreeWidget *view, const QList<OldVersion::Card> &cards)
{
    QList<QTreeWidgetItem *> rows;
    rows.reserve(cards.size());
    for (const OldVersion::Card &card : cards) {
        auto *row = new QTreeWidgetItem(card.fields);
        row->setData(0, Qt::UserRole, card.sourceFile);
        rows.append(row);
    }
    view->addTopLevelItems(rows);
    view->header()->resizeSections(QHeaderView::ResizeToContents);
}

void FrmConvert::importFolder(const QString &folder)
{
    // Names written by the old version in the Windows encoding: renamed, they are imported;
    // otherwise the import's message names them.
    LegacyNames::offerRenames(this, {{folder, {u".exp"_s, u".dst"_s, u".lst"_s, u".txt"_s}}});
    const OldVersion::ImportResult result = OldVersion::importFolder(folder);
    appendCards(senderList, result.data.senders);
    appendCards(recipientList, result.data.recipients);
    for (int i = 0; i < OldVersion::ListCount; ++i) {
        lists[i]->addItems(result.data.lists.at(i));
        listsFound[size_t(i)] = listsFound[size_t(i)] || result.data.listFound[size_t(i)];
    }
    Dialogs::message(this, OldVersion::importMessage(result), QMessageBox::Ok,
                     result.unreadableFiles.isEmpty() && result.partialLists.isEmpty() ? Dialogs::Icon::Information
                                                                                       : Dialogs::Icon::Warning);
}

OldVersion::Data FrmConvert::dataOnScreen() const
{
    OldVersion::Data data;
    const auto cardsOf = [](const QTreeWidget *view, QList<OldVersion::Card> *cards) {
        cards->reserve(view->topLevelItemCount());
        for (int i = 0; i < view->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *row = view->topLevelItem(i);
            OldVersion::Card card;
            card.sourceFile = row->data(0, Qt::UserRole).toString();
            for (int column = 0; column < view->columnCount(); ++column)
                card.fields.append(row->text(column));
            cards->append(card);
        }
    };
    cardsOf(senderList, &data.senders);
    cardsOf(recipientList, &data.recipients);
    data.listFound = listsFound;
    for (int i = 0; i < OldVersion::ListCount; ++i) {
        QStringList &entries = data.lists[i];
        entries.reserve(lists[i]->count());
        for (int row = 0; row < lists[i]->count(); ++row)
            entries.append(lists[i]->item(row)->text());
    }
    return data;
}

void FrmConvert::convert()
{
    const ConvertFiles::Report report = ConvertFiles::convert(dataOnScreen(), source);
    const bool everythingWritten = report.refusedCards.isEmpty() && report.failures.isEmpty();
    Dialogs::message(this, ConvertFiles::conversionMessage(report), QMessageBox::Ok,
                     everythingWritten ? Dialogs::Icon::Information : Dialogs::Icon::Warning);
    convertButton->setEnabled(false);
    if (!startQuillo->isChecked())
        return;
    const QString program = quilloExecutable();
    const bool started = currentStarter() ? currentStarter()(program) : startDetached(program);
    if (!started) {
        Dialogs::message(
            this,
            u"Quillane n'a pas pu être démarré : le programme « %1 » est introuvable ou ne peut pas être exécuté."_s
                .arg(QDir::toNativeSeparators(program)),
            QMessageBox::Ok, Dialogs::Icon::Warning);
    }
    close();
}
