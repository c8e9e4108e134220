#pragma once

#include "speech/PcmQueue.h"
#include "speech/SpeechSink.h"
#include "speech/SynthesisHelper.h"
#include "speech/TextPreparation.h"
#include "speech/VoiceModes.h"

#include <QByteArray>
#include <QString>
#include <atomic>
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
    bool outlivesReset = false;   // a recording, which a reset of speech does not stop
};

// A text synthesized at once, outside the job queue and the PCM queue.
struct VoiceSample {
    QByteArray voiceInForce; // the library's identifier of the voice it used, variant included
    QByteArray samples;      // 16-bit mono PCM at sampleRate()
};

// The thread that prepares texts and has them synthesized by espeak-ng in the helper process
// (SynthesisHelper). It starts the helper and reads the voice list, then turns queued jobs, one
// at a time and in order, into PCM chunks (each with the words whose sound begins in it)
// followed by an end mark. Jobs of a discarded PcmQueue generation are skipped, and synthesis
// of one stops as soon as the queue refuses its audio.
// When the helper dies on a text, a new one is started at once and speech goes on from the
// sentence after the one it died on; every such fault is reported through engineFault.
class EspeakWorker {
public:
    // Starts the helper on the worker thread; what tells of the engine (sampleRate, voices,
    // variants) waits until it is ready or known to be unusable, so a caller may prepare other
    // things meanwhile. pcmArrived is called on the worker thread after each chunk it queues,
    // engineFault after each restart of the helper.
    EspeakWorker(PcmQueue& pcm, std::function<void()> pcmArrived, std::function<void()> engineFault = {},
                 QString helperProgram = SynthesisHelper::defaultProgram());
    // Closes the PCM queue, which cancels synthesis, and joins the thread.
    ~EspeakWorker();
    EspeakWorker(const EspeakWorker&) = delete;
    EspeakWorker& operator=(const EspeakWorker&) = delete;

    int sampleRate() const
    {
        m_ready.wait();
        return m_sampleRate;
    }
    // Empty when the library is unusable; jobs then yield only their end marks.
    const std::vector<InstalledVoice>& voices() const
    {
        m_ready.wait();
        return m_voices;
    }
    // File names of the installed variants, such as "f3".
    const std::vector<QByteArray>& variants() const
    {
        m_ready.wait();
        return m_variants;
    }

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
    // The passages a job's text is prepared into, each with the voice that reads it, as they
    // would be handed to the library; nothing is synthesized. Callable from any thread.
    std::vector<std::pair<QByteArray, QString>> passages(const SynthesisJob& job) const;

    // Synthesizes a job's text, prepared as for speaking, into sink part by part
    // (recordingPartEnd), each part queued behind the work queued meanwhile, so that a long
    // recording does not hold speech up. A fault of the engine fails the recording.
    void record(SynthesisJob job, std::shared_ptr<SpeechSink> sink);

    // The process id of the helper now running; for tests that make it fail.
    pid_t helperProcess() const { return m_helperPid.load(); }

private:
    struct Recording;
    void recordFrom(std::shared_ptr<const Recording> recording, qsizetype from);
    using Work = std::variant<SynthesisJob, std::packaged_task<void()>>;
    // Receives synthesized samples with the words whose sound begins in them, placed in the
    // job's text; false stops the synthesis.
    using SampleSink = std::function<bool(const short* samples, int count, std::vector<WordMark> words)>;
    // Called with each prepared passage and the voice that reads it; false stops.
    using PassageSink = std::function<bool(const SpeechPassage& passage, const QByteArray& voice)>;
    // What a fault of the engine does to the text being synthesized.
    enum class OnFault { SkipSentence, Stop };

    void run(std::promise<void> ready);
    std::optional<Work> nextWork();
    void post(Work work);
    bool restartHelper();
    // Both return the words reported without sound of their own, for the end of the text.
    std::vector<WordMark> synthesize(const SynthesisJob& job);
    // faulted (when given) tells whether the engine failed on the text.
    std::vector<WordMark> speakJob(const SynthesisJob& job, const SampleSink& sink, OnFault onFault,
                                   bool* faulted = nullptr, QByteArray* voiceInForce = nullptr);
    bool forEachPassage(const SynthesisJob& job, const PassageSink& sink) const;
    QByteArray voiceFor(const QByteArray& language, const SynthesisJob& job) const;

    PcmQueue& m_pcm;
    std::function<void()> m_pcmArrived;
    std::function<void()> m_engineFault;
    SynthesisHelper m_helper; // used on the worker thread only
    std::atomic<pid_t> m_helperPid{-1};
    bool m_available = false;
    int m_sampleRate = 22050;
    std::vector<InstalledVoice> m_voices;
    std::vector<QByteArray> m_variants;

    std::mutex m_jobsMutex;
    std::condition_variable m_jobsChanged;
    std::deque<Work> m_jobs;
    bool m_stopping = false;

    std::shared_future<void> m_ready;
    std::thread m_thread;
};

} // namespace velmor
