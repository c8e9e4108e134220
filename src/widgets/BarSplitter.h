#pragma once

#include <QPainter>
#include <QSplitter>

namespace velmor {

// A splitter whose handles are plain bars of one colour. (A style sheet would colour them too,
// but it would reach every control inside and cut them off their panels' colours.)
class BarSplitter : public QSplitter {
public:
    BarSplitter(Qt::Orientation orientation, const QColor& barColor, QWidget* parent)
        : QSplitter(orientation, parent)
        , m_barColor(barColor)
    {
    }

protected:
    QSplitterHandle* createHandle() override { return new Bar(orientation(), this, m_barColor); }

private:
    class Bar : public QSplitterHandle {
    public:
        Bar(Qt::Orientation orientation, QSplitter* parent, const QColor& color)
            : QSplitterHandle(orientation, parent)
            , m_color(color)
        {
        }

    protected:
        void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), m_color); }

    private:
        QColor m_color;
    };

    QColor m_barColor;
};

} // namespace velmor
