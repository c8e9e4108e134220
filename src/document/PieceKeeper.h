#pragma once

#include "widgets/TextPieces.h"

#include <QObject>

#include <utility>
#include <vector>

class QTextDocument;

namespace velmor {

struct SplitText;
class TRichEdit98;

// Keeps the long paragraphs of a document in pieces (SoftBreaks.h) while it is edited. The span
// edited since the pieces were last in shape is noted as the document reports its changes, and
// put in shape once an edit run through edit() is over, or on the next turn of the event loop
// for edits made from anywhere else. A step of undo or redo takes back the reshaping along with
// the edit that caused it. What is typed or pasted is no raw byte of a file (RawByteMarks.h).
//
// Lives as a child of its document; a text box asks it through TextPieces. Without a box it
// holds pieces, keeps no positions and fills the document itself.
class PieceKeeper : public QObject, public TextPieces {
    Q_OBJECT
public:
    explicit PieceKeeper(QTextDocument& document);
    // Attaches one to the box's document and serves the box.
    static PieceKeeper& attach(TRichEdit98& box);
    // The one attached to the document, or nothing.
    static PieceKeeper* of(const QTextDocument& document);

    // Replaces the whole text with one already split by splitForLoading (SoftBreaks.h), which
    // may run on any thread; only while the box holds pieces.
    void loadSplitText(const SplitText& split);

    void serve(Box box) override;
    QString wholeText() const override;
    QString textBetween(int from, int to) const override;
    bool emptyBreakAt(int position) const override;
    int lineCount() const override;
    int lineAt(int position) const override;
    QString lineText(int row, int maxChars) const override;
    int lineStart(int row) const override;
    void load(const QString& text) override;
    void insert(QTextCursor& cursor, const QString& text) override;
    void edit(const std::function<void()>& edit) override;
    void undo(const std::function<void()>& step) override;
    void redo(const std::function<void()>& step) override;
    void settle() override;

private:
    void noteChange(int from, int removed, int added);

    QTextDocument& m_document;
    Box m_box;
    // The span of text edited since the pieces were last put in shape; -1 when none.
    int m_dirtyFrom = -1;
    int m_dirtyTo = -1;
    bool m_settlePosted = false;
    int m_editDepth = 0;  // inside an edit run through edit()
    int m_quietDepth = 0; // changes that need no reshaping: loading, undo, redo, reshaping
    // Undo steps of reshaping, as the undo counts before and after them.
    std::vector<std::pair<int, int>> m_reshapeSteps;
};

} // namespace velmor
