#pragma once

// What the fuzz targets of the data-file readers share. Those readers take a path, as the
// program gives them one: each input is written to a scratch file first, in memory where the
// system offers a memory file system, so that the disk does not slow the fuzzer down.

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace FuzzFiles {

inline QString scratchPath(const QString &name)
{
    static QTemporaryDir *folder = [] {
        const QString memory = QStringLiteral("/dev/shm");
        auto *made = QDir(memory).exists() ? new QTemporaryDir(memory + QStringLiteral("/quillo-fuzz-XXXXXX"))
                                           : new QTemporaryDir;
        if (!made->isValid())
            std::abort();
        return made;
    }();
    return folder->filePath(name);
}

inline void writeInput(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
}

// A reader decodes Windows-1252 or Unicode: it may only produce the replacement character where
// the bytes said Unicode (a byte-order mark) or held one already. Anywhere else the character
// would stand for bytes of the user's file lost in the reading.
inline void checkNothingLost(const uint8_t *data, size_t size, const QStringList &values)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ||
        bytes.contains("\xEF\xBF\xBD"))
        return;
    for (const QString &value : values) {
        if (value.contains(QChar::ReplacementCharacter))
            std::abort();
    }
}

// A value read as one line of its file holds no line end.
inline void checkOneLine(const QStringList &values)
{
    for (const QString &value : values) {
        if (value.contains(u'\r') || value.contains(u'\n'))
            std::abort();
    }
}

} // namespace FuzzFiles
