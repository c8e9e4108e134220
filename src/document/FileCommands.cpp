#include "document/FileCommands.h"

#include "widgets/ErrorBox.h"
#include "core/FaceNames.h"
#include "core/FormState.h"
#include "core/SpeakingState.h"
#include "document/AtomicFile.h"
#include "document/DocumentKinds.h"
#include "document/EncodingDetection.h"
#include "document/FileNames.h"
#include "document/LineBreakMarks.h"
#include "document/Paths.h"
#include "document/PieceKeeper.h"
#include "document/ShellLink.h"
#include "document/TextFile.h"
#include "document/TextFileDocument.h"
#include "document/YukiMarks.h"
#include "widgets/Bgr.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/InfoLine.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QDir>
#include <QFileInfo>
#include <QScrollBar>

#include <algorithm>

#include <unistd.h>

namespace velmor {

namespace {

// The text files first, as they always were; the documents after them.
const QString kOpenFilter = QStringLiteral(
    "Text and UnicodeText(*.txt)|*.txt|Pascal files|*.PAS;*.DPK;*.DPR|HTML,INI|*.HTML;*.HTM;*.INI|"
    "All readable files|*.txt;*.TXT;*.PAS;*.DPK;*.DPR;*.INI;*.pdf;*.epub;*.docx;*.odt;*.html;*.htm;*.xhtml;*.md;*.markdown|"
    "PDF documents|*.pdf|EPUB books|*.epub|Word documents|*.docx|OpenDocument texts|*.odt|"
    "Web pages|*.html;*.htm;*.xhtml|Markdown|*.md;*.markdown|All files|*");
const QString kUnicodeFilter = QStringLiteral("Unicode Text(*.txt)|*.txt");
const QString kPlainFilter = QStringLiteral("Text(*.txt)|*.txt");

} // namespace

FileCommands::FileCommands(FormState& state, SpeakingState& speaking, FileControls controls, FileServices services,
                           Dialogs& dialogs)
    : m_state(state)
    , m_speaking(speaking)
    , m_controls(controls)
    , m_services(std::move(services))
    , m_dialogs(dialogs)
    , m_progress(controls.panel, [this] { return m_readAhead.percentRead(); })
{
}

void FileCommands::OpenButtonClick()
{
    // Opening replaces the text, so unsaved text is asked about first, as New does.
    if (!m_services.mayDiscardText())
        return;
    const std::optional<QString> chosen =
        m_dialogs.chooseFile({FileChoice::Kind::Open, kOpenFilter, QStringLiteral("*.txt"), {}});
    if (!chosen)
        return;
    m_controls.editor.setFocus();
    open(*chosen, Road::OpenCommand);
}

void FileCommands::MyTextFileOpen(std::function<void()> shown)
{
    if (IsLinkExt(m_state.fOpenName))
        m_state.fOpenName = GetLinkPath(m_state.fOpenName).path;
    if (!mayBeReadable(m_state.fOpenName)) {
        m_state.fParamOpen = false;
        return;
    }
    open(m_state.fOpenName, m_state.fDropOpen ? Road::Dropped : Road::StartUp, std::move(shown));
}

void FileCommands::open(const QString& path, Road road, std::function<void()> shown, const QByteArray& encoding)
{
    // At start-up the marks are coloured unless it is the program's first start.
    const bool colourYuki = m_state.fAddYuki && (road != Road::StartUp || !m_state.ffirst);
    // Any start-up open still going is replaced by this one.
    m_state.fParamOpen = road == Road::StartUp;
    m_controls.editor.holdKeys(true);
    offerLeftoverBackup(path);
    m_progress.start(QFileInfo(displayFileName(path)).fileName());
    m_firstPagesShown = false;
    m_readAhead.start(
        {path, TRichEdit98::kMaxLength, colourYuki ? kYukiMark : QString(), m_services.readFile, encoding,
         m_services.webPagesAsDocuments() ? NamedWebPages::AsDocuments : NamedWebPages::AsText},
        &m_controls.editor,
        [this, path, road, colourYuki, encoding, shown = std::move(shown)](ReadAhead::Result read) {
            m_progress.stop();
            runGuarded(m_dialogs.showError, [&] {
                if (read.error)
                    std::rethrow_exception(read.error);
                // The whole text takes the place of its first pages where the reader is in them.
                TRichEdit98& editor = m_controls.editor;
                const int caret = editor.textCursor().position();
                const int scrolled = editor.verticalScrollBar()->value();
                const bool keepPlace = m_firstPagesShown;
                show(path, read, road, colourYuki, encoding, true);
                if (keepPlace) {
                    editor.setSelection(std::min(caret, editor.document()->characterCount() - 1), 0);
                    editor.verticalScrollBar()->setValue(scrolled);
                    m_services.caretMoved();
                }
                if (shown)
                    shown();
            });
            m_state.fParamOpen = false;
            m_controls.editor.holdKeys(false);
        },
        // A long document's first pages are there to be read while the rest comes in, as untitled
        // text from the document; keys typed meanwhile still wait for the whole.
        [this, path, road, colourYuki](ReadAhead::Result firstPages) {
            runGuarded(m_dialogs.showError, [&] { show(path, firstPages, road, colourYuki, {}, false); });
            m_firstPagesShown = true;
        });
}

void FileCommands::reopenWithEncoding()
{
    const bool fromTextFile = !m_textFilePath.isEmpty()
        && (m_state.fFileName == m_textFilePath || m_state.fImportedFrom == m_textFilePath);
    if (!fromTextFile) {
        m_dialogs.inform(QStringLiteral("Open a text file first: Reopen with encoding reads its bytes again."));
        return;
    }
    const QList<EncodingChoice> choices =
        encodingChoices(m_otherEncoding.isEmpty() ? std::nullopt : std::optional<QByteArray>(m_otherEncoding));
    QStringList captions;
    for (const EncodingChoice& choice : choices)
        captions << choice.caption;
    announce(QStringLiteral("Choose an encoding"));
    const QString fileName = QFileInfo(displayFileName(m_textFilePath)).fileName();
    const std::optional<int> chosen = m_dialogs.chooseItem(
        QStringLiteral("Reopen with encoding"), QStringLiteral("Read %1 in the encoding:").arg(fileName), captions, 0);
    if (!chosen || *chosen < 0 || *chosen >= choices.size() || !m_services.mayDiscardText())
        return;
    open(m_textFilePath, Road::OpenCommand, {}, choices[*chosen].name);
}

void FileCommands::stopOpening()
{
    if (!opening())
        return;
    m_readAhead.stop();
    m_progress.stop();
    m_state.fParamOpen = false;
    m_controls.editor.holdKeys(false);
}

void FileCommands::show(const QString& path, ReadAhead::Result& read, Road road, bool colourYuki,
                        const QByteArray& reopenedIn, bool whole)
{
    TRichEdit98& editor = m_controls.editor;
    m_services.leavingText();
    editor.setUpdatesEnabled(false);
    PieceKeeper::of(*editor.document())->loadSplitText(read.split);
    const qsizetype length = read.split.text.size();
    read.split = {};
    markRawBytes(*editor.document(), read.decoded.rawBytes);
    LineBreakMarks::mark(*editor.document(), read.decoded.otherLineBreaks);
    const bool unicode = isUnicode(read.decoded.format.encoding);
    m_state.fHangulMode = unicode && IsHangulName(path);
    if (m_state.fHangulMode && m_state.fFontName != kFaceUIGothic)
        m_services.switchToHangulFont();
    else
        m_services.applyEditorFont();
    editor.setSelection(0, 0);

    // A document's text is new, untitled text: Save can never write it over the document.
    m_state.fFileName = read.imported ? QString() : path;
    m_state.fImportedFrom = read.imported ? path : QString();
    m_state.fChapterStarts = std::move(read.chapters);
    m_state.fUnicodeFile = unicode;
    m_state.fTextFormat = read.decoded.format;

    if (colourYuki) {
        const QColor normal = colorFromBgr(m_state.fFontColor);
        // The marks were found in the text as it was loaded; a font change that loaded it again
        // keeps its positions, but a text of another length is searched afresh.
        if (editor.document()->characterCount() == length + 1)
            colourMarks(editor, read.marks, int(kYukiMark.size()), kYukiColor, normal);
        else
            AddYukiColor(editor, kYukiMark, kYukiColor, normal);
        // A freshly opened text has nothing to undo, not even its colouring.
        editor.document()->clearUndoRedoStacks();
        if (road != Road::StartUp) {
            m_services.caretMoved();
            editor.setSelection(0, 0);
            editor.verticalScrollBar()->setValue(0);
        }
    }
    editor.setModified(false);
    m_controls.saveLabel.setOpaque(false);
    showFileName();
    m_saveDirectory = QFileInfo(path).absolutePath();
    // A text reopened in another encoding keeps the one detected when it was first read.
    if (!read.imported || !reopenedIn.isEmpty()) {
        if (m_textFilePath != path || reopenedIn.isEmpty())
            m_otherEncoding = read.otherEncoding.value_or(QByteArray());
        m_textFilePath = path;
    } else {
        m_textFilePath.clear();
        m_otherEncoding.clear();
    }
    if (read.otherEncoding)
        m_controls.panel.setCaption(
            QStringLiteral("  %1 may be in %2: Edit > Reopen with encoding")
                .arg(QFileInfo(displayFileName(path)).fileName(), QString::fromLatin1(*read.otherEncoding)));
    m_services.caretMoved();
    m_state.fArticleWait = false;
    editor.setUpdatesEnabled(true);
    if (whole)
        m_services.fileShown();
}

void FileCommands::showFileName()
{
    const QFontMetrics metrics(m_controls.editor.window()->font());
    const auto measure = [&metrics](const QString& text) { return metrics.horizontalAdvance(text); };
    if (m_state.fFileName.isEmpty() && !m_state.fImportedFrom.isEmpty()) {
        // Untitled text read from a document says where it came from.
        const QString prefix = QStringLiteral("Untitled text from ");
        m_controls.infoLine.showText(
            prefix + ShortenPath(displayFileName(m_state.fImportedFrom), measure,
                                 m_services.infoLineWidth() - measure(prefix)),
            m_state.fFontName);
        return;
    }
    m_controls.infoLine.showText(ShortenPath(displayFileName(m_state.fFileName), measure, m_services.infoLineWidth()),
                                 m_state.fFontName);
}

void FileCommands::announce(const QString& sentence)
{
    if (!m_services.speechInfo())
        return;
    m_speaking.endRun();
    m_services.announce(sentence);
}

void FileCommands::refuse(const QString& spoken, const QString& shown)
{
    announce(spoken);
    m_dialogs.inform(shown);
}

FileCommands::Written FileCommands::write(const QString& path, const TextFormat& format)
{
    const QTextDocument& document = *m_controls.editor.document();
    const QString text = documentText(document);
    int replaced = 0;
    QStringList examples;
    const QByteArray bytes = encodeText(text, format, &replaced, rawBytePositions(document),
                                        LineBreakMarks::exceptionsOf(document, text), &examples);
    if (replaced > 0) {
        switch (askAboutLostCharacters(replaced, examples)) {
        case LostCharacters::SaveAsUnicode:
            return Written::AsUnicode;
        case LostCharacters::Cancel:
            return Written::No;
        case LostCharacters::Replace:
            break;
        }
    }
    if (!writeFileAtomically(path, bytes))
        throw FileError::cannotCreate(path);
    // Characters the file could not take are still unsaved: closing must go on asking.
    const bool lossy = replaced > 0;
    m_controls.editor.setModified(lossy);
    m_controls.saveLabel.setOpaque(lossy);
    return Written::Yes;
}

FileCommands::LostCharacters FileCommands::askAboutLostCharacters(int count, const QStringList& examples)
{
    QStringList shown;
    for (const QString& character : examples) {
        const char32_t code = character.toUcs4().value(0);
        shown << QStringLiteral("%1 (U+%2)").arg(character, QString::number(code, 16).toUpper().rightJustified(4, u'0'));
    }
    if (count > examples.size())
        shown << QStringLiteral("...");
    announce(QStringLiteral("Some characters cannot be saved as plain text. Save as Unicode?"));
    const int answer = m_dialogs.askChoice(
        QStringLiteral("%1 character(s) cannot be written as Shift-JIS (CP932) text and would be saved as \"?\": %2\n"
                       "Save as Unicode to keep them?")
            .arg(QString::number(count), shown.join(QStringLiteral(", "))),
        {QStringLiteral("Save as Unicode"), QStringLiteral("Save with \"?\""), QStringLiteral("Cancel")}, 0, 2);
    return answer == 0 ? LostCharacters::SaveAsUnicode
        : answer == 1  ? LostCharacters::Replace
                       : LostCharacters::Cancel;
}

void FileCommands::offerLeftoverBackup(const QString& path)
{
    const QStringList backups = leftoverBackups(path);
    if (backups.isEmpty())
        return;
    announce(QStringLiteral("A save of this file did not finish. Restore the file from its copy?"));
    QString question = QStringLiteral("A save of %1 did not finish and left a copy of the file as it was before: %2\n")
                           .arg(displayFileName(path), displayFileName(backups.front()));
    if (backups.size() > 1)
        question += QStringLiteral("(%1 copies were found; the newest is named.)\n").arg(backups.size());
    question += QStringLiteral("Restore the file from the copy, or delete the copies?");
    const int answer = m_dialogs.askChoice(
        question, {QStringLiteral("Restore"), QStringLiteral("Delete"), QStringLiteral("Keep")}, 2, 2);
    if (answer == 0) {
        if (!restoreBackup(path, backups.front()))
            m_dialogs.showError(FileError::cannotCreate(path).message());
    } else if (answer == 1) {
        for (const QString& backup : backups)
            ::unlink(encodeFileName(backup).constData());
    }
}

void FileCommands::SaveButtonClick()
{
    TRichEdit98& editor = m_controls.editor;
    if (editor.document()->isEmpty()) {
        refuse(QStringLiteral("Text was not found"), QStringLiteral("Text was not found"));
        return;
    }
    if (m_state.fFileName.isEmpty()) {
        refuse(QStringLiteral("Save a file as plain or unicode text"),
               QStringLiteral("Save a file as Plain or Unicode Text "));
        return;
    }
    if (write(m_state.fFileName, m_state.fTextFormat) == Written::AsUnicode)
        saveAsUnicode(m_state.fFileName);
}

QString FileCommands::presetSaveName(const QString& suffix) const
{
    if (m_controls.editor.document()->isEmpty())
        return QStringLiteral("*.txt");
    if (!m_state.fFileName.isEmpty())
        return m_state.fFileName;
    // Text read from report.pdf is offered as report.txt beside it.
    if (!m_state.fImportedFrom.isEmpty()) {
        const QFileInfo source(m_state.fImportedFrom);
        return source.absoluteDir().filePath(source.completeBaseName() + QStringLiteral(".txt"));
    }
    return m_services.now().toString(QStringLiteral("yyMMddHHmm")) + suffix;
}

void FileCommands::UniSaveButtonClick() { saveAsUnicode(presetSaveName(QStringLiteral("uni"))); }

void FileCommands::saveAsUnicode(const QString& presetName)
{
    const std::optional<QString> chosen =
        m_dialogs.chooseFile({FileChoice::Kind::Save, kUnicodeFilter, presetName, m_saveDirectory});
    if (!chosen)
        return;
    const TextFormat unicode{TextEncoding::Utf16Le, m_state.fTextFormat.lineBreak};
    if (write(*chosen, unicode) != Written::Yes)
        return;
    m_state.fFileName = *chosen;
    m_state.fImportedFrom.clear();
    m_state.fUnicodeFile = true;
    m_state.fTextFormat = unicode;
    m_state.fHangulMode = IsHangulName(*chosen);
    if (m_state.fHangulMode && m_state.fFontName != kFaceUIGothic)
        m_services.switchToHangulFont();
    showFileName();
}

void FileCommands::PlainSaveButtonClick()
{
    const std::optional<QString> chosen =
        m_dialogs.chooseFile({FileChoice::Kind::Save, kPlainFilter, presetSaveName({}), m_saveDirectory});
    if (!chosen)
        return;
    const TextFormat plain{TextEncoding::Cp932, m_state.fTextFormat.lineBreak};
    switch (write(*chosen, plain)) {
    case Written::No:
        return;
    case Written::AsUnicode:
        saveAsUnicode(*chosen);
        return;
    case Written::Yes:
        break;
    }
    m_state.fUnicodeFile = false;
    m_state.fHangulMode = false;
    m_state.fTextFormat = plain;
    m_state.fFileName = *chosen;
    m_state.fImportedFrom.clear();
    showFileName();
}

} // namespace velmor
