#pragma once

#include "app/Dialogs.h"
#include "core/FormState.h"
#include "app/Menus.h"
#include "document/TextFile.h"
#include "widgets/LayoutScale.h"

#include <QHash>
#include <functional>
#include <QPointer>
#include <vector>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QScrollBar;
class QSlider;
class QSplitter;
class QTimer;
class QKeySequenceEdit;

namespace velmor {

class FlatButton;
struct SettingsItem;
class IndicatorLabel;
class InfoLine;
class LozengeCheckBox;
class MouthView;
class TRichEdit98;
class AppearanceCommands;
class AudioExportCommand;
class DocumentCommands;
class DropCommands;
class TDropDst;
class FileCommands;
struct ListingEntry;
class SpeakingState;
class SpeedControl;
class TVolumeControl;
class VoiceSelection;
class Repetition;
class SentenceSteps;
class ListeningResume;
class SpeakingCommands;
class SpeechEngine;
class TRegManager;
class TForm3;
class TextMarking;
class UPanel;
class UpDownEdit;
struct InputConcerns;
class GlobalShortcutService;
class HotKeySwitch;
class KeyNameHelp;
class SpokenHelp;
class THookHotKey;
class InputMethodFramework;

struct CommandLineRequest;

struct FormOptions {
    // A file named on the command line will be opened right after creation.
    bool commandLineFilePending = false;
    // Dialogs to use instead of the standard ones (tests).
    std::optional<Dialogs> dialogs;
    // The settings file; empty for the usual place.
    QString settingsFile;
    // The desktop's system-wide shortcut service; empty for the platform's own.
    std::function<std::unique_ptr<GlobalShortcutService>()> globalShortcuts = {};
    // Finds the input-method framework; empty for the one that runs (tests give their own).
    std::function<std::unique_ptr<InputMethodFramework>()> inputMethod = {};
    // Reads a text file for the open commands; empty for readTextFile (tests hold a read up).
    std::function<DecodedText(const QString&, qsizetype, const ReadingProgress&)> readFile = {};
};

// The main window: it owns the controls and the state fields and wires each control to the
// handler of its concern.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    // The engine may be null when no speech component could be created at all.
    explicit TForm1(std::unique_ptr<SpeechEngine> engine, FormOptions options = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    FormState& state() { return m_state; }
    SpeakingState& speakingState();
    DocumentCommands& documentCommands() { return *m_document; }
    FileCommands& fileCommands() { return *m_files; }
    SpeechEngine* engine() const { return m_engine.get(); }
    InputConcerns& input();

    // Opens a file at start-up, the one named on the command line or the last one: it is read
    // while the window answers, and the caret is then placed as at start-up (TForm1Opening.cpp).
    void openAtStart(const QString& fileName);
    // Opens the file named on the command line, and says in the information panel which files
    // named it does not open.
    void openCommandLineFiles(const CommandLineRequest& request);
    // Opens fOpenName, as the start-up opens and dropped files do.
    void MyTextFileOpen();

    // Handlers.
    void SpeechButtonClick();
    void BandButtonClick();
    void SelTextButtonClick();
    void PauseButtonClick();
    void ResetButtonClick();
    void LIDButtonClick();
    void LIDUpDownChange();
    void JapanButtonClick();
    void ShowCheckBoxClick();
    void Show1Click();
    void SICheckBoxClick();
    void SpeechHelp1Click();
    void ScrollBar1Change();
    void DSpeedButtonClick();
    void VTrackBar1Change();
    void DirectSS1TextDataStarted();
    void DirectSS1TextDataDone();
    void Timer1Timer();
    void RepUpDownChange();
    void OffRepButtonClick();
    void Exit1Click();
    void OpenButtonClick();
    void SaveButtonClick();
    void UniSaveButtonClick();
    void PlainSaveButtonClick();
    void BGColor1Click();
    void FontColor1Click();
    void N10Click();
    void N11Click();
    void Nf12Click();
    void LargerText1Click();
    void SmallerText1Click();
    void TextSize1Click();
    void Mincho1Click();
    void Gothic1Click();
    void MSUIGothic1Click();
    void PanelColor1Click();
    void default1Click();
    void DesktopColours1Click();
    void WideSpeedRange1Click();
    void PronunciationRules1Click();
    void SetFontGM();
    void Hangul();
    void NewButtonClick();
    void Undo1Click();
    void Redo1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void SelectAll1Click();
    void Date1Click();
    void Tab1Click();
    void Yuki1Click();
    void AddYuki1Click();
    void RichEdit98Change();
    void GetColRow();
    void FindButtonClick();
    void AppHintShow(const QString& hint);
    void HotKeyCheckBoxClick();
    void HotKeyCheckClick();
    void HookHotKey1HotKey(int index);
    void HelpButtonClick();
    void AboutButtonClick();
    void DropDst1FileDrop(const QStringList& files);
    void DropDst2FileDrop(const QStringList& files);
    void DropDst3FileDrop(const QStringList& files);
    void DicButtonClick();
    void DicButton2Click();
    void ChooseDic1Click();
    void ChooseDic2Click();
    void Print1Click();
    void SaveSpeech1Click();
    AudioExportCommand& audioExport() { return *m_audioExport; }
    QAction& action(ActionId id) const { return menus.action(id); }

    // The controls the benchmarks drive directly; tests reach controls by their objectName.
    FlatButton* MarkCheckButton = nullptr;
    FlatButton* MarkButton = nullptr;
    FlatButton* MResetButton = nullptr;
    LozengeCheckBox* WordReadCheckBox = nullptr;
    TRichEdit98* RichEdit98 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Controls, named as their objectName.
    QWidget* TopPanel = nullptr;
    FlatButton* M_FileButton = nullptr;
    FlatButton* M_EditButton = nullptr;
    FlatButton* M_HelpButton = nullptr;
    FlatButton* C_MemoryButton = nullptr;
    FlatButton* PauseButton = nullptr;
    FlatButton* ResetButton = nullptr;
    IndicatorLabel* IsSpeechLabel = nullptr;
    FlatButton* SpeechButton = nullptr;
    FlatButton* BandButton = nullptr;
    FlatButton* SelTextButton = nullptr;
    FlatButton* OpenButton = nullptr;
    FlatButton* SaveButton = nullptr;
    IndicatorLabel* SaveLabel = nullptr;
    FlatButton* PlainSaveButton = nullptr;
    FlatButton* UniSaveButton = nullptr;
    FlatButton* NewButton = nullptr;
    FlatButton* FindButton = nullptr;
    FlatButton* JapanButton = nullptr;
    FlatButton* DicButton = nullptr;
    FlatButton* DicButton2 = nullptr;

    UPanel* UPanel1 = nullptr;
    InfoLine* ULabel98 = nullptr;
    QSplitter* Splitter2 = nullptr;
    QSplitter* Splitter1 = nullptr;

    QWidget* Panel1 = nullptr;
    MouthView* DirectSS1 = nullptr;
    FlatButton* AboutButton = nullptr;
    LozengeCheckBox* ClipSpeechCheckBox = nullptr;
    FlatButton* LIDButton = nullptr;
    QLabel* Label1 = nullptr;
    UpDownEdit* LIDUpDown = nullptr;
    LozengeCheckBox* ShowCheckBox = nullptr;
    LozengeCheckBox* HotKeyCheckBox = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
    FlatButton* DSpeedButton = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QSlider* VTrackBar1 = nullptr;
    QLabel* Label5 = nullptr;
    LozengeCheckBox* SICheckBox = nullptr;
    FlatButton* HelpButton = nullptr;
    FlatButton* MarkingButton = nullptr;
    LozengeCheckBox* SCLCheckBox = nullptr;
    FlatButton* OffRepButton = nullptr;
    UpDownEdit* RepUpDown = nullptr;
    QKeySequenceEdit* HotKey1 = nullptr;

    QWidget* PanelEdit = nullptr;

    QTimer* Timer1 = nullptr;
    std::unique_ptr<TRegManager> RegManager1;
    QString m_rulesPath; // the listener's pronunciation rules, beside the settings
    TVolumeControl* VolumeControl1 = nullptr;
    THookHotKey* HookHotKey1 = nullptr;
    TDropDst* DropDst1 = nullptr;
    TDropDst* DropDst2 = nullptr;
    TDropDst* DropDst3 = nullptr;
    MainMenus menus;

    void buildTopBar();
    void buildInfoPanel();
    void buildControlPanel();
    void buildEditArea();
    void buildLayout();
    void chainTabOrder();
    void createConcerns(const FormOptions& options);
    void createInputConcerns(std::function<std::unique_ptr<InputMethodFramework>()> findInputMethod);
    void connectInputHandlers();
    void createHelp();
    void createHotKey(const std::function<std::unique_ptr<GlobalShortcutService>()>& makeService);
    void createDropsAndPrinting();
    void createAppearance();
    void createFollowing();
    void createMarking();
    void createAudioExport();
    void connectHandlers();
    void connectSpeechNotices();
    void connectSearch();
    void connectMarking();
    void connectAutoLanguage();
    void onClick(QWidget* control, void (TForm1::*handler)());
    void onAction(ActionId id, void (TForm1::*handler)());
    void guarded(void (TForm1::*handler)());
    void popUpMenuBelow(FlatButton* button, QMenu* menu);
    void popUpMenuAtCaret();
    // What a key did where no control shows it: a line in the information panel.
    void tellInPanel(const QString& text);
    void connectButtonKeys();

    friend const std::vector<SettingsItem>& settingsItems();
    void ReadSettings();
    void WriteSettings();
    // Writes the settings; when the file refuses them, asks whether to close without them.
    bool WriteSettingsOrLetGo();

    void FormCreate(bool commandLineFilePending, const QString& settingsFile);
    void FormShow();
    bool FormCloseQuery();
    void openNamedFile();
    void placeCaretAtEndLine();
    void placeCaretInOpenedText();
    // Where listening to the open file stopped: kept, and with "Resume where I stopped" checked
    // the caret put back there (true when it was).
    void keepListeningPlace();
    bool resumeListening();
    void FormResize();
    void appendListing(const std::vector<ListingEntry>& listing);

    // The laid-out positions and sizes grow with the desktop font.
    LayoutScale m_layoutScale = LayoutScale::forDesktop();
    FormState m_state;
    std::unique_ptr<SpeechEngine> m_engine;
    std::unique_ptr<SpeakingCommands> m_speaking;
    std::unique_ptr<Repetition> m_repetition;
    std::unique_ptr<SentenceSteps> m_sentenceSteps;
    std::unique_ptr<ListeningResume> m_resume;
    std::unique_ptr<DocumentCommands> m_document;
    std::unique_ptr<FileCommands> m_files;
    std::unique_ptr<DropCommands> m_drops;
    std::unique_ptr<AppearanceCommands> m_appearance;
    std::unique_ptr<SpeedControl> m_speed;
    std::unique_ptr<VoiceSelection> m_voices;
    std::unique_ptr<InputConcerns> m_input;
    std::unique_ptr<HotKeySwitch> m_hotKey;
    std::unique_ptr<KeyNameHelp> m_keyNames;
    std::unique_ptr<SpokenHelp> m_spokenHelp;
    std::unique_ptr<TextMarking> m_marking;
    std::unique_ptr<AudioExportCommand> m_audioExport; // declared after the engine, so gone before it
    Dialogs m_dialogs;
    QPointer<TForm3> m_searchWindow;
    bool m_shown = false;
};

} // namespace velmor
