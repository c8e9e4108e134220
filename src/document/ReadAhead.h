#pragma once

#include "document/DocumentReading.h"
#include "document/SoftBreaks.h"
#include "document/TextFile.h"

#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

class QObject;

namespace velmor {

// Reads a text file and prepares it for the text box on a thread of its own, so that the window
// keeps answering while a big file is read: decoded, split for loading (SoftBreaks.h) and its
// marks found. The result is handed over on the thread of `context`, with what the reading
// threw (a FileError) when it failed.
class ReadAhead {
public:
    // How a text file is read: readTextFile, unless a test holds the read up.
    using Reader = TextReader;
    struct Request {
        QString path;
        qsizetype maxChars = 0;
        QString mark; // found in the split text when not empty (YukiMarks.h)
        Reader read;  // empty for readTextFile
        QByteArray encoding; // read in this encoding instead (readTextInEncoding)
        NamedWebPages namedWebPages = NamedWebPages::AsText;
    };
    struct Result {
        DecodedText decoded; // its text is handed over as split.text
        bool imported = false; // a document's text (DocumentReading.h)
        QString title;
        std::vector<ChapterStart> chapters;
        std::optional<QByteArray> otherEncoding;
        SplitText split;
        std::vector<int> marks;
        std::exception_ptr error;
    };
    using Ready = std::function<void(Result)>;

    ReadAhead() = default;
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    // Stops every read and waits for its thread; nothing more is handed over.
    ~ReadAhead();

    // A read still going is stopped and never handed over: the latest one wins. A long document
    // hands its first pages to `preview` before the whole goes to `ready` (DocumentImport.h).
    void start(Request request, QObject* context, Ready ready, Ready preview = {});
    void stop();
    // Between start and the hand-over.
    bool reading() const;
    // How much of the file the read going on has read, 0 to 100.
    int percentRead() const;

private:
    struct Job;
    static Result prepare(const Request& request, Job& job, const ImportPreview& preview);

    std::shared_ptr<Job> m_job;
    // Reads stopped before their end are left to finish on their own, and joined later.
    std::vector<std::pair<std::shared_ptr<Job>, std::thread>> m_threads;
};

} // namespace velmor
