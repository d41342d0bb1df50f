#include "TestSupport.h"
#include "spelling/FrenchWords.h"

using namespace Qt::StringLiterals;

class TestFrenchWords : public QObject
{
    Q_OBJECT

private slots:
    void words_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("politeness formula") << u"Je vous prie d'agréer, Madame, mes salutations distinguées."_s
                                            << QStringList{u"Je"_s,     u"vous"_s, u"prie"_s,        u"agréer"_s,
                                                           u"Madame"_s, u"mes"_s,  u"salutations"_s, u"distinguées"_s};
        QTest::newRow("every elided form, straight apostrophe")
            << u"l'homme d'été qu'il j'ai n'a s'y c'est m'a t'a jusqu'à lorsqu'on puisqu'elle"_s
            << QStringList{u"homme"_s, u"été"_s, u"il"_s, u"ai"_s, u"a"_s,  u"y"_s,
                           u"est"_s,   u"a"_s,   u"a"_s,  u"à"_s,  u"on"_s, u"elle"_s};
        QTest::newRow("typographic apostrophe and capitals")
            << u"L’ÉCOLE d’été QU’IL Lorsqu’il"_s << QStringList{u"ÉCOLE"_s, u"été"_s, u"IL"_s, u"il"_s};
        QTest::newRow("apostrophes that belong to their word")
            << u"aujourd'hui quelqu’un presqu'île"_s << QStringList{u"aujourd'hui"_s, u"quelqu’un"_s, u"presqu'île"_s};
        QTest::newRow("elisions in a row") << u"qu'aujourd'hui"_s << QStringList{u"aujourd'hui"_s};
        QTest::newRow("elision before a space") << u"l' homme"_s << QStringList{u"homme"_s};
        QTest::newRow("quotes are not apostrophes")
            << u"« Bonjour » (madame) 'mot' “essai”"_s << QStringList{u"Bonjour"_s, u"madame"_s, u"mot"_s, u"essai"_s};
        QTest::newRow("hyphenated words stay whole")
            << u"porte-monnaie, dit-il, a-t-il, Jean-Pierre"_s
            << QStringList{u"porte-monnaie"_s, u"dit-il"_s, u"a-t-il"_s, u"Jean-Pierre"_s};
        QTest::newRow("dashes are not hyphens")
            << u"oui - non -- peut-être- -fin"_s << QStringList{u"oui"_s, u"non"_s, u"peut-être"_s, u"fin"_s};
        QTest::newRow("numbers left out")
            << u"le 12 mars 2024, 1er étage, 3e, A4, 12h30, 1ᵉʳ"_s << QStringList{u"le"_s, u"mars"_s, u"étage"_s};
        QTest::newRow("addresses left out")
            << u"Écrire à jean.dupont@exemple.fr ou sur https://www.quillane.fr/aide, (www.exemple.com) "
               u"et service-public.gouv.fr."_s
            << QStringList{u"Écrire"_s, u"à"_s, u"ou"_s, u"sur"_s, u"et"_s};
        QTest::newRow("a missing space is no address")
            << u"fin.de phrase"_s << QStringList{u"fin"_s, u"de"_s, u"phrase"_s};
        QTest::newRow("no-break spaces separate")
            << u"Madame\u00A0: oui\u202F!"_s << QStringList{u"Madame"_s, u"oui"_s};
        QTest::newRow("soft hyphen inside a word") << u"ex\u00ADemple"_s << QStringList{u"ex\u00ADemple"_s};
        QTest::newRow("nothing to check") << u" 12, ... — !"_s << QStringList{};
    }

    void words()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QStringList found;
        for (const FrenchWords::Span &span : FrenchWords::words(text))
            found << text.mid(span.start, span.length);
        QCOMPARE(found, expected);
    }

    void wordAt_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("expected");
        // "Bonjour l'homme, 12 fois."
        QTest::newRow("start of text") << 0 << u"Bonjour"_s;
        QTest::newRow("just after the last letter") << 7 << u"Bonjour"_s;
        QTest::newRow("on the elided article") << 8 << QString();
        QTest::newRow("inside the word after it") << 12 << u"homme"_s;
        QTest::newRow("before the comma") << 15 << u"homme"_s;
        QTest::newRow("on a number") << 18 << QString();
        QTest::newRow("past the end") << 40 << QString();
    }

    void wordAt()
    {
        QFETCH(int, offset);
        QFETCH(QString, expected);
        const QString text = u"Bonjour l'homme, 12 fois."_s;
        const FrenchWords::Span span = FrenchWords::wordAt(text, offset);
        QCOMPARE(span.isValid() ? text.mid(span.start, span.length) : QString(), expected);
    }

    void formsForComparison()
    {
        QCOMPARE(FrenchWords::checkedForm(u"ex\u00ADemple porte\u2011monnaie l\u02BCan aujourd’hui"_s),
                 u"exemple porte-monnaie l'an aujourd’hui"_s);
        QCOMPARE(FrenchWords::listForm(u"aujourd’hui"_s), u"aujourd'hui"_s);
    }
};

QUILLO_TEST_MAIN(TestFrenchWords)
#include "tst_FrenchWords.moc"
