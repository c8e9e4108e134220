#include "help/TForm2.h"

#include "core/FaceNames.h"
#include "widgets/BaseColor.h"
#include "widgets/Bgr.h"
#include "widgets/FlatButton.h"
#include "widgets/LayoutScale.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace velmor {

namespace {

// Shows a text whose lines end in carriage returns, one font size apart: the list was laid out
// for a face without extra leading, and so all of its 30 lines fit in the box.
class KeyNameLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(foregroundRole()));
        const QFontMetrics metrics(font());
        const int pitch = font().pixelSize();
        const int baseline = pitch * metrics.ascent() / std::max(1, metrics.ascent() + metrics.descent());
        int top = contentsRect().top();
        for (const QString& line : text().split(QLatin1Char('\r'))) {
            painter.drawText(QPoint(contentsRect().left(), top + baseline), line);
            top += pitch;
        }
    }
};

QFont pixelFont(const QString& family, int pixels)
{
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

} // namespace

TForm2::TForm2(std::function<void()> closing)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint)
    , m_closing(std::move(closing))
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window alone decides when the program ends.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Key name information"));
    // With the frame of a usual desktop the window measures about 391 x 600.
    setFixedSize(383, 566);
    setFixedBackground(*this, colorFromBgr(0x00ECEEE6));
    setFont(pixelFont(kFacePGothic, 15));

    HelpLabel = new KeyNameLabel(this);
    HelpLabel->setObjectName(QStringLiteral("HelpLabel"));
    HelpLabel->setGeometry(9, 6, 361, 523);
    HelpLabel->setTextFormat(Qt::PlainText);
    HelpLabel->setFont(pixelFont(kFaceMincho, 17));
    QPalette labelColors = HelpLabel->palette();
    labelColors.setColor(QPalette::WindowText, colorFromBgr(0x00B3734D));
    HelpLabel->setPalette(labelColors);
    HelpLabel->installEventFilter(this);

    CloseButton = new FlatButton(QStringLiteral("CloseButton"), QStringLiteral("Close"), this);
    CloseButton->setGeometry(127, 536, 130, 18);
    CloseButton->setToolTip(QStringLiteral("Close"));
    CloseButton->setFont(pixelFont(QStringLiteral("Times New Roman"), 17));
    CloseButton->setFontColor(colorFromBgr(0x00B9C1D7));
    connect(CloseButton, &QAbstractButton::clicked, this, &TForm2::CloseButtonClick);

    // The menu never pops up: it only carries the shortcut that closes the window.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Close1 = PopupMenu1->addAction(QStringLiteral("Close"));
    Close1->setObjectName(QStringLiteral("Close1"));
    Close1->setShortcut(QKeySequence(QStringLiteral("Ctrl+K")));
    addAction(Close1);
    connect(Close1, &QAction::triggered, this, &TForm2::Close1Click);

    LayoutScale::forDesktop().fittedTo(size(), LayoutScale::screenRoom()).growFixedWindow(*this);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm2::CloseButtonClick() { close(); }
void TForm2::Close1Click() { close(); }
void TForm2::HelpLabelClick() { close(); }
void TForm2::FormClick() { close(); }

void TForm2::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    if (typed == QStringLiteral("\r") || typed == QStringLiteral(" ")) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm2::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    FormClick();
}

bool TForm2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == HelpLabel && event->type() == QEvent::MouseButtonPress) {
        HelpLabelClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm2::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (m_closing)
        m_closing();
}

} // namespace velmor
