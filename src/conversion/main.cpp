#include "app/ApplicationSetup.h"
#include "conversion/FrmConvert.h"
#include "dialogs/WindowRegistry.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app, u"fr.quillane.Conversion"_s);
    FrmConvert::instance()->show();
    const int status = QApplication::exec();
    WindowRegistry::unloadAll();
    return status;
}
