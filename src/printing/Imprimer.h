#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QImage;

// The print manager: builds a document of several pages on the preview window (FrmPage) and
// shows it. A preview runs Initialise, then drawing operations and NewPage in document order
// (everything is drawn on the last page added), then Show.
//
// Lengths given in millimetres become twips by × 56.7, rounded to the nearest integer (halves
// to the even one) on 16 bits: past 577 mm that is an overflow error (QuilloError 6), never a
// clipped value. Every error goes to the caller.
class Imprimer
{
public:
    // Number of the page last added by NewPage (Initialise leaves it as it is).
    qint16 NbPages = 0;
    // Caption of the preview window, applied by Show when not empty.
    QString Titre;
    // Texts of the window's two caption labels, applied by Show when not empty.
    QString Legende1;
    QString Legende2;

    // A grid of rows × columns copies of the picture from (x, y), gapX and gapY apart (mm).
    void Add_PictureBoard(const QImage &picture, qint16 x, qint16 y, qint16 gapX, qint16 gapY, qint16 columns,
                          qint16 rows, double scale);
    // Lays the preview window out for the screen with page 1, empty, on an A4 sheet.
    void Initialise();
    // One line of text centred on the page, its top at top mm.
    void Add_EnTete(qint16 top, const QString &text, const QString &fontName, qint16 fontSize, const QColor &colour,
                    bool bold, bool italic, bool underline);
    // Adds the next page and its tab.
    void NewPage();
    // Shows the preview window modally; returns once the user has closed it, the window unloaded.
    void Show();
    // The picture at one of ten places of the sheet: 0 bottom right, 1 bottom left, 2 bottom
    // centre, 3 top right, 4 top left, 5 top centre, 6 centre, 7 middle right, 8 middle left,
    // 9 at (x, y) mm; any other position top left. Its size is its own (hundredths of a
    // millimetre / 1.771) divided by scale.
    void Add_Picture(const QImage &picture, qint32 position, double scale, qint16 x, qint16 y);
    // Kind 1 a line from (x1, y1) to (x2, y2), 2 a rectangle's outline, 3 a filled rectangle, in
    // the colour, line width (pixels) and style given; other kinds draw nothing.
    void Add_Graphique(qint32 kind, qint16 x1, qint16 y1, qint16 x2, qint16 y2, const QColor &colour, qint32 lineWidth,
                       qint32 lineStyle);
    // A block of text word-wrapped from (left, top) mm to the right edge of the page.
    void Add_BlocTexte(qint16 left, qint16 top, const QString &text, const QString &fontName, qint16 fontSize,
                       const QColor &colour, bool bold, bool italic, bool underline);

    // Millimetres to twips on 16 bits.
    static qint16 toTwips(double millimetres);
    // The rectangle of the last Add_BlocTexte, in pixels of the page (left, top, right, bottom).
    QRect textRectangle() const { return textRect; }
    int pageWidth() const { return widthTwips; }
    int pageHeight() const { return heightTwips; }

private:
    qint16 widthTwips = 0;
    qint16 heightTwips = 0;
    QRect textRect;
};

// The print manager of the wizard window, through which every preview of the program goes.
Imprimer &PPreview();
