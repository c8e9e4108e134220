#pragma once

#include <QString>
#include <functional>
#include <optional>

class QAction;

namespace velmor {

struct FormState;
class TRichEdit98;
class IndicatorLabel;
class InfoLine;

struct DocumentControls {
    TRichEdit98& editor;
    IndicatorLabel& saveLabel;
    InfoLine& infoLine;
    QAction& addYukiOption;
};

// What the document commands need from the rest of the window.
struct DocumentServices {
    std::function<bool()> speechInfo;                     // " speech-info" is checked
    std::function<void(const QString&)> announce;         // stop speech and speak a sentence
    std::function<bool(const QString&)> askYesNo;
    std::function<void()> caretMoved;                     // GetColRow
    std::function<void()> stopOpening;                    // a file being read is not wanted now
};

// New, the edit menu's commands, the insertions, the file menu's options and the unsaved-changes mark.
class DocumentCommands {
public:
    DocumentCommands(FormState& state, DocumentControls controls, DocumentServices services);

    // Asks before discarding unsaved text; true when the text may go.
    bool mayDiscardText();

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
    // The unsaved-changes mark shows the modified flag, except that an empty text shows none.
    void showModified();

    // After the text box's font was applied anew: colour the Yuki marks again and put caret
    // and view back. ReSetText keeps the view's own first line; ReSetTextM goes back to
    // fTopLine, which the font change stored, and colours only when fAddYuki is set. Both
    // leave the text marked modified, since a font change is a change of the text.
    void ReSetText();
    void ReSetTextM();

private:
    void recolourAfterFontChange(bool colourMarks, std::optional<int> firstLine);

    FormState& m_state;
    DocumentControls m_controls;
    DocumentServices m_services;
};

} // namespace velmor
