#include "Fonctions.h"
#include "FrmAbout.h"
#include "FrmMenu.h"
#include "ProgramFolder.h"
#include "Translations.h"
#include "WindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFrench(app);
    const QString target = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"screenshots"_s;
    QDir().mkpath(target);

    // A scratch program folder with the installation content, so the shots show real lists.
    QTemporaryDir scratch;
    ProgramFolder::seed(QStringLiteral(QUILLO_DATA_DIR), scratch.path());
    ProgramFolder::setOverride(scratch.path());
    Main();
    FrmMenu *menu = FrmMenu::existing();
    QTextStream out(stdout);
    for (int step = 1; step <= 5; ++step) {
        menu->Affiche_Etape(step - 1);
        const QString file = QDir(target).filePath(u"wizard-step%1.png"_s.arg(step));
        menu->grab().save(file);
        out << file << Qt::endl;
    }
    FrmAbout *about = FrmAbout::instance();
    about->show();
    const QString aboutFile = QDir(target).filePath(u"about.png"_s);
    about->grab().save(aboutFile);
    out << aboutFile << Qt::endl;
    WindowRegistry::unloadAll();
    return 0;
}
