#include "printing/FrmPage.h"

#include "dialogs/WindowRegistry.h"
#include "printing/CurrentPrinter.h"
#include "printing/ImprimeRtf.h"
#include "printing/PageSurface.h"
#include "printing/Ruler.h"
#include "richtext/Twips.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTabBar>
#include <QTextDocument>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QString kFormName = u"frmPage"_s;
constexpr int kButtonBarHeight = 615;
constexpr int kButtonTop = 120;
constexpr int kButtonHeight = 375;
constexpr int kNavigationWidth = 495;
constexpr int kWideButtonWidth = 975;
constexpr int kRulerThickness = 300;
constexpr int kCounterWidth = 1500;
constexpr int kCheckWidth = 2400;
const char *const kTwipsProperty = "quilloTwips";

struct ButtonText
{
    QString caption;
    QString tip;
};

const std::array<ButtonText, 7> &buttonTexts()
{
    static const std::array<ButtonText, 7> texts{{
        {u"Configurer"_s, u"Configurer l'impression"_s},
        {u"Imprimer"_s, u"Imprimer le document"_s},
        {u"<<"_s, u"Première page"_s},
        {u"<"_s, u"Page précédente"_s},
        {u">"_s, u"Page suivante"_s},
        {u">>"_s, u"Dernière page"_s},
        {u"Fermer"_s, u"Quitter l'aperçu"_s},
    }};
    return texts;
}

} // namespace

FrmPage *FrmPage::instance()
{
    if (auto *window = existing())
        return window;
    auto *window = new FrmPage;
    WindowRegistry::add(kFormName, window);
    return window;
}

FrmPage *FrmPage::existing()
{
    return qobject_cast<FrmPage *>(WindowRegistry::find(kFormName));
}

FrmPage::FrmPage()
{
    setObjectName(kFormName);
    setWindowTitle(u"Aperçu avant impression"_s);
    setSizeGripEnabled(false);

    buildButtonBar();

    background = new QWidget(this);
    background->setObjectName(u"Fond"_s);
    background->setAccessibleName(u"Aperçu de la page"_s);
    background->setAutoFillBackground(true);
    background->setBackgroundRole(QPalette::Dark); // the desktop's workspace colour
    background->setFocusPolicy(Qt::StrongFocus);
    background->installEventFilter(this);

    Ombre = new QFrame(background);
    Ombre->setObjectName(u"Ombre"_s);
    Ombre->setAutoFillBackground(true);
    Ombre->setBackgroundRole(QPalette::Window);
    QPalette shadow = Ombre->palette();
    shadow.setColor(QPalette::Window, QColor(64, 64, 64));
    Ombre->setPalette(shadow);

    auto *first = new PageSurface(1, background);
    connect(first, &PageSurface::doubleClicked, this, &FrmPage::Page_DblClick);
    pages.append(first);

    for (int index = 0; index < 2; ++index) {
        rulers[index] = new Ruler(index == 0 ? Qt::Horizontal : Qt::Vertical, background);
        connect(rulers[index], &Ruler::pressed, this,
                [this, index](QPointF at, Qt::MouseButtons buttons) { Regle_MouseDown(index, at, buttons); });
        connect(rulers[index], &Ruler::moved, this,
                [this, index](QPointF at, Qt::MouseButtons buttons) { Regle_MouseMove(index, at, buttons); });
        connect(rulers[index], &Ruler::nudged, this,
                [this, index](int stepX, int stepY) { Regle_Nudge(index, stepX, stepY); });
        connect(rulers[index], &Ruler::resetAsked, this, &FrmPage::Page_DblClick);
    }
    place(rulers[0], 0, 0, 11907, kRulerThickness);
    place(rulers[1], 0, 0, kRulerThickness, 16840);

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(u"VScroll1"_s);
    VScroll1->setAccessibleName(u"Défilement de la page"_s);
    VScroll1->setFocusPolicy(Qt::StrongFocus);
    connect(VScroll1, &QScrollBar::valueChanged, this, &FrmPage::VScroll1_Change);

    Tab1 = new QTabBar(this);
    Tab1->setObjectName(u"Tab1"_s);
    Tab1->setAccessibleName(u"Pages"_s);
    Tab1->setExpanding(false);
    Tab1->setUsesScrollButtons(true);
    Tab1->addTab(u"Page n°1"_s);
    connect(Tab1, &QTabBar::currentChanged, this, [this] { Tab1_Click(); });

    for (int index = 0; index < 2; ++index) {
        Label1[index] = new QLabel(this);
        Label1[index]->setObjectName(u"Label1_%1"_s.arg(index));
    }
    Label1[0]->setText(u"Gestionnaire d'impression v2.0.1"_s);
    Label1[1]->setText(u"Format A4 (210 × 297 mm)"_s);

    // A first layout; the print manager's Initialise places everything for the screen.
    resize(Twips::toPixels(15000), Twips::toPixels(11000));
    place(pages[0], 0, 700, 11907, 16840);
}

FrmPage::~FrmPage() = default;

void FrmPage::buildButtonBar()
{
    Toolbar1 = new QWidget(this);
    Toolbar1->setObjectName(u"Toolbar1"_s);
    Toolbar1->installEventFilter(this);
    place(Toolbar1, 0, 0, 15000, kButtonBarHeight);

    for (int index = 0; index < 7; ++index) {
        auto *button = new QPushButton(buttonTexts()[index].caption, Toolbar1);
        button->setObjectName(u"Bouton_%1"_s.arg(index));
        button->setToolTip(buttonTexts()[index].tip);
        button->setAccessibleName(buttonTexts()[index].caption);
        button->setAccessibleDescription(buttonTexts()[index].tip);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, index] { Bouton_Click(Button(index)); });
        buttons[index] = button;
    }
    const bool navigation[7] = {false, false, true, true, true, true, false};
    for (int index = 0; index < 7; ++index)
        place(buttons[index], 0, kButtonTop, navigation[index] ? kNavigationWidth : kWideButtonWidth, kButtonHeight);
    place(buttons[0], 120, kButtonTop, kWideButtonWidth, kButtonHeight);
    place(buttons[1], 1200, kButtonTop, kWideButtonWidth, kButtonHeight);

    moveRulers = new QCheckBox(u" Déplacer les règles"_s, Toolbar1);
    moveRulers->setObjectName(u"Check1"_s);
    moveRulers->setAccessibleName(moveRulers->text());
    // As wide as its caption needs, whatever the system font.
    place(moveRulers, 2400, kButtonTop, std::min(kCheckWidth, Twips::fromPixels(moveRulers->sizeHint().width()) + 60),
          kButtonHeight);

    pageCounter = new QLabel(u"Page 99/99"_s, Toolbar1);
    pageCounter->setObjectName(u"LabelA"_s);
    pageCounter->setAlignment(Qt::AlignCenter);
    place(pageCounter, 0, kButtonTop, kCounterWidth, kButtonHeight);
}

void FrmPage::place(QWidget *part, int left, int top, int width, int height)
{
    part->setProperty(kTwipsProperty, QRect(left, top, width, height));
    part->setGeometry(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height));
}

QRect FrmPage::twips(const QWidget *part) const
{
    const QVariant stored = part->property(kTwipsProperty);
    if (stored.isValid())
        return stored.toRect();
    const QRect pixels = part->geometry();
    return QRect(Twips::fromPixels(pixels.left()), Twips::fromPixels(pixels.top()), Twips::fromPixels(pixels.width()),
                 Twips::fromPixels(pixels.height()));
}

int FrmPage::innerWidthTwips() const
{
    return Twips::fromPixels(width());
}

int FrmPage::innerHeightTwips() const
{
    return Twips::fromPixels(height());
}

PageSurface *FrmPage::page(int number) const
{
    return number >= 1 && number <= pages.size() ? pages[number - 1] : nullptr;
}

PageSurface *FrmPage::addPage()
{
    const int number = int(pages.size()) + 1;
    const PageSurface *first = pages.first();
    auto *surface = new PageSurface(number, background);
    surface->setSheetSize(first->sheetWidth(), first->sheetHeight());
    const QRect at = twips(first);
    place(surface, at.left(), at.top(), at.width(), at.height());
    connect(surface, &PageSurface::doubleClicked, this, &FrmPage::Page_DblClick);
    // Behind the others: only the page in front is shown.
    surface->stackUnder(pages[front - 1]);
    surface->hide();
    pages.append(surface);
    const QSignalBlocker quiet(Tab1);
    Tab1->addTab(u"Page n°%1"_s.arg(number));
    return surface;
}

void FrmPage::setPreviewedLetter(const QTextDocument *previewed, const Margins &margins)
{
    letter = const_cast<QTextDocument *>(previewed);
    letterMargins = margins;
}

void FrmPage::bringToFront(int number)
{
    PageSurface *surface = page(number);
    if (!surface)
        return;
    if (PageSurface *previous = page(front); previous && previous != surface)
        previous->hide();
    front = number;
    surface->show();
    surface->raise();
    // The rulers stay above the pages.
    rulers[0]->raise();
    rulers[1]->raise();
}

void FrmPage::Bouton_Click(Button button)
{
    using enum Button;
    const qint16 highest = qint16(pages.size());
    switch (button) {
    case Configure:
        configurePrinter(this);
        break;
    case Print:
        printPreviewedLetter();
        break;
    case First:
        PageCourante = 1;
        break;
    case Previous:
        if (PageCourante > 1)
            --PageCourante;
        break;
    case Next:
        if (PageCourante != highest)
            PageCourante = PageCourante == 0 ? 2 : PageCourante + 1;
        break;
    case Last:
        PageCourante = highest;
        break;
    case Close:
        close();
        return;
    default:
        return;
    }
    selectPageTab();
}

void FrmPage::selectPageTab()
{
    // No such tab (page 0 at the start) ends the action.
    if (PageCourante < 1 || PageCourante > Tab1->count())
        return;
    {
        const QSignalBlocker quiet(Tab1);
        Tab1->setCurrentIndex(PageCourante - 1);
    }
    Tab1_Click();
}

void FrmPage::Tab1_Click()
{
    const int number = Tab1->currentIndex() + 1;
    if (number < 1)
        return;
    bringToFront(number);
    PageCourante = qint16(number);
    pageCounter->setText(u"Page %1/%2"_s.arg(number, 2, 10, QChar(u'0')).arg(pages.size(), 2, 10, QChar(u'0')));
    background->setFocus();
}

void FrmPage::printPreviewedLetter()
{
    if (Printing::isBusy())
        return;
    if (!confirmPrinting(this))
        return;
    if (const QTextDocument *previewed = letter.data())
        printLetter(this, *previewed, letterMargins);
}

void FrmPage::VScroll1_Change()
{
    // Page tops move by the value in hundredths of 205 % of the page's height, in single precision.
    const float value = float(VScroll1->value());
    for (PageSurface *surface : pages) {
        const QRect at = twips(surface);
        const int top = 700 - int(std::floor(value * float(at.height()) / 205.0f));
        place(surface, at.left(), top, at.width(), at.height());
    }
    const QRect first = twips(pages.first());
    QRect vertical = twips(rulers[1]);
    vertical.moveTop(first.top());
    if (!moveRulers->isChecked()) {
        QRect horizontal = twips(rulers[0]);
        place(rulers[0], horizontal.left(), first.top() - 350, horizontal.width(), horizontal.height());
        vertical.moveLeft(first.left() - 370);
    }
    place(rulers[1], vertical.left(), vertical.top(), vertical.width(), vertical.height());
    place(Ombre, first.left() + 100, first.top() + 100, first.width() + 10, first.height());
}

void FrmPage::Regle_MouseDown(int index, QPointF at, Qt::MouseButtons)
{
    rulers[index]->raise();
    dragStart = at;
}

void FrmPage::Regle_MouseMove(int index, QPointF at, Qt::MouseButtons buttons)
{
    if (buttons != Qt::LeftButton || !moveRulers->isChecked())
        return;
    const QRect ruler = twips(rulers[index]);
    if (index == 0)
        place(rulers[0], ruler.left(), ruler.top() + int(std::lround(at.y() - dragStart.y())), ruler.width(),
              ruler.height());
    else
        place(rulers[1], ruler.left() + int(std::lround(at.x() - dragStart.x())), ruler.top(), ruler.width(),
              ruler.height());
}

void FrmPage::Regle_Nudge(int index, int stepX, int stepY)
{
    if (!moveRulers->isChecked())
        return;
    const QRect ruler = twips(rulers[index]);
    if (index == 0)
        place(rulers[0], ruler.left(), ruler.top() + 57 * stepY, ruler.width(), ruler.height());
    else
        place(rulers[1], ruler.left() + 57 * stepX, ruler.top(), ruler.width(), ruler.height());
}

void FrmPage::Page_DblClick()
{
    const QRect horizontal = twips(rulers[0]);
    place(rulers[0], horizontal.left(), RulerResetTop, horizontal.width(), horizontal.height());
    const QRect vertical = twips(rulers[1]);
    place(rulers[1], twips(pages.first()).left() - RulerResetLeftGap, vertical.top(), vertical.width(),
          vertical.height());
}

void FrmPage::layoutForWindowSize()
{
    const int innerWidth = innerWidthTwips();
    const int innerHeight = innerHeightTwips();
    const int barHeight = twips(Toolbar1).height();
    place(background, 100, barHeight, innerWidth - 500, innerHeight - barHeight - 800);
    const QRect area = twips(background);
    place(VScroll1, innerWidth - 380, barHeight, 255, area.height() + 50);
    const int tabHeight = Twips::fromPixels(Tab1->sizeHint().height());
    place(Tab1, 80, innerHeight - tabHeight - 350, innerWidth - 200, tabHeight);
}

void FrmPage::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    const int innerWidth = innerWidthTwips();
    const int innerHeight = innerHeightTwips();
    // A window resized after it was laid out keeps the pages centred on the background, with
    // their shadow and rulers.
    if (event->oldSize().isValid() && !pages.isEmpty()) {
        layoutForWindowSize();
        const QRect first = twips(pages.first());
        const int shift = int(std::lround(twips(background).width() / 2.0 - first.width() / 2.0 + 100)) - first.left();
        if (shift != 0) {
            for (QWidget *part : std::initializer_list<QWidget *>{Ombre, rulers[0], rulers[1]}) {
                const QRect at = twips(part);
                place(part, at.left() + shift, at.top(), at.width(), at.height());
            }
            for (PageSurface *surface : pages) {
                const QRect at = twips(surface);
                place(surface, at.left() + shift, at.top(), at.width(), at.height());
            }
        }
    }
    // The button bar spans the window's top edge.
    place(Toolbar1, 0, 0, innerWidth, kButtonBarHeight);
    for (int index = 0; index < 2; ++index)
        Label1[index]->adjustSize();
    const QRect left = twips(Label1[0]);
    place(Label1[0], 100, innerHeight - 290, Twips::fromPixels(Label1[0]->width()), left.height());
    const int rightWidth = Twips::fromPixels(Label1[1]->width());
    place(Label1[1], innerWidth - rightWidth - 150, innerHeight - 290, rightWidth,
          Twips::fromPixels(Label1[1]->height()));
    rulers[0]->update();
    rulers[1]->update();
}

void FrmPage::layoutButtonBar()
{
    const int innerWidth = innerWidthTwips();
    const QRect counter = twips(pageCounter);
    // Centred, but never over the tick box when the window is narrow.
    const int navigationWidth = 2 * kNavigationWidth + 350;
    const int leftmost = twips(moveRulers).right() + 150 + navigationWidth;
    const int counterLeft = std::max((innerWidth - counter.width()) / 2, leftmost);
    place(pageCounter, counterLeft, counter.top(), counter.width(), counter.height());
    const int previous = counterLeft - kNavigationWidth - 200;
    const int next = counterLeft + counter.width() + 200;
    place(buttons[3], previous, kButtonTop, kNavigationWidth, kButtonHeight);
    place(buttons[4], next, kButtonTop, kNavigationWidth, kButtonHeight);
    place(buttons[2], previous - kNavigationWidth - 150, kButtonTop, kNavigationWidth, kButtonHeight);
    place(buttons[5], next + kNavigationWidth + 150, kButtonTop, kNavigationWidth, kButtonHeight);
    place(buttons[6], innerWidth - kWideButtonWidth - 150, kButtonTop, kWideButtonWidth, kButtonHeight);
}

bool FrmPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Toolbar1 && event->type() == QEvent::Resize) {
        layoutButtonBar();
    } else if (watched == background && event->type() == QEvent::KeyPress) {
        // The keyboard scrolls the page shown, as the scroll bar does.
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Up:
            VScroll1->triggerAction(QAbstractSlider::SliderSingleStepSub);
            return true;
        case Qt::Key_Down:
            VScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            return true;
        case Qt::Key_PageUp:
            VScroll1->triggerAction(QAbstractSlider::SliderPageStepSub);
            return true;
        case Qt::Key_PageDown:
            VScroll1->triggerAction(QAbstractSlider::SliderPageStepAdd);
            return true;
        case Qt::Key_Home:
            VScroll1->triggerAction(QAbstractSlider::SliderToMinimum);
            return true;
        case Qt::Key_End:
            VScroll1->triggerAction(QAbstractSlider::SliderToMaximum);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
