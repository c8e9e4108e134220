#include "document/ListeningPlaces.h"

#include "document/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sys/stat.h>

namespace velmor {

namespace {

// Shorter than this, the words after a place say too little to find it by.
constexpr qsizetype kShortestTail = 12;

bool isLineBreak(QChar c) { return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator; }

QString escaped(QStringView field)
{
    QString out;
    out.reserve(field.size());
    for (const QChar c : field) {
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        default: out += c;
        }
    }
    return out;
}

QString unescaped(QStringView field)
{
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != u'\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const QChar next = field[++i];
        out += next == u't' ? QChar(u'\t') : next == u'n' ? QChar(u'\n') : next == u'r' ? QChar(u'\r') : next;
    }
    return out;
}

std::optional<std::pair<quint64, quint64>> identityOf(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return std::pair{quint64(status.st_dev), quint64(status.st_ino)};
}

// The occurrence of key in text nearest to around, or none.
std::optional<qsizetype> nearestOccurrence(QStringView text, QStringView key, qsizetype around)
{
    if (key.isEmpty())
        return std::nullopt;
    around = std::clamp<qsizetype>(around, 0, text.size());
    const qsizetype after = text.indexOf(key, around);
    const qsizetype before = around > 0 ? text.lastIndexOf(key, around - 1) : -1;
    if (after < 0 && before < 0)
        return std::nullopt;
    if (after < 0)
        return before;
    if (before < 0)
        return after;
    return around - before <= after - around ? before : after;
}

} // namespace

ListeningPlace placeIn(QStringView text, qsizetype position, qsizetype start)
{
    position = std::clamp<qsizetype>(position, 0, text.size());
    qsizetype from = position;
    while (from > 0 && position - from < kWordsBefore && !isLineBreak(text[from - 1]))
        --from;
    qsizetype to = position;
    while (to < text.size() && to - position < kWordsAfter && !isLineBreak(text[to]))
        ++to;
    ListeningPlace place;
    place.position = start + position;
    place.words = text.sliced(from, to - from).toString();
    place.wordOffset = position - from;
    return place;
}

std::optional<qsizetype> resumePositionIn(QStringView text, const ListeningPlace& place)
{
    const qsizetype wordsStart = place.position - place.wordOffset;
    if (wordsStart >= 0 && text.sliced(std::min(wordsStart, text.size())).startsWith(place.words))
        return place.position;
    if (const std::optional<qsizetype> found = nearestOccurrence(text, place.words, wordsStart))
        return *found + place.wordOffset;
    // The text before the word was edited: the word and what follows it may still be there.
    const QStringView tail = QStringView(place.words).sliced(std::min(place.wordOffset, place.words.size()));
    if (tail.size() >= kShortestTail)
        return nearestOccurrence(text, tail, place.position);
    return std::nullopt;
}

QString ListeningPlaces::defaultStoreFile()
{
    QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    if (stateHome.isEmpty() || QDir::isRelativePath(stateHome))
        stateHome = QDir::homePath() + QStringLiteral("/.local/state");
    return stateHome + QStringLiteral("/velmor/listening-places");
}

ListeningPlaces::ListeningPlaces(QString storeFile)
    : m_storeFile(std::move(storeFile))
{
}

const std::vector<ListeningPlace>& ListeningPlaces::places() const
{
    load();
    return m_places;
}

// One place a line: when, device, inode, position, word offset, path and words, tab-separated,
// with tabs, line breaks and backslashes in the last two written \t, \n, \r and \\.
void ListeningPlaces::load() const
{
    if (m_loaded)
        return;
    m_loaded = true;
    QFile file(m_storeFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString content = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(content).split(u'\n', Qt::SkipEmptyParts)) {
        const QList<QStringView> fields = line.split(u'\t');
        if (fields.size() != 7)
            continue;
        ListeningPlace place;
        bool ok[4] = {};
        place.when = QDateTime::fromString(fields[0].toString(), Qt::ISODateWithMs);
        place.device = fields[1].toULongLong(&ok[0]);
        place.inode = fields[2].toULongLong(&ok[1]);
        place.position = fields[3].toLongLong(&ok[2]);
        place.wordOffset = fields[4].toLongLong(&ok[3]);
        place.path = unescaped(fields[5]);
        place.words = unescaped(fields[6]);
        if (!place.when.isValid() || !std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; })
            || place.path.isEmpty() || place.position < 0 || place.wordOffset < 0 || place.wordOffset > place.words.size())
            continue;
        if (m_places.size() < std::size_t(kMaxFiles))
            m_places.push_back(std::move(place));
    }
}

bool ListeningPlaces::remember(const QString& path, ListeningPlace place, const QDateTime& when)
{
    load();
    place.path = QFileInfo(path).absoluteFilePath();
    place.when = when;
    if (const auto identity = identityOf(place.path))
        std::tie(place.device, place.inode) = *identity;
    std::erase_if(m_places, [&place](const ListeningPlace& kept) {
        return kept.path == place.path || (place.inode != 0 && kept.device == place.device && kept.inode == place.inode);
    });
    m_places.insert(m_places.begin(), std::move(place));
    if (m_places.size() > std::size_t(kMaxFiles))
        m_places.resize(std::size_t(kMaxFiles));

    QByteArray bytes;
    for (const ListeningPlace& kept : m_places) {
        bytes += (kept.when.toString(Qt::ISODateWithMs) + u'\t' + QString::number(kept.device) + u'\t'
                  + QString::number(kept.inode) + u'\t' + QString::number(kept.position) + u'\t'
                  + QString::number(kept.wordOffset) + u'\t' + escaped(kept.path) + u'\t' + escaped(kept.words) + u'\n')
                     .toUtf8();
    }
    QDir().mkpath(QFileInfo(m_storeFile).absolutePath());
    return writeFileAtomically(m_storeFile, bytes);
}

std::optional<ListeningPlace> ListeningPlaces::placeOf(const QString& path) const
{
    load();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (const ListeningPlace& place : m_places)
        if (place.path == absolute)
            return place;
    const auto identity = identityOf(absolute);
    if (!identity)
        return std::nullopt;
    for (const ListeningPlace& place : m_places)
        if (place.inode != 0 && place.device == identity->first && place.inode == identity->second)
            return place;
    return std::nullopt;
}

} // namespace velmor
