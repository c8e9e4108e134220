#pragma once

#include <QWidget>
#include <functional>

class QTimer;

namespace velmor {

// The speech engine's face on the control panel: a mouth whose opening follows the loudness
// of the sound being played (0 closed, 1 wide open).
class MouthView : public QWidget {
    Q_OBJECT
public:
    MouthView(const QString& objectName, QWidget* parent);

    void setOpening(double opening);
    double opening() const { return m_opening; }

    // While speech runs the mouth follows the loudness that level() reports, some 30 times a
    // second; after settle() it stops once the mouth has closed.
    void followLevel(std::function<double()> level);
    void speak();
    void settle();
    bool isFollowing() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void tick();

    double m_opening = 0.0;
    std::function<double()> m_level;
    QTimer* m_timer = nullptr;
    bool m_settling = false;
};

} // namespace velmor
