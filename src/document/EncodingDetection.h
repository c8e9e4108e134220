#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace velmor {

// Another reading for a text file that decodeText (TextFile.h) can only take with bytes it
// cannot decode: the encoding uchardet finds (EUC-JP, ISO-2022-JP, Windows-1252...), when Qt can
// decode it and it is not one decodeText tries itself. Files that read cleanly get none.
std::optional<QByteArray> suggestedEncoding(QByteArrayView bytes);

// The bytes in that encoding, line breaks as "\n"; nullopt when Qt cannot decode it.
std::optional<QString> decodeAs(QByteArrayView bytes, const QByteArray& encoding);

} // namespace velmor
