#include "SpellingTestSupport.h"
#include "TestSupport.h"
#include "spelling/PersonalDictionary.h"
#include "spelling/SpellChecker.h"
#include "spelling/SpellDictionary.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestSpellChecker : public QObject
{
    Q_OBJECT

private:
    // The system's French dictionary, read once for every test that needs it (null without it).
    std::unique_ptr<SpellChecker> french;

    static QStringList misspelt(SpellChecker &checker, const QString &text)
    {
        QStringList words;
        for (const FrenchWords::Span &span : checker.misspellings(text))
            words << text.mid(span.start, span.length);
        return words;
    }

private slots:
    void initTestCase()
    {
        if (SpellingTest::systemFrench().isEmpty())
            return;
        french = std::make_unique<SpellChecker>();
        french->setDictionary(SpellDictionary::load(SpellingTest::systemFrench()));
    }

    void latin9DictionaryIsSpokenInItsEncoding()
    {
        QString error;
        auto dictionary = SpellDictionary::load(SpellingTest::dictionaryPath(u"latin9_FR"_s), &error);
        QVERIFY2(dictionary, qPrintable(error));
        QCOMPARE(dictionary->encoding(), u"ISO8859-15"_s);
        QVERIFY(dictionary->isCorrect(u"cœur"_s));
        QVERIFY(dictionary->isCorrect(u"été"_s));
        QVERIFY(!dictionary->isCorrect(u"coeur"_s));
        // A character Latin-9 has no place for is simply not a word of it.
        QVERIFY(!dictionary->isCorrect(u"ŝœur"_s));
        QVERIFY(dictionary->suggestions(u"cœr"_s).contains(u"cœur"_s));
    }

    void missingDictionaryIsAFrenchError()
    {
        QString error;
        QVERIFY(!SpellDictionary::load(u"/nonexistent/fr_FR.aff"_s, &error));
        QVERIFY2(error.contains(u"introuvable"_s), qPrintable(error));
    }

    void frenchDictionaryIsFoundInTheFolders()
    {
        QTemporaryDir first, second;
        const auto make = [](const QTemporaryDir &dir, const QString &name) {
            QuilloTest::writeBytes(dir.filePath(name + u".aff"_s), "SET UTF-8\n");
            QuilloTest::writeBytes(dir.filePath(name + u".dic"_s), "1\nmot\n");
        };
        QCOMPARE(SpellDictionary::findFrench({first.path(), second.path()}), QString());
        make(first, u"fr"_s);
        QCOMPARE(SpellDictionary::findFrench({first.path(), second.path()}), first.filePath(u"fr.aff"_s));
        // fr_FR wins over fr wherever it lies; an .aff without its .dic is no dictionary.
        make(second, u"fr_FR"_s);
        QCOMPARE(SpellDictionary::findFrench({first.path(), second.path()}), second.filePath(u"fr_FR.aff"_s));
        QFile::remove(second.filePath(u"fr_FR.dic"_s));
        QCOMPARE(SpellDictionary::findFrench({first.path(), second.path()}), first.filePath(u"fr.aff"_s));
    }

    void loadingInTheBackground()
    {
        SpellChecker checker;
        QCOMPARE(checker.state(), SpellChecker::State::NoDictionary);
        QVERIFY(checker.unavailableText().contains(u"hunspell-fr"_s));
        QTemporaryDir folder;
        for (const QString &suffix : {u".aff"_s, u".dic"_s}) {
            QVERIFY(QFile::copy(QFileInfo(SpellingTest::dictionaryPath(u"petit_FR"_s)).path() + u"/petit_FR"_s + suffix,
                                folder.filePath(u"fr_FR"_s + suffix)));
        }
        QSignalSpy stateChanges(&checker, &SpellChecker::stateChanged);
        checker.loadFrenchInBackground({folder.path()});
        QCOMPARE(checker.state(), SpellChecker::State::Loading);
        QVERIFY(!checker.isActive());
        QTRY_COMPARE(checker.state(), SpellChecker::State::Ready);
        QCOMPARE(stateChanges.count(), 2);
        QVERIFY(checker.unavailableText().isEmpty());
        QVERIFY(!checker.isCorrect(u"dosier"_s));

        // Nothing found: the state says what to install, and every word passes.
        SpellChecker without;
        without.loadFrenchInBackground({QDir(folder.path()).filePath(u"vide"_s)});
        without.waitForDictionary();
        QCOMPARE(without.state(), SpellChecker::State::NoDictionary);
        QVERIFY(without.isCorrect(u"dosier"_s));
        QVERIFY(without.misspellings(u"un dosier"_s).isEmpty());
    }

    void sentencesWithTheSmallDictionary()
    {
        SpellChecker checker;
        SpellingTest::useSmallDictionary(checker);
        QCOMPARE(misspelt(checker, u"Bonjour Madame, nous avons reçu votre dosier le 12 mars."_s),
                 (QStringList{u"dosier"_s, u"mars"_s}));
        // Elisions are cut, the word after them is checked, with either apostrophe.
        QCOMPARE(misspelt(checker, u"L'homme d’été a dit qu’il est à l'écolle aujourd’hui."_s),
                 QStringList{u"écolle"_s});
        // Capitals: a word of the dictionary may take them, an acronym must keep them.
        QCOMPARE(misspelt(checker, u"PORTE-MONNAIE Porte-monnaie porte-monnnaie ONU Onu onu"_s),
                 (QStringList{u"porte-monnnaie"_s, u"Onu"_s, u"onu"_s}));
    }

    void frenchSentences_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("misspelt");
        QTest::newRow("formula") << u"Je vous prie d'agréer, Madame, l'expression de mes salutations distinguées."_s
                                 << QStringList{};
        QTest::newRow("elisions and compounds")
            << u"Veuillez trouver ci-joint le dossier qu’il m’a remis aujourd’hui, lorsqu'il est passé."_s
            << QStringList{};
        QTest::newRow("compounds after elisions")
            << u"C'est-à-dire qu'est-ce que l'après-midi, vis-à-vis de Saint-Étienne, N/Réf. etc."_s << QStringList{};
        QTest::newRow("capitals as written") << u"L'ÉCOLE MUNICIPALE, ECOLE"_s << QStringList{u"ECOLE"_s};
        QTest::newRow("addresses and numbers")
            << u"Écrivez à contact@quillane.fr avant le 1er mars 2025 (www.quillane.fr)."_s << QStringList{};
        QTest::newRow("typing errors") << u"Nous avons bien recu votre courier du 3 juin et vous en remercions."_s
                                       << QStringList{u"recu"_s, u"courier"_s};
    }

    void frenchSentences()
    {
        if (!french)
            QSKIP(SpellingTest::noSystemFrench());
        QFETCH(QString, text);
        QFETCH(QStringList, misspelt);
        QCOMPARE(this->misspelt(*french, text), misspelt);
    }

    void suggestionsForCommonMisspellings_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing accent") << u"sincerement"_s << u"sincèrement"_s;
        QTest::newRow("straight apostrophe kept") << u"aujourd'hiu"_s << u"aujourd'hui"_s;
        QTest::newRow("many candidates") << u"ommes"_s << u"hommes"_s;
    }

    void suggestionsForCommonMisspellings()
    {
        if (!french)
            QSKIP(SpellingTest::noSystemFrench());
        QFETCH(QString, word);
        QFETCH(QString, expected);
        QVERIFY(!french->isCorrect(word));
        const QStringList suggestions = french->suggestions(word);
        QVERIFY2(suggestions.contains(expected), qPrintable(suggestions.join(u", "_s)));
        QVERIFY(suggestions.size() <= 7);
        QVERIFY(!suggestions.contains(word));
    }

    void ignoredWordsLastTheSession()
    {
        SpellChecker checker;
        SpellingTest::useSmallDictionary(checker);
        QSignalSpy changes(&checker, &SpellChecker::wordsChanged);
        QVERIFY(!checker.isCorrect(u"Quillane"_s));
        checker.ignore(u"Quillane"_s);
        QCOMPARE(changes.count(), 1);
        QVERIFY(checker.isIgnored(u"Quillane"_s));
        QVERIFY(checker.isCorrect(u"Quillane"_s));
        QVERIFY(checker.isCorrect(u"QUILLANE"_s));
        QVERIFY(!checker.isCorrect(u"Quilane"_s));
        checker.ignore(u"Quillane"_s);
        QCOMPARE(changes.count(), 1);
        // Another session starts without it.
        SpellChecker next;
        SpellingTest::useSmallDictionary(next);
        QVERIFY(!next.isCorrect(u"Quillane"_s));
    }

    void personalWordListRoundTrip()
    {
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(PersonalDictionary::fileName());
        SpellChecker checker;
        SpellingTest::useSmallDictionary(checker);
        QVERIFY(checker.setPersonalDictionary(path));
        QSignalSpy changes(&checker, &SpellChecker::wordsChanged);
        QString error;
        QVERIFY2(checker.addToPersonalDictionary(u"Quillane"_s, &error), qPrintable(error));
        QVERIFY2(checker.addToPersonalDictionary(u"Kerouël"_s, &error), qPrintable(error));
        QCOMPARE(changes.count(), 2);
        QVERIFY(checker.isCorrect(u"Kerouël"_s));
        QCOMPARE(QuilloTest::readBytes(path), QByteArray("Quillane\r\nKerou\xC3\xABl\r\n"));

        // Another running copy adds a word meanwhile: the next addition keeps it.
        PersonalDictionary other(path);
        QVERIFY(other.load());
        QVERIFY(other.add(u"Brocéliande"_s));
        QVERIFY(checker.addToPersonalDictionary(u"aujourd’hui"_s));
        // Already there under the other apostrophe, and a non-word: nothing written.
        QVERIFY(checker.addToPersonalDictionary(u"aujourd'hui"_s));
        QVERIFY(!checker.addToPersonalDictionary(u"deux mots"_s, &error));
        QVERIFY(error.contains(u"un mot à la fois"_s));

        // The next start reads the list back, and the dictionary learns it.
        SpellChecker next;
        SpellingTest::useSmallDictionary(next);
        QVERIFY(next.setPersonalDictionary(path));
        QCOMPARE(next.personalDictionary().words(),
                 (QStringList{u"Quillane"_s, u"Kerouël"_s, u"Brocéliande"_s, u"aujourd’hui"_s}));
        QVERIFY(next.isCorrect(u"Brocéliande"_s));
        QVERIFY(next.isCorrect(u"QUILLANE"_s));
    }

    void personalWordListReadsHandWrittenFiles()
    {
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(PersonalDictionary::fileName());
        // A list kept by hand: a byte-order mark, blank lines, spaces, a lone LF.
        QuilloTest::writeBytes(path, "\xEF\xBB\xBFQuillane\r\n\r\n  Kerou\xC3\xABl \nQuillane\n");
        PersonalDictionary list(path);
        QVERIFY(list.load());
        QCOMPARE(list.words(), (QStringList{u"Quillane"_s, u"Kerouël"_s}));
    }

    // The file kept as it was and the message are the fault suite's; here the checker's part.
    void personalWordListWriteFailure()
    {
        QuilloTest::TempProgramFolder folder;
        const QString path = folder.filePath(PersonalDictionary::fileName());
        QVERIFY(QDir(folder.path()).mkdir(PersonalDictionary::fileName())); // a folder in the file's place
        SpellChecker checker;
        SpellingTest::useSmallDictionary(checker);
        checker.setPersonalDictionary(path);
        QString error;
        QVERIFY(!checker.addToPersonalDictionary(u"Kerouël"_s, &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)) && error.contains(u"Kerouël"_s), qPrintable(error));
        QVERIFY(checker.isCorrect(u"Kerouël"_s)); // accepted for the session all the same
    }
};

QUILLO_TEST_MAIN(TestSpellChecker)
#include "tst_SpellChecker.moc"
