#include "FakeSpeechEngine.h"

#include "speech/TextPreparation.h"

FakeSpeechEngine::FakeSpeechEngine(int modeCount, QObject* parent)
    : SpeechEngine(parent)
{
    for (int i = 1; i <= modeCount; ++i) {
        modeNames << QStringLiteral("Mode %1").arg(i);
        speakers << QStringLiteral("Speaker%1").arg(i);
    }
}

void FakeSpeechEngine::record(const QString& call)
{
    calls << call;
    if (!failNext.isEmpty()) {
        const QString message = failNext;
        failNext.clear();
        throw velmor::SpeechError(message.toStdString());
    }
}

void FakeSpeechEngine::SpeakText(const QString& text)
{
    record(QStringLiteral("SpeakText:") + text);
    spoken << text;
    queued << text;
    m_queuedParts << QStringList{text};
}

void FakeSpeechEngine::SpeakFirstPart(const QString& part)
{
    record(QStringLiteral("SpeakFirstPart:") + part);
    spoken << part;
    queued << part;
    m_queuedParts << QStringList{part};
    m_openText = queued.size() - 1;
}

bool FakeSpeechEngine::SpeakLastPart(const QString& part)
{
    record(QStringLiteral("SpeakLastPart:") + part);
    if (!m_openText)
        return false;
    spoken.last() += part;
    if (*m_openText < 0) {
        current += part;
        m_currentParts << part;
    } else {
        queued[*m_openText] += part;
        m_queuedParts[*m_openText] << part;
    }
    m_openText.reset();
    return true;
}

void FakeSpeechEngine::ResetAudio()
{
    record(QStringLiteral("ResetAudio"));
    queued.clear();
    m_queuedParts.clear();
    m_openText.reset();
    paused = false;
    if (speaking) {
        speaking = false;
        emit OnTextDataDiscarded();
    }
}

void FakeSpeechEngine::PauseAudio()
{
    record(QStringLiteral("PauseAudio"));
    paused = true;
}

void FakeSpeechEngine::ResumeAudio()
{
    record(QStringLiteral("ResumeAudio"));
    paused = false;
}

void FakeSpeechEngine::fireStarted()
{
    speaking = true;
    emit OnTextDataStarted();
}

void FakeSpeechEngine::fireDone()
{
    speaking = false;
    emit OnTextDataDone();
}

bool FakeSpeechEngine::startNext()
{
    if (paused || speaking || queued.isEmpty())
        return false;
    current = queued.takeFirst();
    m_currentParts = m_queuedParts.takeFirst();
    if (m_openText)
        --*m_openText;
    fireStarted();
    return true;
}

bool FakeSpeechEngine::hearWord(int offset, int length)
{
    if (paused || !speaking)
        return false;
    for (const QString& part : m_currentParts) {
        if (offset < part.size()) {
            emit OnWordHeard(part, offset, length);
            return true;
        }
        offset -= int(part.size());
    }
    return false;
}

bool FakeSpeechEngine::finishCurrent()
{
    // A text ends after its rest only.
    if (paused || !speaking || m_openText == -1)
        return false;
    fireDone();
    return true;
}

void FakeSpeechEngine::setSilent(bool silent)
{
    m_silent = silent;
    emit OnOutputChanged();
}
void FakeSpeechEngine::SelectMode(int mode)
{
    record(QStringLiteral("SelectMode:%1").arg(mode));
    selectedMode = mode;
}

QString FakeSpeechEngine::ModeNameOf(int mode) const { return modeNames.value(mode - 1); }
QString FakeSpeechEngine::SpeakerOf(int mode) const { return speakers.value(mode - 1); }
int FakeSpeechEngine::ModeCount() const { return int(modeNames.size()); }

void FakeSpeechEngine::setSpeed(int wordsPerMinute)
{
    record(QStringLiteral("Speed:%1").arg(wordsPerMinute));
    speed = wordsPerMinute;
}

void FakeSpeechEngine::setMaxSpeed(int wordsPerMinute)
{
    record(QStringLiteral("MaxSpeed:%1").arg(wordsPerMinute));
    maxSpeed = wordsPerMinute;
}

void FakeSpeechEngine::setMinSpeed(int wordsPerMinute)
{
    record(QStringLiteral("MinSpeed:%1").arg(wordsPerMinute));
    minSpeed = wordsPerMinute;
}

QStringList FakeSpeechEngine::callsOf(const QStringList& names) const
{
    QStringList result;
    for (const QString& call : calls)
        if (names.contains(call.section(u':', 0, 0)))
            result << call;
    return result;
}

std::vector<velmor::VoicePassage> FakeSpeechEngine::passagesOf(const QString& text) const
{
    velmor::PreparationOptions options;
    options.voiceLanguage = voiceLanguage();
    options.rules = rules;
    const velmor::TextPreparer preparer(options);
    std::vector<velmor::VoicePassage> passages;
    for (int begin = 0; begin < text.size();) {
        const int end = velmor::pieceEnd(text, begin);
        for (const velmor::SpeechPassage& passage : preparer.prepare(text, begin, end))
            passages.push_back({0, QString::fromLatin1(passage.language.isEmpty() ? options.voiceLanguage : passage.language),
                                passage.prepared.text});
        begin = end;
    }
    return passages;
}

void FakeSpeechEngine::record(const QString& text, std::shared_ptr<velmor::SpeechSink> sink)
{
    recordings.push_back({text, std::move(sink)});
}
