#pragma once

#include <QObject>
#include <QPointer>
#include <QProxyStyle>
#include <QTimer>
#include <memory>

class QApplication;

namespace velmor {

class BalloonHint;

constexpr int kHintPauseMs = 500;     // the pointer rests this long before a hint shows
constexpr int kHintHidePauseMs = 2500; // and the hint goes after this long

// The hint timings: a hint wakes after kHintPauseMs; while hints are awake (as long as one
// shows), moving to a neighbouring control shows its hint at once.
class HintTimingStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
};

// Shows each control's hint (its tool tip) in a balloon for kHintHidePauseMs. A hint that has
// had its time shows again only after the pointer has left its control.
class BalloonHints : public QObject {
public:
    explicit BalloonHints(QObject* parent = nullptr);
    ~BalloonHints() override;

    const BalloonHint& balloon() const { return *m_balloon; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool showHintOf(QWidget& control, QPoint pointer);
    void hideBalloon();

    std::unique_ptr<BalloonHint> m_balloon;
    QTimer m_hideTimer;
    QPointer<QWidget> m_shownFor;
    QPointer<QWidget> m_spent;
};

// Balloon hints for the whole application, with their timings, font and colours.
void installHintStyle(QApplication& app);

} // namespace velmor
