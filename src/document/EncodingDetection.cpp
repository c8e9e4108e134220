#include "document/EncodingDetection.h"

#include "document/TextFile.h"

#include <QStringDecoder>

#include <uchardet/uchardet.h>

#include <memory>

namespace velmor {

std::optional<QByteArray> suggestedEncoding(QByteArrayView bytes)
{
    if (decodeText(bytes).rawBytes.empty())
        return std::nullopt;
    const std::unique_ptr<uchardet, void (*)(uchardet_t)> detector(uchardet_new(), uchardet_delete);
    if (uchardet_handle_data(detector.get(), bytes.data(), std::size_t(bytes.size())) != 0)
        return std::nullopt;
    uchardet_data_end(detector.get());
    const QByteArray found = QByteArray(uchardet_get_charset(detector.get())).toUpper();
    if (found.isEmpty() || found == "SHIFT_JIS" || found == "UTF-8" || found == "ASCII")
        return std::nullopt;
    if (!QStringDecoder(found.constData()).isValid())
        return std::nullopt;
    return found;
}

std::optional<QString> decodeAs(QByteArrayView bytes, const QByteArray& encoding)
{
    QStringDecoder decoder(encoding.constData());
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return text;
}

} // namespace velmor
