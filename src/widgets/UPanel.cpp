#include "widgets/UPanel.h"

#include "widgets/BaseColor.h"

#include <QPainter>

namespace velmor {

UPanel::UPanel(const QString& objectName, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(objectName);
    setAutoFillBackground(true);
}

void UPanel::setCaption(const QString& caption)
{
    m_caption = caption;
    // A screen reader reads the panel by its caption: the mode, a hint or a notice.
    setAccessibleName(caption.trimmed());
    update();
}

void UPanel::setColor(const QColor& color) { setFixedBackground(*this, color); }

QColor UPanel::color() const { return fixedColour(*this, QPalette::Window); }

void UPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawText(rect().adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, m_caption);
}

void UPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    emit resized();
}

} // namespace velmor
