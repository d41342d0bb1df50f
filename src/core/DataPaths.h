#pragma once

#include <QString>

// Every place a data file lives, under the program folder.
namespace DataPaths {
QString programFolder();
QString dataFolder();         // Fichiers
QString assistantFolder();    // Assistant: phrase files
QString modelsFolder();       // Modèles: letter models
QString sendersFolder();      // Fichiers/Expéditeurs: sender cards
QString recipientsFolder();   // Fichiers/Destinataires: recipient cards
QString referencesFolder();   // Fichiers/Références: Fonctions, Communes, Objets, Signatures
QString formulasFolder();     // Fichiers/Formules: Formules1, Formules2
QString contentsFolder();     // Fichiers/Contenus: body texts
QString templateFile();       // defaut.rtf
QString editorSettingsFile(); // Editeur.ini
} // namespace DataPaths
