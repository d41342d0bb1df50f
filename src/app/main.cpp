#include "app/ApplicationSetup.h"
#include "app/CommandLine.h"
#include "app/Wiring.h"
#include "dialogs/WindowRegistry.h"
#include "wizard/Fonctions.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    // With options of its own the program writes letters and opens no window.
    const bool commandLine = CommandLine::isRequested(argc, argv);
    if (commandLine)
        CommandLine::preparePlatform();
    QApplication app(argc, argv);
    setUpApplication(app, u"fr.quillane.Quillo"_s);
    if (commandLine)
        return CommandLine::run(QApplication::arguments());
    wireWindows();
    Main();
    const int status = QApplication::exec();
    WindowRegistry::unloadAll();
    return status;
}
