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

    // While one lives, text that comes into the document comes from outside: typed, pasted or
    // dropped. Every edit made meanwhile must be one span of new text.
    class Typing {
    public:
        explicit Typing(QTextDocument& document);
        ~Typing();
        Typing(const Typing&) = delete;
        Typing& operator=(const Typing&) = delete;

    private:
        RawByteMarks* m_marks;
    };

private:
    struct Mark {
        int position;       // in the document
        char16_t character; // the character there
    };
    // A look-alike whose text was taken out: it was at anchor + offset before, and is there
    // again when the text comes back.
    struct Buried {
        int anchor;
        int offset;
        char16_t character;
    };

    explicit RawByteMarks(QTextDocument& document);
    static RawByteMarks* of(const QTextDocument& document);
    void follow(int from, int removed, int added);
    void addTyped(int from, int to);
    void moveBuried(int from, int removed, int added);

    QTextDocument& m_document;
    bool m_marked = false;
    int m_typingDepth = 0;
    // Look-alikes that are no raw bytes, ascending.
    std::vector<Mark> m_lookAlikes;
    std::vector<Buried> m_buried;
};

} // namespace velmor
