#pragma once

#include "document/TextFile.h"

#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <thread>

class QObject;

namespace velmor {

// Reads and decodes a text file on a thread of its own, so that the window keeps answering
// while a big file is read. The text is handed over on the thread of `context`, with what the
// reading threw (a FileError) when it failed. A reader destroyed before then waits for its
// thread, and nothing is handed over.
class ReadAhead {
public:
    struct Result {
        DecodedText decoded;
        std::exception_ptr error;
    };
    using Ready = std::function<void(Result)>;

    ReadAhead() = default;
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    ~ReadAhead();

    // One read at a time: a read started while another runs waits for that one first.
    void start(const QString& path, qsizetype maxChars, QObject* context, Ready ready);

private:
    std::thread m_thread;
};

} // namespace velmor
