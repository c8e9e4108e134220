#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

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
    void setValue(QStringView section, QStringView key, QStringView value);

    QByteArray toUtf8() const;

private:
    QStringList m_lines;
};

// Each call is one complete access to the file; nothing is kept between calls.

// Nothing when the file cannot be read or lacks the section or key.
std::optional<QString> readIniValue(const QString& path, QStringView section, QStringView key);

// Replaces the file as a whole through a temporary file beside it, so it is never left
// half-written; creates the file's folder when missing. Throws SettingsWriteError when
// the file or its folder refuses the write.
void writeIniValue(const QString& path, QStringView section, QStringView key, QStringView value);

} // namespace velmor
