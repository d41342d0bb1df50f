#pragma once

#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

// A previous version's "Fichiers" folder that a test fills with old files, byte for byte as the
// old version wrote them (Windows-1252, CR LF).
class OldFolder
{
public:
    QString path() const { return QDir::toNativeSeparators(dir.path()) + QDir::separator(); }
    void add(const QString &name, const QByteArray &bytes) const { QuilloTest::writeBytes(dir.filePath(name), bytes); }

    // A sender of ten lines: name, residence, address, town, country, phones, an old field,
    // qualifier and function.
    static QByteArray sender(const QByteArray &name)
    {
        return name + "\r\nB\xE2t. A\r\n12 rue de l'\xC9glise\r\n75001 Paris\r\nFrance\r\n01 02 03 04 05\r\n"
                      "06 07 08 09 10\r\nancien champ\r\nMonsieur\r\nDirecteur g\xE9n\xE9ral\r\n";
    }
    static QByteArray recipient(const QByteArray &name)
    {
        return name + "\r\nR\xE9sidence des Pins\r\n3 all\xE9"
                      "e Verte\r\n69001 Lyon\r\n\r\nMadame\r\nMaire\r\n";
    }
    // The card the conversion writes for it: address before residence.
    static QByteArray convertedRecipient(const QByteArray &name)
    {
        return name + "\r\n3 all\xE9"
                      "e Verte\r\nR\xE9sidence des Pins\r\n69001 Lyon\r\n\r\nMadame\r\nMaire\r\n";
    }

private:
    QTemporaryDir dir;
};
