#pragma once

#include <QString>

// The names the user sees for the product and where its web page is.
namespace Product {
// The product's name: every message box without a title of its own shows it.
QString name();
// The product's web page, opened from the about box and the editor's help menu.
QString webPage();
// "1.0.0": major, minor and revision of the program version.
QString versionText();
} // namespace Product
