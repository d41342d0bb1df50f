#include "app/Translations.h"

#include "core/ProgramFolder.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

using namespace Qt::StringLiterals;

void installFrench(QCoreApplication &app)
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    auto *translator = new QTranslator(&app);
    // Qt's installed translations first; where Qt has none, the copy shipped beside the program
    // (portable layout) or with its installation content (installed layout).
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString installedContent = ProgramFolder::installedContentFolder(executableFolder);
    QStringList folders = {QLibraryInfo::path(QLibraryInfo::TranslationsPath), executableFolder + u"/translations"_s};
    if (!installedContent.isEmpty())
        folders.append(installedContent + u"/translations"_s);
    for (const QString &folder : folders) {
        if (translator->load(u"qtbase_fr"_s, folder)) {
            QCoreApplication::installTranslator(translator);
            return;
        }
    }
    delete translator;
}
