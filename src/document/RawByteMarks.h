#pragma once

#include <QObject>

#include <span>
#include <vector>

class QTextDocument;

namespace velmor {

// Which characters of a document stand for bytes CP932 could not decode (Cp932.h), kept beside
// the document rather than in it: a binary file holds millions of them, and a character format
// on each would make loading and laying out the text many times slower.
//
// What is kept is the exceptions. Once a document's text is marked, every character of the
// raw-byte range in it is a raw byte except those that came in later from outside (typed,
// pasted, or left unmarked when marking), which are characters like any other. Undo and redo
// give back characters, never bring in new ones, so they give back the raw bytes with them, and
// an edit that Qt reports as one span (replacing all, colouring, undoing either) cannot lose a
// raw byte inside it. A typed look-alike deleted and given back by undo or redo is found again
// where it went; replacing the whole text (QTextDocument::clear) forgets the marking.
class RawByteMarks : public QObject {
    Q_OBJECT
public:
    // Marks the document's text: the raw-byte characters at the ascending indexes into
    // documentText, which name no other characters, are raw bytes, no other character is.
    static void mark(QTextDocument& document, std::span<const qsizetype> indexes);
    // Ascending indexes into documentText of the document's raw bytes.
    static std::vector<qsizetype> indexesOf(const QTextDocument& document);

    // What the edits made while one lives are. Typing: text that comes in comes from outside
    // (typed, pasted, dropped), and every edit is one span of new text. UndoOrRedo: text that
    // comes in is given back, and a look-alike given back where it was taken out is one again.
    class Edit {
    public:
        enum Kind { Typing, UndoOrRedo };
        Edit(QTextDocument& document, Kind kind);
        ~Edit();
        Edit(const Edit&) = delete;
        Edit& operator=(const Edit&) = delete;

    private:
        RawByteMarks* m_marks;
        Kind m_kind;
    };

private:
    struct Mark {
        int position;       // in the document
        char16_t character; // the character there
    };
    // A look-alike whose text was taken out: it was at anchor + offset before, and is there
    // again when undo or redo puts the text back at the anchor. Look-alikes taken out together
    // share a group and come back together.
    struct Buried {
        int anchor;
        int offset;
        char16_t character;
        int group;
    };

    explicit RawByteMarks(QTextDocument& document);
    static RawByteMarks* of(const QTextDocument& document);
    void follow(int from, int removed, int added);
    void addTyped(int from, int to);
    void moveBuried(int from, int removed, int added);

    QTextDocument& m_document;
    bool m_marked = false;
    int m_typingDepth = 0;
    int m_undoDepth = 0;
    int m_groups = 0;
    // Look-alikes that are no raw bytes, ascending.
    std::vector<Mark> m_lookAlikes;
    std::vector<Buried> m_buried;
};

} // namespace velmor
