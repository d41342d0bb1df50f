#pragma once

#include <QLocale>

class QTextDocument;

// Upper or lower case over a range of rich text: only letters change, every character keeps its
// format (font, bold, colour, link...), and pictures and tables stay where they are. Accented
// French letters follow the locale's rules (é -> É, Œ -> œ).
class RichCase
{
public:
    enum class Direction { Upper, Lower };

    // Converts the characters from position from to position to (any order, clamped to the
    // document); returns the number of characters that changed.
    static int convert(QTextDocument *document, int from, int to, Direction direction,
                       const QLocale &locale = QLocale());
    static int toUpper(QTextDocument *document, int from, int to, const QLocale &locale = QLocale())
    {
        return convert(document, from, to, Direction::Upper, locale);
    }
    static int toLower(QTextDocument *document, int from, int to, const QLocale &locale = QLocale())
    {
        return convert(document, from, to, Direction::Lower, locale);
    }
};
