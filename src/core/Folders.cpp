#include "core/Folders.h"

#include "core/AlphabeticalOrder.h"
#include "core/DataPaths.h"

#include <QDir>

using namespace Qt::StringLiterals;

void Init_Dossiers()
{
    const QString folders[] = {
        DataPaths::assistantFolder(), DataPaths::dataFolder(),       DataPaths::modelsFolder(),
        DataPaths::sendersFolder(),   DataPaths::recipientsFolder(), DataPaths::referencesFolder(),
        DataPaths::formulasFolder(),  DataPaths::contentsFolder(),
    };
    for (const QString &folder : folders)
        QDir().mkdir(folder);
}

QStringList cardNamesIn(const QString &folder)
{
    const QDir dir(folder, u"*.ini"_s, QDir::NoSort, QDir::Files);
    QStringList names;
    for (const QString &file : dir.entryList())
        names.append(file.chopped(4));
    AlphabeticalOrder::sort(&names);
    return names;
}
