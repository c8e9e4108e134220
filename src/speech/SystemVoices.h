#pragma once

#include "speech/SpeechEngine.h"

#include <QString>
#include <cstddef>
#include <deque>
#include <memory>
#include <cstdint>
#include <optional>
#include <vector>

namespace velmor {

// A synthesis voice speech-dispatcher offers through one of its output modules.
struct SystemVoice {
    QString module;   // e.g. "espeak-ng"
    QString name;     // e.g. "English (America)"
    QString language; // as the module gives it, e.g. "en-US"
    QString variant;  // "none" for the voice's own sound
    bool operator==(const SystemVoice&) const = default;
};

// How a system voice is listed: "Female System" or "Male System" (male unless its name or
// variant says female), and "System: <module> <voice> (<language>)".
QString systemModeName(const SystemVoice& voice);
QString systemSpeaker(const SystemVoice& voice);
bool isSystemSpeaker(const QString& speaker);
// The language a system speaker names in its last parentheses; empty when it names none.
QString systemSpeakerLanguage(const QString& speaker);
// A module that lists every voice once more with each of its variants ("English+Annie"),
// as espeak-ng does with some 13,000 entries, is offered with its voices' own sounds only.
std::vector<SystemVoice> withoutVariantCopies(std::vector<SystemVoice> voices);
// What is said when a text is to be recorded with a system voice.
QString unrecordableVoiceMessage(const QString& speaker);
// speech-dispatcher's rate (-100..100) for a speed in words per minute.
int systemRate(int wordsPerMinute);

// A text as SSML from its word fromWord on, with an index mark named after each word's number
// (counted in the whole text) before it.
struct MarkedText {
    QByteArray ssml;
    struct Word {
        int offset;
        int length;
    };
    std::vector<Word> words; // all the text's words, in UTF-16 units within it
};
MarkedText markWords(QStringView text, int fromWord = 0);

// The voices of speech-dispatcher, the desktop's speech service, reached over its socket
// (SSIP): nothing of a synthesiser runs in this process. The service reports each message's
// begin, end and index marks on a thread of libspeechd; they are handled on this object's
// thread. Texts go to the service in pieces of about a sentence, each a message queued there in
// order; the speed becomes the service's rate, and the volume is the sound server's, as for
// every program.
// The service pauses only messages of its lowest priority, which any newer one cancels: a
// pause here cancels what is sent and sends it again on resuming, from the word last heard.
// One object at a time: libspeechd's callbacks carry no reference to their connection.
class SystemVoices : public SpeechEngine {
    Q_OBJECT

public:
    // Connects to a running speech-dispatcher (it is not started for this) and reads its
    // voices; null when it is not reachable, offers no voice, or another object is connected.
    // The voice list is kept in cacheFile between starts, since espeak-ng's module takes
    // seconds to list; it is read afresh whenever the service's modules change, unless only the
    // cached list will do: then there are no system voices until it has been made (listingWanted).
    enum class Listing { Now, CachedOnly };
    static std::unique_ptr<SystemVoices> connect(const QString& cacheFile, Listing listing = Listing::Now,
                                                 bool* listingWanted = nullptr, QObject* parent = nullptr);
    // The cache file of the user's system-voice list.
    static QString defaultCacheFile();
    ~SystemVoices() override;

    void SpeakText(const QString& text) override;
    void SpeakFirstPart(const QString& part) override;
    bool SpeakLastPart(const QString& part) override;
    void ResetAudio() override;
    void PauseAudio() override;
    void ResumeAudio() override;

    void SelectMode(int mode) override;
    QString ModeNameOf(int mode) const override;
    QString SpeakerOf(int mode) const override;
    int ModeCount() const override { return int(m_voices.size()); }

    void setSpeed(int wordsPerMinute) override { m_speed = wordsPerMinute; }
    void setMaxSpeed(int wordsPerMinute) override { Q_UNUSED(wordsPerMinute); }
    void setMinSpeed(int wordsPerMinute) override { Q_UNUSED(wordsPerMinute); }
    QByteArray voiceLanguage() const override { return voiceLanguageOf(m_mode); }
    QByteArray voiceLanguageOf(int mode) const override;
    bool canRecord() const override { return false; }
    std::vector<VoicePassage> passagesOf(const QString& text) const override;

    const std::vector<SystemVoice>& voices() const { return m_voices; }

    // What libspeechd reports of a message (a message another client's cancelled counts as ended).
    enum class EventKind { Begin, End, Mark };
    struct Event {
        EventKind kind;
        std::size_t message;
        int mark = -1;
    };

private:
    struct Service;
    SystemVoices(std::unique_ptr<Service> service, std::vector<SystemVoice> voices, QObject* parent);

    // A piece of a text handed over, sent as one message; long texts go in many, a few at a time.
    struct Part {
        QString text; // as handed over
        int begin = 0;
        int length = 0;
        std::vector<MarkedText::Word> words; // within the piece, once it was first sent
        std::size_t message = 0;             // the service's number while it has the piece
        bool waiting = true;                 // to be sent
        int from = 0;                        // the word it is sent from
        int heard = -1;                      // the word heard last
        bool finished() const { return message == 0 && !waiting; }
    };
    struct Text {
        std::vector<Part> parts;
        bool complete = false; // the last part is in
        bool started = false;
    };

    const SystemVoice& voice(int mode) const;
    void send(Text& text, const QString& part);
    bool transmit(Part& part);
    void sendWaiting();
    void applyVoiceAndRate();
    void handle(const Event& event);
    void settle();
    void settleTexts();
    Part* partOf(std::size_t message, Text** owner);

    std::unique_ptr<Service> m_service; // the connection
    std::vector<SystemVoice> m_voices;
    int m_mode = 1;
    int m_speed = 175;
    int m_sentMode = 0;
    std::optional<int> m_sentRate;
    bool m_paused = false;
    std::uint64_t m_generation = 0;
    std::deque<Text> m_texts;
    std::vector<QString> m_heldBack; // texts queued while a text waits for its rest
    friend void deliver(const Event& event);
};

} // namespace velmor
