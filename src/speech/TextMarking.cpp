#include "speech/TextMarking.h"

#include "core/FormState.h"
#include "widgets/Bgr.h"
#include "widgets/FlatButton.h"
#include "widgets/TRichEdit98.h"

#include <QAction>
#include <QKeyEvent>
#include <QTimer>

namespace velmor {

namespace {

const QColor kMarkingOnFontColor = colorFromBgr(0x00B3734D);
const QColor kMarkingOffFontColor = colorFromBgr(0x00E1F2E8);

bool leavesSelectionPlain(int key)
{
    switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Control:
        return true;
    default:
        return false;
    }
}

class KeyAndMouseWatcher : public QObject {
public:
    explicit KeyAndMouseWatcher(std::function<void()> plainSelection) : m_plainSelection(std::move(plainSelection)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyRelease:
            if (leavesSelectionPlain(static_cast<QKeyEvent*>(event)->key()))
                m_plainSelection();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // The text box sets the selection while it handles the press.
            QTimer::singleShot(0, this, m_plainSelection);
            break;
        default:
            break;
        }
        return false;
    }

private:
    std::function<void()> m_plainSelection;
};

} // namespace

TextMarking::TextMarking(FormState& state, MarkingControls controls, ColorChooser chooseColor)
    : m_state(state), m_controls(controls), m_chooseColor(std::move(chooseColor))
{
}

TextMarking::~TextMarking() = default;

void TextMarking::watchKeysAndMouse()
{
    m_watcher = std::make_unique<KeyAndMouseWatcher>([this] { plainSelection(); });
    m_controls.editor.installEventFilter(m_watcher.get());
    m_controls.editor.viewport()->installEventFilter(m_watcher.get());
}

void TextMarking::MarkButtonClick() { mark(m_state.fMarkColor, m_controls.markButton); }

void TextMarking::MarkingButtonClick() { mark(m_state.ffMarkColor, m_controls.markingButton); }

// Without a selection the button chooses its colour; with marking off it marks nothing.
void TextMarking::mark(std::uint32_t& color, FlatButton& button)
{
    TRichEdit98& editor = m_controls.editor;
    const int start = editor.selStart();
    const int length = editor.selLength();
    if (length == 0) {
        if (const std::optional<QColor> chosen = m_chooseColor(colorFromBgr(color))) {
            color = bgrFromColor(*chosen);
            button.setFaceColor(*chosen);
        }
        return;
    }
    if (!m_state.fMarkCheck)
        return;
    editor.addHighlight(start, length, colorFromBgr(color));
    editor.setSelection(start + length, 0);
}

void TextMarking::MarkCheckButtonClick()
{
    m_state.fMarkCheck = !m_state.fMarkCheck;
    showSwitch();
    if (!m_state.fMarkCheck)
        m_controls.editor.clearHighlights();
}

// The item has already toggled its check mark when this runs.
void TextMarking::Marking1Click()
{
    m_state.fMarkCheck = m_controls.markingItem.isChecked();
    showSwitch();
}

void TextMarking::MResetButtonClick() { m_controls.editor.clearHighlights(); }

void TextMarking::showSwitch()
{
    const bool on = m_state.fMarkCheck;
    m_controls.markCheckButton.setText(on ? QStringLiteral("&Marking on") : QStringLiteral("&Marking off"));
    m_controls.markCheckButton.setFontColor(on ? kMarkingOnFontColor : kMarkingOffFontColor);
    m_controls.markingItem.setChecked(on);
}

void TextMarking::plainSelection()
{
    TRichEdit98& editor = m_controls.editor;
    editor.clearHighlights(editor.selStart(), editor.selLength());
}

} // namespace velmor
