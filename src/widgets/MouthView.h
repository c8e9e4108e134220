#pragma once

#include <QWidget>

namespace velmor {

// The speech engine's face on the control panel: a mouth whose opening follows the loudness
// of the sound being played (0 closed, 1 wide open).
class MouthView : public QWidget {
    Q_OBJECT
public:
    MouthView(const QString& objectName, QWidget* parent);

    void setOpening(double opening);
    double opening() const { return m_opening; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_opening = 0.0;
};

} // namespace velmor
