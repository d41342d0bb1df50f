// Spell checking of a long letter: the whole 200-page letter checked when it is opened, and the
// re-check after one keystroke in it. The letter is built here: some 1,100 justified paragraphs
// of about 600 characters (about 200 A4 pages) of ordinary administrative French, with a few
// typing errors, numbers and addresses. A second document of the same size made of distinct
// dictionary words, so that no answer is ever remembered, gives the worst case.
// Needs the French dictionary (hunspell-fr); without it every benchmark says so and stops.
#include "spelling/SpellChecker.h"
#include "spelling/SpellDictionary.h"
#include "spelling/SpellHighlighter.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kParagraphs = 1100;

const QStringList &sentences()
{
    static const QStringList list{
        u"Nous avons bien reçu votre courrier du 12 mars dernier et nous vous en remercions."_s,
        u"Vous trouverez ci-joint le relevé des sommes dues au titre de l'exercice écoulé."_s,
        u"Conformément à l'article 4 du contrat, le délai de préavis est de trois mois."_s,
        u"Je vous serais reconnaissant de bien vouloir me faire parvenir les pièces justificatives."_s,
        u"Lorsqu'il a déposé son dossier à la mairie, l'agent lui a remis un récépissé."_s,
        u"Puisqu'aucune réponse ne nous est parvenue, nous nous permettons de vous relancer."_s,
        u"Pour tout renseignement, écrivez à accueil@quillane.fr ou consultez www.quillane.fr."_s,
        u"La commission se réunira jusqu'à la fin du mois afin d'examiner votre demande."_s,
        u"Le règlement intérieur prévoit qu'une copie soit adressée au directeur de l'école."_s,
        u"Veuillez agréer, Madame, Monsieur, l'expression de nos salutations distinguées."_s,
        u"Le montant de 1 250 euros sera prélevé sur votre compte le 5 de chaque mois."_s,
        u"Nous regrettons de ne pouvoir donner une suite favorable à votre candidature."_s,
        u"Il vous appartient de nous transmettre l'attestation d'assurance avant le 30 juin."_s,
        u"Votre interlocuteur reste à votre disposition pour tout complément d'information."_s,
        u"Par ailleurs, nous vous rappelons que la réunion annuelle aura lieu le jeudi 14 avril."_s,
        u"Sans nouvelles de votre part sous huitaine, le dossier sera classé sans suite."_s,
        // Typing errors, as letters have them.
        u"Nous acusons réception de votre dosier et vous prions de patienter quelques jours."_s,
        u"Le rendez-vous est fixé au mardi 3 mai, dans les locaux de la préfècture."_s,
    };
    return list;
}

// About 200 pages of letter text, one paragraph a line.
QString letterText()
{
    QStringList paragraphs;
    QRandomGenerator random(18); // the same letter every run
    for (int paragraph = 0; paragraph < kParagraphs; ++paragraph) {
        QString text = u"Article %1 : "_s.arg(paragraph + 1);
        while (text.size() < 600)
            text += sentences()[int(random.bounded(sentences().size()))] + u' ';
        paragraphs << text.trimmed();
    }
    return paragraphs.join(u'\n');
}

// The same size in distinct words of the dictionary: nothing is ever asked twice.
QString distinctWordsText(const QString &affixPath)
{
    QFile file(QString(affixPath).replace(u".aff"_s, u".dic"_s));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QStringList words;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString word = QString::fromUtf8(lines[i].split('/').first().split('\t').first().trimmed());
        if (!word.isEmpty() && !word.front().isDigit())
            words << word;
    }
    QRandomGenerator random(18);
    for (qsizetype i = words.size() - 1; i > 0; --i)
        words.swapItemsAt(i, qsizetype(random.bounded(quint32(i + 1))));
    QStringList paragraphs;
    qsizetype next = 0;
    for (int paragraph = 0; paragraph < kParagraphs; ++paragraph) {
        QString text;
        while (text.size() < 600 && !words.isEmpty()) {
            text += words[next % words.size()] + u' ';
            ++next;
        }
        paragraphs << text.trimmed();
    }
    return paragraphs.join(u'\n');
}

QString frenchDictionary()
{
    static const QString path = SpellDictionary::findFrench();
    return path;
}

std::unique_ptr<SpellChecker> freshChecker()
{
    auto checker = std::make_unique<SpellChecker>();
    checker->setDictionary(SpellDictionary::load(frenchDictionary()));
    return checker;
}

// A document as the editor holds it: laid out at the printed line's width (16 cm).
std::unique_ptr<QTextDocument> documentWith(const QString &text)
{
    auto document = std::make_unique<QTextDocument>();
    document->documentLayout();
    document->setTextWidth(605);
    document->setPlainText(text);
    return document;
}

int underlinedWords(const QTextDocument &document)
{
    int count = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        count += int(block.layout()->formats().size());
    return count;
}

// The whole document checked from scratch: a new session (nothing remembered), the highlighter
// put on the document, every paragraph checked. Walking the paragraphs lays them out, which a
// letter not laid out yet pays here (the editor pays it anyway, in the background);
// "LaidOut" starts from a letter already laid out, as one open for a while is.
void checkWhole(benchmark::State &state, const QString &text, bool remembered, bool laidOut)
{
    if (frenchDictionary().isEmpty() || text.isEmpty()) {
        state.SkipWithError("no French dictionary (hunspell-fr)");
        return;
    }
    std::unique_ptr<SpellChecker> checker = freshChecker();
    int underlined = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto checked = documentWith(text);
        if (laidOut)
            benchmark::DoNotOptimize(checked->documentLayout()->documentSize());
        if (!remembered)
            checker = freshChecker();
        state.ResumeTiming();
        auto *highlighter = new SpellHighlighter(checked.get(), checker.get());
        highlighter->finishChecking();
        state.PauseTiming();
        underlined = underlinedWords(*checked);
        checked.reset();
        state.ResumeTiming();
    }
    state.counters["characters"] = double(text.size());
    state.counters["underlined"] = underlined;
}

void BM_CheckWhole200PageLetter(benchmark::State &state)
{
    checkWhole(state, letterText(), false, false);
}

void BM_CheckWhole200PageLetterLaidOut(benchmark::State &state)
{
    checkWhole(state, letterText(), false, true);
}

void BM_CheckWhole200PageLetterLaidOutWordsRemembered(benchmark::State &state)
{
    checkWhole(state, letterText(), true, true);
}

void BM_CheckWhole200PagesDistinctWordsLaidOut(benchmark::State &state)
{
    checkWhole(state, frenchDictionary().isEmpty() ? QString() : distinctWordsText(frenchDictionary()), false, true);
}

// The checking alone, without a document: every paragraph's words asked of a new session.
void BM_CheckWords200PageLetter(benchmark::State &state)
{
    if (frenchDictionary().isEmpty()) {
        state.SkipWithError("no French dictionary (hunspell-fr)");
        return;
    }
    const QStringList paragraphs = letterText().split(u'\n');
    qsizetype unknown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<SpellChecker> checker = freshChecker();
        state.ResumeTiming();
        unknown = 0;
        for (const QString &paragraph : paragraphs)
            unknown += checker->misspellings(paragraph).size();
    }
    state.counters["underlined"] = double(unknown);
}

// One keystroke in the middle of the checked 200-page letter: a letter typed into a word, then
// taken out again (each is one keystroke). Without spelling it is the document's own cost.
void keystroke(benchmark::State &state, bool spelling)
{
    if (frenchDictionary().isEmpty()) {
        state.SkipWithError("no French dictionary (hunspell-fr)");
        return;
    }
    std::unique_ptr<QTextDocument> document = documentWith(letterText());
    std::unique_ptr<SpellChecker> checker = freshChecker();
    if (spelling)
        (new SpellHighlighter(document.get(), checker.get()))->finishChecking();
    const QTextBlock middle = document->findBlockByNumber(kParagraphs / 2);
    QTextCursor cursor(document.get());
    cursor.setPosition(middle.position() + 40);
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            cursor.deletePreviousChar();
        else
            cursor.insertText(u"z"_s);
        typed = !typed;
    }
}

void BM_Keystroke200PageLetter(benchmark::State &state)
{
    keystroke(state, true);
}

void BM_Keystroke200PageLetterWithoutSpelling(benchmark::State &state)
{
    keystroke(state, false);
}

BENCHMARK(BM_CheckWhole200PageLetter)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CheckWhole200PageLetterLaidOut)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CheckWhole200PageLetterLaidOutWordsRemembered)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CheckWhole200PagesDistinctWordsLaidOut)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CheckWords200PageLetter)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Keystroke200PageLetter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Keystroke200PageLetterWithoutSpelling)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
