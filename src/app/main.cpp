#include "Fonctions.h"
#include "FrmAssistant.h"
#include "FrmEditeur.h"
#include "FrmOptions.h"
#include "Product.h"
#include "Translations.h"
#include "WindowRegistry.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(Product::name());
    QApplication::setApplicationVersion(Product::versionText());
    installFrench(app);
    WindowRegistry::setFactory(u"frmAssistant"_s, [] { return FrmAssistant::instance(); });
    WindowRegistry::setFactory(u"frmOptions"_s, [] { return FrmOptions::instance(); });
    WindowRegistry::setFactory(u"frmEditeur"_s, [] { return FrmEditeur::instance(); });
    Main();
    const int status = QApplication::exec();
    WindowRegistry::unloadAll();
    return status;
}
