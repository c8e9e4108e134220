#pragma once

#include "core/ChapterStart.h"
#include "document/DocumentImport.h"
#include "document/DocumentKinds.h"
#include "document/TextFile.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace velmor {

// A file as it opens in the text box: a text file decoded as readTextFile does, or a document
// (PDF, EPUB, DOCX, ODT, HTML, Markdown) turned into the text a listener hears.
struct OpenedFile {
    DecodedText decoded;
    bool imported = false; // a document's text, which has no file of its own yet
    QString title;         // the document's own title, when it names one
    std::vector<ChapterStart> chapters; // the chapters the document names itself
    // For a text file that reads only with undecodable bytes: the encoding it seems to be in.
    std::optional<QByteArray> otherEncoding;
};

// Documents bigger than this are refused before they are read.
constexpr qint64 kMaxDocumentBytes = 256 * 1024 * 1024;

// Throws FileError for a file that cannot be read or holds more than maxChars characters, and a
// std::runtime_error saying why a document cannot be turned into text ("report.pdf is protected
// by a password.").
// readText reads a text file: readTextFile when empty. preview is handed a long document's first
// pages while the rest is read (DocumentImport.h).
using TextReader = std::function<DecodedText(const QString& path, qsizetype maxChars, const ReadingProgress& reading)>;
OpenedFile readDocumentOrText(const QString& path, qsizetype maxChars, const ReadingProgress& reading = {},
                              const TextReader& readText = {},
                              NamedWebPages namedWebPages = NamedWebPages::AsDocuments,
                              const ImportPreview& preview = {});

// A text file read in the encoding named (EncodingDetection.h), as new, untitled text named after
// it: its bytes are never written back in another encoding.
OpenedFile readTextInEncoding(const QString& path, const QByteArray& encoding, qsizetype maxChars,
                              const ReadingProgress& reading = {});

} // namespace velmor
