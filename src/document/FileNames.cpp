#include "document/FileNames.h"

#include "document/Utf8.h"

#include <algorithm>

#include <sys/stat.h>

namespace velmor {

namespace {

constexpr char16_t kByteBase = 0xDC00;

bool isKeptByte(char16_t c) { return c >= kByteBase + 0x80 && c <= kByteBase + 0xFF; }

const QString kFileUrlPrefix = QStringLiteral("file://");

bool fitsSettingsLine(QChar c)
{
    return !isKeptByte(c.unicode()) && c.category() != QChar::Other_Control && c != QChar::LineSeparator
        && c != QChar::ParagraphSeparator;
}

} // namespace

QString decodeFileName(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    qsizetype runStart = 0;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = utf8SequenceLength(bytes.sliced(at));
        if (length > 0) {
            at += length;
            continue;
        }
        name += QString::fromUtf8(bytes.sliced(runStart, at - runStart));
        name += QChar(char16_t(kByteBase + static_cast<unsigned char>(bytes[at])));
        runStart = ++at;
    }
    name += QString::fromUtf8(bytes.sliced(runStart));
    return name;
}

QByteArray encodeFileName(QStringView name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isKeptByte(name[i].unicode()))
            continue;
        bytes += name.sliced(start, i - start).toUtf8();
        if (i < name.size())
            bytes += char(name[i].unicode() - kByteBase);
        start = i + 1;
    }
    return bytes;
}

QString displayFileName(const QString& name)
{
    QString shown = name;
    for (QChar& c : shown) {
        if (isKeptByte(c.unicode()))
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

QString fileNameSetting(const QString& name)
{
    if (std::ranges::all_of(name, fitsSettingsLine) && !name.startsWith(kFileUrlPrefix))
        return name;
    return kFileUrlPrefix + QString::fromLatin1(encodeFileName(name).toPercentEncoding("/"));
}

QString fileNameFromSetting(const QString& value)
{
    if (!value.startsWith(kFileUrlPrefix))
        return value;
    return decodeFileName(QByteArray::fromPercentEncoding(value.sliced(kFileUrlPrefix.size()).toUtf8()));
}

bool fileNameExists(const QString& name)
{
    struct stat status {};
    return !name.isEmpty() && ::stat(encodeFileName(name).constData(), &status) == 0;
}

} // namespace velmor
