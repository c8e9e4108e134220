#include "widgets/MouthView.h"

#include <QPainter>
#include <QTimer>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace velmor {

MouthView::MouthView(const QString& objectName, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(objectName);
    setFixedSize(240, 162);
}

void MouthView::followLevel(std::function<double()> level)
{
    m_level = std::move(level);
    if (!m_timer) {
        m_timer = new QTimer(this);
        m_timer->setInterval(33);
        connect(m_timer, &QTimer::timeout, this, &MouthView::tick);
    }
}

void MouthView::speak()
{
    m_settling = false;
    if (m_timer && !m_timer->isActive())
        m_timer->start();
}

void MouthView::settle() { m_settling = true; }

bool MouthView::isFollowing() const { return m_timer && m_timer->isActive(); }

void MouthView::tick()
{
    // Speech sits far below full scale; the square root opens the mouth well for normal speech.
    const double level = m_level ? m_level() : 0.0;
    setOpening(std::sqrt(std::max(0.0, level)) * 2.5);
    if (m_settling && m_opening == 0.0)
        m_timer->stop();
}

void MouthView::setOpening(double opening)
{
    opening = std::clamp(opening, 0.0, 1.0);
    if (opening == m_opening)
        return;
    m_opening = opening;
    update();
}

void MouthView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(0xF4, 0xE9, 0xE1));

    const QPointF centre(width() / 2.0, height() / 2.0);
    const double halfWidth = 70.0;
    const double gap = 4.0 + 46.0 * m_opening;

    QPainterPath upper;
    upper.moveTo(centre.x() - halfWidth, centre.y());
    upper.cubicTo(centre.x() - halfWidth / 2, centre.y() - 18 - gap / 2, centre.x() + halfWidth / 2,
                  centre.y() - 18 - gap / 2, centre.x() + halfWidth, centre.y());
    QPainterPath lower;
    lower.moveTo(centre.x() + halfWidth, centre.y());
    lower.cubicTo(centre.x() + halfWidth / 2, centre.y() + 10 + gap, centre.x() - halfWidth / 2,
                  centre.y() + 10 + gap, centre.x() - halfWidth, centre.y());
    QPainterPath lips = upper;
    lips.connectPath(lower);
    p.setPen(QPen(QColor(0x9E, 0x3A, 0x3A), 3));
    p.setBrush(QColor(0xD9, 0x6A, 0x6A));
    p.drawPath(lips);

    QPainterPath inner;
    inner.addEllipse(centre + QPointF(0, 2), halfWidth * 0.75, gap / 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4A, 0x12, 0x12));
    p.drawPath(inner);
}

} // namespace velmor
