#include "widgets/FlatButton.h"

namespace velmor {

FlatButton::FlatButton(const QString& objectName, const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
{
    setObjectName(objectName);
    setFlat(true);
    setFocusPolicy(Qt::NoFocus);
    restyle();
}

void FlatButton::setFontColor(const QColor& color)
{
    m_fontColor = color;
    restyle();
}

void FlatButton::setActiveFontColor(const QColor& color)
{
    m_activeFontColor = color;
    restyle();
}

void FlatButton::setFaceColor(const QColor& color)
{
    m_faceColor = color;
    restyle();
}

void FlatButton::restyle()
{
    const QString face = m_faceColor.isValid() ? m_faceColor.name() : QStringLiteral("transparent");
    setStyleSheet(QStringLiteral("QPushButton { color: %1; background: %3; border: 1px solid transparent;"
                                 " border-radius: 3px; padding: 0px; }"
                                 "QPushButton:hover { color: %2; border-color: %2; }"
                                 "QPushButton:pressed { padding-top: 1px; }")
                      .arg(m_fontColor.name(), m_activeFontColor.name(), face));
}

} // namespace velmor
