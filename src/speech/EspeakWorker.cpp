#include "speech/EspeakWorker.h"

#include "speech/PcmQueue.h"
#include "speech/SpeechRecording.h"

#include <QDebug>
#include <algorithm>
#include <espeak-ng/speak_lib.h>
#include <iterator>
#include <utility>

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

// Receives the samples and events of the synthesis running on this thread; false stops it.
// The last call of a synthesis may bring events without samples.
using SynthesisSink = std::function<bool(const short* samples, int count, const espeak_EVENT* events)>;
thread_local const SynthesisSink* t_sink = nullptr;

int onSamples(short* wav, int count, espeak_EVENT* events)
{
    const SynthesisSink* sink = t_sink;
    if (!sink)
        return 0;
    return (*sink)(wav, wav ? std::max(count, 0) : 0, events) ? 0 : 1;
}

void speak(const QString& text, const SynthesisSink& sink)
{
    const QByteArray utf8 = text.toUtf8();
    t_sink = &sink;
    espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    t_sink = nullptr;
}

// The library counts a text's characters in code points from 1; the text is indexed in UTF-16
// units, where a character beyond the Basic Multilingual Plane takes two.
class CodePointIndex {
public:
    explicit CodePointIndex(const QString& text)
        : m_size(int(text.size()))
    {
        int codePoint = 0;
        for (qsizetype i = 0; i < text.size(); ++i, ++codePoint) {
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                m_pairs.push_back(codePoint);
                ++i;
            }
        }
    }

    int utf16Offset(int codePoint) const
    {
        const auto pairsBefore = std::lower_bound(m_pairs.begin(), m_pairs.end(), codePoint) - m_pairs.begin();
        return std::min(m_size, codePoint + int(pairsBefore));
    }

private:
    int m_size;
    std::vector<int> m_pairs; // code point indexes of the characters that take two units
};

// Word events of the synthesis of one passage, handed on with the chunk in which each word's
// sound begins, and placed in the text the passage was prepared from.
class WordEvents {
public:
    explicit WordEvents(const PreparedText& passage) : m_passage(passage), m_index(passage.text) { }

    void take(const espeak_EVENT* events)
    {
        for (const espeak_EVENT* e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
            // The library also sends empty words, at the start of some clauses.
            if (e->type != espeakEVENT_WORD || e->text_position < 1 || e->length < 1)
                continue;
            const int start = m_index.utf16Offset(e->text_position - 1);
            const int end = m_index.utf16Offset(e->text_position - 1 + e->length);
            // After some symbols (an emoji) it also reports the blank that follows as a word.
            const QStringView word = QStringView(m_passage.text).mid(start, end - start);
            if (std::none_of(word.begin(), word.end(), [](QChar c) { return !c.isSpace(); }))
                continue;
            const SourceSpan source = m_passage.sourceOf(start, end);
            m_pending.push_back({std::max<qsizetype>(e->sample, 0), source.begin, source.end - source.begin});
        }
    }

    // The words that begin before the end of the next `count` samples, placed within them.
    std::vector<WordMark> within(qsizetype count)
    {
        std::vector<WordMark> words;
        const auto later = std::stable_partition(m_pending.begin(), m_pending.end(),
                                                 [&](const WordMark& w) { return w.sample < m_delivered + count; });
        for (auto w = m_pending.begin(); w != later; ++w)
            words.push_back({std::max<qsizetype>(0, w->sample - m_delivered), w->textOffset, w->length});
        m_pending.erase(m_pending.begin(), later);
        m_delivered += count;
        return words;
    }

    // Words whose sound never came, placed at the start of whatever sound comes next.
    std::vector<WordMark> rest()
    {
        std::vector<WordMark> words;
        for (const WordMark& w : m_pending)
            words.push_back({0, w.textOffset, w.length});
        m_pending.clear();
        return words;
    }

private:
    const PreparedText& m_passage;
    CodePointIndex m_index;
    std::vector<WordMark> m_pending; // sample counted from the start of the passage's synthesis
    qsizetype m_delivered = 0;
};

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
        speakJob(job, [&](const short* samples, int count, std::vector<WordMark>) {
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
        speakJob(part, [&](const short* samples, int count, std::vector<WordMark>) {
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
        std::vector<WordMark> unheardWords = m_available ? synthesize(job) : std::vector<WordMark>{};
        if (m_pcm.push({job.textId, {}, true, std::move(unheardWords)}, job.generation))
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

std::vector<WordMark> EspeakWorker::synthesize(const SynthesisJob& job)
{
    if (job.generation != m_pcm.generation())
        return {};
    return speakJob(job, [&](const short* samples, int count, std::vector<WordMark> words) {
        PcmChunk chunk{job.textId, QByteArray(reinterpret_cast<const char*>(samples), qsizetype(count) * 2), false,
                       std::move(words)};
        if (!m_pcm.push(std::move(chunk), job.generation))
            return false; // discarded or shutting down: stop synthesizing this text
        m_pcmArrived();
        return true;
    });
}

std::vector<WordMark> EspeakWorker::speakJob(const SynthesisJob& job, const SampleSink& sink)
{
    bool stopped = false;
    std::vector<WordMark> unheard; // of the passages before, for the next sound
    forEachPassage(job, [&](const SpeechPassage& passage) {
        WordEvents words(passage.prepared);
        speak(passage.prepared.text, [&](const short* samples, int count, const espeak_EVENT* events) {
            words.take(events);
            if (count == 0)
                return true;
            std::vector<WordMark> heard = std::exchange(unheard, {});
            std::vector<WordMark> mine = words.within(count);
            heard.insert(heard.end(), mine.begin(), mine.end());
            stopped = stopped || !sink(samples, count, std::move(heard));
            // A reset also ends a text whose passages make no sound.
        return !stopped && job.generation == m_pcm.generation();
        });
        std::vector<WordMark> rest = words.rest();
        unheard.insert(unheard.end(), rest.begin(), rest.end());
        // A reset also ends a text whose passages make no sound.
        return !stopped && job.generation == m_pcm.generation();
    });
    return unheard;
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
        // The library shortens the pause after a text's last sentence; a comma after it (which
        // makes no word) keeps the pause that sentence has where the text goes on. Prepared
        // texts are spoken a sentence at a time anyway.
        if (job.continued && endsWithSentence(job.text))
            whole.prepared.text += QStringView(u" ,");
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
