#include "app/Appearance.h"

#include "core/FaceNames.h"
#include "app/FontApplying.h"
#include "core/FormState.h"
#include "document/SoftBreaks.h"
#include "document/TextFile.h"
#include "document/TextFileDocument.h"
#include "document/YukiMarks.h"
#include "widgets/BaseColor.h"
#include "widgets/Bgr.h"
#include "widgets/InfoLine.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QAction>
#include <QScrollBar>
#include <algorithm>

namespace velmor {

namespace {

constexpr std::uint32_t kDefaultBackground = 0x00E9F5F4;
constexpr std::uint32_t kDefaultTextColor = 0x002C201B;
constexpr std::uint32_t kDefaultPanelColor = 0x00F0DACA;
constexpr int kDefaultFontSize = 11;
constexpr int kSmallestZoomSize = 6;
constexpr int kLargestZoomSize = 72;

void setInfoLineFont(InfoLine& infoLine, const QString& face, int pointSize)
{
    QFont font = infoLine.font();
    font.setFamily(face);
    font.setPointSize(pointSize);
    infoLine.setFont(font);
}

} // namespace

AppearanceCommands::AppearanceCommands(FormState& state, AppearanceControls controls, FontMenuItems menu,
                                       AppearanceServices services)
    : m_state(state), m_controls(controls), m_menu(menu), m_services(std::move(services))
{
}

bool AppearanceCommands::koreanText() const
{
    const QString voice = m_services.voiceLabel();
    return m_state.fHangulMode || m_services.koreanLayout() || voice == QStringLiteral("Shin-Ah")
        || voice == QStringLiteral("Jun-Ho");
}

// Exactly the size and face items that match the current font carry a check mark.
void AppearanceCommands::checkFontMenus()
{
    m_menu.n10.setChecked(m_state.fFontSize == 10);
    m_menu.n11.setChecked(m_state.fFontSize == 11);
    m_menu.nf12.setChecked(m_state.fFontSize == 12);
    m_menu.mincho.setChecked(m_state.fFontName == kFacePMincho);
    m_menu.gothic.setChecked(m_state.fFontName == kFacePGothic);
    m_menu.uiGothic.setChecked(m_state.fFontName == kFaceUIGothic);
}

void AppearanceCommands::applyDesktopColours()
{
    keepOwnColours(m_controls.editor, m_state.fBGColor != kDefaultBackground || m_state.fFontColor != kDefaultTextColor);
    keepOwnColours(m_controls.panel, m_state.fPColor != kDefaultPanelColor);
    setDesktopColours(m_menu.desktopColours.isChecked());
}

void AppearanceCommands::applyEditorFont()
{
    ApplyFont(m_controls.editor, {m_state.fFontName, m_state.fFontSize, colorFromBgr(m_state.fFontColor),
                                  colorFromBgr(m_state.fBGColor)});
    if (m_state.fFontName == kFacePMincho)
        ApplyMincho(m_controls.editor);
}

void AppearanceCommands::applyStoredLook()
{
    applyEditorFont();
    m_controls.infoLine.setFont(m_controls.editor.font());
    m_controls.panel.setColor(colorFromBgr(m_state.fPColor));
    checkFontMenus();
    applyDesktopColours();
}

void AppearanceCommands::BGColor1Click()
{
    TRichEdit98& editor = m_controls.editor;
    if (const std::optional<QColor> chosen = m_services.chooseColor(editor.backgroundColor())) {
        editor.setBackgroundColor(*chosen);
        m_state.fBGColor = bgrFromColor(*chosen);
        applyDesktopColours();
    }
    m_services.clearMarks();
}

void AppearanceCommands::FontColor1Click()
{
    TRichEdit98& editor = m_controls.editor;
    if (const std::optional<QColor> chosen = m_services.chooseColor(editor.textColor())) {
        editor.setTextColor(*chosen);
        m_state.fFontColor = bgrFromColor(*chosen);
        applyDesktopColours();
    }
    if (m_state.fFontName != kFaceUIGothic)
        SetFontGM();
}

void AppearanceCommands::setFontSize(int size)
{
    m_controls.editor.setDefaultFont(m_controls.editor.font().family(), size);
    m_state.fFontSize = size;
    checkFontMenus();
    setInfoLineFont(m_controls.infoLine, m_controls.infoLine.font().family(), size);
    if (m_state.fFontName != kFaceUIGothic)
        SetFontGM();
}

void AppearanceCommands::zoomTo(int size)
{
    setFontSize(std::clamp(size, kSmallestZoomSize, kLargestZoomSize));
    m_services.tellTextSize(QStringLiteral("Text size %1").arg(m_state.fFontSize));
}

void AppearanceCommands::LargerText1Click() { zoomTo(m_state.fFontSize + 1); }
void AppearanceCommands::SmallerText1Click() { zoomTo(m_state.fFontSize - 1); }
void AppearanceCommands::TextSize1Click() { zoomTo(kDefaultFontSize); }

void AppearanceCommands::setFace(const QString& face)
{
    m_controls.editor.setDefaultFont(face, m_controls.editor.font().pointSize());
    setInfoLineFont(m_controls.infoLine, face, m_controls.infoLine.font().pointSize());
    m_state.fFontName = face;
    checkFontMenus();
}

void AppearanceCommands::Mincho1Click()
{
    if (koreanText()) {
        // The item has toggled its own check mark; the current face keeps it.
        checkFontMenus();
        return;
    }
    setFace(kFacePMincho);
    SetFontGM();
}

void AppearanceCommands::Gothic1Click()
{
    if (koreanText()) {
        checkFontMenus();
        return;
    }
    setFace(kFacePGothic);
    SetFontGM();
}

void AppearanceCommands::MSUIGothic1Click() { setFace(kFaceUIGothic); }

void AppearanceCommands::PanelColor1Click()
{
    if (const std::optional<QColor> chosen = m_services.chooseColor(m_controls.panel.color())) {
        m_controls.panel.setColor(*chosen);
        m_state.fPColor = bgrFromColor(*chosen);
        m_controls.infoLine.setPanelColor(*chosen);
        applyDesktopColours();
    }
}

void AppearanceCommands::default1Click()
{
    TRichEdit98& editor = m_controls.editor;
    InfoLine& infoLine = m_controls.infoLine;
    const QString face = koreanText() ? kFaceUIGothic : kFacePMincho;
    editor.setBackgroundColor(colorFromBgr(kDefaultBackground));
    editor.setTextColor(colorFromBgr(kDefaultTextColor));
    editor.setDefaultFont(face, kDefaultFontSize);
    setInfoLineFont(infoLine, face, kDefaultFontSize);

    m_state.fPColor = kDefaultPanelColor;
    m_controls.panel.setColor(colorFromBgr(kDefaultPanelColor));
    infoLine.setPanelColor(colorFromBgr(kDefaultPanelColor));
    setFixedColour(infoLine, QPalette::Text, Qt::black);

    m_state.fFontSize = kDefaultFontSize;
    m_state.fFontName = face;
    m_state.fBGColor = kDefaultBackground;
    m_state.fFontColor = kDefaultTextColor;
    checkFontMenus();
    applyDesktopColours();

    if (face != kFaceUIGothic)
        SetFontGM();
    else
        Hangul();
    m_services.clearMarks();
}

void AppearanceCommands::SetFontGM()
{
    TRichEdit98& editor = m_controls.editor;
    const FontLook look{m_state.fFontName, m_state.fFontSize, colorFromBgr(m_state.fFontColor),
                        colorFromBgr(m_state.fBGColor)};
    editor.setUpdatesEnabled(false);
    if (m_state.fFontName != kFacePMincho) {
        ApplyFont(editor, look);
        if (m_state.fAddYuki)
            m_services.reSetText();
    } else {
        m_state.fTopLine = editor.verticalScrollBar()->value();
        ApplyFont(editor, look);
        ApplyMincho(editor);
        m_services.reSetTextM();
    }
    editor.setUpdatesEnabled(true);
}

void AppearanceCommands::Hangul()
{
    TRichEdit98& editor = m_controls.editor;
    if (editor.selStart() == 0 && editor.document()->isEmpty()) {
        editor.setSelection(1, 0);
    } else {
        editor.setUpdatesEnabled(false);
        const qsizetype caret = textIndexOfPosition(*editor.document(), editor.selStart());
        const int firstLine = editor.verticalScrollBar()->value();
        m_services.clearMarks();
        const std::vector<qsizetype> rawBytes = rawBytePositions(*editor.document());
        // The text set anew takes the typing format, which is the format at the caret (after a
        // Yuki mark, its colour): the box's own face and colour it must be.
        editor.setCurrentCharFormat(QTextCharFormat());
        editor.setPlainText(editor.wholeText());
        markRawBytes(*editor.document(), rawBytes);
        InfoLine& infoLine = m_controls.infoLine;
        if (!infoLine.text().isEmpty()) {
            infoLine.setCurrentCharFormat(QTextCharFormat());
            infoLine.setPlainText(infoLine.text());
        }
        if (m_state.fAddYuki)
            AddYukiColor(editor, kYukiMark, kYukiColor, colorFromBgr(m_state.fFontColor));
        m_services.caretMoved();
        editor.setSelection(positionOfTextIndex(*editor.document(), caret), 0);
        editor.verticalScrollBar()->setValue(firstLine);
        editor.setUpdatesEnabled(true);
    }
    editor.setModified(true);
    m_services.caretMoved();
    editor.setFocus();
}

} // namespace velmor
