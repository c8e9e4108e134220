#include "speech/EspeakWorker.h"

#include "speech/PcmQueue.h"
#include "speech/SpeechRecording.h"
#include "speech/UnsafeInput.h"

#include <QDebug>
#include <algorithm>
#include <iterator>
#include <utility>

namespace velmor {

namespace {

using HelperEvent = SynthesisHelper::Event;

// The rest of a passage from a position on, its positions still pointing at the user's text.
PreparedText tailOf(const PreparedText& passage, int from)
{
    PreparedText tail;
    if (passage.sources.empty()) {
        tail.appendVerbatim(QStringView(passage.text).mid(from), from);
    } else {
        tail.text = passage.text.mid(from);
        tail.sources.assign(passage.sources.begin() + from, passage.sources.end());
    }
    return tail;
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

    void take(const std::vector<HelperEvent>& events)
    {
        for (const HelperEvent& e : events) {
            // The library also sends empty words, at the start of some clauses.
            if (e.type != synthesis::EventType::Word || e.textPosition < 1 || e.length < 1)
                continue;
            const int start = m_index.utf16Offset(e.textPosition - 1);
            const int end = m_index.utf16Offset(e.textPosition - 1 + e.length);
            m_lastWordStart = std::max(m_lastWordStart, start);
            // After some symbols (an emoji) it also reports the blank that follows as a word.
            const QStringView word = QStringView(m_passage.text).mid(start, end - start);
            if (std::none_of(word.begin(), word.end(), [](QChar c) { return !c.isSpace(); }))
                continue;
            const SourceSpan source = m_passage.sourceOf(start, end);
            m_pending.push_back({qsizetype(std::max<std::int64_t>(e.sample, 0)), source.begin, source.end - source.begin});
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

    // Where in the passage the last word reported begins; 0 before any.
    int lastWordStart() const { return m_lastWordStart; }

private:
    const PreparedText& m_passage;
    CodePointIndex m_index;
    int m_lastWordStart = 0;
    std::vector<WordMark> m_pending; // sample counted from the start of the passage's synthesis
    qsizetype m_delivered = 0;
};

} // namespace

EspeakWorker::EspeakWorker(PcmQueue& pcm, std::function<void()> pcmArrived, std::function<void()> engineFault,
                           QString helperProgram)
    : m_pcm(pcm)
    , m_pcmArrived(std::move(pcmArrived))
    , m_engineFault(std::move(engineFault))
    , m_helper(std::move(helperProgram))
{
    std::promise<void> ready;
    m_ready = ready.get_future().share();
    m_thread = std::thread(&EspeakWorker::run, this, std::move(ready));
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
        }, OnFault::Stop, nullptr, &result.voiceInForce);
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
        forEachPassage(job, [&](const SpeechPassage& passage, const QByteArray& voice) {
            const std::optional<QString> phonemes = m_helper.phonemes(voice, job.wordsPerMinute, passage.prepared.text.toUtf8());
            if (!phonemes)
                return restartHelper();
            result += *phonemes;
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
    // A recording goes past the sound device: resetting speech does not cut it.
    job.outlivesReset = true;
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
        bool faulted = false;
        speakJob(part, [&](const short* samples, int count, std::vector<WordMark> words) {
            for (const WordMark& word : words)
                sink.wordBegins(from + word.textOffset, word.sample);
            taken = sink.take(samples, count);
            return taken;
        }, OnFault::Stop, &faulted);
        if (faulted) {
            sink.fail(QStringLiteral("The speech engine stopped on this text"));
            return;
        }
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

void EspeakWorker::run(std::promise<void> ready)
{
    if (std::optional<SynthesisHelper::Started> started = m_helper.start(true)) {
        m_available = true;
        m_sampleRate = started->sampleRate;
        m_voices = std::move(started->voices);
        m_variants = std::move(started->variants);
        m_helperPid = m_helper.pid();
    }
    ready.set_value();

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

// After a fault: the engine is started anew at once, so the next sentence does not wait.
bool EspeakWorker::restartHelper()
{
    const bool started = m_helper.start(false).has_value();
    m_helperPid = m_helper.pid();
    if (m_engineFault)
        m_engineFault();
    return started;
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
    }, OnFault::SkipSentence);
}

std::vector<WordMark> EspeakWorker::speakJob(const SynthesisJob& job, const SampleSink& sink, OnFault onFault,
                                             bool* faulted, QByteArray* voiceInForce)
{
    bool stopped = false;
    const auto goesOn = [&] { return !stopped && (job.outlivesReset || job.generation == m_pcm.generation()); };
    std::vector<WordMark> unheard; // of the passages before, for the next sound
    forEachPassage(job, [&](const SpeechPassage& passage, const QByteArray& voice) {
        // Where in the passage synthesis starts: after a fault, the sentence after the one the
        // engine died on. Each fault moves on by a sentence at least, so none is tried twice.
        int from = 0;
        while (from < passage.prepared.text.size() && goesOn()) {
            const PreparedText part = from == 0 ? passage.prepared : tailOf(passage.prepared, from);
            WordEvents words(part);
            const SynthesisHelper::Outcome outcome = m_helper.synthesize(
                voice, job.wordsPerMinute, part.text.toUtf8(),
                [&](const short* samples, int count, const std::vector<HelperEvent>& events) {
                    words.take(events);
                    if (count == 0)
                        return true;
                    std::vector<WordMark> heard = std::exchange(unheard, {});
                    std::vector<WordMark> mine = words.within(count);
                    heard.insert(heard.end(), mine.begin(), mine.end());
                    stopped = stopped || !sink(samples, count, std::move(heard));
                    return goesOn();
                },
                voiceInForce);
            std::vector<WordMark> rest = words.rest();
            unheard.insert(unheard.end(), rest.begin(), rest.end());
            if (outcome != SynthesisHelper::Outcome::Died)
                break;
            qWarning("Velmor: the speech engine failed on: %s", qUtf8Printable(part.text.left(80)));
            if (faulted)
                *faulted = true;
            if (!restartHelper() || onFault == OnFault::Stop) {
                stopped = true;
                break;
            }
            from += std::max(pieceEnd(part.text, words.lastWordStart()), words.lastWordStart() + 1);
        }
        // A reset also ends a text whose passages make no sound.
        return goesOn();
    });
    return unheard;
}

// The text is prepared a piece at a time, just before it is spoken: the first sound does not
// wait for the rest, and preparing runs ahead of playback as far as synthesis does.
bool EspeakWorker::forEachPassage(const SynthesisJob& job, const PassageSink& sink) const
{
    const TextPreparer preparer(job.preparation);
    if (!preparer.changesText(job.text)) {
        SpeechPassage whole;
        whole.prepared.text = job.text;
        // The library shortens the pause after a text's last sentence; a comma after it (which
        // makes no word) keeps the pause that sentence has where the text goes on. Prepared
        // texts are spoken a sentence at a time anyway.
        if (job.continued && endsWithSentence(job.text))
            whole.prepared.text += QStringView(u" ,");
        whole.prepared = UnsafeInputFilter::shipped().apply(whole.prepared, job.preparation.voiceLanguage);
        return sink(whole, job.voice);
    }
    for (int begin = 0; begin < job.text.size();) {
        const int end = pieceEnd(job.text, begin);
        for (SpeechPassage& passage : preparer.prepare(job.text, begin, end)) {
            const QByteArray& language = passage.language.isEmpty() ? job.preparation.voiceLanguage : passage.language;
            passage.prepared = UnsafeInputFilter::shipped().apply(passage.prepared, language);
            if (!sink(passage, voiceFor(passage.language, job)))
                return false;
        }
        begin = end;
    }
    return true;
}

std::vector<std::pair<QByteArray, QString>> EspeakWorker::passages(const SynthesisJob& job) const
{
    m_ready.wait();
    std::vector<std::pair<QByteArray, QString>> passages;
    forEachPassage(job, [&passages](const SpeechPassage& passage, const QByteArray& voice) {
        passages.emplace_back(voice, passage.prepared.text);
        return true;
    });
    return passages;
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
