#pragma once

#include <QString>

// The one failure type of user actions: a French description and a number. The numbers are the
// classic runtime numbers where a behaviour needs one, so messages such as "Erreur n°53" read as
// users of the previous version know them.
struct QuilloError
{
    enum Number : int {
        Overflow = 6,
        SubscriptOutOfRange = 9,
        FileNotFound = 53,
        PermissionDenied = 70,
        PathNotFound = 76,
        InvalidFileFormat = 321,
        Cancelled = 32755,
    };

    QString description;
    int number = 0;

    QuilloError() = default;
    QuilloError(QString text, int code) : description(std::move(text)), number(code) {}
};
