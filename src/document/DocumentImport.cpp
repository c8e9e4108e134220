#include "document/DocumentImport.h"

namespace velmor {

ImportError::ImportError(const QString& reason) : std::runtime_error(reason.toStdString()), m_reason(reason) {}

QString ImportError::message(const QString& fileName) const { return QStringLiteral("%1 %2.").arg(fileName, m_reason); }

ImportError ImportError::damaged(const QString& what)
{
    return ImportError(QStringLiteral("is damaged: its %1 cannot be read").arg(what));
}

ImportError ImportError::passwordProtected() { return ImportError(QStringLiteral("is protected by a password")); }

ImportError ImportError::imagesOnly() { return ImportError(QStringLiteral("has no text to read: it holds only images")); }

ImportError ImportError::drmProtected()
{
    return ImportError(QStringLiteral("is protected by DRM (digital rights management) and cannot be read"));
}

ImportError ImportError::tooLarge(const QString& limit)
{
    return ImportError(QStringLiteral("is too large to read: the limit is %1").arg(limit));
}

std::unique_ptr<DocumentImporter> importerFor(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::Pdf:
        return std::make_unique<PdfImporter>();
    case DocumentKind::Epub:
        return std::make_unique<EpubImporter>();
    case DocumentKind::Docx:
        return std::make_unique<DocxImporter>();
    case DocumentKind::Odt:
        return std::make_unique<OdtImporter>();
    case DocumentKind::Html:
        return std::make_unique<HtmlImporter>();
    case DocumentKind::Markdown:
        return std::make_unique<MarkdownImporter>();
    case DocumentKind::PlainText:
    case DocumentKind::Binary:
        break;
    }
    return nullptr;
}

} // namespace velmor
