#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace velmor {

// File names are bytes. Qt reads them as UTF-8 and turns every other byte into U+FFFD, after
// which the name no longer reaches the file (a Latin-1 "caf\xE9.txt"). These two keep every
// byte instead: a byte that is not part of well-formed UTF-8 becomes the lone surrogate
// U+DC00 + byte, which no well-formed UTF-8 decodes to, and turns back into that byte.
QString decodeFileName(QByteArrayView bytes);
QByteArray encodeFileName(QStringView name);

// A name fit to show: each kept byte appears as U+FFFD.
QString displayFileName(const QString& name);

// A file name as a settings value, which is one line of UTF-8 text: the name itself when it
// is such text, else the "file://" URL of its bytes (which no absolute name begins with).
// fileNameFromSetting turns either back into the name.
QString fileNameSetting(const QString& name);
QString fileNameFromSetting(const QString& value);

// Whether the file system has something of that name, looked up by its bytes.
bool fileNameExists(const QString& name);

} // namespace velmor
