#include "document/ZipArchive.h"

#include "document/DocumentImport.h"

#include <zip.h>

namespace velmor {

namespace {

QString megabytes(qint64 bytes)
{
    constexpr qint64 kMegabyte = 1024 * 1024;
    return bytes < kMegabyte ? QStringLiteral("%1 bytes").arg(bytes) : QStringLiteral("%1 MB").arg(bytes / kMegabyte);
}

} // namespace

ZipArchive::ZipArchive(QByteArrayView bytes, Limits limits)
    : m_bytes(bytes.toByteArray()), m_limits(limits), m_archive(nullptr, zip_discard)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        throw ImportError::damaged(QStringLiteral("archive"));
    }
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        throw ImportError::damaged(QStringLiteral("archive"));
    }
    m_archive.reset(archive);
    if (zip_get_num_entries(archive, 0) > m_limits.entries)
        throw ImportError::tooLarge(QStringLiteral("%1 files in its archive").arg(m_limits.entries));
}

ZipArchive::~ZipArchive() = default;

bool ZipArchive::contains(const QString& name) const
{
    return zip_name_locate(m_archive.get(), name.toUtf8().constData(), 0) >= 0;
}

std::optional<QByteArray> ZipArchive::read(const QString& name)
{
    const zip_int64_t index = zip_name_locate(m_archive.get(), name.toUtf8().constData(), 0);
    if (index < 0)
        return std::nullopt;
    std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(zip_fopen_index(m_archive.get(), zip_uint64_t(index), 0),
                                                           zip_fclose);
    if (!file)
        throw ImportError::damaged(QStringLiteral("archive"));
    QByteArray content;
    char buffer[64 * 1024];
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
        if (got < 0)
            throw ImportError::damaged(QStringLiteral("archive"));
        if (got == 0)
            break;
        m_expanded += got;
        if (content.size() + got > m_limits.entrySize)
            throw ImportError::tooLarge(QStringLiteral("%1 for one file in its archive").arg(megabytes(m_limits.entrySize)));
        if (m_expanded > m_limits.totalSize)
            throw ImportError::tooLarge(QStringLiteral("%1 unpacked").arg(megabytes(m_limits.totalSize)));
        content.append(buffer, got);
    }
    return content;
}

QByteArray ZipArchive::require(const QString& name)
{
    std::optional<QByteArray> content = read(name);
    if (!content)
        throw ImportError::damaged(QStringLiteral("archive"));
    return *content;
}

} // namespace velmor
