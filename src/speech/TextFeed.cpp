#include "speech/TextFeed.h"

#include "document/EditorLines.h"
#include "speech/SpeechEngine.h"
#include "speech/TextPreparation.h"
#include "widgets/TRichEdit98.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <algorithm>

namespace velmor {

namespace {

// A text of up to this many positions is gathered at once (in about a millisecond) and handed
// over whole.
constexpr int kWholeTextLength = 1 << 16;
// Read past the first part, so that the mark ending its last sentence is seen with what follows.
constexpr int kLookahead = 256;
// Positions gathered per turn of the event loop: about a millisecond's work.
constexpr int kSliceLength = 1 << 18;

bool mayChangeTheText(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        return true;
    default:
        return false;
    }
}

bool isModifier(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

} // namespace

TextFeed::TextFeed(SpeechEngine& engine, TRichEdit98& editor)
    : m_engine(engine)
    , m_editor(editor)
{
    m_sliceTimer.setInterval(0);
    connect(&m_sliceTimer, &QTimer::timeout, this, &TextFeed::gatherSlice);
}

TextFeed::~TextFeed() { stop(); }

void TextFeed::speakLines(Queued how, int from, int to)
{
    speak(how, Source{std::nullopt, from, to, true, false, from}, {});
}

void TextFeed::speakSelection(Queued how, int from, int to, std::function<void(const QString&)> gathered)
{
    speak(how, Source{std::nullopt, from, to, false, true, from}, std::move(gathered));
}

void TextFeed::speakSelectionAgain(Queued how, const QString& text)
{
    speak(how, Source{text, 0, int(text.size()), false, true, std::nullopt}, {});
}

void TextFeed::speakLine(Queued how, const QString& line, int start)
{
    speak(how, Source{line, 0, int(line.size()), false, false, start}, {});
}

void TextFeed::speak(Queued how, Source source, std::function<void(const QString&)> gathered)
{
    // A text queued behind goes after the whole of the one being gathered; after a reset, that
    // one is gone.
    if (how == Queued::Behind)
        finish();
    else
        stop();
    // Reshaping waiting for its turn would move the positions still to be read.
    if (!source.held)
        m_editor.settle();
    m_source = std::move(source);
    const bool whole = m_source->end - m_source->next <= kWholeTextLength;
    const QString beginning = read(whole ? m_source->end : m_source->next + kFirstPartLength + kLookahead);
    if (m_source->next == m_source->end) {
        // The very string in hand, when there is one: the engine and the follower share it.
        QString text = m_source->held ? *m_source->held : beginning;
        if (m_source->linesWithCrLf)
            text = linesWithCrLf(text);
        m_engine.SpeakText(text);
        follow(how, text, false);
        m_source.reset();
        if (gathered)
            gathered(text);
        return;
    }
    const int cut = partEnd(beginning, 0, kFirstPartLength);
    const QString first = spoken(beginning.left(cut));
    // Room for the rest, and for the CR of an LF in every line of 16 characters.
    const qsizetype unread = m_source->end - m_source->next;
    m_rest = spoken(beginning.mid(cut));
    m_rest.reserve(m_rest.size() + unread + (m_source->linesWithCrLf ? unread / 16 + 2 : 0));
    m_gathered = std::move(gathered);
    if (m_gathered) {
        m_whole = beginning;
        m_whole.reserve(beginning.size() + unread);
    }
    m_engine.SpeakFirstPart(first);
    follow(how, first, true);
    QCoreApplication::instance()->installEventFilter(this);
    m_sliceTimer.start();
}

QString TextFeed::read(int to)
{
    Source& source = *m_source;
    QString text = source.held ? source.held->mid(source.next, to - source.next) : m_editor.textBetween(source.next, to);
    source.next = to;
    if (!text.isEmpty())
        m_endsWithLineBreak = text.endsWith(u'\n');
    return text;
}

// A piece of the text as the engine gets it.
QString TextFeed::spoken(const QString& piece) const
{
    return m_source->linesWithCrLf ? lineBreaksAsCrLf(piece) : piece;
}

void TextFeed::follow(Queued how, const QString& text, bool firstPart)
{
    if (!m_follower)
        return;
    const Source& source = *m_source;
    if (source.selection)
        m_follower->followSelection(how, text, source.start);
    else if (firstPart)
        m_follower->followFirstPart(how, text, *source.start, source.end);
    else
        m_follower->follow(how, text, *source.start);
}

void TextFeed::gatherSlice()
{
    const QString slice = read(std::min(m_source->end, m_source->next + kSliceLength));
    m_rest += spoken(slice);
    if (m_gathered)
        m_whole += slice;
    if (m_source->next < m_source->end)
        return;
    if (m_source->linesWithCrLf && !m_endsWithLineBreak)
        m_rest += QStringView(u"\r\n");
    const QString rest = std::exchange(m_rest, {});
    const QString whole = std::exchange(m_whole, {});
    const std::function<void(const QString&)> gathered = std::exchange(m_gathered, {});
    stop();
    // False after a reset from elsewhere, which dropped the first part.
    if (m_engine.SpeakLastPart(rest) && m_follower)
        m_follower->followRest(rest);
    if (gathered)
        gathered(whole);
}

void TextFeed::finish()
{
    while (m_source)
        gatherSlice();
}

void TextFeed::stop()
{
    m_source.reset();
    m_rest.clear();
    m_whole.clear();
    m_gathered = {};
    m_sliceTimer.stop();
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

// A shortcut key is first offered to the focus widget, then sent to its action; the modifiers
// held for it come as keys of their own.
bool TextFeed::keepsTheText(QObject* receiver, QEvent* event) const
{
    if (event->type() == QEvent::Shortcut)
        return m_textKeepingActions.contains(receiver);
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    const QKeyCombination pressed = static_cast<const QKeyEvent*>(event)->keyCombination();
    if (isModifier(pressed.key()))
        return true;
    if (event->type() == QEvent::KeyPress)
        return false;
    const QKeySequence key(pressed);
    return std::ranges::any_of(m_textKeepingActions, [&](const QAction* action) { return action->shortcut() == key; });
}

bool TextFeed::eventFilter(QObject* watched, QEvent* event)
{
    if (m_source && mayChangeTheText(event->type()) && !keepsTheText(watched, event))
        finish();
    return QObject::eventFilter(watched, event);
}

} // namespace velmor
