// The main window's side of following the speech: the word being heard shown in the text box,
// its switch in the Edit menu, and the keys that step by sentences while speaking.
#include "widgets/ErrorBox.h"
#include "app/TForm1.h"
#include "speech/ListeningResume.h"
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
    connect(&action(ActionId::FollowWords1), &QAction::toggled, follower, &WordFollower::setShowing);

    m_sentenceSteps = std::make_unique<SentenceSteps>(*RichEdit98, *follower,
                                                      [this](int from, int to) { m_speaking->speakPassage(from, to); });
    const auto onKey = [this](ActionId id, std::function<void()> step) {
        connect(&action(id), &QAction::triggered, this, [this, step] { runGuarded(m_dialogs.showError, step); });
        addAction(&action(id));
    };
    m_resume = std::make_unique<ListeningResume>(*RichEdit98, *follower, std::make_unique<ListeningPlaces>());
    onKey(ActionId::NextSentence, [this] { m_sentenceSteps->nextSentence(); });
    onKey(ActionId::SentenceBack, [this] { m_sentenceSteps->sentenceBack(); });
    // A new run: the one before is not repeated after it.
    onKey(ActionId::SpeakFromCaret, [this] {
        m_sentenceSteps->speakFromCaret();
        m_speaking->speakingState().endRun();
    });

    QList<QAction*> keepText;
    for (ActionId id : {ActionId::Speech1, ActionId::Band1, ActionId::SelText1, ActionId::Pause1, ActionId::Reset1,
                        ActionId::NextSentence, ActionId::SentenceBack, ActionId::SpeakFromCaret})
        keepText << &action(id);
    m_speaking->feed()->setTextKeepingControls(
        keepText, {SpeechButton, BandButton, SelTextButton, PauseButton, ResetButton});
}

} // namespace velmor
