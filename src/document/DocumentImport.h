#pragma once

#include "core/ChapterStart.h"
#include "document/DocumentKinds.h"

#include <QByteArrayView>
#include <QString>

#include <functional>

#include <memory>
#include <stdexcept>
#include <vector>

namespace velmor {

// What a listener hears of a document: its text, a paragraph or heading per line, and its title
// (empty when the document names none), and the chapters it names itself (a book's table of
// contents).
struct ImportedText {
    QString text;
    QString title;
    std::vector<ChapterStart> chapters;
};

// A document that cannot be turned into text. The reason reads after the file's name:
// "report.pdf" + " is protected by a password".
class ImportError : public std::runtime_error {
public:
    explicit ImportError(const QString& reason);
    const QString& reason() const { return m_reason; }
    QString message(const QString& fileName) const;

    static ImportError damaged(const QString& what);
    static ImportError passwordProtected();
    static ImportError imagesOnly();
    static ImportError drmProtected();
    static ImportError tooLarge(const QString& limit);

private:
    QString m_reason;
};

// Told how far an import has got (pages done of all, for a PDF); returning false stops it with
// ReadStopped (TextFile.h).
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;
// Handed the text of a long document's first pages while the rest is still being read, to be
// shown meanwhile; the text the import returns begins with it.
using ImportPreview = std::function<void(const QString& firstPages)>;

// One per document format: a plain function of the file's bytes to the text a listener hears.
// Throws ImportError.
class DocumentImporter {
public:
    virtual ~DocumentImporter() = default;
    virtual ImportedText import(QByteArrayView bytes) const = 0;
    // Formats whose import takes long say how far they have got, and may show their beginning.
    virtual ImportedText import(QByteArrayView bytes, const ImportProgress& /*progress*/,
                                const ImportPreview& /*preview*/) const
    {
        return import(bytes);
    }
};

class PdfImporter final : public DocumentImporter {
public:
    ImportedText import(QByteArrayView bytes) const override;
    ImportedText import(QByteArrayView bytes, const ImportProgress& progress, const ImportPreview& preview) const override;
};

class EpubImporter final : public DocumentImporter {
public:
    ImportedText import(QByteArrayView bytes) const override;
};

class DocxImporter final : public DocumentImporter {
public:
    ImportedText import(QByteArrayView bytes) const override;
};

class OdtImporter final : public DocumentImporter {
public:
    ImportedText import(QByteArrayView bytes) const override;
};

class HtmlImporter final : public DocumentImporter {
public:
    ImportedText import(QByteArrayView bytes) const override;
};

class MarkdownImporter final : public DocumentImporter {
public:
    ImportedText import(QByteArrayView bytes) const override;
};

// The importer of a kind; null for plain text and binary files.
std::unique_ptr<DocumentImporter> importerFor(DocumentKind kind);

} // namespace velmor
