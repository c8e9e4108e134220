#include "app/HintStyle.h"

#include "widgets/BalloonHint.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

namespace velmor {

int HintTimingStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                               QStyleHintReturn* returnData) const
{
    if (hint == QStyle::SH_ToolTip_WakeUpDelay)
        return kHintPauseMs;
    if (hint == QStyle::SH_ToolTip_FallAsleepDelay)
        return kHintHidePauseMs;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

BalloonHints::BalloonHints(QObject* parent)
    : QObject(parent), m_balloon(std::make_unique<BalloonHint>())
{
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(kHintHidePauseMs);
    connect(&m_hideTimer, &QTimer::timeout, this, [this] {
        m_spent = m_shownFor;
        hideBalloon();
    });
}

BalloonHints::~BalloonHints() = default;

void BalloonHints::hideBalloon()
{
    m_hideTimer.stop();
    m_balloon->hide();
    m_shownFor = nullptr;
}

bool BalloonHints::showHintOf(QWidget& control, QPoint pointer)
{
    const QString hint = control.toolTip();
    if (hint.isEmpty())
        return false; // the parent's hint, or the control's own kind of tip
    // Hints go on showing while the pointer moves inside the control: each keeps its time.
    const bool showing = m_balloon->isVisible() && m_shownFor == &control && m_balloon->text() == hint;
    if (!showing && m_spent != &control) {
        m_spent = nullptr;
        m_shownFor = &control;
        m_balloon->showText(hint, pointer);
        m_hideTimer.start();
    }
    return true;
}

bool BalloonHints::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ToolTip: {
        auto* control = qobject_cast<QWidget*>(watched);
        if (!control || !showHintOf(*control, static_cast<QHelpEvent*>(event)->globalPos()))
            return false;
        event->accept();
        return true;
    }
    case QEvent::Leave:
        if (watched == m_spent)
            m_spent = nullptr;
        if (watched == m_shownFor)
            hideBalloon();
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::WindowDeactivate:
        if (m_balloon->isVisible())
            hideBalloon();
        return false;
    default:
        return false;
    }
}

void installHintStyle(QApplication& app)
{
    app.setStyle(new HintTimingStyle); // the application takes ownership
    // The balloon is a window: it must go before the application does.
    auto* balloonHints = new BalloonHints;
    app.installEventFilter(balloonHints);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [balloonHints] { delete balloonHints; });
    // Tips that are no control's hint (those of item views) look the same. Through the palette
    // rather than a style sheet: an application style sheet would override the colours the
    // window gives its text boxes.
    QPalette hints = QToolTip::palette();
    for (QPalette::ColorRole role : {QPalette::ToolTipBase, QPalette::Window})
        hints.setColor(role, BalloonHint::kFillColor);
    for (QPalette::ColorRole role : {QPalette::ToolTipText, QPalette::WindowText})
        hints.setColor(role, BalloonHint::kInkColor);
    QToolTip::setPalette(hints);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(15);
    QToolTip::setFont(font);
}

} // namespace velmor
