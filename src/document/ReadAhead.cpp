#include "document/ReadAhead.h"

#include <QMetaObject>
#include <QObject>

namespace velmor {

ReadAhead::~ReadAhead()
{
    if (m_thread.joinable())
        m_thread.join();
}

void ReadAhead::start(const QString& path, qsizetype maxChars, QObject* context, Ready ready)
{
    if (m_thread.joinable())
        m_thread.join();
    m_thread = std::thread([path, maxChars, context, ready = std::move(ready)]() mutable {
        auto result = std::make_shared<Result>();
        try {
            result->decoded = readTextFile(path, maxChars);
        } catch (...) {
            result->error = std::current_exception();
        }
        // The owner joins this thread before the context goes, and Qt drops the call when the
        // context is gone by the time the event loop gets to it.
        QMetaObject::invokeMethod(
            context, [result, ready = std::move(ready)] { ready(std::move(*result)); }, Qt::QueuedConnection);
    });
}

} // namespace velmor
