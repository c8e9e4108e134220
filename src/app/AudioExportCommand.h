#pragma once

#include "app/Dialogs.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

class QWidget;

namespace velmor {

struct FormState;
class AudioFileRecording;
class SpeechEngine;
class TRichEdit98;

// "Save speech as audio": the whole text, or the selection, as the engine would speak it now,
// written to an audio file in the background. A progress window with a Cancel button follows
// it without blocking the main window; one export runs at a time.
class AudioExportCommand : public QObject {
    Q_OBJECT
public:
    // tellSaved hears the sentence that says a file was written.
    AudioExportCommand(FormState& state, SpeechEngine* engine, TRichEdit98& editor, Dialogs& dialogs, QWidget* window,
                       std::function<void(const QString&)> tellSaved);
    ~AudioExportCommand() override;

    void SaveSpeechClick();

    bool running() const { return m_recording != nullptr; }
    // Shown while an export runs; null before the first.
    QProgressDialog* progressWindow() const { return m_progress; }

private:
    void start(const QString& text, const QString& path);
    void showProgress();
    void finished();
    QString presetName() const;
    QString startingFolder() const;

    FormState& m_state;
    SpeechEngine* m_engine;
    TRichEdit98& m_editor;
    Dialogs& m_dialogs;
    QWidget* m_window;
    std::function<void(const QString&)> m_tellSaved;
    QPointer<QProgressDialog> m_progress;
    QTimer m_progressTimer;
    std::shared_ptr<AudioFileRecording> m_recording;
    QString m_path;
    QString m_directory;
};

} // namespace velmor
