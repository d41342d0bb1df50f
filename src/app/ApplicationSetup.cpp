#include "app/ApplicationSetup.h"

#include "app/ApplicationIcon.h"
#include "app/Translations.h"
#include "core/Product.h"

#include <QApplication>

void setUpApplication(QApplication &app, const QString &desktopEntry)
{
    QApplication::setApplicationName(Product::name());
    QApplication::setApplicationVersion(Product::versionText());
    installFrench(app);
    installApplicationIcon(desktopEntry);
}
