#include "document/DocumentKinds.h"

#include "document/FileNames.h"
#include "document/Paths.h"

#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace velmor {

namespace {

DocumentKind zipKind(QByteArrayView bytes)
{
    // EPUB and OpenDocument put their media type first, stored uncompressed, as the formats require.
    constexpr qsizetype kFirstName = 30;
    if (bytes.size() > kFirstName + 8 && bytes.sliced(kFirstName, 8) == "mimetype") {
        const QByteArrayView type = bytes.sliced(kFirstName + 8, std::min<qsizetype>(64, bytes.size() - kFirstName - 8));
        if (type.startsWith("application/epub+zip"))
            return DocumentKind::Epub;
        if (type.startsWith("application/vnd.oasis.opendocument.text"))
            return DocumentKind::Odt;
    }
    if (QByteArrayView(bytes).indexOf("word/document.xml") >= 0)
        return DocumentKind::Docx;
    return DocumentKind::Binary;
}

bool looksBinary(QByteArrayView bytes)
{
    const QByteArrayView head = bytes.first(std::min<qsizetype>(bytes.size(), 8192));
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return false;
    return head.indexOf('\0') >= 0;
}

bool looksLikeHtml(QByteArrayView bytes)
{
    const QByteArray head = bytes.first(std::min<qsizetype>(bytes.size(), 512)).toByteArray().trimmed().toLower();
    return head.startsWith("<!doctype html") || head.startsWith("<html");
}

} // namespace

DocumentKind recogniseDocument(QByteArrayView bytes, const QString& fileName, NamedWebPages namedWebPages)
{
    if (bytes.first(std::min<qsizetype>(bytes.size(), 1024)).indexOf("%PDF-") >= 0)
        return DocumentKind::Pdf;
    if (bytes.startsWith("PK\x03\x04"))
        return zipKind(bytes);
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (namedWebPages == NamedWebPages::AsText && (suffix == QStringLiteral("html") || suffix == QStringLiteral("htm")))
        return DocumentKind::PlainText;
    if (suffix == QStringLiteral("html") || suffix == QStringLiteral("htm") || suffix == QStringLiteral("xhtml"))
        return DocumentKind::Html;
    if (suffix == QStringLiteral("md") || suffix == QStringLiteral("markdown"))
        return DocumentKind::Markdown;
    // A file named as text opens as text, whatever it holds, as it always has.
    if (IsTextExt(fileName))
        return DocumentKind::PlainText;
    if (looksBinary(bytes))
        return DocumentKind::Binary;
    return looksLikeHtml(bytes) ? DocumentKind::Html : DocumentKind::PlainText;
}

bool isDocumentName(const QString& path)
{
    static const QStringList suffixes = {QStringLiteral("pdf"),  QStringLiteral("epub"),  QStringLiteral("docx"),
                                         QStringLiteral("odt"),  QStringLiteral("html"),  QStringLiteral("htm"),
                                         QStringLiteral("xhtml"), QStringLiteral("md"),   QStringLiteral("markdown")};
    return suffixes.contains(QFileInfo(path).suffix().toLower());
}

namespace {

// The file's first 64 KiB; empty for a missing or empty file or one that is not a regular file.
QByteArray headOf(const QString& path, bool* regular = nullptr)
{
    // Names are bytes (FileNames.h): the file is opened by them.
    const int fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    struct stat status {};
    QByteArray head;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        head.resize(64 * 1024);
        const ssize_t got = ::read(fd, head.data(), head.size());
        head.resize(std::max<ssize_t>(got, 0));
    }
    ::close(fd);
    if (regular)
        *regular = S_ISREG(status.st_mode);
    return head;
}

} // namespace

bool isDocumentFile(const QString& path)
{
    const QByteArray head = headOf(path);
    // A big word-processor archive names its parts after the first 64 KiB.
    if (head.startsWith("PK\x03\x04"))
        return true;
    const DocumentKind kind = recogniseDocument(head, path);
    return kind != DocumentKind::PlainText && kind != DocumentKind::Binary;
}

bool mayBeReadable(const QString& path)
{
    if (path.isEmpty())
        return false;
    if (IsTextExt(path) || isDocumentName(path))
        return true;
    bool regular = false;
    const QByteArray head = headOf(path, &regular);
    if (head.isEmpty())
        return regular;
    if (head.startsWith("PK\x03\x04"))
        return true;
    return recogniseDocument(head, path) != DocumentKind::Binary;
}

} // namespace velmor
