#include "app/Menus.h"

#include "app/PopupMenuStyle.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <initializer_list>

namespace velmor {

namespace {

struct ItemSpec {
    const char* name;
    const char* caption; // nullptr for a separator
    const char* shortcut = nullptr;
    bool checkable = false;
    bool checked = false;
};

void addItems(QMenu* menu, std::initializer_list<ItemSpec> items)
{
    for (const ItemSpec& item : items) {
        QAction* action = item.caption ? menu->addAction(QString::fromUtf8(item.caption)) : menu->addSeparator();
        action->setObjectName(QString::fromUtf8(item.name));
        if (item.shortcut)
            action->setShortcut(QKeySequence(QString::fromUtf8(item.shortcut)));
        if (item.checkable) {
            action->setCheckable(true);
            action->setChecked(item.checked);
        }
    }
}

QMenu* makeMenu(QWidget* window, const char* name)
{
    auto* menu = new QMenu(window);
    menu->setObjectName(QString::fromUtf8(name));
    return menu;
}

} // namespace

MainMenus buildMenus(QWidget* window)
{
    MainMenus menus;
    menus.PopupMenu1 = makeMenu(window, "PopupMenu1");
    addItems(menus.PopupMenu1, {
        {"Speech1", "Velmor", "Ctrl+P"},
        {"Band1", "Band(Line)", "Ctrl+B"},
        {"SelText1", "SelText", "Ctrl+T"},
        {"Pause1", "Pause", "Ctrl+E"},
        {"Reset1", "Reset", "Ctrl+R"},
        {"ClipbrdMemory1", "Clipbrd's_Memory", "Ctrl+M"},
        {"N1", nullptr},
        {"New1", "New(Clear)", "Ctrl+N"},
        {"Open1", "Open", "Ctrl+O"},
        {"Save1", "Save", "Ctrl+S"},
        {"PlainText_Save1", "Save as PlainText", "Ctrl+L"},
        {"UnicodeSave1", "Save as Unicode", "Ctrl+U"},
        {"Find1", "Find", "Ctrl+F"},
        {"N2", nullptr},
        {"ClipbrdSpeech1", "Speech Clipbrd", "Ctrl+H", true, true},
        {"Show1", "Show Mouth", "Ctrl+W", true, true},
        {"SpeechHelp1", "Speech-Info", "Ctrl+I", true, true},
        {"Marking1", "Marking", nullptr, true, false},
        {"toClipbrd1", "toClipbrd", "Ctrl+D", true, false},
        {"Key", "Key-name", "Ctrl+K"},
        {"HotKeyCheck", "CheckHotKey", "Ctrl+Y", true, false},
        {"Joyful1", "Joyful writing", "Ctrl+J", true, false},
    });
    drawAsOwnerMenu(*menus.PopupMenu1);
    window->addActions(menus.PopupMenu1->actions());

    menus.FileMenu = makeMenu(window, "FileMenu");
    addItems(menus.FileMenu, {
        {"New2", "New(&N)"},
        {"Open2", "Open(&O)"},
        {"Save2", "Save(&S)"},
        {"PlainText1", "Save as PlainText(&L)"},
        {"Unicode1", "Save as Unicode(&U)"},
        {"SaveSpeech1", "Save speech as audio(&A)..."},
        {"N3", nullptr},
        {"LastfileCheck", "Open the last file(&F)", nullptr, true, true},
        {"endline", "Open the end line(&E)", nullptr, true, true},
        {"AddYuki1", "Open adding Yuki color(&Y)", nullptr, true, true},
        {"N14", nullptr},
        {"Print1", "Print(&P)"},
        {"N7", nullptr},
        {"Exit1", "Exit(&X)"},
        {"N9", nullptr},
        {"Hangul1", "Hangul_Mode(&M)"},
        {"ReleaseHangul1", "Release Hangul_mode(&R)"},
    });

    menus.EditMenu = makeMenu(window, "EditMenu");
    addItems(menus.EditMenu, {
        {"Undo1", "Undo(&U)"},
        {"Redo1", "Redo(&R)"},
        {"N4", nullptr},
        {"Cut1", "Cut(&T)"},
        {"Copy1", "Copy(&C)"},
        {"Paste1", "Paste(&P)"},
        {"N5", nullptr},
        {"Find2", "Find(&F)"},
        {"N6", nullptr},
        {"SelectAll1", "SelectAll(&A)"},
        {"Date1", "Date(&D)"},
        {"Tab1", "Insert Tab(&I)"},
        {"Yuki1", "Insert_Yuki(&Y)"},
        {"N8", nullptr},
        {"BGColor1", "BG_Color"},
        {"FontColor1", "Font_Color"},
    });
    QMenu* sizes = menus.EditMenu->addMenu(QStringLiteral("Font_Size"));
    sizes->menuAction()->setObjectName(QStringLiteral("FontSize1"));
    addItems(sizes, {{"N10", "10", nullptr, true}, {"N11", "11", nullptr, true}, {"Nf12", "12", nullptr, true}});
    QMenu* faces = menus.EditMenu->addMenu(QStringLiteral("Font_Name"));
    faces->menuAction()->setObjectName(QStringLiteral("FontName1"));
    addItems(faces, {{"Mincho1", "P_Mincho", nullptr, true},
                     {"Gothic1", "P_Gothic", nullptr, true},
                     {"MSUIGothic1", "MS_UI_Gothic", nullptr, true}});
    addItems(menus.EditMenu, {
        {"PanelColor1", "Panel_Color"},
        {"default1", "default_setting"},
        {"N12", nullptr},
        {"IMEon1", "IMEon(&O)"},
        {"ZenHiragana1", "ZenHiragana(&H)"},
        {"HanEisu1", "HanEisu(&E)"},
        {"Straight1", "IMEoff_Straight(&S)"},
        {"N13", nullptr},
        {"JoyNaoko1", "Joyful_Naoko(&N)", nullptr, true, false},
        {"KeyInput", "Read_InputKey(&K)", nullptr, true, true},
        {"N15", nullptr},
        {"FollowWords1", "Follow words", nullptr, true, true},
        {"N16", nullptr},
        {"AutoLanguage1", "Auto language", nullptr, true, false},
    });

    menus.HelpMenu = makeMenu(window, "HelpMenu");
    addItems(menus.HelpMenu, {
        {"TextEdit1", "(&1) TextEdit Box"},
        {"Speedbar1", "(&2) Speed bar"},
        {"Clipboard1", "(&3) Speech Clipboard "},
        {"Lang1", "(&4) Language ID-information"},
        {"MouthShow1", "(&5) Show Mouth"},
        {"SpeechInformation1", "(&6) Speech-information"},
        {"toClipboard1", "(&7) toClipboard"},
        {"Repetition1", "(&8) Repetition-number"},
        {"HotKeyCheckBox1", "(&9) HotKeyCheckBox"},
        {"Joyfulwriting1", "(&0) Joyful writing"},
        {"Marking2", "(&-) Marking"},
        {"VolumeControl2", "(&^) Volume Control"},
    });
    return menus;
}

} // namespace velmor
