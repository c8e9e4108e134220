#pragma once

#include "speech/PcmQueue.h"
#include "speech/SpeechSink.h"
#include "speech/TextPreparation.h"
#include "speech/VoiceModes.h"

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

namespace velmor {

// A text to speak with the voice and rate that were current when it was queued.
struct SynthesisJob {
    std::uint64_t textId = 0;
    std::uint64_t generation = 0; // the PcmQueue generation it was queued in
    QString text;
    QByteArray voice;             // argument for espeak_SetVoiceByName
    int wordsPerMinute = 175;
    PreparationOptions preparation;
    QByteArray variant;           // the selected voice's variant, also for other languages' voices
    bool continued = false;       // the text goes on in the next job
};

// A text synthesized at once, outside the job queue and the PCM queue.
struct VoiceSample {
    QByteArray voiceInForce; // the library's identifier of the voice it used, variant included
    QByteArray samples;      // 16-bit mono PCM at sampleRate()
};

// The only thread that calls into libespeak-ng, which crashes when two threads synthesize.
// It initializes the library and reads the voice list, then turns queued jobs, one at a time
// and in order, into PCM chunks (each with the words whose sound begins in it) followed by an
// end mark. Jobs of a discarded PcmQueue generation are skipped, and synthesis of one stops as
// soon as the queue refuses its audio.
class EspeakWorker {
public:
    // Waits until the library is ready (or known to be unusable) and the voices are read.
    // pcmArrived is called on the worker thread after each chunk it queues.
    EspeakWorker(PcmQueue& pcm, std::function<void()> pcmArrived);
    // Closes the PCM queue, which cancels synthesis, and joins the thread.
    ~EspeakWorker();
    EspeakWorker(const EspeakWorker&) = delete;
    EspeakWorker& operator=(const EspeakWorker&) = delete;

    int sampleRate() const { return m_sampleRate; }
    // Empty when the library is unusable; jobs then yield only their end marks.
    const std::vector<InstalledVoice>& voices() const { return m_voices; }
    // File names of the installed variants, such as "f3".
    const std::vector<QByteArray>& variants() const { return m_variants; }

    void enqueue(SynthesisJob job);
    // Drops the jobs not yet started.
    void dropQueuedJobs();

    // Synthesizes a job's text, prepared as for speaking, and waits for the result; for checking
    // what the voices sound like. It runs after the jobs queued before it, so it waits as long
    // as they do. Empty when the library is unusable.
    VoiceSample sample(const SynthesisJob& job);
    // The phonemes (espeak-ng's mnemonics) the voices make of a job's text as prepared for
    // speaking, one passage after another; for checking the preparation. Waits like sample.
    QString phonemes(const SynthesisJob& job);

    // Synthesizes a job's text, prepared as for speaking, into sink part by part
    // (recordingPartEnd), each part queued behind the work queued meanwhile, so that a long
    // recording does not hold speech up.
    void record(SynthesisJob job, std::shared_ptr<SpeechSink> sink);

private:
    struct Recording;
    void recordFrom(std::shared_ptr<const Recording> recording, qsizetype from);
    using Work = std::variant<SynthesisJob, std::packaged_task<void()>>;
    // Receives synthesized samples with the words whose sound begins in them, placed in the
    // job's text; false stops the synthesis.
    using SampleSink = std::function<bool(const short* samples, int count, std::vector<WordMark> words)>;
    // Called with each prepared passage after its voice is selected; false stops.
    using PassageSink = std::function<bool(const SpeechPassage& passage)>;

    void run(std::promise<void>* ready);
    std::optional<Work> nextWork();
    void post(Work work);
    void selectVoice(const QByteArray& voice, int wordsPerMinute);
    // Both return the words reported without sound of their own, for the end of the text.
    std::vector<WordMark> synthesize(const SynthesisJob& job);
    std::vector<WordMark> speakJob(const SynthesisJob& job, const SampleSink& sink);
    bool forEachPassage(const SynthesisJob& job, const PassageSink& sink);
    QByteArray voiceFor(const QByteArray& language, const SynthesisJob& job) const;

    PcmQueue& m_pcm;
    std::function<void()> m_pcmArrived;
    bool m_available = false;
    int m_sampleRate = 22050;
    std::vector<InstalledVoice> m_voices;
    std::vector<QByteArray> m_variants;
    QByteArray m_voice; // the voice the library has loaded

    std::mutex m_jobsMutex;
    std::condition_variable m_jobsChanged;
    std::deque<Work> m_jobs;
    bool m_stopping = false;

    std::thread m_thread;
};

} // namespace velmor
