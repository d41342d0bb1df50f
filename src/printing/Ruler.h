#pragma once

#include <QLineF>
#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>

// One graduation of a preview ruler, in twips of the ruler's own surface.
struct RulerMark
{
    QLineF line;
    QString label;   // the centimetre's number on every tenth tick, else empty
    QPointF labelAt; // top-left corner of the label
};

// The graduations of a ruler of that length and thickness (twips): a tick every 57 twips, every
// tenth across the whole ruler with the centimetre's number (570 twips stand for a centimetre
// here), every fifth over half the thickness, the others over 21 %, all from the far edge (the
// bottom of the horizontal ruler, the right side of the vertical one). The length is tested
// before each group of ten ticks only, so the last group is always whole. Horizontal labels
// read " 1", " 2"…; vertical ones "1", "2"….
QList<RulerMark> rulerMarks(int length, int thickness, Qt::Orientation orientation);

// A ruler of the preview ("Regle" 0 horizontal, 1 vertical), drawn in twips. It reports the
// mouse in its own twips; the preview window decides what moves.
class Ruler : public QWidget
{
    Q_OBJECT

public:
    Ruler(Qt::Orientation orientation, QWidget *parent);
    Qt::Orientation orientation() const { return direction; }

    // Thickness and length in twips of the ruler's current size.
    int lengthTwips() const;
    int thicknessTwips() const;

signals:
    void pressed(QPointF twips, Qt::MouseButtons buttons);
    void moved(QPointF twips, Qt::MouseButtons buttons);
    // The keyboard's way: an arrow key asks to move by one tick (steps of -1 or 1 across and
    // down), the Home key to put the rulers back.
    void nudged(int stepX, int stepY);
    void resetAsked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Qt::Orientation direction;
};
