#pragma once

#include <cstddef>

namespace velmor {

// Every menu item and window key of the main window, named as its QAction's objectName.
// Separators have no id. Menus.cpp builds each id exactly once, checked when it compiles.
enum class ActionId {
    // The context menu.
    Speech1, Band1, SelText1, Pause1, Reset1, ClipbrdMemory1, New1, Open1, Save1, PlainText_Save1, UnicodeSave1,
    Find1, ClipbrdSpeech1, Show1, SpeechHelp1, Marking1, toClipbrd1, Key, HotKeyCheck, Joyful1,
    MarkFirst1, MarkSecond1, ResetMarks1, DefaultSpeed1, Once1, LangIDInfo1, ChooseDic1, ChooseDic2,
    // The File menu.
    New2, Open2, Save2, PlainText1, Unicode1, SaveSpeech1, ChapterFiles1, SubtitleFiles1, LastfileCheck, endline, AddYuki1, Print1, Exit1,
    Hangul1, ReleaseHangul1,
    // The Edit menu, with its two submenus.
    Undo1, Redo1, Cut1, Copy1, Paste1, Find2, SelectAll1, Date1, Tab1, Yuki1, BGColor1, FontColor1,
    FontSize1, N10, N11, Nf12, LargerText1, SmallerText1, TextSize1, FontName1, Mincho1, Gothic1, MSUIGothic1,
    PanelColor1, default1, IMEon1, ZenHiragana1, HanEisu1, Straight1, JoyNaoko1, KeyInput, FollowWords1,
    AutoLanguage1, DesktopColours1, WideSpeedRange1, ResumeWhereStopped1, WebPages1, ReopenEncoding1, PronunciationRules1,
    // The Help menu.
    TextEdit1, Speedbar1, Clipboard1, Lang1, MouthShow1, SpeechInformation1, toClipboard1, Repetition1,
    HotKeyCheckBox1, Joyfulwriting1, Marking2, VolumeControl2,
    // Keys of the window that no menu shows: the context menu from the keyboard, and stepping by
    // sentences while speaking.
    PopupMenuKey, NextSentence, SentenceBack, SpeakFromCaret, // SpeakFromCaret stays last: it sets the count
};

inline constexpr std::size_t kActionCount = std::size_t(ActionId::SpeakFromCaret) + 1;

} // namespace velmor
