#pragma once

#include <QString>
#include <QStringView>

// How much of a list the program takes: every list of the program (reference lists, the writing
// assistant's phrases, the lists and cards Conversion imports) is shown in drop-down boxes, which
// freeze for many seconds on a million entries or on one entry of millions of characters. What
// lies beyond is never taken in silence: readers count it, and callers say so before anything
// could write the list back without it.
namespace ListLimits {

inline constexpr qsizetype kMaxEntries = 10000;
inline constexpr qsizetype kMaxEntryLength = 500; // characters

// What a reader left out of one list.
struct Cut
{
    qsizetype longEntries = 0;  // entries of more than kMaxEntryLength characters
    qsizetype extraEntries = 0; // entries past the first kMaxEntries

    bool any() const { return longEntries > 0 || extraEntries > 0; }
    Cut &operator+=(const Cut &other)
    {
        longEntries += other.longEntries;
        extraEntries += other.extraEntries;
        return *this;
    }
};

// Takes one entry into a list that holds count entries already: false, and the cut counted,
// when the entry is too long or the list full.
bool admit(QStringView entry, qsizetype count, Cut *cut);

// What was left out, as the end of a French sentence: "1 entrée de plus de 500 caractères et
// 1 590 000 entrées au-delà des 10 000 premières".
QString describe(const Cut &cut);

} // namespace ListLimits
