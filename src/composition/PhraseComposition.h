#pragma once

#include <QString>
#include <QStringList>

// The sentences the writing assistant builds from the texts of its phrase lists. Every part is
// glued with single spaces; empty parts vanish because each step trims the spaces around it.
namespace PhraseComposition {

// Removes the spaces (and only the spaces) at both ends: line ends inside a text are the user's.
QString trimSpaces(const QString &text);

// The texts of the eight introduction lists, then the date, a comma, the fourth list, the object,
// a comma, the four last lists and a full stop: "Suite à votre courrier du 05/05/2025, concernant
// votre demande, je vous adresse les documents."
QString introduction(const QStringList &listTexts, const QString &date, const QString &object);

// The texts of a conclusion's lists with a comma after the first one, whatever it holds, and a
// full stop: "Dans l'attente de votre réponse, je reste à votre disposition." With every list
// empty, that leaves ",.".
QString conclusion(const QStringList &listTexts);

// The letter's body: the three texts without the spaces and line breaks at their ends,
// separated by blank lines (CR LF CR LF). A part left empty adds nothing, no blank line either.
QString body(const QString &introduction, const QString &middle, const QString &conclusion);

// True when a new body keeps everything an old one says (spaces and line breaks aside), so that
// putting it in the old one's place loses nothing the user wrote. An empty old body is kept by
// any new one.
bool keepsText(const QString &newBody, const QString &oldBody);

// The letter's object as it reads inside the introduction's sentence: a capital followed by a
// small letter becomes small ("Demande de subvention" reads "portant sur demande de
// subvention"); an acronym or anything else stays as typed.
QString objectInSentence(const QString &object);

} // namespace PhraseComposition
