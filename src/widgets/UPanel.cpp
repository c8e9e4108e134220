#include "widgets/UPanel.h"

#include "widgets/BaseColor.h"

#include <QPainter>

namespace velmor {

UPanel::UPanel(const QString& objectName, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(objectName);
    setFixedBackground(*this, palette().color(QPalette::Window));
}

void UPanel::setCaption(const QString& caption)
{
    m_caption = caption;
    // A screen reader reads the panel by its caption: the mode, a hint or a notice.
    setAccessibleName(caption.trimmed());
    update();
}

// The caption's colour is the panel's own (black until set), never the desktop theme's.
void UPanel::setColor(const QColor& color) { setFixedColour(*this, QPalette::Window, color); }

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
