#include "document/EncodingDetection.h"

#include "document/TextFile.h"

#include <QStringDecoder>

#include <uchardet/uchardet.h>

#include <algorithm>
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

QList<EncodingChoice> encodingChoices(const std::optional<QByteArray>& detected)
{
    static const QList<std::pair<const char*, const char*>> kKnown = {
        {"Shift-JIS", "Japanese"},
        {"EUC-JP", "Japanese"},
        {"ISO-2022-JP", "Japanese"},
        {"UTF-8", "Unicode"},
        {"UTF-16LE", "Unicode, little-endian"},
        {"UTF-16BE", "Unicode, big-endian"},
        {"Windows-1252", "Western European"},
        {"ISO-8859-1", "Western European"},
        {"ISO-8859-15", "Western European with the euro"},
        {"Windows-1250", "Central European"},
        {"ISO-8859-2", "Central European"},
        {"Windows-1251", "Cyrillic"},
        {"KOI8-R", "Russian"},
        {"KOI8-U", "Ukrainian"},
        {"Windows-1253", "Greek"},
        {"Windows-1254", "Turkish"},
        {"Windows-1255", "Hebrew"},
        {"Windows-1256", "Arabic"},
        {"Windows-874", "Thai"},
        {"GB18030", "Chinese, simplified"},
        {"Big5", "Chinese, traditional"},
        {"EUC-KR", "Korean"},
    };
    QList<EncodingChoice> choices;
    for (const auto& [name, what] : kKnown)
        if (QStringDecoder(name).isValid())
            choices.append({QByteArray(name), QStringLiteral("%1 (%2)").arg(QLatin1String(name), QLatin1String(what))});
    if (detected) {
        const auto same = [&](const EncodingChoice& choice) { return choice.name.compare(*detected, Qt::CaseInsensitive) == 0; };
        const auto found = std::find_if(choices.begin(), choices.end(), same);
        EncodingChoice first = found != choices.end() ? *found : EncodingChoice{*detected, QString::fromLatin1(*detected)};
        if (found != choices.end())
            choices.erase(found);
        first.caption += QStringLiteral(", detected");
        choices.prepend(first);
    }
    return choices;
}

} // namespace velmor
