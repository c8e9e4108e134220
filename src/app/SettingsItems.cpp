#include "app/SettingsItems.h"

#include "app/RegManager.h"
#include "app/TForm1.h"
#include "app/WindowBounds.h"
#include "document/FileNames.h"
#include "document/ProgramLauncher.h"
#include "speech/VoiceSelection.h"
#include "widgets/Bgr.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QAction>

#include <algorithm>

namespace velmor {

namespace {

using F = TForm1;
using R = TRegFiler;

// The ranges stored numbers are brought into when they are read, so that no later sum of
// them can overflow and no window, panel or font grows beyond any screen. A speed outside
// the speed bar is kept: the bar brings it into range only when an engine is there.
constexpr int kMaxSpeed = 1000;
constexpr int kMaxRepetitions = 100;
constexpr int kMaxCoordinate = 32767; // the window system's coordinates are 16-bit
constexpr int kMaxFontSize = 500;

int inRange(R& filer, int minimum, int maximum) { return std::clamp(filer.ReadInteger(), minimum, maximum); }

// The defaults of items the window keeps in its state are the state's own first values, written
// as the settings file writes them; colours in the "$00BBGGRR" form.
const FormState& firstState()
{
    static const FormState state;
    return state;
}
QString number(int FormState::*field) { return QString::number(firstState().*field); }
QString colour(std::uint32_t FormState::*field)
{
    return QStringLiteral("$%1").arg(firstState().*field, 8, 16, QLatin1Char('0')).toUpper();
}
QString flag(bool FormState::*field) { return firstState().*field ? QStringLiteral("True") : QStringLiteral("False"); }
QString text(QString FormState::*field) { return firstState().*field; }
QString arguments(QStringList FormState::*field) { return joinArguments(firstState().*field); }

const QString kInteger = QStringLiteral("Integer");
const QString kChecked = QStringLiteral("Checked");
const QString kBoolean = QStringLiteral("Boolean");
const QString kString = QStringLiteral("String");
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

} // namespace

// Each item has a section of its own; the key word only labels the kind of value.
const std::vector<SettingsItem>& settingsItems()
{
    static const std::vector<SettingsItem> items{
        {"fid", "fid", kInteger, number(&FormState::fid),
         [](F& f, R& r) { f.m_state.fid = std::max(1, r.ReadInteger()); }, [](F& f, R& w) { w.WriteInteger(f.m_voices->idToStore()); }},
        // Beside the ID, in its section: the system voice it stands for, so that the voice is
        // found again when its number changes, and one of its language stands in while it is gone.
        {"fidVoice", "fid", kString, QString(), [](F& f, R& r) { f.m_voices->setStoredVoice(r.ReadString()); },
         [](F& f, R& w) { w.WriteString(f.m_voices->voiceToStore()); }},
        {"FSpd", "FSpd", kInteger, number(&FormState::FSpd),
         [](F& f, R& r) { f.m_state.FSpd = inRange(r, 0, kMaxSpeed); }, [](F& f, R& w) { w.WriteInteger(f.m_state.FSpd); }},
        {"ClipSpeechCheckBoxChecked", "ClipSpeechCheckBox", kChecked, kTrue,
         [](F& f, R& r) { f.ClipSpeechCheckBox->setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.ClipSpeechCheckBox->isChecked()); }},
        {"ShowCheckBoxChecked", "ShowCheckBox", kChecked, kTrue, [](F& f, R& r) { f.ShowCheckBox->setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.ShowCheckBox->isChecked()); }},
        {"SICheckBoxChecked", "SICheckBox", kChecked, kTrue, [](F& f, R& r) { f.SICheckBox->setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.SICheckBox->isChecked()); }},
        // Written as false at every close: only the very first start is a first start.
        {"ffirst", "ffirst", kBoolean, flag(&FormState::ffirst), [](F& f, R& r) { f.m_state.ffirst = r.ReadBool(); },
         [](F&, R& w) { w.WriteBool(false); }},
        {"fRepNum", "fRepNum", kInteger, number(&FormState::fRepNum),
         [](F& f, R& r) { f.m_state.fRepNum = inRange(r, 1, kMaxRepetitions); },
         [](F& f, R& w) { w.WriteInteger(f.m_state.fRepNum); }},
        {"fTop", "fTop", kInteger, number(&FormState::fTop),
         [](F& f, R& r) { f.m_state.fTop = inRange(r, -kMaxCoordinate, kMaxCoordinate); },
         [](F& f, R& w) { w.WriteInteger(outerBounds(f).y()); }},
        {"fLeft", "fLeft", kInteger, number(&FormState::fLeft),
         [](F& f, R& r) { f.m_state.fLeft = inRange(r, -kMaxCoordinate, kMaxCoordinate); },
         [](F& f, R& w) { w.WriteInteger(outerBounds(f).x()); }},
        {"fHeight", "fHeight", kInteger, number(&FormState::fHeight),
         [](F& f, R& r) { f.m_state.fHeight = inRange(r, 0, kMaxCoordinate); },
         [](F& f, R& w) { w.WriteInteger(f.m_layoutScale.unscaled(outerBounds(f).height())); }},
        {"fWidth", "fWidth", kInteger, number(&FormState::fWidth),
         [](F& f, R& r) { f.m_state.fWidth = inRange(r, 0, kMaxCoordinate); },
         [](F& f, R& w) { w.WriteInteger(f.m_layoutScale.unscaled(outerBounds(f).width())); }},
        {"fMarkColor", "fMarkColor", kInteger, colour(&FormState::fMarkColor),
         [](F& f, R& r) { f.m_state.fMarkColor = std::uint32_t(r.ReadInteger()); },
         [](F& f, R& w) { w.WriteInteger(qint32(f.m_state.fMarkColor)); }},
        {"ffMarkColor", "ffMarkColor", kInteger, colour(&FormState::ffMarkColor),
         [](F& f, R& r) { f.m_state.ffMarkColor = std::uint32_t(r.ReadInteger()); },
         [](F& f, R& w) { w.WriteInteger(qint32(f.m_state.ffMarkColor)); }},
        {"fPanelW", "fPanelW", kInteger, number(&FormState::fPanelW),
         [](F& f, R& r) { f.m_state.fPanelW = inRange(r, 1, kMaxCoordinate); },
         [](F& f, R& w) { w.WriteInteger(f.m_layoutScale.unscaled(f.Panel1->width())); }},
        {"SCLCheckBoxChecked", "SCLCheckBox", kChecked, kTrue, [](F& f, R& r) { f.SCLCheckBox->setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.SCLCheckBox->isChecked()); }},
        {"fMaxForm", "fMaxForm", kBoolean, flag(&FormState::fMaxForm), [](F& f, R& r) { f.m_state.fMaxForm = r.ReadBool(); },
         [](F& f, R& w) { w.WriteBool(f.m_state.fMaxForm); }},
        {"HotKeyCheckBoxChecked", "HotKeyCheckBox", kChecked, kTrue,
         [](F& f, R& r) { f.HotKeyCheckBox->setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.HotKeyCheckBox->isChecked()); }},
        {"fAlpha", "fAlpha", kInteger, number(&FormState::fAlpha), [](F& f, R& r) { f.m_state.fAlpha = r.ReadInteger(); },
         [](F& f, R& w) { w.WriteInteger(f.m_state.fAlpha); }},
        {"LastfileCheckChecked", "LastfileCheck", kChecked, kTrue,
         [](F& f, R& r) { f.action(ActionId::LastfileCheck).setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.action(ActionId::LastfileCheck).isChecked()); }},
        // Read as the file to open again; written from the file open now.
        {"fLastfile", "fLastfile", kString, text(&FormState::fLastfile),
         [](F& f, R& r) { f.m_state.fLastfile = fileNameFromSetting(r.ReadString()); },
         [](F& f, R& w) { w.WriteString(fileNameSetting(f.m_state.fFileName)); }},
        {"fBGColor", "fBGColor", kInteger, colour(&FormState::fBGColor),
         [](F& f, R& r) { f.m_state.fBGColor = std::uint32_t(r.ReadInteger()); },
         [](F& f, R& w) { w.WriteInteger(qint32(bgrFromColor(f.RichEdit98->backgroundColor()))); }},
        {"fFontColor", "fFontColor", kInteger, colour(&FormState::fFontColor),
         [](F& f, R& r) { f.m_state.fFontColor = std::uint32_t(r.ReadInteger()); },
         [](F& f, R& w) { w.WriteInteger(qint32(bgrFromColor(f.RichEdit98->textColor()))); }},
        {"fPColor", "fPColor", kInteger, colour(&FormState::fPColor),
         [](F& f, R& r) { f.m_state.fPColor = std::uint32_t(r.ReadInteger()); },
         [](F& f, R& w) { w.WriteInteger(qint32(bgrFromColor(f.UPanel1->color()))); }},
        {"fFontSize", "fFontSize", kInteger, number(&FormState::fFontSize),
         [](F& f, R& r) { f.m_state.fFontSize = inRange(r, 1, kMaxFontSize); },
         [](F& f, R& w) { w.WriteInteger(f.RichEdit98->font().pointSize()); }},
        {"fFontName", "fFontName", kString, text(&FormState::fFontName),
         [](F& f, R& r) { f.m_state.fFontName = r.ReadString(); },
         [](F& f, R& w) { w.WriteString(f.RichEdit98->font().family()); }},
        {"fExeName", "fExeName", kString, text(&FormState::fExeName),
         [](F& f, R& r) { f.m_state.fExeName = fileNameFromSetting(r.ReadString()); },
         [](F& f, R& w) { w.WriteString(fileNameSetting(f.m_state.fExeName)); }},
        {"WordReadCheckBoxChecked", "WordReadCheckBoxChecked", kChecked, kTrue,
         [](F& f, R& r) { f.WordReadCheckBox->setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.WordReadCheckBox->isChecked()); }},
        {"endlineChecked", "endlineChecked", kChecked, kTrue, [](F& f, R& r) { f.action(ActionId::endline).setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.action(ActionId::endline).isChecked()); }},
        {"fMarkCheck", "fMarkCheck", kChecked, flag(&FormState::fMarkCheck),
         [](F& f, R& r) { f.m_state.fMarkCheck = r.ReadBool(); }, [](F& f, R& w) { w.WriteBool(f.m_state.fMarkCheck); }},
        {"fAddYuki", "fAddYuki", kChecked, flag(&FormState::fAddYuki), [](F& f, R& r) { f.m_state.fAddYuki = r.ReadBool(); },
         [](F& f, R& w) { w.WriteBool(f.action(ActionId::AddYuki1).isChecked()); }},
        {"KeyInputChecked", "KeyInputChecked", kChecked, kTrue,
         [](F& f, R& r) { f.action(ActionId::KeyInput).setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.action(ActionId::KeyInput).isChecked()); }},
        {"fSelBgColor", "fSelBgColor", kInteger, colour(&FormState::fSelBgColor),
         [](F& f, R& r) { f.m_state.fSelBgColor = std::uint32_t(r.ReadInteger()); },
         [](F& f, R& w) { w.WriteInteger(qint32(f.m_state.fSelBgColor)); }},
        {"fDicName", "fDicName", kString, text(&FormState::fDicName),
         [](F& f, R& r) { f.m_state.fDicName = fileNameFromSetting(r.ReadString()); },
         [](F& f, R& w) { w.WriteString(fileNameSetting(f.m_state.fDicName)); }},
        {"AutoLanguage1Checked", "AutoLanguage1", kChecked, kFalse,
         [](F& f, R& r) { f.action(ActionId::AutoLanguage1).setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.action(ActionId::AutoLanguage1).isChecked()); }},
        {"FollowWordsChecked", "FollowWords", kChecked, kTrue,
         [](F& f, R& r) { f.action(ActionId::FollowWords1).setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.action(ActionId::FollowWords1).isChecked()); }},
        {"fExeArgs", "fExeArgs", kString, arguments(&FormState::fExeArgs),
         [](F& f, R& r) { f.m_state.fExeArgs = splitArguments(r.ReadString()); },
         [](F& f, R& w) { w.WriteString(joinArguments(f.m_state.fExeArgs)); }},
        {"fDicArgs", "fDicArgs", kString, arguments(&FormState::fDicArgs),
         [](F& f, R& r) { f.m_state.fDicArgs = splitArguments(r.ReadString()); },
         [](F& f, R& w) { w.WriteString(joinArguments(f.m_state.fDicArgs)); }},
        {"DesktopColoursChecked", "DesktopColours", kChecked, kFalse,
         [](F& f, R& r) { f.action(ActionId::DesktopColours1).setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.action(ActionId::DesktopColours1).isChecked()); }},
        {"WideSpeedRangeChecked", "WideSpeedRange", kChecked, kFalse,
         [](F& f, R& r) { f.action(ActionId::WideSpeedRange1).setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.action(ActionId::WideSpeedRange1).isChecked()); }},
        {"ResumeWhereStoppedChecked", "ResumeWhereStopped", kChecked, kFalse,
         [](F& f, R& r) { f.action(ActionId::ResumeWhereStopped1).setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.action(ActionId::ResumeWhereStopped1).isChecked()); }},
        {"WebPagesChecked", "WebPages", kChecked, kFalse,
         [](F& f, R& r) { f.action(ActionId::WebPages1).setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.action(ActionId::WebPages1).isChecked()); }},
        {"ChapterFilesChecked", "ChapterFiles", kChecked, kFalse,
         [](F& f, R& r) { f.action(ActionId::ChapterFiles1).setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.action(ActionId::ChapterFiles1).isChecked()); }},
        {"SubtitleFilesChecked", "SubtitleFiles", kChecked, kFalse,
         [](F& f, R& r) { f.action(ActionId::SubtitleFiles1).setChecked(r.ReadBool()); },
         [](F& f, R& w) { w.WriteBool(f.action(ActionId::SubtitleFiles1).isChecked()); }},
    };
    return items;
}

void fillSettingsItems(TRegManager& manager)
{
    manager.RegItems.clear();
    for (const SettingsItem& item : settingsItems())
        manager.RegItems.push_back({item.name, QStringLiteral("Form1\\") + item.word, item.ident, item.defaultValue});
}

QStringList settingsAccessOrder()
{
    QStringList order;
    for (const SettingsItem& item : settingsItems())
        order.append(item.name);
    const auto moveBefore = [&order](const QString& name, const QString& next) {
        order.removeOne(name);
        order.insert(order.indexOf(next), name);
    };
    moveBefore(QStringLiteral("fLastfile"), QStringLiteral("LastfileCheckChecked"));
    moveBefore(QStringLiteral("fFontSize"), QStringLiteral("fPColor"));
    return order;
}

} // namespace velmor
