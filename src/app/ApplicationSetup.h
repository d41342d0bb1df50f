#pragma once

#include <QString>

class QApplication;

// What both programs do first: the product's name and version on the application, French
// whatever the host's language (installFrench), and the application's icon on every window, for
// the desktop entry given ("fr.quillane.Quillo").
void setUpApplication(QApplication &app, const QString &desktopEntry);
