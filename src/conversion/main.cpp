#include "FrmConvert.h"
#include "Product.h"
#include "Translations.h"
#include "WindowRegistry.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(Product::name());
    QApplication::setApplicationVersion(Product::versionText());
    installFrench(app);
    FrmConvert::instance()->show();
    const int status = QApplication::exec();
    WindowRegistry::unloadAll();
    return status;
}
