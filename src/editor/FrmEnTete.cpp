#include "editor/FrmEnTete.h"

#include "editor/FrmEditeur.h"
#include "editor/LetterEdit.h"
#include "printing/PageGeometry.h"
#include "richtext/RichTextProperties.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

using Kind = HeadersFooters::Kind;

// The kind the following pages show: word processors write it as the plain header or as the
// right-hand one.
Kind mainKind(const HeadersFooters *decorations, bool header)
{
    const Kind all = header ? Kind::Header : Kind::Footer;
    const Kind right = header ? Kind::HeaderRight : Kind::FooterRight;
    if (decorations && !decorations->part(all) && decorations->part(right))
        return right;
    return all;
}

// Page numbers shaded, as word processors show their fields: they are not text to type over.
void shadePageFields(QTextEdit *edit)
{
    QList<QTextEdit::ExtraSelection> shaded;
    const QTextDocument *document = edit->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().hasProperty(RichText::FieldInstruction))
                continue;
            QTextEdit::ExtraSelection selection;
            selection.cursor = QTextCursor(edit->document());
            selection.cursor.setPosition(fragment.position());
            selection.cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            selection.format.setBackground(QColor(0xdd, 0xdd, 0xdd));
            shaded.append(selection);
        }
    }
    edit->setExtraSelections(shaded);
}

} // namespace

FrmEnTete::FrmEnTete(const QTextDocument *letter, QWidget *parent)
    : QDialog(parent), titlePageAtStart(HeadersFooters::of(letter) && HeadersFooters::of(letter)->titlePage()),
      facingPages(HeadersFooters::of(letter) && HeadersFooters::of(letter)->facingPages())
{
    setObjectName(u"frmEnTete"_s);
    setWindowTitle(u"En-tête et pied de page"_s);
    const HeadersFooters *decorations = HeadersFooters::of(letter);

    firstPageBox = new QCheckBox(u"Première page différente"_s, this);
    firstPageBox->setObjectName(u"PremierePage"_s);
    firstPageBox->setChecked(titlePageAtStart);
    pageTabs = new QTabWidget(this);
    pageTabs->setObjectName(u"Pages"_s);
    pageTabs->setAccessibleName(u"Pages"_s);
    pageTabs->tabBar()->setAccessibleName(u"Pages"_s);

    const auto addPages = [&](Pages pages, Kind header, Kind footer, const QString &suffix) {
        auto *tab = new QWidget(pageTabs);
        auto *form = new QFormLayout(tab);
        form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        PageFields page{pages, header, footer, nullptr, nullptr};
        const QTextDocument *headerPart = decorations ? decorations->part(header) : nullptr;
        const QTextDocument *footerPart = decorations ? decorations->part(footer) : nullptr;
        page.header = addField(tab, headerPart, u"En-tête :"_s, u"EnTete"_s + suffix);
        page.footer = addField(tab, footerPart, u"Pied de page :"_s, u"Pied"_s + suffix);
        // Plain text inherits the letter's font, as it does in the letter.
        page.header->document()->setDefaultFont(letter->defaultFont());
        page.footer->document()->setDefaultFont(letter->defaultFont());
        pageTabs->addTab(tab, QString());
        fields.push_back(page);
    };
    addPages(Pages::First, Kind::HeaderFirst, Kind::FooterFirst, u"Premiere"_s);
    addPages(Pages::Following, mainKind(decorations, true), mainKind(decorations, false), u"Suivantes"_s);
    if (facingPages)
        addPages(Pages::Even, Kind::HeaderLeft, Kind::FooterLeft, u"Paires"_s);
    // Page numbers go in the footer, most often.
    lastField = footerField(Pages::Following);

    pageNumberButton = new QPushButton(u"Insérer le numéro de page"_s, this);
    pageNumberButton->setObjectName(u"NumeroPage"_s);
    pageNumberButton->setAutoDefault(false);
    connect(pageNumberButton, &QPushButton::clicked, this, &FrmEnTete::insertPageNumber);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(firstPageBox);
    layout->addWidget(pageTabs);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(pageNumberButton);
    bottom->addStretch();
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    connect(firstPageBox, &QCheckBox::toggled, this, &FrmEnTete::showFirstPage);
    showFirstPage(titlePageAtStart);
    pageTabs->setCurrentIndex(titlePageAtStart ? 0 : 1);
}

LetterEdit *FrmEnTete::addField(QWidget *tab, const QTextDocument *part, const QString &caption, const QString &name)
{
    auto *field = new LetterEdit(tab);
    field->setObjectName(name);
    field->setTabChangesFocus(true);
    if (part) {
        QTextDocument *copy = part->clone(field);
        copy->setModified(false);
        field->setDocument(copy);
    }
    // As wide as the printed line, so that its lines break where the paper's do.
    FrmEditeur::Ajuste_Page(field, LetterMargin, LetterMargin, true);
    if (field->lineWrapMode() == QTextEdit::FixedPixelWidth)
        field->setMinimumWidth(field->lineWrapColumnOrWidth() + 2 * field->frameWidth() +
                               field->verticalScrollBar()->sizeHint().width());
    field->setMinimumHeight(field->fontMetrics().lineSpacing() * 4);
    field->installEventFilter(this);
    connect(field, &QTextEdit::textChanged, this, [field] { shadePageFields(field); });
    // Text typed right after a page number is text, not more of the field.
    connect(field, &QTextEdit::cursorPositionChanged, this, [field] {
        QTextCharFormat format = field->currentCharFormat();
        if (!field->textCursor().hasSelection() && format.hasProperty(RichText::FieldInstruction)) {
            format.clearProperty(RichText::FieldInstruction);
            field->setCurrentCharFormat(format);
        }
    });
    shadePageFields(field);
    auto *label = new QLabel(caption, tab);
    label->setBuddy(field);
    static_cast<QFormLayout *>(tab->layout())->addRow(label, field);
    return field;
}

void FrmEnTete::showFirstPage(bool shown)
{
    pageTabs->setTabVisible(0, shown);
    if (facingPages) {
        pageTabs->setTabText(0, u"Première page"_s);
        pageTabs->setTabText(1, u"Pages impaires"_s);
        pageTabs->setTabText(2, u"Pages paires"_s);
    } else {
        pageTabs->setTabText(0, u"Première page"_s);
        pageTabs->setTabText(1, shown ? u"Pages suivantes"_s : u"Toutes les pages"_s);
    }
}

const FrmEnTete::PageFields *FrmEnTete::fieldsOf(Pages pages) const
{
    for (const PageFields &page : fields) {
        if (page.pages == pages)
            return &page;
    }
    return nullptr;
}

QTextEdit *FrmEnTete::headerField(Pages pages) const
{
    const PageFields *page = fieldsOf(pages);
    return page ? page->header : nullptr;
}

QTextEdit *FrmEnTete::footerField(Pages pages) const
{
    const PageFields *page = fieldsOf(pages);
    return page ? page->footer : nullptr;
}

bool FrmEnTete::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto *field = qobject_cast<QTextEdit *>(watched))
            lastField = field;
    }
    return QDialog::eventFilter(watched, event);
}

int FrmEnTete::samplePage(const QTextEdit *field) const
{
    const bool first = firstPageBox->isChecked();
    for (const PageFields &page : fields) {
        if (page.header != field && page.footer != field)
            continue;
        switch (page.pages) {
        case Pages::First:
            return 1;
        case Pages::Even:
            return 2;
        case Pages::Following:
            return first ? (facingPages ? 3 : 2) : 1;
        }
    }
    return 1;
}

void FrmEnTete::insertPageNumber()
{
    QTextEdit *field = lastField;
    if (!field)
        return;
    QTextCursor cursor = field->textCursor();
    QTextCharFormat format = cursor.charFormat();
    format.setProperty(RichText::FieldInstruction, u"PAGE"_s);
    cursor.insertText(QString::number(samplePage(field)), format);
    field->setTextCursor(cursor);
    format.clearProperty(RichText::FieldInstruction);
    field->setCurrentCharFormat(format);
    field->setFocus();
}

bool FrmEnTete::applyTo(QTextDocument *letter) const
{
    const bool firstPage = firstPageBox->isChecked();
    bool changed = firstPage != titlePageAtStart;
    for (const PageFields &page : fields) {
        // Unticked, the first page's own header and footer are kept for when it is ticked again.
        if (page.pages == Pages::First && !firstPage)
            continue;
        changed = changed || page.header->document()->isModified() || page.footer->document()->isModified();
    }
    if (!changed)
        return false;
    HeadersFooters *decorations = HeadersFooters::attach(letter);
    decorations->setTitlePage(firstPage);
    for (const PageFields &page : fields) {
        if (page.pages == Pages::First && !firstPage)
            continue;
        const std::pair<const LetterEdit *, Kind> both[] = {{page.header, page.headerKind},
                                                            {page.footer, page.footerKind}};
        for (const auto &[field, kind] : both) {
            if (RichText::showsSomething(field->document()))
                decorations->setPart(kind, *field->document());
            else
                decorations->removePart(kind);
        }
    }
    if (decorations->isEmpty())
        HeadersFooters::detach(letter);
    letter->setModified(true);
    return true;
}
