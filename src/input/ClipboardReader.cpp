#include "input/ClipboardReader.h"

#include "input/X11ClipboardReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace velmor {

QString speakableBeginning(const QString& beginning)
{
    for (qsizetype i = beginning.size() - 1; i > 0; --i) {
        if (beginning[i] == u'\n' || beginning[i] == u' ')
            return beginning.left(i + 1);
    }
    return beginning;
}

bool cutClipboardText(QString& text, qsizetype longest)
{
    if (text.size() <= longest)
        return false;
    qsizetype end = longest;
    if (text[end - 1].isHighSurrogate())
        --end;
    text.truncate(end);
    text.squeeze();
    return true;
}

QtClipboardReader::QtClipboardReader(QClipboard* clipboard)
    : m_clipboard(clipboard ? clipboard : QGuiApplication::clipboard())
{
}

void QtClipboardReader::read(Delivery deliver)
{
    const QMimeData* data = m_clipboard->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText()) {
        deliver({ClipboardReading::Outcome::NoText, {}, {}});
        return;
    }
    QString text = data->text();
    const bool cut = cutClipboardText(text);
    deliver({ClipboardReading::Outcome::Whole, text, {}, cut});
}

std::unique_ptr<ClipboardReader> makeClipboardReader()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto reader = X11ClipboardReader::create())
            return reader;
    }
    return std::make_unique<QtClipboardReader>();
}

} // namespace velmor
