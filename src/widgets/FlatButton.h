#pragma once

#include <QPushButton>

namespace velmor {

// A flat push button whose caption takes its own colour while the pointer rests on it.
class FlatButton : public QPushButton {
    Q_OBJECT
public:
    FlatButton(const QString& objectName, const QString& caption, QWidget* parent);

    void setFontColor(const QColor& color);
    QColor fontColor() const { return m_fontColor; }
    void setActiveFontColor(const QColor& color);
    QColor activeFontColor() const { return m_activeFontColor; }
    void setFaceColor(const QColor& color);
    QColor faceColor() const { return m_faceColor; }

private:
    void restyle();

    QColor m_fontColor{Qt::black};
    QColor m_activeFontColor{Qt::blue};
    QColor m_faceColor;
};

} // namespace velmor
