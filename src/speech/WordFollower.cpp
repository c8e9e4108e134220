#include "speech/WordFollower.h"

#include "speech/SpeechEngine.h"
#include "widgets/TRichEdit98.h"

#include <algorithm>

namespace velmor {

namespace {

// Enough words to look more than a second back at any speed.
constexpr std::size_t kHeardWordsKept = 64;

} // namespace

const QColor WordFollower::kWordColor = QColor(255, 214, 92);

WordFollower::WordFollower(SpeechEngine& engine, TRichEdit98& editor, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_editor(editor)
{
    m_clock.start();
    connect(&engine, &SpeechEngine::OnWordHeard, this, &WordFollower::wordHeard);
    connect(&engine, &SpeechEngine::OnTextDataDone, this, &WordFollower::textDone);
    connect(&engine, &SpeechEngine::OnTextDataDiscarded, this, &WordFollower::forget);
    connect(editor.document(), &QTextDocument::contentsChange, this, [this](int from, int removed, int added) {
        for (Followed& followed : m_followed)
            followed.edits.note(from, removed, added);
    });
}

void WordFollower::setShowing(bool show)
{
    m_showing = show;
    if (!show)
        m_editor.clearSpokenWord();
}

void WordFollower::follow(Queued how, const QString& text, int start) { queue(how, text, start, std::nullopt); }

void WordFollower::followFirstPart(Queued how, const QString& part, int start, int end) { queue(how, part, start, end); }

void WordFollower::queue(Queued how, const QString& text, int start, std::optional<int> end)
{
    if (how == Queued::AfterReset)
        forget();
    TextPositions positions(*m_editor.document());
    const qsizetype startIndex = positions.indexOf(start);
    std::optional<qsizetype> endIndex;
    if (end)
        endIndex = positions.indexOf(*end);
    m_followed.push_back({{SpokenText(text, startIndex)}, endIndex, std::move(positions), {}});
}

void WordFollower::followRest(const QString& rest)
{
    if (m_followed.empty())
        return;
    std::vector<SpokenText>& parts = m_followed.back().parts;
    parts.emplace_back(rest, parts.back().sourceEnd());
}

void WordFollower::followSelection(Queued how, const QString& text, std::optional<int> start)
{
    if (start) {
        m_lastSelection = QTextCursor(m_editor.document());
        m_lastSelection.setPosition(*start);
    } else if (m_lastSelection.isNull()) {
        return;
    }
    follow(how, text, m_lastSelection.position());
}

void WordFollower::forget()
{
    m_followed.clear();
    m_hearingFront = false;
    m_editor.clearSpokenWord();
}

std::optional<int> WordFollower::positionNow(const Followed& followed, qsizetype index) const
{
    return followed.edits.positionNow(followed.positions.positionOf(index));
}

void WordFollower::wordHeard(const QString& text, int offset, int length)
{
    // Heard means playing, whoever ended a pause (a reset by the clipboard or the typing echo).
    setPaused(false);
    // The engine hands back the very string it was given: a text of ours shares its data.
    const auto isIt = [&](const SpokenText& spoken) {
        return spoken.text().constData() == text.constData() && spoken.text().size() == text.size();
    };
    const auto ours = std::find_if(m_followed.begin(), m_followed.end(),
                                   [&](const Followed& f) { return std::ranges::any_of(f.parts, isIt); });
    if (ours == m_followed.end())
        return;
    if (ours != m_followed.begin()) {
        // The texts queued before it were spoken without a word of theirs heard.
        m_followed.erase(m_followed.begin(), ours);
        m_hearingFront = false;
    }
    Followed& followed = m_followed.front();
    if (!m_hearingFront)
        followed.heard.clear();
    m_hearingFront = true;
    const SpokenText& part = *std::ranges::find_if(followed.parts, isIt);
    const std::optional<TextRange> source = part.sourceRange(offset, length);
    if (!source)
        return;
    const std::optional<int> start = positionNow(followed, source->start);
    const std::optional<int> last = positionNow(followed, source->start + source->length - 1);
    if (!start || !last)
        return; // edited away since it was queued
    followed.heard.emplace_back(source->start, hearingTime());
    if (followed.heard.size() > kHeardWordsKept)
        followed.heard.pop_front();
    if (!m_showing)
        return;
    m_editor.showSpokenWord(*start, *last + 1 - *start, kWordColor);
    m_editor.bringIntoView(*start);
}

// Only a text with a word heard is known to be the one that ended: the engine does not say.
void WordFollower::textDone()
{
    if (!m_hearingFront)
        return;
    m_followed.pop_front();
    m_hearingFront = false;
    m_editor.clearSpokenWord();
}

std::optional<WordFollower::Place> WordFollower::place() const
{
    if (m_followed.empty())
        return std::nullopt;
    const Followed& followed = m_followed.front();
    const int documentEnd = m_editor.document()->characterCount() - 1;
    std::optional<int> heard;
    if (m_hearingFront && !followed.heard.empty())
        heard = positionNow(followed, followed.heard.back().first);
    if (!heard)
        heard = positionNow(followed, followed.parts.front().sourceStart());
    const qsizetype endIndex = followed.end.value_or(followed.parts.back().sourceEnd());
    const int end = positionNow(followed, endIndex).value_or(documentEnd);
    return Place{std::clamp(heard.value_or(0), 0, documentEnd), std::clamp(end, 0, documentEnd)};
}

std::optional<qint64> WordFollower::heardFor(int position) const
{
    if (m_followed.empty() || !m_hearingFront)
        return std::nullopt;
    for (const auto& [wordStart, when] : m_followed.front().heard) {
        const std::optional<int> now = positionNow(m_followed.front(), wordStart);
        if (now && *now >= position)
            return hearingTime() - when;
    }
    return std::nullopt;
}

void WordFollower::setPaused(bool paused)
{
    if (paused && !m_pausedAt) {
        m_pausedAt = m_clock.elapsed();
    } else if (!paused && m_pausedAt) {
        m_pausedFor += m_clock.elapsed() - *m_pausedAt;
        m_pausedAt.reset();
    }
}

qint64 WordFollower::hearingTime() const
{
    return m_pausedAt.value_or(m_clock.elapsed()) - m_pausedFor;
}

} // namespace velmor
