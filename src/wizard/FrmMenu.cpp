#include "FrmMenu.h"

#include "Fonctions.h"
#include "Product.h"
#include "Twips.h"
#include "WindowRegistry.h"

#include <QAction>
#include <QDialog>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

const QString kFormName = u"frmMenu"_s;

// The window's client area, in twips: the step panels and the button row with their margins.
constexpr int kClientWidth = 7335;
constexpr int kClientHeight = 6735;

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

QPushButton *addButton(QWidget *parent, const QString &objectName, const QString &text, const QString &tip,
                       int left, int top, int width = 1095, int height = 315)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setToolTip(tip);
    button->setAutoDefault(false);
    place(button, left, top, width, height);
    return button;
}

const QStringList &qualifiers()
{
    static const QStringList items = {u"Monsieur"_s, u"Madame"_s, u"Mademoiselle"_s,
                                      u"M."_s,       u"Mme"_s,    u"Mlle"_s};
    return items;
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
    buildFrame();
    buildSenderStep();
    buildRecipientStep();
    buildReferencesStep();
    buildBodyStep();
    buildFinalStep();
}

FrmMenu::~FrmMenu() = default;

void FrmMenu::load()
{
    // Centred on the screen, keeping its size.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - frameGeometry().width()) / 2,
             area.top() + (area.height() - frameGeometry().height()) / 2);
    }
    versionLabel->setText(Product::name() + u" - v"_s + Product::versionText());
}

void FrmMenu::buildFrame()
{
    central = new QWidget(this);
    setCentralWidget(central);
    central->setFixedSize(Twips::toPixels(kClientWidth), Twips::toPixels(kClientHeight));
    setFixedSize(central->size());

    titleLabel = addLabel(central, u"Assistant à la création et à la rédaction de lettres type."_s, 120, 180,
                          7095, 420);
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
    }

    previousButton = addButton(central, u"Bouton_0"_s, u"Précédent"_s, QString(), 3720, 6240, 1095, 375);
    nextButton = addButton(central, u"Bouton_1"_s, u"Suivant"_s, QString(), 4920, 6240, 1095, 375);
    shortcutButton = addButton(central, u"Bouton_2"_s, u"Raccourci"_s, QString(), 120, 6240, 1095, 375);
    referencesButton = addButton(central, u"Bouton_3"_s, u"Références"_s, QString(), 1320, 6240, 1095, 375);
    quitButton = addButton(central, u"Bouton_4"_s, u"Quitter"_s, QString(), 6120, 6240, 1095, 375);
    previousButton->setEnabled(false);
    connect(previousButton, &QPushButton::clicked, this, [] { Change_Etape(1); });
    connect(nextButton, &QPushButton::clicked, this, [] { Change_Etape(2); });
    connect(shortcutButton, &QPushButton::clicked, this, &FrmMenu::showStepsMenu);
    connect(referencesButton, &QPushButton::clicked, this, &FrmMenu::showReferencesDialog);
    connect(quitButton, &QPushButton::clicked, this, &QWidget::close);

    Mnu_Etape = new QMenu(u"Etape"_s, this);
    Mnu_Etape->setObjectName(u"Mnu_Etape"_s);
    static const char16_t *const stepItems[] = {u"Fiche expéditeur",   u"Fiche destinataire",
                                                u"Objets et références", u"Rédaction du corps",
                                                u"Finalisation de la lettre"};
    for (int i = 0; i < 5; ++i) {
        Mnu_OutEtape[i] = Mnu_Etape->addAction(QString::fromUtf16(stepItems[i]));
        connect(Mnu_OutEtape[i], &QAction::triggered, this, [this, i] { Affiche_Etape(i); });
    }
    Mnu_OutEtape[5] = Mnu_Etape->addSeparator();
    Mnu_OutEtape[6] = Mnu_Etape->addAction(u"Editeur de lettre..."_s);
    Mnu_OutEtape[6]->setEnabled(false);
    for (int i = 0; i < 7; ++i)
        Mnu_OutEtape[i]->setObjectName(u"Mnu_OutEtape_%1"_s.arg(i));

    Mnu_Selection = new QMenu(u"Selection"_s, this);
    Mnu_Selection->setObjectName(u"Mnu_Selection"_s);
    Mnu_OutSelection[0] = Mnu_Selection->addAction(u"Tout sélectionner"_s);
    Mnu_OutSelection[1] = Mnu_Selection->addSeparator();
    Mnu_OutSelection[2] = Mnu_Selection->addAction(u"Tout déselectionner"_s);
    for (int i = 0; i < 3; ++i)
        Mnu_OutSelection[i]->setObjectName(u"Mnu_OutSelection_%1"_s.arg(i));
}

void FrmMenu::buildSenderStep()
{
    QWidget *panel = stepPanels[1];
    senderName = addCombo(panel, u"Combo1_0"_s, u"Nom et prénom"_s, 1680, 600);
    static const char16_t *const captions[] = {u"Adresse postale", u"Résidence",      u"Code Postal - Ville",
                                               u"Province / Pays", u"Téléphone fixe", u"Tél. portable / Fax"};
    for (int i = 0; i < 6; ++i)
        senderFields[i] = addLineEdit(panel, u"Text1_%1"_s.arg(i), QString::fromUtf16(captions[i]), 1680, 1080 + 480 * i);
    senderQualifier = addCombo(panel, u"Combo1_1"_s, u"Qualificatif"_s, 1680, 3960);
    senderQualifier->addItems(qualifiers());
    senderQualifier->setCurrentIndex(-1);
    senderFunction = addCombo(panel, u"Combo1_2"_s, u"Fonction"_s, 1680, 4440);
    addCaption(panel, u"< Obligatoire >"_s, 5715, 3990, 1335);
    addCaption(panel, u"< Obligatoire >"_s, 5715, 4470, 1335);

    senderButtons[0] = addButton(panel, u"Outils1_0"_s, u"Sauver"_s, u"Sauver la fiche"_s, 5880, 600);
    senderButtons[1] = addButton(panel, u"Outils1_1"_s, u"Nouveau"_s, u"Nouvelle fiche"_s, 5880, 1080);
    senderButtons[2] = addButton(panel, u"Outils1_2"_s, u"Supprimer"_s, u"Supprimer la fiche"_s, 5880, 1560);
    senderButtons[0]->setEnabled(false);
    senderButtons[2]->setEnabled(false);
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
        recipientFields[i] = addLineEdit(card, u"Text2_%1"_s.arg(i), QString::fromUtf16(captions[i]), 1560, 480 * (i + 1), 0);
    recipientQualifier = addCombo(card, u"Combo2_1"_s, u"Qualificatif"_s, 1560, 2400, 0);
    recipientQualifier->addItems(qualifiers());
    recipientQualifier->setCurrentIndex(-1);
    recipientFunction = addCombo(card, u"Combo2_2"_s, u"Fonction"_s, 1560, 2880, 0);
    addCaption(card, u"< Obligatoire >"_s, 5595, 2430, 1260);
    addCaption(card, u"< Obligatoire >"_s, 5595, 2910, 1260);

    recipientButtons[0] = addButton(card, u"Outils2_0"_s, u"Sauver"_s, u"Sauver la fiche"_s, 5760, 0);
    recipientButtons[1] = addButton(card, u"Outils2_1"_s, u"Nouveau"_s, u"Nouvelle fiche"_s, 5760, 480);
    recipientButtons[2] = addButton(card, u"Outils2_2"_s, u"Supprimer"_s, u"Supprimer la fiche"_s, 5760, 960);
    recipientButtons[0]->setEnabled(false);
    recipientButtons[2]->setEnabled(false);
}

void FrmMenu::buildReferencesStep()
{
    QWidget *panel = stepPanels[3];
    dateFormats = addCombo(panel, u"Combo3_0"_s, u"Format de date"_s, 1680, 600);
    town = addCombo(panel, u"Combo3_1"_s, u"Communes / Villes"_s, 1680, 1800);
    object = addCombo(panel, u"Combo3_2"_s, u"Objet par défaut"_s, 1680, 2280);
    signature = addCombo(panel, u"Combo3_3"_s, u"Signature"_s, 1680, 2760);
    QLabel *formulaHeading = addLabel(panel, u"Formule de politesse :"_s, 120, 3480, 3975);
    QFont bold = formulaHeading->font();
    bold.setBold(true);
    formulaHeading->setFont(bold);
    formulaFirst = addCombo(panel, u"Combo3_4"_s, u"Première partie"_s, 1680, 3960);
    formulaSecond = addCombo(panel, u"Combo3_5"_s, u"Deuxième partie"_s, 1680, 4440);
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

    bodyButtons[0] = addButton(stepPanels[4], u"Outils4_0"_s, u"Assistant rédaction"_s, u"Aide à la rédaction du corps"_s,
                               120, 4500, 1815);
    bodyButtons[1] = addButton(stepPanels[4], u"Outils4_1"_s, u"Importer"_s, u"Importer un contenu"_s, 2760, 4500);
    bodyButtons[2] = addButton(stepPanels[4], u"Outils4_2"_s, u"Exporter"_s, u"Exporter le contenu"_s, 3960, 4500);
    bodyButtons[3] = addButton(stepPanels[4], u"Outils4_3"_s, u"Effacer"_s, u"Nouvelle rédaction"_s, 5880, 4500);
    bodyButtons[2]->setEnabled(false);
    bodyButtons[3]->setEnabled(false);
    connect(bodyButtons[0], &QPushButton::clicked, this, [this] { showModal(u"frmAssistant"_s); });
}

void FrmMenu::buildFinalStep()
{
    static const char16_t *const texts[] = {u"Enregistrer le modèle", u"Ouvrir un modèle",
                                            u"Aperçu du modèle",     u"Editeur de lettre",
                                            u"Exporter au format RTF", u"Exporter et Modifier"};
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
    };
    static const int tops[] = {720, 1320, 2160, 2760, 3600, 4200};
    for (int i = 0; i < 6; ++i) {
        finalButtons[i] = addButton(stepPanels[5], u"Outils5_%1"_s.arg(i), QString::fromUtf16(texts[i]), QString(),
                                    240, tops[i], 1935, 375);
        finalButtons[i]->setEnabled(i < 2);
        QFont smaller = finalButtons[i]->font();
        smaller.setPointSizeF(smaller.pointSizeF() * 0.9);
        finalButtons[i]->setFont(smaller);
        finalDescriptions[i] = addCaption(stepPanels[5], QString::fromUtf16(descriptions[i]), 2400, tops[i] - 150, 4575);
        place(finalDescriptions[i], 2400, tops[i] - 150, 4575, 675);
        finalDescriptions[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        finalDescriptions[i]->setObjectName(u"Label5_%1"_s.arg(i));
        finalDescriptions[i]->setWordWrap(true);
        finalButtons[i]->setAccessibleDescription(finalDescriptions[i]->text());
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
    showModal(u"frmOptions"_s);
}

void FrmMenu::showModal(const QString &formName)
{
    QWidget *window = WindowRegistry::load(formName);
    if (!window)
        return;
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
