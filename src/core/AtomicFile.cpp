#include "core/AtomicFile.h"

#include <QSaveFile>

namespace AtomicFile {

bool replace(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile file(path);
    // Unbuffered, so that a write the disk cannot take fails here. Through the device's buffer it
    // would fail in commit(), which puts the cut file in place of the old one all the same and
    // answers true (Qt 6.4).
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        qsizetype written = 0;
        // A full disk takes part of a write, then refuses the rest: writing the rest again gives
        // the system's reason (disk full, file too large) rather than none.
        while (written < bytes.size()) {
            const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
            if (n <= 0)
                break;
            written += qsizetype(n);
        }
        if (written == bytes.size() && file.commit())
            return true;
    }
    if (reason)
        *reason = file.errorString();
    file.cancelWriting();
    return false;
}

} // namespace AtomicFile
