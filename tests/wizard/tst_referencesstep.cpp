// Step 3: the worded date forms, the date picker and its tick box, " Pas d'objet" and the
// random politeness formula.
#include "TestSupport.h"
#include "core/Clock.h"
#include "core/DateForms.h"
#include "wizard/Fonctions.h"
#include "wizard/FrmMenu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

using QuilloTest::itemsOf;

namespace {
QStringList numbered(const QString &stem, int count)
{
    QStringList items;
    for (int i = 0; i < count; ++i)
        items.append(u"%1 %2"_s.arg(stem).arg(i, 2, 10, QChar(u'0')));
    return items;
}
} // namespace

class TestReferencesStep : public QObject
{
    Q_OBJECT

    std::unique_ptr<QuilloTest::TempProgramFolder> folder;
    FrmMenu *menu = nullptr;

    template <typename T> T *widget(const QString &name)
    {
        T *found = menu->findChild<T *>(name);
        if (!found)
            qFatal("no widget %s", qPrintable(name));
        return found;
    }

private slots:
    void init()
    {
        // Monday 3 March 2025.
        Clock::setFixed(QDateTime(QDate(2025, 3, 3), QTime(9, 30)));
        folder = std::make_unique<QuilloTest::TempProgramFolder>();
        EtapeCourante = 0;
        Main();
        menu = FrmMenu::existing();
        menu->Affiche_Etape(2);
    }

    void cleanup()
    {
        Clock::reset();
        menu = nullptr;
        const QStringList leftovers = QuilloTest::closeAllWindows();
        folder.reset();
        QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(u", "_s)));
    }

    void todaysFormsAtStart_theConventionalOneChosen()
    {
        const QStringList forms = {
            u"le 3 mars 2025"_s,   u"lundi 3 mars 2025"_s, u"lundi 3 mars 25"_s,
            u"lundi 03/03/2025"_s, u"lundi 03/03/25"_s,    u"lundi 03-03-2025"_s,
            u"lundi 03-03-25"_s,   u"lundi 03.03.2025"_s,  u"lundi 03.03.25"_s,
        };
        auto *box = widget<QComboBox>(u"Combo3_0"_s);
        QCOMPARE(itemsOf(box), forms);
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(menu->letterDate->date(), QDate(2025, 3, 3));
        QVERIFY(!menu->letterDate->isEnabled());
    }

    void wordedFormsUseFrenchNamesWhateverTheDay_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("conventional");
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("ninth");
        QTest::newRow("sunday, August") << QDate(2024, 8, 25) << u"le 25 août 2024"_s << u"dimanche 25 août 24"_s
                                        << u"dimanche 25.08.24"_s;
        QTest::newRow("first day") << QDate(2025, 2, 1) << u"le 1er février 2025"_s << u"samedi 1 février 25"_s
                                   << u"samedi 01.02.25"_s;
        QTest::newRow("December, year 3000") << QDate(3000, 12, 31) << u"le 31 décembre 3000"_s
                                             << u"mercredi 31 décembre 00"_s << u"mercredi 31.12.00"_s;
    }

    void wordedFormsUseFrenchNamesWhateverTheDay()
    {
        QFETCH(QDate, date);
        QFETCH(QString, third);
        QFETCH(QString, ninth);
        const QStringList forms = DateForms::worded(date, DateForms::shortText(date));
        QCOMPARE(forms.size(), 9);
        QTEST(forms[0], "conventional");
        QCOMPARE(forms[2], third);
        QCOMPARE(forms[8], ninth);
        QVERIFY(forms[1].startsWith(third.section(u' ', 0, 0)));
        QCOMPARE(forms[1], forms[1].toLower());
    }

    void everyFormIsRecognisedBack_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::newRow("first of the month") << QDate(2025, 3, 1);
        QTest::newRow("sunday, August") << QDate(2024, 8, 25);
        QTest::newRow("last century") << QDate(1999, 12, 31);
    }

    void everyFormIsRecognisedBack()
    {
        QFETCH(QDate, date);
        const QStringList forms = DateForms::worded(date, DateForms::shortText(date));
        for (int form = 0; form < forms.size(); ++form) {
            int found = -1;
            QCOMPARE(DateForms::recognise(forms[form], &found), date);
            QCOMPARE(found, form);
        }
    }

    void textsThatAreNoFormAreNotRecognised()
    {
        for (const QString &text :
             {u"le 3 mars"_s, QString(), u"mardi 03/03/2025"_s, u"lundi 31/02/2025"_s, u"Lyon, le 3 mars 2025"_s})
            QVERIFY2(!DateForms::recognise(text).isValid(), qPrintable(text));
    }

    void dateInWordsForASentence()
    {
        QCOMPARE(DateForms::inWords(QDate(2026, 12, 2)), u"2 décembre 2026"_s);
        QCOMPARE(DateForms::inWords(QDate(2025, 3, 1)), u"1er mars 2025"_s);
        QCOMPARE(DateForms::inWords(QDate()), QString());
    }

    void aNewDateShowsItsFirstFormAndDefaultRestoresToday()
    {
        auto *box = widget<QComboBox>(u"Combo3_0"_s);
        box->setCurrentIndex(3);
        auto *tick = widget<QCheckBox>(u"Check1_0"_s);
        tick->click();
        QVERIFY(menu->letterDate->isEnabled());
        menu->letterDate->setDate(QDate(2025, 5, 5)); // as the picker does when the user picks
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(box->currentText(), u"le 5 mai 2025"_s);
        QCOMPARE(box->itemText(3), u"lundi 05/05/2025"_s);

        box->setCurrentIndex(5);
        widget<QPushButton>(u"Outils3_0"_s)->click(); // "Par défaut"
        QCOMPARE(menu->letterDate->date(), QDate(2025, 3, 3));
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(box->currentText(), u"le 3 mars 2025"_s);
        tick->click();
        QVERIFY(!menu->letterDate->isEnabled());
    }

    void aDateOutsideThePickersRangeIsNotWorded()
    {
        // The picker keeps its range; the forms say what it shows.
        menu->Liste_Formats_Date(u"01/01/1985"_s);
        QCOMPARE(menu->letterDate->date(), QDate(1990, 1, 1));
        QCOMPARE(menu->dateFormats->itemText(3), u"lundi 01/01/1990"_s);
        // Something that is no date changes nothing.
        menu->Liste_Formats_Date(u"pas une date"_s);
        QCOMPARE(menu->letterDate->date(), QDate(1990, 1, 1));
        QCOMPARE(menu->dateFormats->count(), 9);
    }

    void noObjectGreysTheObjectWithoutClearingIt()
    {
        auto *noObject = widget<QCheckBox>(u"Check1_1"_s);
        menu->object->setEditText(u"Demande de congé"_s);
        noObject->click();
        QVERIFY(!menu->object->isEnabled());
        QCOMPARE(menu->object->currentText(), u"Demande de congé"_s);
        noObject->click();
        QVERIFY(menu->object->isEnabled());
        QCOMPARE(menu->object->currentText(), u"Demande de congé"_s);
    }

    // Each box draws evenly and apart from the other; a box of one entry gives it, an empty one
    // stays empty, and an empty first box draws nothing at all.
    void randomFormulaDrawsEveryEntryEvenlyAndApart()
    {
        auto *draw = widget<QPushButton>(u"Outils3_1"_s);
        menu->formulaSecond->addItems(numbered(u"Deuxième"_s, 3));
        menu->formulaSecond->setCurrentIndex(-1);
        draw->click();
        QCOMPARE(menu->formulaFirst->currentIndex(), -1);
        QCOMPARE(menu->formulaSecond->currentIndex(), -1);

        menu->formulaFirst->addItems(numbered(u"Première"_s, 4));
        std::array<int, 4> first{};
        std::array<int, 3> second{};
        int same = 0;
        for (int i = 0; i < 1200; ++i) {
            draw->click();
            const int a = menu->formulaFirst->currentIndex();
            const int b = menu->formulaSecond->currentIndex();
            QVERIFY(a >= 0 && a < 4 && b >= 0 && b < 3);
            ++first[size_t(a)];
            ++second[size_t(b)];
            same += a == b;
        }
        for (const int count : first) // 300 expected
            QVERIFY2(count >= 200 && count <= 400, qPrintable(QString::number(count)));
        for (const int count : second) // 400 expected
            QVERIFY2(count >= 290 && count <= 510, qPrintable(QString::number(count)));
        // Independent halves agree one time in four.
        QVERIFY2(same >= 200 && same <= 400, qPrintable(QString::number(same)));

        menu->formulaSecond->clear();
        menu->formulaSecond->addItem(u"Seule"_s);
        draw->click();
        QCOMPARE(menu->formulaSecond->currentText(), u"Seule"_s);
        menu->formulaSecond->clear();
        draw->click();
        QVERIFY(menu->formulaFirst->currentIndex() >= 0);
        QCOMPARE(menu->formulaSecond->currentIndex(), -1);
    }
};

QUILLO_TEST_MAIN(TestReferencesStep)
#include "tst_referencesstep.moc"
