#include "richtext/RtfReader.h"

#include "richtext/CodePage.h"
#include "richtext/PageLayout.h"
#include "richtext/RichTextProperties.h"
#include "richtext/RtfTokenizer.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <atomic>
#include <string_view>
#include <unordered_map>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

enum class Kw : quint16 {
    Unknown,
    // destinations
    FontTable, ColorTable, Info, Title, Pict, ShpPict, NonShpPict, Field, FldInst, FldRslt,
    ListTable, List, ListLevel, LevelText, ListOverrideTable, ListOverride, ListText, PnText, Pn,
    PnTxtA, PnTxtB, Upr, Ud, Object, Result, Shp, ShpRslt, NestTableProps, Container, Skip,
    // document
    Rtf, Ansi, Mac, Pc, Pca, AnsiCpg, Deff, PaperW, PaperH, MargL, MargR, MargT, MargB,
    PgWsxn, PgHsxn, MargLsxn, MargRsxn, MargTsxn, MargBsxn,
    // fonts and colours
    F, FCharset, Cpg, Red, Green, Blue,
    // characters
    Plain, B, I, Ul, UlNone, UlDotted, UlDash, UlWave, Strike, Caps, Scaps, V, Fs, Cf,
    Highlight, Cb, ChCbPat, Super, Sub, NoSuperSub, Up, Dn, Uc, U,
    // paragraphs
    Pard, Par, Line, Tab, Page, Sect, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Sl, SlMult, Tx, Tb,
    Tqr, Tqc, Tqdec, Keep, PageBb, Intbl, Itap, Ls, Ilvl,
    // tables
    Trowd, Cellx, Clmgf, Clmrg, Clvmgf, Clvmrg, ClCbPat, Trleft, Trgaph, Cell, NestCell, Row,
    NestRow, BorderSide, BorderStyle,
    // pictures
    PngBlip, JpegBlip, EmfBlip, Wmetafile, Dibitmap, Wbitmap, Macpict, PicW, PicH, PicWGoal,
    PicHGoal, PicScaleX, PicScaleY,
    // list tables and old-style numbering
    ListId, LevelNfc, LevelStartAt, PnLvlBlt, PnLvlBody, PnLvlCont, PnLvl, PnDec, PnUcRm, PnLcRm,
    PnUcLtr, PnLcLtr, PnStart,
    // special characters
    EmDash, EnDash, Bullet, LQuote, RQuote, LdblQuote, RdblQuote, EmSpace, EnSpace, QmSpace,
    NoBreakHyphen,
};

const std::unordered_map<std::string_view, Kw> &keywords()
{
    static const std::unordered_map<std::string_view, Kw> map = {
        {"fonttbl", Kw::FontTable}, {"colortbl", Kw::ColorTable}, {"info", Kw::Info}, {"title", Kw::Title},
        {"pict", Kw::Pict}, {"shppict", Kw::ShpPict}, {"nonshppict", Kw::NonShpPict}, {"field", Kw::Field},
        {"fldinst", Kw::FldInst}, {"fldrslt", Kw::FldRslt}, {"listtable", Kw::ListTable}, {"list", Kw::List},
        {"listlevel", Kw::ListLevel}, {"leveltext", Kw::LevelText}, {"listoverridetable", Kw::ListOverrideTable},
        {"listoverride", Kw::ListOverride}, {"listtext", Kw::ListText}, {"pntext", Kw::PnText}, {"pn", Kw::Pn},
        {"pntxta", Kw::PnTxtA}, {"pntxtb", Kw::PnTxtB}, {"upr", Kw::Upr}, {"ud", Kw::Ud}, {"object", Kw::Object},
        {"result", Kw::Result}, {"shp", Kw::Shp}, {"shpgrp", Kw::Shp}, {"shprslt", Kw::ShpRslt},
        {"nesttableprops", Kw::NestTableProps},
        // Destinations whose text never belongs to the body.
        {"stylesheet", Kw::Skip}, {"header", Kw::Skip}, {"headerl", Kw::Skip}, {"headerr", Kw::Skip},
        {"headerf", Kw::Skip}, {"footer", Kw::Skip}, {"footerl", Kw::Skip}, {"footerr", Kw::Skip},
        {"footerf", Kw::Skip}, {"footnote", Kw::Skip}, {"annotation", Kw::Skip}, {"ftnsep", Kw::Skip},
        {"ftnsepc", Kw::Skip}, {"ftncn", Kw::Skip}, {"aftnsep", Kw::Skip}, {"aftnsepc", Kw::Skip},
        {"aftncn", Kw::Skip}, {"generator", Kw::Skip}, {"xmlnstbl", Kw::Skip}, {"themedata", Kw::Skip},
        {"colorschememapping", Kw::Skip}, {"latentstyles", Kw::Skip}, {"datastore", Kw::Skip},
        {"rsidtbl", Kw::Skip}, {"mmathPr", Kw::Skip}, {"pgdsctbl", Kw::Skip}, {"expandedcolortbl", Kw::Skip},
        {"filetbl", Kw::Skip}, {"revtbl", Kw::Skip}, {"bkmkstart", Kw::Skip}, {"bkmkend", Kw::Skip},
        {"objdata", Kw::Skip}, {"panose", Kw::Skip}, {"falt", Kw::Skip}, {"htmltag", Kw::Skip},
        {"mhtmltag", Kw::Skip}, {"nonesttables", Kw::Skip}, {"listname", Kw::Skip},
        {"levelnumbers", Kw::Skip}, {"lfolevel", Kw::Skip}, {"listpicture", Kw::Skip},
        {"pnseclvl", Kw::Skip}, {"xe", Kw::Skip}, {"tc", Kw::Skip}, {"txe", Kw::Skip}, {"do", Kw::Skip},
        {"template", Kw::Skip}, {"fldtype", Kw::Skip}, {"objclass", Kw::Skip}, {"objname", Kw::Skip},
        {"comment", Kw::Skip}, {"userprops", Kw::Skip}, {"docvar", Kw::Skip}, {"private", Kw::Skip},
        {"shpinst", Kw::Skip}, {"atnid", Kw::Skip}, {"atnauthor", Kw::Skip}, {"atndate", Kw::Skip},
        {"atnref", Kw::Skip}, {"atrfstart", Kw::Skip}, {"atrfend", Kw::Skip}, {"formfield", Kw::Skip},
        {"datafield", Kw::Skip}, {"author", Kw::Skip}, {"operator", Kw::Skip}, {"subject", Kw::Skip},
        {"keywords", Kw::Skip}, {"doccomm", Kw::Skip}, {"company", Kw::Skip}, {"manager", Kw::Skip},
        {"category", Kw::Skip}, {"hlinkbase", Kw::Skip}, {"buptim", Kw::Skip}, {"printim", Kw::Skip},
        {"revtim", Kw::Skip}, {"creatim", Kw::Skip}, {"defchp", Kw::Skip}, {"defpap", Kw::Skip},
        {"background", Kw::Skip}, {"pgptbl", Kw::Skip}, {"wgrffmtfilter", Kw::Skip}, {"mmath", Kw::Skip},
        {"moMath", Kw::Skip}, {"fchars", Kw::Skip}, {"lchars", Kw::Skip}, {"protusertbl", Kw::Skip},
        {"bookmark", Kw::Skip}, {"blipuid", Kw::Skip}, {"picprop", Kw::Skip}, {"sp", Kw::Skip},
        {"shptxt", Kw::Skip}, {"ffdeftext", Kw::Skip}, {"ffname", Kw::Skip}, {"ffentrymcr", Kw::Skip},
        {"ffexitmcr", Kw::Skip}, {"ffstattext", Kw::Skip}, {"ffhelptext", Kw::Skip}, {"ffformat", Kw::Skip},
        {"fname", Kw::Skip}, {"levelmarker", Kw::Skip}, {"listtemplateid", Kw::Unknown},
        // document
        {"rtf", Kw::Rtf}, {"ansi", Kw::Ansi}, {"mac", Kw::Mac}, {"pc", Kw::Pc}, {"pca", Kw::Pca},
        {"ansicpg", Kw::AnsiCpg}, {"deff", Kw::Deff}, {"paperw", Kw::PaperW}, {"paperh", Kw::PaperH},
        {"margl", Kw::MargL}, {"margr", Kw::MargR}, {"margt", Kw::MargT}, {"margb", Kw::MargB},
        {"pgwsxn", Kw::PgWsxn}, {"pghsxn", Kw::PgHsxn}, {"marglsxn", Kw::MargLsxn}, {"margrsxn", Kw::MargRsxn},
        {"margtsxn", Kw::MargTsxn}, {"margbsxn", Kw::MargBsxn},
        {"f", Kw::F}, {"fcharset", Kw::FCharset}, {"cpg", Kw::Cpg}, {"red", Kw::Red}, {"green", Kw::Green},
        {"blue", Kw::Blue},
        {"plain", Kw::Plain}, {"b", Kw::B}, {"i", Kw::I}, {"ul", Kw::Ul}, {"ulnone", Kw::UlNone},
        {"uld", Kw::UlDotted}, {"ulth", Kw::Ul}, {"uldb", Kw::Ul}, {"ulw", Kw::Ul}, {"ulthd", Kw::UlDotted},
        {"uldash", Kw::UlDash}, {"uldashd", Kw::UlDash}, {"uldashdd", Kw::UlDash}, {"ulldash", Kw::UlDash},
        {"ulthdash", Kw::UlDash}, {"ulwave", Kw::UlWave}, {"ulhwave", Kw::UlWave}, {"ululdbwave", Kw::UlWave},
        {"strike", Kw::Strike}, {"striked", Kw::Strike}, {"caps", Kw::Caps}, {"scaps", Kw::Scaps}, {"v", Kw::V},
        {"fs", Kw::Fs}, {"cf", Kw::Cf}, {"highlight", Kw::Highlight}, {"cb", Kw::Cb}, {"chcbpat", Kw::ChCbPat},
        {"super", Kw::Super}, {"sub", Kw::Sub}, {"nosupersub", Kw::NoSuperSub}, {"up", Kw::Up}, {"dn", Kw::Dn},
        {"uc", Kw::Uc}, {"u", Kw::U},
        {"pard", Kw::Pard}, {"par", Kw::Par}, {"line", Kw::Line}, {"tab", Kw::Tab}, {"page", Kw::Page},
        {"sect", Kw::Sect}, {"ql", Kw::Ql}, {"qc", Kw::Qc}, {"qr", Kw::Qr}, {"qj", Kw::Qj}, {"li", Kw::Li},
        {"ri", Kw::Ri}, {"fi", Kw::Fi}, {"sb", Kw::Sb}, {"sa", Kw::Sa}, {"sl", Kw::Sl}, {"slmult", Kw::SlMult},
        {"tx", Kw::Tx}, {"tb", Kw::Tb}, {"tqr", Kw::Tqr}, {"tqc", Kw::Tqc}, {"tqdec", Kw::Tqdec},
        {"keep", Kw::Keep}, {"pagebb", Kw::PageBb}, {"intbl", Kw::Intbl}, {"itap", Kw::Itap}, {"ls", Kw::Ls},
        {"ilvl", Kw::Ilvl},
        {"trowd", Kw::Trowd}, {"cellx", Kw::Cellx}, {"clmgf", Kw::Clmgf}, {"clmrg", Kw::Clmrg},
        {"clvmgf", Kw::Clvmgf}, {"clvmrg", Kw::Clvmrg}, {"clcbpat", Kw::ClCbPat}, {"trleft", Kw::Trleft},
        {"trgaph", Kw::Trgaph}, {"cell", Kw::Cell}, {"nestcell", Kw::NestCell}, {"row", Kw::Row},
        {"nestrow", Kw::NestRow},
        {"clbrdrt", Kw::BorderSide}, {"clbrdrb", Kw::BorderSide}, {"clbrdrl", Kw::BorderSide},
        {"clbrdrr", Kw::BorderSide}, {"trbrdrt", Kw::BorderSide}, {"trbrdrb", Kw::BorderSide},
        {"trbrdrl", Kw::BorderSide}, {"trbrdrr", Kw::BorderSide}, {"trbrdrh", Kw::BorderSide},
        {"trbrdrv", Kw::BorderSide},
        {"brdrs", Kw::BorderStyle}, {"brdrth", Kw::BorderStyle}, {"brdrdb", Kw::BorderStyle},
        {"brdrsh", Kw::BorderStyle}, {"brdrdot", Kw::BorderStyle}, {"brdrdash", Kw::BorderStyle},
        {"brdrhair", Kw::BorderStyle}, {"brdrtriple", Kw::BorderStyle}, {"brdrengrave", Kw::BorderStyle},
        {"brdremboss", Kw::BorderStyle}, {"brdrinset", Kw::BorderStyle}, {"brdroutset", Kw::BorderStyle},
        {"pngblip", Kw::PngBlip}, {"jpegblip", Kw::JpegBlip}, {"emfblip", Kw::EmfBlip},
        {"wmetafile", Kw::Wmetafile}, {"dibitmap", Kw::Dibitmap}, {"wbitmap", Kw::Wbitmap},
        {"macpict", Kw::Macpict}, {"picw", Kw::PicW}, {"pich", Kw::PicH}, {"picwgoal", Kw::PicWGoal},
        {"pichgoal", Kw::PicHGoal}, {"picscalex", Kw::PicScaleX}, {"picscaley", Kw::PicScaleY},
        {"listid", Kw::ListId}, {"levelnfc", Kw::LevelNfc}, {"levelnfcn", Kw::LevelNfc},
        {"levelstartat", Kw::LevelStartAt}, {"pnlvlblt", Kw::PnLvlBlt}, {"pnlvlbody", Kw::PnLvlBody},
        {"pnlvlcont", Kw::PnLvlCont}, {"pnlvl", Kw::PnLvl}, {"pndec", Kw::PnDec}, {"pnucrm", Kw::PnUcRm},
        {"pnlcrm", Kw::PnLcRm}, {"pnucltr", Kw::PnUcLtr}, {"pnlcltr", Kw::PnLcLtr}, {"pnstart", Kw::PnStart},
        {"emdash", Kw::EmDash}, {"endash", Kw::EnDash}, {"bullet", Kw::Bullet}, {"lquote", Kw::LQuote},
        {"rquote", Kw::RQuote}, {"ldblquote", Kw::LdblQuote}, {"rdblquote", Kw::RdblQuote},
        {"emspace", Kw::EmSpace}, {"enspace", Kw::EnSpace}, {"qmspace", Kw::QmSpace},
    };
    return map;
}

enum class Dest : quint8 {
    Body,       // text goes into the document
    Container,  // no text of its own; its groups may hold body text or pictures
    FontTable,
    ColorTable,
    Title,
    Info,       // only the title is kept
    FldInst,
    ListTable,
    List,
    ListLevel,
    LevelText,
    ListOverrideTable,
    ListOverride,
    ListText,   // the marker of a list item, for readers without lists
    Pn,
    PnTextBefore,
    PnTextAfter,
    Pict,
    Upr,        // {\upr {ANSI version}{\*\ud {Unicode version}}}
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
    qint32 link = 0; // 1-based index into the hyperlink targets, 0 = none
    quint8 underline = 0; // QTextCharFormat::UnderlineStyle
    qint8 vertical = 0; // 1 superscript, 2 subscript
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
    qint8 kind = 0; // 0 none, 1 bullet, 2 numbered, 3 continuation
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
    quint8 align = 0; // 0 left, 1 centre, 2 right, 3 justified
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
    int link = 0; // 1-based hyperlink index once the result starts
};

QTextListFormat::Style styleForNfc(int nfc)
{
    switch (nfc) {
    case 0: return QTextListFormat::ListDecimal;
    case 1: return QTextListFormat::ListUpperRoman;
    case 2: return QTextListFormat::ListLowerRoman;
    case 3: return QTextListFormat::ListUpperAlpha;
    case 4: return QTextListFormat::ListLowerAlpha;
    default: return QTextListFormat::ListStyleUndefined;
    }
}

QTextListFormat::Style bulletStyle(QChar bullet)
{
    switch (bullet.unicode()) {
    case u'o':
    case 0x25CB:
    case 0x25E6:
        return QTextListFormat::ListCircle;
    case 0xF0A7:
    case 0x25AA:
    case 0x25A0:
    case 0xF06E:
        return QTextListFormat::ListSquare;
    default:
        return QTextListFormat::ListDisc;
    }
}

// The instruction of a HYPERLINK field to an address; empty for any other field.
QString hyperlinkTarget(const QString &instruction)
{
    const QString trimmed = instruction.trimmed();
    if (!trimmed.startsWith(u"HYPERLINK"_s, Qt::CaseInsensitive))
        return {};
    QStringList arguments;
    QString current;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 9; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if (c.isSpace() && !quoted) {
            if (any)
                arguments << current;
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        arguments << current;
    QString address;
    QString bookmark;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument.startsWith(u'\\') && argument.size() == 2) {
            const QChar option = argument.at(1).toLower();
            if (option == u'l' && i + 1 < arguments.size())
                bookmark = arguments.at(++i);
            else if ((option == u'o' || option == u't') && i + 1 < arguments.size())
                ++i;
        } else if (address.isEmpty()) {
            address = argument;
        }
    }
    if (!bookmark.isEmpty())
        address += u'#' + bookmark;
    return address;
}

QImage placeholderImage(int width, int height)
{
    QImage image(qBound(8, width, 1200), qBound(8, height, 1200), QImage::Format_RGB32);
    image.fill(QColor(0xee, 0xee, 0xee));
    QPainter painter(&image);
    painter.setPen(QColor(0x99, 0x99, 0x99));
    painter.drawRect(0, 0, image.width() - 1, image.height() - 1);
    painter.drawLine(0, 0, image.width() - 1, image.height() - 1);
    painter.drawLine(0, image.height() - 1, image.width() - 1, 0);
    return image;
}

} // namespace

class RtfReader::Private
{
public:
    explicit Private(QTextDocument *document)
        : document(document)
    {
    }

    RtfReader::Result run(QByteArrayView input);

    // tokens
    void onGroupStart();
    void onGroupEnd();
    void onWord(const RtfTokenizer::Token &token);
    void onSymbol(char symbol);
    void onText(const char *data, qsizetype size);
    void onBinary(const RtfTokenizer::Token &token);

    void popState();
    void skipCurrentGroup();
    void startDestination(Kw kw);

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
    QTextCharFormat charFormat(const CharProps &props) const;
    QColor colorAt(int index) const;
    void insertPendingListText();
    bool isNativeList(const ParaProps &para, QTextListFormat *format) const;

    // tables
    void syncTables(int depth);
    void openTable();
    void closeTable();
    void enterCell();
    void endCell(int depth);
    void endRow(int depth);

    // pictures
    void pictureData(const char *data, qsizetype size, bool binary);
    CellDef &pendingCellDef() { return nextCell; }
    int bodyAncestor() const;
    void finishPicture();

    void fail(const QString &message);

    QTextDocument *document;
    RtfReader::Limits limits;
    RtfReader::Result result;
    RtfTokenizer *tokenizer = nullptr;
    QTextCursor cursor;
    bool stop = false;

    std::vector<State> stack;
    int overflowDepth = 0;
    State state;

    // decoding
    int documentCodePage = 1252;
    int defaultFont = -1;
    std::unordered_map<int, std::unique_ptr<CodePage>> codePages;
    QByteArray pendingBytes;
    CodePage *pendingCodePage = nullptr;
    int skipCount = 0;
    char16_t pendingHighSurrogate = 0;

    // tables of the header
    QHash<int, FontEntry> fonts;
    int currentFont = -1;
    QList<QColor> colors; // invalid colour = automatic
    int red = -1, green = -1, blue = -1;
    QHash<int, ListDef> listDefs;
    ListDef currentList;
    int currentListId = 0;
    ListLevelDef currentLevel;
    QHash<int, int> listOverrides; // \ls -> \listid
    int overrideListId = 0;
    int overrideLs = 0;
    QString title;

    // the body
    QString runText;
    CharProps runProps;
    bool pendingBreak = false;
    bool blockHasContent = false;
    bool pageBreakForBlock = false;
    qsizetype outputCharacters = 0;
    QString listText;
    CharProps listTextProps;
    QHash<qint64, QTextList *> lists;
    QTextList *pnList = nullptr;
    PnProps pnListProps;
    QString pnBefore;
    QString pnAfter;
    QStringList links;
    std::vector<FieldContext> fields;
    PageLayout page;
    bool pageSeen = false;
    bool sectionPageSeen = false;

    // tables
    RowDef rowDef;
    CellDef nextCell;
    bool borderSidePending = false;
    std::vector<TableContext> tables;

    // pictures
    Picture picture;
    bool sawShpPict = false;
    qsizetype totalPictureBytes = 0;
    int pictureCount = 0;
};

RtfReader::RtfReader(QTextDocument *document)
    : d(std::make_unique<Private>(document))
{
}

RtfReader::~RtfReader() = default;

void RtfReader::setLimits(const Limits &limits)
{
    d->limits = limits;
}

RtfReader::Result RtfReader::read(QByteArrayView input)
{
    return d->run(input);
}

void RtfReader::Private::fail(const QString &message)
{
    if (result.ok) {
        result.ok = false;
        result.error = message;
    }
    stop = true;
}

RtfReader::Result RtfReader::Private::run(QByteArrayView input)
{
    result = {};
    document->clear();
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    cursor = QTextCursor(document);
    cursor.beginEditBlock();

    if (input.size() > limits.maxInputBytes) {
        fail(u"Ce fichier est trop volumineux pour être ouvert (plus de %1 Mo)."_s.arg(limits.maxInputBytes / (1024 * 1024)));
    } else {
        qsizetype start = 0;
        if (input.startsWith("\xEF\xBB\xBF"))
            start = 3;
        while (start < input.size() && (input[start] == ' ' || input[start] == '\t' || input[start] == '\r' || input[start] == '\n'))
            ++start;
        if (!input.sliced(start).startsWith("{\\rtf") && !input.sliced(start).startsWith("{\\urtf"))
            fail(u"Ce fichier n'est pas un document RTF."_s);
        else
            input = input.sliced(start);
    }

    if (!stop) {
        RtfTokenizer tz(input);
        tokenizer = &tz;
        QElapsedTimer clock;
        clock.start();
        qsizetype nextCheck = 64 * 1024;
        while (!stop) {
            const RtfTokenizer::Token token = tz.next();
            if (tz.position() >= nextCheck) {
                nextCheck = tz.position() + 64 * 1024;
                if (clock.elapsed() > limits.deadlineMilliseconds) {
                    fail(u"La lecture de ce document RTF prend trop de temps ; elle a été interrompue."_s);
                    break;
                }
            }
            if (token.type == RtfTokenizer::Type::End)
                break;
            if (!pendingBytes.isEmpty() && token.type != RtfTokenizer::Type::Text
                && token.type != RtfTokenizer::Type::HexByte)
                flushPendingBytes();
            switch (token.type) {
            case RtfTokenizer::Type::GroupStart:
                skipCount = 0;
                onGroupStart();
                break;
            case RtfTokenizer::Type::GroupEnd:
                skipCount = 0;
                if (stack.empty() && overflowDepth == 0) {
                    stop = true; // the outer group is closed: what follows is not the document
                    break;
                }
                onGroupEnd();
                if (stack.empty() && overflowDepth == 0)
                    stop = true;
                break;
            case RtfTokenizer::Type::ControlWord:
                if (skipCount > 0) {
                    --skipCount;
                    break;
                }
                onWord(token);
                break;
            case RtfTokenizer::Type::ControlSymbol:
                if (skipCount > 0) {
                    --skipCount;
                    break;
                }
                onSymbol(token.symbol);
                break;
            case RtfTokenizer::Type::HexByte:
                if (skipCount > 0) {
                    --skipCount;
                    break;
                }
                {
                    const char byte = char(token.byte);
                    onText(&byte, 1);
                }
                break;
            case RtfTokenizer::Type::Text: {
                const char *data = token.data;
                qsizetype size = token.size;
                if (skipCount > 0) {
                    const qsizetype skipped = qMin<qsizetype>(skipCount, size);
                    skipCount -= int(skipped);
                    data += skipped;
                    size -= skipped;
                }
                if (size > 0)
                    onText(data, size);
                break;
            }
            case RtfTokenizer::Type::Binary:
                if (skipCount > 0) {
                    --skipCount;
                    break;
                }
                onBinary(token);
                break;
            case RtfTokenizer::Type::End:
                break;
            }
        }
        tokenizer = nullptr;
    }

    // Whatever is still open at the end (a truncated file) is closed, and its content kept.
    flushPendingBytes();
    if (pendingHighSurrogate) {
        pendingHighSurrogate = 0;
        if (state.dest == Dest::Body)
            bodyText(u"\uFFFD");
    }
    if (!runText.isEmpty() || blockHasContent || !pendingBreak) {
        const bool wasStopped = stop;
        stop = false;
        flushRun();
        if (!pendingBreak)
            applyBlockFormat();
        stop = wasStopped;
    }
    while (!tables.empty())
        closeTable();

    if (pageSeen || sectionPageSeen)
        page.storeOn(document);
    if (!title.isEmpty())
        document->setMetaInformation(QTextDocument::DocumentTitle, title.trimmed());

    cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
    document->setModified(false);
    return result;
}

// ---------------------------------------------------------------------------------------------
// groups and destinations

void RtfReader::Private::onGroupStart()
{
    if (int(stack.size()) >= limits.maxGroupDepth) {
        // Deeper groups share the state of the deepest one; counting keeps the braces balanced.
        if (overflowDepth == 0)
            result.warnings << u"Le document contient plus de %1 groupes imbriqués ; leur mise en forme est simplifiée."_s.arg(limits.maxGroupDepth);
        ++overflowDepth;
        return;
    }
    stack.push_back(state);
    state.ignorable = false;
    state.fresh = true;
    state.fieldHere = false;
    if (state.dest == Dest::Upr)
        state.dest = Dest::UprChild;
}

void RtfReader::Private::onGroupEnd()
{
    if (overflowDepth > 0) {
        --overflowDepth;
        return;
    }
    popState();
}

void RtfReader::Private::popState()
{
    if (stack.empty())
        return;
    const State closing = state;
    switch (closing.dest) {
    case Dest::Pict:
        if (stack.back().dest != Dest::Pict)
            finishPicture();
        break;
    case Dest::ListLevel:
        if (stack.back().dest != Dest::ListLevel && currentList.levels.size() < 9)
            currentList.levels.push_back(currentLevel);
        break;
    case Dest::List:
        if (stack.back().dest != Dest::List && listDefs.size() < limits.maxTableEntries)
            listDefs.insert(currentListId, currentList);
        break;
    case Dest::ListOverride:
        if (stack.back().dest != Dest::ListOverride && overrideLs != 0 && listOverrides.size() < limits.maxTableEntries)
            listOverrides.insert(overrideLs, overrideListId);
        break;
    default:
        break;
    }
    if (closing.fieldHere && !fields.empty())
        fields.pop_back();
    state = stack.back();
    stack.pop_back();
    if (closing.dest == Dest::Pn && state.dest != Dest::Pn) {
        // The numbering of a paragraph outlives the {\*\pn} group that describes it.
        state.para.pn = closing.para.pn;
    }
}

void RtfReader::Private::skipCurrentGroup()
{
    // The group's '{' was read and its state pushed: skip to its '}' and drop the state.
    tokenizer->skipGroup();
    if (overflowDepth > 0)
        --overflowDepth;
    else
        popState();
}

void RtfReader::Private::startDestination(Kw kw)
{
    switch (kw) {
    case Kw::FontTable:
        state.dest = Dest::FontTable;
        currentFont = -1;
        break;
    case Kw::ColorTable:
        state.dest = Dest::ColorTable;
        red = green = blue = -1;
        break;
    case Kw::Info:
        state.dest = Dest::Info;
        break;
    case Kw::Title:
        if (state.dest == Dest::Info)
            state.dest = Dest::Title;
        else
            skipCurrentGroup();
        break;
    case Kw::Pict:
        state.dest = Dest::Pict;
        picture = Picture();
        break;
    case Kw::ShpPict:
        sawShpPict = true;
        state.dest = Dest::Container;
        break;
    case Kw::NonShpPict:
        if (sawShpPict)
            skipCurrentGroup();
        else
            state.dest = Dest::Container;
        break;
    case Kw::Field:
        state.dest = Dest::Container;
        state.fieldHere = true;
        fields.push_back({});
        break;
    case Kw::FldInst:
        state.dest = Dest::FldInst;
        break;
    case Kw::FldRslt:
        state.dest = Dest::Body;
        if (!fields.empty()) {
            FieldContext &field = fields.back();
            const QString target = hyperlinkTarget(field.instruction);
            if (!target.isEmpty()) {
                if (field.link == 0 && links.size() < limits.maxTableEntries) {
                    links << target;
                    field.link = int(links.size());
                }
                if (field.link)
                    state.chr.link = field.link;
            }
        }
        break;
    case Kw::ListTable:
        state.dest = Dest::ListTable;
        break;
    case Kw::List:
        if (state.dest == Dest::ListTable) {
            state.dest = Dest::List;
            currentList = ListDef();
            currentListId = 0;
        } else {
            skipCurrentGroup();
        }
        break;
    case Kw::ListLevel:
        if (state.dest == Dest::List) {
            state.dest = Dest::ListLevel;
            currentLevel = ListLevelDef();
        } else {
            skipCurrentGroup();
        }
        break;
    case Kw::LevelText:
        if (state.dest == Dest::ListLevel)
            state.dest = Dest::LevelText;
        else
            skipCurrentGroup();
        break;
    case Kw::ListOverrideTable:
        state.dest = Dest::ListOverrideTable;
        break;
    case Kw::ListOverride:
        if (state.dest == Dest::ListOverrideTable) {
            state.dest = Dest::ListOverride;
            overrideListId = 0;
            overrideLs = 0;
        } else {
            skipCurrentGroup();
        }
        break;
    case Kw::ListText:
    case Kw::PnText:
        if (state.dest == Dest::Body) {
            state.dest = Dest::ListText;
            listText.clear();
            listTextProps = state.chr;
        } else {
            skipCurrentGroup();
        }
        break;
    case Kw::Pn:
        state.dest = Dest::Pn;
        state.para.pn = PnProps();
        pnBefore.clear();
        pnAfter.clear();
        break;
    case Kw::PnTxtA:
        if (state.dest == Dest::Pn) {
            state.dest = Dest::PnTextAfter;
            pnAfter.clear();
        } else {
            skipCurrentGroup();
        }
        break;
    case Kw::PnTxtB:
        if (state.dest == Dest::Pn) {
            state.dest = Dest::PnTextBefore;
            pnBefore.clear();
        } else {
            skipCurrentGroup();
        }
        break;
    case Kw::Upr:
        state.uprOuter = state.dest;
        state.dest = Dest::Upr;
        break;
    case Kw::Ud:
        if (state.dest == Dest::UprChild)
            state.dest = state.uprOuter;
        break;
    case Kw::Object:
    case Kw::Shp:
        state.dest = Dest::Container;
        break;
    case Kw::Result:
    case Kw::ShpRslt:
        state.dest = Dest::Body;
        break;
    case Kw::NestTableProps:
        state.dest = Dest::NestTableProps;
        break;
    case Kw::Skip:
        skipCurrentGroup();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// control words

void RtfReader::Private::onWord(const RtfTokenizer::Token &token)
{
    const bool first = state.fresh;
    state.fresh = false;
    Kw kw = Kw::Unknown;
    if (!token.nameTooLong) {
        const auto &map = keywords();
        const auto it = map.find(std::string_view(token.data, size_t(token.size)));
        if (it != map.end())
            kw = it->second;
    }
    const bool has = token.hasParameter;
    const qint32 p = token.parameter;

    if (state.dest == Dest::UprChild && kw != Kw::Ud) {
        skipCurrentGroup(); // the ANSI copy of an \upr pair
        return;
    }
    if (state.dest == Dest::Info && first && kw != Kw::Title) {
        skipCurrentGroup(); // author, dates, company... are not kept
        return;
    }

    if (kw >= Kw::FontTable && kw <= Kw::Skip) {
        startDestination(kw);
        return;
    }
    if (kw == Kw::Unknown) {
        if (first && state.ignorable)
            skipCurrentGroup();
        return;
    }

    switch (state.dest) {
    case Dest::FontTable:
        if (kw == Kw::F) {
            if (fonts.size() < limits.maxTableEntries || fonts.contains(p)) {
                currentFont = p;
                fonts[p] = FontEntry();
            } else {
                currentFont = -1;
            }
        } else if (kw == Kw::FCharset && currentFont >= 0 && fonts.contains(currentFont)) {
            fonts[currentFont].codePage = CodePage::fromCharset(p);
        } else if (kw == Kw::Cpg && currentFont >= 0 && fonts.contains(currentFont) && p > 0) {
            if (fonts[currentFont].codePage == 0)
                fonts[currentFont].codePage = p;
        } else if (kw == Kw::U) {
            emitUnicode(p);
            skipCount = state.uc;
        }
        return;
    case Dest::ColorTable:
        if (kw == Kw::Red)
            red = qBound(0, p, 255);
        else if (kw == Kw::Green)
            green = qBound(0, p, 255);
        else if (kw == Kw::Blue)
            blue = qBound(0, p, 255);
        return;
    case Dest::ListLevel:
        if (kw == Kw::LevelNfc)
            currentLevel.nfc = p;
        else if (kw == Kw::LevelStartAt)
            currentLevel.startAt = p;
        else if (kw == Kw::Li)
            currentLevel.leftIndent = p;
        else if (kw == Kw::Fi)
            currentLevel.firstIndent = p;
        return;
    case Dest::List:
        if (kw == Kw::ListId)
            currentListId = p;
        return;
    case Dest::ListOverride:
        if (kw == Kw::ListId)
            overrideListId = p;
        else if (kw == Kw::Ls)
            overrideLs = p;
        return;
    case Dest::ListTable:
    case Dest::ListOverrideTable:
        return;
    case Dest::Pn:
        switch (kw) {
        case Kw::PnLvlBlt:
            state.para.pn.kind = 1;
            break;
        case Kw::PnLvlBody:
            state.para.pn.kind = 2;
            break;
        case Kw::PnLvlCont:
            state.para.pn.kind = 3;
            break;
        case Kw::PnLvl:
            state.para.pn.kind = 2;
            state.para.pn.level = qBound(0, p - 1, 8);
            break;
        case Kw::PnDec:
            state.para.pn.style = qint8(QTextListFormat::ListDecimal);
            break;
        case Kw::PnUcRm:
            state.para.pn.style = qint8(QTextListFormat::ListUpperRoman);
            break;
        case Kw::PnLcRm:
            state.para.pn.style = qint8(QTextListFormat::ListLowerRoman);
            break;
        case Kw::PnUcLtr:
            state.para.pn.style = qint8(QTextListFormat::ListUpperAlpha);
            break;
        case Kw::PnLcLtr:
            state.para.pn.style = qint8(QTextListFormat::ListLowerAlpha);
            break;
        default:
            break;
        }
        return;
    case Dest::Pict:
        switch (kw) {
        case Kw::PngBlip: picture.kind = "pngblip"; break;
        case Kw::JpegBlip: picture.kind = "jpegblip"; break;
        case Kw::EmfBlip: picture.kind = "emfblip"; break;
        case Kw::Wmetafile: picture.kind = "wmetafile"; picture.kindParameter = has ? p : 8; break;
        case Kw::Dibitmap: picture.kind = "dibitmap"; picture.kindParameter = has ? p : 0; break;
        case Kw::Wbitmap: picture.kind = "wbitmap"; picture.kindParameter = has ? p : 0; break;
        case Kw::Macpict: picture.kind = "macpict"; break;
        case Kw::PicW: picture.picW = p; break;
        case Kw::PicH: picture.picH = p; break;
        case Kw::PicWGoal: picture.goalW = p; break;
        case Kw::PicHGoal: picture.goalH = p; break;
        case Kw::PicScaleX: picture.scaleX = p; break;
        case Kw::PicScaleY: picture.scaleY = p; break;
        default: break;
        }
        return;
    default:
        break;
    }

    const bool body = state.dest == Dest::Body;
    const bool textual = body || state.dest == Dest::ListText || state.dest == Dest::Title
        || state.dest == Dest::LevelText || state.dest == Dest::PnTextBefore || state.dest == Dest::PnTextAfter
        || state.dest == Dest::FldInst;
    CharProps &c = state.chr;
    ParaProps &para = state.para;
    switch (kw) {
    // document
    case Kw::Rtf:
        break;
    case Kw::Ansi: documentCodePage = 1252; break;
    case Kw::Mac: documentCodePage = 10000; break;
    case Kw::Pc: documentCodePage = 437; break;
    case Kw::Pca: documentCodePage = 850; break;
    case Kw::AnsiCpg:
        if (p > 0)
            documentCodePage = p;
        break;
    case Kw::Deff:
        defaultFont = p;
        if (stack.size() <= 1)
            c.font = p;
        break;
    case Kw::PaperW: if (p > 0) { page.paperWidth = p; pageSeen = true; } break;
    case Kw::PaperH: if (p > 0) { page.paperHeight = p; pageSeen = true; } break;
    case Kw::MargL: if (p >= 0) { page.marginLeft = p; pageSeen = true; } break;
    case Kw::MargR: if (p >= 0) { page.marginRight = p; pageSeen = true; } break;
    case Kw::MargT: if (p >= 0) { page.marginTop = p; pageSeen = true; } break;
    case Kw::MargB: if (p >= 0) { page.marginBottom = p; pageSeen = true; } break;
    // Only the first section's page counts: QTextDocument has one page style.
    case Kw::PgWsxn: if (p > 0 && !sectionPageSeen) { page.paperWidth = p; pageSeen = true; } break;
    case Kw::PgHsxn: if (p > 0 && !sectionPageSeen) { page.paperHeight = p; pageSeen = true; } break;
    case Kw::MargLsxn: if (p >= 0 && !sectionPageSeen) page.marginLeft = p; break;
    case Kw::MargRsxn: if (p >= 0 && !sectionPageSeen) page.marginRight = p; break;
    case Kw::MargTsxn: if (p >= 0 && !sectionPageSeen) page.marginTop = p; break;
    case Kw::MargBsxn: if (p >= 0 && !sectionPageSeen) page.marginBottom = p; break;

    // characters
    case Kw::Plain: {
        const int link = c.link;
        c = CharProps();
        c.font = defaultFont;
        c.link = link;
        break;
    }
    case Kw::F: c.font = p; break;
    case Kw::B: c.bold = !has || p != 0; break;
    case Kw::I: c.italic = !has || p != 0; break;
    case Kw::Ul: c.underline = (!has || p != 0) ? quint8(QTextCharFormat::SingleUnderline) : 0; break;
    case Kw::UlNone: c.underline = 0; break;
    case Kw::UlDotted: c.underline = (!has || p != 0) ? quint8(QTextCharFormat::DotLine) : 0; break;
    case Kw::UlDash: c.underline = (!has || p != 0) ? quint8(QTextCharFormat::DashUnderline) : 0; break;
    case Kw::UlWave: c.underline = (!has || p != 0) ? quint8(QTextCharFormat::WaveUnderline) : 0; break;
    case Kw::Strike: c.strike = !has || p != 0; break;
    case Kw::Caps: c.caps = !has || p != 0; break;
    case Kw::Scaps: c.smallCaps = !has || p != 0; break;
    case Kw::V: c.hidden = !has || p != 0; break;
    case Kw::Fs: c.fontSize = (has && p > 0) ? qMin(p, 3276) : 24; break;
    case Kw::Cf: c.color = p; break;
    case Kw::Highlight: c.highlight = p; break;
    case Kw::Cb: c.background = p; break;
    case Kw::ChCbPat: c.background = p; break;
    case Kw::Super: c.vertical = 1; break;
    case Kw::Sub: c.vertical = 2; break;
    case Kw::NoSuperSub: c.vertical = 0; break;
    case Kw::Up: c.vertical = (has && p == 0) ? 0 : 1; break;
    case Kw::Dn: c.vertical = (has && p == 0) ? 0 : 2; break;
    case Kw::Uc: state.uc = qBound(0, p, 16); break;
    case Kw::U:
        emitUnicode(p);
        skipCount = state.uc;
        break;

    // paragraphs
    case Kw::Pard: {
        para = ParaProps();
        break;
    }
    case Kw::Ql: para.align = 0; break;
    case Kw::Qc: para.align = 1; break;
    case Kw::Qr: para.align = 2; break;
    case Kw::Qj: para.align = 3; break;
    case Kw::Li: para.leftIndent = p; break;
    case Kw::Ri: para.rightIndent = p; break;
    case Kw::Fi: para.firstIndent = p; break;
    case Kw::Sb: para.spaceBefore = p; break;
    case Kw::Sa: para.spaceAfter = p; break;
    case Kw::Sl: para.lineSpacing = p; break;
    case Kw::SlMult: para.lineMultiple = !has || p != 0; break;
    case Kw::Tqr: para.nextTabType = quint8(QTextOption::RightTab); break;
    case Kw::Tqc: para.nextTabType = quint8(QTextOption::CenterTab); break;
    case Kw::Tqdec: para.nextTabType = quint8(QTextOption::DelimiterTab); break;
    case Kw::Tx:
    case Kw::Tb:
        if (para.tabs.size() < 64 && p >= 0) {
            QTextOption::Tab tab(RichText::twipsToPixels(p), QTextOption::TabType(para.nextTabType));
            if (tab.type == QTextOption::DelimiterTab)
                tab.delimiter = QLocale().decimalPoint().at(0);
            para.tabs.append(tab);
        }
        para.nextTabType = 0;
        break;
    case Kw::Keep: para.keep = !has || p != 0; break;
    case Kw::PageBb: para.pageBreakBefore = !has || p != 0; break;
    case Kw::Intbl: para.inTable = !has || p != 0; break;
    case Kw::Itap: para.itap = qBound(0, p, limits.maxNestedTables); break;
    case Kw::Ls: para.ls = p; break;
    case Kw::Ilvl: para.ilvl = qBound(0, p, 8); break;
    case Kw::Par:
        if (body) {
            ensureParagraph();
            endParagraph();
        }
        break;
    case Kw::Line:
        if (textual)
            emitCharacter(u'\u2028');
        break;
    case Kw::Tab:
        if (textual)
            emitCharacter(u'\t');
        break;
    case Kw::Page:
        if (body) {
            if (blockHasContent || !runText.isEmpty())
                endParagraph();
            pageBreakForBlock = true;
        }
        break;
    case Kw::Sect:
        if (body) {
            sectionPageSeen = true;
            if (blockHasContent || !runText.isEmpty())
                endParagraph();
        }
        break;
    case Kw::EmDash: if (textual) emitCharacter(u'\u2014'); break;
    case Kw::EnDash: if (textual) emitCharacter(u'\u2013'); break;
    case Kw::Bullet: if (textual) emitCharacter(u'\u2022'); break;
    case Kw::LQuote: if (textual) emitCharacter(u'\u2018'); break;
    case Kw::RQuote: if (textual) emitCharacter(u'\u2019'); break;
    case Kw::LdblQuote: if (textual) emitCharacter(u'\u201C'); break;
    case Kw::RdblQuote: if (textual) emitCharacter(u'\u201D'); break;
    case Kw::EmSpace: if (textual) emitCharacter(u'\u2003'); break;
    case Kw::EnSpace: if (textual) emitCharacter(u'\u2002'); break;
    case Kw::QmSpace: if (textual) emitCharacter(u'\u2005'); break;
    case Kw::NoBreakHyphen: if (textual) emitCharacter(u'\u2011'); break;

    // tables
    case Kw::Trowd:
        rowDef = RowDef();
        nextCell = CellDef();
        borderSidePending = false;
        break;
    case Kw::Trleft: rowDef.left = p; break;
    case Kw::Trgaph: rowDef.gap = qMax(0, p); break;
    case Kw::Cellx:
        if (int(rowDef.cells.size()) < limits.maxCellsPerRow) {
            CellDef cell = nextCell;
            cell.right = p;
            rowDef.cells.push_back(cell);
        }
        nextCell = CellDef();
        break;
    case Kw::Clmgf: pendingCellDef().hMerge = 1; break;
    case Kw::Clmrg: pendingCellDef().hMerge = 2; break;
    case Kw::Clvmgf: pendingCellDef().vMerge = 1; break;
    case Kw::Clvmrg: pendingCellDef().vMerge = 2; break;
    case Kw::ClCbPat: pendingCellDef().background = p; break;
    case Kw::BorderSide: borderSidePending = true; break;
    case Kw::BorderStyle:
        if (borderSidePending)
            rowDef.borders = true;
        break;
    case Kw::Cell:
    case Kw::NestCell:
        if (body || state.dest == Dest::NestTableProps)
            endCell(qMax(kw == Kw::NestCell ? 2 : 1, para.tableDepth()));
        break;
    case Kw::Row:
    case Kw::NestRow:
        if (body || state.dest == Dest::NestTableProps)
            endRow(para.tableDepth() > 0 ? para.tableDepth() : int(tables.size()));
        break;
    default:
        break;
    }
}

void RtfReader::Private::onSymbol(char symbol)
{
    const bool first = state.fresh;
    switch (symbol) {
    case '*':
        state.ignorable = true;
        return; // the next word is still the group's first
    case '\\':
    case '{':
    case '}': {
        const char byte = symbol;
        onText(&byte, 1);
        break;
    }
    case '~':
        emitCharacter(u'\u00A0');
        break;
    case '-':
        emitCharacter(u'\u00AD');
        break;
    case '_':
        emitCharacter(u'\u2011');
        break;
    case '\t':
        emitCharacter(u'\t');
        break;
    case '\n':
        if (state.dest == Dest::Body) {
            ensureParagraph();
            endParagraph();
        }
        break;
    default:
        break;
    }
    Q_UNUSED(first);
    state.fresh = false;
}

void RtfReader::Private::onBinary(const RtfTokenizer::Token &token)
{
    state.fresh = false;
    if (state.dest == Dest::Pict)
        pictureData(token.data, token.size, true);
    // Binary data anywhere else is an embedded object's: never text.
}

// ---------------------------------------------------------------------------------------------
// text

CodePage *RtfReader::Private::codePage(int number)
{
    auto it = codePages.find(number);
    if (it == codePages.end())
        it = codePages.emplace(number, std::make_unique<CodePage>(number)).first;
    return it->second.get();
}

CodePage *RtfReader::Private::currentCodePage()
{
    int number = documentCodePage;
    if (state.dest == Dest::FontTable) {
        const auto it = fonts.constFind(currentFont);
        if (it != fonts.constEnd() && it->codePage)
            number = it->codePage;
    } else if (state.chr.font >= 0) {
        const auto it = fonts.constFind(state.chr.font);
        if (it != fonts.constEnd() && it->codePage) {
            number = it->codePage;
            // A Western font in a document of another code page: Word means the document's.
            if (number == 1252 && documentCodePage != 1252 && documentCodePage != 10000 && documentCodePage != 437
                && documentCodePage != 850)
                number = documentCodePage;
        }
    }
    return codePage(number);
}

void RtfReader::Private::flushPendingBytes()
{
    if (pendingBytes.isEmpty())
        return;
    QString text;
    pendingCodePage->decodeAppend(pendingBytes.constData(), pendingBytes.size(), text);
    pendingBytes.clear();
    emitText(text);
}

void RtfReader::Private::onText(const char *data, qsizetype size)
{
    state.fresh = false;
    switch (state.dest) {
    case Dest::Pict:
        pictureData(data, size, false);
        return;
    case Dest::Container:
    case Dest::Info:
    case Dest::ListTable:
    case Dest::List:
    case Dest::ListLevel:
    case Dest::ListOverrideTable:
    case Dest::ListOverride:
    case Dest::Pn:
    case Dest::Upr:
    case Dest::UprChild:
    case Dest::NestTableProps:
        return;
    case Dest::ColorTable:
        for (qsizetype i = 0; i < size; ++i) {
            if (data[i] == ';' && colors.size() < limits.maxTableEntries) {
                colors << ((red < 0 && green < 0 && blue < 0) ? QColor() : QColor(qMax(red, 0), qMax(green, 0), qMax(blue, 0)));
                red = green = blue = -1;
            }
        }
        return;
    default:
        break;
    }
    CodePage *page = currentCodePage();
    if (page->isMultiByte()) {
        if (!pendingBytes.isEmpty() && pendingCodePage != page)
            flushPendingBytes();
        pendingCodePage = page;
        pendingBytes.append(data, size);
        return;
    }
    if (state.dest == Dest::Body && !pendingHighSurrogate) {
        // The common case: decode straight into the run.
        bool plain = true;
        for (qsizetype i = 0; i < size; ++i) {
            const uchar b = uchar(data[i]);
            if (b < 0x20 || b >= 0x80) {
                plain = false;
                break;
            }
        }
        if (plain) {
            if (state.chr.hidden || stop)
                return;
            ensureParagraph();
            if (runProps != state.chr && !runText.isEmpty())
                flushRun();
            runProps = state.chr;
            runText.append(QLatin1StringView(data, size));
            outputCharacters += size;
            if (outputCharacters > limits.maxOutputCharacters)
                fail(u"Ce document RTF contient trop de texte (plus de %1 caractères)."_s.arg(limits.maxOutputCharacters));
            return;
        }
    }
    QString text;
    page->decodeAppend(data, size, text);
    emitText(text);
}

void RtfReader::Private::emitUnicode(qint32 value)
{
    flushPendingBytes();
    const char16_t unit = char16_t(value < 0 ? value + 65536 : value & 0xFFFF);
    if (QChar::isHighSurrogate(unit)) {
        if (pendingHighSurrogate)
            emitText(u"\uFFFD"); // the earlier half had no partner
        pendingHighSurrogate = unit;
        return;
    }
    if (QChar::isLowSurrogate(unit)) {
        if (pendingHighSurrogate) {
            const char16_t pair[2] = {pendingHighSurrogate, unit};
            pendingHighSurrogate = 0;
            emitText(QStringView(pair, 2));
        } else {
            emitText(u"\uFFFD");
        }
        return;
    }
    emitText(QStringView(&unit, 1));
}

void RtfReader::Private::emitText(QStringView text)
{
    if (pendingHighSurrogate && !(text.size() == 2 && text.at(0).isHighSurrogate())) {
        pendingHighSurrogate = 0;
        emitText(u"\uFFFD");
    }
    switch (state.dest) {
    case Dest::Body:
        bodyText(text);
        break;
    case Dest::FontTable:
        if (currentFont >= 0 && fonts.contains(currentFont)) {
            FontEntry &font = fonts[currentFont];
            for (QChar c : text) {
                if (c == u';')
                    currentFont = -1;
                else if (font.name.size() < 256)
                    font.name += c;
            }
        }
        break;
    case Dest::Title:
        if (title.size() < 4096)
            title += text;
        break;
    case Dest::FldInst:
        if (!fields.empty() && fields.back().instruction.size() < 8192)
            fields.back().instruction += text;
        break;
    case Dest::ListText:
        if (listText.size() < 256)
            listText += text;
        break;
    case Dest::LevelText:
        if (currentLevel.text.size() < 256)
            currentLevel.text += text;
        break;
    case Dest::PnTextBefore:
        if (pnBefore.size() < 64)
            pnBefore += text;
        break;
    case Dest::PnTextAfter:
        if (pnAfter.size() < 64)
            pnAfter += text;
        break;
    default:
        break;
    }
}

void RtfReader::Private::bodyText(QStringView text)
{
    if (state.chr.hidden || text.isEmpty() || stop)
        return;
    ensureParagraph();
    if (runProps != state.chr && !runText.isEmpty())
        flushRun();
    runProps = state.chr;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20) {
            if (u == u'\t')
                runText += c;
            continue; // control characters have no place in a paragraph
        }
        switch (u) {
        case 0x2029: // would split the paragraph behind our back
            runText += QChar(0x2028);
            break;
        case 0xFFFC: // would pass for a picture
        case 0xFDD0: // would pass for a table or frame boundary
        case 0xFDD1:
            runText += QChar(0xFFFD);
            break;
        default:
            runText += c;
        }
    }
    outputCharacters += text.size();
    if (outputCharacters > limits.maxOutputCharacters)
        fail(u"Ce document RTF contient trop de texte (plus de %1 caractères)."_s.arg(limits.maxOutputCharacters));
}

// ---------------------------------------------------------------------------------------------
// paragraphs

QColor RtfReader::Private::colorAt(int index) const
{
    if (index <= 0 || index >= colors.size())
        return {};
    return colors.at(index);
}

QTextCharFormat RtfReader::Private::charFormat(const CharProps &props) const
{
    QTextCharFormat format;
    const auto font = fonts.constFind(props.font);
    if (font != fonts.constEnd() && !font->name.trimmed().isEmpty())
        format.setFontFamilies({font->name.trimmed()});
    format.setFontPointSize(props.fontSize / 2.0);
    if (props.bold)
        format.setFontWeight(QFont::Bold);
    if (props.italic)
        format.setFontItalic(true);
    if (props.underline)
        format.setUnderlineStyle(QTextCharFormat::UnderlineStyle(props.underline));
    if (props.strike)
        format.setFontStrikeOut(true);
    if (props.caps)
        format.setFontCapitalization(QFont::AllUppercase);
    else if (props.smallCaps)
        format.setFontCapitalization(QFont::SmallCaps);
    if (props.vertical == 1)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (props.vertical == 2)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    const QColor foreground = colorAt(props.color);
    if (foreground.isValid())
        format.setForeground(foreground);
    QColor background = colorAt(props.highlight);
    if (!background.isValid())
        background = colorAt(props.background);
    if (background.isValid())
        format.setBackground(background);
    if (props.link > 0 && props.link <= links.size()) {
        format.setAnchor(true);
        format.setAnchorHref(links.at(props.link - 1));
    }
    return format;
}

void RtfReader::Private::flushRun()
{
    if (runText.isEmpty())
        return;
    cursor.insertText(runText, charFormat(runProps));
    runText.clear();
    blockHasContent = true;
}

void RtfReader::Private::ensureParagraph()
{
    if (stop)
        return;
    syncTables(state.para.tableDepth());
    if (!tables.empty())
        enterCell();
    if (pendingBreak) {
        flushRun();
        cursor.insertBlock();
        pendingBreak = false;
        blockHasContent = false;
    }
    if (!listText.isEmpty())
        insertPendingListText();
}

bool RtfReader::Private::isNativeList(const ParaProps &para, QTextListFormat *format) const
{
    if (para.pn.kind == 1 || (para.pn.kind == 2 && para.pn.style != 0)) {
        if (format) {
            if (para.pn.kind == 1) {
                const QChar bullet = pnBefore.isEmpty() ? QChar(0x2022) : pnBefore.at(0);
                format->setStyle(bulletStyle(bullet));
            } else {
                format->setStyle(QTextListFormat::Style(para.pn.style));
                format->setNumberPrefix(pnBefore);
                format->setNumberSuffix(pnAfter);
            }
            format->setIndent(para.pn.level + 1);
        }
        return true;
    }
    if (para.ls <= 0)
        return false;
    const auto override = listOverrides.constFind(para.ls);
    if (override == listOverrides.constEnd())
        return false;
    const auto def = listDefs.constFind(*override);
    if (def == listDefs.constEnd() || para.ilvl >= int(def->levels.size()))
        return false;
    const ListLevelDef &level = def->levels.at(size_t(para.ilvl));
    // The level text: its length, then characters, with the level numbers as codes 0 to 8.
    QString text = level.text;
    if (!text.isEmpty()) {
        const int length = text.at(0).unicode();
        text = text.mid(1, length);
    }
    int placeholders = 0;
    qsizetype placeholderAt = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).unicode() < 9) {
            ++placeholders;
            placeholderAt = i;
        }
    }
    if (level.nfc == 23) {
        if (placeholders > 0)
            return false;
        if (format) {
            format->setStyle(bulletStyle(text.isEmpty() ? QChar(0x2022) : text.at(0)));
            format->setIndent(para.ilvl + 1);
        }
        return true;
    }
    const QTextListFormat::Style style = styleForNfc(level.nfc);
    if (style == QTextListFormat::ListStyleUndefined || placeholders != 1)
        return false; // "1.2.3" and other forms that a QTextList cannot draw: the marker text stays
    if (format) {
        format->setStyle(style);
        format->setNumberPrefix(text.left(placeholderAt));
        format->setNumberSuffix(text.mid(placeholderAt + 1));
        format->setIndent(para.ilvl + 1);
    }
    return true;
}

void RtfReader::Private::insertPendingListText()
{
    const QString marker = listText;
    listText.clear();
    if (isNativeList(state.para, nullptr))
        return;
    // No list we can rebuild: the marker stays as text, as older readers show it.
    if (runProps != listTextProps && !runText.isEmpty())
        flushRun();
    runProps = listTextProps;
    for (QChar c : marker) {
        if (c.unicode() >= 0x20 || c == u'\t')
            runText += c;
    }
}

void RtfReader::Private::applyBlockFormat()
{
    const ParaProps &para = state.para;
    QTextBlockFormat format;
    switch (para.align) {
    case 1: format.setAlignment(Qt::AlignHCenter); break;
    case 2: format.setAlignment(Qt::AlignRight); break;
    case 3: format.setAlignment(Qt::AlignJustify); break;
    default: format.setAlignment(Qt::AlignLeft); break;
    }
    QTextListFormat listFormat;
    const bool listed = isNativeList(para, &listFormat);
    if (listed) {
        // The list draws its marker in its own indent; the paragraph keeps what lies beyond.
        const double listIndent = document->indentWidth() * listFormat.indent();
        format.setLeftMargin(qMax(0.0, RichText::twipsToPixels(para.leftIndent) - listIndent));
    } else {
        format.setLeftMargin(RichText::twipsToPixels(para.leftIndent));
        format.setTextIndent(RichText::twipsToPixels(para.firstIndent));
    }
    format.setRightMargin(RichText::twipsToPixels(para.rightIndent));
    format.setTopMargin(RichText::twipsToPixels(para.spaceBefore));
    format.setBottomMargin(RichText::twipsToPixels(para.spaceAfter));
    if (para.lineSpacing > 0 && para.lineMultiple)
        format.setLineHeight(para.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (para.lineSpacing > 0)
        format.setLineHeight(RichText::twipsToPixels(para.lineSpacing), QTextBlockFormat::MinimumHeight);
    else if (para.lineSpacing < 0)
        format.setLineHeight(RichText::twipsToPixels(-double(para.lineSpacing)), QTextBlockFormat::FixedHeight);
    if (!para.tabs.isEmpty())
        format.setTabPositions(para.tabs);
    if (para.keep)
        format.setNonBreakableLines(true);
    if (para.pageBreakBefore || pageBreakForBlock)
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    pageBreakForBlock = false;
    cursor.setBlockFormat(format);
    if (!blockHasContent)
        cursor.setBlockCharFormat(charFormat(state.chr));

    if (listed) {
        QTextBlock block = cursor.block();
        if (para.pn.kind != 0) {
            if (pnList && pnListProps.kind == para.pn.kind && pnListProps.style == para.pn.style
                && pnListProps.level == para.pn.level) {
                pnList->add(block);
            } else {
                pnList = cursor.createList(listFormat);
                pnListProps = para.pn;
            }
        } else {
            const qint64 key = (qint64(para.ls) << 4) | para.ilvl;
            QTextList *list = lists.value(key);
            if (list) {
                list->add(block);
            } else {
                list = cursor.createList(listFormat);
                lists.insert(key, list);
            }
            pnList = nullptr;
        }
    } else if (para.pn.kind != 3) {
        pnList = nullptr;
    }
}

void RtfReader::Private::endParagraph()
{
    if (stop)
        return;
    if (!listText.isEmpty())
        insertPendingListText();
    flushRun();
    applyBlockFormat();
    pendingBreak = true;
    blockHasContent = false;
}

// ---------------------------------------------------------------------------------------------
// tables

void RtfReader::Private::syncTables(int depth)
{
    depth = qMin(depth, limits.maxNestedTables);
    while (int(tables.size()) > depth)
        closeTable();
    while (int(tables.size()) < depth && !stop)
        openTable();
}

void RtfReader::Private::openTable()
{
    flushRun();
    if (!tables.empty())
        enterCell();
    if (pendingBreak) {
        // The paragraph before was ended: the table follows it directly.
        pendingBreak = false;
    } else if (blockHasContent) {
        applyBlockFormat();
    }
    // The row definition in force may be another table's (a nested table's comes after its
    // cells): start narrow, cells add columns as they come and \row pads to the definition.
    const int columns = 1;
    QTextTableFormat format;
    format.setCellPadding(RichText::twipsToPixels(rowDef.gap));
    format.setCellSpacing(0);
    format.setBorder(rowDef.borders ? 1 : 0);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    TableContext context;
    context.table = cursor.insertTable(1, columns, format);
    context.cellEnded = false;
    tables.push_back(context);
    blockHasContent = false;
}

void RtfReader::Private::closeTable()
{
    flushRun();
    if (!pendingBreak && blockHasContent)
        applyBlockFormat();
    TableContext context = tables.back();
    tables.pop_back();
    QTextTable *table = context.table;
    const int rows = table->rows();
    const int columns = table->columns();

    // Column widths from the first row whose cells fill the table.
    for (const auto &cells : context.rowCells) {
        if (int(cells.size()) == columns) {
            QList<QTextLength> widths;
            int left = 0;
            bool sound = true;
            for (size_t i = 0; i < cells.size(); ++i) {
                const int width = cells[i].right - (i == 0 ? left : cells[i - 1].right);
                if (width <= 0) {
                    sound = false;
                    break;
                }
                widths << QTextLength(QTextLength::FixedLength, RichText::twipsToPixels(width));
            }
            if (sound) {
                QTextTableFormat format = table->format();
                format.setColumnWidthConstraints(widths);
                table->setFormat(format);
            }
            break;
        }
    }
    // Merged cells, once every row is in place.
    for (int row = 0; row < rows && row < int(context.rowCells.size()); ++row) {
        const auto &cells = context.rowCells[size_t(row)];
        for (int column = 0; column < columns && column < int(cells.size()); ++column) {
            const CellDef &cell = cells[size_t(column)];
            int spanColumns = 1;
            if (cell.hMerge == 1) {
                while (column + spanColumns < columns && column + spanColumns < int(cells.size())
                       && cells[size_t(column + spanColumns)].hMerge == 2)
                    ++spanColumns;
            }
            int spanRows = 1;
            if (cell.vMerge == 1) {
                while (row + spanRows < rows && row + spanRows < int(context.rowCells.size())
                       && column < int(context.rowCells[size_t(row + spanRows)].size())
                       && context.rowCells[size_t(row + spanRows)][size_t(column)].vMerge == 2)
                    ++spanRows;
            }
            if (spanColumns > 1 || spanRows > 1)
                table->mergeCells(row, column, spanRows, spanColumns);
        }
    }
    cursor.setPosition(table->lastPosition() + 1);
    pendingBreak = false;
    blockHasContent = false;
}

void RtfReader::Private::enterCell()
{
    TableContext &context = tables.back();
    QTextTable *table = context.table;
    bool move = false;
    if (context.rowEnded) {
        table->appendRows(1);
        context.row = table->rows() - 1;
        context.column = 0;
        context.rowEnded = false;
        context.cellEnded = false;
        move = true;
    } else if (context.cellEnded) {
        ++context.column;
        context.cellEnded = false;
        move = true;
    }
    if (!move)
        return;
    if (context.column >= table->columns()) {
        if (table->columns() >= limits.maxCellsPerRow) {
            context.column = table->columns() - 1; // the rest of the row shares its last cell
        } else {
            table->appendColumns(1);
        }
    }
    cursor = table->cellAt(context.row, context.column).firstCursorPosition();
    pendingBreak = false;
    blockHasContent = false;
}

void RtfReader::Private::endCell(int depth)
{
    if (stop)
        return;
    syncTables(depth);
    if (tables.empty())
        return;
    enterCell();
    // "a\par\cell" is two paragraphs, the second one empty: \cell ends a paragraph of its own.
    if (pendingBreak) {
        flushRun();
        cursor.insertBlock();
        pendingBreak = false;
    }
    if (!listText.isEmpty())
        insertPendingListText();
    flushRun();
    applyBlockFormat();
    blockHasContent = false;
    tables.back().cellEnded = true;
}

void RtfReader::Private::endRow(int depth)
{
    if (stop || depth <= 0 || int(tables.size()) < depth)
        return;
    while (int(tables.size()) > depth)
        closeTable();
    TableContext &context = tables.back();
    if (context.rowEnded)
        return; // a \row with no cell in it
    QTextTable *table = context.table;
    // Cells announced by the row definition but never written are padded.
    const int announced = qMin(int(rowDef.cells.size()), limits.maxCellsPerRow);
    if (announced > table->columns())
        table->appendColumns(announced - table->columns());
    if (int(context.rowCells.size()) <= context.row)
        context.rowCells.resize(size_t(context.row) + 1);
    context.rowCells[size_t(context.row)] = rowDef.cells;
    for (int column = 0; column < int(rowDef.cells.size()) && column < table->columns(); ++column) {
        const QColor shade = colorAt(rowDef.cells[size_t(column)].background);
        if (shade.isValid()) {
            QTextTableCell cell = table->cellAt(context.row, column);
            QTextCharFormat format = cell.format();
            format.setBackground(shade);
            cell.setFormat(format);
        }
    }
    if (rowDef.borders && table->format().border() == 0) {
        QTextTableFormat format = table->format();
        format.setBorder(1);
        table->setFormat(format);
    }
    context.rowEnded = true;
    context.cellEnded = false;
    pendingBreak = false;
}

// ---------------------------------------------------------------------------------------------
// pictures

void RtfReader::Private::pictureData(const char *data, qsizetype size, bool binary)
{
    if (picture.tooBig)
        return;
    if (picture.data.size() + size / 2 > limits.maxPictureBytes
        || totalPictureBytes + picture.data.size() + size / 2 > limits.maxTotalPictureBytes) {
        picture.tooBig = true;
        picture.data.clear();
        return;
    }
    if (binary) {
        picture.data.append(data, size);
        return;
    }
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        int value;
        if (c >= '0' && c <= '9')
            value = c - '0';
        else if (c >= 'a' && c <= 'f')
            value = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            value = c - 'A' + 10;
        else
            continue; // spaces and line breaks between the digits
        if (picture.pendingNibble < 0) {
            picture.pendingNibble = value;
        } else {
            picture.data.append(char(picture.pendingNibble * 16 + value));
            picture.pendingNibble = -1;
        }
    }
}

void RtfReader::Private::finishPicture()
{
    if (stop)
        return;
    Picture pict = std::move(picture);
    picture = Picture();
    if (pict.kind.isEmpty() && pict.data.isEmpty())
        return;
    totalPictureBytes += pict.data.size();

    // The size shown: the goal size in twips, scaled; else the picture's own size.
    const bool bitmap = pict.kind == "pngblip" || pict.kind == "jpegblip" || pict.kind == "dibitmap" || pict.kind == "wbitmap";
    double widthTwips = pict.goalW > 0 ? pict.goalW : (bitmap ? pict.picW * 15.0 : pict.picW * 1440.0 / 2540.0);
    double heightTwips = pict.goalH > 0 ? pict.goalH : (bitmap ? pict.picH * 15.0 : pict.picH * 1440.0 / 2540.0);
    widthTwips *= qBound(1, pict.scaleX, 10000) / 100.0;
    heightTwips *= qBound(1, pict.scaleY, 10000) / 100.0;

    QImage image;
    if (!pict.tooBig && (pict.kind == "pngblip" || pict.kind == "jpegblip" || pict.kind == "dibitmap")) {
        QByteArray bytes = pict.data;
        QByteArray format = pict.kind == "pngblip" ? "png" : pict.kind == "jpegblip" ? "jpeg" : "bmp";
        if (pict.kind == "dibitmap" && bytes.size() >= 40) {
            // A device-independent bitmap lacks the file header that image readers expect.
            const auto u32 = [&bytes](int at) {
                return quint32(uchar(bytes[at])) | quint32(uchar(bytes[at + 1])) << 8
                    | quint32(uchar(bytes[at + 2])) << 16 | quint32(uchar(bytes[at + 3])) << 24;
            };
            const quint32 headerSize = u32(0);
            const int bitCount = uchar(bytes[14]) | uchar(bytes[15]) << 8;
            const quint32 compression = u32(16);
            quint32 colorsUsed = u32(32);
            if (colorsUsed == 0 && bitCount <= 8)
                colorsUsed = 1u << bitCount;
            quint32 offset = 14 + qMin<quint32>(headerSize, 1024) + qMin<quint32>(colorsUsed, 256) * 4;
            if (compression == 3 && headerSize == 40)
                offset += 12;
            QByteArray header("BM");
            const quint32 fileSize = quint32(bytes.size()) + 14;
            for (quint32 value : {fileSize, quint32(0), offset})
                for (int shift = 0; shift < 32; shift += 8)
                    header.append(char((value >> shift) & 0xFF));
            bytes.prepend(header);
        }
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, format);
        reader.setAllocationLimit(256);
        const QSize size = reader.size();
        if (size.isValid() && qint64(size.width()) * size.height() <= 50'000'000)
            image = reader.read();
    }
    bool placeholder = false;
    if (image.isNull()) {
        placeholder = true;
        const int w = widthTwips > 0 ? int(RichText::twipsToPixels(widthTwips)) : 96;
        const int h = heightTwips > 0 ? int(RichText::twipsToPixels(heightTwips)) : 96;
        image = placeholderImage(w, h);
        if (pict.tooBig)
            result.warnings << u"Une image trop volumineuse a été remplacée par un cadre vide."_s;
    }
    if (widthTwips <= 0)
        widthTwips = image.width() * RichText::kTwipsPerPixel;
    if (heightTwips <= 0)
        heightTwips = image.height() * RichText::kTwipsPerPixel;

    // Names unique in the process: a pasted document's pictures join the editor's own.
    static std::atomic<quint64> pictureSerial{0};
    ++pictureCount;
    const QUrl name(u"rtfimage:%1"_s.arg(++pictureSerial));
    document->addResource(QTextDocument::ImageResource, name, image);
    QTextImageFormat format;
    format.setName(name.toString());
    format.setWidth(RichText::twipsToPixels(widthTwips));
    format.setHeight(RichText::twipsToPixels(heightTwips));
    if (!placeholder && (pict.kind == "pngblip" || pict.kind == "jpegblip")) {
        // The file's own bytes go back out as they came: no loss, no growth (a JPEG photograph
        // written again as PNG would weigh several times more).
        format.setProperty(RichText::OriginalPictureData, pict.data);
        format.setProperty(RichText::OriginalPictureKind, pict.kind);
        format.setProperty(RichText::OriginalPictureWidth, image.width());
        format.setProperty(RichText::OriginalPictureHeight, image.height());
    } else if (placeholder && !pict.tooBig && !pict.kind.isEmpty()) {
        format.setProperty(RichText::OriginalPictureData, pict.data);
        QByteArray kind = pict.kind;
        if (pict.kind == "wmetafile" || pict.kind == "dibitmap" || pict.kind == "wbitmap")
            kind += QByteArray::number(pict.kindParameter);
        format.setProperty(RichText::OriginalPictureKind, kind);
        format.setProperty(RichText::OriginalPictureWidth, pict.picW);
        format.setProperty(RichText::OriginalPictureHeight, pict.picH);
    }

    // The picture's own group is closing: its place is that of the nearest enclosing body text.
    const int ancestor = bodyAncestor();
    if (ancestor < 0)
        return;
    const State saved = state;
    state = stack[size_t(ancestor)];
    ensureParagraph();
    flushRun();
    cursor.insertImage(format);
    blockHasContent = true;
    ++outputCharacters;
    state = saved;
}

int RtfReader::Private::bodyAncestor() const
{
    for (int i = int(stack.size()) - 1; i >= 0; --i) {
        const Dest dest = stack[size_t(i)].dest;
        if (dest == Dest::Body)
            return i;
        if (dest != Dest::Container && dest != Dest::Pict)
            return -1;
    }
    return -1;
}
