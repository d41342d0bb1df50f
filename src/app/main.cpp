#include "app/ApplicationSetup.h"
#include "app/Wiring.h"
#include "dialogs/WindowRegistry.h"
#include "wizard/Fonctions.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app, u"fr.quillane.Quillo"_s);
    wireWindows();
    Main();
    const int status = QApplication::exec();
    WindowRegistry::unloadAll();
    return status;
}
