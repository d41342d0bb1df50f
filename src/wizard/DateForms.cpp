#include "DateForms.h"

#include <QLocale>

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
    if (!date.isValid())
        return QString();
    // The first day of the month is an ordinal: "le 1er mars".
    const QString day = date.day() == 1 ? u"1er"_s : QString::number(date.day());
    return u"le "_s + day + u' ' + QString::fromUtf16(kMonths[date.month() - 1]) + u' ' + QString::number(date.year());
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

} // namespace DateForms
