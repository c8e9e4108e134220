// The main window's side of the settings file: where each item's value comes from at close
// and where it goes at start-up.
#include "app/IniFile.h"
#include "app/RegManager.h"
#include "app/SettingsItems.h"
#include "app/TForm1.h"
#include "app/WindowBounds.h"
#include "document/FileNames.h"
#include "document/ProgramLauncher.h"
#include "widgets/Bgr.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QAction>
#include <QHash>

#include <algorithm>

namespace velmor {

struct TForm1::SettingBinding {
    void (*read)(TForm1& form, TRegFiler& filer);
    void (*write)(TForm1& form, TRegFiler& filer);
};

namespace {

// The ranges stored numbers are brought into when they are read, so that no later sum of
// them can overflow and no window, panel or font grows beyond any screen. A speed outside
// the speed bar is kept: the bar brings it into range only when an engine is there.
constexpr int kMaxSpeed = 1000;
constexpr int kMaxRepetitions = 100;
constexpr int kMaxCoordinate = 32767; // the window system's coordinates are 16-bit
constexpr int kMaxFontSize = 500;

int inRange(TRegFiler& filer, int minimum, int maximum) { return std::clamp(filer.ReadInteger(), minimum, maximum); }

} // namespace

const QHash<QString, TForm1::SettingBinding>& TForm1::settingBindings()
{
    using F = TForm1;
    using R = TRegFiler;
    static const QHash<QString, SettingBinding> bindings{
        {"fid", {[](F& f, R& r) { f.m_state.fid = std::max(1, r.ReadInteger()); },
                 [](F& f, R& w) { w.WriteInteger(f.m_state.fid); }}},
        {"FSpd", {[](F& f, R& r) { f.m_state.FSpd = inRange(r, 0, kMaxSpeed); },
                  [](F& f, R& w) { w.WriteInteger(f.m_state.FSpd); }}},
        {"ClipSpeechCheckBoxChecked", {[](F& f, R& r) { f.ClipSpeechCheckBox->setChecked(r.ReadBool()); },
                                       [](F& f, R& w) { w.WriteBool(f.ClipSpeechCheckBox->isChecked()); }}},
        {"ShowCheckBoxChecked", {[](F& f, R& r) { f.ShowCheckBox->setChecked(r.ReadBool()); },
                                 [](F& f, R& w) { w.WriteBool(f.ShowCheckBox->isChecked()); }}},
        {"SICheckBoxChecked", {[](F& f, R& r) { f.SICheckBox->setChecked(r.ReadBool()); },
                               [](F& f, R& w) { w.WriteBool(f.SICheckBox->isChecked()); }}},
        {"ffirst", {[](F& f, R& r) { f.m_state.ffirst = r.ReadBool(); }, [](F&, R& w) { w.WriteBool(false); }}},
        {"fRepNum", {[](F& f, R& r) { f.m_state.fRepNum = inRange(r, 1, kMaxRepetitions); },
                     [](F& f, R& w) { w.WriteInteger(f.m_state.fRepNum); }}},
        {"fTop", {[](F& f, R& r) { f.m_state.fTop = inRange(r, -kMaxCoordinate, kMaxCoordinate); },
                  [](F& f, R& w) { w.WriteInteger(outerBounds(f).y()); }}},
        {"fLeft", {[](F& f, R& r) { f.m_state.fLeft = inRange(r, -kMaxCoordinate, kMaxCoordinate); },
                   [](F& f, R& w) { w.WriteInteger(outerBounds(f).x()); }}},
        {"fHeight", {[](F& f, R& r) { f.m_state.fHeight = inRange(r, 0, kMaxCoordinate); },
                     [](F& f, R& w) { w.WriteInteger(outerBounds(f).height()); }}},
        {"fWidth", {[](F& f, R& r) { f.m_state.fWidth = inRange(r, 0, kMaxCoordinate); },
                    [](F& f, R& w) { w.WriteInteger(outerBounds(f).width()); }}},
        {"fMarkColor", {[](F& f, R& r) { f.m_state.fMarkColor = std::uint32_t(r.ReadInteger()); },
                        [](F& f, R& w) { w.WriteInteger(qint32(f.m_state.fMarkColor)); }}},
        {"ffMarkColor", {[](F& f, R& r) { f.m_state.ffMarkColor = std::uint32_t(r.ReadInteger()); },
                         [](F& f, R& w) { w.WriteInteger(qint32(f.m_state.ffMarkColor)); }}},
        {"fPanelW", {[](F& f, R& r) { f.m_state.fPanelW = inRange(r, 1, kMaxCoordinate); },
                     [](F& f, R& w) { w.WriteInteger(f.Panel1->width()); }}},
        {"SCLCheckBoxChecked", {[](F& f, R& r) { f.SCLCheckBox->setChecked(r.ReadBool()); },
                                [](F& f, R& w) { w.WriteBool(f.SCLCheckBox->isChecked()); }}},
        {"fMaxForm", {[](F& f, R& r) { f.m_state.fMaxForm = r.ReadBool(); },
                      [](F& f, R& w) { w.WriteBool(f.m_state.fMaxForm); }}},
        {"HotkeyCheckBoxChecked", {[](F& f, R& r) { f.HotKeyCheckBox->setChecked(r.ReadBool()); },
                                   [](F& f, R& w) { w.WriteBool(f.HotKeyCheckBox->isChecked()); }}},
        {"fAlpha", {[](F& f, R& r) { f.m_state.fAlpha = r.ReadInteger(); },
                    [](F& f, R& w) { w.WriteInteger(f.m_state.fAlpha); }}},
        {"LastfileCheckChecked", {[](F& f, R& r) { f.action(ActionId::LastfileCheck).setChecked(r.ReadBool()); },
                                  [](F& f, R& w) { w.WriteBool(f.action(ActionId::LastfileCheck).isChecked()); }}},
        {"fLastfile", {[](F& f, R& r) { f.m_state.fLastfile = fileNameFromSetting(r.ReadString()); },
                       [](F& f, R& w) { w.WriteString(fileNameSetting(f.m_state.fFileName)); }}},
        {"fBGColor", {[](F& f, R& r) { f.m_state.fBGColor = std::uint32_t(r.ReadInteger()); },
                      [](F& f, R& w) { w.WriteInteger(qint32(bgrFromColor(f.RichEdit98->backgroundColor()))); }}},
        {"fFontColor", {[](F& f, R& r) { f.m_state.fFontColor = std::uint32_t(r.ReadInteger()); },
                        [](F& f, R& w) { w.WriteInteger(qint32(bgrFromColor(f.RichEdit98->textColor()))); }}},
        {"fPColor", {[](F& f, R& r) { f.m_state.fPColor = std::uint32_t(r.ReadInteger()); },
                     [](F& f, R& w) { w.WriteInteger(qint32(bgrFromColor(f.UPanel1->color()))); }}},
        {"fFontSize", {[](F& f, R& r) { f.m_state.fFontSize = inRange(r, 1, kMaxFontSize); },
                       [](F& f, R& w) { w.WriteInteger(f.RichEdit98->font().pointSize()); }}},
        {"fFontName", {[](F& f, R& r) { f.m_state.fFontName = r.ReadString(); },
                       [](F& f, R& w) { w.WriteString(f.RichEdit98->font().family()); }}},
        {"fExeName", {[](F& f, R& r) { f.m_state.fExeName = fileNameFromSetting(r.ReadString()); },
                      [](F& f, R& w) { w.WriteString(fileNameSetting(f.m_state.fExeName)); }}},
        {"WordReadCheckBoxChecked", {[](F& f, R& r) { f.WordReadCheckBox->setChecked(r.ReadBool()); },
                                     [](F& f, R& w) { w.WriteBool(f.WordReadCheckBox->isChecked()); }}},
        {"endlineChecked", {[](F& f, R& r) { f.action(ActionId::endline).setChecked(r.ReadBool()); },
                            [](F& f, R& w) { w.WriteBool(f.action(ActionId::endline).isChecked()); }}},
        {"fMarkCheck", {[](F& f, R& r) { f.m_state.fMarkCheck = r.ReadBool(); },
                        [](F& f, R& w) { w.WriteBool(f.m_state.fMarkCheck); }}},
        {"fAddYuki", {[](F& f, R& r) { f.m_state.fAddYuki = r.ReadBool(); },
                      [](F& f, R& w) { w.WriteBool(f.action(ActionId::AddYuki1).isChecked()); }}},
        {"AutoLanguage1Checked", {[](F& f, R& r) { f.action(ActionId::AutoLanguage1).setChecked(r.ReadBool()); },
                                  [](F& f, R& w) { w.WriteBool(f.action(ActionId::AutoLanguage1).isChecked()); }}},
        {"KeyInputChecked", {[](F& f, R& r) { f.action(ActionId::KeyInput).setChecked(r.ReadBool()); },
                             [](F& f, R& w) { w.WriteBool(f.action(ActionId::KeyInput).isChecked()); }}},
        {"fSelBgColor", {[](F& f, R& r) { f.m_state.fSelBgColor = std::uint32_t(r.ReadInteger()); },
                         [](F& f, R& w) { w.WriteInteger(qint32(f.m_state.fSelBgColor)); }}},
        {"fDicName", {[](F& f, R& r) { f.m_state.fDicName = fileNameFromSetting(r.ReadString()); },
                      [](F& f, R& w) { w.WriteString(fileNameSetting(f.m_state.fDicName)); }}},
        {"fExeArgs", {[](F& f, R& r) { f.m_state.fExeArgs = splitArguments(r.ReadString()); },
                      [](F& f, R& w) { w.WriteString(joinArguments(f.m_state.fExeArgs)); }}},
        {"fDicArgs", {[](F& f, R& r) { f.m_state.fDicArgs = splitArguments(r.ReadString()); },
                      [](F& f, R& w) { w.WriteString(joinArguments(f.m_state.fDicArgs)); }}},
        {"FollowWordsChecked", {[](F& f, R& r) { f.action(ActionId::FollowWords1).setChecked(r.ReadBool()); },
                                [](F& f, R& w) { w.WriteBool(f.action(ActionId::FollowWords1).isChecked()); }}},
    };
    return bindings;
}

// The hot-key item is looked up as "HotkeyCheckBoxChecked"; look-up ignores case.
static QString lookupName(const QString& itemName)
{
    return itemName.compare(QStringLiteral("HotKeyCheckBoxChecked"), Qt::CaseInsensitive) == 0
        ? QStringLiteral("HotkeyCheckBoxChecked")
        : itemName;
}

void TForm1::ReadSettings()
{
    RegManager1->readTogether([this] {
        for (const QString& name : settingsAccessOrder())
            settingBindings().value(lookupName(name)).read(*this, RegManager1->ItemByName(lookupName(name)));
    });
}

void TForm1::WriteSettings()
{
    RegManager1->writeTogether([this] {
        for (const QString& name : settingsAccessOrder())
            settingBindings().value(lookupName(name)).write(*this, RegManager1->ItemByName(lookupName(name)));
    });
}

// A settings file that cannot be written must not hold the window open for good.
bool TForm1::WriteSettingsOrLetGo()
{
    try {
        WriteSettings();
        return true;
    } catch (const SettingsWriteError& error) {
        return m_dialogs.askYesNo(error.message() + QStringLiteral("\nClose without saving the settings?"));
    }
}

} // namespace velmor
