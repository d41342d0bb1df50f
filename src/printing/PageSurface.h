#pragma once

#include <QList>
#include <QWidget>

#include <functional>

class QImage;

// One page of the preview: a white A4 sheet that keeps what was drawn on it as a list of
// drawing operations, in twips from the sheet's corner, and replays them scaled whenever it is
// painted. The letter's text stays laid out once (see RangeFormatter), so a page costs nothing
// until it is shown.
class PageSurface : public QWidget
{
    Q_OBJECT

public:
    using Operation = std::function<void(QPainter &painter)>;

    PageSurface(int number, QWidget *parent);

    int number() const { return pageNumber; }

    // The sheet's size in twips (11907 × 16840 for the preview's A4).
    void setSheetSize(int widthTwips, int heightTwips);
    int sheetWidth() const { return sheetWidthTwips; }
    int sheetHeight() const { return sheetHeightTwips; }

    // Adds an operation drawing in twips; the page repaints.
    void addOperation(Operation operation);
    // Empties the page.
    void clear();
    int operationCount() const { return int(operations.size()); }

    // Where the letter's text starts on this page (a position in the letter), -1 when the page
    // holds none of it.
    void setLetterStart(int position) { letterPosition = position; }
    int letterStart() const { return letterPosition; }

    // The whole sheet as an image at that many pixels per twip, white background included.
    QImage toImage(double pixelsPerTwip) const;
    // What the sheet holds, drawn with any painter (an image, a PDF) at that many device units per twip.
    void paintSheet(QPainter &painter, double pixelsPerTwip) const;

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    int pageNumber;
    int sheetWidthTwips = 11907;
    int sheetHeightTwips = 16840;
    QList<Operation> operations;
    int letterPosition = -1;
};
