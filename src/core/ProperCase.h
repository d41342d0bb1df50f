#pragma once

#include <QString>

// "paris" and "PARIS" become "Paris": each word gets a capital first letter and small letters
// elsewhere. A word starts at the beginning or after a space or a tab; a hyphen or an apostrophe
// starts none, so "saint-denis" becomes "Saint-denis".
QString properCase(const QString &text);
