#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// Cuts French text into the words a spell checker is asked about.
//
// - An elided article or pronoun (l' d' qu' j' n' s' c' m' t' jusqu' lorsqu' puisqu', with the
//   straight or the typographic apostrophe) is cut off: "l'hommme" asks about "hommme", so the
//   underline and the suggestions cover the word alone. Other apostrophes stay inside their word
//   (aujourd'hui, quelqu'un, presqu'île), which the dictionary knows whole.
// - A hyphenated word stays one word (porte-monnaie, dit-il, Jean-Pierre): the dictionary knows
//   many compounds whole and checks the others part by part.
// - A word with a digit (12, 1er, A4, 2e), an e-mail address and a web address are left out.
// - Words in capitals are kept as written: the dictionary decides (ÉCOLE yes, ECOLE no).
namespace FrenchWords {

struct Span
{
    qsizetype start = -1;
    qsizetype length = 0;
    qsizetype end() const { return start + length; }
    bool isValid() const { return start >= 0 && length > 0; }
    friend bool operator==(const Span &, const Span &) = default;
};

// The words to check in text (one paragraph), in order.
QList<Span> words(QStringView text);

// The word to check that contains offset, or ends exactly there (a click just after its last
// letter); an invalid span when there is none (a space, a number, an address, an elided article).
Span wordAt(QStringView text, qsizetype offset);

// The word as the dictionary and the word lists compare it: soft hyphens dropped, the Unicode
// hyphens and the modifier-letter apostrophe made plain. The typographic apostrophe is kept.
QString checkedForm(QStringView word);

// The form under which a word is remembered in the ignore list and the personal word list:
// checkedForm() with typographic apostrophes made straight, so both spellings match.
QString listForm(QStringView word);

} // namespace FrenchWords
