#include "ApplicationIcon.h"
#include "Fonctions.h"
#include "Product.h"
#include "Translations.h"
#include "WindowRegistry.h"
#include "Wiring.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(Product::name());
    QApplication::setApplicationVersion(Product::versionText());
    installFrench(app);
    installApplicationIcon(u"fr.quillane.Quillo"_s);
    wireWindows();
    Main();
    const int status = QApplication::exec();
    WindowRegistry::unloadAll();
    return status;
}
