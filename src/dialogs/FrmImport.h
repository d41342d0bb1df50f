#pragma once

#include "core/RecipientMapping.h"

#include <QDialog>
#include <QSet>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

// The mapping dialog of an import of recipients (frmImport): how the file is read (separator,
// encoding, header row), which column feeds each field, the first rows as they will become
// cards, the number of rows, and the rows that look wrong, each left out unless the user keeps
// it. It writes nothing: "Importer" accepts it, and rows() says what to import.
class FrmImport : public QDialog
{
    Q_OBJECT

public:
    // bytes: the file as RecipientFile::load read it, kept to be read again when the user
    // changes the separator or the encoding; fileName: what the heading calls it.
    FrmImport(const QByteArray &bytes, const QString &fileName, QWidget *parent = nullptr);

    // Why the file cannot be imported at all (a limit, nothing in it), in French; empty when it
    // can. The dialog is then not worth showing.
    QString fileProblem() const;

    // Every data row as the dialog shows it: flagged rows kept as the user chose, postcodes given
    // their zero back when the user agreed.
    const QList<RecipientRow> &rows() const { return mapped.rows; }
    const RecipientMapping &mapping() const { return currentMapping; }

    QLabel *summary = nullptr; // the file, its rows, how many will become cards
    QComboBox *separatorBox = nullptr;
    QComboBox *encodingBox = nullptr;
    QCheckBox *headerBox = nullptr;
    QComboBox *nameOrderBox = nullptr;
    std::array<QComboBox *, kColumnRoleCount> columnBoxes{}; // by ColumnRole: "(aucune)", then the columns
    QTableWidget *preview = nullptr;                         // the first rows as cards
    QListWidget *flaggedList = nullptr; // flagged rows (checked: imported all the same), then unreadable ones
    QCheckBox *restoreZeroBox = nullptr;
    QPushButton *importButton = nullptr;
    QPushButton *cancelButton = nullptr;

private:
    void build();
    // Reads the kept bytes again with the reading options chosen; newColumns: every column is
    // guessed afresh (another separator makes other columns).
    void readAgain(bool newColumns);
    // The boxes as the mapping has them.
    void showMapping();
    // Maps the rows again and shows them.
    void mapRows();
    void showPreview();
    void showFlagged();
    void showSummary();
    void keepRow(int line, bool keep);

    QByteArray bytes;
    QString fileName;
    RecipientTable table;
    RecipientMapping currentMapping;
    Recipients::Mapped mapped;
    // The flagged rows the user keeps, by line: the choice outlives a change of column.
    QSet<int> keptLines;
    // The roles whose column the user chose, and whether the header row was: another encoding
    // keeps these choices and guesses the rest again.
    QSet<int> chosenRoles;
    bool headerChosen = false;
    // Set while the boxes are filled from the mapping, so that filling them changes nothing.
    bool showing = false;
};
