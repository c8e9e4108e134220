#include "speech/EspeakEngine.h"

#include "speech/AudioOutput.h"
#include "speech/EspeakWorker.h"
#include "speech/PronunciationRules.h"

#include <QDebug>
#include <algorithm>
#include <cmath>

namespace velmor {

namespace {

constexpr qint64 kBytesPerSample = 2;
// What espeak-ng synthesizes at, whatever the voice.
constexpr int kEspeakSampleRate = 22050;
// Synthesis runs about a thousand times faster than speech: hold it back at this much audio.
constexpr double kQueueSeconds = 2.0;
// What the device buffers; Reset and Pause are heard after at most this.
constexpr double kDeviceBufferSeconds = 0.15;
constexpr double kSilentBufferSeconds = 0.1;
constexpr int kFeedIntervalMs = 10;
// While silent, how often an idle engine looks for the sound device again.
constexpr int kDeviceRetryMs = 2000;
constexpr std::size_t kRecentSamples = 1 << 15;
constexpr qint64 kLevelWindowSamples = 441; // 20 ms at 22050 Hz
// espeak-ng's own voice when no mode was selected.
const QByteArray kDefaultVoice = QByteArrayLiteral("en");

qint64 bytesFor(double seconds, qint64 bytesPerSecond)
{
    return qint64(seconds * double(bytesPerSecond)) / kBytesPerSample * kBytesPerSample;
}

} // namespace

EspeakEngine::EspeakEngine(Output output, QObject* parent)
    : EspeakEngine(output == Output::Alsa ? OpenDevice(AlsaOutput::open) : OpenDevice(), parent)
{
}

EspeakEngine::EspeakEngine(OpenDevice deviceOpener, QObject* parent)
    : SpeechEngine(parent)
    , m_pcm(std::size_t(bytesFor(kQueueSeconds, kEspeakSampleRate * kBytesPerSample)))
    , m_openDevice(std::move(deviceOpener))
    , m_recent(kRecentSamples, 0)
{
    m_worker = std::make_unique<EspeakWorker>(m_pcm, [this] { postPump(); }, [this] {
        QMetaObject::invokeMethod(this, [this] { emit OnEngineFault(); }, Qt::QueuedConnection);
    });
    // The device opens while the helper starts, at the rate espeak-ng always gives; should the
    // helper tell of another, it opens again.
    m_bytesPerSecond = kEspeakSampleRate * kBytesPerSample;
    m_output = openDevice(kEspeakSampleRate);
    m_modes = buildVoiceModes(m_worker->voices(), m_worker->variants());
    // The helper that runs espeak-ng has the Flite voices built in.
    if (!m_modes.empty())
        for (VoiceMode& flite : builtInFliteModes())
            m_modes.push_back(std::move(flite));
    // The program shows mode 1 until it selects another, so that is the voice heard.
    m_mode = m_modes.empty() ? 0 : 1;
    const int rate = m_worker->sampleRate();
    if (rate != kEspeakSampleRate) {
        m_output.reset();
        m_bytesPerSecond = rate * kBytesPerSample;
        m_output = openDevice(rate);
    }
    m_pcm.setCapacity(std::size_t(bytesFor(kQueueSeconds, m_bytesPerSecond)));

    m_deviceRetryTimer.setInterval(kDeviceRetryMs);
    connect(&m_deviceRetryTimer, &QTimer::timeout, this, &EspeakEngine::tryDevice);
    if (!m_output) {
        m_output = std::make_unique<SilentClockOutput>(m_bytesPerSecond, bytesFor(kSilentBufferSeconds, m_bytesPerSecond));
        m_silent = true;
        if (m_openDevice) {
            qWarning("Velmor: no sound output; speech runs silently");
            m_deviceRetryTimer.start();
        }
    }

    m_feedTimer.setTimerType(Qt::PreciseTimer);
    m_feedTimer.setInterval(kFeedIntervalMs);
    connect(&m_feedTimer, &QTimer::timeout, this, &EspeakEngine::pump);
}

EspeakEngine::~EspeakEngine()
{
    // The rules' compilation asks the worker for its voices.
    if (m_rulesCompiling.valid())
        m_rulesCompiling.wait();
    // First the worker: it may be blocked handing over PCM and calls back into this object.
    m_worker.reset();
}

QByteArray EspeakEngine::selectedVoice() const
{
    return m_mode > 0 ? mode(m_mode).voiceName() : kDefaultVoice;
}

// The voice, rate and preparation in force now; queue() gives the job its id.
SynthesisJob EspeakEngine::jobFor(const QString& text) const
{
    SynthesisJob job{0, m_generation, text, selectedVoice(), m_speed, {}, {}};
    job.preparation.autoLanguage = m_autoLanguage;
    job.preparation.rules = m_rules;
    job.preparation.voiceLanguage = voiceLanguage();
    if (m_mode > 0)
        job.variant = mode(m_mode).variant;
    return job;
}

QByteArray EspeakEngine::voiceLanguageOf(int selected) const
{
    if (selected > 0)
        for (const InstalledVoice& voice : m_worker->voices())
            if (voice.identifier == mode(selected).voice && !voice.languages.empty())
                return voice.languages.front().tag;
    return kDefaultVoice;
}

void EspeakEngine::setPronunciationRules(std::shared_ptr<const PronunciationRules> rules)
{
    m_rules = std::move(rules);
    if (m_rules && !m_rules->empty())
        m_rulesCompiling = std::async(std::launch::async, [this, rules = m_rules, selected = m_mode] {
            rules->compileFor(voiceLanguageOf(selected));
        });
}

std::vector<VoicePassage> EspeakEngine::passagesOf(const QString& text) const
{
    std::vector<VoicePassage> passages;
    for (auto& [voice, passageText] : m_worker->passages(jobFor(text))) {
        // A voice with a variant is the mode that has both; without a mode of its own, the voice's.
        const qsizetype plus = voice.indexOf('+');
        const QByteArray plainVoice = plus < 0 ? voice : voice.first(plus);
        int reader = 0;
        for (int i = 0; i < int(m_modes.size()) && reader == 0; ++i)
            if (m_modes[std::size_t(i)].voiceName() == voice)
                reader = i + 1;
        for (int i = 0; i < int(m_modes.size()) && reader == 0; ++i)
            if (m_modes[std::size_t(i)].voice == plainVoice && m_modes[std::size_t(i)].variant.isEmpty())
                reader = i + 1;
        passages.push_back({reader, QString::fromUtf8(voice), std::move(passageText)});
    }
    return passages;
}

void EspeakEngine::queue(SynthesisJob job, std::uint64_t wholeTextId, bool endsText)
{
    job.textId = m_nextTextId++;
    m_texts.push_back({job.textId, wholeTextId == 0 ? job.textId : wholeTextId, endsText, job.text});
    m_worker->enqueue(std::move(job));
}

void EspeakEngine::SpeakText(const QString& text)
{
    if (m_silent)
        tryDevice();
    ++m_textsUnfinished;
    if (m_openText)
        m_heldBack.push_back(jobFor(text));
    else
        queue(jobFor(text), 0, true);
    updateTimer();
}

void EspeakEngine::SpeakFirstPart(const QString& part)
{
    // A text whose rest never came ends where it got to.
    if (m_openText)
        SpeakLastPart({});
    if (m_silent)
        tryDevice();
    ++m_textsUnfinished;
    SynthesisJob job = jobFor(part);
    job.continued = true;
    queue(std::move(job), 0, false);
    m_openText = jobFor({});
    m_openText->textId = m_texts.back().id;
    updateTimer();
}

bool EspeakEngine::SpeakLastPart(const QString& part)
{
    if (!m_openText)
        return false;
    SynthesisJob job = *std::exchange(m_openText, std::nullopt);
    const std::uint64_t wholeTextId = job.textId;
    job.text = part;
    queue(std::move(job), wholeTextId, true);
    for (SynthesisJob& held : std::exchange(m_heldBack, {}))
        queue(std::move(held), 0, true);
    return true;
}

const EspeakEngine::QueuedText* EspeakEngine::queuedText(std::uint64_t id) const
{
    const auto text = std::find_if(m_texts.begin(), m_texts.end(), [id](const QueuedText& t) { return t.id == id; });
    return text == m_texts.end() ? nullptr : &*text;
}

void EspeakEngine::ResetAudio()
{
    m_worker->dropQueuedJobs();
    m_generation = m_pcm.discard();
    m_output->reset();
    m_paused = false;
    m_chunk.reset();
    m_chunkOffset = 0;
    m_notifications.clear();
    m_texts.clear();
    m_openText.reset();
    m_heldBack.clear();
    m_textsUnfinished = 0;
    m_startedTextId = 0;
    m_written = 0;
    m_outputOrigin = 0;
    updateTimer();
    if (m_startReported) {
        m_startReported = false;
        emit OnTextDataDiscarded();
    }
}

void EspeakEngine::PauseAudio()
{
    if (m_paused)
        return;
    m_paused = true;
    m_output->suspend();
    updateTimer();
}

void EspeakEngine::ResumeAudio()
{
    if (!m_paused)
        return;
    m_paused = false;
    m_output->resume();
    updateTimer();
    postPump();
}

const VoiceMode& EspeakEngine::mode(int mode) const
{
    if (mode < 1 || mode > ModeCount())
        throw SpeechError(QStringLiteral("Speech mode %1 does not exist").arg(mode).toStdString());
    return m_modes[std::size_t(mode - 1)];
}

void EspeakEngine::SelectMode(int mode)
{
    this->mode(mode);
    m_mode = mode;
}

VoiceSample EspeakEngine::sampleSelectedVoice(const QString& text)
{
    return m_worker->sample(jobFor(text));
}

void EspeakEngine::record(const QString& text, std::shared_ptr<SpeechSink> sink)
{
    m_worker->record(jobFor(text), std::move(sink));
}

QString EspeakEngine::phonemesOf(const QString& text) { return m_worker->phonemes(jobFor(text)); }

QString EspeakEngine::ModeNameOf(int mode) const { return this->mode(mode).name; }
QString EspeakEngine::SpeakerOf(int mode) const { return this->mode(mode).speaker; }
int EspeakEngine::ModeCount() const { return int(m_modes.size()); }

// Speeds are the caller's effective words per minute; the bounds are only kept.
void EspeakEngine::setSpeed(int wordsPerMinute) { m_speed = wordsPerMinute; }
void EspeakEngine::setMaxSpeed(int wordsPerMinute) { m_maxSpeed = wordsPerMinute; }
void EspeakEngine::setMinSpeed(int wordsPerMinute) { m_minSpeed = wordsPerMinute; }

void EspeakEngine::postPump()
{
    if (!m_pumpPosted.exchange(true))
        QMetaObject::invokeMethod(this, &EspeakEngine::pump, Qt::QueuedConnection);
}

void EspeakEngine::pump()
{
    m_pumpPosted = false;
    if (!m_paused) {
        feedOutput();
        emitDueNotifications();
    }
    updateTimer();
}

void EspeakEngine::feedOutput()
{
    for (;;) {
        if (!m_chunk) {
            m_chunk = m_pcm.tryPop();
            m_chunkOffset = 0;
            if (!m_chunk)
                return;
        }
        using Kind = Notification::Kind;
        const QueuedText* text = queuedText(m_chunk->textId);
        const std::uint64_t wholeTextId = text ? text->wholeTextId : m_chunk->textId;
        if (m_chunk->endOfText) {
            if (wholeTextId != m_startedTextId) // a text without samples
                m_notifications.push_back({Kind::Started, m_written, m_chunk->textId});
            queueWords(*m_chunk, m_written);
            if (!text || text->endsText)
                m_notifications.push_back({Kind::Done, m_written, m_chunk->textId});
            m_startedTextId = wholeTextId;
            m_chunk.reset();
            continue;
        }
        const qint64 remaining = m_chunk->samples.size() - m_chunkOffset;
        const qint64 room = std::min(remaining, m_output->bytesFree()) / kBytesPerSample * kBytesPerSample;
        if (room <= 0)
            return;
        const char* data = m_chunk->samples.constData() + m_chunkOffset;
        const qint64 taken = m_output->write(data, room) / kBytesPerSample * kBytesPerSample;
        if (taken <= 0)
            return;
        if (wholeTextId != m_startedTextId) {
            m_notifications.push_back({Kind::Started, m_written, m_chunk->textId});
            m_startedTextId = wholeTextId;
        }
        if (m_chunkOffset == 0)
            queueWords(*m_chunk, m_written);
        remember(data, taken);
        m_written += taken;
        m_chunkOffset += taken;
        if (m_chunkOffset == m_chunk->samples.size())
            m_chunk.reset();
        if (taken < room)
            return;
    }
}

void EspeakEngine::queueWords(const PcmChunk& chunk, qint64 chunkPosition)
{
    for (const WordMark& word : chunk.words)
        m_notifications.push_back({Notification::Kind::Word, chunkPosition + word.sample * kBytesPerSample, chunk.textId, word});
}

void EspeakEngine::emitDueNotifications()
{
    using Kind = Notification::Kind;
    // Handlers may reset the engine or queue texts while they run.
    const std::uint64_t generation = m_generation;
    while (!m_paused && generation == m_generation && !m_notifications.empty()) {
        const Notification next = m_notifications.front();
        if (next.kind != Kind::Started && playedPosition() < next.position)
            return;
        m_notifications.pop_front();
        switch (next.kind) {
        case Kind::Started:
            m_startReported = true;
            emit OnTextDataStarted();
            break;
        case Kind::Word:
            emitWord(next);
            break;
        case Kind::Done:
            m_startReported = false;
            --m_textsUnfinished;
            while (!m_texts.empty() && m_texts.front().id <= next.textId)
                m_texts.pop_front();
            emit OnTextDataDone();
            break;
        }
    }
}

void EspeakEngine::emitWord(const Notification& word)
{
    const QueuedText* text = queuedText(word.textId);
    if (!text)
        return;
    // A copy: a handler may reset the engine, which lets go of the text.
    const QString spoken = text->text;
    emit OnWordHeard(spoken, word.word.textOffset, word.word.length);
}

void EspeakEngine::updateTimer()
{
    if (!m_paused && m_textsUnfinished > 0) {
        if (!m_feedTimer.isActive())
            m_feedTimer.start();
    } else {
        m_feedTimer.stop();
    }
}

void EspeakEngine::fallBackToSilence()
{
    if (m_silent)
        return;
    qWarning("Velmor: sound output lost; speech runs silently");
    // Keep the clock where the device stopped; what it had not played yet is played silently.
    const qint64 played = m_output->playedBytes();
    const qint64 unplayed = std::max<qint64>(0, m_written - m_outputOrigin - played);
    m_outputOrigin += played;
    m_output = std::make_unique<SilentClockOutput>(m_bytesPerSecond, bytesFor(kSilentBufferSeconds, m_bytesPerSecond), unplayed);
    if (m_paused)
        m_output->suspend();
    m_silent = true;
    m_deviceRetryTimer.start();
    postPump();
    emit OnOutputChanged();
}

std::unique_ptr<AudioOutput> EspeakEngine::openDevice(int sampleRate)
{
    if (!m_openDevice)
        return nullptr;
    // A dying device reports from inside its own calls: fall back once they have returned.
    return m_openDevice(sampleRate, bytesFor(kDeviceBufferSeconds, m_bytesPerSecond), [this] {
        QMetaObject::invokeMethod(this, &EspeakEngine::fallBackToSilence, Qt::QueuedConnection);
    });
}

bool EspeakEngine::isIdle() const
{
    return m_textsUnfinished == 0 && !m_chunk && m_notifications.empty();
}

// The device takes over only from an idle engine, so that no text is split between the two.
void EspeakEngine::tryDevice()
{
    if (!m_silent || !m_openDevice || !isIdle())
        return;
    std::unique_ptr<AudioOutput> device = openDevice(m_worker->sampleRate());
    if (!device)
        return;
    m_output = std::move(device);
    m_outputOrigin = m_written;
    if (m_paused)
        m_output->suspend();
    m_silent = false;
    m_deviceRetryTimer.stop();
    qInfo("Velmor: sound output found; speech is heard again");
    emit OnOutputChanged();
}

qint64 EspeakEngine::playedPosition() const
{
    return m_outputOrigin + m_output->playedBytes();
}

void EspeakEngine::remember(const char* data, qint64 bytes)
{
    const auto* samples = reinterpret_cast<const qint16*>(data);
    const qint64 count = bytes / kBytesPerSample;
    const qint64 first = m_written / kBytesPerSample;
    for (qint64 i = 0; i < count; ++i)
        m_recent[std::size_t(first + i) % kRecentSamples] = samples[i];
}

double EspeakEngine::outputLevel() const
{
    if (m_paused)
        return 0.0;
    const qint64 from = playedPosition() / kBytesPerSample;
    const qint64 to = std::min(m_written / kBytesPerSample, from + kLevelWindowSamples);
    if (to <= from || m_written / kBytesPerSample - from > qint64(kRecentSamples))
        return 0.0;
    double sum = 0.0;
    for (qint64 i = from; i < to; ++i) {
        const double s = m_recent[std::size_t(i) % kRecentSamples] / 32768.0;
        sum += s * s;
    }
    return std::min(1.0, std::sqrt(sum / double(to - from)));
}

} // namespace velmor
