#include "speech/EspeakWorker.h"

#include "speech/PcmQueue.h"
#include "speech/SpeechRecording.h"

#include <QDebug>
#include <algorithm>
#include <espeak-ng/speak_lib.h>
#include <iterator>

namespace velmor {

namespace {

// Whoever holds this may call into the library. The library keeps global state, so a second
// engine alive at the same time gets no speech rather than a crash.
std::mutex g_libraryOwner;
// Set up once per process: espeak_Terminate followed by a new espeak_Initialize hangs the
// next espeak_Terminate (espeak-ng 1.51).
bool g_initializeTried = false;
int g_sampleRate = 0;

bool initializeLibrary()
{
    if (!g_initializeTried) {
        g_initializeTried = true;
        g_sampleRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    }
    return g_sampleRate > 0;
}

VoiceGender genderOf(const espeak_VOICE& voice)
{
    switch (voice.gender) {
    case 1: return VoiceGender::Male;
    case 2: return VoiceGender::Female;
    default: return VoiceGender::Unknown;
    }
}

// espeak_VOICE::languages: a priority byte, then a NUL-terminated tag, repeated; a 0 byte ends it.
std::vector<VoiceLanguage> languagesOf(const espeak_VOICE& voice)
{
    std::vector<VoiceLanguage> languages;
    for (const char* p = voice.languages; p && *p; ) {
        const QByteArray tag(p + 1);
        languages.push_back({tag, int(static_cast<unsigned char>(*p))});
        p += tag.size() + 2;
    }
    return languages;
}

std::vector<InstalledVoice> listVoices()
{
    std::vector<InstalledVoice> voices;
    for (const espeak_VOICE** v = espeak_ListVoices(nullptr); v && *v; ++v)
        voices.push_back({QByteArray((*v)->identifier), QString::fromUtf8((*v)->name), languagesOf(**v), genderOf(**v)});
    return voices;
}

std::vector<QByteArray> listVariants()
{
    static const QByteArray variantFolder = QByteArrayLiteral("!v/");
    espeak_VOICE filter{};
    filter.languages = "variant";
    std::vector<QByteArray> variants;
    for (const espeak_VOICE** v = espeak_ListVoices(&filter); v && *v; ++v) {
        const QByteArray identifier((*v)->identifier);
        if (identifier.startsWith(variantFolder))
            variants.push_back(identifier.mid(variantFolder.size()));
    }
    return variants;
}

using SampleSink = std::function<bool(const short* samples, int count)>;
// Receives the samples of the synthesis running on this thread; false stops it.
thread_local const SampleSink* t_sink = nullptr;

int onSamples(short* wav, int count, espeak_EVENT*)
{
    const SampleSink* sink = t_sink;
    if (!sink || !wav || count <= 0)
        return 0;
    return (*sink)(wav, count) ? 0 : 1;
}

void speak(const QString& text, const SampleSink& sink)
{
    const QByteArray utf8 = text.toUtf8();
    t_sink = &sink;
    espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    t_sink = nullptr;
}

} // namespace

EspeakWorker::EspeakWorker(PcmQueue& pcm, std::function<void()> pcmArrived)
    : m_pcm(pcm)
    , m_pcmArrived(std::move(pcmArrived))
{
    std::promise<void> ready;
    std::future<void> isReady = ready.get_future();
    m_thread = std::thread(&EspeakWorker::run, this, &ready);
    isReady.wait();
}

EspeakWorker::~EspeakWorker()
{
    {
        std::lock_guard lock(m_jobsMutex);
        m_stopping = true;
    }
    m_jobsChanged.notify_all();
    m_pcm.close();
    m_thread.join();
}

void EspeakWorker::enqueue(SynthesisJob job) { post(std::move(job)); }

void EspeakWorker::post(Work work)
{
    {
        std::lock_guard lock(m_jobsMutex);
        m_jobs.push_back(std::move(work));
    }
    m_jobsChanged.notify_one();
}

void EspeakWorker::dropQueuedJobs()
{
    std::deque<Work> dropped;
    {
        std::lock_guard lock(m_jobsMutex);
        // Samples are waited for: they stay.
        auto texts = std::stable_partition(m_jobs.begin(), m_jobs.end(),
                                           [](const Work& work) { return !std::holds_alternative<SynthesisJob>(work); });
        std::move(texts, m_jobs.end(), std::back_inserter(dropped));
        m_jobs.erase(texts, m_jobs.end());
    }
}

VoiceSample EspeakWorker::sample(const SynthesisJob& job)
{
    VoiceSample result;
    std::packaged_task<void()> task([&] {
        if (!m_available)
            return;
        speakJob(job, [&](const short* samples, int count) {
            result.samples.append(reinterpret_cast<const char*>(samples), qsizetype(count) * 2);
            return true;
        });
        if (const espeak_VOICE* inForce = espeak_GetCurrentVoice(); inForce && inForce->identifier)
            result.voiceInForce = inForce->identifier;
    });
    std::future<void> done = task.get_future();
    post(std::move(task));
    done.get();
    return result;
}

QString EspeakWorker::phonemes(const SynthesisJob& job)
{
    QString result;
    std::packaged_task<void()> task([&] {
        if (!m_available)
            return;
        forEachPassage(job, [&](const SpeechPassage& passage) {
            const QByteArray utf8 = passage.prepared.text.toUtf8();
            const void* next = utf8.constData();
            while (next) {
                if (const char* phonemes = espeak_TextToPhonemes(&next, espeakCHARS_UTF8, 0))
                    result += QString::fromUtf8(phonemes) + u' ';
            }
            return true;
        });
    });
    std::future<void> done = task.get_future();
    post(std::move(task));
    done.get();
    return result;
}

struct EspeakWorker::Recording {
    SynthesisJob job;
    std::shared_ptr<SpeechSink> sink;
};

void EspeakWorker::record(SynthesisJob job, std::shared_ptr<SpeechSink> sink)
{
    recordFrom(std::make_shared<const Recording>(Recording{std::move(job), std::move(sink)}), 0);
}

void EspeakWorker::recordFrom(std::shared_ptr<const Recording> recording, qsizetype from)
{
    post(std::packaged_task<void()>([this, recording, from] {
        SpeechSink& sink = *recording->sink;
        if (!m_available) {
            sink.finish(false);
            return;
        }
        const QString& text = recording->job.text;
        const qsizetype end = recordingPartEnd(text, from);
        SynthesisJob part = recording->job;
        part.text = text.mid(from, end - from);
        bool taken = true;
        speakJob(part, [&](const short* samples, int count) {
            taken = sink.take(samples, count);
            return taken;
        });
        if (!taken) {
            sink.finish(false);
            return;
        }
        sink.reached(end);
        if (end < text.size())
            recordFrom(recording, end);
        else
            sink.finish(true);
    }));
}

void EspeakWorker::run(std::promise<void>* ready)
{
    std::unique_lock owner(g_libraryOwner, std::try_to_lock);
    if (!owner.owns_lock()) {
        qWarning("Velmor: another speech engine is using espeak-ng; this one stays silent");
    } else if (initializeLibrary()) {
        espeak_SetSynthCallback(onSamples);
        m_available = true;
        m_sampleRate = g_sampleRate;
        m_voices = listVoices();
        m_variants = listVariants();
    }
    ready->set_value();

    while (std::optional<Work> work = nextWork()) {
        if (auto* task = std::get_if<std::packaged_task<void()>>(&*work)) {
            (*task)();
            continue;
        }
        const SynthesisJob& job = std::get<SynthesisJob>(*work);
        if (m_available)
            synthesize(job);
        if (m_pcm.push({job.textId, {}, true}, job.generation))
            m_pcmArrived();
    }
}

std::optional<EspeakWorker::Work> EspeakWorker::nextWork()
{
    std::unique_lock lock(m_jobsMutex);
    m_jobsChanged.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
    if (m_stopping)
        return std::nullopt;
    Work work = std::move(m_jobs.front());
    m_jobs.pop_front();
    return work;
}

void EspeakWorker::selectVoice(const QByteArray& voice, int wordsPerMinute)
{
    if (voice != m_voice && espeak_SetVoiceByName(voice.constData()) == EE_OK)
        m_voice = voice;
    espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
}

void EspeakWorker::synthesize(const SynthesisJob& job)
{
    if (job.generation != m_pcm.generation())
        return;
    speakJob(job, [&](const short* samples, int count) {
        PcmChunk chunk{job.textId, QByteArray(reinterpret_cast<const char*>(samples), qsizetype(count) * 2), false};
        if (!m_pcm.push(std::move(chunk), job.generation))
            return false; // discarded or shutting down: stop synthesizing this text
        m_pcmArrived();
        return true;
    });
}

void EspeakWorker::speakJob(const SynthesisJob& job, const SampleSink& sink)
{
    bool stopped = false;
    const SampleSink watched = [&](const short* samples, int count) {
        stopped = stopped || !sink(samples, count);
        return !stopped;
    };
    forEachPassage(job, [&](const SpeechPassage& passage) {
        speak(passage.prepared.text, watched);
        // A reset also ends a text whose passages make no sound.
        return !stopped && job.generation == m_pcm.generation();
    });
}

// The text is prepared a piece at a time, just before it is spoken: the first sound does not
// wait for the rest, and preparing runs ahead of playback as far as synthesis does.
bool EspeakWorker::forEachPassage(const SynthesisJob& job, const PassageSink& sink)
{
    const TextPreparer preparer(job.preparation);
    if (!preparer.changesText()) {
        selectVoice(job.voice, job.wordsPerMinute);
        SpeechPassage whole;
        whole.prepared.text = job.text;
        return sink(whole);
    }
    for (int begin = 0; begin < job.text.size();) {
        const int end = pieceEnd(job.text, begin);
        for (const SpeechPassage& passage : preparer.prepare(job.text, begin, end)) {
            selectVoice(voiceFor(passage.language, job), job.wordsPerMinute);
            if (!sink(passage))
                return false;
        }
        begin = end;
    }
    return true;
}

QByteArray EspeakWorker::voiceFor(const QByteArray& language, const SynthesisJob& job) const
{
    if (language.isEmpty())
        return job.voice;
    const InstalledVoice* voice = preferredVoiceFor(m_voices, language);
    if (!voice)
        return job.voice;
    return job.variant.isEmpty() ? voice->identifier : voice->identifier + '+' + job.variant;
}

} // namespace velmor
