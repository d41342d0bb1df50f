#include "core/DataPaths.h"

#include "core/ProgramFolder.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace DataPaths {
QString programFolder()
{
    return ProgramFolder::path();
}

QString dataFolder()
{
    return QDir(programFolder()).filePath(u"Fichiers"_s);
}

QString assistantFolder()
{
    return QDir(programFolder()).filePath(u"Assistant"_s);
}

QString modelsFolder()
{
    return QDir(programFolder()).filePath(u"Modèles"_s);
}

QString sendersFolder()
{
    return QDir(dataFolder()).filePath(u"Expéditeurs"_s);
}

QString recipientsFolder()
{
    return QDir(dataFolder()).filePath(u"Destinataires"_s);
}

QString referencesFolder()
{
    return QDir(dataFolder()).filePath(u"Références"_s);
}

QString formulasFolder()
{
    return QDir(dataFolder()).filePath(u"Formules"_s);
}

QString contentsFolder()
{
    return QDir(dataFolder()).filePath(u"Contenus"_s);
}

QString templateFile()
{
    return QDir(programFolder()).filePath(u"defaut.rtf"_s);
}

QString editorSettingsFile()
{
    return QDir(programFolder()).filePath(u"Editeur.ini"_s);
}
} // namespace DataPaths
