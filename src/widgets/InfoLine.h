#pragma once

#include <QTextEdit>

namespace velmor {

// The read-only one-line text box on the information panel.
class InfoLine : public QTextEdit {
    Q_OBJECT
public:
    InfoLine(const QString& objectName, QWidget* parent);

    // One line shows a thousand characters at most; a longer text is shown by its beginning,
    // so that a text of many megabytes costs no layout.
    static constexpr int kShownLength = 1024;

    void showText(const QString& text, const QString& fontName);
    void showText(const QString& text);
    QString text() const { return toPlainText(); }
    void setPanelColor(const QColor& color);
    // The colour of text without a colour of its own.
    void setTextColor(const QColor& color);
    QColor textColor() const;
};

} // namespace velmor
