#pragma once

#include <QLabel>

namespace velmor {

// A small block on the button bar that is either painted (opaque) or invisible (transparent).
// A screen reader hears its state by its name: onName while painted, offName while not.
class IndicatorLabel : public QLabel {
    Q_OBJECT
public:
    IndicatorLabel(const QString& objectName, const QColor& color, QWidget* parent, QString onName = {},
                   QString offName = {});

    void setOpaque(bool opaque);
    bool isOpaque() const { return m_opaque; }

private:
    bool m_opaque = false;
    QString m_onName;
    QString m_offName;
};

} // namespace velmor
