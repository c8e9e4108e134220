#include "app/TForm1.h"

#include "app/Appearance.h"
#include "app/AudioExportCommand.h"
#include "app/PronunciationRulesWindow.h"
#include "widgets/ErrorBox.h"
#include "app/RegManager.h"
#include "app/SettingsItems.h"
#include "app/SettingsLocation.h"
#include "app/WindowBounds.h"
#include "document/DocumentCommands.h"
#include "document/DroppedFiles.h"
#include "document/EditorLines.h"
#include "document/FileCommands.h"
#include "document/FileNames.h"
#include "document/YukiMarks.h"
#include "input/InputConcerns.h"
#include "help/KeyNameHelp.h"
#include "help/SpokenHelp.h"
#include "input/HotKeySwitch.h"
#include "speech/ListeningResume.h"
#include "speech/Repetition.h"
#include "speech/SentenceSteps.h"
#include "speech/SpeakingCommands.h"
#include "speech/SpeedControl.h"
#include "speech/TextMarking.h"
#include "speech/VoiceLists.h"
#include "speech/VoiceSelection.h"
#include "speech/VolumeControl.h"
#include "speech/SpeechEngine.h"
#include "widgets/Bgr.h"
#include "widgets/FlatButton.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/MouthView.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"
#include "widgets/UpDownEdit.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QTextDocument>
#include <QLabel>
#include <QMenu>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTimer>

namespace velmor {

TForm1::TForm1(std::unique_ptr<SpeechEngine> engine, FormOptions options, QWidget* parent)
    : QWidget(parent)
    , m_engine(std::move(engine))
    , m_dialogs(options.dialogs ? *options.dialogs : standardDialogs(this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velmor_L"));
    resize(m_layoutScale(QSize(772, 551)));

    buildTopBar();
    buildInfoPanel();
    buildControlPanel();
    buildEditArea();
    buildLayout();
    menus = buildMenus(this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(200);

    createConcerns(options);
    createHotKey(options.globalShortcuts);
    createHelp();
    createFollowing();
    createInputConcerns(std::move(options.inputMethod));
    connectHandlers();
    FormCreate(options.commandLineFilePending, options.settingsFile);
}

TForm1::~TForm1() = default;

SpeakingState& TForm1::speakingState() { return m_speaking->speakingState(); }

// Each concern gets the state and the controls it works on, and reaches the rest of the
// window only through the few calls it is given here.
void TForm1::createConcerns(const FormOptions& options)
{
    createAppearance();
    m_speaking = std::make_unique<SpeakingCommands>(
        m_state, m_engine.get(), SpeakingControls{*RichEdit98, *PauseButton, *SelTextButton, *ULabel98, *Timer1},
        [this](const QColor& initial) { return m_dialogs.chooseColor(initial); }, [this] { GetColRow(); });
    m_repetition = std::make_unique<Repetition>(
        m_state, m_speaking->speakingState(), m_engine.get(), m_speaking->feed(),
        RepetitionControls{*RichEdit98, *IsSpeechLabel, *RepUpDown, *ClipSpeechCheckBox, *Timer1});
    m_document = std::make_unique<DocumentCommands>(
        m_state,
        DocumentControls{*RichEdit98, *SaveLabel, *ULabel98, action(ActionId::AddYuki1)},
        DocumentServices{[this] { return SICheckBox->isChecked(); },
                         [this](const QString& sentence) { m_speaking->announce(sentence); },
                         [this](const QString& question) { return m_dialogs.askYesNo(question); },
                         [this] { GetColRow(); }, [this] { m_files->stopOpening(); }});

    FileServices fileServices;
    fileServices.speechInfo = [this] { return SICheckBox->isChecked(); };
    fileServices.announce = [this](const QString& sentence) { m_speaking->announce(sentence); };
    fileServices.mayDiscardText = [this] { return m_document->mayDiscardText(); };
    fileServices.applyEditorFont = [this] { m_appearance->applyEditorFont(); };
    fileServices.switchToHangulFont = [this] { MSUIGothic1Click(); };
    fileServices.caretMoved = [this] { GetColRow(); };
    fileServices.infoLineWidth = [this] { return ULabel98->width(); };
    fileServices.readFile = options.readFile;
    fileServices.leavingText = [this] { keepListeningPlace(); };
    fileServices.webPagesAsDocuments = [this] { return action(ActionId::WebPages1).isChecked(); };
    // Opens at start-up place the caret once the window is shown.
    fileServices.fileShown = [this] {
        if (!m_state.fParamOpen)
            resumeListening();
    };
    m_files = std::make_unique<FileCommands>(m_state, m_speaking->speakingState(),
                                             FileControls{*RichEdit98, *SaveLabel, *ULabel98, *UPanel1},
                                             std::move(fileServices), m_dialogs);
    m_speed = std::make_unique<SpeedControl>(
        m_state, m_engine.get(),
        SpeedHooks{[this] { return Label1->text(); }, [this](int position) { ScrollBar1->setValue(position); },
                   [this](int minimum, int maximum) { ScrollBar1->setRange(minimum, maximum); },
                   [this](const QString& speed) { Label4->setText(speed); }});
    VoiceSelectionHooks voiceHooks;
    voiceHooks.spinnerValue = [this] { return LIDUpDown->value(); };
    voiceHooks.setSpinnerValue = [this](int value) { LIDUpDown->setValue(value); };
    voiceHooks.setSpinnerRange = [this](int minimum, int maximum) { LIDUpDown->setRange(minimum, maximum); };
    voiceHooks.showSpeaker = [this](const QString& speaker) {
        Label1->setText(speaker);
        // The spinner shows a number; a screen reader hears whose voice it is, as the listing says.
        const int id = LIDUpDown->value();
        const std::optional<VoiceDisplay> voice = voiceDisplay(m_state, id);
        LIDUpDown->setAccessibleDescription(voice ? QStringLiteral("%1 %2, %3").arg(id).arg(speaker, voice->hint)
                                                  : QStringLiteral("%1 %2").arg(id).arg(speaker));
    };
    voiceHooks.showModeName = [this](const QString& panelCaption, const QString& hint) {
        UPanel1->setCaption(panelCaption);
        Label1->setToolTip(hint);
        Label1->setStatusTip(hint);
    };
    voiceHooks.setSpeed = [this] { m_speed->SetSpeed(); };
    voiceHooks.writeListing = [this](const std::vector<ListingEntry>& listing) { appendListing(listing); };
    voiceHooks.imeConversionMode = [this] { return m_input->inputMethod->conversionMode(); };
    voiceHooks.japaneseKeyboard = [this] { return m_input->inputMethod->japaneseLayout(); };
    voiceHooks.openIme = [this](int mode) {
        m_input->inputMethod->setOpen(true);
        m_input->inputMethod->setConversionMode(mode);
    };
    voiceHooks.closeIme = [this] { m_input->inputMethod->setOpen(false); };
    voiceHooks.tellInPanel = [this](const QString& text) { tellInPanel(text); };
    voiceHooks.showNaoko = [this](std::uint32_t fontColor, bool checked) {
        JapanButton->setFontColor(colorFromBgr(fontColor));
        action(ActionId::JoyNaoko1).setChecked(checked);
    };
    m_voices = std::make_unique<VoiceSelection>(m_state, m_engine.get(), std::move(voiceHooks));
    VolumeControl1 = new TVolumeControl(this);
    VolumeControl1->setObjectName(QStringLiteral("VolumeControl1"));
    createDropsAndPrinting();
    createMarking();
    createAudioExport();
}

// ---------------------------------------------------------------- wiring

void TForm1::guarded(void (TForm1::*handler)())
{
    runGuarded(m_dialogs.showError, [this, handler] { (this->*handler)(); });
}

void TForm1::onClick(QWidget* control, void (TForm1::*handler)())
{
    auto* button = qobject_cast<QAbstractButton*>(control);
    connect(button, &QAbstractButton::clicked, this, [this, handler] { guarded(handler); });
}

void TForm1::onAction(ActionId id, void (TForm1::*handler)())
{
    connect(&action(id), &QAction::triggered, this, [this, handler] { guarded(handler); });
}

void TForm1::popUpMenuBelow(FlatButton* button, QMenu* menu)
{
    button->setDown(true);
    menu->exec(button->mapToGlobal(QPoint(0, button->height())));
    button->setDown(false);
}

void TForm1::connectHandlers()
{
    onClick(SpeechButton, &TForm1::SpeechButtonClick);
    onClick(BandButton, &TForm1::BandButtonClick);
    onClick(SelTextButton, &TForm1::SelTextButtonClick);
    onClick(PauseButton, &TForm1::PauseButtonClick);
    onClick(ResetButton, &TForm1::ResetButtonClick);
    onAction(ActionId::Speech1, &TForm1::SpeechButtonClick);
    onAction(ActionId::Band1, &TForm1::BandButtonClick);
    onAction(ActionId::SelText1, &TForm1::SelTextButtonClick);
    onAction(ActionId::Pause1, &TForm1::PauseButtonClick);
    onAction(ActionId::Reset1, &TForm1::ResetButtonClick);
    onAction(ActionId::Exit1, &TForm1::Exit1Click);
    onClick(OffRepButton, &TForm1::OffRepButtonClick);
    onClick(LIDButton, &TForm1::LIDButtonClick);
    onClick(JapanButton, &TForm1::JapanButtonClick);
    onAction(ActionId::JoyNaoko1, &TForm1::JapanButtonClick);
    onClick(ShowCheckBox, &TForm1::ShowCheckBoxClick);
    onAction(ActionId::Show1, &TForm1::Show1Click);
    onClick(SICheckBox, &TForm1::SICheckBoxClick);
    onAction(ActionId::SpeechHelp1, &TForm1::SpeechHelp1Click);
    onClick(DSpeedButton, &TForm1::DSpeedButtonClick);
    connect(LIDUpDown, &QSpinBox::valueChanged, this, [this] { guarded(&TForm1::LIDUpDownChange); });
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { guarded(&TForm1::ScrollBar1Change); });
    onAction(ActionId::WideSpeedRange1, &TForm1::WideSpeedRange1Click);
    connect(&action(ActionId::ReopenEncoding1), &QAction::triggered, this,
            [this] { runGuarded(m_dialogs.showError, [this] { m_files->reopenWithEncoding(); }); });
    onAction(ActionId::PronunciationRules1, &TForm1::PronunciationRules1Click);
    connect(VTrackBar1, &QSlider::valueChanged, this, [this] { guarded(&TForm1::VTrackBar1Change); });
    onClick(OpenButton, &TForm1::OpenButtonClick);
    onAction(ActionId::Open1, &TForm1::OpenButtonClick);
    onAction(ActionId::Open2, &TForm1::OpenButtonClick);
    onClick(SaveButton, &TForm1::SaveButtonClick);
    onAction(ActionId::Save1, &TForm1::SaveButtonClick);
    onAction(ActionId::Save2, &TForm1::SaveButtonClick);
    onClick(UniSaveButton, &TForm1::UniSaveButtonClick);
    onAction(ActionId::UnicodeSave1, &TForm1::UniSaveButtonClick);
    onAction(ActionId::Unicode1, &TForm1::UniSaveButtonClick);
    onClick(PlainSaveButton, &TForm1::PlainSaveButtonClick);
    onAction(ActionId::PlainText_Save1, &TForm1::PlainSaveButtonClick);
    onAction(ActionId::PlainText1, &TForm1::PlainSaveButtonClick);
    onClick(NewButton, &TForm1::NewButtonClick);
    onAction(ActionId::New1, &TForm1::NewButtonClick);
    onAction(ActionId::New2, &TForm1::NewButtonClick);
    onAction(ActionId::Undo1, &TForm1::Undo1Click);
    onAction(ActionId::Redo1, &TForm1::Redo1Click);
    onAction(ActionId::Cut1, &TForm1::Cut1Click);
    onAction(ActionId::Copy1, &TForm1::Copy1Click);
    onAction(ActionId::Paste1, &TForm1::Paste1Click);
    onAction(ActionId::SelectAll1, &TForm1::SelectAll1Click);
    onAction(ActionId::Date1, &TForm1::Date1Click);
    onAction(ActionId::Tab1, &TForm1::Tab1Click);
    onAction(ActionId::Yuki1, &TForm1::Yuki1Click);
    onAction(ActionId::AddYuki1, &TForm1::AddYuki1Click);
    connect(RichEdit98, &QPlainTextEdit::textChanged, this, [this] { guarded(&TForm1::RichEdit98Change); });
    // Whatever sets or clears the modified flag, the unsaved-changes mark says the same.
    connect(RichEdit98->document(), &QTextDocument::modificationChanged, this,
            [this] { m_document->showModified(); });
    connect(RepUpDown, &QSpinBox::valueChanged, this, [this] { guarded(&TForm1::RepUpDownChange); });
    connect(Timer1, &QTimer::timeout, this, [this] { guarded(&TForm1::Timer1Timer); });
    if (m_engine) {
        // The mouth is the engine's own face: it moves with the sound, whoever asked for it.
        DirectSS1->followLevel([this] { return m_engine->outputLevel(); });
        connect(m_engine.get(), &SpeechEngine::OnTextDataStarted, DirectSS1, &MouthView::speak);
        connect(m_engine.get(), &SpeechEngine::OnTextDataDone, DirectSS1, &MouthView::settle);
        connect(m_engine.get(), &SpeechEngine::OnTextDataStarted, this,
                [this] { guarded(&TForm1::DirectSS1TextDataStarted); });
        connect(m_engine.get(), &SpeechEngine::OnTextDataDone, this,
                [this] { guarded(&TForm1::DirectSS1TextDataDone); });
        connectSpeechNotices();
    }

    connect(M_FileButton, &QAbstractButton::clicked, this, [this] { popUpMenuBelow(M_FileButton, menus.FileMenu); });
    connect(M_EditButton, &QAbstractButton::clicked, this, [this] { popUpMenuBelow(M_EditButton, menus.EditMenu); });
    connect(M_HelpButton, &QAbstractButton::clicked, this, [this] { popUpMenuBelow(M_HelpButton, menus.HelpMenu); });

    connect(RichEdit98, &QPlainTextEdit::cursorPositionChanged, this, [this] { GetColRow(); });
    RichEdit98->setContextMenuPolicy(Qt::NoContextMenu);
    connectInputHandlers();
    connectSearch();
    connectMarking();
    connectAutoLanguage();
    connectButtonKeys();
}

// The control panel's buttons that Tab does not reach have keys of their own; each says in the
// panel what it did, since the keyboard's user may not see the control it changed.
void TForm1::connectButtonKeys()
{
    const auto onKey = [this](ActionId id, std::function<void()> command) {
        connect(&action(id), &QAction::triggered, this,
                [this, command] { runGuarded(m_dialogs.showError, command); });
    };
    onKey(ActionId::DefaultSpeed1, [this] {
        DSpeedButtonClick();
        if (m_state.fEngineOK)
            tellInPanel(QStringLiteral("Default Speed: %1").arg(ScrollBar1->value()));
    });
    onKey(ActionId::Once1, [this] {
        OffRepButtonClick();
        tellInPanel(QStringLiteral("Repetition number: %1").arg(RepUpDown->value()));
    });
    onKey(ActionId::LangIDInfo1, [this] {
        LIDButtonClick();
        if (m_state.fEngineOK)
            tellInPanel(QStringLiteral("Lang ID-info: %1 language IDs are listed at the end of the text.")
                            .arg(m_state.fIDCount));
    });
    addAction(&action(ActionId::PopupMenuKey));
    connect(&action(ActionId::PopupMenuKey), &QAction::triggered, this, [this] { popUpMenuAtCaret(); });
}

void TForm1::tellInPanel(const QString& text) { UPanel1->setCaption(u' ' + text); }

void TForm1::contextMenuEvent(QContextMenuEvent* event)
{
    menus.PopupMenu1->exec(event->globalPos());
}

// From the keyboard the context menu opens where the caret is, below its line.
void TForm1::popUpMenuAtCaret()
{
    RichEdit98->ensureCursorVisible();
    menus.PopupMenu1->exec(RichEdit98->viewport()->mapToGlobal(RichEdit98->cursorRect().bottomLeft()));
}

// ---------------------------------------------------------------- lifecycle

void TForm1::FormCreate(bool commandLineFilePending, const QString& settingsFile)
{
    FormState& s = m_state;
    ULabel98->clear();

    s.fModeCount = m_engine ? m_engine->ModeCount() : 0;
    s.fEngineOK = s.fModeCount >= 1;
    if (!s.fEngineOK)
        m_dialogs.inform(QStringLiteral("Speech Engine was not found"));
    if (m_engine) {
        m_engine->setMaxSpeed(188);
        m_engine->setMinSpeed(130);
    }

    RegManager1 = std::make_unique<TRegManager>();
    fillSettingsItems(*RegManager1);
    RegManager1->setReporter(m_dialogs.showError);
    RegManager1->IniFileName = settingsFile.isEmpty() ? settingsFilePath() : settingsFile;
    ReadSettings();
    m_rulesPath = pronunciationRulesPath(RegManager1->IniFileName);
    if (m_engine)
        m_engine->setPronunciationRules(loadPronunciationRules(m_rulesPath));

    m_appearance->applyStoredLook();

    // Window bounds; a maximised window is maximised when it is first shown.
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    // The settings keep the size at the laid-out scale, so that it grows with the desktop font.
    const QRect saved(s.fLeft, s.fTop, m_layoutScale(s.fWidth), m_layoutScale(s.fHeight));
    const QRect defaults(kDefaultWindowBounds.topLeft(), m_layoutScale(kDefaultWindowBounds.size()));
    const QRect bounds = startBounds(saved, s.fMaxForm, screens, defaults);
    setOuterBounds(*this, bounds);

    MarkButton->setFaceColor(colorFromBgr(s.fMarkColor));
    MarkingButton->setFaceColor(colorFromBgr(s.ffMarkColor));
    const int panelWidth = m_layoutScale(s.fPanelW);
    Splitter1->setSizes({panelWidth, std::max(1, width() - panelWidth - 6)});

    // Bring each toggle's companions in line with its state.
    action(ActionId::ClipbrdSpeech1).setChecked(ClipSpeechCheckBox->isChecked());
    DirectSS1->setVisible(ShowCheckBox->isChecked());
    action(ActionId::Show1).setChecked(ShowCheckBox->isChecked());
    action(ActionId::SpeechHelp1).setChecked(SICheckBox->isChecked());
    m_marking->showSwitch();
    action(ActionId::toClipbrd1).setChecked(SCLCheckBox->isChecked());

    s.fVeronique = QStringLiteral("V\u00E9ronique");
    RichEdit98->clear();
    s.fIDCount = 0;

    m_voices->buildAtStart();
    VTrackBar1->setValue(VolumeControl1->Volume());
    WideSpeedRange1Click();
    m_speed->applyStoredSpeed();

    RepUpDown->setValue(s.fRepNum);
    s.fRow = 0;
    RichEdit98->setSelection(0, 0);
    setWindowTitle(QStringLiteral("Velmor   ") + lineColumnText(0, 0));

    s.fSelText.clear();
    s.fClipText.clear();
    ULabel98->clear();

    QAction& lastFileOption = action(ActionId::LastfileCheck);
    if (lastFileOption.isChecked() && !s.fLastfile.isEmpty() && !commandLineFilePending
        && fileNameExists(s.fLastfile))
        openAtStart(s.fLastfile);

    SaveLabel->setOpaque(false);
    IsSpeechLabel->setOpaque(false);
    m_hotKey->registerAtStart();
    if (WordReadCheckBox->isChecked())
        action(ActionId::Joyful1).setChecked(true);
    s.fImeLen = 0;
    m_drops->showProgramHints();
    action(ActionId::AddYuki1).setChecked(s.fAddYuki);
    SelTextButton->setActiveFontColor(colorFromBgr(s.fSelBgColor));
}

void TForm1::MyTextFileOpen() { guarded(&TForm1::openNamedFile); }

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    runGuarded(m_dialogs.showError, [this] { FormShow(); });
}

void TForm1::FormShow()
{
    FormState& s = m_state;
    RichEdit98->showSelectionBar(true);
    FormResize();
    // A file opened at start-up was shown before the info line had its width.
    if (!s.fFileName.isEmpty())
        m_files->showFileName();
    if (s.fMaxForm)
        setWindowState(windowState() | Qt::WindowMaximized);

    placeCaretInOpenedText();
    RichEdit98->setFocus();
    GetColRow();
    SaveLabel->setOpaque(false);
    if (m_engine)
        m_engine->ResetAudio();
    ULabel98->setPanelColor(UPanel1->color());
}

void TForm1::placeCaretAtEndLine()
{
    QAction& endLineOption = action(ActionId::endline);
    if (endLineOption.isChecked() && RichEdit98->lineCount() > 0) {
        RichEdit98->verticalScrollBar()->setValue(RichEdit98->verticalScrollBar()->maximum());
        RichEdit98->setSelection(endLineCaretPosition(*RichEdit98->document()), 0);
        return;
    }
    GetColRow();
    RichEdit98->setSelection(0, 0);
    RichEdit98->verticalScrollBar()->setValue(0);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    bool allowed = false;
    runGuarded(m_dialogs.showError, [this, &allowed] { allowed = FormCloseQuery(); });
    if (allowed)
        event->accept();
    else
        event->ignore();
}

bool TForm1::FormCloseQuery()
{
    if (!m_document->mayDiscardText())
        return false;
    keepListeningPlace();
    if (m_engine)
        m_engine->ResetAudio();
    m_state.ffirst = false;
    if (m_state.fPrevID != 0)
        m_state.fid = m_state.fPrevID;
    // The text goes only once every item is written: a refused write that the user does not
    // give up on keeps the window open with the text still in it.
    if (!WriteSettingsOrLetGo())
        return false;
    m_hotKey->releaseAtClose();
    RichEdit98->clear();
    return true;
}

void TForm1::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    // Maximising sets the flag and restoring clears it; minimising leaves it alone.
    if (windowState() & Qt::WindowMaximized)
        m_state.fMaxForm = true;
    else if ((change->oldState() & Qt::WindowMaximized) && !(windowState() & Qt::WindowMinimized))
        m_state.fMaxForm = false;
}

bool TForm1::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        AppHintShow(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QWidget::event(event);
}

void TForm1::AppHintShow(const QString& hint)
{
    if (Panel1->width() > 279)
        UPanel1->setCaption(QStringLiteral("  ") + hint);
}

void TForm1::Exit1Click() { close(); }

// ---------------------------------------------------------------- document commands

void TForm1::OpenButtonClick() { m_files->OpenButtonClick(); }
void TForm1::SaveButtonClick() { m_files->SaveButtonClick(); }
void TForm1::UniSaveButtonClick() { m_files->UniSaveButtonClick(); }
void TForm1::PlainSaveButtonClick() { m_files->PlainSaveButtonClick(); }
void TForm1::openNamedFile() { m_files->MyTextFileOpen(); }

void TForm1::NewButtonClick() { m_document->NewButtonClick(); }
void TForm1::Undo1Click() { m_document->Undo1Click(); }
void TForm1::Redo1Click() { m_document->Redo1Click(); }
void TForm1::Cut1Click() { m_document->Cut1Click(); }
void TForm1::Copy1Click() { m_document->Copy1Click(); }
void TForm1::Paste1Click() { m_document->Paste1Click(); }
void TForm1::SelectAll1Click() { m_document->SelectAll1Click(); }
void TForm1::Date1Click() { m_document->Date1Click(); }
void TForm1::Tab1Click() { m_document->Tab1Click(); }
void TForm1::Yuki1Click() { m_document->Yuki1Click(); }
void TForm1::AddYuki1Click() { m_document->AddYuki1Click(); }
void TForm1::RichEdit98Change() { m_document->RichEdit98Change(); }

void TForm1::GetColRow()
{
    const CaretPlace place = caretPlace(*RichEdit98->document(), RichEdit98->selStart());
    m_state.fRow = place.row;
    m_state.fCol = place.column;
    setWindowTitle(QStringLiteral("Velmor_L   ") + lineColumnText(place.row, place.column));
}

// ---------------------------------------------------------------- speaking commands

void TForm1::SpeechButtonClick() { m_speaking->SpeechButtonClick(); }
void TForm1::BandButtonClick() { m_speaking->BandButtonClick(); }
void TForm1::SelTextButtonClick() { m_speaking->SelTextButtonClick(); }
void TForm1::PauseButtonClick() { m_speaking->PauseButtonClick(); }
void TForm1::ResetButtonClick()
{
    // The word heard is taken before the reset forgets it.
    const std::optional<int> heard = m_resume ? m_resume->heardPosition() : std::nullopt;
    m_speaking->ResetButtonClick();
    if (m_resume)
        m_resume->afterReset(m_state.fFileName, heard, action(ActionId::ResumeWhereStopped1).isChecked());
}

// ---------------------------------------------------------------- progress and repetition

// ---------------------------------------------------------------- voices, speed, volume, mouth

void TForm1::LIDButtonClick() { m_voices->FLID(); }
void TForm1::LIDUpDownChange() { m_voices->LIDUpDownChange(); }
void TForm1::JapanButtonClick() { m_voices->JapanButtonClick(); }

void TForm1::ShowCheckBoxClick()
{
    DirectSS1->setVisible(ShowCheckBox->isChecked());
    action(ActionId::Show1).setChecked(ShowCheckBox->isChecked());
}

// The menu item has already toggled its check mark when this runs.
void TForm1::Show1Click()
{
    const bool shown = action(ActionId::Show1).isChecked();
    DirectSS1->setVisible(shown);
    ShowCheckBox->setChecked(shown);
}

void TForm1::SICheckBoxClick()
{
    action(ActionId::SpeechHelp1).setChecked(SICheckBox->isChecked());
}

void TForm1::SpeechHelp1Click()
{
    SICheckBox->setChecked(action(ActionId::SpeechHelp1).isChecked());
}

void TForm1::ScrollBar1Change() { m_speed->ScrollBar1Change(ScrollBar1->value()); }
void TForm1::WideSpeedRange1Click() { m_speed->setWideRange(action(ActionId::WideSpeedRange1).isChecked()); }

void TForm1::PronunciationRules1Click()
{
    if (!m_engine)
        return;
    auto* window = new PronunciationRulesWindow(*m_engine, m_rulesPath, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->open();
}
void TForm1::DSpeedButtonClick() { m_speed->DSpeedButtonClick(); }
void TForm1::VTrackBar1Change() { VolumeControl1->SetVolume(std::uint16_t(VTrackBar1->value())); }

// The lines' backgrounds are highlights, like marks: they go wherever marks go, and text
// typed next to them never takes them on.
void TForm1::appendListing(const std::vector<ListingEntry>& listing)
{
    const bool wasModified = RichEdit98->isModified();
    QTextCursor cursor(RichEdit98->document());
    cursor.movePosition(QTextCursor::End);
    std::vector<std::pair<int, const ListingLine*>> written;
    cursor.beginEditBlock();
    for (const ListingEntry& entry : listing) {
        for (const ListingLine* line : {&entry.idLine, &entry.modeLine}) {
            if (!RichEdit98->document()->isEmpty())
                cursor.insertBlock();
            written.emplace_back(cursor.position(), line);
            cursor.insertText(line->text);
        }
    }
    cursor.endEditBlock();
    for (const auto& [start, line] : written)
        RichEdit98->addHighlight(start, int(line->text.size()), colorFromBgr(line->background));
    RichEdit98->setModified(modifiedAfterListing(wasModified, listing));
}

void TForm1::DirectSS1TextDataStarted() { m_repetition->DirectSS1TextDataStarted(); }
void TForm1::DirectSS1TextDataDone() { m_repetition->DirectSS1TextDataDone(); }
void TForm1::Timer1Timer() { m_repetition->Timer1Timer(); }
void TForm1::RepUpDownChange() { m_repetition->RepUpDownChange(); }
void TForm1::OffRepButtonClick() { m_repetition->OffRepButtonClick(); }

} // namespace velmor
