#include "printing/PageSurface.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

using namespace Qt::StringLiterals;

PageSurface::PageSurface(int number, QWidget *parent) : QWidget(parent), pageNumber(number)
{
    setObjectName(u"Page_%1"_s.arg(number));
    setAccessibleName(u"Page %1"_s.arg(number));
    // Opaque: the pages stand on one another, only the front one needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageSurface::setSheetSize(int widthTwips, int heightTwips)
{
    sheetWidthTwips = widthTwips;
    sheetHeightTwips = heightTwips;
    update();
}

void PageSurface::addOperation(Operation operation)
{
    operations.append(std::move(operation));
    update();
}

void PageSurface::clear()
{
    operations.clear();
    letterPosition = -1;
    update();
}

void PageSurface::paintSheet(QPainter &painter, double pixelsPerTwip) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(pixelsPerTwip, pixelsPerTwip);
    for (const Operation &operation : operations) {
        painter.save();
        operation(painter);
        painter.restore();
    }
    painter.restore();
}

QImage PageSurface::toImage(double pixelsPerTwip) const
{
    QImage image(qMax(1, qRound(sheetWidthTwips * pixelsPerTwip)), qMax(1, qRound(sheetHeightTwips * pixelsPerTwip)),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintSheet(painter, pixelsPerTwip);
    return image;
}

void PageSurface::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // Paper is white whatever the desktop's colours, as on the printer.
    painter.fillRect(rect(), Qt::white);
    painter.setClipRect(rect());
    paintSheet(painter, sheetWidthTwips > 0 ? double(width()) / sheetWidthTwips : 1.0);
}

void PageSurface::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}
