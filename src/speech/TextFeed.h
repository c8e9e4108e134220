#pragma once

#include "speech/WordFollower.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

class QAction;

namespace velmor {

class SpeechEngine;
class TRichEdit98;

// Hands the engine a text from the document without gathering a long one whole first: a first
// part of a few thousand characters, cut after a sentence, is spoken at once, and the rest is
// gathered a slice per turn of the event loop and handed over behind it. What is spoken is the
// text as it was when speaking began: while the rest is being gathered, any user input (which
// might change the document) waits until it is all gathered, except the keys of actions that
// leave the text alone (pause, reset, speaking), which act at once.
class TextFeed : public QObject {
public:
    using Queued = WordFollower::Queued;
    // Source characters in a first part, at most.
    static constexpr int kFirstPartLength = 4096;

    TextFeed(SpeechEngine& engine, TRichEdit98& editor);
    ~TextFeed() override;

    // Is told of each text handed to the engine; may be null.
    void setFollower(WordFollower* follower) { m_follower = follower; }
    // Actions that never change the document; their shortcut keys need not wait.
    void setTextKeepingActions(QList<QAction*> actions) { m_textKeepingActions = std::move(actions); }

    // The document's positions from..to, every line followed by CR LF (as gatherWholeText gives
    // the whole text).
    void speakLines(Queued how, int from, int to);
    // The selection from..to as it reads; `gathered` receives the selection's whole text once it
    // is all gathered.
    void speakSelection(Queued how, int from, int to, std::function<void(const QString&)> gathered);
    // A selection's text taken before, followed where that selection was.
    void speakSelectionAgain(Queued how, const QString& text);
    // A line of the document, taken from position `start` on, spoken as it is.
    void speakLine(Queued how, const QString& line, int start);
    // Gathers no more; whatever was handed to the engine stays there.
    void stop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Source {
        std::optional<QString> held; // a text in hand; else the document's positions
        int next = 0;                // where reading goes on, in the document or in held
        int end = 0;
        bool linesWithCrLf = false;
        bool selection = false;
        std::optional<int> start;    // where the text was in the document, when known
    };

    void speak(Queued how, Source source, std::function<void(const QString&)> gathered);
    QString read(int to);
    QString spoken(const QString& piece) const;
    void follow(Queued how, const QString& text, bool firstPart);
    void gatherSlice();
    void finish();
    bool keepsTheText(QObject* receiver, QEvent* event) const;

    SpeechEngine& m_engine;
    TRichEdit98& m_editor;
    WordFollower* m_follower = nullptr;
    QList<QAction*> m_textKeepingActions;
    QTimer m_sliceTimer;

    // The text being gathered: where it is read from, and what was read behind the first part.
    std::optional<Source> m_source;
    QString m_rest;
    QString m_whole; // the whole text, when someone waits for it
    std::function<void(const QString&)> m_gathered;
    bool m_endsWithLineBreak = false;
};

} // namespace velmor
