#include "app/AudioExportCommand.h"

#include "core/FormState.h"
#include "document/EditorLines.h"
#include "speech/AudioFile.h"
#include "speech/SpeechEngine.h"
#include "speech/SpeechRecording.h"
#include "speech/SystemVoices.h"
#include "speech/VoiceSelection.h"
#include "widgets/TRichEdit98.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QProgressDialog>
#include <QStandardPaths>

namespace velmor {

namespace {

const QString kAudioFilter = QStringLiteral(
    "WAV audio (*.wav)|*.wav|FLAC audio (*.flac)|*.flac|Ogg Vorbis audio (*.ogg)|*.ogg|MP3 audio (*.mp3)|*.mp3");
constexpr int kProgressSteps = 1000;
constexpr int kProgressIntervalMs = 100;

QString durationText(double seconds)
{
    const int whole = int(seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600)
        .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

AudioExportCommand::AudioExportCommand(FormState& state, SpeechEngine* engine, TRichEdit98& editor, Dialogs& dialogs,
                                       QWidget* window, std::function<void(const QString&)> tellSaved,
                                       std::function<AudioExportChoices()> choices)
    : m_state(state)
    , m_engine(engine)
    , m_editor(editor)
    , m_dialogs(dialogs)
    , m_window(window)
    , m_tellSaved(std::move(tellSaved))
    , m_choices(std::move(choices))
{
    m_progressTimer.setInterval(kProgressIntervalMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &AudioExportCommand::showProgress);
}

// The engine, and with it the recording's last owner, may outlive this: cancelling removes
// whatever was written as soon as the engine notices.
AudioExportCommand::~AudioExportCommand()
{
    if (m_recording)
        m_recording->cancel();
}

QString AudioExportCommand::presetName() const
{
    if (m_state.fFileName.isEmpty())
        return QStringLiteral("speech.wav");
    return QFileInfo(m_state.fFileName).completeBaseName() + QStringLiteral(".wav");
}

// The folder of the last export, else the document's, else the user's music folder.
QString AudioExportCommand::startingFolder() const
{
    if (!m_directory.isEmpty())
        return m_directory;
    if (!m_state.fFileName.isEmpty())
        return QFileInfo(m_state.fFileName).absolutePath();
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    return QFileInfo(music).isDir() ? music : QDir::homePath();
}

// The document's name; without one, the first heading (speechExportPieces).
QString AudioExportCommand::bookTitle() const
{
    return m_state.fFileName.isEmpty() ? QString() : QFileInfo(m_state.fFileName).completeBaseName();
}

QString AudioExportCommand::voiceName() const
{
    const std::optional<VoiceDisplay> display = voiceDisplay(m_state, m_state.fid);
    return display ? display->speaker : QString();
}

void AudioExportCommand::SaveSpeechClick()
{
    if (!m_engine || !m_state.fEngineOK)
        return;
    if (running()) {
        m_progress->raise();
        m_progress->activateWindow();
        return;
    }
    const bool selection = m_editor.selLength() > 0;
    const QString text = selection ? m_editor.selText() : gatherWholeText(*m_editor.document());
    if (text.trimmed().isEmpty()) {
        m_dialogs.beep();
        return;
    }
    if (!m_engine->canRecord()) {
        m_dialogs.inform(unrecordableVoiceMessage(voiceName()));
        return;
    }
    std::optional<QString> chosen =
        m_dialogs.chooseFile({FileChoice::Kind::Save, kAudioFilter, presetName(), startingFolder()});
    if (!chosen)
        return;
    if (QFileInfo(*chosen).suffix().isEmpty())
        *chosen += QStringLiteral(".wav");
    m_directory = QFileInfo(*chosen).absolutePath();
    const AudioExportChoices choices = m_choices ? m_choices() : AudioExportChoices{};
    m_pieces = speechExportPieces({text, *chosen, choices.byChapters, bookTitle(), voiceName(),
                                   selection ? std::vector<ChapterStart>{} : m_state.fChapterStarts});
    // A chapter with nothing to say gets no file.
    if (m_pieces.size() > 1)
        std::erase_if(m_pieces, [](const SpeechExportPiece& piece) { return piece.text.trimmed().isEmpty(); });
    m_subtitles = choices.subtitles;
    m_next = 0;
    startNext();
}

// False when there was no piece left or the next could not be started (the user was told).
bool AudioExportCommand::startNext()
{
    if (m_next >= m_pieces.size())
        return false;
    const SpeechExportPiece& piece = m_pieces[m_next++];
    QPointer<AudioExportCommand> self(this);
    try {
        m_recording = std::make_shared<AudioFileRecording>(piece.path, m_engine->sampleRate(), piece.text.size(), [self] {
            // On the engine's thread: the answer waits for the UI thread.
            QMetaObject::invokeMethod(qApp, [self] {
                if (self)
                    self->finished();
            }, Qt::QueuedConnection);
        }, RecordingExtras{piece.tags, m_subtitles ? piece.text : QString()});
    } catch (const AudioFileError& error) {
        m_recording.reset();
        if (m_progress)
            m_progress->hide();
        m_dialogs.showError(error.message());
        return false;
    }
    m_path = piece.path;
    if (!m_progress) {
        m_progress = new QProgressDialog(m_window, Qt::Dialog);
        m_progress->setObjectName(QStringLiteral("AudioExportProgress"));
        m_progress->setWindowTitle(QStringLiteral("Save speech as audio"));
        m_progress->setWindowModality(Qt::NonModal);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumDuration(0);
        m_progress->setRange(0, kProgressSteps);
        m_progress->setAccessibleName(QStringLiteral("Save speech as audio"));
        if (auto* bar = m_progress->findChild<QProgressBar*>())
            bar->setAccessibleName(QStringLiteral("Speech written"));
        connect(m_progress, &QProgressDialog::canceled, this, [this] {
            if (m_recording)
                m_recording->cancel();
        });
    }
    m_progress->reset();
    m_progress->setValue(0);
    m_progress->setLabelText(QStringLiteral("Saving the speech as %1").arg(QFileInfo(piece.path).fileName()));
    m_progress->show();
    m_progressTimer.start();
    m_engine->record(piece.text, m_recording);
    return true;
}

void AudioExportCommand::showProgress()
{
    if (!m_recording || !m_progress || m_progress->wasCanceled())
        return;
    m_progress->setValue(int(m_recording->progress() * kProgressSteps));
    // Chapter by chapter: the bar follows the chapter being written.
    const QString chapter = m_pieces.size() > 1
        ? QStringLiteral("Chapter %1 of %2: ").arg(m_next).arg(m_pieces.size())
        : QString();
    m_progress->setLabelText(QStringLiteral("%1Saving the speech as %2\n%3 of speech written")
                                 .arg(chapter, QFileInfo(m_path).fileName(), durationText(m_recording->seconds())));
}

void AudioExportCommand::finished()
{
    const std::shared_ptr<AudioFileRecording> recording = std::move(m_recording);
    if (!recording)
        return;
    if (recording->state() == AudioFileRecording::State::Written && m_next < m_pieces.size()) {
        if (!startNext())
            m_progressTimer.stop();
        return;
    }
    m_progressTimer.stop();
    if (m_progress)
        m_progress->hide();
    if (recording->state() == AudioFileRecording::State::Failed)
        m_dialogs.showError(recording->error());
    else if (recording->state() == AudioFileRecording::State::Written && m_tellSaved && m_pieces.size() > 1)
        m_tellSaved(QStringLiteral("The speech was saved as %1 files, one per chapter.").arg(m_pieces.size()));
    else if (recording->state() == AudioFileRecording::State::Written && m_tellSaved)
        m_tellSaved(QStringLiteral("The speech was saved as %1.").arg(QFileInfo(m_path).fileName()));
}

} // namespace velmor
