#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>

class QTextDocument;

// The headers and footers of a letter: where an office keeps its letterhead, and the page
// numbers. QTextDocument has no place for them, so they live beside the letter's text in a small
// object attached to its document (a child found by name): one document per kind that the RTF
// file had, the "first page different" and "facing pages" flags, and the distances of the header
// from the top of the sheet and of the footer from its bottom. They never enter the letter's
// text. Whatever copies a letter through its RTF carries them; what copies a document otherwise
// (the range formatter's clone) takes them along with copyTo().
class HeadersFooters : public QObject
{
    Q_OBJECT

public:
    // The kinds RTF has, in the order the writer puts them out. Header and Footer stand for every
    // page that has no kind of its own; First for page 1 when titlePage() is set; Left and Right
    // for even and odd pages when facingPages() is set.
    enum class Kind { Header, HeaderLeft, HeaderRight, HeaderFirst, Footer, FooterLeft, FooterRight, FooterFirst };
    static constexpr int kKindCount = 8;
    static constexpr std::array<Kind, kKindCount> kKinds = {Kind::Header,      Kind::HeaderLeft, Kind::HeaderRight,
                                                            Kind::HeaderFirst, Kind::Footer,     Kind::FooterLeft,
                                                            Kind::FooterRight, Kind::FooterFirst};
    // Half an inch, what word processors take when the file says nothing.
    static constexpr int kDefaultDistance = 720;

    // Those of the document; nullptr when it has none.
    static HeadersFooters *of(const QTextDocument *document);
    // Those of the document, attached (empty) when it had none.
    static HeadersFooters *attach(QTextDocument *document);
    static void detach(QTextDocument *document);
    // True when some page of the letter shows a header (or a footer) with something in it.
    static bool hasHeader(const QTextDocument *document);
    static bool hasFooter(const QTextDocument *document);

    static bool isHeader(Kind kind) { return int(kind) < int(Kind::Footer); }
    // The RTF destination of the kind: "header", "headerl", ..., "footerf".
    static const char *controlWord(Kind kind);

    // The document of that kind, nullptr when the letter has none.
    QTextDocument *part(Kind kind) const { return parts[size_t(kind)]; }
    // The document of that kind, added empty (with the letter's default font) when missing.
    QTextDocument *addPart(Kind kind);
    // A copy of content (its formats and pictures) as the document of that kind.
    void setPart(Kind kind, const QTextDocument &content);
    void removePart(Kind kind);
    bool isEmpty() const;

    bool titlePage() const { return firstPageDifferent; }
    void setTitlePage(bool on) { firstPageDifferent = on; }
    bool facingPages() const { return leftAndRight; }
    void setFacingPages(bool on) { leftAndRight = on; }
    // Twips from the top edge of the sheet to the top of the header, from the bottom edge to the
    // bottom of the footer.
    int headerDistance() const { return headerTwips; }
    void setHeaderDistance(int twips) { headerTwips = twips; }
    int footerDistance() const { return footerTwips; }
    void setFooterDistance(int twips) { footerTwips = twips; }

    // The kind page number page (from 1) shows; false when it shows no header (or footer): a first
    // page made different without a header of its own stays bare, as in word processors.
    bool kindOn(bool header, int page, Kind *kind) const;
    // The document page number page shows, nullptr when none.
    QTextDocument *headerOn(int page) const;
    QTextDocument *footerOn(int page) const;

    // Copies of everything onto other, replacing what it had.
    void copyTo(QTextDocument *other) const;

private:
    explicit HeadersFooters(QTextDocument *letter);

    QTextDocument *letter;
    std::array<QTextDocument *, kKindCount> parts{};
    bool firstPageDifferent = false;
    bool leftAndRight = false;
    int headerTwips = kDefaultDistance;
    int footerTwips = kDefaultDistance;
};

namespace RichText {

// True when a header or footer document holds something to print: text or a picture.
bool showsSomething(const QTextDocument *part);

// Fields whose text depends on the page or the day they are printed on: PAGE, NUMPAGES,
// SECTIONPAGES, DATE and TIME (with a "\@" picture or without). The reader keeps them as
// their instruction on the result's characters; the range formatter puts each page's own text.
bool isPageField(const QString &instruction);
// The text of such a field on page page of pages, printed at moment; empty for another field.
QString pageFieldText(const QString &instruction, int page, int pages, const QDateTime &moment);
// Replaces the result of every page field of the document by its text on that page.
void fillPageFields(QTextDocument *document, int page, int pages, const QDateTime &moment);
// True when the document holds a page field.
bool hasPageFields(const QTextDocument *document);

} // namespace RichText
