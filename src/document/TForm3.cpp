#include "document/TForm3.h"

#include "core/Dialogs.h"
#include "core/FaceNames.h"
#include "document/PieceKeeper.h"
#include "widgets/BaseColor.h"
#include "widgets/LayoutScale.h"
#include "widgets/TRichEdit98.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTextBlock>

namespace velmor {

namespace {

constexpr int kLowestAlpha = 20;
constexpr int kReopenAlpha = 50;
constexpr int kDoubleClickAlpha = 200;

int caretLine(const TRichEdit98& box) { return box.textCursor().blockNumber(); }

} // namespace

TForm3::TForm3(SearchWindowLinks links, bool transparencyAvailable, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_links(links)
    , m_commands(links.editor, links.dialogs, *this)
    , m_transparency(transparencyAvailable)
{
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Search or Replace"));
    setFixedSize(636, 182);
    setFixedBackground(*this, QColor(202, 218, 240));
    QFont f(kFacePGothic);
    f.setPixelSize(15);
    setFont(f);
    buildControls();
    LayoutScale::forDesktop().fittedTo(size(), LayoutScale::screenRoom()).growFixedWindow(*this);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

bool TForm3::platformOffersTransparency()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform == QLatin1String("wayland");
}

TRichEdit98* TForm3::makeOneLineBox(const QString& name)
{
    auto* box = new TRichEdit98(name, this);
    PieceKeeper::attach(*box);
    box->setMaxLength(5'000'000);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabChangesFocus(true);
    box->installEventFilter(this);
    connect(box, &QPlainTextEdit::textChanged, this, [this, box] { keepOnOneLineAfterChange(*box); });
    return box;
}

void TForm3::buildControls()
{
    const auto label = [this](const char* name, const QString& caption, const QRect& place) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(place);
        return l;
    };
    const auto button = [this](const char* name, const QString& caption, const QRect& place,
                               void (TForm3::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(place);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    Label3 = label("Label3", QStringLiteral("Find Text"), {16, 8, 200, 18});
    RichEdit98F = makeOneLineBox(QStringLiteral("RichEdit98F"));
    RichEdit98F->setAccessibleName(QStringLiteral("Find Text"));
    RichEdit98F->setAccessibleDescription(QStringLiteral("The text to find; Enter finds the next, Shift+Enter the one before"));
    RichEdit98F->setGeometry(16, 28, 440, 28);
    Label4 = label("Label4", QStringLiteral("Replace Text"), {16, 64, 200, 18});
    RichEdit98R = makeOneLineBox(QStringLiteral("RichEdit98R"));
    RichEdit98R->setAccessibleName(QStringLiteral("Replace Text"));
    RichEdit98R->setAccessibleDescription(QStringLiteral("The text that replaces what is found"));
    RichEdit98R->setGeometry(16, 84, 440, 28);
    NextButton = button("NextButton", QStringLiteral("Next Search(&F)"), {472, 8, 150, 28}, &TForm3::NextButtonClick);
    FindBackButton = button("FindBackButton", QStringLiteral("Back Search(&B)"), {472, 42, 150, 28},
                            &TForm3::FindBackButtonClick);
    ReplaceButton = button("ReplaceButton", QStringLiteral("&Replace"), {472, 76, 150, 28}, &TForm3::ReplaceButtonClick);
    Re_allButton = button("Re_allButton", QStringLiteral("Replace &All"), {472, 110, 150, 28},
                          &TForm3::Re_allButtonClick);
    CancelButton = button("CancelButton", QStringLiteral("&Cancel"), {472, 146, 150, 28}, &TForm3::CancelButtonClick);
    const std::pair<QPushButton*, const char*> descriptions[] = {
        {NextButton, "Selects the next occurrence after the caret"},
        {FindBackButton, "Selects the occurrence before the caret"},
        {ReplaceButton, "Replaces the first occurrence"},
        {Re_allButton, "Replaces every occurrence"},
        {CancelButton, "Closes this window; so does Escape"},
    };
    for (const auto& [control, description] : descriptions)
        control->setAccessibleDescription(QString::fromLatin1(description));

    VTrackBar1 = new QSlider(Qt::Horizontal, this);
    VTrackBar1->setObjectName(QStringLiteral("VTrackBar1"));
    VTrackBar1->setAccessibleName(QStringLiteral("Transparency"));
    VTrackBar1->setAccessibleDescription(QStringLiteral("How much this window shows through"));
    VTrackBar1->setRange(0, 255);
    VTrackBar1->setTickInterval(10);
    VTrackBar1->setTickPosition(QSlider::TicksBelow);
    VTrackBar1->setGeometry(16, 124, 250, 34);
    connect(VTrackBar1, &QSlider::valueChanged, this, &TForm3::VTrackBar1Change);
    Label1 = label("Label1", QString(), {274, 130, 36, 18});
    Label2 = label("Label2", QStringLiteral("degree of transparency"), {314, 130, 150, 18});
}

void TForm3::FormCreate()
{
    RichEdit98F->clear();
    if (m_links.editor.selLength() > 0)
        RichEdit98F->setPlainText(m_links.editor.selText());
    RichEdit98R->clear();
    if (!m_transparency) {
        VTrackBar1->setEnabled(false);
        VTrackBar1->hide();
        Label1->hide();
        Label2->hide();
        return;
    }
    int& alpha = m_links.alpha;
    alpha = std::min(alpha, 255);
    if (alpha < kLowestAlpha)
        alpha = kReopenAlpha;
    VTrackBar1->setValue(alpha);
    VTrackBar1Change();
}

void TForm3::VTrackBar1Change()
{
    m_links.alpha = VTrackBar1->value();
    setWindowOpacity(m_links.alpha / 255.0);
    Label1->setText(QString::number(m_links.alpha));
}

void TForm3::FormDblClick()
{
    if (!m_transparency)
        return;
    VTrackBar1->setValue(kDoubleClickAlpha);
    VTrackBar1Change();
}

void TForm3::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
    FormDblClick();
}

QString TForm3::firstLine(const TRichEdit98& box) { return box.document()->firstBlock().text(); }

void TForm3::focusBackHere() { activateWindow(); }

void TForm3::NextButtonClick()
{
    if (m_commands.NextSearch(firstLine(*RichEdit98F)))
        m_links.editor.setFocus();
    focusBackHere();
}

void TForm3::FindBackButtonClick()
{
    if (m_commands.BackSearch(firstLine(*RichEdit98F)))
        m_links.editor.setFocus();
    focusBackHere();
}

void TForm3::ReplaceButtonClick() { m_commands.Replace(firstLine(*RichEdit98F), firstLine(*RichEdit98R)); }

void TForm3::Re_allButtonClick() { m_commands.ReplaceAll(firstLine(*RichEdit98F), firstLine(*RichEdit98R)); }

void TForm3::CancelButtonClick() { close(); }

// A box holds one line: a change that leaves the caret below the first line (Enter, or a
// pasted line break) is taken back with a beep, and nothing older can be undone.
void TForm3::keepOnOneLineAfterChange(TRichEdit98& box)
{
    if (m_undoingChange)
        return;
    if (caretLine(box) > 0) {
        m_undoingChange = true;
        box.document()->undo();
        m_undoingChange = false;
        m_links.dialogs.beep();
    }
    box.document()->clearUndoRedoStacks();
}

void TForm3::keepOnOneLineAfterKey(TRichEdit98& box)
{
    if (caretLine(box) == 0)
        return;
    QTextCursor cursor(box.document()->firstBlock());
    cursor.movePosition(QTextCursor::EndOfBlock);
    box.setTextCursor(cursor);
    m_links.dialogs.beep();
}

// Enter in a box also searches, forward, or back with Shift, so that the window serves
// without the mouse; the box still keeps its one line.
bool TForm3::eventFilter(QObject* watched, QEvent* event)
{
    const bool box = watched == RichEdit98F || watched == RichEdit98R;
    if (box && event->type() == QEvent::KeyRelease)
        keepOnOneLineAfterKey(*static_cast<TRichEdit98*>(watched));
    if (box && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !key->isAutoRepeat()) {
            // Shift+Enter would put a soft line break into the box's one line: it only searches.
            if (key->modifiers() & Qt::ShiftModifier) {
                FindBackButtonClick();
                return true;
            }
            NextButtonClick();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm3::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        CancelButtonClick();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace velmor
