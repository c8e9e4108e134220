#pragma once

#include "document/FindReplace.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QSlider;

namespace velmor {

struct Dialogs;
class TRichEdit98;

// What the Search or Replace window works on in the main window.
struct SearchWindowLinks {
    TRichEdit98& editor; // the main text box
    int& alpha;          // fAlpha: the window's opacity, 0 to 255
    const Dialogs& dialogs;
};

// The Search or Replace window: modeless, on top of other windows, with its opacity on a
// track bar. It frees itself when closed.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    // Without transparency the opacity controls are hidden.
    TForm3(SearchWindowLinks links, bool transparencyAvailable, QWidget* parent);

    // Whether the platform can show windows partly transparent.
    static bool platformOffersTransparency();

    void NextButtonClick();
    void FindBackButtonClick();
    void ReplaceButtonClick();
    void Re_allButtonClick();
    void CancelButtonClick();
    void VTrackBar1Change();
    void FormDblClick();

    QLabel* Label3 = nullptr;
    TRichEdit98* RichEdit98F = nullptr;
    QLabel* Label4 = nullptr;
    TRichEdit98* RichEdit98R = nullptr;
    QPushButton* NextButton = nullptr;
    QPushButton* FindBackButton = nullptr;
    QPushButton* ReplaceButton = nullptr;
    QPushButton* Re_allButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QSlider* VTrackBar1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape closes the window, as Cancel does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void FormCreate();
    TRichEdit98* makeOneLineBox(const QString& name);
    void keepOnOneLineAfterChange(TRichEdit98& box);
    void keepOnOneLineAfterKey(TRichEdit98& box);
    static QString firstLine(const TRichEdit98& box);
    void focusBackHere();

    SearchWindowLinks m_links;
    FindReplace m_commands;
    bool m_transparency;
    bool m_undoingChange = false;
};

} // namespace velmor
