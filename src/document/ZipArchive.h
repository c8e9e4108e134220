#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct zip;

namespace velmor {

// How much a zip archive may hold: entries, bytes of one entry, bytes expanded in all.
struct ZipLimits {
    qint64 entries = 10'000;
    qint64 entrySize = 64 * 1024 * 1024;
    qint64 totalSize = 256 * 1024 * 1024;
};

// A zip archive held in memory, read with limits so that a crafted archive (a zip bomb) cannot
// exhaust memory. Sizes are counted while inflating, never taken from the archive's own word.
// Throws ImportError for a damaged archive and for one beyond the limits.
class ZipArchive {
public:
    using Limits = ZipLimits;

    explicit ZipArchive(QByteArrayView bytes, Limits limits = {});
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool contains(const QString& name) const;
    // The entry's bytes; nullopt when there is no such entry.
    std::optional<QByteArray> read(const QString& name);
    // Like read, but a missing entry is a damaged archive.
    QByteArray require(const QString& name);

private:
    QByteArray m_bytes; // libzip reads from this copy
    Limits m_limits;
    qint64 m_expanded = 0;
    std::unique_ptr<zip, void (*)(zip*)> m_archive;
};

} // namespace velmor
