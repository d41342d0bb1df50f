#include "dialogs/FrmImport.h"

#include "core/CsvReader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Enough rows to judge the columns by; the rest are counted.
constexpr int kPreviewRows = 20;

constexpr TextEncoding kEncodings[] = {TextEncoding::Utf8, TextEncoding::Windows1252, TextEncoding::Utf16LE,
                                       TextEncoding::Utf16BE};

QString noun(qsizetype count, const QString &one, const QString &several)
{
    return QString::number(count) + u' ' + (count > 1 ? several : one);
}

QLabel *captionFor(QWidget *control, const QString &text)
{
    auto *label = new QLabel(text);
    label->setBuddy(control);
    return label;
}

} // namespace

FrmImport::FrmImport(const QByteArray &fileBytes, const QString &name, QWidget *parent)
    : QDialog(parent), bytes(fileBytes), fileName(name)
{
    setObjectName(u"frmImport"_s);
    setWindowTitle(u"Importer des destinataires"_s);
    table = RecipientFile::read(bytes);
    currentMapping = Recipients::guessMapping(table);
    build();
    showMapping();
    mapRows();
}

QString FrmImport::fileProblem() const
{
    if (!table.ok())
        return table.error;
    if (table.rows.isEmpty() && table.damaged.isEmpty())
        return u"Le fichier « %1 » ne contient aucun destinataire."_s.arg(fileName);
    return QString();
}

void FrmImport::build()
{
    summary = new QLabel(this);
    summary->setObjectName(u"LabelResume"_s);
    summary->setWordWrap(true);

    // How the file is read: what a spreadsheet's CSV leaves open. A vCard says it all itself.
    auto *reading = new QGroupBox(u"Lecture du fichier"_s, this);
    separatorBox = new QComboBox(reading);
    separatorBox->setObjectName(u"ComboSeparateur"_s);
    for (const QChar separator : CsvReader::kSeparators)
        separatorBox->addItem(RecipientFile::separatorName(separator), QString(separator));
    encodingBox = new QComboBox(reading);
    encodingBox->setObjectName(u"ComboEncodage"_s);
    for (const TextEncoding encoding : kEncodings)
        encodingBox->addItem(RecipientFile::encodingName(encoding), int(encoding));
    headerBox = new QCheckBox(u"La première ligne donne les noms des colonnes"_s, reading);
    headerBox->setObjectName(u"CheckEntete"_s);
    auto *readingLayout = new QHBoxLayout(reading);
    readingLayout->addWidget(captionFor(separatorBox, u"Séparateur"_s));
    readingLayout->addWidget(separatorBox);
    readingLayout->addSpacing(12);
    readingLayout->addWidget(captionFor(encodingBox, u"Encodage"_s));
    readingLayout->addWidget(encodingBox);
    readingLayout->addSpacing(12);
    readingLayout->addWidget(headerBox);
    readingLayout->addStretch();

    // The column of each field, three to a row, the order of the name last.
    auto *columns = new QGroupBox(u"Colonne du fichier pour chaque champ"_s, this);
    auto *columnsLayout = new QGridLayout(columns);
    for (int role = 0; role < kColumnRoleCount; ++role) {
        QComboBox *box = new QComboBox(columns);
        box->setObjectName(u"ComboColonne_%1"_s.arg(role));
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(12);
        columnBoxes[size_t(role)] = box;
        columnsLayout->addWidget(captionFor(box, Recipients::roleName(ColumnRole(role))), role / 3, (role % 3) * 2);
        columnsLayout->addWidget(box, role / 3, (role % 3) * 2 + 1);
        connect(box, &QComboBox::currentIndexChanged, this, [this, role](int index) {
            if (showing)
                return;
            currentMapping.setColumn(ColumnRole(role), index - 1);
            chosenRoles.insert(role);
            mapRows();
        });
    }
    nameOrderBox = new QComboBox(columns);
    nameOrderBox->setObjectName(u"ComboOrdreNom"_s);
    nameOrderBox->addItem(u"Prénom Nom"_s, int(NameOrder::FirstLast));
    nameOrderBox->addItem(u"Nom Prénom"_s, int(NameOrder::LastFirst));
    const int lastRow = (kColumnRoleCount - 1) / 3;
    const int lastColumn = ((kColumnRoleCount - 1) % 3 + 1) * 2;
    columnsLayout->addWidget(captionFor(nameOrderBox, u"Ordre du nom"_s), lastRow, lastColumn);
    columnsLayout->addWidget(nameOrderBox, lastRow, lastColumn + 1);
    for (int column = 1; column < 6; column += 2)
        columnsLayout->setColumnStretch(column, 1);

    preview = new QTableWidget(0, kCardFieldCount, this);
    preview->setObjectName(u"Apercu"_s);
    QStringList captions;
    for (int field = 0; field < kCardFieldCount; ++field)
        captions.append(Recipients::fieldCaption(CardField(field)));
    preview->setHorizontalHeaderLabels(captions);
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview->setSelectionBehavior(QAbstractItemView::SelectRows);
    preview->setWordWrap(false);
    preview->horizontalHeader()->setStretchLastSection(true);
    preview->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    preview->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);

    flaggedList = new QListWidget(this);
    flaggedList->setObjectName(u"LignesSignalees"_s);
    restoreZeroBox = new QCheckBox(this);
    restoreZeroBox->setObjectName(u"CheckZeroInitial"_s);

    auto *buttons = new QDialogButtonBox(this);
    importButton = buttons->addButton(u"Importer"_s, QDialogButtonBox::AcceptRole);
    importButton->setObjectName(u"BoutonImporter"_s);
    importButton->setDefault(true);
    cancelButton = buttons->addButton(u"Annuler"_s, QDialogButtonBox::RejectRole);
    cancelButton->setObjectName(u"BoutonAnnuler"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(reading);
    layout->addWidget(columns);
    layout->addWidget(captionFor(preview, u"Aperçu des premières fiches"_s));
    layout->addWidget(preview, 3);
    layout->addWidget(captionFor(flaggedList, u"Lignes signalées, laissées de côté sauf si vous les cochez"_s));
    layout->addWidget(flaggedList, 2);
    layout->addWidget(restoreZeroBox);
    layout->addWidget(buttons);
    resize(900, 720);

    connect(separatorBox, &QComboBox::currentIndexChanged, this, [this] {
        if (showing)
            return;
        currentMapping.reading.separator = separatorBox->currentData().toString().at(0);
        readAgain(true);
    });
    connect(encodingBox, &QComboBox::currentIndexChanged, this, [this] {
        if (showing)
            return;
        currentMapping.reading.encoding = TextEncoding(encodingBox->currentData().toInt());
        readAgain(false);
    });
    connect(headerBox, &QCheckBox::toggled, this, [this](bool checked) {
        if (showing)
            return;
        currentMapping.hasHeader = checked;
        headerChosen = true;
        showMapping(); // the columns' names come from the first row or not
        mapRows();
    });
    connect(nameOrderBox, &QComboBox::currentIndexChanged, this, [this] {
        if (showing)
            return;
        currentMapping.nameOrder = NameOrder(nameOrderBox->currentData().toInt());
        mapRows();
    });
    connect(restoreZeroBox, &QCheckBox::toggled, this, [this] {
        if (!showing)
            mapRows();
    });
    connect(flaggedList, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!showing && (item->flags() & Qt::ItemIsUserCheckable))
            keepRow(item->data(Qt::UserRole).toInt(), item->checkState() == Qt::Checked);
    });
}

void FrmImport::readAgain(bool newColumns)
{
    const QChar separator = table.separator;
    const int columns = Recipients::columnCount(table);
    table = RecipientFile::read(bytes, currentMapping.reading);
    // The headers read otherwise may name other columns: guessed again. What the user chose
    // stays, unless the file now splits into other columns.
    const RecipientMapping previous = currentMapping;
    currentMapping = Recipients::guessMapping(table, previous.reading);
    currentMapping.nameOrder = previous.nameOrder;
    if (newColumns || table.separator != separator || Recipients::columnCount(table) != columns) {
        chosenRoles.clear();
        headerChosen = false;
    }
    for (const int role : std::as_const(chosenRoles))
        currentMapping.setColumn(ColumnRole(role), previous.column(ColumnRole(role)));
    if (headerChosen)
        currentMapping.hasHeader = previous.hasHeader;
    showMapping();
    mapRows();
}

void FrmImport::showMapping()
{
    showing = true;
    const bool csv = table.format == SourceFormat::Csv;
    separatorBox->setEnabled(csv);
    encodingBox->setEnabled(csv);
    headerBox->setEnabled(csv);
    separatorBox->setCurrentIndex(std::max(0, separatorBox->findData(QString(table.separator))));
    encodingBox->setCurrentIndex(std::max(0, encodingBox->findData(int(table.encoding))));
    headerBox->setChecked(currentMapping.hasHeader);
    nameOrderBox->setCurrentIndex(nameOrderBox->findData(int(currentMapping.nameOrder)));
    const QStringList names = Recipients::columnNames(table, currentMapping);
    for (int role = 0; role < kColumnRoleCount; ++role) {
        QComboBox *box = columnBoxes[size_t(role)];
        box->clear();
        box->addItem(u"(aucune)"_s);
        box->addItems(names);
        int column = currentMapping.column(ColumnRole(role));
        if (column >= names.size()) {
            column = -1;
            currentMapping.setColumn(ColumnRole(role), -1);
        }
        box->setCurrentIndex(column + 1);
    }
    showing = false;
}

void FrmImport::mapRows()
{
    mapped = Recipients::map(table, currentMapping);
    int lostZeros = 0;
    for (RecipientRow &row : mapped.rows) {
        if (row.has(RowProblem::PostcodeLostZero)) {
            ++lostZeros;
            if (restoreZeroBox->isChecked())
                Recipients::restoreLeadingZero(&row);
        }
        if (row.isFlagged() && keptLines.contains(row.line))
            row.keep = true;
    }
    showing = true;
    restoreZeroBox->setText(u"Rétablir le zéro initial des codes postaux à quatre chiffres (%1)"_s.arg(
        noun(lostZeros, u"ligne"_s, u"lignes"_s)));
    restoreZeroBox->setEnabled(lostZeros > 0);
    showing = false;
    showPreview();
    showFlagged();
    showSummary();
}

void FrmImport::showPreview()
{
    // The rows as cards: those left out are greyed, and say why in their tip.
    const qsizetype shown = std::min<qsizetype>(mapped.rows.size(), kPreviewRows);
    preview->setRowCount(int(shown));
    QStringList lines;
    for (int r = 0; r < shown; ++r) {
        const RecipientRow &row = mapped.rows.at(r);
        lines.append(QString::number(row.line));
        for (int field = 0; field < kCardFieldCount; ++field) {
            auto *item = new QTableWidgetItem(row.fields.value(field));
            item->setToolTip(Recipients::describe(row));
            if (!row.keep)
                item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
            preview->setItem(r, field, item);
        }
    }
    preview->setVerticalHeaderLabels(lines);
    preview->resizeColumnsToContents();
}

void FrmImport::showFlagged()
{
    showing = true;
    flaggedList->clear();
    for (const RecipientRow &row : std::as_const(mapped.rows)) {
        if (!row.isFlagged())
            continue;
        auto *item = new QListWidgetItem(Recipients::describe(row), flaggedList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(row.keep ? Qt::Checked : Qt::Unchecked);
        item->setData(Qt::UserRole, row.line);
    }
    for (const RecipientTable::Damage &damage : std::as_const(mapped.damaged))
        new QListWidgetItem(Recipients::describe(damage), flaggedList);
    showing = false;
}

void FrmImport::showSummary()
{
    // What becomes cards, what is left out and why.
    QString text = u"Fichier : %1"_s.arg(fileName);
    if (table.format == SourceFormat::VCard)
        text += u" (vCard)"_s;
    text += u"\n"_s;
    if (!table.ok()) {
        text += table.error;
    } else {
        text += u"%1 : %2 à importer"_s.arg(
            noun(mapped.rows.size(), u"ligne de destinataire"_s, u"lignes de destinataires"_s),
            QString::number(mapped.keptCount()));
        if (const int flagged = mapped.flaggedCount(); flagged > 0)
            text += u", "_s + noun(flagged, u"signalée"_s, u"signalées"_s);
        if (mapped.blankRows > 0)
            text += u", "_s + noun(mapped.blankRows, u"ligne vide ignorée"_s, u"lignes vides ignorées"_s);
        if (!mapped.damaged.isEmpty())
            text +=
                u", "_s + noun(mapped.damaged.size(), u"ligne illisible ignorée"_s, u"lignes illisibles ignorées"_s);
        text += u'.';
    }
    summary->setText(text);
    importButton->setEnabled(mapped.keptCount() > 0);
}

void FrmImport::keepRow(int line, bool keep)
{
    if (keep)
        keptLines.insert(line);
    else
        keptLines.remove(line);
    for (RecipientRow &row : mapped.rows) {
        if (row.line == line && row.isFlagged()) {
            row.keep = keep;
            break;
        }
    }
    // The list stays as it is: its item is the one being changed.
    showPreview();
    showSummary();
}
