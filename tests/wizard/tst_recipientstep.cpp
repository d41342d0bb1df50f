// Step 2's two modes: the single card and the batch list of every recipient card, with the
// step-5 buttons each mode allows.
#include "TestSupport.h"
#include "core/DataPaths.h"
#include "wizard/Fiches.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

void writeRecipient(const QString &fileName, const QByteArray &lines)
{
    QuilloTest::writeBytes(QDir(DataPaths::recipientsFolder()).filePath(fileName + u".ini"_s), lines);
}

QStringList column(const QTreeWidget *list, int index)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts.append(list->topLevelItem(row)->text(index));
    return texts;
}

QList<int> selectedRows(const QTreeWidget *list)
{
    QList<int> rows;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        if (list->topLevelItem(row)->isSelected())
            rows.append(row);
    }
    return rows;
}

QList<int> enabledFinalButtons(const FrmMenu *menu)
{
    QList<int> enabled;
    for (int i = 0; i < int(menu->finalButtons.size()); ++i) {
        if (menu->finalButtons[i]->isEnabled())
            enabled.append(i);
    }
    return enabled;
}

} // namespace

class TestRecipientStep : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;
    FrmMenu *menu = nullptr;
    QTabBar *tabs = nullptr;
    QTreeWidget *list = nullptr;

    void clickTab(int index)
    {
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
        QCOMPARE(tabs->currentIndex(), index);
    }

    void clickHeader(int section)
    {
        QHeaderView *header = list->header();
        const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    // The right button's press comes to the list as a context-menu request.
    void rightClick(const QPoint &at)
    {
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &event);
    }

    QPoint rowCentre(int row) const { return list->visualItemRect(list->topLevelItem(row)).center(); }

    void writeThreeCards()
    {
        writeRecipient(u"Carole"_s,
                       "Carole Petit\r\n3 rue C\r\nBât. A\r\n13001 Marseille\r\nFrance\r\nMadame\r\nMaire\r\n");
        writeRecipient(u"alain"_s, "Alain Grand\r\n1 rue A\r\n\r\n75001 Paris\r\n\r\nMonsieur\r\nPréfet\r\n");
        writeRecipient(u"Bruno"_s, "Bruno Moyen\r\n2 rue B\r\n\r\n69001 Lyon\r\nFrance\r\nM.\r\nDirecteur\r\n");
    }

private slots:
    void init()
    {
        folder = std::make_unique<QuilloTest::TempProgramFolder>();
        EtapeCourante = 0;
        CurrentModelName.clear();
        Main();
        menu = FrmMenu::existing();
        tabs = menu->findChild<QTabBar *>(u"Tab1"_s);
        list = menu->findChild<QTreeWidget *>(u"List1"_s);
        QVERIFY(tabs && list);
        menu->Affiche_Etape(1);
    }

    void cleanup()
    {
        CurrentModelName.clear();
        menu = nullptr;
        const QStringList leftovers = QuilloTest::closeAllWindows();
        folder.reset();
        QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(u", "_s)));
    }

    void batchModeListsEveryCardWithTheFirstRowSelected()
    {
        QVERIFY(!list->isVisible());
        // A single letter can be previewed, edited and exported without a model.
        QCOMPARE(enabledFinalButtons(menu), (QList<int>{0, 1, 2, 3, 4, 5, 6}));
        writeThreeCards();
        clickTab(1);
        QVERIFY(list->isVisible() && !menu->recipientCard->isVisible());
        QCOMPARE(menu->findChild<QLabel *>(u"LabelB_3"_s)->text(), u"Liste des fiches destinataires :"_s);
        QCOMPARE(menu->findChild<QLabel *>(u"Label2_7"_s)->text(),
                 u"Pour une création simple utilisez le mode [ Edition simple ]"_s);
        // Rows in the order of the file names (alain, Bruno, Carole), each under its first line.
        QCOMPARE(column(list, 0), (QStringList{u"Alain Grand"_s, u"Bruno Moyen"_s, u"Carole Petit"_s}));
        QStringList carole;
        for (int i = 0; i < list->columnCount(); ++i)
            carole << list->topLevelItem(2)->text(i);
        QCOMPARE(carole, (QStringList{u"Carole Petit"_s, u"3 rue C"_s, u"Bât. A"_s, u"13001 Marseille"_s, u"France"_s,
                                      u"Madame"_s, u"Maire"_s}));
        QCOMPARE(selectedRows(list), QList<int>{0});
        QVERIFY(!list->toolTip().isEmpty());
        QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(enabledFinalButtons(menu), (QList<int>{3, 6})); // the editor, PDF files

        // Back to single mode: every final action again.
        clickTab(0);
        QVERIFY(menu->recipientCard->isVisible());
        QCOMPARE(menu->findChild<QLabel *>(u"Label2_7"_s)->text(),
                 u"Pour une création par lot utilisez le mode [ Edition multiple ]"_s);
        QCOMPARE(enabledFinalButtons(menu), (QList<int>{0, 1, 2, 3, 4, 5, 6}));
    }

    void anEmptyFolderGivesNoRowNoTipAndNoMenu()
    {
        clickTab(1);
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(list->selectedItems().isEmpty());
        QVERIFY(list->toolTip().isEmpty());
        rightClick(QPoint(20, 20));
        QVERIFY(!menu->Mnu_Selection->isVisible());
    }

    void rightClickOffersSelectAllAndNone()
    {
        writeThreeCards();
        clickTab(1);
        rightClick(rowCentre(1));
        QTRY_VERIFY(menu->Mnu_Selection->isVisible());
        menu->Mnu_Selection->hide();
        menu->Mnu_OutSelection[0]->trigger();
        QCOMPARE(selectedRows(list), (QList<int>{0, 1, 2}));
        menu->Mnu_OutSelection[2]->trigger();
        QVERIFY(selectedRows(list).isEmpty());
    }

    void doubleClickCopiesTheRowIntoSingleMode()
    {
        writeThreeCards();
        menu->recipientName->setEditText(u"Quelqu'un"_s);
        clickTab(1);
        // A double click as the window system delivers it: press, release, then the double click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(1));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowCentre(1));
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(menu->recipientCard->isVisible());
        QVERIFY(!list->isVisible());
        QStringList card{menu->recipientName->currentText()};
        for (QLineEdit *field : menu->recipientFields)
            card << field->text();
        card << menu->recipientQualifier->currentText() << menu->recipientFunction->currentText();
        QCOMPARE(card, (QStringList{
                           u"Bruno Moyen"_s, u"2 rue B"_s, {}, u"69001 Lyon"_s, u"France"_s, u"M."_s, u"Directeur"_s}));
        QCOMPARE(enabledFinalButtons(menu), (QList<int>{0, 1, 2, 3, 4, 5, 6}));
        // The copied card can be saved from there.
        QVERIFY(menu->recipientButtons[0]->isEnabled());
    }

    void enterOnARowDoesWhatADoubleClickDoes()
    {
        writeThreeCards();
        clickTab(1);
        list->setCurrentItem(list->topLevelItem(2));
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(menu->recipientName->currentText(), u"Carole Petit"_s);
    }

    void headerClickSortsAndASecondClickReverses()
    {
        writeThreeCards();
        clickTab(1);
        clickHeader(3); // "CP + Ville"
        QCOMPARE(column(list, 3), (QStringList{u"13001 Marseille"_s, u"69001 Lyon"_s, u"75001 Paris"_s}));
        clickHeader(3);
        QCOMPARE(column(list, 3), (QStringList{u"75001 Paris"_s, u"69001 Lyon"_s, u"13001 Marseille"_s}));
        clickHeader(3);
        QCOMPARE(column(list, 3), (QStringList{u"13001 Marseille"_s, u"69001 Lyon"_s, u"75001 Paris"_s}));
        // Another column starts ascending again; letter case and accents do not split the order.
        clickHeader(6); // "Fonction": Directeur, Maire, Préfet
        QCOMPARE(column(list, 6), (QStringList{u"Directeur"_s, u"Maire"_s, u"Préfet"_s}));
        clickHeader(0);
        QCOMPARE(column(list, 0), (QStringList{u"Alain Grand"_s, u"Bruno Moyen"_s, u"Carole Petit"_s}));
        // The selection follows its card through the sorts.
        QCOMPARE(list->selectedItems().size(), 1);
        QCOMPARE(list->selectedItems().first()->text(0), u"Alain Grand"_s);
    }

    void reenteringBatchModeRebuildsTheListAndKeepsTheCard()
    {
        writeThreeCards();
        menu->recipientFields[0]->setText(u"tapé à la main"_s);
        clickTab(1);
        clickHeader(0);
        clickHeader(0); // descending
        menu->Mnu_OutSelection[0]->trigger();
        clickTab(0);
        QCOMPARE(menu->recipientFields[0]->text(), u"tapé à la main"_s);
        writeRecipient(u"Denis"_s, "Denis Bas\r\n\r\n\r\n\r\n\r\nMonsieur\r\nMaire\r\n");
        clickTab(1);
        QCOMPARE(column(list, 0), (QStringList{u"Alain Grand"_s, u"Bruno Moyen"_s, u"Carole Petit"_s, u"Denis Bas"_s}));
        QCOMPARE(selectedRows(list), QList<int>{0});
        // A fresh list sorts ascending on its first header click.
        clickHeader(0);
        QCOMPARE(column(list, 0).first(), u"Alain Grand"_s);
    }

    void batchModeFocusesTheList()
    {
        writeThreeCards();
        clickTab(1);
        menu->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(menu));
        menu->Affiche_Etape(0);
        menu->nextButton->click(); // to step 2, whose first field in batch mode is the list
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(list));
    }
};

QUILLO_TEST_MAIN(TestRecipientStep)
#include "tst_recipientstep.moc"
