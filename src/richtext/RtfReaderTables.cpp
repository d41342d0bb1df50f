#include "richtext/RtfReaderPrivate.h"

#include "richtext/RichTextProperties.h"

#include <QTextTable>

using namespace RtfReading;

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
                while (column + spanColumns < columns && column + spanColumns < int(cells.size()) &&
                       cells[size_t(column + spanColumns)].hMerge == 2)
                    ++spanColumns;
            }
            int spanRows = 1;
            if (cell.vMerge == 1) {
                while (row + spanRows < rows && row + spanRows < int(context.rowCells.size()) &&
                       column < int(context.rowCells[size_t(row + spanRows)].size()) &&
                       context.rowCells[size_t(row + spanRows)][size_t(column)].vMerge == 2)
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
