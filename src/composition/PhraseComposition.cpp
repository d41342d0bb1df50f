#include "composition/PhraseComposition.h"

using namespace Qt::StringLiterals;

namespace PhraseComposition {

QString trimSpaces(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == u' ')
        ++start;
    while (end > start && text.at(end - 1) == u' ')
        --end;
    return text.mid(start, end - start);
}

namespace {

// One word group more: the trimming swallows the spaces around an empty one.
QString append(const QString &text, const QString &part)
{
    return trimSpaces(text + u' ' + part + u' ');
}

} // namespace

QString introduction(const QStringList &listTexts, const QString &date, const QString &object)
{
    QString text;
    for (int i = 0; i <= 2; ++i)
        text = append(text, listTexts.value(i));
    text = trimSpaces(text + u' ' + date + u", "_s + listTexts.value(3) + u' ' + object + u", "_s);
    for (int i = 4; i <= 7; ++i)
        text = append(text, listTexts.value(i));
    return text + u'.';
}

QString conclusion(const QStringList &listTexts)
{
    QString text;
    for (qsizetype i = 0; i < listTexts.size(); ++i) {
        text = append(text, listTexts.at(i));
        if (i == 0)
            text += u',';
    }
    return text + u'.';
}

QString body(const QString &introduction, const QString &middle, const QString &conclusion)
{
    QStringList parts;
    for (const QString &part : {introduction, middle, conclusion}) {
        qsizetype start = 0;
        qsizetype end = part.size();
        const auto blank = [](QChar c) { return c == u' ' || c == u'\r' || c == u'\n'; };
        while (start < end && blank(part.at(start)))
            ++start;
        while (end > start && blank(part.at(end - 1)))
            --end;
        if (end > start)
            parts.append(part.mid(start, end - start));
    }
    return parts.join(u"\r\n\r\n"_s);
}

bool keepsText(const QString &newBody, const QString &oldBody)
{
    const QString old = oldBody.simplified();
    return old.isEmpty() || newBody.simplified().contains(old);
}

QString objectInSentence(const QString &object)
{
    if (object.size() < 2 || !object.at(0).isUpper() || !object.at(1).isLower())
        return object;
    return object.at(0).toLower() + object.mid(1);
}

} // namespace PhraseComposition
