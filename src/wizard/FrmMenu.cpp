#include "wizard/FrmMenu.h"

#include "composition/ui/FrmAssistant.h"
#include "composition/ui/FrmOptions.h"
#include "core/Clock.h"
#include "core/ContactCard.h"
#include "core/DataPaths.h"
#include "core/DateForms.h"
#include "core/Product.h"
#include "dialogs/Buttons.h"
#include "dialogs/WindowRegistry.h"
#include "editor/EditorGeometry.h"
#include "richtext/Twips.h"
#include "spelling/SpellChecker.h"
#include "spelling/SpellHighlighter.h"
#include "spelling/ui/SpellingMenu.h"
#include "wizard/Destinataires.h"
#include "wizard/Fiches.h"
#include "wizard/Finalisation.h"
#include "wizard/Fonctions.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QEventLoop>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QString kFormName = u"frmMenu"_s;

// The window's client area, in twips: the step panels and the button row with their margins.
// It is the designed size and the smallest one; the window may be made larger.
constexpr int kClientWidth = 7335;
constexpr int kClientHeight = 6735;

// Where the wizard's size is remembered: a section of the profile file the editor uses for its
// own window, in twips as there.
const QString kSizeSection = u"ASSISTANT"_s;
const QString kWidthKey = u"Largeur"_s;
const QString kHeightKey = u"Hauteur"_s;

// The batch list's columns at the designed size, in twips.
constexpr int kColumnWidths[] = {1800, 1800, 1200, 1500, 1300, 1100, 1500};

// A field holding only spaces has not been filled in.
bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::toPixels(left, top, width, height));
}

QLabel *addLabel(QWidget *parent, const QString &text, int left, int top, int width, int height = 315)
{
    auto *label = new QLabel(text, parent);
    place(label, left, top, width, height);
    return label;
}

// The captions beside the fields share a narrow column: a slightly smaller face keeps the
// longest ones ("Tél. portable / Fax") whole whatever the system font.
QLabel *addCaption(QWidget *parent, const QString &text, int left, int top, int width)
{
    QLabel *label = addLabel(parent, text, left, top, width);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    label->setFont(font);
    return label;
}

QComboBox *addCombo(QWidget *parent, const QString &objectName, const QString &caption, int left, int top,
                    int captionLeft = 60)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(objectName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setAccessibleName(caption);
    place(box, left, top, 3975, 315);
    addCaption(parent, caption, captionLeft, top + 30, left - captionLeft - 30)->setBuddy(box);
    return box;
}

QLineEdit *addLineEdit(QWidget *parent, const QString &objectName, const QString &caption, int left, int top,
                       int captionLeft = 60)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setAccessibleName(caption);
    place(edit, left, top, 3975, 315);
    addCaption(parent, caption, captionLeft, top + 30, left - captionLeft - 30)->setBuddy(edit);
    return edit;
}

QPushButton *addButton(QWidget *parent, const QString &objectName, const QString &text, const QString &tip, int left,
                       int top, int width = 1095, int height = 315)
{
    QPushButton *button = makeButton(objectName, text, tip, parent);
    place(button, left, top, width, height);
    return button;
}

const QStringList &qualifiers()
{
    static const QStringList items = {u"Monsieur"_s, u"Madame"_s, u"Mademoiselle"_s, u"M."_s, u"Mme"_s, u"Mlle"_s};
    return items;
}

// A tick box keeps its place but grows to show its whole caption, up to the panel's edge; a
// caption that still does not fit is set a little smaller.
void widenToText(QWidget *widget, int rightEdge)
{
    QRect area = widget->geometry();
    if (widget->sizeHint().width() > rightEdge - area.left()) {
        QFont smaller = widget->font();
        smaller.setPointSizeF(smaller.pointSizeF() * 0.9);
        widget->setFont(smaller);
    }
    area.setWidth(std::min(std::max(area.width(), widget->sizeHint().width()), rightEdge - area.left()));
    widget->setGeometry(area);
}

// Card fields are lines of a card file: a line end pasted or set into one becomes a space, so
// what the box shows is what the card will hold.
void keepOnOneLine(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString &text) {
        if (!text.contains(u'\n') && !text.contains(u'\r'))
            return;
        const int cursor = edit->cursorPosition();
        const QString line = ContactCard::singleLine(text);
        edit->setText(line);
        edit->setCursorPosition(std::min(cursor, int(line.size())));
    });
}

// The small card drawn on every row of the batch list.
QIcon drawCardIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink(60, 90, 140);
    painter.setPen(ink);
    painter.setBrush(QColor(236, 241, 250));
    painter.drawRoundedRect(QRectF(0.5, 2.5, 15, 11), 2, 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawEllipse(QRectF(3, 4.5, 3.5, 3.5));
    painter.drawChord(QRectF(2, 8.5, 5.5, 5), 0, 180 * 16);
    painter.setPen(QPen(ink, 1));
    painter.drawLine(QPointF(9, 6.5), QPointF(13.5, 6.5));
    painter.drawLine(QPointF(9, 9.5), QPointF(13.5, 9.5));
    painter.end();
    return QIcon(pixmap);
}

} // namespace

FrmMenu *FrmMenu::instance()
{
    if (auto *window = existing())
        return window;
    auto *window = new FrmMenu;
    // Registered before the load step, which may itself reach for the window.
    WindowRegistry::add(kFormName, window);
    window->load();
    return window;
}

FrmMenu *FrmMenu::existing()
{
    return qobject_cast<FrmMenu *>(WindowRegistry::find(kFormName));
}

FrmMenu::FrmMenu()
{
    setObjectName(kFormName);
    setWindowTitle(Product::name());
    workingDocument = new QTextDocument(this);
    workingDocument->setObjectName(u"RTF"_s);
    buildFrame();
    buildSenderStep();
    buildRecipientStep();
    buildReferencesStep();
    buildBodyStep();
    buildFinalStep();
    connectCardEditors();
}

FrmMenu::~FrmMenu() = default;

void FrmMenu::load()
{
    restoreSize();
    // Centred on the screen, keeping its size.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - frameGeometry().width()) / 2,
             area.top() + (area.height() - frameGeometry().height()) / 2);
    }
    Liste_Formats_Date(DateForms::shortText(Clock::today()));
    Tab1_Click();
    versionLabel->setText(Product::name() + u" - v"_s + Product::versionText());
    rememberLetterAsSaved(this);
}

void FrmMenu::buildFrame()
{
    central = new QWidget(this);
    setCentralWidget(central);
    central->setMinimumSize(Twips::toPixels(kClientWidth), Twips::toPixels(kClientHeight));
    central->installEventFilter(this);
    // The confirmations of a save or a print; no grip, the window's edges resize it.
    statusBar()->setSizeGripEnabled(false);
    resize(central->minimumSize().width(), central->minimumSize().height() + statusBar()->sizeHint().height());

    titleLabel =
        addLabel(central, u"Assistant à la création et à la rédaction de lettres type."_s, 120, 180, 7095, 420);
    titleLabel->setObjectName(u"LabelA_1"_s);
    QFont titleFont = titleLabel->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.1);
    titleLabel->setFont(titleFont);
    versionLabel = addLabel(central, QString(), 120, 630, 7095, 315);
    versionLabel->setObjectName(u"LabelA_0"_s);
    versionLabel->setForegroundRole(QPalette::PlaceholderText);

    auto *rule = new QFrame(central);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    place(rule, 120, 960, 7095, 60);
    anchor(titleLabel, GrowWide);
    anchor(versionLabel, GrowWide);
    anchor(rule, GrowWide);

    static const char16_t *const headings[] = {
        nullptr,
        u"Fiche d'identité de l'expéditeur :",
        u"Fiche d'identité du destinataire :",
        u"Objets et références de la lettre :",
        u"Rédaction du corps de lettre :",
        u"Finalisation de la lettre type :",
    };
    for (int step = 1; step <= 5; ++step) {
        auto *panel = new QFrame(central);
        panel->setObjectName(u"Fond_%1"_s.arg(step));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setAutoFillBackground(true);
        panel->setAccessibleName(QString::fromUtf16(headings[step]));
        place(panel, 120, 1080, 7095, 4935);
        anchor(panel, GrowWide | GrowTall);
        panel->setVisible(step == 1);
        stepPanels[step] = panel;

        QLabel *heading = addLabel(panel, QString::fromUtf16(headings[step]), 120, 120, 5400);
        heading->setObjectName(u"LabelB_%1"_s.arg(2 * step - 1));
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        stepHeadings[step] = heading;
        QLabel *counter = addLabel(panel, u"Etape %1 / 5"_s.arg(step), 5760, 120, 1215);
        counter->setObjectName(u"LabelB_%1"_s.arg(2 * step - 2));
        counter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        anchor(heading, GrowWide);
        anchor(counter, MoveRight);
    }

    previousButton = addButton(central, u"Bouton_0"_s, u"Précédent"_s, QString(), 3720, 6240, 1095, 375);
    nextButton = addButton(central, u"Bouton_1"_s, u"Suivant"_s, QString(), 4920, 6240, 1095, 375);
    shortcutButton = addButton(central, u"Bouton_2"_s, u"Raccourci"_s, QString(), 120, 6240, 1095, 375);
    referencesButton = addButton(central, u"Bouton_3"_s, u"Références"_s, QString(), 1320, 6240, 1095, 375);
    quitButton = addButton(central, u"Bouton_4"_s, u"Quitter"_s, QString(), 6120, 6240, 1095, 375);
    for (QPushButton *button : {shortcutButton, referencesButton})
        anchor(button, MoveDown);
    for (QPushButton *button : {previousButton, nextButton, quitButton})
        anchor(button, MoveRight | MoveDown);
    previousButton->setEnabled(false);
    connect(previousButton, &QPushButton::clicked, this, [] { Change_Etape(1); });
    connect(nextButton, &QPushButton::clicked, this, [] { Change_Etape(2); });
    connect(shortcutButton, &QPushButton::clicked, this, &FrmMenu::showStepsMenu);
    connect(referencesButton, &QPushButton::clicked, this, &FrmMenu::showReferencesDialog);
    connect(quitButton, &QPushButton::clicked, this, &QWidget::close);

    Mnu_Etape = new QMenu(u"Etape"_s, this);
    Mnu_Etape->setObjectName(u"Mnu_Etape"_s);
    static const char16_t *const stepItems[] = {u"Fiche expéditeur", u"Fiche destinataire", u"Objets et références",
                                                u"Rédaction du corps", u"Finalisation de la lettre"};
    for (int i = 0; i < 5; ++i) {
        Mnu_OutEtape[i] = Mnu_Etape->addAction(QString::fromUtf16(stepItems[i]));
        connect(Mnu_OutEtape[i], &QAction::triggered, this, [this, i] { Affiche_Etape(i); });
    }
    Mnu_OutEtape[5] = Mnu_Etape->addSeparator();
    Mnu_OutEtape[6] = Mnu_Etape->addAction(u"Editeur de lettre..."_s);
    connect(Mnu_OutEtape[6], &QAction::triggered, this, [] { runFinalAction(int(FinalAction::ToEditor)); });
    for (int i = 0; i < 7; ++i)
        Mnu_OutEtape[i]->setObjectName(u"Mnu_OutEtape_%1"_s.arg(i));

    Mnu_Selection = new QMenu(u"Selection"_s, this);
    Mnu_Selection->setObjectName(u"Mnu_Selection"_s);
    Mnu_OutSelection[0] = Mnu_Selection->addAction(u"Tout sélectionner"_s);
    Mnu_OutSelection[1] = Mnu_Selection->addSeparator();
    Mnu_OutSelection[2] = Mnu_Selection->addAction(u"Tout déselectionner"_s);
    Mnu_OutSelection[3] = Mnu_Selection->addSeparator();
    Mnu_OutSelection[4] = Mnu_Selection->addAction(u"Importer des destinataires…"_s);
    Mnu_OutSelection[5] = Mnu_Selection->addAction(u"Exporter les destinataires…"_s);
    connect(Mnu_OutSelection[4], &QAction::triggered, this, [] { Importe_Destinataires(); });
    connect(Mnu_OutSelection[5], &QAction::triggered, this, [] { Exporte_Destinataires(); });
    for (int i = 0; i < int(Mnu_OutSelection.size()); ++i)
        Mnu_OutSelection[i]->setObjectName(u"Mnu_OutSelection_%1"_s.arg(i));
}

void FrmMenu::buildSenderStep()
{
    QWidget *panel = stepPanels[1];
    senderName = addCombo(panel, u"Combo1_0"_s, u"Nom et prénom"_s, 1680, 600);
    static const char16_t *const captions[] = {u"Adresse postale", u"Résidence",      u"Code Postal - Ville",
                                               u"Province / Pays", u"Téléphone fixe", u"Tél. portable / Fax"};
    for (int i = 0; i < 6; ++i)
        senderFields[i] =
            addLineEdit(panel, u"Text1_%1"_s.arg(i), QString::fromUtf16(captions[i]), 1680, 1080 + 480 * i);
    senderQualifier = addCombo(panel, u"Combo1_1"_s, u"Qualificatif"_s, 1680, 3960);
    senderQualifier->addItems(qualifiers());
    senderQualifier->setCurrentIndex(-1);
    senderFunction = addCombo(panel, u"Combo1_2"_s, u"Fonction"_s, 1680, 4440);
    // A private person has no function: only the qualifier is required besides the name.
    anchor(addCaption(panel, u"< Obligatoire >"_s, 5715, 3990, 1335), MoveRight);
    for (QWidget *field : {static_cast<QWidget *>(senderName), static_cast<QWidget *>(senderQualifier),
                           static_cast<QWidget *>(senderFunction)})
        anchor(field, GrowWide);
    for (QLineEdit *field : senderFields)
        anchor(field, GrowWide);

    senderButtons[0] = addButton(panel, u"Outils1_0"_s, u"Sauver"_s, u"Sauver la fiche"_s, 5880, 600);
    senderButtons[1] = addButton(panel, u"Outils1_1"_s, u"Nouveau"_s, u"Nouvelle fiche"_s, 5880, 1080);
    senderButtons[2] = addButton(panel, u"Outils1_2"_s, u"Supprimer"_s, u"Supprimer la fiche"_s, 5880, 1560);
    senderButtons[0]->setEnabled(false);
    senderButtons[2]->setEnabled(false);
    for (QPushButton *button : senderButtons)
        anchor(button, MoveRight);
}

void FrmMenu::buildRecipientStep()
{
    recipientCard = new QFrame(stepPanels[2]);
    recipientCard->setObjectName(u"Fond2"_s);
    place(recipientCard, 120, 600, 6855, 3615);
    QWidget *card = recipientCard;
    recipientName = addCombo(card, u"Combo2_0"_s, u"Nom et prénom"_s, 1560, 0, 0);
    static const char16_t *const captions[] = {u"Adresse postale", u"Résidence", u"Code Postal - Ville",
                                               u"Province / Pays"};
    for (int i = 0; i < 4; ++i)
        recipientFields[i] =
            addLineEdit(card, u"Text2_%1"_s.arg(i), QString::fromUtf16(captions[i]), 1560, 480 * (i + 1), 0);
    recipientQualifier = addCombo(card, u"Combo2_1"_s, u"Qualificatif"_s, 1560, 2400, 0);
    recipientQualifier->addItems(qualifiers());
    recipientQualifier->setCurrentIndex(-1);
    recipientFunction = addCombo(card, u"Combo2_2"_s, u"Fonction"_s, 1560, 2880, 0);
    anchor(addCaption(card, u"< Obligatoire >"_s, 5595, 2430, 1260), MoveRight);
    anchor(recipientCard, GrowWide);
    for (QWidget *field : {static_cast<QWidget *>(recipientName), static_cast<QWidget *>(recipientQualifier),
                           static_cast<QWidget *>(recipientFunction)})
        anchor(field, GrowWide);
    for (QLineEdit *field : recipientFields)
        anchor(field, GrowWide);

    recipientButtons[0] = addButton(card, u"Outils2_0"_s, u"Sauver"_s, u"Sauver la fiche"_s, 5760, 0);
    recipientButtons[1] = addButton(card, u"Outils2_1"_s, u"Nouveau"_s, u"Nouvelle fiche"_s, 5760, 480);
    recipientButtons[2] = addButton(card, u"Outils2_2"_s, u"Supprimer"_s, u"Supprimer la fiche"_s, 5760, 960);
    recipientButtons[0]->setEnabled(false);
    recipientButtons[2]->setEnabled(false);
    for (QPushButton *button : recipientButtons)
        anchor(button, MoveRight);

    // Batch mode: the list of every recipient card lies on the same rectangle as the card.
    cardIcon = drawCardIcon();
    recipientList = new QTreeWidget(stepPanels[2]);
    recipientList->setObjectName(u"List1"_s);
    recipientList->setAccessibleName(u"Liste des fiches destinataires"_s);
    place(recipientList, 120, 600, 6855, 3135);
    recipientList->setHeaderLabels({u"Nom prénom"_s, u"Adresse postale"_s, u"Résidence"_s, u"CP + Ville"_s,
                                    u"Province / Pays"_s, u"Qualificatif"_s, u"Fonction"_s});
    recipientList->setRootIsDecorated(false);
    recipientList->setUniformRowHeights(true);
    recipientList->setAllColumnsShowFocus(true);
    recipientList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    recipientList->setSelectionBehavior(QAbstractItemView::SelectRows);
    recipientList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    recipientList->setContextMenuPolicy(Qt::CustomContextMenu);
    recipientList->header()->setSectionsClickable(true);
    recipientList->header()->setSortIndicatorShown(false);
    recipientList->header()->setStretchLastSection(false);
    for (int column = 0; column < 7; ++column)
        recipientList->setColumnWidth(column, Twips::toPixels(kColumnWidths[column]));
    anchor(recipientList, GrowWide | GrowTall);
    recipientList->hide();
    recipientList->installEventFilter(this);
    connect(recipientList->header(), &QHeaderView::sectionClicked, this, &FrmMenu::sortRecipientList);
    connect(recipientList, &QTreeWidget::itemDoubleClicked, this, &FrmMenu::editRecipientRow);
    connect(recipientList, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (recipientList->topLevelItemCount() > 0)
            Mnu_Selection->popup(recipientList->viewport()->mapToGlobal(at));
    });
    connect(Mnu_OutSelection[0], &QAction::triggered, recipientList, &QTreeWidget::selectAll);
    connect(Mnu_OutSelection[2], &QAction::triggered, recipientList, &QTreeWidget::clearSelection);

    // The menu only comes on a list that has rows: an empty list is filled from a file too.
    importRecipientsButton =
        addButton(stepPanels[2], u"Importer_Destinataires"_s, u"Importer des destinataires…"_s,
                  u"Créer des fiches destinataires d'après un tableur ou un carnet d'adresses"_s, 120, 3840, 3000);
    exportRecipientsButton =
        addButton(stepPanels[2], u"Exporter_Destinataires"_s, u"Exporter les destinataires…"_s,
                  u"Enregistrer les fiches sélectionnées pour un tableur (CSV)"_s, 3240, 3840, 3000);
    for (QPushButton *button : {importRecipientsButton, exportRecipientsButton}) {
        anchor(button, MoveDown);
        button->hide();
    }
    connect(importRecipientsButton, &QPushButton::clicked, this, [] { Importe_Destinataires(); });
    connect(exportRecipientsButton, &QPushButton::clicked, this, [] { Exporte_Destinataires(); });
    // Only selected cards are exported.
    const auto offerExport = [this] {
        const bool selected = !recipientList->selectedItems().isEmpty();
        exportRecipientsButton->setEnabled(selected);
        Mnu_OutSelection[5]->setEnabled(selected);
    };
    connect(recipientList, &QTreeWidget::itemSelectionChanged, this, offerExport);
    offerExport();

    recipientMode = new QTabBar(stepPanels[2]);
    recipientMode->setObjectName(u"Tab1"_s);
    recipientMode->setAccessibleName(u"Mode d'édition du destinataire"_s);
    recipientMode->addTab(u"Edition simple"_s);
    recipientMode->addTab(u"Edition multiple"_s);
    recipientMode->setExpanding(true);
    recipientMode->setDrawBase(false);
    recipientMode->setUsesScrollButtons(false);
    place(recipientMode, 120, 4440, 2505, 345);
    // Both tab captions stay whole whatever the system font; the hint takes the rest of the row.
    QRect tabsArea = recipientMode->geometry();
    tabsArea.setWidth(std::max(tabsArea.width(), recipientMode->sizeHint().width()));
    recipientMode->setGeometry(tabsArea);
    anchor(recipientMode, MoveDown);
    connect(recipientMode, &QTabBar::currentChanged, this, &FrmMenu::Tab1_Click);

    recipientHint = addCaption(stepPanels[2], QString(), 2700, 4440, 4275);
    const int hintLeft = std::max(Twips::toPixels(2700), tabsArea.right() + Twips::toPixels(75));
    recipientHint->setGeometry(hintLeft, Twips::toPixels(4440), Twips::toPixels(6975) - hintLeft, Twips::toPixels(420));
    recipientHint->setObjectName(u"Label2_7"_s);
    recipientHint->setWordWrap(true);
    recipientHint->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    anchor(recipientHint, MoveDown | GrowWide);
}

void FrmMenu::buildReferencesStep()
{
    QWidget *panel = stepPanels[3];
    dateFormats = addCombo(panel, u"Combo3_0"_s, u"Format de date"_s, 1680, 600);
    referenceButtons[0] =
        addButton(panel, u"Outils3_0"_s, u"Par défaut"_s, u"Rétablir la date par défaut"_s, 5880, 600);
    connect(referenceButtons[0], &QPushButton::clicked, this,
            [this] { Liste_Formats_Date(DateForms::shortText(Clock::today())); });
    anchor(dateFormats, GrowWide);
    anchor(referenceButtons[0], MoveRight);

    letterDate = new QDateEdit(panel);
    letterDate->setObjectName(u"DDate"_s);
    letterDate->setAccessibleName(u"Date de la lettre"_s);
    // Its editable part is what a screen reader lands on.
    if (auto *dateText = letterDate->findChild<QLineEdit *>())
        dateText->setAccessibleName(u"Date de la lettre"_s);
    letterDate->setDisplayFormat(u"dd/MM/yyyy"_s);
    letterDate->setCalendarPopup(true);
    letterDate->setDateRange(QDate(1990, 1, 1), QDate(3000, 12, 31));
    letterDate->setEnabled(false);
    place(letterDate, 1680, 1080, 1935, 315);
    addCaption(panel, u"Date de la lettre"_s, 60, 1110, 1590)->setBuddy(letterDate);
    connect(letterDate, &QDateEdit::dateChanged, this, &FrmMenu::letterDateChanged);

    changeDate = new QCheckBox(u" Modifier les valeurs"_s, panel);
    changeDate->setObjectName(u"Check1_0"_s);
    place(changeDate, 3720, 1080, 1935, 315);
    widenToText(changeDate, Twips::toPixels(6975));
    connect(changeDate, &QCheckBox::toggled, letterDate, &QWidget::setEnabled);
    town = addCombo(panel, u"Combo3_1"_s, u"Communes / Villes"_s, 1680, 1800);
    object = addCombo(panel, u"Combo3_2"_s, u"Objet par défaut"_s, 1680, 2280);
    noObject = new QCheckBox(u" Pas d'objet"_s, panel);
    noObject->setObjectName(u"Check1_1"_s);
    noObject->setToolTip(u"Pas d'objet dans la lettre"_s);
    place(noObject, 5760, 2280, 1215, 315);
    widenToText(noObject, Twips::toPixels(7000));
    anchor(noObject, MoveRight);
    // The object stays in its box while greyed: unticking brings it back as it was.
    connect(noObject, &QCheckBox::toggled, object, [this](bool ticked) { object->setEnabled(!ticked); });
    signature = addCombo(panel, u"Combo3_3"_s, u"Signature"_s, 1680, 2760);
    QLabel *formulaHeading = addLabel(panel, u"Formule de politesse :"_s, 120, 3480, 3975);
    QFont bold = formulaHeading->font();
    bold.setBold(true);
    formulaHeading->setFont(bold);
    formulaFirst = addCombo(panel, u"Combo3_4"_s, u"Première partie"_s, 1680, 3960);
    formulaSecond = addCombo(panel, u"Combo3_5"_s, u"Deuxième partie"_s, 1680, 4440);
    referenceButtons[1] =
        addButton(panel, u"Outils3_1"_s, u"Aléatoire"_s, u"Générer une formule aléatoire"_s, 5880, 4200);
    connect(referenceButtons[1], &QPushButton::clicked, this, &FrmMenu::drawFormula);
    for (QComboBox *box : {town, object, signature, formulaFirst, formulaSecond})
        anchor(box, GrowWide);
    anchor(referenceButtons[1], MoveRight);
    // The first formula part reads "Je vous prie d'agréer" etc.: a wider box would not help, the
    // box shows the whole entry in its drop-down.
}

void FrmMenu::buildBodyStep()
{
    body = new QPlainTextEdit(stepPanels[4]);
    body->setObjectName(u"Text4"_s);
    body->setAccessibleName(u"Corps de la lettre"_s);
    body->setTabChangesFocus(true);
    place(body, 120, 450, 6855, 3900);
    new SpellHighlighter(body->document(), SpellChecker::shared());
    SpellingMenu::install(body);

    bodyButtons[0] = addButton(stepPanels[4], u"Outils4_0"_s, u"Assistant rédaction"_s,
                               u"Aide à la rédaction du corps"_s, 120, 4500, 1815);
    bodyButtons[1] = addButton(stepPanels[4], u"Outils4_1"_s, u"Importer"_s, u"Importer un contenu"_s, 2760, 4500);
    bodyButtons[2] = addButton(stepPanels[4], u"Outils4_2"_s, u"Exporter"_s, u"Exporter le contenu"_s, 3960, 4500);
    bodyButtons[3] = addButton(stepPanels[4], u"Outils4_3"_s, u"Effacer"_s, u"Nouvelle rédaction"_s, 5880, 4500);
    bodyButtons[2]->setEnabled(false);
    bodyButtons[3]->setEnabled(false);
    anchor(body, GrowWide | GrowTall);
    for (int i = 0; i < 3; ++i)
        anchor(bodyButtons[size_t(i)], MoveDown);
    anchor(bodyButtons[3], MoveRight | MoveDown);
    connect(bodyButtons[0], &QPushButton::clicked, this, [this] { showModal(FrmAssistant::instance()); });
    connect(bodyButtons[1], &QPushButton::clicked, this, [] { Fichier_Contenu(true); });
    connect(bodyButtons[2], &QPushButton::clicked, this, [] { Fichier_Contenu(false); });
    connect(bodyButtons[3], &QPushButton::clicked, body, &QPlainTextEdit::clear);
    connect(body, &QPlainTextEdit::textChanged, this, [this] {
        const bool hasText = !body->document()->isEmpty();
        bodyButtons[2]->setEnabled(hasText);
        bodyButtons[3]->setEnabled(hasText);
    });
}

void FrmMenu::buildFinalStep()
{
    static const char16_t *const texts[] = {
        u"Enregistrer le modèle",  u"Ouvrir un modèle",     u"Aperçu du modèle", u"Editeur de lettre",
        u"Exporter au format RTF", u"Exporter et Modifier", u"Exporter en PDF"};
    static const char16_t *const descriptions[] = {
        u"Enregistrer votre lettre en tant que modèle pour conserver toutes les informations de l'assistant de "
        u"création de lettre.",
        u"Ouvrir un modèle de lettre afin de l'imprimer directement sans passer par l'assistant de création de "
        u"lettre.",
        u"Obtenir très rapidement un aperçu avant impression de votre modèle et décider ou non de l'imprimer à "
        u"partir de l'aperçu.",
        u"Apporter des modifications dans la mise en page, la police et l'agencement de votre (vos) modèle(s) de "
        u"lettre.",
        u"Exporter le modèle de lettre sous le format RTF afin de lui apporter des modifications dans votre "
        u"traitement de texte.",
        u"Exporter le modèle de lettre sous le format RTF et modifier le directement avec le logiciel associé à "
        u"ce type d'extension.",
        u"Exporter le modèle de lettre sous le format PDF, un fichier par destinataire, prêt à être joint à un "
        u"courrier électronique.",
    };
    // Three groups (the model, the letter on screen, the files), the PDF export closing the
    // last: seven buttons in the panel the original six had, the gaps between groups narrowed.
    static const int tops[] = {600, 1200, 1890, 2490, 3180, 3780, 4380};
    for (int i = 0; i < int(finalButtons.size()); ++i) {
        finalButtons[i] = addButton(stepPanels[5], u"Outils5_%1"_s.arg(i), QString::fromUtf16(texts[i]), QString(), 240,
                                    tops[i], 1935, 375);
        QFont smaller = finalButtons[i]->font();
        smaller.setPointSizeF(smaller.pointSizeF() * 0.9);
        finalButtons[i]->setFont(smaller);
        finalDescriptions[i] =
            addCaption(stepPanels[5], QString::fromUtf16(descriptions[i]), 2400, tops[i] - 150, 4575);
        place(finalDescriptions[i], 2400, tops[i] - 150, 4575, 675);
        finalDescriptions[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        finalDescriptions[i]->setObjectName(u"Label5_%1"_s.arg(i));
        finalDescriptions[i]->setWordWrap(true);
        finalButtons[i]->setAccessibleDescription(finalDescriptions[i]->text());
        anchor(finalDescriptions[i], GrowWide);
        connect(finalButtons[i], &QPushButton::clicked, this, [i] { runFinalAction(i); });
    }
}

void FrmMenu::Affiche_Etape(int index)
{
    for (int step = 1; step <= 5; ++step)
        stepPanels[step]->hide();
    stepPanels[index + 1]->show();
    EtapeCourante = index + 1;
    previousButton->setEnabled(EtapeCourante != 1);
    nextButton->setEnabled(EtapeCourante != 5);
}

void FrmMenu::focusStepField(int step)
{
    switch (step) {
    case 1:
        senderName->setFocus();
        break;
    case 2:
        if (isBatchMode())
            recipientList->setFocus();
        else
            recipientName->setFocus();
        break;
    case 3:
        dateFormats->setFocus();
        break;
    case 4:
        body->setFocus();
        break;
    default:
        stepPanels[step]->setFocus();
        break;
    }
}

void FrmMenu::showStepsMenu()
{
    Mnu_Etape->popup(shortcutButton->mapToGlobal(QPoint(0, 0)));
}

void FrmMenu::showReferencesDialog()
{
    showModal(FrmOptions::instance());
}

void FrmMenu::showModal(QWidget *window)
{
    if (auto *dialog = qobject_cast<QDialog *>(window)) {
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->exec();
        return;
    }
    // A window that is not a dialog waits in a local loop until it is hidden or destroyed.
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    QEventLoop loop;
    QPointer<QWidget> alive(window);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!alive || !alive->isVisible())
            loop.quit();
    });
    poll.start(50);
    loop.exec();
}

void FrmMenu::closeEvent(QCloseEvent *event)
{
    // A letter never saved as a model would be lost with the window.
    if (!confirmQuit(this)) {
        event->ignore();
        return;
    }
    rememberSize();
    // The other windows go with the wizard, in this order; one never loaded stays unloaded.
    for (const QString &name : {u"frmAssistant"_s, u"frmEditeur"_s, u"frmOptions"_s, u"frmPage"_s})
        WindowRegistry::unload(name);
    event->accept();
}

void FrmMenu::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    for (int step = 1; step <= 5; ++step)
        stepPanels[step]->setBackgroundRole(QPalette::Button);
}

void FrmMenu::showConfirmation(const QString &text)
{
    // Long enough to be read, gone before it could be taken for news of a later action.
    statusBar()->showMessage(text, 10000);
}

void FrmMenu::anchor(QWidget *widget, int how)
{
    anchored.push_back({widget, widget->geometry(), how});
}

void FrmMenu::followWindowSize()
{
    // The controls keep their designed places; what the window gains beyond its designed size
    // goes to the fields, the body and the batch list, and the controls at the right and at the
    // bottom move with the edges.
    if (!recipientList)
        return; // still being built: the controls are placed as designed
    const int wider = std::max(0, central->width() - central->minimumWidth());
    const int taller = std::max(0, central->height() - central->minimumHeight());
    for (const Anchored &item : anchored) {
        QRect area = item.designed;
        if (item.anchor & MoveRight)
            area.translate(wider, 0);
        if (item.anchor & MoveDown)
            area.translate(0, taller);
        if (item.anchor & GrowWide)
            area.setWidth(area.width() + wider);
        if (item.anchor & GrowTall)
            area.setHeight(area.height() + taller);
        item.widget->setGeometry(area);
    }
    // The seven columns share the list's width once it can hold them all.
    int designedColumns = 0;
    for (const int width : kColumnWidths)
        designedColumns += Twips::toPixels(width);
    const int available = recipientList->viewport()->width();
    for (int column = 0; column < 7; ++column) {
        const int designed = Twips::toPixels(kColumnWidths[column]);
        recipientList->setColumnWidth(column,
                                      available > designedColumns ? designed * available / designedColumns : designed);
    }
}

void FrmMenu::restoreSize()
{
    const QString file = DataPaths::editorSettingsFile();
    const std::optional<double> width =
        EditorGeometry::toNumber(EditorGeometry::readValue(file, kSizeSection, kWidthKey));
    const std::optional<double> height =
        EditorGeometry::toNumber(EditorGeometry::readValue(file, kSizeSection, kHeightKey));
    if (!width || !height)
        return;
    QSize stored(Twips::toPixels(int(std::clamp(*width, 0.0, 1.0e6))),
                 Twips::toPixels(int(std::clamp(*height, 0.0, 1.0e6))));
    // Never smaller than designed, never larger than the screen.
    stored = stored.expandedTo(minimumSizeHint());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        stored = stored.boundedTo(screen->availableGeometry().size());
    resize(stored);
}

void FrmMenu::rememberSize()
{
    const QSize shown = isMaximized() || isFullScreen() ? normalGeometry().size() : size();
    EditorGeometry::writeValues(DataPaths::editorSettingsFile(), kSizeSection,
                                {{kWidthKey, QString::number(Twips::fromPixels(shown.width()))},
                                 {kHeightKey, QString::number(Twips::fromPixels(shown.height()))}});
}

void FrmMenu::connectCardEditors()
{
    struct Editor
    {
        int kind;
        QComboBox *name, *qualifier, *function;
        std::array<QPushButton *, 3> buttons;
    };
    const Editor editors[] = {
        {1, senderName, senderQualifier, senderFunction, senderButtons},
        {2, recipientName, recipientQualifier, recipientFunction, recipientButtons},
    };
    for (const Editor &editor : editors) {
        // A typed name must stay as typed: completing it with a saved card's name would make
        // "Sauver" overwrite that card.
        editor.name->setCompleter(nullptr);
        QComboBox *name = editor.name;
        const auto saveAndDelete = editor.buttons;
        for (QComboBox *box : {editor.name, editor.qualifier, editor.function}) {
            connect(box, &QComboBox::editTextChanged, this, [name, saveAndDelete] {
                const bool named = !isBlank(name->currentText());
                saveAndDelete[0]->setEnabled(named);
                saveAndDelete[2]->setEnabled(named);
            });
        }
        const int kind = editor.kind;
        connect(name, &QComboBox::activated, this, [name, kind](int index) {
            if (kind == 1)
                Charge_Expediteur(name->itemText(index));
            else
                Charge_Destinataire(name->itemText(index));
        });
        connect(editor.buttons[0], &QPushButton::clicked, this, [kind] { Enregistre_Fiche(kind); });
        connect(editor.buttons[1], &QPushButton::clicked, this, [this, kind] { newCard(kind); });
        connect(editor.buttons[2], &QPushButton::clicked, this, [name, kind] {
            if (!isBlank(name->currentText()))
                Supprime_Fiche(kind);
        });
    }
    for (QLineEdit *field : senderFields)
        keepOnOneLine(field);
    for (QLineEdit *field : recipientFields)
        keepOnOneLine(field);
    for (QComboBox *box : {senderName, senderQualifier, senderFunction, recipientName, recipientQualifier,
                           recipientFunction, dateFormats, town, object, signature, formulaFirst, formulaSecond})
        keepOnOneLine(box->lineEdit());
}

void FrmMenu::newCard(int kind)
{
    // Only the fields are emptied: no card file is touched.
    shownCards[size_t(kind)] = {};
    if (kind == 1) {
        senderName->setEditText(QString());
        for (QLineEdit *field : senderFields)
            field->setText(QString());
        senderQualifier->setEditText(QString());
        senderFunction->setEditText(QString());
    } else {
        recipientName->setEditText(QString());
        for (QLineEdit *field : recipientFields)
            field->setText(QString());
        recipientQualifier->setEditText(QString());
        recipientFunction->setEditText(QString());
    }
}

bool FrmMenu::isBatchMode() const
{
    return recipientMode->currentIndex() == 1;
}

void FrmMenu::Tab1_Click()
{
    importRecipientsButton->setVisible(isBatchMode());
    exportRecipientsButton->setVisible(isBatchMode());
    if (!isBatchMode()) {
        recipientList->hide();
        recipientCard->show();
        recipientCard->raise();
        stepHeadings[2]->setText(u"Fiche d'identité du destinataire :"_s);
        recipientHint->setText(u"Pour une création par lot utilisez le mode [ Edition multiple ]"_s);
        // The fields always make a letter: it can be previewed, edited and exported at once,
        // saving a model first is the user's choice.
        for (QPushButton *button : finalButtons)
            button->setEnabled(true);
    } else {
        recipientCard->hide();
        recipientList->show();
        recipientList->raise();
        stepHeadings[2]->setText(u"Liste des fiches destinataires :"_s);
        recipientHint->setText(u"Pour une création simple utilisez le mode [ Edition simple ]"_s);
        Liste_Destinataires();
        // A batch goes to the editor, or to PDF files: one letter per selected recipient.
        for (int i = 0; i < int(finalButtons.size()); ++i)
            finalButtons[i]->setEnabled(FinalAction(i) == FinalAction::ToEditor ||
                                        FinalAction(i) == FinalAction::ExportPdf);
    }
}

void FrmMenu::sortRecipientList(int column)
{
    // A second click on the same header reverses the order. A refilled list hides the
    // indicator, so its first sort is always ascending.
    // (The header has already moved its own indicator by the time it reports the click.)
    QHeaderView *header = recipientList->header();
    const bool again = header->isSortIndicatorShown() && recipientSortColumn == column;
    recipientSortColumn = column;
    Qt::SortOrder order = Qt::AscendingOrder;
    if (again && recipientSortOrder == Qt::AscendingOrder)
        order = Qt::DescendingOrder;
    recipientSortOrder = order;
    header->setSortIndicatorShown(true);
    recipientList->sortItems(column, order);
    header->setSortIndicator(column, order);
}

void FrmMenu::editRecipientRow(QTreeWidgetItem *row)
{
    if (!row || recipientList->topLevelItemCount() == 0)
        return;
    showRecipientRow(row);
    recipientMode->setCurrentIndex(0);
    recipientName->setFocus();
}

bool FrmMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == central && event->type() == QEvent::Resize)
        followWindowSize();
    // Enter on a row of the batch list does what a double click does.
    if (watched == recipientList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            editRecipientRow(recipientList->currentItem());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmMenu::Liste_Formats_Date(const QString &dateText)
{
    const QDate asked = DateForms::fromShortText(dateText);
    if (!asked.isValid())
        return;
    {
        const QScopedValueRollback<bool> quiet(settingLetterDate, true);
        letterDate->setDate(asked);
    }
    // The picker keeps its dates within its range; the forms follow what it shows.
    const QDate date = letterDate->date();
    const QString text = date == asked ? dateText : DateForms::shortText(date);
    dateFormats->clear();
    dateFormats->addItems(DateForms::worded(date, text));
    dateFormats->setCurrentIndex(0);
}

void FrmMenu::letterDateChanged(const QDate &date)
{
    if (!settingLetterDate)
        Liste_Formats_Date(DateForms::shortText(date));
}

void FrmMenu::drawFormula()
{
    // Each entry of a box is equally likely; the two halves are drawn independently. An empty
    // first box ends the action without drawing the second.
    QRandomGenerator *random = QRandomGenerator::global();
    const int firstCount = formulaFirst->count();
    if (firstCount == 0)
        return;
    formulaFirst->setCurrentIndex(int(random->bounded(firstCount)));
    const int secondCount = formulaSecond->count();
    if (secondCount == 0)
        return;
    formulaSecond->setCurrentIndex(int(random->bounded(secondCount)));
}
