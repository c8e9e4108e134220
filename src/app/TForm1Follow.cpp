// The main window's side of following the speech: the word being heard shown in the text box,
// its switch in the Edit menu, and the keys that step by sentences while speaking.
#include "widgets/ErrorBox.h"
#include "app/TForm1.h"
#include "speech/Repetition.h"
#include "speech/SentenceSteps.h"
#include "speech/SpeakingCommands.h"
#include "speech/TextFeed.h"
#include "speech/WordFollower.h"
#include "widgets/FlatButton.h"
#include "widgets/TRichEdit98.h"

#include <QAction>

namespace velmor {

void TForm1::createFollowing()
{
    if (!m_engine)
        return;
    auto* follower = new WordFollower(*m_engine, *RichEdit98, this);
    m_speaking->setFollower(follower);
    connect(findChild<QAction*>(QStringLiteral("FollowWords1")), &QAction::toggled, follower, &WordFollower::setShowing);

    m_sentenceSteps = std::make_unique<SentenceSteps>(*RichEdit98, *follower,
                                                      [this](int from, int to) { m_speaking->speakPassage(from, to); });
    const auto addKey = [this](const char* name, const char* key, std::function<void()> step) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(QKeySequence(QString::fromLatin1(key)));
        connect(action, &QAction::triggered, this, [this, step] { runGuarded(m_dialogs.showError, step); });
        addAction(action);
    };
    addKey("NextSentence", "Alt+Right", [this] { m_sentenceSteps->nextSentence(); });
    addKey("SentenceBack", "Alt+Left", [this] { m_sentenceSteps->sentenceBack(); });
    // A new run: the one before is not repeated after it.
    addKey("SpeakFromCaret", "Alt+Down", [this] {
        m_sentenceSteps->speakFromCaret();
        m_speaking->speakingState().endRun();
    });

    QList<QAction*> keepText;
    for (const char* name : {"Speech1", "Band1", "SelText1", "Pause1", "Reset1", "NextSentence", "SentenceBack", "SpeakFromCaret"})
        keepText << findChild<QAction*>(QString::fromLatin1(name));
    m_speaking->feed()->setTextKeepingControls(
        keepText, {SpeechButton, BandButton, SelTextButton, PauseButton, ResetButton});
}

} // namespace velmor
