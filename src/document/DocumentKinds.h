#pragma once

#include <QByteArrayView>
#include <QString>

namespace velmor {

// The kinds of file Velmor reads, recognised by content first and by name second.
enum class DocumentKind { PlainText, Binary, Pdf, Epub, Docx, Odt, Html, Markdown };

// bytes: the file, or at least its first 64 KiB (a word-processor archive is told from other
// zip archives by the names of its entries, which a short head may not reach).
// How a file named .htm or .html is read: as a web page (its text without markup), or, as the
// window reads it unless asked otherwise, as a text file, markup and all.
enum class NamedWebPages { AsDocuments, AsText };
DocumentKind recogniseDocument(QByteArrayView bytes, const QString& fileName,
                               NamedWebPages namedWebPages = NamedWebPages::AsDocuments);

// Named as one of the documents Velmor reads (PDF, EPUB, DOCX, ODT, HTML, Markdown).
bool isDocumentName(const QString& path);

// Whether the file holds a document (PDF, EPUB, DOCX, ODT, HTML, Markdown) by its first bytes and
// name, rather than plain text.
bool isDocumentFile(const QString& path);

// Whether the file is worth opening: named as text or as a document, or holding text or a
// document by its content. A missing file is worth it only by its name.
bool mayBeReadable(const QString& path);

} // namespace velmor
