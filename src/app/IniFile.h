#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <stdexcept>

namespace velmor {

// A settings file that could not be written; what() is the user-facing text (UTF-8).
class SettingsWriteError : public std::runtime_error {
public:
    explicit SettingsWriteError(const QString& path);
    const QString& path() const { return m_path; }
    QString message() const { return QString::fromUtf8(what()); }

private:
    QString m_path;
};

// INI text kept as its lines, so that a change leaves every other line as it was.
// Section and key names match without regard to case; the first match wins.
class IniDocument {
public:
    // UTF-8 (a byte-order mark is dropped); bytes that are not valid UTF-8 are read as CP932.
    static IniDocument fromBytes(QByteArrayView bytes);

    // Spaces and tabs around the value are not part of it; a key with nothing after "=" gives "".
    std::optional<QString> value(QStringView section, QStringView key) const;
    // Replaces the key's value, or adds the key at the end of its section, or adds the section at the end.
    // Refuses, changing nothing and giving false, what canStore refuses.
    bool setValue(QStringView section, QStringView key, QStringView value);

    // False when writing the entry would break its line or start one of another meaning: a line
    // break or any other control character but the tab anywhere, a "]" in the section name, an
    // empty key, a key with "=" or beginning with "[".
    static bool canStore(QStringView section, QStringView key, QStringView value);

    QByteArray toUtf8() const;

private:
    QStringList m_lines;
};

// The largest settings file that is read: far above what the program writes, small enough
// that a file that is no settings file cannot exhaust memory.
inline constexpr qint64 kMaxIniFileBytes = 1 << 20;

// Each call is one complete access to the file; nothing is kept between calls.

// The file's text; an empty document when the file is missing, is not a regular file
// (a folder, a FIFO, a device, a dangling link), is larger than kMaxIniFileBytes or
// cannot be read. Never blocks on the file.
IniDocument readIniFile(const QString& path);

// Nothing when the file cannot be read or lacks the section or key.
std::optional<QString> readIniValue(const QString& path, QStringView section, QStringView key);

// Reads the file, lets `change` edit its text and replaces the file as a whole, once,
// through a temporary file beside it, so it is never left half-written; creates the
// file's folder when missing. Another copy of the program doing the same waits on a lock
// file beside it, so two at once cannot mix their values. Throws SettingsWriteError when
// the file is there but is no regular file within the size limit, or when the file or
// its folder refuses the write.
void updateIniFile(const QString& path, const std::function<void(IniDocument&)>& change);

// False, leaving the file alone, when IniDocument::canStore refuses the entry.
bool writeIniValue(const QString& path, QStringView section, QStringView key, QStringView value);

} // namespace velmor
