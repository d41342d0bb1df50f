#pragma once

#include <QDate>
#include <QStringList>

// The worded forms of a letter's date, always in French whatever the host's language.
namespace DateForms {

// The short date as the date line uses it: day and month on two digits, the year on four
// (03/03/2025).
QString shortText(const QDate &date);
// Reads a short date (03/03/2025, or 3/3/2025); an invalid date when it is not one.
QDate fromShortText(const QString &text);

// The date as a French letter writes it after the town: "le 6 décembre 2026", "le 1er mars 2025"
// (no weekday, the month in small letters, "1er" for the first day).
QString conventional(const QDate &date);

// The nine forms, in the order the date-format box offers them, the first chosen by default:
// the conventional form, then the long date in small letters, "lundi 3 mars 25", and the day
// name followed by dateText and by dd/mm/yy, with "/", then "-", then "." between the numbers.
// dateText is the short date as given (shortText).
QStringList worded(const QDate &date, const QString &dateText);

// The date in words, as a sentence writes it: "2 décembre 2026", "1er mars 2025".
QString inWords(const QDate &date);

// The date that one of the worded forms above shows, and which form it is (*form, 0-based);
// an invalid date when the text is none of the forms of the date it names (a text typed by
// hand, for instance).
QDate recognise(const QString &text, int *form = nullptr);

} // namespace DateForms
