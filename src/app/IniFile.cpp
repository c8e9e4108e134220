#include "app/IniFile.h"

#include "document/AtomicFile.h"
#include "document/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QScopeGuard>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmor {

namespace {

QStringView trimBlanks(QStringView s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && (s[begin] == u' ' || s[begin] == u'\t'))
        ++begin;
    while (end > begin && (s[end - 1] == u' ' || s[end - 1] == u'\t'))
        --end;
    return s.sliced(begin, end - begin);
}

bool sameName(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The name of a "[name]" line; a missing "]" lets the name run to the end of the line.
std::optional<QStringView> sectionOf(QStringView line)
{
    const QStringView t = trimBlanks(line);
    if (!t.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    return trimBlanks(t.sliced(1, (close < 0 ? t.size() : close) - 1));
}

struct KeyLine {
    QStringView key;
    QStringView value;
};

std::optional<KeyLine> keyOf(QStringView line)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    return KeyLine{trimBlanks(line.first(eq)), trimBlanks(line.sliced(eq + 1))};
}

// Index of the first line of the first section with this name, and the end of that
// section's body (the next section line or the end of the text).
struct SectionRange {
    qsizetype header = -1;
    qsizetype end = -1;
};

SectionRange findSection(const QStringList& lines, QStringView section)
{
    SectionRange range;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = sectionOf(lines[i]);
        if (!name)
            continue;
        if (range.header >= 0) {
            range.end = i;
            return range;
        }
        if (sameName(*name, section))
            range.header = i;
    }
    if (range.header >= 0)
        range.end = lines.size();
    return range;
}

// Any character that a reader of the file could take for the end of a line.
bool staysOnOneLine(QStringView text)
{
    for (const QChar c : text) {
        const bool control = c.category() == QChar::Other_Control && c != u'\t';
        if (control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return false;
    }
    return true;
}

QString keyLine(QStringView key, QStringView value)
{
    QString line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append(u'=').append(value);
    return line;
}

} // namespace

SettingsWriteError::SettingsWriteError(const QString& path)
    : std::runtime_error(QStringLiteral("%1 に書き込めません").arg(path).toStdString()), m_path(path)
{
}

IniDocument IniDocument::fromBytes(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = decodeCp932(bytes);

    IniDocument doc;
    doc.m_lines = text.split(u'\n');
    if (doc.m_lines.last().isEmpty())
        doc.m_lines.removeLast();
    for (QString& line : doc.m_lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return doc;
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const
{
    const SectionRange range = findSection(m_lines, section);
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const auto entry = keyOf(m_lines[i]);
        if (entry && sameName(entry->key, key))
            return entry->value.toString();
    }
    return std::nullopt;
}

bool IniDocument::canStore(QStringView section, QStringView key, QStringView value)
{
    const QStringView trimmedKey = trimBlanks(key);
    return staysOnOneLine(section) && staysOnOneLine(key) && staysOnOneLine(value) && !section.contains(u']')
        && !trimmedKey.isEmpty() && !trimmedKey.startsWith(u'[') && !key.contains(u'=');
}

bool IniDocument::setValue(QStringView section, QStringView key, QStringView value)
{
    if (!canStore(section, key, value))
        return false;
    const SectionRange range = findSection(m_lines, section);
    if (range.header < 0) {
        m_lines.append(QStringLiteral("[%1]").arg(section));
        m_lines.append(keyLine(key, value));
        return true;
    }
    qsizetype lastFilled = range.header;
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const auto entry = keyOf(m_lines[i]);
        if (entry && sameName(entry->key, key)) {
            m_lines[i] = keyLine(entry->key, value);
            return true;
        }
        if (!trimBlanks(m_lines[i]).isEmpty())
            lastFilled = i;
    }
    m_lines.insert(lastFilled + 1, keyLine(key, value));
    return true;
}

QByteArray IniDocument::toUtf8() const
{
    QByteArray bytes;
    for (const QString& line : m_lines) {
        bytes += line.toUtf8();
        bytes += '\n';
    }
    return bytes;
}

namespace {

struct RawFile {
    enum class Status { Missing, Read, Refused } status;
    QByteArray bytes;
};

// Opens without blocking (a FIFO would wait for a writer for good) and reads only a regular
// file no larger than the limit (a link to /dev/zero would never end).
RawFile readRegularFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        // A dangling link is something the user made: it is not a missing file to create.
        const bool missing = errno == ENOENT && !QFileInfo(path).isSymLink();
        return {missing ? RawFile::Status::Missing : RawFile::Status::Refused, {}};
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > kMaxIniFileBytes)
        return {RawFile::Status::Refused, {}};

    QByteArray bytes;
    char chunk[16384];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {RawFile::Status::Refused, {}};
        if (got == 0)
            break;
        bytes.append(chunk, got);
        // The file grew past the limit while it was read.
        if (bytes.size() > kMaxIniFileBytes)
            return {RawFile::Status::Refused, {}};
    }
    return {RawFile::Status::Read, bytes};
}

// Another copy of the program closing at the same moment holds the lock only while it
// replaces the file.
constexpr int kLockWaitMs = 5000;

} // namespace

IniDocument readIniFile(const QString& path)
{
    const RawFile file = readRegularFile(path);
    return file.status == RawFile::Status::Read ? IniDocument::fromBytes(file.bytes) : IniDocument();
}

std::optional<QString> readIniValue(const QString& path, QStringView section, QStringView key)
{
    return readIniFile(path).value(section, key);
}

void updateIniFile(const QString& path, const std::function<void(IniDocument&)>& change)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw SettingsWriteError(path);
    // Without the lock (a folder that takes no new files, a holder that does not let go) the
    // replacement still leaves a whole file; only the order of two writers is left to chance.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.tryLock(kLockWaitMs);

    const RawFile old = readRegularFile(path);
    if (old.status == RawFile::Status::Refused)
        throw SettingsWriteError(path);
    IniDocument doc = IniDocument::fromBytes(old.bytes);
    change(doc);
    if (!writeFileAtomically(path, doc.toUtf8()))
        throw SettingsWriteError(path);
}

bool writeIniValue(const QString& path, QStringView section, QStringView key, QStringView value)
{
    if (!IniDocument::canStore(section, key, value))
        return false;
    updateIniFile(path, [&](IniDocument& doc) { doc.setValue(section, key, value); });
    return true;
}

} // namespace velmor
