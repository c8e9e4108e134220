#include "document/DocumentReading.h"

#include "document/DocumentImport.h"
#include "document/EncodingDetection.h"
#include "document/FileNames.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmor {

namespace {

// Every byte of the file, telling reading after each megabyte.
QByteArray readAll(const QString& path, const ReadingProgress& reading)
{
    const int fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FileError::cannotOpen(path);
    QFile file;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw FileError::cannotOpen(path);
    }
    if (status.st_size > kMaxDocumentBytes)
        throw std::runtime_error(ImportError::tooLarge(QStringLiteral("%1 MB").arg(kMaxDocumentBytes / (1024 * 1024)))
                                     .message(QFileInfo(displayFileName(path)).fileName())
                                     .toStdString());
    QByteArray bytes;
    bytes.reserve(status.st_size);
    constexpr qint64 kStep = 1024 * 1024;
    for (;;) {
        const QByteArray piece = file.read(kStep);
        if (piece.isEmpty())
            break;
        bytes += piece;
        // Reading the file is the first half of opening a document, turning it into text the second.
        if (reading && !reading(bytes.size(), 2 * status.st_size))
            throw ReadStopped{};
    }
    if (file.error() != QFileDevice::NoError)
        throw FileError::cannotOpen(path);
    return bytes;
}

bool mayBeDocument(const QString& path)
{
    if (isDocumentName(path))
        return true;
    const int fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    char head[5] = {};
    const ssize_t got = ::read(fd, head, sizeof head);
    ::close(fd);
    const QByteArrayView start(head, std::max<ssize_t>(got, 0));
    return start.startsWith("%PDF-") || start.startsWith("PK\x03\x04") || start.startsWith("<");
}

} // namespace

OpenedFile readDocumentOrText(const QString& path, qsizetype maxChars, const ReadingProgress& reading,
                              const TextReader& readText, NamedWebPages namedWebPages, const ImportPreview& preview)
{
    OpenedFile opened;
    if (mayBeDocument(path)) {
        const QByteArray bytes = readAll(path, reading);
        const auto importer = importerFor(recogniseDocument(bytes, path, namedWebPages));
        if (importer) {
            ImportedText imported;
            try {
                imported = importer->import(
                    bytes, [&reading](qint64 done, qint64 total) { return !reading || reading(total + done, 2 * total); },
                    preview);
            } catch (const ImportError& error) {
                throw std::runtime_error(error.message(QFileInfo(displayFileName(path)).fileName()).toStdString());
            }
            if (imported.text.size() > maxChars)
                throw FileError::tooLarge(path, maxChars);
            opened.decoded.text = std::move(imported.text);
            opened.decoded.format = {TextEncoding::Utf8, LineBreak::CrLf};
            opened.imported = true;
            opened.title = imported.title;
            opened.chapters = std::move(imported.chapters);
            return opened;
        }
    }
    opened.decoded = readText ? readText(path, maxChars, reading) : readTextFile(path, maxChars, reading);
    if (!opened.decoded.rawBytes.empty())
        opened.otherEncoding = suggestedEncoding(readAll(path, {}));
    return opened;
}

OpenedFile readTextInEncoding(const QString& path, const QByteArray& encoding, qsizetype maxChars,
                              const ReadingProgress& reading)
{
    std::optional<QString> text = decodeAs(readAll(path, reading), encoding);
    if (!text)
        throw FileError::cannotOpen(path);
    if (text->size() > maxChars)
        throw FileError::tooLarge(path, maxChars);
    OpenedFile opened;
    opened.decoded.text = std::move(*text);
    opened.decoded.format = {TextEncoding::Utf8, LineBreak::CrLf};
    opened.imported = true;
    return opened;
}

} // namespace velmor
