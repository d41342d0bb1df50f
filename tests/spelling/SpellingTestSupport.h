#pragma once

#include "spelling/SpellChecker.h"
#include "spelling/SpellDictionary.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The small dictionaries of tests/data/spelling, so that most spelling tests run on a machine
// without the French dictionary: petit_FR (UTF-8, some forty words of letters) and latin9_FR
// (ISO8859-15: cœur, été, œuvre, sœur).
namespace SpellingTest {

inline QString dictionaryPath(const QString &name)
{
    return QStringLiteral(QUILLO_TEST_DATA_DIR "/spelling/") + name + u".aff"_s;
}

// A checker on the small dictionary, with no personal word list file.
inline void useSmallDictionary(SpellChecker &checker)
{
    QString error;
    checker.setDictionary(SpellDictionary::load(dictionaryPath(u"petit_FR"_s), &error));
    QVERIFY2(checker.isAvailable(), qPrintable(error));
}

// The system's French dictionary, or an empty path (the caller skips, saying why).
inline QString systemFrench()
{
    return SpellDictionary::findFrench();
}

inline const char *noSystemFrench()
{
    return "No French Hunspell dictionary on this machine (Debian package hunspell-fr).";
}

} // namespace SpellingTest
