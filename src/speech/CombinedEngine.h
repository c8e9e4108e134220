#pragma once

#include "speech/SpeechEngine.h"

#include <memory>

namespace velmor {

// The built-in voices and the desktop's as one engine: modes 1 to n are the built-in engine's,
// those after them the system's, so that a stored mode number of a built-in voice keeps its
// meaning whatever the desktop offers. Texts go to the engine of the selected mode; pause,
// resume and reset reach both, and both engines' notifications come out of this one. A text
// one engine is still speaking when a mode of the other is chosen goes on to its end.
class CombinedEngine : public SpeechEngine {
    Q_OBJECT

public:
    // system may be null: the desktop offers no voices.
    CombinedEngine(std::unique_ptr<SpeechEngine> builtIn, std::unique_ptr<SpeechEngine> system, QObject* parent = nullptr);
    ~CombinedEngine() override;

    void SpeakText(const QString& text) override { active().SpeakText(text); }
    void SpeakFirstPart(const QString& part) override;
    bool SpeakLastPart(const QString& part) override;
    void ResetAudio() override;
    void PauseAudio() override;
    void ResumeAudio() override;

    void SelectMode(int mode) override;
    QString ModeNameOf(int mode) const override;
    QString SpeakerOf(int mode) const override;
    int ModeCount() const override;

    void setSpeed(int wordsPerMinute) override;
    void setMaxSpeed(int wordsPerMinute) override;
    void setMinSpeed(int wordsPerMinute) override;
    void setAutoLanguage(bool on) override;
    void setPronunciationRules(std::shared_ptr<const PronunciationRules> rules) override;
    QByteArray voiceLanguage() const override { return active().voiceLanguage(); }
    QByteArray voiceLanguageOf(int mode) const override;

    double outputLevel() const override { return active().outputLevel(); }
    bool isSilent() const override { return active().isSilent(); }
    void record(const QString& text, std::shared_ptr<SpeechSink> sink) override { active().record(text, std::move(sink)); }
    bool canRecord() const override { return active().canRecord(); }
    std::vector<VoicePassage> passagesOf(const QString& text) const override;
    int sampleRate() const override { return m_builtIn->sampleRate(); }

    SpeechEngine& builtIn() const { return *m_builtIn; }

private:
    SpeechEngine& active() const { return m_systemSelected ? *m_system : *m_builtIn; }
    int builtInCount() const { return m_builtIn->ModeCount(); }
    bool isSystemMode(int mode) const { return m_system && mode > builtInCount(); }
    void forward(SpeechEngine& engine);

    std::unique_ptr<SpeechEngine> m_builtIn;
    std::unique_ptr<SpeechEngine> m_system;
    bool m_systemSelected = false;
    // The engine given the first part of the text whose rest is to come: the rest goes there too.
    SpeechEngine* m_restTo = nullptr;
};

} // namespace velmor
