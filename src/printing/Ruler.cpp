#include "printing/Ruler.h"

#include "richtext/Twips.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

using namespace Qt::StringLiterals;

QList<RulerMark> rulerMarks(int length, int thickness, Qt::Orientation orientation)
{
    const bool horizontal = orientation == Qt::Horizontal;
    // A line at pos, from the far edge inward over that much of the thickness.
    auto tick = [&](int pos, double depth) {
        return horizontal ? QLineF(pos, thickness, pos, thickness - depth)
                          : QLineF(thickness, pos, thickness - depth, pos);
    };
    QList<RulerMark> marks;
    int pos = 57;
    while (pos <= length) {
        for (int k = 1; k <= 10; ++k) {
            RulerMark mark;
            if (k == 10) {
                mark.line = tick(pos, thickness);
                const int centimetre = pos / 570;
                mark.label = horizontal ? u" %1"_s.arg(centimetre) : QString::number(centimetre);
                mark.labelAt = horizontal ? QPointF(pos, 0) : QPointF(0, pos);
            } else {
                mark.line = tick(pos, thickness * (k == 5 ? 0.5 : 0.21));
            }
            marks.append(mark);
            pos += 57;
        }
    }
    return marks;
}

Ruler::Ruler(Qt::Orientation orientation, QWidget *parent) : QWidget(parent), direction(orientation)
{
    const bool horizontal = orientation == Qt::Horizontal;
    setObjectName(horizontal ? u"Regle_0"_s : u"Regle_1"_s);
    setAccessibleName(horizontal ? u"Règle horizontale"_s : u"Règle verticale"_s);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window); // not the background's darker role it would inherit
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(241, 241, 241));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleDescription(
        horizontal ? u"Flèches haut et bas : déplacer la règle ; Origine : remettre les règles en place."_s
                   : u"Flèches gauche et droite : déplacer la règle ; Origine : remettre les règles en place."_s);
}

int Ruler::lengthTwips() const
{
    return Twips::fromPixels(direction == Qt::Horizontal ? width() : height());
}

int Ruler::thicknessTwips() const
{
    return Twips::fromPixels(direction == Qt::Horizontal ? height() : width());
}

void Ruler::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const double scale = Twips::pixelsPerTwip();
    painter.scale(scale, scale);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
    QFont font = this->font();
    font.setPixelSize(150); // twips: about 7.5 points
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    for (const RulerMark &mark : rulerMarks(lengthTwips(), thicknessTwips(), direction)) {
        painter.drawLine(mark.line);
        if (!mark.label.isEmpty())
            painter.drawText(mark.labelAt + QPointF(0, metrics.ascent()), mark.label);
    }
}

void Ruler::mousePressEvent(QMouseEvent *event)
{
    emit pressed(Twips::fromPixels(event->position()), event->buttons());
}

void Ruler::mouseMoveEvent(QMouseEvent *event)
{
    emit moved(Twips::fromPixels(event->position()), event->buttons());
}

void Ruler::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        emit nudged(0, -1);
        break;
    case Qt::Key_Down:
        emit nudged(0, 1);
        break;
    case Qt::Key_Left:
        emit nudged(-1, 0);
        break;
    case Qt::Key_Right:
        emit nudged(1, 0);
        break;
    case Qt::Key_Home:
        emit resetAsked();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}
