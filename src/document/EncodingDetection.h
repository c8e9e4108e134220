#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <QList>

#include <optional>

namespace velmor {

// Another reading for a text file that decodeText (TextFile.h) can only take with bytes it
// cannot decode: the encoding uchardet finds (EUC-JP, ISO-2022-JP, Windows-1252...), when Qt can
// decode it and it is not one decodeText tries itself. Files that read cleanly get none.
std::optional<QByteArray> suggestedEncoding(QByteArrayView bytes);

// The bytes in that encoding, line breaks as "\n"; nullopt when Qt cannot decode it.
std::optional<QString> decodeAs(QByteArrayView bytes, const QByteArray& encoding);

// An encoding a text file may be read in, and what it is for ("EUC-JP (Japanese)").
struct EncodingChoice {
    QByteArray name;
    QString caption;
};

// The encodings offered for reading a text file again, those Qt can decode: the detected one
// first, when there is one, then Japanese, Unicode and the common Western, Central and Eastern
// European, Greek, Turkish, Hebrew, Arabic, Thai, Chinese and Korean ones.
QList<EncodingChoice> encodingChoices(const std::optional<QByteArray>& detected);

} // namespace velmor
