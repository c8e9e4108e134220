#pragma once

#include "core/SpeakingState.h"

#include <QColor>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace velmor {

struct FormState;
class SpeechEngine;
class TRichEdit98;
class FlatButton;
class InfoLine;
class TextFeed;
class WordFollower;

// The controls the speaking commands read and change.
struct SpeakingControls {
    TRichEdit98& editor;
    FlatButton& pauseButton;
    FlatButton& selTextButton;
    InfoLine& infoLine;
    QTimer& repeatTimer;
};

// Speak the whole text, the caret line or the selection; pause, resume and reset.
class SpeakingCommands {
public:
    using ColorChooser = std::function<std::optional<QColor>(const QColor& initial)>;

    // caretMoved runs after a command moved the caret itself (the line/column display).
    SpeakingCommands(FormState& state, SpeechEngine* engine, SpeakingControls controls,
                     ColorChooser chooseColor, std::function<void()> caretMoved);
    ~SpeakingCommands();

    void SpeechButtonClick();
    void BandButtonClick();
    void SelTextButtonClick();
    void PauseButtonClick();
    void ResetButtonClick();

    // Stops whatever is spoken and speaks a sentence of the program's own; used by the
    // commands that ask before they act. Does nothing without an engine object.
    void announce(const QString& sentence);

    // Speaks the document's positions from..to anew, as the whole text is spoken, with the
    // caret put at from; the run being repeated stays as it is.
    void speakPassage(int from, int to);

    // Is told of each text the commands take from the document; may be null.
    void setFollower(WordFollower* follower);
    // The run being spoken and the pause; the pause button's caption follows it.
    SpeakingState& speakingState() { return m_speakingState; }
    // What hands the document's texts to the engine; null without an engine.
    TextFeed* feed() const { return m_feed.get(); }

private:
    void restart();
    void setPaused(bool paused);
    void highlightSelection();

    FormState& m_state;
    SpeakingState m_speakingState;
    SpeechEngine* m_engine;
    SpeakingControls m_controls;
    ColorChooser m_chooseColor;
    std::function<void()> m_caretMoved;
    std::unique_ptr<TextFeed> m_feed;
    WordFollower* m_follower = nullptr;
};

} // namespace velmor
