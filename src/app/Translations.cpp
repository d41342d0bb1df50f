#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

void installFrench(QCoreApplication &app)
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    auto *translator = new QTranslator(&app);
    // Qt's installed translations first; a copy shipped beside the program where Qt has none.
    const QString folders[] = {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                               QCoreApplication::applicationDirPath() + u"/translations"_s};
    for (const QString &folder : folders) {
        if (translator->load(u"qtbase_fr"_s, folder)) {
            QCoreApplication::installTranslator(translator);
            return;
        }
    }
    delete translator;
}
