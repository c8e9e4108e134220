#pragma once

#include <QColor>
#include <QString>
#include <functional>
#include <optional>

class QAction;

namespace velmor {

struct FormState;
class InfoLine;
class TRichEdit98;
class UPanel;

struct AppearanceControls {
    TRichEdit98& editor;
    InfoLine& infoLine;
    UPanel& panel;
};

// The check items of the Edit menu's "Font_Size" and "Font_Name" submenus, and "Desktop colours".
struct FontMenuItems {
    QAction& n10;
    QAction& n11;
    QAction& nf12;
    QAction& mincho;
    QAction& gothic;
    QAction& uiGothic;
    QAction& desktopColours;
};

// What the appearance commands need from the rest of the window.
struct AppearanceServices {
    std::function<std::optional<QColor>(const QColor& initial)> chooseColor;
    std::function<void()> clearMarks;
    std::function<bool()> koreanLayout;   // the active keyboard layout is Korean
    std::function<QString()> voiceLabel;  // the speaker the voice label shows
    std::function<void()> reSetText;      // Yuki colours, caret and view again after a font change
    std::function<void()> reSetTextM;     // the same for "ＭＳ Ｐ明朝", back to fTopLine
    std::function<void()> caretMoved;     // GetColRow
    std::function<void(const QString&)> tellTextSize; // "Text size 14" after a zoom step
};

// The look of the text box and of the information panel: the Edit menu's colour and font
// commands, the return to the default look, and the look applied at start-up and after a load.
class AppearanceCommands {
public:
    AppearanceCommands(FormState& state, AppearanceControls controls, FontMenuItems menu,
                       AppearanceServices services);

    void BGColor1Click();
    void FontColor1Click();
    void N10Click() { setFontSize(10); }
    void N11Click() { setFontSize(11); }
    void Nf12Click() { setFontSize(12); }
    // Zoom: one point larger or smaller within 6 to 72, or back to the default size.
    void LargerText1Click();
    void SmallerText1Click();
    void TextSize1Click();
    void Mincho1Click();
    void Gothic1Click();
    void MSUIGothic1Click();
    void PanelColor1Click();
    void default1Click();
    // "Desktop colours": the desktop's palette colours the whole window, but for the colours
    // the user chose: a text box background or text colour of their own keeps both on the text
    // box, a panel colour of their own keeps it on the info panel. Off, the window's own look.
    void DesktopColours1Click() { applyDesktopColours(); }

    // Re-applies the text box's font to the whole text.
    void SetFontGM();
    // Draws the whole text in the current font: the face and size of the box for every
    // character, its colours and marks kept, Yuki marks coloured again; caret and view stay.
    void Hangul();

    // The stored look on the text box, the info line and the panel, with the menus' check marks.
    void applyStoredLook();
    // The stored font on the text box after a load.
    void applyEditorFont();

private:
    void setFontSize(int size);
    void zoomTo(int size);
    void setFace(const QString& face);
    // Hangul text needs "MS UI Gothic": in Hangul mode, with a Korean layout or a Korean voice.
    bool koreanText() const;
    void checkFontMenus();
    void applyDesktopColours();

    FormState& m_state;
    AppearanceControls m_controls;
    FontMenuItems m_menu;
    AppearanceServices m_services;
};

} // namespace velmor
