#pragma once

#include "conversion/OldVersionFiles.h"

#include <QMainWindow>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;

// The conversion window: the user picks the previous version's "Fichiers" folder, whose cards
// and lists are read into the lists on screen (import, repeatable: each import appends), then
// writes them out in the letter assistant's layout (conversion), and may start the letter
// assistant at the end.
class FrmConvert : public QMainWindow
{
    Q_OBJECT

public:
    // The one conversion window of the process, created (and loaded) on first use.
    static FrmConvert *instance();
    static FrmConvert *existing();

    // How the letter assistant is started; tests put a recorder in its place. The starter gets
    // the executable's path and answers whether the program could be started.
    using Starter = std::function<bool(const QString &program)>;
    static void setStarter(Starter starter); // an empty starter brings back the real one
    // The letter assistant's executable, beside this program's.
    static QString quilloExecutable();

    // The source folder chosen last, ending with a separator; empty until then.
    QString sourceFolder() const { return source; }

    // "Dossier": asks for the old folder and imports it.
    void chooseFolder();
    // Imports a folder (already ending with a separator) and appends what it holds to the lists.
    void importFolder(const QString &folder);
    // "Conversion": writes the lists on screen; then starts the letter assistant and closes when
    // the box is ticked.
    void convert();

    // What the lists on screen hold, as the conversion reads them.
    OldVersion::Data dataOnScreen() const;

    QTabWidget *tabs = nullptr;                               // Tab1: the four pages Fond 1 to 4
    QTreeWidget *senderList = nullptr;                        // List1
    QTreeWidget *recipientList = nullptr;                     // List2
    std::array<QListWidget *, OldVersion::ListCount> lists{}; // List3 to List8
    QCheckBox *startQuillo = nullptr;                         // Check1
    QLabel *statusText = nullptr;                             // STB1
    QPushButton *folderButton = nullptr;                      // Bouton 0
    QPushButton *convertButton = nullptr;                     // Bouton 1
    QPushButton *quitButton = nullptr;                        // Bouton 2

private:
    FrmConvert();
    void load();
    void appendCards(QTreeWidget *view, const QList<OldVersion::Card> &cards);

    QString source;
    // The lists whose old file one of the imports found.
    std::array<bool, OldVersion::ListCount> listsFound{};
};
