#include "document/AtomicFile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace velmor {

bool writeFileAtomically(const QString& path, QByteArrayView bytes)
{
    // The rename would replace even a write-protected file: refuse it first.
    const QFileInfo info(path);
    if (info.exists() && (!info.isFile() || !info.isWritable()))
        return false;

    // Unbuffered, so that a short write (a full disk) shows in write()'s count: a buffered
    // QSaveFile lets commit() succeed after a short flush and would install a cut-off file.
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        && file.write(bytes.data(), bytes.size()) == bytes.size() && file.commit();
}

} // namespace velmor
