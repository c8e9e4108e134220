#pragma once

#include <QTextEdit>

namespace velmor {

// The read-only one-line text box on the information panel.
class InfoLine : public QTextEdit {
    Q_OBJECT
public:
    InfoLine(const QString& objectName, QWidget* parent);

    void showText(const QString& text, const QString& fontName);
    QString text() const { return toPlainText(); }
    void setPanelColor(const QColor& color);
};

} // namespace velmor
