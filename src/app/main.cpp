#include "app/ApplicationIcon.h"
#include "app/CommandLine.h"
#include "app/Translations.h"
#include "app/Wiring.h"
#include "core/Product.h"
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
    QApplication::setApplicationName(Product::name());
    QApplication::setApplicationVersion(Product::versionText());
    installFrench(app);
    if (commandLine)
        return CommandLine::run(QApplication::arguments());
    installApplicationIcon(u"fr.quillane.Quillo"_s);
    wireWindows();
    Main();
    const int status = QApplication::exec();
    WindowRegistry::unloadAll();
    return status;
}
