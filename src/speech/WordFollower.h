#pragma once

#include "document/SoftBreaks.h"
#include "speech/SpokenText.h"

#include <QColor>
#include <QElapsedTimer>
#include <QObject>
#include <QTextCursor>
#include <deque>
#include <optional>

namespace velmor {

class SpeechEngine;
class TRichEdit98;

// Follows the texts queued from the document as they are heard: the word being heard is shown
// in the text box in a colour of its own, and the view scrolls to keep it in sight. A pause
// holds it; the end of the text and a reset take it away. With showing switched off it still
// keeps track, for the sentence steps.
class WordFollower : public QObject {
    Q_OBJECT
public:
    static const QColor kWordColor;

    enum class Queued {
        AfterReset, // the engine was reset just before: nothing queued earlier is spoken any more
        Behind,     // behind whatever is still queued
    };

    WordFollower(SpeechEngine& engine, TRichEdit98& editor, QObject* parent);

    void setShowing(bool show);
    bool isShowing() const { return m_showing; }

    // A text just handed to the engine, taken from the document from position `start` on as
    // TRichEdit98::textBetween reads it.
    void follow(Queued how, const QString& text, int start);
    // The first part of a text taken from the document's positions start..end; the rest comes
    // with followRest.
    void followFirstPart(Queued how, const QString& part, int start, int end);
    // The rest of the text followed last, just handed to the engine.
    void followRest(const QString& rest);
    // A selection just handed to the engine; without a start, it was taken where the selection
    // followed before was.
    void followSelection(Queued how, const QString& text, std::optional<int> start);

    // The text followed now (the one being heard, else the next one queued): where its word
    // heard last begins (where the text begins while none is heard yet) and where the text ends.
    struct Place {
        int heard;
        int end;
    };
    std::optional<Place> place() const;
    // Milliseconds since the first word of the followed text at or after `position` was heard;
    // none when no such word has been heard.
    std::optional<qint64> heardFor(int position) const;
    // Time paused is not time heard; a word heard ends a pause.
    void setPaused(bool paused);

private:
    struct Followed {
        std::vector<SpokenText> parts; // as handed to the engine: the whole text, or its two parts
        std::optional<qsizetype> end;  // where a text that came in parts ends
        TextPositions positions; // of the document when it was queued
        EditLog edits;           // since then
        std::deque<std::pair<qsizetype, qint64>> heard = {}; // the latest word starts, and when heard
    };

    void queue(Queued how, const QString& text, int start, std::optional<int> end);
    void wordHeard(const QString& text, int offset, int length);
    void textDone();
    void forget();
    std::optional<int> positionNow(const Followed& followed, qsizetype index) const;

    SpeechEngine& m_engine;
    TRichEdit98& m_editor;
    bool m_showing = true;
    std::deque<Followed> m_followed; // in the order queued
    bool m_hearingFront = false;     // a word of the first of them has been heard
    QTextCursor m_lastSelection; // moves with the edits
    QElapsedTimer m_clock;
    qint64 hearingTime() const; // the clock less the time paused
    qint64 m_pausedFor = 0;
    std::optional<qint64> m_pausedAt;
};

} // namespace velmor
