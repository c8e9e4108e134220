#include "document/ReadAhead.h"

#include "document/YukiMarks.h"

#include <QMetaObject>
#include <QObject>

#include <algorithm>
#include <atomic>

namespace velmor {

struct ReadAhead::Job {
    std::atomic<bool> stopped{false};
    std::atomic<bool> finished{false};
    std::atomic<qint64> bytesRead{0};
    std::atomic<qint64> size{0};
    bool handedOver = false; // on the owner's thread only
};

ReadAhead::~ReadAhead()
{
    for (auto& [job, thread] : m_threads) {
        job->stopped = true;
        thread.join();
    }
}

void ReadAhead::start(Request request, QObject* context, Ready ready, Ready preview)
{
    stop();
    std::erase_if(m_threads, [](auto& entry) {
        if (!entry.first->finished)
            return false;
        entry.second.join();
        return true;
    });
    auto job = std::make_shared<Job>();
    m_job = job;
    std::thread thread([job, request = std::move(request), context, ready = std::move(ready),
                        preview = std::move(preview)]() mutable {
        // The owner joins this thread before the context goes, and Qt drops a call when the
        // context is gone by the time the event loop gets to it.
        const auto handOver = [job, context](std::shared_ptr<Result> result, Ready to, bool whole) {
            QMetaObject::invokeMethod(
                context,
                [job, result, to = std::move(to), whole] {
                    if (job->stopped || job->handedOver)
                        return;
                    job->handedOver = whole;
                    to(std::move(*result));
                },
                Qt::QueuedConnection);
        };
        ImportPreview firstPages;
        if (preview)
            firstPages = [&](const QString& text) {
                auto result = std::make_shared<Result>();
                result->imported = true;
                result->decoded.format = {TextEncoding::Utf8, LineBreak::CrLf};
                result->split = splitForLoading(text);
                if (!request.mark.isEmpty())
                    result->marks = findMarks(result->split.text, request.mark);
                if (!job->stopped)
                    handOver(result, preview, false);
            };
        auto result = std::make_shared<Result>(prepare(request, *job, firstPages));
        job->finished = true;
        if (!job->stopped)
            handOver(result, std::move(ready), true);
    });
    m_threads.emplace_back(job, std::move(thread));
}

void ReadAhead::stop()
{
    if (m_job)
        m_job->stopped = true;
    m_job.reset();
}

bool ReadAhead::reading() const { return m_job && !m_job->handedOver; }

int ReadAhead::percentRead() const
{
    if (!m_job || m_job->size <= 0)
        return 0;
    return int(std::min<qint64>(100, m_job->bytesRead * 100 / m_job->size));
}

ReadAhead::Result ReadAhead::prepare(const Request& request, Job& job, const ImportPreview& preview)
{
    ReadAhead::Result result;
    try {
        const ReadingProgress reading = [&job](qint64 bytesRead, qint64 size) {
            job.size = size;
            job.bytesRead = bytesRead;
            return !job.stopped;
        };
        OpenedFile opened = request.encoding.isEmpty()
            ? readDocumentOrText(request.path, request.maxChars, reading, request.read, request.namedWebPages, preview)
            : readTextInEncoding(request.path, request.encoding, request.maxChars, reading);
        result.decoded = std::move(opened.decoded);
        result.imported = opened.imported;
        result.title = std::move(opened.title);
        result.chapters = std::move(opened.chapters);
        result.otherEncoding = std::move(opened.otherEncoding);
        if (job.stopped)
            return result;
        result.split = splitForLoading(result.decoded.text);
        // Only the split text goes on to the box.
        result.decoded.text = QString();
        if (!job.stopped && !request.mark.isEmpty())
            result.marks = findMarks(result.split.text, request.mark);
    } catch (const ReadStopped&) {
    } catch (...) {
        result.error = std::current_exception();
    }
    return result;
}

} // namespace velmor
