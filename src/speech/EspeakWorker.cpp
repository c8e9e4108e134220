#include "speech/EspeakWorker.h"

#include "speech/PcmQueue.h"

#include <QDebug>
#include <espeak-ng/speak_lib.h>

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

std::vector<InstalledVoice> listVoices()
{
    std::vector<InstalledVoice> voices;
    for (const espeak_VOICE** v = espeak_ListVoices(nullptr); v && *v; ++v)
        voices.push_back({QByteArray((*v)->identifier), QString::fromUtf8((*v)->name)});
    return voices;
}

// What the synthesis callback works for; set on the worker thread around each espeak_Synth.
struct SynthesisContext {
    PcmQueue& pcm;
    const SynthesisJob& job;
    const std::function<void()>& pcmArrived;
};
thread_local const SynthesisContext* t_context = nullptr;

int onSamples(short* wav, int count, espeak_EVENT*)
{
    const SynthesisContext* context = t_context;
    if (!context || !wav || count <= 0)
        return 0;
    PcmChunk chunk{context->job.textId, QByteArray(reinterpret_cast<const char*>(wav), qsizetype(count) * 2), false};
    if (!context->pcm.push(std::move(chunk), context->job.generation))
        return 1; // discarded or shutting down: stop synthesizing this text
    context->pcmArrived();
    return 0;
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

void EspeakWorker::enqueue(SynthesisJob job)
{
    {
        std::lock_guard lock(m_jobsMutex);
        m_jobs.push_back(std::move(job));
    }
    m_jobsChanged.notify_one();
}

void EspeakWorker::dropQueuedJobs()
{
    std::deque<SynthesisJob> dropped;
    {
        std::lock_guard lock(m_jobsMutex);
        dropped.swap(m_jobs);
    }
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
    }
    ready->set_value();

    while (std::optional<SynthesisJob> job = nextJob()) {
        if (m_available)
            synthesize(*job);
        if (m_pcm.push({job->textId, {}, true}, job->generation))
            m_pcmArrived();
    }
}

std::optional<SynthesisJob> EspeakWorker::nextJob()
{
    std::unique_lock lock(m_jobsMutex);
    m_jobsChanged.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
    if (m_stopping)
        return std::nullopt;
    SynthesisJob job = std::move(m_jobs.front());
    m_jobs.pop_front();
    return job;
}

void EspeakWorker::synthesize(const SynthesisJob& job)
{
    if (job.generation != m_pcm.generation())
        return;
    if (job.voice != m_voice && espeak_SetVoiceByName(job.voice.constData()) == EE_OK)
        m_voice = job.voice;
    espeak_SetParameter(espeakRATE, job.wordsPerMinute, 0);

    const QByteArray utf8 = job.text.toUtf8();
    const SynthesisContext context{m_pcm, job, m_pcmArrived};
    t_context = &context;
    espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    t_context = nullptr;
}

} // namespace velmor
