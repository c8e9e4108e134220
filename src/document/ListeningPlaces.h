#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace velmor {

// Where listening to a file stopped: the word heard last, told apart by the words around it so
// that it is found again after the file changed.
struct ListeningPlace {
    QString path;
    quint64 device = 0; // with the inode, finds a file that was moved or renamed
    quint64 inode = 0;
    qsizetype position = 0;   // of the word, an index into the file's text
    QString words;            // the text around the word, within its line
    qsizetype wordOffset = 0; // where the word is within words
    QDateTime when;
};

// How much of the text before and after the word heard is kept with it.
inline constexpr qsizetype kWordsBefore = 40;
inline constexpr qsizetype kWordsAfter = 40;

// The place of the word at index `at` of a stretch of a text that starts at the text's index
// `start`, its words taken from the stretch around it.
ListeningPlace placeIn(QStringView stretch, qsizetype at, qsizetype start = 0);

// Where listening goes on in text, which may have changed since the place was kept: the place
// itself while its words are still there; else the same words nearest to it; none when they are
// gone.
std::optional<qsizetype> resumePositionIn(QStringView text, const ListeningPlace& place);

// The places of the files listened to, newest first, at most kMaxFiles of them, kept in a plain
// file of their own (one place a line) that is written whole and atomically after each change.
class ListeningPlaces {
public:
    static constexpr int kMaxFiles = 1000;

    // The file in the user's state folder ($XDG_STATE_HOME, else ~/.local/state).
    static QString defaultStoreFile();

    explicit ListeningPlaces(QString storeFile = defaultStoreFile());

    // Keeps the place (its path, identity and time set here) for the file at path, replacing the
    // one kept for that file, and writes the list; false when it could not be written.
    bool remember(const QString& path, ListeningPlace place, const QDateTime& when);
    // The place kept for the file at path, or, when none is kept under that name, for the same
    // file under its old name (moved or renamed on the same file system).
    std::optional<ListeningPlace> placeOf(const QString& path) const;

    const std::vector<ListeningPlace>& places() const;

private:
    void load() const;

    QString m_storeFile;
    mutable bool m_loaded = false;
    mutable std::vector<ListeningPlace> m_places;
};

} // namespace velmor
