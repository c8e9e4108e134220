#pragma once

#include "app/Dialogs.h"
#include "speech/SpeechExport.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace velmor {

struct FormState;
class AudioFileRecording;
class SpeechEngine;
class TRichEdit98;

// How speech is saved, as the user chose it.
struct AudioExportChoices {
    bool byChapters = false; // one file per chapter found from the headings
    bool subtitles = false;  // .srt and .lrc files beside each audio file
};

// "Save speech as audio": the whole text, or the selection, as the engine would speak it now,
// written to an audio file in the background, or to one file per chapter one after another.
// A progress window with a Cancel button follows it without blocking the main window; one
// export runs at a time. Each file appears only when whole: a cancel or failure leaves the
// chapters written before and nothing of the one being written.
class AudioExportCommand : public QObject {
    Q_OBJECT
public:
    // tellSaved hears the sentence that says a file was written.
    AudioExportCommand(FormState& state, SpeechEngine* engine, TRichEdit98& editor, Dialogs& dialogs, QWidget* window,
                       std::function<void(const QString&)> tellSaved,
                       std::function<AudioExportChoices()> choices = {});
    ~AudioExportCommand() override;

    void SaveSpeechClick();

    bool running() const { return m_recording != nullptr; }
    // Shown while an export runs; null before the first.
    QProgressDialog* progressWindow() const { return m_progress; }

private:
    bool startNext();
    void showProgress();
    void finished();
    QString presetName() const;
    QString startingFolder() const;
    QString bookTitle() const;
    QString voiceName() const;

    FormState& m_state;
    SpeechEngine* m_engine;
    TRichEdit98& m_editor;
    Dialogs& m_dialogs;
    QWidget* m_window;
    std::function<void(const QString&)> m_tellSaved;
    std::function<AudioExportChoices()> m_choices;
    QPointer<QProgressDialog> m_progress;
    QTimer m_progressTimer;
    std::shared_ptr<AudioFileRecording> m_recording;
    std::vector<SpeechExportPiece> m_pieces;
    std::size_t m_next = 0; // the piece after the one being written
    bool m_subtitles = false;
    QString m_path;
    QString m_directory;
};

} // namespace velmor
