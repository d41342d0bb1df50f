#include "TestSupport.h"
#include "composition/LetterAssembly.h"
#include "core/DataPaths.h"
#include "core/QuilloError.h"

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

using namespace Qt::StringLiterals;

namespace {

LetterFields fieldsWith(std::initializer_list<std::pair<const char16_t *, QString>> values)
{
    LetterFields f;
    for (const auto &[name, value] : values) {
        for (int i = 0; i < LetterFields::Count; ++i) {
            if (LetterFields::placeholders()[size_t(i)] == QStringView(name))
                f[i] = value;
        }
    }
    return f;
}

LetterFields everyField()
{
    LetterFields f;
    for (int i = 0; i < LetterFields::Count; ++i)
        f[i] = u"Valeur %1"_s.arg(i + 1);
    return f;
}

// Whether every character of the first occurrence of text is bold.
std::optional<bool> isBold(QTextDocument &doc, const QString &text)
{
    const QTextCursor match = doc.find(text, 0, QTextDocument::FindCaseSensitively);
    if (match.isNull())
        return std::nullopt;
    QTextCursor c(&doc);
    for (int pos = match.selectionStart() + 1; pos <= match.selectionEnd(); ++pos) {
        c.setPosition(pos);
        if (c.charFormat().fontWeight() < QFont::Bold)
            return false;
    }
    return true;
}

// A letter with every field filled: its text has no empty line.
WizardValues fullLetter()
{
    WizardValues w;
    w.senderName = u"Jean Martin"_s;
    w.senderAddress = u"12 rue des Lilas"_s;
    w.senderResidence = u"Résidence Les Tilleuls"_s;
    w.senderTown = u"69001 Lyon"_s;
    w.senderProvince = u"France"_s;
    w.senderPhone = u"04 78 00 00 00"_s;
    w.senderMobile = u"06 12 34 56 78"_s;
    w.senderQualifier = u"Monsieur"_s;
    w.senderFunction = u"Chef de service"_s;
    w.recipientName = u"Claire Durand"_s;
    w.recipientAddress = u"1 place de la Mairie"_s;
    w.recipientResidence = u"Hôtel de ville"_s;
    w.recipientTown = u"1000 Bruxelles"_s;
    w.recipientProvince = u"belgique"_s;
    w.recipientQualifier = u"Madame"_s;
    w.recipientFunction = u"Inspectrice"_s;
    w.dateText = u"le 6 décembre 2026"_s;
    w.town = u"Lyon"_s;
    w.object = u"Demande de rendez-vous"_s;
    w.signature = u"Jean Martin"_s;
    w.formulaFirst = u"Veuillez agréer"_s;
    w.formulaSecond = u"l'expression de ma considération distinguée."_s;
    w.body = u"Premier paragraphe.\r\nSecond paragraphe."_s;
    return w;
}

void writeTemplate(const QString &body)
{
    QuilloTest::writeBytes(DataPaths::templateFile(),
                           "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs22 " + body.toLatin1() +
                               "}");
}

} // namespace

class TestLetterAssembly : public QObject
{
    Q_OBJECT

private slots:
    void installedTemplateReceivesEveryValue()
    {
        QuilloTest::TempProgramFolder folder(true);
        QTextDocument doc;
        Build_Lettre(&doc, everyField());
        const QString text = doc.toPlainText();
        for (int i = 0; i < LetterFields::Count; ++i) {
            QVERIFY2(text.contains(u"Valeur %1\n"_s.arg(i + 1)) || text.endsWith(u"Valeur %1"_s.arg(i + 1)),
                     qPrintable(QString::number(i + 1)));
            QVERIFY(!text.contains(LetterFields::placeholders()[size_t(i)], Qt::CaseInsensitive));
            QCOMPARE(isBold(doc, u"Valeur %1"_s.arg(i + 1)), std::optional<bool>(LetterFields::isBold(i)));
        }
    }

    void multiLineValuesBecomeParagraphsOfThePlaceholdersFormat()
    {
        QuilloTest::TempProgramFolder folder(true);
        QTextDocument doc;
        Build_Lettre(
            &doc,
            fieldsWith({{u"#ref4", u"Premier paragraphe du corps de la lettre.\r\nSecond paragraphe.\r\nTroisième."_s},
                        {u"#exp3", u"12 rue des Lilas, Bât. B\r\n69001 Lyon "_s}}));
        const QTextBlock first = doc.find(u"Premier paragraphe"_s).block();
        const QTextBlock second = first.next();
        QCOMPARE(second.text(), u"Second paragraphe."_s);
        QCOMPARE(second.next().text(), u"Troisième."_s);
        QCOMPARE(second.blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 first.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
        QVERIFY(first.blockFormat().alignment() & Qt::AlignJustify);
        // Trailing spaces go, line breaks stay.
        QCOMPARE(doc.find(u"69001 Lyon"_s).block().text(), u"69001 Lyon"_s);
    }

    void placeholderRules()
    {
        QuilloTest::TempProgramFolder folder;
        // No #exp2; #ref6 twice; #Ref4 in capitals; the body holds "#ref5" before the template's.
        writeTemplate(u"#exp1\\par #Ref4\\par #ref5\\par #ref6\\par #ref6\\par fin #exp4 ligne\\par"_s);
        QTextDocument doc;
        Build_Lettre(&doc, fieldsWith({{u"#exp1", u"Monsieur Jean Martin"_s},
                                       {u"#exp2", u"Directeur"_s},
                                       {u"#ref4", u"Corps avec #ref5 dedans"_s},
                                       {u"#ref5", u"Formule"_s},
                                       {u"#ref6", u"Signature"_s}}));
        const QStringList lines = doc.toPlainText().split(u'\n');
        QCOMPARE(lines.mid(0, 6), (QStringList{u"Monsieur Jean Martin"_s, u"Corps avec Formule dedans"_s, u"#ref5"_s,
                                               u"Signature"_s, u"#ref6"_s, u"fin  ligne"_s}));
        QVERIFY(!doc.toPlainText().contains(u"Directeur"_s));
    }

    void valueTakesThePlaceholdersCharacterFormat()
    {
        QuilloTest::TempProgramFolder folder;
        writeTemplate(u"{\\i\\fs32 #dst2}\\par"_s);
        QTextDocument doc;
        Build_Lettre(&doc, fieldsWith({{u"#dst2", u"Paul Durand"_s}}));
        QTextCursor c(&doc);
        c.setPosition(doc.find(u"Paul Durand"_s).selectionEnd());
        QVERIFY(c.charFormat().fontItalic());
        QCOMPARE(c.charFormat().fontPointSize(), 16.0);
    }

    void longLettersHaveNoSixteenBitLimit()
    {
        QuilloTest::TempProgramFolder folder(true);
        QTextDocument doc;
        const QString longBody = QString(u"Lorem ipsum dolor sit amet. "_s).repeated(2000); // 56,000 characters
        Build_Lettre(&doc, fieldsWith({{u"#ref4", longBody}, {u"#ref5", u"Formule finale"_s}, {u"#ref6", u"Signé"_s}}));
        QVERIFY(doc.toPlainText().size() > 56000);
        QVERIFY(doc.toPlainText().contains(u"Formule finale"_s));
        QCOMPARE(isBold(doc, u"Signé"_s), std::optional<bool>(true));
    }

    void shippedTemplateSpacesTheBodyEvenly_data()
    {
        QTest::addColumn<QString>("body");
        const QString paragraphs = u"Premier paragraphe du corps, assez long pour tenir sur plusieurs lignes une fois "
                                   u"la lettre mise en page à la largeur de la feuille.\r\n\r\nDeuxième paragraphe."
                                   u"\r\n\r\nTroisième paragraphe, le dernier avant la formule de politesse."_s;
        QTest::newRow("three paragraphs") << paragraphs;
        // A line end typed after the last paragraph, or before the first, adds no gap.
        QTest::newRow("a final line end") << paragraphs + u"\r\n"_s;
        QTest::newRow("blank lines around") << u"\r\n  \r\n"_s + paragraphs + u"\r\n\r\n \r\n"_s;
    }

    void shippedTemplateSpacesTheBodyEvenly()
    {
        QFETCH(QString, body);
        QuilloTest::TempProgramFolder folder(true);
        QTextDocument doc;
        Build_Lettre(&doc, fieldsWith({{u"#ref3", u"Monsieur le Maire,"_s},
                                       {u"#ref4", body},
                                       {u"#ref5", u"Je vous prie d'agréer, Monsieur le Maire, l'expression de ma "
                                                  u"considération distinguée."_s},
                                       {u"#ref6", u"Jean Martin"_s}}));
        // Laid out as wide as a printed line (A4 less the template's margins, at the screen's
        // resolution), then measured from the last line of a paragraph to the first of the next.
        doc.setTextWidth((11906 - 1418 - 1134) / 1440.0 * 96);
        QVERIFY(doc.size().height() > 0); // the whole document laid out
        const auto top = [](const QTextBlock &block) {
            return block.layout()->position().y() + block.layout()->lineAt(0).y();
        };
        const auto bottom = [](const QTextBlock &block) {
            const QTextLine last = block.layout()->lineAt(block.layout()->lineCount() - 1);
            return block.layout()->position().y() + last.y() + last.height();
        };
        QList<QTextBlock> blocks;
        for (const QString &start : {u"Premier"_s, u"Deuxième"_s, u"Troisième"_s, u"Je vous prie"_s}) {
            const QTextCursor found = doc.find(start);
            QVERIFY2(!found.isNull(), qPrintable(start));
            blocks.append(found.block());
        }
        QVERIFY(blocks.first().layout()->lineCount() > 1);
        const double gap = top(blocks[1]) - bottom(blocks[0]);
        QVERIFY(gap > 0);
        for (int i = 1; i + 1 < blocks.size(); ++i) {
            const double next = top(blocks[i + 1]) - bottom(blocks[i]);
            QVERIFY2(qAbs(next - gap) < 0.5, qPrintable(u"gap %1: %2, first gap: %3"_s.arg(i + 1).arg(next).arg(gap)));
        }
        // The salutation is followed by the body at once, without an empty paragraph.
        QCOMPARE(doc.find(u"Monsieur le Maire,"_s).block().next(), blocks.first());
    }

    void shippedTemplate_blocksWithoutHoles_data()
    {
        QTest::addColumn<QString>("emptied");
        QTest::addColumn<bool>("batch");
        for (const char *field : {"senderAddress", "senderResidence", "senderTown", "senderProvince", "senderPhone",
                                  "senderMobile", "senderQualifier", "senderFunction", "recipientAddress",
                                  "recipientResidence", "recipientTown", "recipientProvince", "recipientFunction"})
            QTest::newRow(field) << QString::fromLatin1(field) << false;
        QTest::newRow("recipientQualifier") << u"recipientQualifier"_s << false;
        QTest::newRow("recipientQualifier, batch") << u"recipientQualifier"_s << true;
        QTest::newRow("qualifier and function, batch") << u"recipientQualifierAndFunction"_s << true;
        QTest::newRow("telephones") << u"phones"_s << false;
    }

    // Letters assembled from the shipped template, their cards lacking one optional field after
    // the other, read back as text: no empty line, no dangling separator, every value there.
    void shippedTemplate_blocksWithoutHoles()
    {
        QFETCH(QString, emptied);
        QFETCH(bool, batch);
        QuilloTest::TempProgramFolder folder(true);
        WizardValues w = fullLetter();
        QHash<QString, QList<QString *>> fields{
            {u"senderAddress"_s, {&w.senderAddress}},
            {u"senderResidence"_s, {&w.senderResidence}},
            {u"senderTown"_s, {&w.senderTown}},
            {u"senderProvince"_s, {&w.senderProvince}},
            {u"senderPhone"_s, {&w.senderPhone}},
            {u"senderMobile"_s, {&w.senderMobile}},
            {u"senderQualifier"_s, {&w.senderQualifier}},
            {u"senderFunction"_s, {&w.senderFunction}},
            {u"recipientAddress"_s, {&w.recipientAddress}},
            {u"recipientResidence"_s, {&w.recipientResidence}},
            {u"recipientTown"_s, {&w.recipientTown}},
            {u"recipientProvince"_s, {&w.recipientProvince}},
            {u"recipientFunction"_s, {&w.recipientFunction}},
            {u"recipientQualifier"_s, {&w.recipientQualifier}},
            {u"recipientQualifierAndFunction"_s, {&w.recipientQualifier, &w.recipientFunction}},
            {u"phones"_s, {&w.senderPhone, &w.senderMobile}},
        };
        QVERIFY(fields.contains(emptied));
        QStringList removed;
        for (QString *field : fields.value(emptied)) {
            removed.append(*field);
            field->clear();
        }
        QTextDocument doc;
        Build_Lettre(&doc, composeLetterFields(w, batch));
        const QStringList lines = doc.toPlainText().split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString &line = lines.at(i);
            // The one empty paragraph is the template's gap between the body and the formula.
            QVERIFY2(!line.trimmed().isEmpty() || lines.value(i + 1).startsWith(u"Veuillez agréer"_s),
                     qPrintable(doc.toPlainText()));
            QVERIFY2(!line.startsWith(u',') && !line.endsWith(u", "_s) && !line.contains(u"()"_s), qPrintable(line));
            QVERIFY2(!line.contains(u"  "_s), qPrintable(line));
        }
        // The other values are all there; the emptied ones are not.
        const QStringList kept = {w.senderName,       w.senderAddress,      w.senderResidence, w.senderTown,
                                  w.senderPhone,      w.senderMobile,       w.senderFunction,  w.recipientName,
                                  w.recipientAddress, w.recipientResidence, w.recipientTown};
        for (const QString &value : kept) {
            if (!value.isEmpty())
                QVERIFY2(doc.toPlainText().contains(value), qPrintable(value));
        }
        // The recipient's block starts lower than the sender's, where the template puts it,
        // whichever of its lines comes first.
        const QString blockLine = composeLetterFields(w, batch).value(u"#dst1"_s);
        const QTextBlock recipientFirst =
            doc.find(blockLine.isEmpty() ? w.recipientName : blockLine, 0, QTextDocument::FindCaseSensitively).block();
        QVERIFY(recipientFirst.isValid());
        QVERIFY2(recipientFirst.blockFormat().topMargin() > 10, qPrintable(recipientFirst.text()));
        QCOMPARE(recipientFirst.previous().blockFormat().topMargin(), 0.0);
        // A salutation and a formula that read right in every case.
        const QString greeting = w.recipientQualifier.isEmpty()  ? u"Madame, Monsieur"_s
                                 : w.recipientFunction.isEmpty() ? u"Madame"_s
                                                                 : u"Madame l'Inspectrice"_s;
        QVERIFY(lines.contains(greeting + u','));
        QVERIFY(doc.toPlainText().contains(u"Veuillez agréer, "_s + greeting + u", l'expression"_s));
    }

    void missingOrDamagedTemplateIsAnError()
    {
        QuilloTest::TempProgramFolder folder;
        QTextDocument doc;
        doc.setPlainText(u"lettre précédente"_s);
        try {
            Build_Lettre(&doc, everyField());
            QFAIL("no error for a missing template");
        } catch (const QuilloError &e) {
            QCOMPARE(e.number, int(QuilloError::FileNotFound));
            QVERIFY(e.description.contains(u"defaut.rtf"_s));
        }
        QCOMPARE(doc.toPlainText(), u"lettre précédente"_s);
        QuilloTest::writeBytes(DataPaths::templateFile(), "ceci n'est pas du RTF");
        try {
            Build_Lettre(&doc, everyField());
            QFAIL("no error for a template that is not RTF");
        } catch (const QuilloError &e) {
            // The template is named: the reader's sentence alone would blame whatever was just opened.
            QVERIFY2(e.description.contains(u"defaut.rtf"_s), qPrintable(e.description));
        }
    }
};

QUILLO_TEST_MAIN(TestLetterAssembly)
#include "tst_letterassembly.moc"
