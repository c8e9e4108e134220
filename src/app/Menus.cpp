#include "app/Menus.h"

#include "app/PopupMenuStyle.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <array>
#include <optional>
#include <span>

namespace velmor {

namespace {

struct ItemSpec {
    std::optional<ActionId> id; // none for a separator
    const char* name;
    const char* caption = nullptr;
    const char* shortcut = nullptr;
    bool checkable = false;
    bool checked = false;
    const ItemSpec* submenu = nullptr;
    std::size_t submenuSize = 0;
};

constexpr ItemSpec separator(const char* name) { return {std::nullopt, name}; }

template <std::size_t N>
constexpr ItemSpec submenu(ActionId id, const char* name, const char* caption, const ItemSpec (&items)[N])
{
    ItemSpec item{id, name, caption};
    item.submenu = items;
    item.submenuSize = N;
    return item;
}

constexpr ItemSpec kContextMenu[] = {
    {ActionId::Speech1, "Speech1", "Velmor", "Ctrl+P"},
    {ActionId::Band1, "Band1", "Band(Line)", "Ctrl+B"},
    {ActionId::SelText1, "SelText1", "SelText", "Ctrl+T"},
    {ActionId::Pause1, "Pause1", "Pause", "Ctrl+E"},
    {ActionId::Reset1, "Reset1", "Reset", "Ctrl+R"},
    {ActionId::ClipbrdMemory1, "ClipbrdMemory1", "Clipbrd's_Memory", "Ctrl+M"},
    separator("N1"),
    {ActionId::New1, "New1", "New(Clear)", "Ctrl+N"},
    {ActionId::Open1, "Open1", "Open", "Ctrl+O"},
    {ActionId::Save1, "Save1", "Save", "Ctrl+S"},
    {ActionId::PlainText_Save1, "PlainText_Save1", "Save as PlainText", "Ctrl+L"},
    {ActionId::UnicodeSave1, "UnicodeSave1", "Save as Unicode", "Ctrl+U"},
    {ActionId::Find1, "Find1", "Find", "Ctrl+F"},
    separator("N2"),
    {ActionId::ClipbrdSpeech1, "ClipbrdSpeech1", "Speech Clipbrd", "Ctrl+H", true, true},
    {ActionId::Show1, "Show1", "Show Mouth", "Ctrl+W", true, true},
    {ActionId::SpeechHelp1, "SpeechHelp1", "Speech-Info", "Ctrl+I", true, true},
    {ActionId::Marking1, "Marking1", "Marking", nullptr, true, false},
    {ActionId::toClipbrd1, "toClipbrd1", "toClipbrd", "Ctrl+D", true, false},
    {ActionId::Key, "Key", "Key-name", "Ctrl+K"},
    {ActionId::HotKeyCheck, "HotKeyCheck", "CheckHotKey", "Ctrl+Y", true, false},
    {ActionId::Joyful1, "Joyful1", "Joyful writing", "Ctrl+J", true, false},
    // The control panel's buttons and the dictionary buttons' programs, for the keyboard alone.
    separator("N17"),
    {ActionId::MarkFirst1, "MarkFirst1", "Mark (colour 1)", "Ctrl+1"},
    {ActionId::MarkSecond1, "MarkSecond1", "Mark (colour 2)", "Ctrl+2"},
    {ActionId::ResetMarks1, "ResetMarks1", "Reset marks", "Ctrl+3"},
    {ActionId::DefaultSpeed1, "DefaultSpeed1", "Default Speed", "Ctrl+Shift+D"},
    {ActionId::Once1, "Once1", "Repeat once", "Ctrl+Shift+O"},
    {ActionId::LangIDInfo1, "LangIDInfo1", "Lang ID-info", "Ctrl+Shift+L"},
    {ActionId::ChooseDic1, "ChooseDic1", "Choose dic...", "Alt+Shift+D"},
    {ActionId::ChooseDic2, "ChooseDic2", "Choose dic 2...", "Alt+Shift+I"},
};

constexpr ItemSpec kFileMenu[] = {
    {ActionId::New2, "New2", "New(&N)"},
    {ActionId::Open2, "Open2", "Open(&O)"},
    {ActionId::Save2, "Save2", "Save(&S)"},
    {ActionId::PlainText1, "PlainText1", "Save as PlainText(&L)"},
    {ActionId::Unicode1, "Unicode1", "Save as Unicode(&U)"},
    {ActionId::SaveSpeech1, "SaveSpeech1", "Save speech as audio(&A)..."},
    // How speech is saved: off, one file as the menu item above says, until the user asks.
    {ActionId::ChapterFiles1, "ChapterFiles1", "One file per chapter", nullptr, true, false},
    {ActionId::SubtitleFiles1, "SubtitleFiles1", "Also write subtitles", nullptr, true, false},
    separator("N3"),
    {ActionId::LastfileCheck, "LastfileCheck", "Open the last file(&F)", nullptr, true, true},
    {ActionId::endline, "endline", "Open the end line(&E)", nullptr, true, true},
    {ActionId::AddYuki1, "AddYuki1", "Open adding Yuki color(&Y)", nullptr, true, true},
    separator("N14"),
    {ActionId::Print1, "Print1", "Print(&P)"},
    separator("N7"),
    {ActionId::Exit1, "Exit1", "Exit(&X)"},
    separator("N9"),
    {ActionId::Hangul1, "Hangul1", "Hangul_Mode(&M)"},
    {ActionId::ReleaseHangul1, "ReleaseHangul1", "Release Hangul_mode(&R)"},
};

constexpr ItemSpec kFontSizes[] = {
    {ActionId::N10, "N10", "10", nullptr, true},
    {ActionId::N11, "N11", "11", nullptr, true},
    {ActionId::Nf12, "Nf12", "12", nullptr, true},
    separator("N17"),
    // Ctrl+= is Ctrl++ without Shift on most keyboards; the keypad's keys reach the same items.
    {ActionId::LargerText1, "LargerText1", "Larger text", "Ctrl++; Ctrl+="},
    {ActionId::SmallerText1, "SmallerText1", "Smaller text", "Ctrl+-"},
    {ActionId::TextSize1, "TextSize1", "Text size 11", "Ctrl+0"},
};

constexpr ItemSpec kFontNames[] = {
    {ActionId::Mincho1, "Mincho1", "P_Mincho", nullptr, true},
    {ActionId::Gothic1, "Gothic1", "P_Gothic", nullptr, true},
    {ActionId::MSUIGothic1, "MSUIGothic1", "MS_UI_Gothic", nullptr, true},
};

constexpr ItemSpec kEditMenu[] = {
    {ActionId::Undo1, "Undo1", "Undo(&U)"},
    {ActionId::Redo1, "Redo1", "Redo(&R)"},
    separator("N4"),
    {ActionId::Cut1, "Cut1", "Cut(&T)"},
    {ActionId::Copy1, "Copy1", "Copy(&C)"},
    {ActionId::Paste1, "Paste1", "Paste(&P)"},
    separator("N5"),
    {ActionId::Find2, "Find2", "Find(&F)"},
    separator("N6"),
    {ActionId::SelectAll1, "SelectAll1", "SelectAll(&A)"},
    {ActionId::Date1, "Date1", "Date(&D)"},
    {ActionId::Tab1, "Tab1", "Insert Tab(&I)"},
    {ActionId::Yuki1, "Yuki1", "Insert_Yuki(&Y)"},
    separator("N8"),
    {ActionId::BGColor1, "BGColor1", "BG_Color"},
    {ActionId::FontColor1, "FontColor1", "Font_Color"},
    submenu(ActionId::FontSize1, "FontSize1", "Font_Size", kFontSizes),
    submenu(ActionId::FontName1, "FontName1", "Font_Name", kFontNames),
    {ActionId::PanelColor1, "PanelColor1", "Panel_Color"},
    {ActionId::default1, "default1", "default_setting"},
    separator("N12"),
    {ActionId::IMEon1, "IMEon1", "IMEon(&O)"},
    {ActionId::ZenHiragana1, "ZenHiragana1", "ZenHiragana(&H)"},
    {ActionId::HanEisu1, "HanEisu1", "HanEisu(&E)"},
    {ActionId::Straight1, "Straight1", "IMEoff_Straight(&S)"},
    separator("N13"),
    {ActionId::JoyNaoko1, "JoyNaoko1", "Joyful_Naoko(&N)", nullptr, true, false},
    {ActionId::KeyInput, "KeyInput", "Read_InputKey(&K)", nullptr, true, true},
    separator("N15"),
    {ActionId::FollowWords1, "FollowWords1", "Follow words", nullptr, true, true},
    separator("N16"),
    {ActionId::AutoLanguage1, "AutoLanguage1", "Auto language", nullptr, true, false},
    separator("N17"),
    {ActionId::DesktopColours1, "DesktopColours1", "Desktop colours", nullptr, true, false},
    {ActionId::WideSpeedRange1, "WideSpeedRange1", "Wide speed range", nullptr, true, false},
    {ActionId::ResumeWhereStopped1, "ResumeWhereStopped1", "Resume where I stopped", nullptr, true, false},
    {ActionId::WebPages1, "WebPages1", "Open web pages without markup", nullptr, true, false},
    separator("N18"),
    {ActionId::ReopenEncoding1, "ReopenEncoding1", "Reopen with encoding"},
    {ActionId::PronunciationRules1, "PronunciationRules1", "Pronunciation rules..."},
};

constexpr ItemSpec kHelpMenu[] = {
    {ActionId::TextEdit1, "TextEdit1", "(&1) TextEdit Box"},
    {ActionId::Speedbar1, "Speedbar1", "(&2) Speed bar"},
    {ActionId::Clipboard1, "Clipboard1", "(&3) Speech Clipboard "},
    {ActionId::Lang1, "Lang1", "(&4) Language ID-information"},
    {ActionId::MouthShow1, "MouthShow1", "(&5) Show Mouth"},
    {ActionId::SpeechInformation1, "SpeechInformation1", "(&6) Speech-information"},
    {ActionId::toClipboard1, "toClipboard1", "(&7) toClipboard"},
    {ActionId::Repetition1, "Repetition1", "(&8) Repetition-number"},
    {ActionId::HotKeyCheckBox1, "HotKeyCheckBox1", "(&9) HotKeyCheckBox"},
    {ActionId::Joyfulwriting1, "Joyfulwriting1", "(&0) Joyful writing"},
    {ActionId::Marking2, "Marking2", "(&-) Marking"},
    {ActionId::VolumeControl2, "VolumeControl2", "(&^) Volume Control"},
};

// Keys of the window alone, which no menu shows; the window takes the sentence keys on when it
// can follow the speech. Several keys of one item are separated by "; ".
constexpr ItemSpec kWindowKeys[] = {
    {ActionId::PopupMenuKey, "PopupMenuKey", nullptr, "Shift+F10; Menu"},
    {ActionId::NextSentence, "NextSentence", nullptr, "Alt+Right"},
    {ActionId::SentenceBack, "SentenceBack", nullptr, "Alt+Left"},
    {ActionId::SpeakFromCaret, "SpeakFromCaret", nullptr, "Alt+Down"},
};

// Calls visit with every item of the tables, submenu items included.
template <typename Visit>
constexpr void forEachItem(Visit visit)
{
    using Table = std::span<const ItemSpec>;
    for (Table table : {Table(kContextMenu), Table(kFileMenu), Table(kEditMenu), Table(kHelpMenu), Table(kWindowKeys)}) {
        for (const ItemSpec& item : table) {
            visit(item);
            for (const ItemSpec& subItem : std::span(item.submenu, item.submenuSize))
                visit(subItem);
        }
    }
}

constexpr bool eachIdBuiltOnce()
{
    std::array<int, kActionCount> seen{};
    forEachItem([&seen](const ItemSpec& item) {
        if (item.id)
            ++seen[std::size_t(*item.id)];
    });
    for (int count : seen)
        if (count != 1)
            return false;
    return true;
}
static_assert(eachIdBuiltOnce(), "every ActionId needs exactly one item in the tables");

QAction* makeAction(const ItemSpec& item, QMenu* menu)
{
    if (!item.id)
        return menu->addSeparator();
    if (item.submenu)
        return menu->addMenu(QString::fromUtf8(item.caption))->menuAction();
    return menu->addAction(QString::fromUtf8(item.caption));
}

void addItems(MainMenus& menus, QMenu* menu, const ItemSpec* items, std::size_t count)
{
    for (const ItemSpec& item : std::span(items, count)) {
        QAction* action = makeAction(item, menu);
        action->setObjectName(QString::fromUtf8(item.name));
        if (item.shortcut)
            action->setShortcuts(QKeySequence::listFromString(QString::fromUtf8(item.shortcut)));
        if (item.checkable) {
            action->setCheckable(true);
            action->setChecked(item.checked);
        }
        if (item.id)
            menus.actions[std::size_t(*item.id)] = action;
        if (item.submenu)
            addItems(menus, action->menu(), item.submenu, item.submenuSize);
    }
}

// A menu item's key works while the menu is closed only when the window holds the item too.
void addKeysTo(QWidget* window, const QMenu& menu)
{
    for (QAction* action : menu.actions()) {
        if (action->menu())
            addKeysTo(window, *action->menu());
        else if (!action->shortcuts().isEmpty())
            window->addAction(action);
    }
}

template <std::size_t N>
QMenu* makeMenu(MainMenus& menus, QWidget* window, const char* name, const ItemSpec (&items)[N])
{
    auto* menu = new QMenu(window);
    menu->setObjectName(QString::fromUtf8(name));
    addItems(menus, menu, items, N);
    return menu;
}

} // namespace

const char* actionName(ActionId id)
{
    const char* name = "";
    forEachItem([&](const ItemSpec& item) {
        if (item.id == id)
            name = item.name;
    });
    return name;
}

MainMenus buildMenus(QWidget* window)
{
    MainMenus menus;
    menus.PopupMenu1 = makeMenu(menus, window, "PopupMenu1", kContextMenu);
    drawAsOwnerMenu(*menus.PopupMenu1);
    window->addActions(menus.PopupMenu1->actions());
    menus.FileMenu = makeMenu(menus, window, "FileMenu", kFileMenu);
    menus.EditMenu = makeMenu(menus, window, "EditMenu", kEditMenu);
    menus.HelpMenu = makeMenu(menus, window, "HelpMenu", kHelpMenu);
    for (const QMenu* menu : {menus.FileMenu, menus.EditMenu, menus.HelpMenu})
        addKeysTo(window, *menu);
    for (const ItemSpec& key : kWindowKeys) {
        auto* action = new QAction(window);
        action->setObjectName(QString::fromUtf8(key.name));
        action->setShortcuts(QKeySequence::listFromString(QString::fromUtf8(key.shortcut)));
        menus.actions[std::size_t(*key.id)] = action;
    }
    return menus;
}

} // namespace velmor
