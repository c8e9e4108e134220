#pragma once

#include <QWidget>

namespace velmor {

// A hint shaped like a speech balloon: a rounded body with a tail whose tip points at the
// mouse pointer. It never takes the focus or the mouse.
class BalloonHint : public QWidget {
    Q_OBJECT
public:
    static inline const QColor kFillColor{0xE8, 0xF2, 0xE1};
    static inline const QColor kInkColor{0x56, 0x65, 0x85};

    BalloonHint();

    // Shows the text with the tail's tip just under the pointer, or just over it when the
    // balloon would not fit below on the screen.
    void showText(const QString& text, QPoint pointer);
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPainterPath outline() const;
    QRect bodyRect() const;

    QString m_text;
    QRect m_textRect;
    bool m_tailBelow = false;
};

} // namespace velmor
