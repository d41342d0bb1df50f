#include "core/DateForms.h"

#include <QLocale>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace DateForms {
namespace {
// The week starts on Sunday, as the weekday numbers of the date line have always counted.
constexpr const char16_t *kDays[] = {u"dimanche", u"lundi", u"mardi", u"mercredi", u"jeudi", u"vendredi", u"samedi"};
constexpr const char16_t *kMonths[] = {u"janvier", u"février", u"mars",      u"avril",   u"mai",      u"juin",
                                       u"juillet", u"août",    u"septembre", u"octobre", u"novembre", u"décembre"};
} // namespace

QString shortText(const QDate &date)
{
    return date.toString(u"dd/MM/yyyy"_s);
}

QDate fromShortText(const QString &text)
{
    const QString trimmed = text.trimmed();
    QDate date = QDate::fromString(trimmed, u"dd/MM/yyyy"_s);
    if (!date.isValid())
        date = QDate::fromString(trimmed, u"d/M/yyyy"_s);
    return date;
}

QString conventional(const QDate &date)
{
    // The date in words after "le": "le 1er mars 2025".
    return date.isValid() ? u"le "_s + inWords(date) : QString();
}

QStringList worded(const QDate &date, const QString &dateText)
{
    if (!date.isValid())
        return {};
    // QDate counts Monday as 1 and Sunday as 7.
    const QString day = QString::fromUtf16(kDays[date.dayOfWeek() % 7]);
    const QString month = QString::fromUtf16(kMonths[date.month() - 1]);
    const QString d = QString::number(date.day());
    const QString dd = date.toString(u"dd"_s);
    const QString mm = date.toString(u"MM"_s);
    const QString yy = QString::number(date.year()).right(2);
    QString dashed = dateText;
    QString dotted = dateText;
    dashed.replace(u'/', u'-');
    dotted.replace(u'/', u'.');
    return {
        conventional(date),
        QLocale(QLocale::French, QLocale::France).toString(date, QLocale::LongFormat).toLower(),
        day + u' ' + d + u' ' + month + u' ' + yy,
        day + u' ' + dateText,
        day + u' ' + dd + u'/' + mm + u'/' + yy,
        day + u' ' + dashed,
        day + u' ' + dd + u'-' + mm + u'-' + yy,
        day + u' ' + dotted,
        day + u' ' + dd + u'.' + mm + u'.' + yy,
    };
}

QString inWords(const QDate &date)
{
    if (!date.isValid())
        return QString();
    // The first day of the month is an ordinal: "1er mars".
    const QString day = date.day() == 1 ? u"1er"_s : QString::number(date.day());
    return day + u' ' + QString::fromUtf16(kMonths[date.month() - 1]) + u' ' + QString::number(date.year());
}

QDate recognise(const QString &text, int *form)
{
    const QString wanted = text.trimmed();
    // The day, the month and the year as the forms write them: in figures with "/", "-" or "."
    // between them, or the day, the month's name and the year.
    QString monthNames;
    for (const char16_t *month : kMonths)
        monthNames += (monthNames.isEmpty() ? u""_s : u"|"_s) + QString::fromUtf16(month);
    static const QRegularExpression figures(u"(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{4}|\\d{2})(?!\\d)"_s);
    const QRegularExpression words(u"(\\d{1,2})(?:er)? (%1) (\\d{4}|\\d{2})(?!\\d)"_s.arg(monthNames),
                                   QRegularExpression::CaseInsensitiveOption);
    QList<QDate> candidates;
    const auto addCandidates = [&candidates](int day, int month, const QString &year) {
        // A two-digit year is this century's, or the last one's.
        const QList<int> years =
            year.size() == 4 ? QList<int>{year.toInt()} : QList<int>{2000 + year.toInt(), 1900 + year.toInt()};
        for (const int y : years) {
            const QDate date(y, month, day);
            if (date.isValid())
                candidates.append(date);
        }
    };
    for (const QRegularExpressionMatch &match : figures.globalMatch(wanted))
        addCandidates(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3));
    const QRegularExpressionMatch named = words.match(wanted);
    if (named.hasMatch()) {
        int month = 0;
        while (month < 12 && QString::fromUtf16(kMonths[month]).compare(named.captured(2), Qt::CaseInsensitive) != 0)
            ++month;
        addCandidates(named.captured(1).toInt(), month + 1, named.captured(3));
    }
    for (const QDate &date : std::as_const(candidates)) {
        const qsizetype index = worded(date, shortText(date)).indexOf(wanted);
        if (index >= 0) {
            if (form)
                *form = int(index);
            return date;
        }
    }
    return QDate();
}

} // namespace DateForms
