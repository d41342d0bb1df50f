#include "ProperCase.h"

QString properCase(const QString &text)
{
    QString result = text.toLower();
    bool wordStart = true;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar c = result.at(i);
        if (c == u' ' || c == u'\t') {
            wordStart = true;
            continue;
        }
        if (wordStart) {
            // Upper-casing one letter never changes the length for French letters; the rare
            // letters that would (ß) stay as they are.
            const QString upper = QString(c).toUpper();
            if (upper.size() == 1)
                result[i] = upper.at(0);
            wordStart = false;
        }
    }
    return result;
}
