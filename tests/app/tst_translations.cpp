#include "TestSupport.h"

#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>

using namespace Qt::StringLiterals;

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void standardButtonsSpeakFrench()
    {
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + u"/qtbase_fr.qm"_s))
            QSKIP("Qt's French translations are not installed (package qt6-translations-l10n).");
        // One of Qt's own texts is enough to show its French translation is installed.
        QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Yes)->text().remove(u'&'), u"Oui"_s);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(u'&'), u"Annuler"_s);
    }

    void datesAreFrenchWhateverTheHost()
    {
        QCOMPARE(QLocale().language(), QLocale::French);
        QCOMPARE(QLocale().toString(QDate(2025, 3, 3), QLocale::LongFormat), u"lundi 3 mars 2025"_s);
    }
};

QUILLO_TEST_MAIN(TestTranslations)
#include "tst_translations.moc"
