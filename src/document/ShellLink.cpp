#include "document/ShellLink.h"

#include "document/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <exception>

namespace velmor {

namespace {

constexpr quint32 kHeaderSize = 0x4C;
constexpr char kLinkClsid[] = "\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46";
constexpr qsizetype kClsidSize = 16;

enum LinkFlag : quint32 {
    HasLinkTargetIDList = 1u << 0,
    HasLinkInfo = 1u << 1,
    HasName = 1u << 2,
    HasRelativePath = 1u << 3,
    HasWorkingDir = 1u << 4,
    HasArguments = 1u << 5,
    HasIconLocation = 1u << 6,
    IsUnicode = 1u << 7,
    ForceNoLinkInfo = 1u << 8,
};

constexpr quint32 kVolumeIdAndLocalBasePath = 1u << 0;
constexpr quint32 kLinkInfoHeaderSizeShort = 0x1C;
constexpr quint32 kLinkInfoHeaderSizeUnicode = 0x24;

// Real shortcuts take a few kilobytes; the parser never needs more than this.
constexpr qint64 kMaxLinkFileSize = 1 << 20;

// Little-endian reads that fail, rather than run past the end, on short data;
// once failed, every further read fails too.
class Reader {
public:
    explicit Reader(QByteArrayView data) : m_data(data) {}

    bool failed() const { return m_failed; }
    QByteArrayView remaining() const { return m_data.sliced(m_pos); }

    QByteArrayView take(quint64 count)
    {
        if (m_failed || count > quint64(m_data.size() - m_pos)) {
            m_failed = true;
            return {};
        }
        const QByteArrayView part = m_data.sliced(m_pos, qsizetype(count));
        m_pos += qsizetype(count);
        return part;
    }
    quint16 u16()
    {
        const QByteArrayView part = take(2);
        return m_failed ? 0 : qFromLittleEndian<quint16>(part.data());
    }
    quint32 u32()
    {
        const QByteArrayView part = take(4);
        return m_failed ? 0 : qFromLittleEndian<quint32>(part.data());
    }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
    bool m_failed = false;
};

// Byte by byte: the data has no alignment to rely on.
QString fromUtf16Le(QByteArrayView bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(qFromLittleEndian<quint16>(bytes.data() + 2 * i));
    return text;
}

// A NUL-terminated string of the LinkInfo block. Its offset must lie past the block's
// header and the terminator inside the block.
std::optional<QString> ansiStringAt(QByteArrayView block, quint32 headerSize, quint32 offset)
{
    if (offset < headerSize || offset >= quint64(block.size()))
        return std::nullopt;
    const QByteArrayView rest = block.sliced(offset);
    const qsizetype end = rest.indexOf('\0');
    if (end < 0)
        return std::nullopt;
    return decodeCp932(rest.first(end));
}

std::optional<QString> unicodeStringAt(QByteArrayView block, quint32 headerSize, quint32 offset)
{
    if (offset < headerSize || offset >= quint64(block.size()))
        return std::nullopt;
    const QByteArrayView rest = block.sliced(offset);
    for (qsizetype i = 0; i + 1 < rest.size(); i += 2) {
        if (rest[i] == '\0' && rest[i + 1] == '\0')
            return fromUtf16Le(rest.first(i));
    }
    return std::nullopt;
}

// The LinkInfo structure: its local base path with the common path suffix, or an empty
// string when the target lies on a network share only.
std::optional<QString> readLinkInfo(Reader& reader)
{
    const quint32 size = Reader(reader.remaining()).u32();
    const QByteArrayView block = reader.take(size);
    if (reader.failed())
        return std::nullopt;

    Reader fields(block);
    fields.u32(); // LinkInfoSize, known already
    const quint32 headerSize = fields.u32();
    const quint32 flags = fields.u32();
    fields.u32(); // VolumeIDOffset
    const quint32 localBasePathOffset = fields.u32();
    fields.u32(); // CommonNetworkRelativeLinkOffset
    const quint32 commonPathSuffixOffset = fields.u32();
    const bool hasUnicode = headerSize >= kLinkInfoHeaderSizeUnicode;
    const quint32 localBasePathOffsetUnicode = hasUnicode ? fields.u32() : 0;
    const quint32 commonPathSuffixOffsetUnicode = hasUnicode ? fields.u32() : 0;
    if (fields.failed() || headerSize > size || (headerSize != kLinkInfoHeaderSizeShort && !hasUnicode))
        return std::nullopt;
    if (!(flags & kVolumeIdAndLocalBasePath))
        return QString();

    const auto base = hasUnicode ? unicodeStringAt(block, headerSize, localBasePathOffsetUnicode)
                                 : ansiStringAt(block, headerSize, localBasePathOffset);
    const auto suffix = hasUnicode ? unicodeStringAt(block, headerSize, commonPathSuffixOffsetUnicode)
                                   : ansiStringAt(block, headerSize, commonPathSuffixOffset);
    if (!base || !suffix)
        return std::nullopt;
    return *base + *suffix;
}

// One StringData entry: a count of code units, then that many UTF-16 units or code-page bytes.
QString readCountedString(Reader& reader, bool unicode)
{
    const quint16 count = reader.u16();
    const QByteArrayView bytes = reader.take(unicode ? 2u * count : count);
    if (reader.failed())
        return {};
    return unicode ? fromUtf16Le(bytes) : decodeCp932(bytes);
}

QString withSlashes(QString windowsPath) { return windowsPath.replace(u'\\', u'/'); }

QString ifExists(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    return QFileInfo::exists(clean) ? clean : QString();
}

} // namespace

std::optional<ShellLink> parseShellLink(QByteArrayView bytes)
{
    Reader reader(bytes);
    const quint32 headerSize = reader.u32();
    const QByteArrayView clsid = reader.take(kClsidSize);
    const quint32 flags = reader.u32();
    reader.take(kHeaderSize - 4 - kClsidSize - 4); // attributes, times, size, icon, show, hot key
    if (reader.failed() || headerSize != kHeaderSize || clsid != QByteArrayView(kLinkClsid, kClsidSize))
        return std::nullopt;

    if (flags & HasLinkTargetIDList)
        reader.take(reader.u16());

    ShellLink link;
    if (flags & HasLinkInfo) {
        const std::optional<QString> localBasePath = readLinkInfo(reader);
        if (!localBasePath)
            return std::nullopt;
        if (!(flags & ForceNoLinkInfo))
            link.localBasePath = *localBasePath;
    }

    const bool unicode = flags & IsUnicode;
    if (flags & HasName)
        readCountedString(reader, unicode);
    if (flags & HasRelativePath)
        link.relativePath = readCountedString(reader, unicode);
    if (flags & HasWorkingDir)
        link.workingDirectory = readCountedString(reader, unicode);
    if (flags & HasArguments)
        link.arguments = readCountedString(reader, unicode);
    if (flags & HasIconLocation)
        readCountedString(reader, unicode);
    if (reader.failed())
        return std::nullopt;
    return link;
}

LinkTarget GetLinkPath(const QString& lnkPath)
{
    // Shortcuts come from outside: whatever goes wrong, the caller just gets no target.
    try {
        const QFileInfo info(lnkPath);
        if (info.isSymLink())
            return {info.canonicalFilePath(), {}, {}};
        // Not a fifo or device either, where reading could block.
        if (!info.isFile())
            return {};

        QFile file(lnkPath);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const std::optional<ShellLink> link = parseShellLink(file.read(kMaxLinkFileSize));
        if (!link)
            return {};
        // A local base path is absolute where it was made; one that is not absolute here
        // (it has a drive letter) names nothing on this system.
        const QString local = withSlashes(link->localBasePath);
        QString target = QDir::isAbsolutePath(local) ? ifExists(local) : QString();
        if (target.isEmpty() && !link->relativePath.isEmpty())
            target = ifExists(info.absoluteDir().absoluteFilePath(withSlashes(link->relativePath)));
        if (target.isEmpty())
            return {};
        return {target, link->workingDirectory, link->arguments};
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace velmor
