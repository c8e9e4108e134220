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
constexpr char kLinkClsid[16] = {'\x01', '\x14', '\x02', '\x00', '\x00', '\x00', '\x00', '\x00',
                                 '\xC0', '\x00', '\x00', '\x00', '\x00', '\x00', '\x00', '\x46'};
constexpr qsizetype kClsidOffset = 4;
constexpr qsizetype kFlagsOffset = 20;

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

// Real shortcuts are a few kilobytes; anything past this cannot be part of one.
constexpr qint64 kMaxLinkFileSize = 1 << 20;

// Little-endian reads that fail, rather than run past the end, on short data.
class Reader {
public:
    explicit Reader(QByteArrayView data) : m_data(data) {}

    bool failed() const { return m_failed; }
    qsizetype position() const { return m_pos; }

    QByteArrayView take(qsizetype count)
    {
        if (m_failed || count < 0 || count > m_data.size() - m_pos) {
            m_failed = true;
            return {};
        }
        const QByteArrayView part = m_data.sliced(m_pos, count);
        m_pos += count;
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

QString fromUtf16Le(QByteArrayView bytes)
{
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(qFromLittleEndian<quint16>(bytes.data() + 2 * i));
    return text;
}

// A NUL-terminated string at offset inside block; nothing when it starts outside or
// has no terminator inside.
std::optional<QString> ansiStringAt(QByteArrayView block, quint32 offset)
{
    if (offset >= quint64(block.size()))
        return std::nullopt;
    const QByteArrayView rest = block.sliced(offset);
    const qsizetype end = rest.indexOf('\0');
    if (end < 0)
        return std::nullopt;
    return decodeCp932(rest.first(end));
}

std::optional<QString> unicodeStringAt(QByteArrayView block, quint32 offset)
{
    if (offset >= quint64(block.size()))
        return std::nullopt;
    const QByteArrayView rest = block.sliced(offset);
    for (qsizetype i = 0; i + 1 < rest.size(); i += 2) {
        if (rest[i] == '\0' && rest[i + 1] == '\0')
            return fromUtf16Le(rest.first(i));
    }
    return std::nullopt;
}

// The LinkInfo structure's local path; empty when it names only a network share.
std::optional<QString> readLinkInfo(Reader& reader)
{
    const qsizetype start = reader.position();
    const quint32 size = reader.u32();
    if (reader.failed() || size < kLinkInfoHeaderSizeShort)
        return std::nullopt;
    // The size counts its own four bytes, already read.
    const QByteArrayView rest = reader.take(qsizetype(size) - 4);
    if (reader.failed())
        return std::nullopt;
    Q_UNUSED(start);

    QByteArray header;
    Reader fields(rest);
    const quint32 headerSize = fields.u32();
    const quint32 flags = fields.u32();
    fields.u32(); // VolumeIDOffset
    const quint32 localBasePathOffset = fields.u32();
    fields.u32(); // CommonNetworkRelativeLinkOffset
    const quint32 commonPathSuffixOffset = fields.u32();
    const bool hasUnicode = headerSize >= kLinkInfoHeaderSizeUnicode;
    const quint32 localBasePathOffsetUnicode = hasUnicode ? fields.u32() : 0;
    const quint32 commonPathSuffixOffsetUnicode = hasUnicode ? fields.u32() : 0;
    if (fields.failed() || headerSize > size
        || (headerSize != kLinkInfoHeaderSizeShort && headerSize < kLinkInfoHeaderSizeUnicode))
        return std::nullopt;
    Q_UNUSED(header);
    return std::nullopt;
}

} // namespace

} // namespace velmor
