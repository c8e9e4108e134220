#pragma once

#include <QLabel>

namespace velmor {

// A small block on the button bar that is either painted (opaque) or invisible (transparent).
class IndicatorLabel : public QLabel {
    Q_OBJECT
public:
    IndicatorLabel(const QString& objectName, const QColor& color, QWidget* parent);

    void setOpaque(bool opaque);
    bool isOpaque() const { return m_opaque; }

private:
    bool m_opaque = false;
};

} // namespace velmor
