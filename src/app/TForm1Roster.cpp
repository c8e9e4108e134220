// The window's controls: where each sits, its caption, hint, range and colours.
#include "app/AccessibleNames.h"
#include "core/FaceNames.h"
#include "app/Menus.h"
#include "app/TForm1.h"
#include "document/PieceKeeper.h"
#include "widgets/BarSplitter.h"
#include "widgets/BaseColor.h"
#include "widgets/Bgr.h"
#include "widgets/FlatButton.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/MouthView.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"
#include "widgets/UpDownEdit.h"

#include <QKeySequenceEdit>
#include <QLabel>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QVBoxLayout>

namespace velmor {

namespace {

const QColor kBarColor = colorFromBgr(0x00B3734D);
const QColor kPanelColor = colorFromBgr(0x00D1D3D8);
const QColor kEditAreaColor = colorFromBgr(0x00E1F2E8);
const QColor kSpeakingMarkColor = colorFromBgr(0x00B9C1D7);
const QColor kSavedMarkColor = colorFromBgr(12173783);



template <typename Widget>
Widget* place(Widget* widget, int x, int y, int width, int height, const QString& hint = {})
{
    widget->setGeometry(x, y, width, height);
    if (!hint.isEmpty()) {
        widget->setToolTip(hint);
        widget->setStatusTip(hint);
    }
    return widget;
}

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

void TForm1::buildTopBar()
{
    TopPanel = new QWidget(this);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    TopPanel->setFixedHeight(m_layoutScale(37));
    setFixedBackground(*TopPanel, kBarColor);

    auto button = [this](const char* name, const QString& caption, int x, int y, int w, int h,
                         const QString& hint = {}) {
        auto* b = new FlatButton(QString::fromLatin1(name), caption, TopPanel);
        b->setFontColor(Qt::white);
        b->setActiveFontColor(QColor(0xFF, 0xE6, 0x8C));
        return place(b, x, y, w, h, hint);
    };
    M_FileButton = button("M_FileButton", QStringLiteral("&File"), 2, 7, 30, 25, QStringLiteral("File Menu  Alt + F"));
    M_EditButton = button("M_EditButton", QStringLiteral("&Edit"), 36, 7, 30, 25, QStringLiteral("Edit Menu  Alt + E"));
    M_HelpButton = button("M_HelpButton", QStringLiteral("&Help"), 71, 7, 29, 25, QStringLiteral("Help Menu  Alt + H"));
    C_MemoryButton = button("C_MemoryButton", QStringLiteral("Memory"), 106, 8, 53, 25,
                            QStringLiteral("Speech Clipboard's Memory  Ctrl + M"));
    PauseButton = button("PauseButton", QStringLiteral("Pause"), 165, 8, 60, 25,
                         QStringLiteral("Pause and Resume  Ctrl + E"));
    ResetButton = button("ResetButton", QStringLiteral("Reset"), 234, 9, 47, 25, QStringLiteral("Reset (Stop)  Ctrl + R"));
    IsSpeechLabel = place(new IndicatorLabel(QStringLiteral("IsSpeechLabel"), kSpeakingMarkColor, TopPanel,
                                             QStringLiteral("Speaking"), QStringLiteral("Not speaking")),
                          292, 18, 3, 8);
    SpeechButton = button("SpeechButton", QStringLiteral("Velmor"), 304, 8, 72, 25, QStringLiteral("Speech Ctrl + P"));
    BandButton = button("BandButton", QStringLiteral("B"), 381, 9, 24, 25, QStringLiteral("Band(Speech Line)  Ctrl + B"));
    SelTextButton = button("SelTextButton", QStringLiteral("ST"), 409, 9, 25, 25, QStringLiteral("Speech SelText  Ctrl + T"));
    OpenButton = button("OpenButton", QStringLiteral("Open"), 439, 9, 41, 25,
                        QStringLiteral("Open(Plain or UnicodeText)  Ctrl + O"));
    SaveButton = button("SaveButton", QStringLiteral("Save"), 486, 9, 38, 25,
                        QStringLiteral("Save(Plain or UnicodeText)   Ctrl + S"));
    SaveLabel = place(new IndicatorLabel(QStringLiteral("SaveLabel"), kSavedMarkColor, TopPanel,
                                         QStringLiteral("Unsaved changes"), QStringLiteral("No unsaved changes")),
                      531, 18, 3, 8);
    PlainSaveButton = button("PlainSaveButton", QStringLiteral("Plain"), 542, 9, 33, 25,
                             QStringLiteral("Save as PlainText  Ctrl + L"));
    UniSaveButton = button("UniSaveButton", QStringLiteral("Uni"), 581, 9, 27, 25, QStringLiteral("Save as Unicode  Ctrl + U"));
    NewButton = button("NewButton", QStringLiteral("New"), 614, 9, 31, 25, QStringLiteral("NewFile(Clear)  Ctrl + N"));
    FindButton = button("FindButton", QStringLiteral("Find"), 651, 9, 29, 25,
                        QStringLiteral("Find or Replace Text  Ctrl + F"));
    JapanButton = button("JapanButton", QStringLiteral("&N"), 686, 9, 22, 25, QStringLiteral("ID Naoko on off  Alt + N"));
    DicButton = button("DicButton", QStringLiteral("&dic"), 713, 10, 25, 23, QStringLiteral("D&D, Start dic  Alt + D"));
    DicButton2 = button("DicButton2", QStringLiteral("d&ic"), 744, 11, 25, 23, QStringLiteral("D&D, Start dic  Alt + I"));
    QFont dicFont(kFacePMincho);
    dicFont.setPixelSize(13);
    for (FlatButton* dic : {DicButton, DicButton2}) {
        dic->setFont(dicFont);
        dic->setFlat(false);
        dic->setFaceColor(kPanelColor);
        dic->setFontColor(Qt::black);
    }
    m_layoutScale.growChildren(*TopPanel);
}

void TForm1::buildInfoPanel()
{
    UPanel1 = new UPanel(QStringLiteral("UPanel1"), this);
    UPanel1->setMinimumHeight(22);
    ULabel98 = new InfoLine(QStringLiteral("ULabel98"), UPanel1);
}

void TForm1::buildControlPanel()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMinimumWidth(1);
    setFixedBackground(*Panel1, kPanelColor);

    auto button = [this](const char* name, const QString& caption, int x, int y, int w, int h,
                         const QString& hint = {}) {
        auto* b = new FlatButton(QString::fromLatin1(name), caption, Panel1);
        b->setFontColor(colorFromBgr(0x00856556));
        b->setActiveFontColor(kBarColor);
        return place(b, x, y, w, h, hint);
    };
    auto checkBox = [this](const char* name, const QString& caption, int x, int y, int w, int h,
                           const QString& hint = {}) {
        return place(new LozengeCheckBox(QString::fromLatin1(name), caption, Panel1), x, y, w, h, hint);
    };

    DirectSS1 = place(new MouthView(QStringLiteral("DirectSS1"), Panel1), 24, 18, 240, 162);
    AboutButton = button("AboutButton", QStringLiteral("Velmor_L ver1.12   Velmor developers"), 9, 186, 274, 22,
                         QStringLiteral("Light version"));
    ClipSpeechCheckBox = checkBox("ClipSpeechCheckBox", QStringLiteral(" Speech Clipboard "), 20, 211, 152, 22,
                                  QStringLiteral("Speech Clipboard  Ctrl + H "));
    LIDButton = button("LIDButton", QStringLiteral("Lang ID-info"), 188, 212, 92, 22);
    Label1 = place(makeLabel(QStringLiteral("Label1"), QString(), Panel1), 37, 247, 157, 17, QStringLiteral("character"));
    LIDUpDown = place(new UpDownEdit(QStringLiteral("LIDUpDown"), 1, 100, Panel1), 208, 241, 57, 27,
                      QStringLiteral("Language ID"));
    ShowCheckBox = checkBox("ShowCheckBox", QStringLiteral(" Show"), 20, 277, 70, 20, QStringLiteral("Show Mouth  Ctrl + W "));
    HotKeyCheckBox = checkBox("HotKeyCheckBox", QString(), 99, 278, 22, 20,
                              QStringLiteral("\"Reset\" HotKey on/off  Ctrl + Alt + R"));
    Label2 = place(makeLabel(QStringLiteral("Label2"), QStringLiteral("Low"), Panel1), 136, 279, 36, 15);
    Label4 = place(makeLabel(QStringLiteral("Label4"), QString(), Panel1), 181, 279, 42, 15);
    Label4->setAlignment(Qt::AlignCenter);
    Label3 = place(makeLabel(QStringLiteral("Label3"), QStringLiteral("High"), Panel1), 237, 279, 32, 15);
    DSpeedButton = button("DSpeedButton", QStringLiteral("Default Speed"), 17, 310, 102, 19);

    ScrollBar1 = new QScrollBar(Qt::Horizontal, Panel1);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setRange(130, 188);
    ScrollBar1->setValue(150);
    ScrollBar1->setSingleStep(1);
    ScrollBar1->setPageStep(1);
    place(ScrollBar1, 138, 308, 121, 21, QStringLiteral("Speed"));

    VTrackBar1 = new QSlider(Qt::Horizontal, Panel1);
    VTrackBar1->setObjectName(QStringLiteral("VTrackBar1"));
    VTrackBar1->setRange(0, 65535);
    VTrackBar1->setSingleStep(1310);
    VTrackBar1->setPageStep(1310);
    VTrackBar1->setTickInterval(1310);
    VTrackBar1->setTickPosition(QSlider::TicksAbove);
    place(VTrackBar1, 113, 336, 158, 33);

    Label5 = place(makeLabel(QStringLiteral("Label5"), QStringLiteral("Main Volume"), Panel1), 23, 342, 86, 15);
    SICheckBox = checkBox("SICheckBox", QStringLiteral(" speech-info"), 20, 373, 106, 20,
                          QStringLiteral("Speech-information  Ctrl + I"));
    HelpButton = button("HelpButton", QStringLiteral("Key name-info on/off"), 135, 375, 130, 19, QStringLiteral("Ctrl + K"));
    MarkCheckButton = button("MarkCheckButton", QStringLiteral("&Marking off"), 22, 410, 80, 19,
                             QStringLiteral("Marking on off"));
    const QString markHint = QStringLiteral("SelText-Marking (not select-> Change_Color)");
    MarkButton = button("MarkButton", QStringLiteral("Mark"), 108, 411, 40, 19, markHint);
    MarkingButton = button("MarkingButton", QStringLiteral("Mark"), 156, 411, 40, 19, markHint);
    MResetButton = button("MResetButton", QStringLiteral("Reset"), 208, 411, 55, 19, QStringLiteral("Reset Marker"));
    SCLCheckBox = checkBox("SCLCheckBox", QStringLiteral(" toClip"), 20, 444, 68, 20,
                           QStringLiteral("Double-Click toClipboard  Ctrl + D"));
    WordReadCheckBox = checkBox("WordReadCheckBox", QStringLiteral("Joy"), 97, 445, 50, 20,
                                QStringLiteral("Joyful writing on off Ctrl + J"));
    OffRepButton = button("OffRepButton", QStringLiteral("once"), 156, 445, 40, 19, QStringLiteral("Repeart Off"));
    RepUpDown = place(new UpDownEdit(QStringLiteral("RepUpDown"), 1, 100, Panel1), 207, 442, 57, 27,
                      QStringLiteral("Repetition-number 1-100"));

    HotKey1 = new QKeySequenceEdit(QKeySequence(QStringLiteral("Ctrl+Alt+R")), Panel1);
    HotKey1->setObjectName(QStringLiteral("HotKey1"));
    place(HotKey1, 74, 62, 121, 21);
    HotKey1->hide();

    for (LozengeCheckBox* box :
         {ClipSpeechCheckBox, ShowCheckBox, SICheckBox, SCLCheckBox, HotKeyCheckBox, WordReadCheckBox})
        box->setChecked(true);
    m_layoutScale.growChildren(*Panel1);
}

void TForm1::buildEditArea()
{
    PanelEdit = new QWidget(this);
    PanelEdit->setObjectName(QStringLiteral("PanelEdit"));
    setFixedBackground(*PanelEdit, kEditAreaColor);
    RichEdit98 = new TRichEdit98(QStringLiteral("RichEdit98"), PanelEdit);
    PieceKeeper::attach(*RichEdit98);
    auto* layout = new QVBoxLayout(PanelEdit);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichEdit98);
}

void TForm1::buildLayout()
{
    Splitter1 = new BarSplitter(Qt::Horizontal, kBarColor, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(6);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(Panel1);
    Splitter1->addWidget(PanelEdit);
    Splitter1->setStretchFactor(1, 1);

    Splitter2 = new BarSplitter(Qt::Vertical, kBarColor, this);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setHandleWidth(6);
    Splitter2->setChildrenCollapsible(false);
    Splitter2->addWidget(UPanel1);
    Splitter2->addWidget(Splitter1);
    Splitter2->setStretchFactor(1, 1);
    Splitter2->setSizes({22, 500});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TopPanel);
    layout->addWidget(Splitter2, 1);

    connect(Splitter1, &QSplitter::splitterMoved, this, [this] { FormResize(); });
    connect(UPanel1, &UPanel::resized, this, [this] { FormResize(); });
    nameCaptionlessControls(this);
    chainTabOrder();
}

// The info line runs along the text area, inside the information panel.
void TForm1::FormResize()
{
    const int textAreaLeft = PanelEdit->mapTo(this, QPoint(0, 0)).x();
    ULabel98->setGeometry(textAreaLeft + 12, 0, std::max(0, PanelEdit->width() - 35), UPanel1->height());
}

// Tab walks the controls in the order the key-name window announces. Tab leaves the text box
// like every other control; Edit > Insert Tab puts a tab character into the text.
void TForm1::chainTabOrder()
{
    RichEdit98->setTabChangesFocus(true);
    MarkCheckButton->setFocusPolicy(Qt::TabFocus);
    ScrollBar1->setFocusPolicy(Qt::StrongFocus);
    QWidget* const order[] = {RichEdit98,   ScrollBar1, ClipSpeechCheckBox, LIDUpDown,
                              ShowCheckBox, SICheckBox, SCLCheckBox,        RepUpDown,
                              HotKeyCheckBox, WordReadCheckBox, MarkCheckButton, VTrackBar1};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

} // namespace velmor
