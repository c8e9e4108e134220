#pragma once

#include <QFrame>

namespace velmor {

// A panel that draws a one-line caption at its left edge, under any child controls.
class UPanel : public QFrame {
    Q_OBJECT
public:
    UPanel(const QString& objectName, QWidget* parent);

    void setCaption(const QString& caption);
    QString caption() const { return m_caption; }
    void setColor(const QColor& color);
    QColor color() const;

signals:
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString m_caption;
};

} // namespace velmor
