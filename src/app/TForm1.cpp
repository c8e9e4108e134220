#include "app/TForm1.h"

#include "app/ErrorBox.h"
#include "app/RegManager.h"
#include "app/SettingsItems.h"
#include "app/SettingsLocation.h"
#include "app/WindowBounds.h"
#include "document/DocumentCommands.h"
#include "document/EditorLines.h"
#include "document/FileCommands.h"
#include "document/YukiMarks.h"
#include "speech/Repetition.h"
#include "speech/SpeakingCommands.h"
#include "speech/SpeedControl.h"
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
#include <QKeySequenceEdit>
#include <QLabel>
#include <QMenu>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace velmor {

namespace {

const QColor kBarColor = colorFromBgr(0x00B3734D);
const QColor kPanelColor = colorFromBgr(0x00D1D3D8);
const QColor kEditAreaColor = colorFromBgr(0x00E1F2E8);
const QColor kSpeakingMarkColor = colorFromBgr(0x00B9C1D7);
const QColor kSavedMarkColor = colorFromBgr(12173783);
const QColor kMarkingOnFontColor = colorFromBgr(0x00B3734D);
const QColor kMarkingOffFontColor = colorFromBgr(0x00E1F2E8);


void fillBackground(QWidget* widget, const QColor& color)
{
    widget->setAutoFillBackground(true);
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, color);
    widget->setPalette(p);
}

template <typename Widget>
Widget* place(Widget* widget, int x, int y, int width, int height, const QString& hint = {})
{
    widget->setGeometry(x, y, width, height);
    if (!hint.isEmpty()) {
        widget->setToolTip(hint);
        widget->setStatusTip(hint);
        widget->setToolTipDuration(2500);
    }
    return widget;
}

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TForm1::TForm1(std::unique_ptr<SpeechEngine> engine, FormOptions options, QWidget* parent)
    : QWidget(parent)
    , m_engine(std::move(engine))
    , m_dialogs(options.dialogs ? *options.dialogs : standardDialogs(this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Velmor_L"));
    resize(772, 551);

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

    m_speaking = std::make_unique<SpeakingCommands>(
        m_state, m_engine.get(), SpeakingControls{*RichEdit98, *PauseButton, *SelTextButton, *ULabel98, *Timer1},
        [this](const QColor& initial) { return m_dialogs.chooseColor(initial); });
    m_repetition = std::make_unique<Repetition>(
        m_state, m_engine.get(),
        RepetitionControls{*RichEdit98, *PauseButton, *IsSpeechLabel, *RepUpDown, *ClipSpeechCheckBox, *Timer1});
    m_document = std::make_unique<DocumentCommands>(
        m_state,
        DocumentControls{*RichEdit98, *SaveLabel, *ULabel98, *findChild<QAction*>(QStringLiteral("AddYuki1"))},
        DocumentServices{[this] { return SICheckBox->isChecked(); },
                         [this](const QString& sentence) { m_speaking->announce(sentence); },
                         [this](const QString& question) { return m_dialogs.askYesNo(question); },
                         [this] { GetColRow(); }});

    FileServices fileServices;
    fileServices.speechInfo = [this] { return SICheckBox->isChecked(); };
    fileServices.announce = [this](const QString& sentence) { m_speaking->announce(sentence); };
    fileServices.mayDiscardText = [this] { return m_document->mayDiscardText(); };
    fileServices.applyEditorFont = [this] { applyEditorFont(); };
    fileServices.switchToHangulFont = [this] { MSUIGothic1Click(); };
    fileServices.caretMoved = [this] { GetColRow(); };
    fileServices.infoLineWidth = [this] { return ULabel98->width(); };
    m_files = std::make_unique<FileCommands>(m_state, FileControls{*RichEdit98, *SaveLabel, *ULabel98},
                                             std::move(fileServices), m_dialogs);
    m_speed = std::make_unique<SpeedControl>(
        m_state, m_engine.get(),
        SpeedHooks{[this] { return Label1->text(); }, [this](int position) { ScrollBar1->setValue(position); },
                   [this](const QString& speed) { Label4->setText(speed); }});
    VoiceSelectionHooks voiceHooks;
    voiceHooks.spinnerValue = [this] { return LIDUpDown->value(); };
    voiceHooks.setSpinnerValue = [this](int value) { LIDUpDown->setValue(value); };
    voiceHooks.setSpinnerRange = [this](int minimum, int maximum) { LIDUpDown->setRange(minimum, maximum); };
    voiceHooks.showSpeaker = [this](const QString& speaker) { Label1->setText(speaker); };
    voiceHooks.showModeName = [this](const QString& panelCaption, const QString& hint) {
        UPanel1->setCaption(panelCaption);
        Label1->setToolTip(hint);
        Label1->setStatusTip(hint);
    };
    voiceHooks.setSpeed = [this] { m_speed->SetSpeed(); };
    voiceHooks.writeListing = [this](const std::vector<ListingEntry>& listing) { appendListing(listing); };
    voiceHooks.showNaoko = [this](std::uint32_t fontColor, bool checked) {
        JapanButton->setFontColor(colorFromBgr(fontColor));
        findChild<QAction*>(QStringLiteral("JoyNaoko1"))->setChecked(checked);
    };
    m_voices = std::make_unique<VoiceSelection>(m_state, m_engine.get(), std::move(voiceHooks));
    VolumeControl1 = new TVolumeControl(this);
    VolumeControl1->setObjectName(QStringLiteral("VolumeControl1"));

    connectHandlers();
    FormCreate(options.commandLineFilePending, options.settingsFile);
}

TForm1::~TForm1() = default;

// ---------------------------------------------------------------- roster

void TForm1::buildTopBar()
{
    TopPanel = new QWidget(this);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    TopPanel->setFixedHeight(37);
    fillBackground(TopPanel, kBarColor);

    auto button = [this](const char* name, const QString& caption, int x, int y, int w, int h,
                         const QString& hint = {}) {
        auto* b = new FlatButton(QString::fromLatin1(name), caption, TopPanel);
        b->setFontColor(Qt::white);
        b->setActiveFontColor(QColor(0xFF, 0xE6, 0x8C));
        return place(b, x, y, w, h, hint);
    };
    M_FileButton = button("M_FileButton", QStringLiteral("&File"), 2, 7, 30, 25, QStringLiteral("File Menu  Alt + F"));
    M_EditButton = button("M_EditButton", QStringLiteral("&Edit"), 36, 7, 30, 25, QStringLiteral("Edit Menu  Alt + E"));
    M_HelpButton = button("M_HelpButton", QStringLiteral("&Help"), 71, 7, 29, 25, QStringLiteral("Help Menu  Alt + H"));
    C_MemoryButton = button("C_MemoryButton", QStringLiteral("Memory"), 106, 8, 53, 25,
                            QStringLiteral("Speech Clipboard's Memory  Ctrl + M"));
    PauseButton = button("PauseButton", QStringLiteral("Pause"), 165, 8, 60, 25,
                         QStringLiteral("Pause and Resume  Ctrl + E"));
    ResetButton = button("ResetButton", QStringLiteral("Reset"), 234, 9, 47, 25, QStringLiteral("Reset (Stop)  Ctrl + R"));
    IsSpeechLabel = place(new IndicatorLabel(QStringLiteral("IsSpeechLabel"), kSpeakingMarkColor, TopPanel), 292, 18, 3, 8);
    SpeechButton = button("SpeechButton", QStringLiteral("Velmor"), 304, 8, 72, 25, QStringLiteral("Speech Ctrl + P"));
    BandButton = button("BandButton", QStringLiteral("B"), 381, 9, 24, 25, QStringLiteral("Band(Speech Line)  Ctrl + B"));
    SelTextButton = button("SelTextButton", QStringLiteral("ST"), 409, 9, 25, 25, QStringLiteral("Speech SelText  Ctrl + T"));
    OpenButton = button("OpenButton", QStringLiteral("Open"), 439, 9, 41, 25,
                        QStringLiteral("Open(Plain or UnicodeText)  Ctrl + O"));
    SaveButton = button("SaveButton", QStringLiteral("Save"), 486, 9, 38, 25,
                        QStringLiteral("Save(Plain or UnicodeText)   Ctrl + S"));
    SaveLabel = place(new IndicatorLabel(QStringLiteral("SaveLabel"), kSavedMarkColor, TopPanel), 531, 18, 3, 8);
    PlainSaveButton = button("PlainSaveButton", QStringLiteral("Plain"), 542, 9, 33, 25,
                             QStringLiteral("Save as PlainText  Ctrl + L"));
    UniSaveButton = button("UniSaveButton", QStringLiteral("Uni"), 581, 9, 27, 25, QStringLiteral("Save as Unicode  Ctrl + U"));
    NewButton = button("NewButton", QStringLiteral("New"), 614, 9, 31, 25, QStringLiteral("NewFile(Clear)  Ctrl + N"));
    FindButton = button("FindButton", QStringLiteral("Find"), 651, 9, 29, 25,
                        QStringLiteral("Find or Replace Text  Ctrl + F"));
    JapanButton = button("JapanButton", QStringLiteral("&N"), 686, 9, 22, 25, QStringLiteral("ID Naoko on off  Alt + N"));
    DicButton = button("DicButton", QStringLiteral("&dic"), 713, 10, 25, 23);
    DicButton2 = button("DicButton2", QStringLiteral("d&ic"), 744, 11, 25, 23);
    for (FlatButton* dic : {DicButton, DicButton2}) {
        dic->setFlat(false);
        dic->setFaceColor(kPanelColor);
        dic->setFontColor(Qt::black);
    }
}

void TForm1::buildInfoPanel()
{
    UPanel1 = new UPanel(QStringLiteral("UPanel1"), this);
    UPanel1->setMinimumHeight(22);
    ULabel98 = new InfoLine(QStringLiteral("ULabel98"), UPanel1);
}

void TForm1::buildControlPanel()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMinimumWidth(1);
    fillBackground(Panel1, kPanelColor);

    auto button = [this](const char* name, const QString& caption, int x, int y, int w, int h,
                         const QString& hint = {}) {
        auto* b = new FlatButton(QString::fromLatin1(name), caption, Panel1);
        b->setFontColor(colorFromBgr(0x00856556));
        b->setActiveFontColor(kBarColor);
        return place(b, x, y, w, h, hint);
    };
    auto checkBox = [this](const char* name, const QString& caption, int x, int y, int w, int h,
                           const QString& hint = {}) {
        return place(new LozengeCheckBox(QString::fromLatin1(name), caption, Panel1), x, y, w, h, hint);
    };

    DirectSS1 = place(new MouthView(QStringLiteral("DirectSS1"), Panel1), 24, 18, 240, 162);
    AboutButton = button("AboutButton", QStringLiteral("Velmor_L ver1.12   Velmor developers"), 9, 186, 274, 22,
                         QStringLiteral("Light version"));
    ClipSpeechCheckBox = checkBox("ClipSpeechCheckBox", QStringLiteral(" Speech Clipboard "), 20, 211, 152, 22);
    LIDButton = button("LIDButton", QStringLiteral("Lang ID-info"), 188, 212, 92, 22);
    Label1 = place(makeLabel(QStringLiteral("Label1"), QString(), Panel1), 37, 247, 157, 17, QStringLiteral("character"));
    LIDUpDown = place(new UpDownEdit(QStringLiteral("LIDUpDown"), 1, 100, Panel1), 208, 241, 57, 27,
                      QStringLiteral("Language ID"));
    ShowCheckBox = checkBox("ShowCheckBox", QStringLiteral(" Show"), 20, 277, 70, 20, QStringLiteral("Show Mouth  Ctrl + W "));
    HotKeyCheckBox = checkBox("HotKeyCheckBox", QString(), 99, 278, 22, 20);
    Label2 = place(makeLabel(QStringLiteral("Label2"), QStringLiteral("Low"), Panel1), 136, 279, 36, 15);
    Label4 = place(makeLabel(QStringLiteral("Label4"), QString(), Panel1), 181, 279, 42, 15);
    Label4->setAlignment(Qt::AlignCenter);
    Label3 = place(makeLabel(QStringLiteral("Label3"), QStringLiteral("High"), Panel1), 237, 279, 32, 15);
    DSpeedButton = button("DSpeedButton", QStringLiteral("Default Speed"), 17, 310, 102, 19);

    ScrollBar1 = new QScrollBar(Qt::Horizontal, Panel1);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setRange(130, 188);
    ScrollBar1->setValue(150);
    ScrollBar1->setSingleStep(1);
    ScrollBar1->setPageStep(1);
    place(ScrollBar1, 138, 308, 121, 21, QStringLiteral("Speed"));

    VTrackBar1 = new QSlider(Qt::Horizontal, Panel1);
    VTrackBar1->setObjectName(QStringLiteral("VTrackBar1"));
    VTrackBar1->setRange(0, 65535);
    VTrackBar1->setSingleStep(1310);
    VTrackBar1->setPageStep(1310);
    VTrackBar1->setTickInterval(1310);
    VTrackBar1->setTickPosition(QSlider::TicksAbove);
    place(VTrackBar1, 113, 336, 158, 33);

    Label5 = place(makeLabel(QStringLiteral("Label5"), QStringLiteral("Main Volume"), Panel1), 23, 342, 86, 15);
    SICheckBox = checkBox("SICheckBox", QStringLiteral(" speech-info"), 20, 373, 106, 20,
                          QStringLiteral("Speech-information  Ctrl + I"));
    HelpButton = button("HelpButton", QStringLiteral("Key name-info on/off"), 135, 375, 130, 19, QStringLiteral("Ctrl + K"));
    MarkCheckButton = button("MarkCheckButton", QStringLiteral("&Marking off"), 22, 410, 80, 19,
                             QStringLiteral("Marking on off"));
    const QString markHint = QStringLiteral("SelText-Marking (not select-> Change_Color)");
    MarkButton = button("MarkButton", QStringLiteral("Mark"), 108, 411, 40, 19, markHint);
    MarkingButton = button("MarkingButton", QStringLiteral("Mark"), 156, 411, 40, 19, markHint);
    MResetButton = button("MResetButton", QStringLiteral("Reset"), 208, 411, 55, 19, QStringLiteral("Reset Marker"));
    SCLCheckBox = checkBox("SCLCheckBox", QStringLiteral(" toClip"), 20, 444, 68, 20);
    WordReadCheckBox = checkBox("WordReadCheckBox", QStringLiteral("Joy"), 97, 445, 50, 20);
    OffRepButton = button("OffRepButton", QStringLiteral("once"), 156, 445, 40, 19, QStringLiteral("Repeart Off"));
    RepUpDown = place(new UpDownEdit(QStringLiteral("RepUpDown"), 1, 100, Panel1), 207, 442, 57, 27,
                      QStringLiteral("Repetition-number 1-100"));

    HotKey1 = new QKeySequenceEdit(QKeySequence(QStringLiteral("Ctrl+Alt+R")), Panel1);
    HotKey1->setObjectName(QStringLiteral("HotKey1"));
    place(HotKey1, 74, 62, 121, 21);
    HotKey1->hide();

    for (LozengeCheckBox* box :
         {ClipSpeechCheckBox, ShowCheckBox, SICheckBox, SCLCheckBox, HotKeyCheckBox, WordReadCheckBox})
        box->setChecked(true);
}

void TForm1::buildEditArea()
{
    PanelEdit = new QWidget(this);
    PanelEdit->setObjectName(QStringLiteral("PanelEdit"));
    fillBackground(PanelEdit, kEditAreaColor);
    RichEdit98 = new TRichEdit98(QStringLiteral("RichEdit98"), PanelEdit);
    auto* layout = new QVBoxLayout(PanelEdit);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichEdit98);
}

void TForm1::buildLayout()
{
    const QString handleStyle = QStringLiteral("QSplitter::handle { background: %1; }").arg(kBarColor.name());

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(6);
    Splitter1->setStyleSheet(handleStyle);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(Panel1);
    Splitter1->addWidget(PanelEdit);
    Splitter1->setStretchFactor(1, 1);

    Splitter2 = new QSplitter(Qt::Vertical, this);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setHandleWidth(6);
    Splitter2->setStyleSheet(handleStyle);
    Splitter2->setChildrenCollapsible(false);
    Splitter2->addWidget(UPanel1);
    Splitter2->addWidget(Splitter1);
    Splitter2->setStretchFactor(1, 1);
    Splitter2->setSizes({22, 500});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TopPanel);
    layout->addWidget(Splitter2, 1);

    connect(Splitter1, &QSplitter::splitterMoved, this, [this] { FormResize(); });
    connect(UPanel1, &UPanel::resized, this, [this] { FormResize(); });
}

// The info line runs along the text area, inside the information panel.
void TForm1::FormResize()
{
    const int textAreaLeft = PanelEdit->mapTo(this, QPoint(0, 0)).x();
    ULabel98->setGeometry(textAreaLeft + 12, 0, std::max(0, PanelEdit->width() - 35), UPanel1->height());
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

void TForm1::onAction(const char* actionName, void (TForm1::*handler)())
{
    auto* action = findChild<QAction*>(QString::fromLatin1(actionName));
    connect(action, &QAction::triggered, this, [this, handler] { guarded(handler); });
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
    onAction("Speech1", &TForm1::SpeechButtonClick);
    onAction("Band1", &TForm1::BandButtonClick);
    onAction("SelText1", &TForm1::SelTextButtonClick);
    onAction("Pause1", &TForm1::PauseButtonClick);
    onAction("Reset1", &TForm1::ResetButtonClick);
    onAction("Exit1", &TForm1::Exit1Click);
    onClick(OffRepButton, &TForm1::OffRepButtonClick);
    onClick(LIDButton, &TForm1::LIDButtonClick);
    onClick(JapanButton, &TForm1::JapanButtonClick);
    onAction("JoyNaoko1", &TForm1::JapanButtonClick);
    onClick(ShowCheckBox, &TForm1::ShowCheckBoxClick);
    onAction("Show1", &TForm1::Show1Click);
    onClick(SICheckBox, &TForm1::SICheckBoxClick);
    onAction("SpeechHelp1", &TForm1::SpeechHelp1Click);
    onClick(DSpeedButton, &TForm1::DSpeedButtonClick);
    connect(LIDUpDown, &QSpinBox::valueChanged, this, [this] { guarded(&TForm1::LIDUpDownChange); });
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { guarded(&TForm1::ScrollBar1Change); });
    connect(VTrackBar1, &QSlider::valueChanged, this, [this] { guarded(&TForm1::VTrackBar1Change); });
    onClick(OpenButton, &TForm1::OpenButtonClick);
    onAction("Open1", &TForm1::OpenButtonClick);
    onAction("Open2", &TForm1::OpenButtonClick);
    onClick(SaveButton, &TForm1::SaveButtonClick);
    onAction("Save1", &TForm1::SaveButtonClick);
    onAction("Save2", &TForm1::SaveButtonClick);
    onClick(UniSaveButton, &TForm1::UniSaveButtonClick);
    onAction("UnicodeSave1", &TForm1::UniSaveButtonClick);
    onAction("Unicode1", &TForm1::UniSaveButtonClick);
    onClick(PlainSaveButton, &TForm1::PlainSaveButtonClick);
    onAction("PlainText_Save1", &TForm1::PlainSaveButtonClick);
    onAction("PlainText1", &TForm1::PlainSaveButtonClick);
    onAction("MSUIGothic1", &TForm1::MSUIGothic1Click);
    onClick(NewButton, &TForm1::NewButtonClick);
    onAction("New1", &TForm1::NewButtonClick);
    onAction("New2", &TForm1::NewButtonClick);
    onAction("Undo1", &TForm1::Undo1Click);
    onAction("Redo1", &TForm1::Redo1Click);
    onAction("Cut1", &TForm1::Cut1Click);
    onAction("Copy1", &TForm1::Copy1Click);
    onAction("Paste1", &TForm1::Paste1Click);
    onAction("SelectAll1", &TForm1::SelectAll1Click);
    onAction("Date1", &TForm1::Date1Click);
    onAction("Tab1", &TForm1::Tab1Click);
    onAction("Yuki1", &TForm1::Yuki1Click);
    onAction("AddYuki1", &TForm1::AddYuki1Click);
    connect(RichEdit98, &QPlainTextEdit::textChanged, this, [this] { guarded(&TForm1::RichEdit98Change); });
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
    }

    connect(M_FileButton, &QAbstractButton::clicked, this, [this] { popUpMenuBelow(M_FileButton, menus.FileMenu); });
    connect(M_EditButton, &QAbstractButton::clicked, this, [this] { popUpMenuBelow(M_EditButton, menus.EditMenu); });
    connect(M_HelpButton, &QAbstractButton::clicked, this, [this] { popUpMenuBelow(M_HelpButton, menus.HelpMenu); });

    connect(RichEdit98, &QPlainTextEdit::cursorPositionChanged, this, [this] { GetColRow(); });
    RichEdit98->setContextMenuPolicy(Qt::NoContextMenu);
}

void TForm1::contextMenuEvent(QContextMenuEvent* event)
{
    menus.PopupMenu1->exec(event->globalPos());
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

    applyEditorFont();
    UPanel1->setColor(colorFromBgr(s.fPColor));
    checkFontMenus();

    // Window bounds; a maximised window is maximised when it is first shown.
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    const QRect bounds = startBounds(QRect(s.fLeft, s.fTop, s.fWidth, s.fHeight), s.fMaxForm, screens);
    move(bounds.topLeft());
    resize(bounds.size());

    MarkButton->setFaceColor(colorFromBgr(s.fMarkColor));
    MarkingButton->setFaceColor(colorFromBgr(s.ffMarkColor));
    Splitter1->setSizes({s.fPanelW, std::max(1, width() - s.fPanelW - 6)});

    // Bring each toggle's companions in line with its state.
    findChild<QAction*>(QStringLiteral("ClipbrdSpeech1"))->setChecked(ClipSpeechCheckBox->isChecked());
    DirectSS1->setVisible(ShowCheckBox->isChecked());
    findChild<QAction*>(QStringLiteral("Show1"))->setChecked(ShowCheckBox->isChecked());
    findChild<QAction*>(QStringLiteral("SpeechHelp1"))->setChecked(SICheckBox->isChecked());
    MarkCheckButton->setFontColor(s.fMarkCheck ? kMarkingOnFontColor : kMarkingOffFontColor);
    MarkCheckButton->setText(s.fMarkCheck ? QStringLiteral("&Marking on") : QStringLiteral("&Marking off"));
    findChild<QAction*>(QStringLiteral("Marking1"))->setChecked(s.fMarkCheck);
    findChild<QAction*>(QStringLiteral("toClipbrd1"))->setChecked(SCLCheckBox->isChecked());

    s.fVeronique = QStringLiteral("V\u00E9ronique");
    RichEdit98->clear();
    s.fIDCount = 0;

    m_voices->buildAtStart();
    VTrackBar1->setValue(VolumeControl1->Volume());
    s.fPaused = false;
    m_speed->applyStoredSpeed();

    RepUpDown->setValue(s.fRepNum);
    s.fRepCount = 1;
    s.fRow = 0;
    RichEdit98->setSelection(0, 0);
    setWindowTitle(QStringLiteral("Velmor   ") + lineColumnText(0, 0));

    s.fSpeechKind = 0;
    s.fSelText.clear();
    s.fClipText.clear();
    ULabel98->clear();

    auto* lastFileOption = findChild<QAction*>(QStringLiteral("LastfileCheck"));
    if (lastFileOption->isChecked() && !s.fLastfile.isEmpty() && !commandLineFilePending
        && QFileInfo::exists(s.fLastfile)) {
        s.fOpenName = s.fLastfile;
        MyTextFileOpen();
        s.fParamOpen = false;
    }

    SaveLabel->setOpaque(false);
    IsSpeechLabel->setOpaque(false);
    findChild<QAction*>(QStringLiteral("HotKeyCheck"))->setChecked(HotKeyCheckBox->isChecked());
    if (WordReadCheckBox->isChecked())
        findChild<QAction*>(QStringLiteral("Joyful1"))->setChecked(true);
    s.fImeLen = 0;
    if (!s.fExeName.isEmpty())
        DicButton->setToolTip(QFileInfo(s.fExeName).fileName());
    if (!s.fDicName.isEmpty())
        DicButton2->setToolTip(QFileInfo(s.fDicName).fileName());
    findChild<QAction*>(QStringLiteral("AddYuki1"))->setChecked(s.fAddYuki);
    SelTextButton->setActiveFontColor(colorFromBgr(s.fSelBgColor));
}

void TForm1::openCommandLineFile(const QString& fileName)
{
    m_state.fOpenName = fileName;
    m_state.fParamOpen = true;
    MyTextFileOpen();
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
    if (s.fMaxForm)
        setWindowState(windowState() | Qt::WindowMaximized);

    if (s.ffirst) {
        GetColRow();
        RichEdit98->setSelection(0, 0);
        RichEdit98->verticalScrollBar()->setValue(0);
        RichEdit98->setModified(false);
    } else {
        if (!s.fDropOpen && s.fAddYuki) {
            AddYukiColor(*RichEdit98, kYukiMark, kYukiColor, colorFromBgr(s.fFontColor));
            RichEdit98->document()->clearUndoRedoStacks();
            RichEdit98->setModified(false);
        }
        placeCaretAtEndLine();
    }

    RichEdit98->setFocus();
    GetColRow();
    SaveLabel->setOpaque(false);
    if (m_engine)
        m_engine->ResetAudio();
    ULabel98->setPanelColor(UPanel1->color());
}

void TForm1::placeCaretAtEndLine()
{
    auto* endLineOption = findChild<QAction*>(QStringLiteral("endline"));
    if (endLineOption->isChecked() && RichEdit98->lineCount() > 0) {
        RichEdit98->setSelection(endLineCaretPosition(*RichEdit98->document()), 0);
        RichEdit98->ensureCursorVisible();
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
    if (m_engine)
        m_engine->ResetAudio();
    m_state.ffirst = false;
    if (m_state.fPrevID != 0)
        m_state.fid = m_state.fPrevID;
    // The text goes only once every item is written: a refused write keeps the window open
    // with the text still in it.
    WriteSettings();
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

void TForm1::applyEditorFont()
{
    RichEdit98->setBackgroundColor(colorFromBgr(m_state.fBGColor));
    RichEdit98->setTextColor(colorFromBgr(m_state.fFontColor));
    RichEdit98->setDefaultFont(m_state.fFontName, m_state.fFontSize);
    ULabel98->setFont(RichEdit98->font());
}

// Exactly the size and face items that match the current font carry a check mark.
void TForm1::checkFontMenus()
{
    const std::pair<const char*, bool> marks[] = {
        {"N10", m_state.fFontSize == 10},
        {"N11", m_state.fFontSize == 11},
        {"Nf12", m_state.fFontSize == 12},
        {"Mincho1", m_state.fFontName == kFacePMincho},
        {"Gothic1", m_state.fFontName == kFacePGothic},
        {"MSUIGothic1", m_state.fFontName == kFaceUIGothic},
    };
    for (const auto& [name, checked] : marks)
        findChild<QAction*>(QString::fromLatin1(name))->setChecked(checked);
}

void TForm1::MSUIGothic1Click()
{
    m_state.fFontName = kFaceUIGothic;
    RichEdit98->setDefaultFont(kFaceUIGothic, RichEdit98->font().pointSize());
    QFont infoFont = ULabel98->font();
    infoFont.setFamily(kFaceUIGothic);
    ULabel98->setFont(infoFont);
    checkFontMenus();
}

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
void TForm1::ResetButtonClick() { m_speaking->ResetButtonClick(); }

// ---------------------------------------------------------------- progress and repetition

// ---------------------------------------------------------------- voices, speed, volume, mouth

void TForm1::LIDButtonClick() { m_voices->FLID(); }
void TForm1::LIDUpDownChange() { m_voices->LIDUpDownChange(); }
void TForm1::JapanButtonClick() { m_voices->JapanButtonClick(); }

void TForm1::ShowCheckBoxClick()
{
    DirectSS1->setVisible(ShowCheckBox->isChecked());
    findChild<QAction*>(QStringLiteral("Show1"))->setChecked(ShowCheckBox->isChecked());
}

// The menu item has already toggled its check mark when this runs.
void TForm1::Show1Click()
{
    const bool shown = findChild<QAction*>(QStringLiteral("Show1"))->isChecked();
    DirectSS1->setVisible(shown);
    ShowCheckBox->setChecked(shown);
}

void TForm1::SICheckBoxClick()
{
    findChild<QAction*>(QStringLiteral("SpeechHelp1"))->setChecked(SICheckBox->isChecked());
}

void TForm1::SpeechHelp1Click()
{
    SICheckBox->setChecked(findChild<QAction*>(QStringLiteral("SpeechHelp1"))->isChecked());
}

void TForm1::ScrollBar1Change() { m_speed->ScrollBar1Change(ScrollBar1->value()); }
void TForm1::DSpeedButtonClick() { m_speed->DSpeedButtonClick(); }
void TForm1::VTrackBar1Change() { VolumeControl1->SetVolume(std::uint16_t(VTrackBar1->value())); }

void TForm1::appendListing(const std::vector<ListingEntry>& listing)
{
    const bool wasModified = RichEdit98->isModified();
    QTextCursor cursor(RichEdit98->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const ListingEntry& entry : listing) {
        for (const ListingLine& line : {entry.idLine, entry.modeLine}) {
            if (!RichEdit98->document()->isEmpty())
                cursor.insertBlock();
            QTextCharFormat format;
            format.setBackground(colorFromBgr(line.background));
            cursor.insertText(line.text, format);
        }
    }
    cursor.endEditBlock();
    RichEdit98->setModified(modifiedAfterListing(wasModified, listing));
    QTextCharFormat typing = RichEdit98->currentCharFormat();
    if (listingKeepsInsertionColor(listing))
        typing.setBackground(colorFromBgr(kListingModeLineColor));
    else
        typing.clearBackground();
    RichEdit98->setCurrentCharFormat(typing);
}

void TForm1::DirectSS1TextDataStarted() { m_repetition->DirectSS1TextDataStarted(); }
void TForm1::DirectSS1TextDataDone() { m_repetition->DirectSS1TextDataDone(); }
void TForm1::Timer1Timer() { m_repetition->Timer1Timer(); }
void TForm1::RepUpDownChange() { m_repetition->RepUpDownChange(); }
void TForm1::OffRepButtonClick() { m_repetition->OffRepButtonClick(); }

} // namespace velmor
