#include "editor/CharacterTable.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr int kColumns = 16;

// What a screen reader says for a character that shows nothing by itself.
QString describe(const QString &character)
{
    const char16_t code = character.at(0).unicode();
    const QString number = u"U+%1"_s.arg(code, 4, 16, QLatin1Char('0')).toUpper();
    if (code == 0x00A0)
        return u"espace insécable (%1)"_s.arg(number);
    if (code == 0x00AD)
        return u"trait d'union conditionnel (%1)"_s.arg(number);
    return u"%1 (%2)"_s.arg(character, number);
}
} // namespace

QStringList CharacterTable::characters()
{
    QStringList list;
    // What French letters ask for most, first: the accented capitals, the ligatures, the quotes,
    // dashes and the signs of money, degrees and paragraphs.
    const QString firsts = u"ÀÂÄÇÉÈÊËÎÏÔÖÙÛÜŸœŒæÆ«»—–…€’°§"_s;
    for (const QChar c : firsts)
        list.append(QString(c));
    for (char16_t code = 0x00A0; code <= 0x017F; ++code)
        list.append(QString(QChar(code)));
    return list;
}

CharacterTable::CharacterTable(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmCaracteres"_s);
    setWindowTitle(u"Table des caractères"_s);
    setWindowFlag(Qt::Tool);
    auto *layout = new QVBoxLayout(this);
    auto *hint =
        new QLabel(u"Double-cliquez sur un caractère (ou appuyez sur Entrée) pour l'insérer dans la lettre."_s, this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    const QStringList all = characters();
    grid = new QTableWidget(int((all.size() + kColumns - 1) / kColumns), kColumns, this);
    grid->setObjectName(u"grid"_s);
    grid->setAccessibleName(u"Caractères"_s);
    grid->setAccessibleDescription(hint->text()); // an instruction, not the grid's caption
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    QFont big = grid->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    grid->setFont(big);
    const int cell = QFontMetrics(big).height() + 10;
    grid->horizontalHeader()->setDefaultSectionSize(cell);
    grid->verticalHeader()->setDefaultSectionSize(cell);
    for (int i = 0; i < all.size(); ++i) {
        auto *item = new QTableWidgetItem(all.at(i));
        item->setTextAlignment(Qt::AlignCenter);
        item->setToolTip(describe(all.at(i)));
        item->setData(Qt::AccessibleTextRole, describe(all.at(i)));
        grid->setItem(i / kColumns, i % kColumns, item);
    }
    for (int i = int(all.size()); i < grid->rowCount() * kColumns; ++i) {
        auto *empty = new QTableWidgetItem;
        empty->setFlags(Qt::NoItemFlags);
        grid->setItem(i / kColumns, i % kColumns, empty);
    }
    grid->setCurrentCell(0, 0);
    grid->installEventFilter(this);
    connect(grid, &QTableWidget::cellDoubleClicked, this, [this] { chooseCurrent(); });
    layout->addWidget(grid);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *insert = buttons->addButton(u"Insérer"_s, QDialogButtonBox::ActionRole);
    insert->setObjectName(u"insertButton"_s);
    insert->setAutoDefault(false);
    connect(insert, &QPushButton::clicked, this, [this] { chooseCurrent(); });
    QPushButton *close = buttons->addButton(u"Fermer"_s, QDialogButtonBox::RejectRole);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(buttons);
    resize(cell * kColumns + 60, cell * 10 + 120);
}

bool CharacterTable::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            chooseCurrent();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CharacterTable::chooseCurrent()
{
    const QTableWidgetItem *item = grid->currentItem();
    if (item && !item->text().isEmpty())
        emit characterChosen(item->text());
}
