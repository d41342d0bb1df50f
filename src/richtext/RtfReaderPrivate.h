#pragma once

// What the parts of the RTF reader share: the control words it knows, the destinations, the
// character, paragraph, table and picture properties it tracks, and its private class. Only the
// reader's own sources include this header:
//   RtfReader.cpp              the reading loop, groups and destinations
//   RtfReaderKeywords.cpp      the table of control words
//   RtfReaderControlWords.cpp  what each control word and symbol does
//   RtfReaderText.cpp          decoding, runs of text, paragraphs and lists
//   RtfReaderTables.cpp        tables: rows, cells, merges, column widths
//   RtfReaderPictures.cpp      pictures and their placeholders

#include "richtext/CodePage.h"
#include "richtext/PageLayout.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfTokenizer.h"

#include <QColor>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTextCursor>
#include <QTextFormat>
#include <QTextList>
#include <QTextOption>

#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

class HeadersFooters;
class QTextTable;

namespace RtfReading {

enum class Kw : quint16 {
    Unknown,
    // destinations: the words from FontTable to Skip open one (onWord hands them to
    // startDestination), so a new destination goes before Skip
    FontTable,
    ColorTable,
    Info,
    Title,
    Pict,
    ShpPict,
    NonShpPict,
    Field,
    FldInst,
    FldRslt,
    ListTable,
    List,
    ListLevel,
    LevelText,
    ListOverrideTable,
    ListOverride,
    ListText,
    PnText,
    Pn,
    PnTxtA,
    PnTxtB,
    Upr,
    Ud,
    Object,
    Result,
    Shp,
    ShpRslt,
    NestTableProps,
    Container,
    Header,
    HeaderL,
    HeaderR,
    HeaderF,
    Footer,
    FooterL,
    FooterR,
    FooterF,
    Skip,
    // document
    Rtf,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    Deff,
    PaperW,
    PaperH,
    MargL,
    MargR,
    MargT,
    MargB,
    PgWsxn,
    PgHsxn,
    MargLsxn,
    MargRsxn,
    MargTsxn,
    MargBsxn,
    TitlePg,
    FacingP,
    HeaderY,
    FooterY,
    // fonts and colours
    F,
    FCharset,
    Cpg,
    Red,
    Green,
    Blue,
    // characters
    Plain,
    B,
    I,
    Ul,
    UlNone,
    UlDotted,
    UlDash,
    UlWave,
    Strike,
    Caps,
    Scaps,
    V,
    Fs,
    Cf,
    Highlight,
    Cb,
    ChCbPat,
    Super,
    Sub,
    NoSuperSub,
    Up,
    Dn,
    Uc,
    U,
    // paragraphs
    Pard,
    Par,
    Line,
    Tab,
    Page,
    Sect,
    Ql,
    Qc,
    Qr,
    Qj,
    Li,
    Ri,
    Fi,
    Sb,
    Sa,
    Sl,
    SlMult,
    Tx,
    Tb,
    Tqr,
    Tqc,
    Tqdec,
    Keep,
    PageBb,
    Intbl,
    Itap,
    Ls,
    Ilvl,
    // tables
    Trowd,
    Cellx,
    Clmgf,
    Clmrg,
    Clvmgf,
    Clvmrg,
    ClCbPat,
    Trleft,
    Trgaph,
    Cell,
    NestCell,
    Row,
    NestRow,
    BorderSide,
    BorderStyle,
    // pictures
    PngBlip,
    JpegBlip,
    EmfBlip,
    Wmetafile,
    Dibitmap,
    Wbitmap,
    Macpict,
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
    // list tables and old-style numbering
    ListId,
    LevelNfc,
    LevelStartAt,
    PnLvlBlt,
    PnLvlBody,
    PnLvlCont,
    PnLvl,
    PnDec,
    PnUcRm,
    PnLcRm,
    PnUcLtr,
    PnLcLtr,
    PnStart,
    // special characters
    EmDash,
    EnDash,
    Bullet,
    LQuote,
    RQuote,
    LdblQuote,
    RdblQuote,
    EmSpace,
    EnSpace,
    QmSpace,
    NoBreakHyphen,
};

// The control words the reader acts on (RtfReaderKeywords.cpp; what each does is in
// RtfReaderControlWords.cpp); any other word is passed over.
const std::unordered_map<std::string_view, Kw> &keywords();

enum class Dest : quint8 {
    Body,      // text goes into the document
    Container, // no text of its own; its groups may hold body text or pictures
    FontTable,
    ColorTable,
    Title,
    Info, // only the title is kept
    FldInst,
    ListTable,
    List,
    ListLevel,
    LevelText,
    ListOverrideTable,
    ListOverride,
    ListText, // the marker of a list item, for readers without lists
    Pn,
    PnTextBefore,
    PnTextAfter,
    Pict,
    Upr, // {\upr {ANSI version}{\*\ud {Unicode version}}}
    UprChild,
    NestTableProps,
};

struct CharProps
{
    qint32 font = -1;
    qint32 fontSize = 24; // half-points
    qint32 color = 0;
    qint32 highlight = 0;
    qint32 background = 0;
    qint32 link = 0;      // 1-based index into the hyperlink targets, 0 = none
    qint32 field = 0;     // 1-based index into the page fields' instructions, 0 = none
    quint8 underline = 0; // QTextCharFormat::UnderlineStyle
    qint8 vertical = 0;   // 1 superscript, 2 subscript
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool caps = false;
    bool smallCaps = false;
    bool hidden = false;
    bool operator==(const CharProps &) const = default;
};

struct PnProps
{
    qint8 kind = 0;  // 0 none, 1 bullet, 2 numbered, 3 continuation
    qint8 style = 0; // QTextListFormat::Style for numbered items
    qint32 level = 0;
};

struct ParaProps
{
    QList<QTextOption::Tab> tabs;
    qint32 leftIndent = 0;
    qint32 rightIndent = 0;
    qint32 firstIndent = 0;
    qint32 spaceBefore = 0;
    qint32 spaceAfter = 0;
    qint32 lineSpacing = 0;
    qint32 itap = 0;
    qint32 ls = 0;
    qint32 ilvl = 0;
    PnProps pn;
    quint8 align = 0;       // 0 left, 1 centre, 2 right, 3 justified
    quint8 nextTabType = 0; // QTextOption::TabType of the next \tx
    bool lineMultiple = false;
    bool keep = false;
    bool pageBreakBefore = false;
    bool inTable = false;
    int tableDepth() const { return inTable ? qMax(1, itap) : qMax(0, itap); }
};

struct State
{
    CharProps chr;
    ParaProps para;
    Dest dest = Dest::Body;
    Dest uprOuter = Dest::Body; // where an \ud inside \upr sends its text
    qint32 uc = 1;
    bool ignorable = false; // \* seen: an unknown destination word skips the group
    bool fresh = true;      // no control word read yet in this group
    bool fieldHere = false; // this group opened a field
};

struct FontEntry
{
    QString name;
    int codePage = 0; // 0: the document's
};

struct ListLevelDef
{
    int nfc = 0;
    int startAt = 1;
    QString text;
    int leftIndent = 0;
    int firstIndent = 0;
};

struct ListDef
{
    std::vector<ListLevelDef> levels;
};

struct CellDef
{
    int right = 0;
    int background = 0;
    quint8 hMerge = 0; // 1 first, 2 continued
    quint8 vMerge = 0;
};

struct RowDef
{
    std::vector<CellDef> cells;
    int left = 0;
    int gap = 0;
    bool borders = false;
};

struct TableContext
{
    QTextTable *table = nullptr;
    int row = 0;
    int column = 0;
    bool rowEnded = false;
    bool cellEnded = false;
    std::vector<std::vector<CellDef>> rowCells; // per row, as the row definitions said
    std::vector<int> widths;
    bool borders = false;
    int gap = 0;
};

struct Picture
{
    QByteArray data;
    QByteArray kind;
    int kindParameter = 0;
    int picW = 0;
    int picH = 0;
    int goalW = 0;
    int goalH = 0;
    int scaleX = 100;
    int scaleY = 100;
    int pendingNibble = -1;
    bool tooBig = false;
};

struct FieldContext
{
    QString instruction;
    int link = 0;      // 1-based hyperlink index once the result starts
    int pageField = 0; // 1-based page field index once the result starts
    qsizetype resultStart = 0;
};

} // namespace RtfReading

class RtfReader::Private
{
public:
    explicit Private(QTextDocument *document) : document(document) {}

    RtfReader::Result run(QByteArrayView input);
    // The reading loop over the tokens of input, and what closes the document at its end.
    void parse(QByteArrayView input);
    void finish();

    // tokens
    void onGroupStart();
    void onGroupEnd();
    void onWord(const RtfTokenizer::Token &token);
    void onSymbol(char symbol);
    void onText(const char *data, qsizetype size);
    void onBinary(const RtfTokenizer::Token &token);

    void popState();
    void closePageField(const RtfReading::FieldContext &field);
    void skipCurrentGroup();
    void startDestination(RtfReading::Kw kw);
    // A header or footer group: read by a reader of its own into its own document.
    void readDecoration(RtfReading::Kw kw);
    RtfReader::Result readDecorationPart(QByteArrayView content, const Private &outer);

    // text
    CodePage *codePage(int number);
    CodePage *currentCodePage();
    void flushPendingBytes();
    void emitText(QStringView text);
    void emitUnicode(qint32 value);
    void emitCharacter(char16_t c) { emitText(QStringView(&c, 1)); }
    void bodyText(QStringView text);

    // document building
    void ensureParagraph();
    void flushRun();
    void endParagraph();
    void applyBlockFormat();
    QTextCharFormat charFormat(const RtfReading::CharProps &props) const;
    QColor colorAt(int index) const;
    void insertPendingListText();
    bool isNativeList(const RtfReading::ParaProps &para, QTextListFormat *format) const;

    // tables
    void syncTables(int depth);
    void openTable();
    void closeTable();
    void enterCell();
    void endCell(int depth);
    void endRow(int depth);

    // pictures
    void pictureData(const char *data, qsizetype size, bool binary);
    RtfReading::CellDef &pendingCellDef() { return nextCell; }
    int bodyAncestor() const;
    void finishPicture();

    void fail(const QString &message);

    QTextDocument *document;
    RtfReader::Limits limits;
    RtfReader::Result result;
    QByteArrayView input;
    QElapsedTimer clock;
    RtfTokenizer *tokenizer = nullptr;
    QTextCursor cursor;
    bool stop = false;

    std::vector<RtfReading::State> stack;
    int overflowDepth = 0;
    RtfReading::State state;

    // decoding
    int documentCodePage = 1252;
    int defaultFont = -1;
    std::unordered_map<int, std::unique_ptr<CodePage>> codePages;
    QByteArray pendingBytes;
    CodePage *pendingCodePage = nullptr;
    int skipCount = 0;
    char16_t pendingHighSurrogate = 0;

    // tables of the header
    QHash<int, RtfReading::FontEntry> fonts;
    int currentFont = -1;
    QList<QColor> colors; // invalid colour = automatic
    int red = -1, green = -1, blue = -1;
    QHash<int, RtfReading::ListDef> listDefs;
    RtfReading::ListDef currentList;
    int currentListId = 0;
    RtfReading::ListLevelDef currentLevel;
    QHash<int, int> listOverrides; // \ls -> \listid
    int overrideListId = 0;
    int overrideLs = 0;
    QString title;

    // the body
    QString runText;
    RtfReading::CharProps runProps;
    bool pendingBreak = false;
    bool blockHasContent = false;
    bool pageBreakForBlock = false;
    qsizetype outputCharacters = 0;
    QString listText;
    RtfReading::CharProps listTextProps;
    // Qt deletes a list as soon as its last paragraph leaves it (a paragraph formatted again, as
    // closing a table does): guarded pointers, so that a deleted list is made afresh, never used.
    QHash<qint64, QPointer<QTextList>> lists;
    QPointer<QTextList> pnList;
    RtfReading::PnProps pnListProps;
    QString pnBefore;
    QString pnAfter;
    QStringList links;
    std::vector<RtfReading::FieldContext> fields;
    PageLayout page;
    bool pageSeen = false;
    bool sectionPageSeen = false;

    // headers and footers
    bool insideDecoration = false; // this reader reads one: no other in it, page fields kept
    HeadersFooters *decorations = nullptr;
    QStringList pageFields; // the instructions of the page fields read, for CharProps::field
    bool titlePage = false;
    bool facingPages = false;
    int headerDistance = -1; // -1: not given
    int footerDistance = -1;

    // tables
    RtfReading::RowDef rowDef;
    RtfReading::CellDef nextCell;
    bool borderSidePending = false;
    std::vector<RtfReading::TableContext> tables;

    // pictures
    RtfReading::Picture picture;
    bool sawShpPict = false;
    qsizetype totalPictureBytes = 0;
    int pictureCount = 0;
};
