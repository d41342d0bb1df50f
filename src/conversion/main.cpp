#include "app/ApplicationIcon.h"
#include "conversion/FrmConvert.h"
#include "core/Product.h"
#include "app/Translations.h"
#include "dialogs/WindowRegistry.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(Product::name());
    QApplication::setApplicationVersion(Product::versionText());
    installFrench(app);
    installApplicationIcon(u"fr.quillane.Conversion"_s);
    FrmConvert::instance()->show();
    const int status = QApplication::exec();
    WindowRegistry::unloadAll();
    return status;
}
