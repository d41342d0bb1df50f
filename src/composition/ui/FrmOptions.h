#pragma once

#include <QDialog>

#include <array>
#include <map>
#include <optional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabBar;

// The reference-lists dialog: adds, modifies and deletes the entries of the six lists that feed
// the wizard's boxes. Every change is written at once, so nothing is lost if the program stops;
// "Ok" keeps the changes and reloads the wizard's boxes, "Annuler" (or closing the window) puts
// every list file back as it was when the dialog opened. The dialog is created at each opening
// and destroyed at each closing, so it always starts on its first tab with the files as they are.
class FrmOptions : public QDialog
{
    Q_OBJECT

public:
    // The dialog, created and loaded when it is not open already.
    static FrmOptions *instance();
    // The open dialog, or nullptr; never creates it.
    static FrmOptions *existing();

    ~FrmOptions() override;

    // The file whose entries the list shows, remembered even when it could not be read, so that
    // the next change creates it.
    QString currentListFile() const { return listFile; }

    QTabBar *listTabs = nullptr;                // Tab1: " Fonctions " to " Formules "
    QComboBox *formulaPart = nullptr;           // Combo1: first or second part of the politeness formula
    QLineEdit *word = nullptr;                  // Text1: the word being added or edited
    QListWidget *entries = nullptr;             // List1: the entries of the list shown
    std::array<QPushButton *, 3> editButtons{}; // Outils: "Ajouter", "Modifier", "Supprimer"
    std::array<QPushButton *, 2> buttons{};     // Bouton: "Ok", "Annuler"

    // "Annuler": the list files changed since the opening are put back as they were (a file
    // that did not exist is removed again), then the dialog closes.
    void reject() override;

private:
    // What a change may have to put back when its file cannot be written.
    struct Snapshot
    {
        QStringList entries;
        int selectedRow = -1;
        QString word;
    };

    FrmOptions();
    void build();
    void load();
    void selectTab(int index);
    void loadList(const QString &path);
    int selectedRow() const;
    Snapshot snapshot() const;
    void restore(const Snapshot &before);
    // Writes the list to its file; when that fails, tells the user, naming the file, and puts
    // the list and the word back as they were before the change.
    bool saveList(const Snapshot &before);
    void copySelectedEntry();
    // Keeps the file's content as it is before its first change, for "Annuler".
    void keepOriginal(const QString &path);

    void addWord();
    void modifyEntry();
    void deleteEntry();

    QString listFile;
    // The content of each list file before the dialog first changed it; no value: there was no
    // such file.
    std::map<QString, std::optional<QByteArray>> originals;
    // The current file exists but could not be read: saving the list would wipe its entries.
    bool listLocked = false;
    // Set while the dialog itself changes the list, so that its selection is not copied.
    bool updating = false;
};
