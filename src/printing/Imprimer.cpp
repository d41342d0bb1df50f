#include "printing/Imprimer.h"

#include "core/QuilloError.h"
#include "dialogs/WindowRegistry.h"
#include "printing/CurrentPrinter.h"
#include "printing/FrmPage.h"
#include "printing/PageSurface.h"
#include "printing/Ruler.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPreviewPageWidth = 11907;  // 210 mm × 56.7
constexpr int kPreviewPageHeight = 16840; // 297 mm × 56.7, rounded up
constexpr double kTwipsPerMillimetre = 56.7;
constexpr double kTwipsPerSurfacePixel = 15.0; // a page surface's pixel at 96 dots per inch

QuilloError overflow()
{
    return QuilloError(u"Dépassement de capacité"_s, QuilloError::Overflow);
}

// To the nearest integer, halves to the even one, on 16 bits.
qint16 round16(double value)
{
    const double rounded = std::nearbyint(value);
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max())
        throw overflow();
    return qint16(rounded);
}

qint16 check16(qint64 value)
{
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        throw overflow();
    return qint16(value);
}

QFont pageFont(const QString &name, qint16 points, bool bold, bool italic, bool underline)
{
    QFont font(name);
    // Page operations draw in twips: 20 twips to the point.
    font.setPixelSize(std::max(1, int(points) * 20));
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

// The picture's size in twips: its own size in hundredths of a millimetre / 1.771 / scale.
QSize pictureTwips(const QImage &picture, double scale)
{
    if (scale == 0)
        throw QuilloError(u"Division par zéro"_s, 11);
    auto hundredthsOfMm = [](int pixels, int dotsPerMetre) {
        return pixels * 100000.0 / (dotsPerMetre > 0 ? dotsPerMetre : 3780); // 96 dpi when unknown
    };
    return QSize(round16(hundredthsOfMm(picture.width(), picture.dotsPerMeterX()) / 1.771 / scale),
                 round16(hundredthsOfMm(picture.height(), picture.dotsPerMeterY()) / 1.771 / scale));
}

Qt::PenStyle penStyle(qint16 style)
{
    switch (style) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    case 5:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

} // namespace

Imprimer &PPreview()
{
    static Imprimer manager;
    return manager;
}

qint16 Imprimer::toTwips(double millimetres)
{
    return round16(millimetres * kTwipsPerMillimetre);
}

void Imprimer::Initialise()
{
    FrmPage *window = FrmPage::instance();
    const QScreen *screen = QGuiApplication::primaryScreen();
    window->setGeometry(screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768));
    window->setCursor(Qt::WaitCursor);

    window->layoutForWindowSize();
    const QRect background = window->twips(window->background);

    widthTwips = kPreviewPageWidth;
    heightTwips = kPreviewPageHeight;
    PageSurface *first = window->page(1);
    first->setSheetSize(widthTwips, heightTwips);
    const int left = int(std::lround(background.width() / 2.0 - widthTwips / 2.0 + 100));
    window->place(first, left, 700, widthTwips, heightTwips);
    first->clear();

    const QRect horizontal = window->twips(window->rulers[0]);
    window->place(window->rulers[0], left, 700 - 350, widthTwips, horizontal.height());
    const QRect vertical = window->twips(window->rulers[1]);
    window->place(window->rulers[1], left - 370, 700, vertical.width(), heightTwips);
    window->place(window->Ombre, left + 100, 700 + 100, widthTwips + 10, heightTwips);
    window->Ombre->lower();

    // The letter is measured on an A4 sheet of the printer (see Paginate_RTF).
    Printing::currentPrinter().setPageSize(QPageSize(QPageSize::A4));
}

void Imprimer::NewPage()
{
    FrmPage *window = FrmPage::instance();
    const qint16 number = check16(qint64(window->pageCount()) + 1);
    window->addPage();
    NbPages = number;
}

void Imprimer::Show()
{
    FrmPage *window = FrmPage::instance();
    const int height = window->page(1)->sheetHeight() > 0 ? window->page(1)->sheetHeight() : 1;
    const qint16 maximum = check16(qint64(height) * 100 / height);
    window->VScroll1->setRange(0, maximum);
    window->VScroll1->setPageStep(round16(maximum / 2.0));
    window->VScroll1->setSingleStep(round16(maximum / 5.0));
    if (!Legende1.isEmpty())
        window->Label1[0]->setText(Legende1);
    if (!Legende2.isEmpty())
        window->Label1[1]->setText(Legende2);
    const int pages = window->pageCount();
    window->pageCounter->setText(pages < 2 ? u"Page 01/01"_s : u"Page 01/%1"_s.arg(pages, 2, 10, QChar(u'0')));
    for (int index = 2; index <= 5; ++index)
        window->buttons[index]->setEnabled(pages >= 2);
    if (!Titre.isEmpty())
        window->setWindowTitle(Titre);
    window->unsetCursor();
    window->setWindowModality(Qt::ApplicationModal);
    window->exec();
    WindowRegistry::unload(u"frmPage"_s);
}

void Imprimer::Add_EnTete(qint16 top, const QString &text, const QString &fontName, qint16 fontSize,
                          const QColor &colour, bool bold, bool italic, bool underline)
{
    PageSurface *page = FrmPage::instance()->lastPage();
    const QFont font = pageFont(fontName, fontSize, bold, italic, underline);
    const QFontMetricsF metrics(font);
    const QPointF at((page->sheetWidth() - metrics.horizontalAdvance(text)) / 2, top * kTwipsPerMillimetre);
    page->addOperation([font, colour, text, at](QPainter &painter) {
        painter.setFont(font);
        painter.setPen(colour);
        painter.drawText(at + QPointF(0, QFontMetricsF(font).ascent()), text);
    });
}

void Imprimer::Add_BlocTexte(qint16 left, qint16 top, const QString &text, const QString &fontName, qint16 fontSize,
                             const QColor &colour, bool bold, bool italic, bool underline)
{
    PageSurface *page = FrmPage::instance()->lastPage();
    const QFont font = pageFont(fontName, fontSize, bold, italic, underline);
    // In pixels of the page surface: 4 across and 3.8 down to the millimetre.
    const int rectLeft = check16(qint64(left) * 4);
    const int rectTop = int(std::lround(top * 3.8));
    const int rectRight = int(std::lround(widthTwips / 16.8));
    const int rectBottom = heightTwips;
    textRect = QRect(QPoint(rectLeft, rectTop), QPoint(rectRight, rectBottom));
    const QRectF box(rectLeft * kTwipsPerSurfacePixel, rectTop * kTwipsPerSurfacePixel,
                     (rectRight - rectLeft) * kTwipsPerSurfacePixel, (rectBottom - rectTop) * kTwipsPerSurfacePixel);
    page->addOperation([font, colour, text, box](QPainter &painter) {
        painter.setFont(font);
        painter.setPen(colour);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    });
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Imprimer::Add_Picture(const QImage &picture, qint32 position, double scale, qint16 x, qint16 y)
{
    PageSurface *page = FrmPage::instance()->lastPage();
    const QSize size = pictureTwips(picture, scale);
    const double w = size.width();
    const double h = size.height();
    const double right = check16(qint64(widthTwips) - size.width());
    const double bottom = check16(qint64(heightTwips) - size.height());
    const double centreX = widthTwips / 2.0 - w / 2.0;
    const double middleY = heightTwips / 2.0 - h / 2.0;
    QPointF at(0, 0);
    switch (position) {
    case 0:
        at = {right, bottom};
        break;
    case 1:
        at = {0, bottom};
        break;
    case 2:
        at = {centreX, bottom};
        break;
    case 3:
        at = {right, 0};
        break;
    case 4:
        at = {0, 0};
        break;
    case 5:
        at = {centreX, 0};
        break;
    case 6:
        at = {centreX, middleY};
        break;
    case 7:
        at = {right, middleY};
        break;
    case 8:
        at = {0, middleY};
        break;
    case 9:
        at = {double(toTwips(x)), double(toTwips(y))};
        break;
    default:
        break; // anywhere else: the top-left corner
    }
    const QRectF target(at, QSizeF(w, h));
    page->addOperation([picture, target](QPainter &painter) { painter.drawImage(target, picture); });
}

void Imprimer::Add_PictureBoard(const QImage &picture, qint16 x, qint16 y, qint16 gapX, qint16 gapY, qint16 columns,
                                qint16 rows, double scale)
{
    PageSurface *page = FrmPage::instance()->lastPage();
    const double left = toTwips(x);
    double top = toTwips(y);
    const double gx = toTwips(gapX);
    const double gy = toTwips(gapY);
    const QSize size = pictureTwips(picture, scale);
    QList<QRectF> targets;
    for (int row = 1; row <= rows; ++row) {
        double at = left;
        for (int column = 1; column <= columns; ++column) {
            targets.append(QRectF(at, top, size.width(), size.height()));
            at += size.width() + gx;
        }
        top += size.height() + gy;
    }
    if (targets.isEmpty())
        return;
    page->addOperation([picture, targets](QPainter &painter) {
        for (const QRectF &target : targets)
            painter.drawImage(target, picture);
    });
}

void Imprimer::Add_Graphique(qint32 kind, qint16 x1, qint16 y1, qint16 x2, qint16 y2, const QColor &colour,
                             qint32 lineWidth, qint32 lineStyle)
{
    PageSurface *page = FrmPage::instance()->lastPage();
    const qint16 width = check16(lineWidth);
    const qint16 style = check16(lineStyle);
    const QPointF from(toTwips(x1), toTwips(y1));
    const QPointF to(toTwips(x2), toTwips(y2));
    if (kind < 1 || kind > 3)
        return;
    QPen pen(colour, std::max<int>(width, 1) * kTwipsPerSurfacePixel, penStyle(style));
    page->addOperation([kind, pen, colour, from, to](QPainter &painter) {
        painter.setPen(pen);
        const QRectF box = QRectF(from, to).normalized();
        if (kind == 1)
            painter.drawLine(from, to);
        else if (kind == 2)
            painter.drawRect(box);
        else
            painter.fillRect(box, colour);
    });
}
