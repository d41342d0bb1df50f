#pragma once

#include "printing/PageGeometry.h"

#include <QDialog>
#include <QPointF>
#include <QPointer>

#include <array>

class PageSurface;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;
class QTabBar;
#include <QTextDocument>
class Ruler;

// The print preview, "Aperçu avant impression": the pages of one letter as A4 sheets on a
// background, one in front at a time, with its shadow, two rulers, a tab per page, a scroll bar
// and the button bar. The print manager (Imprimer) lays it out, adds the pages and shows it; the
// letter is drawn on the pages by Paginate_RTF.
//
// Every part is placed in twips, as the window was designed; place() keeps the twips so the
// layout rules can be read back exactly, and converts them to screen pixels.
class FrmPage : public QDialog
{
    Q_OBJECT

public:
    // The one preview window of the process, created on first use.
    static FrmPage *instance();
    // The preview window when it is loaded, else nullptr; never creates it.
    static FrmPage *existing();

    ~FrmPage() override;

    // True when the preview was opened from the letter editor, false from the wizard.
    bool DepuisEditeur = false;
    // The page shown; 0 until a page has been chosen (page 1 is in front then).
    qint16 PageCourante = 0;

    // The letter previewed and its margins: what "Imprimer" prints.
    void setPreviewedLetter(const QTextDocument *letter, const Margins &margins);
    const QTextDocument *previewedLetter() const { return letter.data(); }
    Margins previewedMargins() const { return letterMargins; }

    // The buttons of the bar (Bouton 0 to 6), by their indexes.
    enum class Button { Configure = 0, Print = 1, First = 2, Previous = 3, Next = 4, Last = 5, Close = 6 };

    // Parts of the window; the object names are the design's ("Bouton_1", "Check1", "Fond").
    QWidget *Toolbar1 = nullptr;
    // "Configurer", "Imprimer", "<<", "<", ">", ">>", "Fermer" (Bouton); index: Button.
    std::array<QPushButton *, 7> buttons{};
    QCheckBox *moveRulers = nullptr; // " Déplacer les règles" (Check1)
    QLabel *pageCounter = nullptr;   // "Page 01/03" (LabelA)
    QWidget *background = nullptr;   // where the pages lie (Fond)
    QFrame *Ombre = nullptr;
    std::array<Ruler *, 2> rulers{}; // horizontal, vertical (Regle)
    QScrollBar *VScroll1 = nullptr;
    QTabBar *Tab1 = nullptr;
    std::array<QLabel *, 2> Label1{};

    // The page surfaces, numbered from 1; page 1 always exists.
    int pageCount() const { return int(pages.size()); }
    PageSurface *page(int number) const;
    PageSurface *lastPage() const { return pages.last(); }
    // The page in front.
    int frontPage() const { return front; }
    // Adds the next page surface, like page 1 and behind the others, and its tab "Page n°n".
    PageSurface *addPage();

    // Places a part, in twips relative to its parent, and returns where it is in twips.
    void place(QWidget *part, int left, int top, int width, int height);
    QRect twips(const QWidget *part) const;
    int innerWidthTwips() const;
    int innerHeightTwips() const;
    // Fits the background, the scroll bar and the page tabs to the window's size: the background
    // from 100 to 500 before the right edge and 800 above the bottom, the scroll bar 380 from the
    // right edge, the tabs 350 above the bottom.
    void layoutForWindowSize();

    // The window's handlers, which the buttons, the tabs, the scroll bar, the rulers and the
    // pages call; they are public so the print manager and the tests can run them as a click does.
    void Bouton_Click(Button button);
    void Tab1_Click();
    void VScroll1_Change();
    void Regle_MouseDown(int index, QPointF twips, Qt::MouseButtons buttons);
    void Regle_MouseMove(int index, QPointF twips, Qt::MouseButtons buttons);
    void Page_DblClick();
    // The keyboard's drag: one tick (57 twips) along the ruler's own direction, with the same
    // condition as the mouse (" Déplacer les règles" ticked).
    void Regle_Nudge(int index, int stepX, int stepY);

    // Where the rulers stand after a double click on a page.
    static constexpr int RulerResetTop = 380;
    static constexpr int RulerResetLeftGap = 340;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FrmPage();
    void buildButtonBar();
    void layoutButtonBar();
    void bringToFront(int number);
    void selectPageTab();
    void printPreviewedLetter();

    QList<PageSurface *> pages;
    int front = 1;
    QPointF dragStart;
    QPointer<QTextDocument> letter; // only read: QPointer needs a non-const type
    Margins letterMargins;
};
